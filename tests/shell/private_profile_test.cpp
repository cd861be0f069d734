#include "shell/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tandrin {
namespace {

using test::TempDir;

TEST(PrivateProfile, SectionAndKeyMatchWithoutRegardToLetterCase) {
    TempDir dir;
    const std::string path =
        dir.Write("a.ini", "[Lang]\nLanguage=English\n[lang]\nlanguage=Other\n");
    EXPECT_EQ(ReadProfileString(path, "LANG", "language"), "English");
    EXPECT_EQ(ReadProfileString(path, "lang", "LANGUAGE"), "English");
}

TEST(PrivateProfile, ValueRules) {
    const std::string text =
        "[S]\r\n"
        "blanks = \t two words \t\r\n"
        "double=\"  quoted  \"\n"
        "single='x'\n"
        "onePair=\"\"x\"\"\n"
        "mismatched=\"x'\n"
        "lone=\"\n"
        "equals=a=b=c\n"
        "empty=\n";
    const std::string_view view = text;
    EXPECT_EQ(LookupProfileString(view, "S", "blanks"), "two words");
    EXPECT_EQ(LookupProfileString(view, "S", "double"), "  quoted  ");
    EXPECT_EQ(LookupProfileString(view, "S", "single"), "x");
    EXPECT_EQ(LookupProfileString(view, "S", "onePair"), "\"x\"");
    EXPECT_EQ(LookupProfileString(view, "S", "mismatched"), "\"x'");
    EXPECT_EQ(LookupProfileString(view, "S", "lone"), "\"");
    EXPECT_EQ(LookupProfileString(view, "S", "equals"), "a=b=c");
    EXPECT_EQ(LookupProfileString(view, "S", "empty"), "");
}

TEST(PrivateProfile, AZeroByteEndsTheValue) {
    const std::string text("[S]\nzero=ab\0cd\nnext=1\n", 22);
    EXPECT_EQ(LookupProfileString(text, "S", "zero"), "ab");
    EXPECT_EQ(LookupProfileString(text, "S", "next"), "1");
}

TEST(PrivateProfile, LongValuesAreCutTo255Bytes) {
    const std::string exact(255, 'a');
    const std::string longer = std::string(300, 'b');
    const std::string text = "[S]\nexact=" + exact + "\nlonger=\"" + longer + "\"\n";
    EXPECT_EQ(LookupProfileString(text, "S", "exact"), exact);
    EXPECT_EQ(LookupProfileString(text, "S", "longer"), std::string(255, 'b'));
    // Listing keeps the whole value.
    EXPECT_EQ(ParseProfile(text).at(1).value, longer);
}

TEST(PrivateProfile, FirstEntryWinsAndStrayLinesAreIgnored) {
    const std::string withBom = "\xEF\xBB\xBF[Lang]\nLanguage=First\nLanguage=Second\n";
    EXPECT_EQ(LookupProfileString(withBom, "Lang", "Language"), "First");
    const std::string text =
        "orphan=1\n"
        "\xEF\xBB\xBF\n"
        "[S]\n"
        ";hidden=1\n"
        "  ; hidden2=1\n"
        "no equals sign\n"
        "  [ T ]  \n"
        "k = v\n"
        "[S]\n"
        "late=2\n";
    const std::vector<ProfileEntry> entries = ParseProfile(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].section, "T");
    EXPECT_EQ(entries[0].key, "k");
    EXPECT_EQ(LookupProfileString(text, "", "orphan"), "");
    EXPECT_EQ(LookupProfileString(text, "S", "hidden"), "");
    EXPECT_EQ(LookupProfileString(text, "S", "late"), "2");
}

TEST(PrivateProfile, MissingFileSectionOrKeyGiveTheEmptyText) {
    TempDir dir;
    const std::string path = dir.Write("a.ini", "[Lang]\nLanguage=English\n");
    EXPECT_EQ(ReadProfileString(dir.Path() + "none.ini", "Lang", "Language"), "");
    EXPECT_EQ(ReadProfileString(path, "String", "Language"), "");
    EXPECT_EQ(ReadProfileString(path, "Lang", "Name"), "");
    EXPECT_EQ(ReadProfileString(dir.Path(), "Lang", "Language"), "");  // a directory
    EXPECT_EQ(ReadProfileString("", "Lang", "Language"), "");
}

TEST(PrivateProfile, ReadsTheFileAtEachCall) {
    TempDir dir;
    const std::string path = dir.Write("a.ini", "[S]\nk=old\n");
    EXPECT_EQ(ReadProfileString(path, "S", "k"), "old");
    dir.Write("a.ini", "[S]\nk=new\n");
    EXPECT_EQ(ReadProfileString(path, "S", "k"), "new");
    std::filesystem::remove(path);
    EXPECT_EQ(ReadProfileString(path, "S", "k"), "");
}

}  // namespace
}  // namespace tandrin
