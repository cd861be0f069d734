#include "pages/fixed_current_guard.h"

#include "device/response_codes.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/page_sequence.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/shell_services.h"

namespace tandrin {

namespace {

// How often the wait looks at the sequence; events run in between.
constexpr std::uint32_t kWaitStepMs = 20;

}  // namespace

FixedCurrentGuard fixedCurrentGuard;

void FixedCurrentGuard::NoteForced() {
    m_bForced = true;
    m_strPort = hartMaster.m_strPortName;
    m_byAddress = hartMaster.m_byPollAddr;
}

FixedCurrentGuard::Offer FixedCurrentGuard::OfferRelease(const std::string& questionKey,
                                                         bool cancel) {
    if (!m_bForced || mainWindow == nullptr) {
        return Offer::kNotForced;
    }
    if (m_bReleasing) {
        return Offer::kCancelled;
    }
    ShellServices& shell = mainWindow->Shell();
    const std::string question = LangText(questionKey);
    const ShellServices::Answer answer =
        cancel ? shell.AskYesNoCancel(question, "HART")
               : (shell.AskYesNo(question, "HART") ? ShellServices::Answer::kYes
                                                   : ShellServices::Answer::kNo);
    if (answer != ShellServices::Answer::kYes) {
        return answer == ShellServices::Answer::kNo ? Offer::kDeclined : Offer::kCancelled;
    }
    if (!SameLink() && !shell.AskYesNo(WhereText(), "HART")) {
        return Offer::kCancelled;
    }
    if (Release()) {
        return Offer::kReleased;
    }
    shell.MessageBox(LangText("strReleaseFailed"), "HART", MessageIcon::kWarning);
    return Offer::kFailed;
}

bool FixedCurrentGuard::SameLink() const {
    return hartMaster.m_strPortName == m_strPort && hartMaster.m_byPollAddr == m_byAddress;
}

std::string FixedCurrentGuard::WhereText() const {
    std::string text = LangText("strReleaseWhere");
    const std::string values[] = {m_strPort, std::to_string(m_byAddress), hartMaster.m_strPortName,
                                  std::to_string(hartMaster.m_byPollAddr)};
    std::size_t at = 0;
    for (const std::string& value : values) {
        at = text.find('%', at);
        if (at == std::string::npos || at + 1 >= text.size()) {
            break;
        }
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

bool FixedCurrentGuard::Release() {
    if (!m_bForced || m_bReleasing) {
        return !m_bForced;
    }
    if (busyFlag != 0 && mainWindow != nullptr) {
        mainWindow->StopSequence();
    }
    EventLoop* loop = hartMaster.Loop();
    if (loop == nullptr) {
        return false;
    }
    // To where it was forced; the window's own port and address after.
    const std::string port = hartMaster.m_strPortName;
    const std::uint8_t address = hartMaster.m_byPollAddr;
    const bool moved = port != m_strPort;
    if (moved) {
        hartMaster.CloseLink();
        hartMaster.m_strPortName = m_strPort;
    }
    hartMaster.m_byPollAddr = m_byAddress;
    if (CheckLinkReady() != 0) {
        m_bReleasing = true;
        hartMaster.m_fFixedCurrent = 0;
        RunPageSequence(this, &FixedCurrentGuard::StepDone, {0, 40});
        // Stop, a port change or the end of the sequence clear busyFlag.
        while (busyFlag != 0) {
            loop->PumpingDelay(kWaitStepMs);
        }
        m_bReleasing = false;
    }
    if (moved) {
        hartMaster.CloseLink();
        hartMaster.m_strPortName = port;
    }
    hartMaster.m_byPollAddr = address;
    return !m_bForced;
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
    NoteForced();  // what OfferRelease releases: the loop here
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
