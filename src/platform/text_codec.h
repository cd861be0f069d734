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

// Length of the well-formed UTF-8 sequence at `text[at]`; 0 when the bytes
// there are not one (a stray continuation byte, an overlong form, a
// surrogate, a cut-off tail).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at);
bool IsUtf8(std::string_view text);

// Text typed by the user (an argument) as UTF-8: as it is when it is UTF-8
// already, else converted from the character set the locale names
// (LC_ALL, LC_CTYPE, LANG: "de_DE.ISO-8859-1"), else with U+FFFD for each
// byte that is not UTF-8.
std::string UserTextToUtf8(std::string_view text);

}  // namespace tandrin
