#include <gtest/gtest.h>

#include "shell/about_box.h"
#include "shell/lang_text.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

// The About box and the contact button over product files in a temp dir.
class AboutBox : public ::testing::Test {
  protected:
    void SetUp() override { SetProgramDirForTesting(dir.Path()); }
    void TearDown() override {
        SetProgramDirForTesting("");
        languageFilePath.clear();
    }
    void Product(const std::string& body) { dir.Write("kvrfw.dat", "[SoftInf]\n" + body); }

    test::TempDir dir;
    test::FakeForm form{
        {about_ids::kVersionLine, "V01"}, {about_ids::kCompanyLine, ""}, {about_ids::kOk, "OK"}};
    test::FakeShell shell;
};

TEST_F(AboutBox, ShowsTheProductFile) {
    Product("Name=Probe\nCommpany=Example Ltd\n");
    EXPECT_EQ(InitAboutBox(form), "About Probe");
    EXPECT_EQ(form.Text(about_ids::kVersionLine), "Probe  V01");
    EXPECT_EQ(form.Text(about_ids::kCompanyLine), "Example Ltd");
    EXPECT_EQ(form.focus, about_ids::kOk);
}

TEST_F(AboutBox, TheCompanyLineReplacesItsTranslationEvenWhenEmpty) {
    languageFilePath = dir.Write("Lang.ini", "[About]\nIDC_STA1=Translated\nIDOK=Fine\n");
    Product("Name=Probe\n");
    InitAboutBox(form);
    EXPECT_EQ(form.Text(about_ids::kCompanyLine), "");
    EXPECT_EQ(form.Text(about_ids::kOk), "Fine");
}

TEST_F(AboutBox, AMissingProductFileLeavesBlanks) {
    EXPECT_EQ(InitAboutBox(form), "About ");
    EXPECT_EQ(form.Text(about_ids::kVersionLine), "  V01");
    OpenContactAddress(shell);
    EXPECT_TRUE(shell.openedAddresses.empty());
}

TEST_F(AboutBox, OnlyWebAndMailAddressesAreOpened) {
    struct Case {
        const char* web;
        bool opened;
    };
    for (const Case& c : {Case{"https://tandrin.invalid/", true}, Case{"HTTP://example.org", true},
                          Case{"mailto:service@example.org", true}, Case{"file:///bin/sh", false},
                          Case{"/usr/bin/xterm", false}, Case{"javascript:alert(1)", false},
                          Case{"https://", false}, Case{"", false}}) {
        shell.openedAddresses.clear();
        Product(std::string("web=") + c.web + "\n");
        OpenContactAddress(shell);
        EXPECT_EQ(shell.openedAddresses.size(), c.opened ? 1u : 0u) << c.web;
    }
}

TEST_F(AboutBox, ALongAddressIsCutTo255Bytes) {
    Product("web=https://example.org/" + std::string(400, 'a') + "\n");
    OpenContactAddress(shell);
    ASSERT_EQ(shell.openedAddresses.size(), 1u);
    EXPECT_EQ(shell.openedAddresses[0].size(), 255u);
}

}  // namespace
}  // namespace tandrin
