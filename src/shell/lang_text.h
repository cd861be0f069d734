#pragma once

#include <string>

#include "shell/form.h"

namespace tandrin {

// Full path of the current language file; empty until a language is
// selected, and then every lookup gives the empty text.
extern std::string languageFilePath;

// The text under `key` in `section` of the current language file, read
// from the file at each call; at most 255 bytes; empty when the file,
// section or key is missing. The caller decides what empty means.
std::string LangText(const std::string& section, const std::string& key);
// The same in section "String".
std::string LangText(const std::string& key);

// Sets the caption of control `id` to LangText(section, key), but only when
// that text is not empty and the form has the control; otherwise the
// control keeps its built-in caption.
void TranslateControl(Form& form, int id, const std::string& key, const std::string& section);

}  // namespace tandrin
