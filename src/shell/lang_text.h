#pragma once

#include <cstddef>
#include <string>

#include "shell/form.h"

namespace tandrin {

// Full path of the current language file; empty until a language is
// selected, and then every lookup gives the empty text.
extern std::string languageFilePath;

// The text under `key` in `section` of the current language file; at most
// 255 bytes. The file is read once, at the first lookup after the path
// changes or after ReloadLanguageFile, not at every call. A message (section
// "String") the file lacks, or all of them when the file could not be
// read, comes from the English texts built into the program; any other
// missing text is empty, and the caller decides what empty means.
std::string LangText(const std::string& section, const std::string& key);
// The same in section "String".
std::string LangText(const std::string& key);

// The next lookup reads the language file again (a language switch).
void ReloadLanguageFile();
// How often a language file has been read, for the tests.
std::size_t LanguageFileReads();

// Sets the caption of control `id` to LangText(section, key), but only when
// that text is not empty and the form has the control; otherwise the
// control keeps its built-in caption.
void TranslateControl(Form& form, int id, const std::string& key, const std::string& section);

}  // namespace tandrin
