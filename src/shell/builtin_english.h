#pragma once

#include <string_view>

namespace tandrin {

// resources/English.ini as it was when the program was built: the texts a
// language file lacks.
std::string_view BuiltInEnglishTexts();

}  // namespace tandrin
