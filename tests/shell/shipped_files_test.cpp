// The data files that ship beside the program, as committed.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>

#include "device/degree_text.h"
#include "device/response_codes.h"
#include "procedures/loop_check_text.h"
#include "procedures/survey_text.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/private_profile.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

const std::string kResources = TANDRIN_RESOURCE_DIR;

using KeySet = std::set<std::pair<std::string, std::string>>;

void AddNumbered(KeySet& keys, const std::string& section, const std::string& stem, int first,
                 int last) {
    for (int i = first; i <= last; ++i) {
        keys.insert({section, stem + std::to_string(i)});
    }
}

// Every text the program looks up.
KeySet Inventory() {
    KeySet keys;
    const std::map<std::string, std::vector<std::string>> named = {
        {"Lang", {"Language"}},
        {"String",
         {"strReady", "strBusy", "strPortFail", "strCommunication", "strOpOK", "strOpFail",
          "strCommFail", "strBreak", "strFindMeter", "strVersion", "strTrimCurrent",
          "strCurrentErr", "SpanErr", "Sen1WireErr", "Sen2WireErr", "SenMatchErr", "strNOErr",
          "strPVCurve", "strCurrentCurve", "strPercentCurve", "strUnit", "strData", "strTime",
          "strFileError", "strSetZero", "strSetFull",
          // Port errors that name the port
          "strPortMissing", "strPortNotSerial", "strPortBusy", "strPortDenied",
          "strPortDeniedOwner", "strPortSettings", "strPortOther", "strNoMeter",
          // Loop safety
          "strFixCurrentOnClose", "strFixCurrentOnLeave",
          // Device information page
          "strFinalAssemblyErr"}},
        {"MainDlg", {"IDC_STA_INF1", "IDC_CMD_GETVARIN"}},
        {"ToolBar",
         {"IDT_ONLINE", "IDT_SEARCH", "IDT_RESET", "IDT_STOP", "IDT_PROINF", "IDT_CONTACT",
          "IDT_ALL", "IDT_PV", "IDT_CURRENT", "IDT_PERCENT", "IDT_HisData", "IDT_OPEN", "IDT_SAVE",
          "IDC_COMBOPERIOD", "IDC_COMBOCOMM"}},
        {"Menu",
         {"IDS_MENU_FILE", "IDM_FILE_EXIT", "IDS_MENU_Process", "IDT_ONLINE", "IDT_SEARCH",
          "IDT_RESET", "IDT_STOP", "IDS_MENU_ENV", "IDS_MENU_PORT", "IDS_MENU_LANG",
          "IDS_MENU_HELP", "IDM_HELP_ABOUT", "IDM_HELP_TRACE"}},
        {"About", {"IDC_STA1", "IDOK"}},
        {"KvView1",
         {"IDC_STA1", "IDC_STA2", "IDC_StaCap1", "IDC_StaCap2", "IDC_RADIO8", "IDC_cmdSendFixI",
          "IDC_cmdExitI", "IDC_cmdTest1", "IDC_cmdTest2"}},
        {"KvView2",
         {"IDC_RAO_SINGLESENSE", "IDC_RAO_DOUBLESENSE", "IDC_cmdRead2", "IDC_cmdWrite2",
          "IDC_cboOutSense1", "IDC_cboOutSense2"}},
        {"KvView3", {"IDC_StaCap1", "IDC_StaCap2", "IDC_StaCap3"}},
        {"KvView4",
         {"strTime", "strData", "strUnit", "strPVCurve", "strCurrentCurve", "strPercentCurve"}},
        {"KvView5", {"IDC_CALI4MA", "IDC_CALI20MA"}},
    };
    for (const auto& [section, list] : named) {
        for (const std::string& key : list) {
            keys.insert({section, key});
        }
    }
    AddNumbered(keys, "MainDlg", "IDC_TAB", 1, 5);
    AddNumbered(keys, "KvView2", "IDC_STA", 1, 17);
    AddNumbered(keys, "KvView2", "IDC_RAO_MODE", 1, 4);
    AddNumbered(keys, "KvView2", "IDC_cboDisMode", 1, 3);
    AddNumbered(keys, "KvView2", "IDC_cboDisReo", 0, 3);
    AddNumbered(keys, "KvView2", "IDC_cboWire", 0, 2);
    AddNumbered(keys, "KvView2", "m_cboSensorType", 0, 27);
    AddNumbered(keys, "KvView3", "IDC_STA", 1, 6);
    keys.insert({"String", "strPortLost"});  // serial line lost
    // The monitor page: the question before unsaved samples go, CSV export.
    keys.insert({"String", "strDiscardSamples"});
    keys.insert({"String", "strExportCsv"});
    // Writes: values no float holds, units without code, texts as stored,
    // a release that failed or goes elsewhere.
    for (const char* key :
         {"strValueErr", "strUnitUnknown", "strStoredAs", "strReleaseFailed", "strReleaseWhere"}) {
        keys.insert({"String", key});
    }
    // Configuration snapshots: File menu entries, restore dialog, field names.
    for (const char* key : {"IDM_FILE_SAVECONFIG",
                            "IDM_FILE_RESTORECONFIG",
                            "strSnapFilter",
                            "strSnapSaved",
                            "strSnapWriteFail",
                            "strSnapReadFail",
                            "strSnapOtherDevice",
                            "strSnapEqual",
                            "strSnapTitle",
                            "strSnapIntro",
                            "strSnapColField",
                            "strSnapColFile",
                            "strSnapColDevice",
                            "strSnapWithAddress",
                            "strSnapWithFinal",
                            "strSnapRestore",
                            "strSnapCancel",
                            "strSnapRestored",
                            "strSnapNotTaken",
                            "tag",
                            "descriptor",
                            "message",
                            "date",
                            "final_assembly",
                            "poll_address",
                            "sensors",
                            "work_mode",
                            "output_sensor",
                            "sensor1_type",
                            "sensor1_wiring",
                            "sensor1_offset",
                            "sensor2_type",
                            "sensor2_wiring",
                            "sensor2_offset",
                            "unit",
                            "lower_range",
                            "upper_range",
                            "damping",
                            "display_mode",
                            "decimals",
                            "alarm"}) {
        keys.insert({"Snapshot", key});
    }
    // The transmitter's own words: response code meanings, what each
    // command writes, device status bits, the device status dialog.
    for (int command = 0; command < 256; ++command) {
        for (int code = 1; code < 256; ++code) {
            const std::string key = ResponseCodeKey(static_cast<std::uint8_t>(command),
                                                    static_cast<std::uint8_t>(code));
            if (!key.empty()) {
                keys.insert({"String", key});
            }
        }
    }
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        keys.insert({"String", bit.key});
    }
    for (int command : {6, 16, 17, 18, 19, 34, 35, 36, 37, 38, 40, 42, 44, 45, 46, 48, 186, 187}) {
        keys.insert({"String", "strCmd" + std::to_string(command)});
    }
    for (const char* key : {"strCmdOther",
                            "strOpRefused",
                            "strOpWarning",
                            "strRefused",
                            "strTakenWithWarning",
                            "strWritesTaken",
                            "strRcUnknown",
                            "strDeviceStatus",
                            "strNotAvailable",
                            "strFixCurrentForeign",
                            "strYes",
                            "strNo",
                            "strResetConfigAsk",
                            "strStatusTitle",
                            "strStatusRead",
                            "strStatusClearConfig",
                            "strStatusItem",
                            "strAsExtended",
                            "strAsOperatingMode",
                            "strAsStandard0",
                            "strAsStandard1",
                            "strAsStandard2",
                            "strAsStandard3",
                            "strAsSaturated",
                            "strAsFixed",
                            "strAsSpecific",
                            "strEsMaintenance",
                            "strEsVariableAlert",
                            "strEsPowerFailure",
                            "strEsFailure",
                            "strEsOutsideRated",
                            "strEsFunctionCheck",
                            "strSs0Simulation",
                            "strSs0NvMemory",
                            "strSs0VMemory",
                            "strSs0Watchdog",
                            "strSs0Voltage",
                            "strSs0Environment",
                            "strSs0Electronics",
                            "strSs0Locked"}) {
        keys.insert({"String", key});
    }
    keys.insert({"Menu", "IDM_DEVICE_STATUS"});
    // Loop check: the menu entry, the window and the report.
    keys.insert({"Menu", "IDM_LOOP_CHECK"});
    for (const auto& [key, english] : LoopCheckEnglishTexts()) {
        keys.insert({"LoopCheck", key});
    }
    // A HART-IP server: the menu entry, its dialog, what is said naming it.
    keys.insert({"Menu", "IDM_PORT_HART_IP"});
    for (const char* key :
         {"strHartIpTitle", "strHartIpHost", "strHartIpPort", "strHartIpTransport", "strServerName",
          "strServerUnknown", "strServerNone", "strServerBusy", "strServerVersion",
          "strServerRefused", "strServerNak", "strServerError", "strServerLost"}) {
        keys.insert({"String", key});
    }
    // The survey: the menu entry and the window.
    keys.insert({"Menu", "IDM_SURVEY"});
    for (const auto& [key, english] : SurveyEnglishTexts()) {
        keys.insert({"Survey", key});
    }
    return keys;
}

