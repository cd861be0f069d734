#include "shell/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "shell/private_profile.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

namespace fs = std::filesystem;

using test::ScopedEnv;

class SettingsStoreTest : public ::testing::Test {
  protected:
    std::string ConfigDir() const { return m_home.Path() + "config/tandrin"; }
    std::string SettingsFile() const { return ConfigDir() + "/settings.ini"; }
    std::string Read(const std::string& name) const {
        std::string out = "junk";
        return RegReadString(kSettingsKey, name, out) == 1 ? out : "<none:" + out + ">";
    }

    test::TempDir m_home;
    ScopedEnv m_xdg{"XDG_CONFIG_HOME", m_home.Path() + "config"};
};

TEST_F(SettingsStoreTest, FirstRunFindsNothingAndReadingCreatesNothing) {
    EXPECT_EQ(Read("Language"), "<none:>");
    EXPECT_EQ(Read("Port"), "<none:>");
    EXPECT_FALSE(fs::exists(m_home.Path() + "config"));
    EXPECT_EQ(SettingsFilePath(), SettingsFile());
}

TEST_F(SettingsStoreTest, WrittenValuesReadBackUnderAnyLetterCase) {
    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", "Simple Chinese"), 1);
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyUSB0"), 1);
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyACM1"), 1);
    EXPECT_EQ(Read("Language"), "Simple Chinese");
    EXPECT_EQ(Read("port"), "/dev/ttyACM1");
    std::string out;
    EXPECT_EQ(RegReadString("software\\quorvel\\tandrin", "LANGUAGE", out), 1);
    EXPECT_EQ(out, "Simple Chinese");
    EXPECT_EQ(RegReadString("Software\\Other", "Language", out), 0);
    EXPECT_EQ(out, "");
}

TEST_F(SettingsStoreTest, ValuesOf256BytesOrMoreCountAsNotStored) {
    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", std::string(255, 'x')), 1);
    EXPECT_EQ(Read("Language"), std::string(255, 'x'));
    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", std::string(256, 'x')), 1);
    EXPECT_EQ(Read("Language"), "<none:>");
}

TEST_F(SettingsStoreTest, AnyTextRoundTripsWithoutBreakingTheFile) {
    const std::string tricky[] = {
        "  blanks kept  ",           "\"quoted\"",          "'single'",  "back\\slash\\",
        "not an escape: \\x41 \\\"", "line\nPort=injected", "cr\rtab\t", "\xCE\xC2\xB6\xC8 GBK",
        ";looks like a comment",     "[Section]",           "",
    };
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyS0"), 1);
    for (const std::string& text : tricky) {
        ASSERT_EQ(RegWriteString(kSettingsKey, "Language", text), 1) << text;
        EXPECT_EQ(Read("Language"), text);
        EXPECT_EQ(Read("Port"), "/dev/ttyS0");
    }
}

TEST_F(SettingsStoreTest, WritingKeepsEverythingElseInTheFile) {
    const std::string before =
        "; written by hand\n"
        "[Other\\Key]\n"
        "Language=\"Keep me\"\n"
        "\n"
        "[Software\\Quorvel\\Tandrin]\n"
        "Extra=1\n"
        "Language=\"English\"\n";
    m_home.Write("config/tandrin/settings.ini", before);
    ASSERT_EQ(RegWriteString(kSettingsKey, "Language", "Simple Chinese"), 1);
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyUSB1"), 1);
    std::string after;
    ASSERT_TRUE(ReadWholeFile(SettingsFile(), after));
    EXPECT_EQ(after,
              "; written by hand\n"
              "[Other\\Key]\n"
              "Language=\"Keep me\"\n"
              "\n"
              "[Software\\Quorvel\\Tandrin]\n"
              "Port=\"/dev/ttyUSB1\"\n"
              "Extra=1\n"
              "Language=\"Simple Chinese\"\n");
    EXPECT_EQ(ReadProfileString(SettingsFile(), "Other\\Key", "Language"), "Keep me");
}

TEST_F(SettingsStoreTest, WritesLeaveNoTemporaryFiles) {
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyUSB" + std::to_string(i)), 1);
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ConfigDir())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"settings.ini"});
}

TEST_F(SettingsStoreTest, FailedWritesReturnZeroAndChangeNothing) {
    // The configuration directory cannot be made: a file is in the way.
    m_home.Write("blocked", "");
    {
        ScopedEnv blocked("XDG_CONFIG_HOME", m_home.Path() + "blocked");
        EXPECT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyS0"), 0);
    }
    // The settings file's place is taken by a directory.
    fs::create_directories(SettingsFile());
    EXPECT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyS0"), 0);
    EXPECT_EQ(Read("Port"), "<none:>");
    fs::remove(SettingsFile());
    // Names that cannot be written as a key line.
    EXPECT_EQ(RegWriteString(kSettingsKey, "Po=rt", "x"), 0);
    EXPECT_EQ(RegWriteString(kSettingsKey, "Port\n", "x"), 0);
    EXPECT_EQ(RegWriteString("Key]", "Port", "x"), 0);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(SettingsStoreTest, WithoutXdgConfigHomeTheFileIsUnderHomeDotConfig) {
    ScopedEnv home("HOME", m_home.Path() + "user");
    ScopedEnv relative("XDG_CONFIG_HOME", std::string("relative/dir"));
    EXPECT_EQ(SettingsFilePath(), m_home.Path() + "user/.config/tandrin/settings.ini");
    ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyS1"), 1);
    EXPECT_TRUE(fs::exists(m_home.Path() + "user/.config/tandrin/settings.ini"));
}

}  // namespace
}  // namespace tandrin
