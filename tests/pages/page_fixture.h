#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "device/device_data.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/fixed_current_guard.h"
#include "pages/page_control.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/virtual_transmitters.h"

namespace tandrin::test {

// A page's logic on the global master, against simulated transmitters on a
// fake line in virtual time, with English texts and the main window's logic
// over in-memory controls.
class PageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        busyFlag = 0;
        cancelFlag = 0;
        // Every test starts from a master that knows nothing of the one
        // before: a value left behind must not hide a fault.
        hartMaster.CloseLink();
        static_cast<DeviceData&>(hartMaster) = DeviceData{};
        CommandSequence = {};
        fixedCurrentGuard.NoteReleased();
        SetProgramDirForTesting(kResources);
        languageFilePath = kResources + "English.ini";
        hartMaster.CloseLink();
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
    void TearDown() override {
        mainWindow = nullptr;
        fixedCurrentGuard.NoteReleased();
        hartMaster.CloseLink();
        hartMaster.SetPortFactory(nullptr);
        hartMaster.SetEventLoop(nullptr);
        languageFilePath.clear();
        SetProgramDirForTesting("");
    }

    template <std::size_t N>
    static void AddControls(FakeForm& form, const std::array<PageControl, N>& controls) {
        for (const PageControl& control : controls) {
            form.Add(control.id);
        }
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
    FakeForm form;
    FakeMenuBar menu;
    FakeShell shell;
    MainDialog dialog{form, menu, shell};
};

}  // namespace tandrin::test
