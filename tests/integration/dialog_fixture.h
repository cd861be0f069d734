#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "link/posix_serial_port.h"
#include "platform/poll_event_loop.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"

namespace tandrin::test {

// The main window's workflow on the global master, in real time on a poll
// loop, over in-memory controls: for tests against a real simulator
// program. `Base` is ::testing::Test or a TestWithParam.
template <class Base = ::testing::Test>
class RealTimeDialog : public Base {
  protected:
    RealTimeDialog() {
        busyFlag = 0;
        cancelFlag = 0;
        SetProgramDirForTesting(kResources);
        languageFilePath = kResources + "English.ini";
        hartMaster.SetEventLoop(&loop);
        hartMaster.SetPortFactory(MakeSerialPort);
        hartMaster.m_byPollAddr = 0;
        info.Add(main_ids::kShortAddressBox);
        dialog.SetInfoPageForm(&info);
        mainWindow = &dialog;
    }
    ~RealTimeDialog() override {
        mainWindow = nullptr;
        hartMaster.CloseLink();
        hartMaster.SetReplyTimeout(0);
        hartMaster.SetEventLoop(nullptr);
        languageFilePath.clear();
        SetProgramDirForTesting("");
    }

    // Also wakes for conditions no event of the loop signals.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < end) {
            loop.RunFor(10);
        }
        return done();
    }
    bool RunSequence(void (MainDialog::*start)()) {
        shell.messages.clear();
        (dialog.*start)();
        EXPECT_TRUE(RunUntil([] { return busyFlag == 0; }));
        return dialog.lastOutcome == MainDialog::Outcome::kDone;
    }

    inline static const std::string kResources = TANDRIN_RESOURCE_DIR;
    PollEventLoop loop;
    FakeForm form{{main_ids::kPvReadout, ""},
                  {main_ids::kCurrentReadout, ""},
                  {main_ids::kPercentReadout, ""}};
    FakeForm info;
    FakeMenuBar menu;
    FakeShell shell;
    MainDialog dialog{form, menu, shell};
};

}  // namespace tandrin::test
