#include "ui/ui_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "device/degree_text.h"
#include "shell/lang_text.h"
#include "shell/program_dir.h"

namespace tandrin::test {

namespace {

// One QApplication for the whole run, offscreen unless the caller chose.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

  private:
    QApplication* m_app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::string Shipped(const std::string& name) {
    std::ifstream file(std::string(TANDRIN_RESOURCE_DIR) + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

ProgramFiles::ProgramFiles(const std::vector<std::string>& shipped) {
    for (const std::string& name : shipped) {
        m_program.Write(name, Shipped(name));
    }
    SetProgramDirForTesting(m_program.Path());
    languageFilePath.clear();
    chineseUi = 0;
    busyFlag = 0;
    cancelFlag = 0;
}

ProgramFiles::~ProgramFiles() {
    hartMaster.CloseLink();
    SetProgramDirForTesting("");
    languageFilePath.clear();
    chineseUi = 0;
    busyFlag = 0;
    cancelFlag = 0;
}

}  // namespace tandrin::test
