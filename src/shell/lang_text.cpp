#include "shell/lang_text.h"

#include "shell/private_profile.h"

namespace tandrin {

std::string languageFilePath;

std::string LangText(const std::string& section, const std::string& key) {
    return ReadProfileString(languageFilePath, section, key);
}

std::string LangText(const std::string& key) {
    return LangText("String", key);
}

void TranslateControl(Form& form, int id, const std::string& key, const std::string& section) {
    const std::string text = LangText(section, key);
    if (!text.empty() && form.HasControl(id)) {
        form.SetText(id, text);
    }
}

}  // namespace tandrin
