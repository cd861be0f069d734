#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <string>

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

// The character set part of a locale name, empty when it names none.
std::string LocaleCharset() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        const std::string_view locale(value);
        const std::size_t dot = locale.find('.');
        if (dot == std::string_view::npos) {
            return {};
        }
        const std::string_view charset = locale.substr(dot + 1);
        return std::string(charset.substr(0, charset.find('@')));
    }
    return {};
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string UserTextToUtf8(std::string_view text) {
    if (IsUtf8(text)) {
        return std::string(text);
    }
    const std::string charset = LocaleCharset();
    if (!charset.empty()) {
        Converter converter("UTF-8", charset.c_str());
        if (converter.Ok()) {
            std::string converted = converter.Run(text, "\xEF\xBF\xBD");
            if (IsUtf8(converted)) {
                return converted;
            }
        }
    }
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, at);
        out.append(length == 0 ? std::string_view("\xEF\xBF\xBD") : text.substr(at, length));
        at += length == 0 ? 1 : length;
    }
    return out;
}

std::string ToUtf8(std::string_view text, bool gbk) {
    Converter converter("UTF-8", CodePage(gbk));
    return converter.Ok() ? converter.Run(text, "\xEF\xBF\xBD") : std::string(text);
}

std::string FromUtf8(std::string_view text, bool gbk) {
    Converter converter(CodePage(gbk), "UTF-8");
    return converter.Ok() ? converter.Run(text, "?") : std::string(text);
}

}  // namespace tandrin
