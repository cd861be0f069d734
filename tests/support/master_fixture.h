#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/degree_text.h"
#include "device/device_data.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "link/virtual_event_loop.h"
#include "pages/fixed_current_guard.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/virtual_transmitters.h"

namespace tandrin::test {

// The one way a test sets up the global master: on a fake line in virtual
// time with simulated transmitters, English texts, a private settings
// directory and the main window's logic over in-memory controls. Each test
// starts from a master that knows nothing of the one before (a value left
// behind must not hide a fault) and leaves nothing behind.
//
// Setting up in the constructor and ending in the destructor lets a derived
// fixture use its own constructor, SetUp, TearDown or destructor alike.
class MasterFixture : public ::testing::Test {
  protected:
    MasterFixture() {
        busyFlag = 0;
        cancelFlag = 0;
        chineseUi = 0;
        hartMaster.CloseLink();
        static_cast<DeviceData&>(hartMaster) = DeviceData{};
        CommandSequence = {};
        fixedCurrentGuard.NoteReleased();
        SetProgramDirForTesting(kResources);
        languageFilePath = kResources + "English.ini";
        hartMaster.SetEventLoop(&loop);
        hartMaster.SetPortFactory(FakePortFactory(line, loop));
        hartMaster.m_strPortName = "/dev/ttyFAKE0";
        hartMaster.m_byPollAddr = 0;
        hartMaster.m_abyLongAddr = {};
        line.acceptsPath = [](const std::string& path) {
            return path.rfind("/dev/ttyFAKE", 0) == 0;
        };
        mainWindow = &dialog;
    }
    ~MasterFixture() override {
        mainWindow = nullptr;
        fixedCurrentGuard.NoteReleased();
        hartMaster.CloseLink();
        hartMaster.SetPortFactory(nullptr);
        hartMaster.SetEventLoop(nullptr);
        languageFilePath.clear();
        SetProgramDirForTesting("");
        busyFlag = 0;
        cancelFlag = 0;
    }

    void Run() { ASSERT_TRUE(loop.RunUntilIdle(120'000)); }
    std::vector<std::uint8_t> CommandsHeard() const {
        std::vector<std::uint8_t> commands;
        for (const auto& request : transmitters.Heard()) {
            commands.push_back(request.command);
        }
        return commands;
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : shell.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    inline static const std::string kResources = TANDRIN_RESOURCE_DIR;
    TempDir config;
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    VirtualEventLoop loop;
    FakeLine line;
    VirtualTransmitters transmitters{line, loop, hartMaster};
    FakeForm mainForm;
    FakeMenuBar menu;
    FakeShell shell;
    MainDialog dialog{mainForm, menu, shell};
};

}  // namespace tandrin::test
