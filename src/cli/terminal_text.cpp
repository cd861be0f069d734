#include "cli/terminal_text.h"

#include <cstdio>

#include "platform/text_codec.h"

namespace tandrin::cli {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
}

}  // namespace

std::string Printable(std::string_view text, bool keepLineEnds) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if ((byte < 0x20 && !(keepLineEnds && byte == '\n') && byte != '\t') || byte == 0x7F) {
                AppendEscaped(out, byte);
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceAt(text, i);
        // U+0080..U+009F (C2 80..C2 9F) are the C1 controls, CSI among them.
        const bool c1 =
            length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (length == 0 || c1) {
            AppendEscaped(out, byte);
            if (c1) {
                AppendEscaped(out, static_cast<unsigned char>(text[i + 1]));
                i += 2;
            } else {
                ++i;
            }
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace tandrin::cli