std::string Slurp(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, text)) << path;
    return text;
}

// Every key exactly once, with a text the lookup returns whole.
KeySet CheckedKeys(const std::string& file) {
    KeySet keys;
    for (const ProfileEntry& entry : ParseProfile(Slurp(kResources + file))) {
        EXPECT_TRUE(keys.insert({entry.section, entry.key}).second)
            << file << " repeats " << entry.section << "/" << entry.key;
        EXPECT_FALSE(entry.value.empty()) << file << " " << entry.section << "/" << entry.key;
        EXPECT_LE(entry.value.size(), kProfileValueLimit) << entry.key;
        if (entry.section == "ToolBar") {
            EXPECT_LE(entry.value.size(), 79u) << file << " tooltip " << entry.key;
        }
    }
    return keys;
}

TEST(ShippedLanguageFiles, BothHoldEveryKeyAndNoOther) {
    const KeySet english = CheckedKeys("English.ini");
    EXPECT_EQ(english, Inventory());
    EXPECT_EQ(CheckedKeys("SimplifiedChinese.ini"), english);
}

// The texts built in for a language file without them are the English ones.
TEST(ShippedLanguageFiles, TheLoopCheckFallbacksAreTheEnglishTexts) {
    for (const auto& [key, english] : LoopCheckEnglishTexts()) {
        EXPECT_EQ(ReadProfileString(kResources + "English.ini", "LoopCheck", key), english) << key;
    }
}

