#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "device/degree_text.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/menu_range.h"
#include "shell/private_profile.h"
#include "shell/program_dir.h"
#include "shell/settings_store.h"
#include "support/fake_shell.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

namespace fs = std::filesystem;
using namespace main_ids;
using test::FakeForm;
using test::FakeMenuBar;
using test::FakeShell;

const std::string kWesternDegree =
    "\xB0"
    "C";
const std::string kChineseDegree = "\xA1\xE6";

class RecordingPage : public DevicePage {
  public:
    RecordingPage(std::vector<std::string>& log, std::string name)
        : m_log(log), m_name(std::move(name)) {}
    void Translate() override { m_log.push_back(m_name + " translate"); }
    void RefreshDegreeTexts() override { m_log.push_back(m_name + " degree"); }

  private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

const std::string kFullTexts =
    "[String]\nstrReady=Bereit\n"
    "[Menu]\nIDS_MENU_FILE=&Datei\nIDS_MENU_Process=&Geraet\nIDS_MENU_ENV=&Umgebung\n"
    "IDS_MENU_HELP=&Hilfe\nIDM_FILE_EXIT=&Beenden\nIDT_ONLINE=&Verbinden\nIDT_SEARCH=&Suchen\n"
    "IDT_RESET=&Ruecksetzen\nIDT_STOP=&Halt\nIDM_HELP_ABOUT=&Info\n"
    "IDS_MENU_PORT=&Schnittstelle\nIDS_MENU_LANG=&Sprache\n"
    "[MainDlg]\nIDC_TAB1=Strom\nIDC_TAB2=Einrichtung\nIDC_TAB3=Geraeteinfo\nIDC_TAB4=Monitor\n"
    "IDC_TAB5=Kalibrierung\nIDC_STA_INF1=Aktueller Wert\nIDC_CMD_GETVARIN=Lesen\n";

class LanguageTest : public ::testing::Test {
  protected:
    LanguageTest() { SetProgramDirForTesting(m_program.Path()); }
    ~LanguageTest() override {
        SetProgramDirForTesting("");
        languageFilePath.clear();
        chineseUi = 0;
    }

    std::string AddLanguage(const std::string& file, const std::string& name,
                            const std::string& texts = "") {
        return m_program.Write(file, "[Lang]\nLanguage=" + name + "\n" + texts);
    }
    std::string SettingsFile() const { return m_config.Path() + "tandrin/settings.ini"; }
    std::string StoredLanguage() const {
        std::string out;
        return RegReadString(kSettingsKey, "Language", out) == 1 ? out : "<none>";
    }
    std::vector<std::string> LanguageMenu() const {
        return m_menu.ItemTexts(kMenuEnvironment, kLanguageSubmenu);
    }
    std::vector<int> CheckedLanguages() const {
        return m_menu.CheckedPositions(kMenuEnvironment, kLanguageSubmenu);
    }

