#pragma once

#include <map>
#include <string>

namespace tandrin {

// A loop check text (section "LoopCheck" of the language file) in the
// interface code page; the English text when the file lacks the key.
std::string LoopCheckText(const std::string& key);

// Every key the loop check looks up, with its English text.
const std::map<std::string, std::string>& LoopCheckEnglishTexts();

// `text` with its first "%s" replaced by `value`.
std::string WithValue(const std::string& text, const std::string& value);

}  // namespace tandrin
