#pragma once

#include <string>
#include <string_view>

namespace tandrin {

// Texts in the core are bytes in the interface code page: GBK for the
// Chinese interface, Windows-1252 otherwise. These convert at the edges
// that need UTF-8 (the terminal, JSON). Bytes that do not convert become
// U+FFFD rather than cutting the text short.
std::string ToUtf8(std::string_view text, bool gbk);
std::string FromUtf8(std::string_view text, bool gbk);

}  // namespace tandrin
