#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>

namespace tandrin {

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Ok()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts `text`; an unconvertible byte is skipped and `replacement`
    // is written in its place.
    std::string Run(std::string_view text, std::string_view replacement) {
        std::string out;
        char buffer[256];
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out.append(replacement);  // EILSEQ or a cut-off multibyte tail
                ++in;
                --inLeft;
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

  private:
    iconv_t m_cd;
};

const char* CodePage(bool gbk) {
    return gbk ? "GBK" : "WINDOWS-1252";
}

}  // namespace

std::string ToUtf8(std::string_view text, bool gbk) {
    Converter converter("UTF-8", CodePage(gbk));
    return converter.Ok() ? converter.Run(text, "\xEF\xBF\xBD") : std::string(text);
}

std::string FromUtf8(std::string_view text, bool gbk) {
    Converter converter(CodePage(gbk), "UTF-8");
    return converter.Ok() ? converter.Run(text, "?") : std::string(text);
}

}  // namespace tandrin