TEST(ShippedLanguageFiles, TheSurveyFallbacksAreTheEnglishTexts) {
    for (const auto& [key, english] : SurveyEnglishTexts()) {
        EXPECT_EQ(ReadProfileString(kResources + "English.ini", "Survey", key), english) << key;
    }
}

TEST(ShippedLanguageFiles, DisplayNamesAndSensorListOrder) {
    EXPECT_EQ(ReadProfileString(kResources + "English.ini", "Lang", "Language"), "English");
    EXPECT_EQ(ReadProfileString(kResources + "SimplifiedChinese.ini", "Lang", "Language"),
              "Simple Chinese");
    for (const char* file : {"English.ini", "SimplifiedChinese.ini"}) {
        const std::string path = kResources + file;
        const auto sensor = [&](int position) {
            return ReadProfileString(path, "KvView2", "m_cboSensorType" + std::to_string(position));
        };
        EXPECT_EQ(sensor(0), "Pt100") << file;
        EXPECT_EQ(sensor(4), "Cu100") << file;
        EXPECT_NE(sensor(10).find("Ni1000 (6180"), std::string::npos) << file;
        EXPECT_NE(sensor(11).find('B'), std::string::npos) << file;
        EXPECT_NE(sensor(20).find('D'), std::string::npos) << file;
        EXPECT_NE(sensor(21).find("400"), std::string::npos) << file;
        EXPECT_NE(sensor(23).find("-10"), std::string::npos) << file;
        EXPECT_NE(sensor(27).find("2000"), std::string::npos) << file;
    }
    // The search appends " 3, 7" and the version message the version text.
    const std::string english = kResources + "English.ini";
    EXPECT_EQ(ReadProfileString(english, "String", "strFindMeter").back(), ':');
    EXPECT_EQ(ReadProfileString(english, "String", "strVersion").back(), ' ');
}

