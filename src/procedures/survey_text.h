#pragma once

#include <map>
#include <string>

namespace tandrin {

// A survey text (section "Survey" of the language file) in the interface
// code page; the English text when the file lacks the key.
std::string SurveyText(const std::string& key);

// Every key the survey looks up, with its English text.
const std::map<std::string, std::string>& SurveyEnglishTexts();

}  // namespace tandrin
