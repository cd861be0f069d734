#include "pages/fixed_current_guard.h"

#include "device/response_codes.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/page_sequence.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"

namespace tandrin {

namespace {

// How often the wait looks at the sequence; events run in between.
constexpr std::uint32_t kWaitStepMs = 20;

}  // namespace

FixedCurrentGuard fixedCurrentGuard;

void FixedCurrentGuard::OfferRelease(const std::string& questionKey) {
    if (!m_bForced || m_bReleasing || mainWindow == nullptr) {
        return;
    }
    if (!mainWindow->Shell().AskYesNo(LangText(questionKey), "HART")) {
        return;
    }
    if (busyFlag != 0) {
        mainWindow->StopSequence();
    }
    EventLoop* loop = hartMaster.Loop();
    if (loop == nullptr || CheckLinkReady() == 0) {
        return;
    }
    m_bReleasing = true;
    hartMaster.m_fFixedCurrent = 0;
    RunPageSequence(this, &FixedCurrentGuard::StepDone, {0, 40});
    // Stop, a port change or the end of the sequence clear busyFlag.
    while (busyFlag != 0) {
        loop->PumpingDelay(kWaitStepMs);
    }
    m_bReleasing = false;
}

void FixedCurrentGuard::CheckDeviceStatus() {
    if ((hartMaster.m_byDeviceStatus & kStatusCurrentFixed) == 0) {
        m_bForeignOffered = false;
        return;
    }
    if (m_bForced || m_bForeignOffered || m_bReleasing || busyFlag != 0 ||
        hartMaster.m_byPollAddr != 0) {
        return;
    }
    m_bForeignOffered = true;
    m_bForced = true;  // what OfferRelease releases
    OfferRelease(kReleaseForeignKey);
    m_bForced = false;  // declined or failed: still not this program's doing
}

void FixedCurrentGuard::StepDone(void* user, std::int32_t success, std::uint8_t /*command*/) {
    if (AdvancePageSequence(user, &FixedCurrentGuard::StepDone, success) ==
        SequenceStep::kThrough) {
        static_cast<FixedCurrentGuard*>(user)->NoteReleased();
        ReportDone();
    }
}

}  // namespace tandrin