bool IsWindows1252Text(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool control = byte < 0x20 && c != '\n' && c != '\r' && c != '\t';
        const bool unassigned = byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
                                byte == 0x90 || byte == 0x9D;
        if (control || unassigned) {
            return false;
        }
    }
    return true;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, got);
        }
        if (pclose(pipe) != 0) {
            out = "<failed: " + command + ">";
        }
    }
    return out;
}

TEST(ShippedLanguageFiles, EncodingsAreWindows1252AndGbk) {
    EXPECT_TRUE(IsWindows1252Text(Slurp(kResources + "English.ini")));
    // The Chinese file is its UTF-8 source converted to GBK.
    const std::string utf8 =
        RunCommand("iconv -f GBK -t UTF-8 '" + kResources + "SimplifiedChinese.ini'");
    const std::string source = Slurp(kResources + "src/SimplifiedChinese.utf8.ini");
    ASSERT_GE(utf8.size(), source.size());
    EXPECT_EQ(utf8.substr(utf8.size() - source.size()), source);
    // Three-wire, in GBK bytes.
    EXPECT_EQ(ReadProfileString(kResources + "SimplifiedChinese.ini", "KvView2", "IDC_cboWire1"),
              "\xC8\xFD\xCF\xDF\xD6\xC6");
}

TEST(ShippedLanguageFiles, TheProgramFindsBothAndSwitchesBetweenThem) {
    test::TempDir config;
    test::ScopedEnv xdg("XDG_CONFIG_HOME", config.Path());
    SetProgramDirForTesting(kResources);
    test::FakeForm form{{1004,
                         "0.0  \xB0"
                         "C"}};
    test::FakeMenuBar menu;
    test::FakeShell shell;
    MainDialog dialog(form, menu, shell);
    dialog.InitLanguages();
    // English sorts first, so a first run comes up in English.
    EXPECT_EQ(dialog.languageNames, (std::vector<std::string>{"English", "Simple Chinese"}));
    EXPECT_EQ(chineseUi.load(), 0);
    EXPECT_NE(LangText("Menu", "IDS_MENU_LANG").find("Language"), std::string::npos);
    dialog.OnLanguageCommand(32798);
    EXPECT_EQ(chineseUi.load(), 1);
    EXPECT_EQ(form.Text(1004), "0.0  \xA1\xE6");
    EXPECT_EQ(shell.status[0], "\xBE\xCD\xD0\xF7");  // GBK for "ready"
    dialog.OnLanguageCommand(32797);
    EXPECT_EQ(shell.status[0], "Ready");
    EXPECT_EQ(form.Text(1004),
              "0.0  \xB0"
              "C");
    SetProgramDirForTesting("");
    languageFilePath.clear();
    chineseUi = 0;
}

TEST(ShippedProductFile, NamesOurProductAndAddress) {
    const std::string path = kResources + "kvrfw.dat";
    EXPECT_EQ(ReadProfileString(path, "SoftInf", "Name"), "Tandrin");
    EXPECT_EQ(ReadProfileString(path, "SoftInf", "Commpany"), "Quorvel Instruments");
    EXPECT_EQ(ReadProfileString(path, "SoftInf", "web"), "https://tandrin.invalid/");
}

}  // namespace
}  // namespace tandrin
