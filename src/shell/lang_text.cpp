#include "shell/lang_text.h"

#include <mutex>
#include <string_view>
#include <unordered_map>

#include "shell/builtin_english.h"
#include "shell/private_profile.h"

namespace tandrin {

std::string languageFilePath;

namespace {

// Section and key, folded to lower case as the profile names compare.
std::string TableKey(std::string_view section, std::string_view key) {
    std::string folded;
    folded.reserve(section.size() + key.size() + 1);
    for (std::string_view part : {section, std::string_view("\n", 1), key}) {
        for (const char c : part) {
            folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return folded;
}

using TextTable = std::unordered_map<std::string, std::string>;

TextTable MakeTable(std::string_view text) {
    TextTable table;
    for (ProfileEntry& entry : ParseProfile(text)) {
        // The first occurrence wins, as a lookup in the file finds it.
        table.emplace(TableKey(entry.section, entry.key),
                      entry.value.substr(0, kProfileValueLimit));
    }
    return table;
}

struct LoadedLanguage {
    std::mutex mutex;
    std::string path;
    bool loaded = false;
    TextTable texts;
    std::size_t reads = 0;
};

LoadedLanguage& Loaded() {
    static LoadedLanguage language;
    return language;
}

const TextTable& English() {
    static const TextTable table = MakeTable(BuiltInEnglishTexts());
    return table;
}

}  // namespace

std::string LangText(const std::string& section, const std::string& key) {
    LoadedLanguage& language = Loaded();
    const std::lock_guard<std::mutex> lock(language.mutex);
    if (languageFilePath.empty()) {
        return {};
    }
    if (!language.loaded || language.path != languageFilePath) {
        std::string text;
        // A file refused (not regular, too large) or unreadable leaves the
        // English texts.
        if (!ReadWholeFile(languageFilePath, text)) {
            text.clear();
        }
        language.texts = MakeTable(text);
        language.path = languageFilePath;
        language.loaded = true;
        ++language.reads;
    }
    const std::string folded = TableKey(section, key);
    if (const auto found = language.texts.find(folded); found != language.texts.end()) {
        return found->second;
    }
    // Messages are never empty; a caption the file lacks is left to the
    // caller (the control keeps what it shows).
    if (!ProfileNameEquals(section, "String")) {
        return {};
    }
    const TextTable& english = English();
    const auto fallback = english.find(folded);
    return fallback != english.end() ? fallback->second : std::string();
}

std::string LangText(const std::string& key) {
    return LangText("String", key);
}

void ReloadLanguageFile() {
    LoadedLanguage& language = Loaded();
    const std::lock_guard<std::mutex> lock(language.mutex);
    language.loaded = false;
}

std::size_t LanguageFileReads() {
    LoadedLanguage& language = Loaded();
    const std::lock_guard<std::mutex> lock(language.mutex);
    return language.reads;
}

void TranslateControl(Form& form, int id, const std::string& key, const std::string& section) {
    const std::string text = LangText(section, key);
    if (!text.empty() && form.HasControl(id)) {
        form.SetText(id, text);
    }
}

}  // namespace tandrin