    test::TempDir m_program;
    test::TempDir m_config;
    test::ScopedEnv m_xdg{"XDG_CONFIG_HOME", m_config.Path()};
    FakeForm m_form{{kValueGroup, "Current Value"},
                    {kPvReadout, "0.0  " + kWesternDegree},
                    {kGetButton, "Get"},
                    {kPageCurrentAdjust, "Current Adj"},
                    {kPageSetup, "Setup"},
                    {kPageInfo, "HART Inf"},
                    {kPageCalibration, "Offset"},
                    {kPageMonitor, "Monior"}};
    FakeMenuBar m_menu;
    FakeShell m_shell;
    MainDialog m_dialog{m_form, m_menu, m_shell};
};

TEST_F(LanguageTest, StartUpListsLanguageFilesByByteOrderOfTheirNamesAndStoresNothing) {
    AddLanguage("b.ini", "Beta");
    AddLanguage("a.ini", "Alpha");
    AddLanguage("E.INI", "Upper");
    m_program.Write("c.ini", "[String]\nstrReady=No language name\n");
    AddLanguage("notes.txt", "Not a language file");
    fs::create_directories(m_program.Path() + "d.ini");

    m_dialog.InitLanguages();

    EXPECT_EQ(m_dialog.languageNames, (std::vector<std::string>{"Upper", "Alpha", "Beta"}));
    EXPECT_EQ(m_dialog.languageFiles,
              (std::vector<std::string>{m_program.Path() + "E.INI", m_program.Path() + "a.ini",
                                        m_program.Path() + "b.ini"}));
    EXPECT_EQ(LanguageMenu(), (std::vector<std::string>{"Upper", "Alpha", "Beta"}));
    EXPECT_EQ(m_menu.ItemId(kMenuEnvironment, kLanguageSubmenu, 2), kLanguageFirst + 2);
    EXPECT_EQ(CheckedLanguages(), std::vector<int>{0});
    EXPECT_EQ(m_dialog.currentLanguage, "Upper");
    EXPECT_EQ(languageFilePath, m_program.Path() + "E.INI");
    // Ten ports, a separator, HART-IP Server...
    EXPECT_EQ(m_menu.ItemTexts(kMenuEnvironment, kPortSubmenu).size(), 12u);
    EXPECT_TRUE(m_shell.messages.empty());
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(LanguageTest, StoredLanguageIsRestoredAndAnUnknownOneFallsBackToTheFirst) {
    AddLanguage("a.ini", "Alpha");
    const std::string beta = AddLanguage("b.ini", "Beta");
    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", "Beta"), 1);
    m_dialog.InitLanguages();
    EXPECT_EQ(m_dialog.currentLanguage, "Beta");
    EXPECT_EQ(languageFilePath, beta);
    EXPECT_EQ(CheckedLanguages(), std::vector<int>{1});

    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", "beta"), 1);  // names are case-sensitive
    FakeMenuBar menu;
    MainDialog again(m_form, menu, m_shell);
    again.InitLanguages();
    EXPECT_EQ(again.currentLanguage, "Alpha");
    EXPECT_EQ(StoredLanguage(), "beta");
}

TEST_F(LanguageTest, TwoFilesWithOneNameAreBothListedAndTheFirstIsUsed) {
    const std::string first = AddLanguage("a.ini", "English", "[String]\nstrReady=first\n");
    AddLanguage("b.ini", "English", "[String]\nstrReady=second\n");
    m_dialog.InitLanguages();
    EXPECT_EQ(LanguageMenu(), (std::vector<std::string>{"English", "English"}));
    EXPECT_EQ(CheckedLanguages(), (std::vector<int>{0, 1}));

    m_dialog.OnLanguageCommand(kLanguageFirst + 1);
    EXPECT_EQ(languageFilePath, first);
    EXPECT_EQ(LangText("strReady"), "first");
    EXPECT_EQ(CheckedLanguages(), (std::vector<int>{0, 1}));
}

TEST_F(LanguageTest, OnlyTenLanguagesFitTheMenuButAStoredEleventhIsStillUsed) {
    for (int i = 0; i <= 10; ++i) {
        const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
        AddLanguage("lang" + number + ".ini", "L" + number);
    }
    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", "L10"), 1);
    m_dialog.InitLanguages();
    EXPECT_EQ(m_dialog.languageNames.size(), 11u);
    ASSERT_EQ(LanguageMenu().size(), 10u);
    EXPECT_EQ(LanguageMenu().back(), "L09");
    EXPECT_EQ(m_dialog.currentLanguage, "L10");
    EXPECT_EQ(languageFilePath, m_program.Path() + "lang10.ini");
    EXPECT_TRUE(CheckedLanguages().empty());
}

TEST_F(LanguageTest, WithoutALanguageFileTheUserIsToldAndEveryTextIsEmpty) {
    m_program.Write("texts.ini", kFullTexts);  // no display name
    m_dialog.InitLanguages();

    ASSERT_EQ(m_shell.messages.size(), 1u);
    EXPECT_EQ(m_shell.messages[0].text, "Language file lost!");
    EXPECT_EQ(m_shell.messages[0].caption, "Error");
    EXPECT_EQ(m_shell.messages[0].icon, MessageIcon::kError);
    EXPECT_EQ(LanguageMenu(),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_TRUE(languageFilePath.empty());
    EXPECT_EQ(LangText("strReady"), "");

    m_dialog.RetranslateAll();
    EXPECT_EQ(m_menu.TopCaption(kMenuFile), "&File");
    EXPECT_EQ(m_form.Text(kValueGroup), "Current Value");
    EXPECT_EQ(m_form.Text(kPageSetup), "");
    EXPECT_EQ(m_shell.status[0], "");
}

TEST_F(LanguageTest, OnlyTheExactNameSimpleChineseSwitchesTheDegreeSign) {
    AddLanguage("a.ini", "English");
    AddLanguage("b.ini", "Simple Chinese");
    AddLanguage("c.ini", "simple chinese");
    std::vector<std::string> log;
    RecordingPage setup(log, "setup");
    m_dialog.SetPage(MainDialog::kSetupPage, &setup);
    m_dialog.InitLanguages();
    EXPECT_EQ(chineseUi.load(), 0);
    m_form.SetText(kPvReadout, "21.500  " + kWesternDegree);

    m_dialog.OnLanguageCommand(kLanguageFirst + 1);
    EXPECT_EQ(chineseUi.load(), 1);
    EXPECT_EQ(DegreeText(), kChineseDegree);
    EXPECT_EQ(m_form.Text(kPvReadout), "21.500  " + kChineseDegree);

    m_dialog.OnLanguageCommand(kLanguageFirst + 2);
    EXPECT_EQ(chineseUi.load(), 0);
    EXPECT_EQ(m_form.Text(kPvReadout), "21.500  " + kWesternDegree);
    EXPECT_EQ(log, (std::vector<std::string>{"setup degree", "setup degree", "setup translate",
                                             "setup degree", "setup translate"}));
}

TEST_F(LanguageTest, PickingALanguageStoresItEvenWhenItIsAlreadyCurrent) {
    AddLanguage("a.ini", "Alpha", kFullTexts);
    AddLanguage("b.ini", "Beta");
    m_dialog.InitLanguages();
    ASSERT_FALSE(fs::exists(SettingsFile()));

    m_dialog.OnLanguageCommand(kLanguageFirst);
    EXPECT_EQ(StoredLanguage(), "Alpha");
    EXPECT_EQ(m_shell.status[0], "Bereit");
    fs::remove(SettingsFile());
    m_dialog.OnLanguageCommand(kLanguageFirst);
    EXPECT_EQ(StoredLanguage(), "Alpha");

    fs::remove(SettingsFile());
    m_dialog.OnLanguageCommand(kLanguageFirst + 2);  // no third language
    EXPECT_EQ(m_dialog.currentLanguage, "Alpha");
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(LanguageTest, RetranslateAllVisitsThePagesInTheirOrderThenSetsReady) {
    AddLanguage("a.ini", "Alpha", kFullTexts);
    std::vector<std::string> log;
    RecordingPage current(log, "current"), setup(log, "setup"), info(log, "info"),
        monitor(log, "monitor"), calibration(log, "calibration");
    m_dialog.SetPage(MainDialog::kMonitorPage, &monitor);
    m_dialog.SetPage(MainDialog::kCurrentAdjustPage, &current);
    m_dialog.SetPage(MainDialog::kCalibrationPage, &calibration);
    m_dialog.SetPage(MainDialog::kInfoPage, &info);
    m_dialog.SetPage(MainDialog::kSetupPage, &setup);
    m_dialog.InitLanguages();
    log.clear();

    m_dialog.RetranslateAll();
    EXPECT_EQ(log,
              (std::vector<std::string>{"current translate", "setup translate", "info translate",
                                        "monitor translate", "calibration translate"}));
    EXPECT_EQ(m_shell.statusHistory.back(), std::make_pair(0, std::string("Bereit")));
}

TEST_F(LanguageTest, MainWindowCaptionsSomeOnlyWhenTextedOthersAlways) {
    AddLanguage("a.ini", "Full", kFullTexts);
    AddLanguage("b.ini", "Bare");
    m_dialog.InitLanguages();
    m_dialog.TranslateMainWindow();
    EXPECT_EQ(m_menu.TopCaption(kMenuProcess), "&Geraet");
    EXPECT_EQ(m_menu.CommandCaption(kStop), "&Halt");
    EXPECT_EQ(m_menu.CommandCaption(kHelpAbout), "&Info");
    EXPECT_EQ(m_menu.SubmenuCaption(kMenuEnvironment, kPortSubmenu), "&Schnittstelle");
    EXPECT_EQ(m_menu.SubmenuCaption(kMenuEnvironment, kLanguageSubmenu), "&Sprache");
    EXPECT_EQ(m_form.Text(kPageCurrentAdjust), "Strom");
    EXPECT_EQ(m_form.Text(kPageCalibration), "Kalibrierung");
    EXPECT_EQ(m_form.Text(kPageMonitor), "Monitor");
    EXPECT_EQ(m_form.Text(kValueGroup), "Aktueller Wert");
    EXPECT_EQ(m_form.Text(kGetButton), "Lesen");

    m_dialog.OnLanguageCommand(kLanguageFirst + 1);
    EXPECT_EQ(m_menu.TopCaption(kMenuProcess), "&Geraet");
    EXPECT_EQ(m_menu.CommandCaption(kStop), "&Halt");
    EXPECT_EQ(m_menu.SubmenuCaption(kMenuEnvironment, kPortSubmenu), "");
    EXPECT_EQ(m_menu.SubmenuCaption(kMenuEnvironment, kLanguageSubmenu), "");
    EXPECT_EQ(m_form.Text(kPageSetup), "");
    EXPECT_EQ(m_form.Text(kValueGroup), "Aktueller Wert");
    EXPECT_EQ(m_form.Text(kGetButton), "Lesen");
}

TEST_F(LanguageTest, ToolTipsComeFromTheToolBarSectionCutTo79Bytes) {
    AddLanguage("a.ini", "English",
                "[ToolBar]\nIDC_COMBOPERIOD=Period\nIDT_HisData=" + std::string(100, 'h') +
                    "\n[Menu]\nIDM_FILE_EXIT=Exit\n");
    std::string chinese;
    for (int i = 0; i < 40; ++i) {
        chinese += "\xB1\xA3";
    }
    AddLanguage("b.ini", "Simple Chinese", "[ToolBar]\nIDT_SAVE=" + chinese + "\n");
    m_dialog.InitLanguages();
    EXPECT_EQ(m_dialog.ToolTipText(kPeriodBox), "Period");
    EXPECT_EQ(m_dialog.ToolTipText(kMonitorHistory), std::string(79, 'h'));
    EXPECT_EQ(m_dialog.ToolTipText(kFileExit), "");
    EXPECT_EQ(m_dialog.ToolTipText(kOnLine), "");

    // A Chinese text is never cut inside a character.
    m_dialog.OnLanguageCommand(kLanguageFirst + 1);
    EXPECT_EQ(m_dialog.ToolTipText(kMonitorSave), chinese.substr(0, 78));
}

TEST_F(LanguageTest, TheFileIsReadOnceALanguageAndMissingMessagesAreEnglish) {
    const std::string path = AddLanguage(
        "a.ini", "Alpha", "[KvView5]\nIDC_CALI4MA=To 4 mA\n[String]\nstrReady=Bereit\n");
    AddLanguage("b.ini", "Beta", "[String]\nstrReady=Klar\n");
    const std::size_t before = LanguageFileReads();
    m_dialog.InitLanguages();
    FakeForm page{{1025, "Calibration to 4mA"}, {1027, "Calibration to 20mA"}};
    for (int i = 0; i < 100; ++i) {
        TranslateControl(page, 1025, "IDC_CALI4MA", "KvView5");
        TranslateControl(page, 1027, "IDC_CALI20MA", "KvView5");
        EXPECT_EQ(LangText("strReady"), "Bereit");
    }
    EXPECT_EQ(LanguageFileReads(), before + 1);
    EXPECT_EQ(page.Text(1025), "To 4 mA");
    EXPECT_EQ(page.Text(1027), "Calibration to 20mA") << "a caption the file lacks is kept";
    // A message the file lacks is the built-in English one, never empty.
    EXPECT_EQ(LangText("strPortLost").rfind("The serial port has gone away", 0), 0u);
    EXPECT_EQ(LangText("KvView5", "IDC_CALI20MA"), "");

    // Read again only on a language switch, and then as it is on disk.
    fs::remove(path);
    EXPECT_EQ(LangText("KvView5", "IDC_CALI4MA"), "To 4 mA");
    m_dialog.OnLanguageCommand(kLanguageFirst + 1);
    EXPECT_EQ(LangText("strReady"), "Klar");
    m_dialog.OnLanguageCommand(kLanguageFirst);
    EXPECT_EQ(LanguageFileReads(), before + 3);
    EXPECT_EQ(LangText("KvView5", "IDC_CALI4MA"), "");
    EXPECT_EQ(LangText("strReady"), "Ready");
}

TEST_F(LanguageTest, ALanguageFileThatIsNoRegularFileIsRefusedAtOnce) {
    AddLanguage("a.ini", "Alpha");
    fs::create_symlink("/dev/zero", m_program.Path() + "zero.ini");
    ASSERT_EQ(::mkfifo((m_program.Path() + "fifo.ini").c_str(), 0600), 0);
    m_dialog.InitLanguages();
    EXPECT_EQ(m_dialog.languageNames, std::vector<std::string>{"Alpha"});
    ASSERT_EQ(m_dialog.languageProblems.size(), 2u);
    for (const std::string& problem : m_dialog.languageProblems) {
        EXPECT_NE(problem.find(" is not a regular file"), std::string::npos) << problem;
    }
    // Beyond the ceiling: refused before it is read.
    const std::string big = m_program.Path() + "big.ini";
    fs::resize_file(AddLanguage("big.ini", "Big"), kTextFileCeiling + 1);
    m_dialog.InitLanguages();
    EXPECT_EQ(m_dialog.languageNames, std::vector<std::string>{"Alpha"});
    ASSERT_EQ(m_dialog.languageProblems.size(), 3u);
    EXPECT_EQ(m_dialog.languageProblems[0], big + " is larger than 4 MB");
}

TEST(ProgramDir, IsTheDirectoryOfTheProgramFileUnlessOverridden) {
    const std::string own = fs::canonical("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(ProgramDir(), own);
    SetProgramDirForTesting("/opt/tandrin");
    EXPECT_EQ(ProgramDir(), "/opt/tandrin/");
    SetProgramDirForTesting("");
    EXPECT_EQ(ProgramDir(), own);
}

TEST(MenuRange, ReplacesOnlyItsRangeAndShowsAtMostItsSize) {
    FakeMenuBar menu;
    menu.InsertItem(kMenuEnvironment, kPortSubmenu, 10, 99, "other");
    std::vector<std::string> ports;
    for (int i = 0; i < 12; ++i) {
        ports.push_back("/dev/ttyUSB" + std::to_string(i));
    }
    RebuildMenuRange(menu, kMenuEnvironment, kPortSubmenu, kPortFirst, kPortLast, ports);
    const std::vector<std::string> texts = menu.ItemTexts(kMenuEnvironment, kPortSubmenu);
    ASSERT_EQ(texts.size(), 13u);  // and the separator, HART-IP Server...
    EXPECT_EQ(texts[0], "/dev/ttyUSB0");
    EXPECT_EQ(texts[9], "/dev/ttyUSB9");
    EXPECT_EQ(texts[10], "other");
    EXPECT_EQ(menu.ItemId(kMenuEnvironment, kPortSubmenu, 9), kPortLast);

    RebuildMenuRange(menu, kMenuEnvironment, kPortSubmenu, kPortFirst, kPortLast, {});
    EXPECT_EQ(menu.ItemTexts(kMenuEnvironment, kPortSubmenu),
              (std::vector<std::string>{"other", "", "HART-IP Server..."}));
    EXPECT_EQ(menu.ItemTexts(kMenuEnvironment, kLanguageSubmenu).size(), 10u);
}

}  // namespace
}  // namespace tandrin
