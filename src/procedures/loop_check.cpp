#include "procedures/loop_check.h"

#include <cstdio>
#include <ctime>

#include "device/degree_text.h"
#include "device/encodings.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/fixed_current_guard.h"
#include "pages/page_sequence.h"
#include "platform/text_codec.h"
#include "shell/command_issue.h"
#include "shell/main_dialog.h"

namespace tandrin {

namespace {

// The trim currents and the bounds of their readings, as on the current
// adjustment page.
constexpr double kTrimCurrents[2] = {4.0, 20.0};
constexpr double kTrimLowest[2] = {3.0, 18.0};
constexpr double kTrimHighest[2] = {6.0, 22.0};

std::string Utf8(const std::string& text) {
    return ToUtf8(text, chineseUi.load() == 1);
}

std::string LocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

}  // namespace

LoopCheck::~LoopCheck() {
    if (m_settleTimer != 0 && hartMaster.Loop() != nullptr) {
        hartMaster.Loop()->KillTimer(m_settleTimer);
    }
    // No completion may reach a check that is gone.
    if (m_bSequence && busyFlag != 0 && mainWindow != nullptr) {
        mainWindow->StopSequence();
    }
}

bool LoopCheck::Running() const {
    switch (m_state) {
        case State::kIdentifying:
        case State::kForcing:
        case State::kSettling:
        case State::kTrimForcing:
        case State::kTrimming:
        case State::kReleasing:
            return true;
        default:
            return false;
    }
}

bool LoopCheck::Over() const {
    return m_state == State::kFinished || m_state == State::kStopped || m_state == State::kFailed;
}

double LoopCheck::Point() const {
    const auto& points = m_record.settings.points;
    return m_nPoint < points.size() ? points[m_nPoint] : 0.0;
}

bool LoopCheck::Start(const LoopCheckSettings& settings) {
    // Never over a check that may hold the loop.
    if ((m_state != State::kIdle && !Over()) || settings.points.empty() ||
        !ToleranceValid(settings.tolerance) || !SettleValid(settings.settleSeconds)) {
        return false;
    }
    const LoopCheckRecord previous = m_record;
    m_record = LoopCheckRecord{};
    m_record.settings = settings;
    m_record.technician = previous.technician;
    m_record.referenceMeter = previous.referenceMeter;
    m_record.dateTime = LocalDateTime();
    m_bCommFailed = false;
    m_pass = Pass::kAsFound;
    if (!Run(Step::kIdentify, {0, 13, 15, 162})) {
        return false;
    }
    SetState(State::kIdentifying);
    return true;
}

bool LoopCheck::EnterReading(double readingMa) {
    if (m_state == State::kAwaitingReading && ReadingValid(readingMa)) {
        LoopCheckRow row = JudgeReading(Point(), readingMa, m_record.settings.tolerance);
        row.transmitterMa = m_fTransmitter;
        LoopCheckPass& pass = PassRecord();
        pass.rows.push_back(row);
        if (++m_nPoint < m_record.settings.points.size()) {
            ForcePoint();
        } else {
            pass.complete = true;
            Release(m_pass == Pass::kAsFound ? State::kAsFoundDone : State::kFinished);
        }
        return true;
    }
    if (m_state != State::kAwaitingTrimReading) {
        return false;
    }
    const auto step = static_cast<std::size_t>(m_nTrimStep);
    if (!(readingMa >= kTrimLowest[step] && readingMa <= kTrimHighest[step])) {
        return false;
    }
    if (m_nTrimStep == 0) {
        m_fTrimZero = readingMa;
        m_nTrimStep = 1;
        Force(kTrimCurrents[1], Step::kTrimForce);
        return true;
    }
    hartMaster.m_fTrimZeroCurrent = static_cast<float>(m_fTrimZero);
    hartMaster.m_fTrimGainCurrent = static_cast<float>(readingMa);
    hartMaster.m_fFixedCurrent = 0;
    if (Run(Step::kTrim, {0, 45, 46, 40})) {
        SetState(State::kTrimming);
    } else {
        Release(State::kFailed);
    }
    return true;
}

void LoopCheck::Stop() {
    if (m_state == State::kAsFoundDone) {
        Finish();
    }
    if (m_state == State::kIdle || Over()) {
        return;
    }
    if (m_settleTimer != 0) {
        hartMaster.Loop()->KillTimer(m_settleTimer);
        m_settleTimer = 0;
    }
    const bool releasing = m_state == State::kReleasing;
    const State then =
        releasing && m_afterRelease == State::kFailed ? State::kFailed : State::kStopped;
    if (releasing && m_bSequence && busyFlag != 0) {
        // The release under way is what Stop would send.
        m_afterRelease = then;
        return;
    }
    if (m_bSequence && busyFlag != 0 && mainWindow != nullptr) {
        mainWindow->StopSequence();
    }
    m_bSequence = false;
    if (m_bForced) {
        // Also when someone else's Stop cut the release short.
        Release(then);
    } else {
        SetState(State::kStopped);
    }
}

bool LoopCheck::StartTrim() {
    if (m_state != State::kAsFoundDone) {
        return false;
    }
    m_nTrimStep = 0;
    Force(kTrimCurrents[0], Step::kTrimForce);
    return true;
}

bool LoopCheck::StartAsLeft() {
    if (m_state != State::kAsFoundDone) {
        return false;
    }
    StartPass(Pass::kAsLeft);
    return true;
}

void LoopCheck::Finish() {
    if (m_state == State::kAsFoundDone) {
        SetState(State::kFinished);
    }
}

LoopCheckPass& LoopCheck::PassRecord() {
    return m_pass == Pass::kAsFound ? m_record.asFound : m_record.asLeft;
}

void LoopCheck::SetState(State state) {
    m_state = state;
    if (m_onChange) {
        m_onChange();
    }
}

bool LoopCheck::Run(Step step, std::initializer_list<std::uint8_t> commands) {
    if (CheckLinkReady() == 0) {
        return false;
    }
    m_step = step;
    m_bSequence = true;
    RunPageSequence(this, &LoopCheck::StepDone, commands);
    return true;
}

void LoopCheck::StartPass(Pass pass) {
    m_pass = pass;
    PassRecord() = LoopCheckPass{};
    m_nPoint = 0;
    ForcePoint();
}

void LoopCheck::ForcePoint() {
    Force(ExpectedCurrent(Point()), Step::kForce);
}

void LoopCheck::Force(double currentMa, Step step) {
    m_fCurrent = currentMa;
    m_fTransmitter = NAN;
    hartMaster.m_fFixedCurrent = static_cast<float>(currentMa);
    const bool read = step == Step::kForce && m_record.settings.readTransmitter;
    const bool started = read ? Run(step, {0, 40, 2}) : Run(step, {0, 40});
    if (!started) {
        m_bCommFailed = true;
        if (m_bForced) {
            Release(State::kFailed);
        } else {
            SetState(State::kFailed);
        }
        return;
    }
    SetState(step == Step::kForce ? State::kForcing : State::kTrimForcing);
}

void LoopCheck::Release(State then) {
    m_afterRelease = then;
    hartMaster.m_fFixedCurrent = 0;
    if (!Run(Step::kRelease, {0, 40})) {
        // The port is gone: the guard keeps the note for the main window.
        m_bCommFailed = m_bCommFailed || then != State::kStopped;
        SetState(then == State::kStopped ? State::kStopped : State::kFailed);
        return;
    }
    SetState(State::kReleasing);
}

// Command 0 has been answered: the 40 going out now may force the loop.
void LoopCheck::OnForced() {
    if (m_step == Step::kForce || m_step == Step::kTrimForce) {
        m_bForced = true;
        fixedCurrentGuard.NoteForced();
    }
}

void LoopCheck::TakeIdentity() {
    LoopCheckDevice& device = m_record.device;
    device.tag = Utf8(hartMaster.m_strTag);
    device.longAddress =
        BytesToHex(hartMaster.m_abyLongAddr.data(), hartMaster.m_abyLongAddr.size());
    device.softwareVersion = Utf8(hartMaster.m_strSoftwareVersion);
    device.lowerRange = hartMaster.m_fLowerRange;
    device.upperRange = hartMaster.m_fUpperRange;
    device.unit = Utf8(hartMaster.m_strPVUnit);
}

void LoopCheck::OnThrough() {
    m_bSequence = false;
    ReportDone();
    switch (m_step) {
        case Step::kIdentify:
            TakeIdentity();
            StartPass(Pass::kAsFound);
            break;
        case Step::kForce: {
            if (m_record.settings.readTransmitter) {
                m_fTransmitter = hartMaster.m_fLoopCurrent;
            }
            const double settle = m_record.settings.settleSeconds;
            if (settle <= 0) {
                SetState(State::kAwaitingReading);
                break;
            }
            m_settleTimer = hartMaster.Loop()->StartTimer(
                static_cast<std::uint32_t>(settle * 1000.0 + 0.5), [this](TimerId) {
                    m_settleTimer = 0;
                    SetState(State::kAwaitingReading);
                });
            SetState(State::kSettling);
            break;
        }
        case Step::kTrimForce:
            SetState(State::kAwaitingTrimReading);
            break;
        case Step::kTrim:
            // The trim's closing 40 with 0 has released the loop.
            m_bForced = false;
            fixedCurrentGuard.NoteReleased();
            m_record.trimmed = true;
            StartPass(Pass::kAsLeft);
            break;
        case Step::kRelease:
            m_bForced = false;
            fixedCurrentGuard.NoteReleased();
            SetState(m_afterRelease);
            break;
    }
}

void LoopCheck::OnFailed() {
    m_bSequence = false;
    m_bCommFailed = true;
    if (m_bForced && m_step != Step::kRelease) {
        Release(State::kFailed);
    } else {
        SetState(State::kFailed);
    }
}

void LoopCheck::StepDone(void* user, std::int32_t success, std::uint8_t /*command*/) {
    auto* check = static_cast<LoopCheck*>(user);
    switch (AdvancePageSequence(user, &LoopCheck::StepDone, success)) {
        case SequenceStep::kNext:
            if (CommandSequence.index == 1) {
                check->OnForced();
            }
            break;
        case SequenceStep::kThrough:
            check->OnThrough();
            break;
        case SequenceStep::kFailed:
            check->OnFailed();
            break;
        case SequenceStep::kIgnored:
            break;
    }
}

}  // namespace tandrin
