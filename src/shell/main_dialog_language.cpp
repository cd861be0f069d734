// The main window's language handling: finding the language files, the
// Language menu, and putting the current language's texts on the window.
// Fonts and repainting follow in the Qt layer, which reads chineseUi.
#include <dirent.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "device/degree_text.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/menu_range.h"
#include "shell/private_profile.h"
#include "shell/program_dir.h"
#include "shell/settings_store.h"

namespace tandrin {

namespace {

using namespace main_ids;

constexpr const char* kChineseName = "Simple Chinese";
constexpr const char* kWesternDegree =
    "\xB0"
    "C";
constexpr const char* kChineseDegree = "\xA1\xE6";
constexpr int kLanguageSlots = kLanguageLast - kLanguageFirst + 1;
// The toolbar's tooltip field holds 80 bytes with the terminating zero.
constexpr std::size_t kToolTipLimit = 79;

struct IdKey {
    int id;
    const char* key;
};

constexpr std::array<IdKey, 14> kToolTips{{
    {kOnLine, "IDT_ONLINE"},
    {kSearch, "IDT_SEARCH"},
    {kReset, "IDT_RESET"},
    {kStop, "IDT_STOP"},
    {kProductInfo, "IDT_PROINF"},
    {kContact, "IDT_CONTACT"},
    {kMonitorAll, "IDT_ALL"},
    {kMonitorPv, "IDT_PV"},
    {kMonitorCurrent, "IDT_CURRENT"},
    {kMonitorPercent, "IDT_PERCENT"},
    {kMonitorHistory, "IDT_HisData"},
    {kMonitorOpen, "IDT_OPEN"},
    {kMonitorSave, "IDT_SAVE"},
    {kPeriodBox, "IDC_COMBOPERIOD"},
}};

constexpr std::array<const char*, 4> kTopMenuKeys{"IDS_MENU_FILE", "IDS_MENU_Process",
                                                  "IDS_MENU_ENV", "IDS_MENU_HELP"};

constexpr std::array<IdKey, 7> kMenuCommands{{
    {kFileExit, "IDM_FILE_EXIT"},
    {kOnLine, "IDT_ONLINE"},
    {kSearch, "IDT_SEARCH"},
    {kReset, "IDT_RESET"},
    {kStop, "IDT_STOP"},
    {kHelpAbout, "IDM_HELP_ABOUT"},
    {kHelpTraceFolder, "IDM_HELP_TRACE"},
}};

// The calibration button shows "IDC_TAB5" and the monitor button "IDC_TAB4".
constexpr std::array<IdKey, 5> kPageButtons{{
    {kPageCurrentAdjust, "IDC_TAB1"},
    {kPageSetup, "IDC_TAB2"},
    {kPageInfo, "IDC_TAB3"},
    {kPageCalibration, "IDC_TAB5"},
    {kPageMonitor, "IDC_TAB4"},
}};

bool IsLanguageFileName(std::string_view name) {
    return name.size() >= 4 && ProfileNameEquals(name.substr(name.size() - 4), ".ini");
}

// Sorted by file name, byte for byte: directory order differs between file
// systems, and the first file is the language taken when none is stored.
std::vector<std::string> FindLanguageFiles(const std::string& dir) {
    std::vector<std::string> names;
    DIR* listing = opendir(dir.c_str());
    if (listing == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        // Anything else of the name is refused, with the reason, when read.
        if (IsLanguageFileName(name)) {
            names.push_back(name);
        }
    }
    closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Cuts at a character boundary: a GBK lead byte (81..FE) is never left
// without its trail byte.
std::string CutText(const std::string& text, std::size_t limit) {
    if (chineseUi.load() != 1) {
        return text.substr(0, limit);
    }
    std::size_t end = 0;
    while (end < text.size()) {
        const auto byte = static_cast<unsigned char>(text[end]);
        const std::size_t width = byte >= 0x81 && byte <= 0xFE && end + 1 < text.size() ? 2 : 1;
        if (end + width > limit) {
            break;
        }
        end += width;
    }
    return text.substr(0, end);
}

void CheckLanguageItems(MenuBar& menu, const std::string& name) {
    const int count = std::min(menu.ItemCount(kMenuEnvironment, kLanguageSubmenu), kLanguageSlots);
    for (int position = 0; position < count; ++position) {
        menu.SetItemChecked(kMenuEnvironment, kLanguageSubmenu, position,
                            menu.ItemText(kMenuEnvironment, kLanguageSubmenu, position) == name);
    }
}

}  // namespace

void MainDialog::InitLanguages() {
    languageNames.clear();
    languageFiles.clear();
    const std::string dir = ProgramDir();
    languageProblems.clear();
    for (const std::string& file : FindLanguageFiles(dir)) {
        std::string text;
        const FileReadStatus read = ReadWholeFile(dir + file, text);
        if (!read) {
            languageProblems.push_back(FileReadProblem(dir + file, read));
            continue;
        }
        const std::string name = LookupProfileString(text, "Lang", "Language");
        if (!name.empty()) {
            languageNames.push_back(name);
            languageFiles.push_back(dir + file);
        }
    }
    if (languageNames.empty()) {
        m_shell.MessageBox("Language file lost!", "Error", MessageIcon::kError);
        return;
    }
    RebuildMenuRange(m_menu, kMenuEnvironment, kLanguageSubmenu, kLanguageFirst, kLanguageLast,
                     languageNames);
    // The choice made here is not stored; only a pick from the menu is.
    std::string stored;
    RegReadString(kSettingsKey, "Language", stored);
    const bool known =
        std::find(languageNames.begin(), languageNames.end(), stored) != languageNames.end();
    currentLanguage = known ? stored : languageNames.front();
    SelectLanguage(currentLanguage);
}

void MainDialog::SelectLanguage(const std::string& name) {
    CheckLanguageItems(m_menu, name);
    const auto found = std::find(languageNames.begin(), languageNames.end(), name);
    if (found != languageNames.end()) {
        languageFilePath = languageFiles[static_cast<std::size_t>(found - languageNames.begin())];
    }
    ReloadLanguageFile();
    const bool chinese = name == kChineseName;
    chineseUi.store(chinese ? 1 : 0);
    const std::string readout = m_form.Text(kPvReadout);
    m_form.SetText(kPvReadout, chinese ? ReplaceAll(readout, kWesternDegree, kChineseDegree)
                                       : ReplaceAll(readout, kChineseDegree, kWesternDegree));
    for (DevicePage* page : m_pages) {
        if (page != nullptr) {
            page->RefreshDegreeTexts();
        }
    }
}

void MainDialog::OnLanguageCommand(int id) {
    const int index = id - kLanguageFirst;
    if (id < kLanguageFirst || id > kLanguageLast ||
        static_cast<std::size_t>(index) >= languageNames.size()) {
        return;
    }
    currentLanguage = languageNames[static_cast<std::size_t>(index)];
    SelectLanguage(currentLanguage);
    // A failed write only means the choice is not remembered next time.
    RegWriteString(kSettingsKey, "Language", currentLanguage);
    RetranslateAll();
}

void MainDialog::RetranslateAll() {
    TranslateMainWindow();
    for (DevicePage* page : m_pages) {
        if (page != nullptr) {
            page->Translate();
        }
    }
    SetStatusText(0, LangText("strReady"));
}

void MainDialog::TranslateMainWindow() {
    for (int top = 0; top < static_cast<int>(kTopMenuKeys.size()); ++top) {
        const std::string text = LangText("Menu", kTopMenuKeys[static_cast<std::size_t>(top)]);
        if (!text.empty()) {
            m_menu.SetTopCaption(top, text);
        }
    }
    for (const IdKey& command : kMenuCommands) {
        TranslateMenuItem(command.id, command.key);
    }
    // Loop check
    TranslateMenuItem(kLoopCheck, "IDM_LOOP_CHECK");
    TranslateMenuItem(kDeviceStatus, "IDM_DEVICE_STATUS");
    // These captions and the page buttons are set even when the text is
    // missing, so a language without them shows no stale texts.
    m_menu.SetSubmenuCaption(kMenuEnvironment, kPortSubmenu, LangText("Menu", "IDS_MENU_PORT"));
    m_menu.SetSubmenuCaption(kMenuEnvironment, kLanguageSubmenu, LangText("Menu", "IDS_MENU_LANG"));
    for (const IdKey& button : kPageButtons) {
        m_form.SetText(button.id, LangText("MainDlg", button.key));
    }
    TranslateControl(m_form, kValueGroup, "IDC_STA_INF1", "MainDlg");
    TranslateControl(m_form, kGetButton, "IDC_CMD_GETVARIN", "MainDlg");
}

void MainDialog::TranslateMenuItem(int id, const std::string& key) {
    const std::string text = LangText("Menu", key);
    if (!text.empty()) {
        m_menu.SetCommandCaption(id, text);
    }
}

std::string MainDialog::ToolTipText(int id) const {
    const auto tool = std::find_if(kToolTips.begin(), kToolTips.end(),
                                   [id](const IdKey& entry) { return entry.id == id; });
    return tool == kToolTips.end() ? std::string()
                                   : CutText(LangText("ToolBar", tool->key), kToolTipLimit);
}

}  // namespace tandrin
