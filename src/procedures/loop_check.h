#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "platform/event_loop.h"
#include "procedures/loop_check_record.h"

namespace tandrin {

// The loop check: forces each point's current (command 40), waits the
// settling time, takes the reference reading the technician gives and
// judges it; an as-found pass, then, if wanted, the page's output trim and
// an as-left pass. Runs on the event loop through the pages' command
// sequences and reports through the main window like a page. The loop is
// released (command 40 with 0) at the end of every pass, on Stop and after
// a failed command; fixedCurrentGuard knows while it is forced.
class LoopCheck {
  public:
    enum class State {
        kIdle,
        kIdentifying,          // 0, 13, 15, 162
        kForcing,              // 0, 40 (, 2)
        kSettling,             // the settling timer runs
        kAwaitingReading,      // EnterReading for Current()
        kTrimForcing,          // 0, 40 at 4 or 20 mA
        kAwaitingTrimReading,  // EnterReading for the trim point
        kTrimming,             // 0, 45, 46, 40
        kReleasing,            // 0, 40 with 0
        kAsFoundDone,          // released; StartTrim, StartAsLeft or Finish
        kFinished,
        kStopped,
        kFailed,  // a command failed; Forced() tells whether the release did too
    };
    enum class Pass { kAsFound, kAsLeft };

    LoopCheck() = default;
    ~LoopCheck();
    LoopCheck(const LoopCheck&) = delete;
    LoopCheck& operator=(const LoopCheck&) = delete;

    // Called after every change of state or record.
    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

    // Reads the device's identity, then starts the as-found pass. False
    // when a check is under way, the settings are invalid or the link
    // refused (its message shown).
    bool Start(const LoopCheckSettings& settings);
    // The reading (mA) for the point or trim current awaited. False when
    // nothing is awaited or the value is out of its range (trim: 3..6 and
    // 18..22 mA, as on the page).
    bool EnterReading(double readingMa);
    // Ends what runs and releases the loop if this check forced it.
    void Stop();
    // After the as-found pass: trim the output at 4 and 20 mA, then run the
    // as-left pass.
    bool StartTrim();
    bool StartAsLeft();
    // After the as-found pass: no as-left pass.
    void Finish();

    State CurrentState() const { return m_state; }
    Pass CurrentPass() const { return m_pass; }
    // A command sequence or the settling timer is running.
    bool Running() const;
    // Over: finished, stopped or failed.
    bool Over() const;
    bool CommunicationFailed() const { return m_bCommFailed; }
    // The loop is forced by this check (command 0 before a 40 answered).
    bool Forced() const { return m_bForced; }
    // The current (mA) forced now or awaited for a reading.
    double Current() const { return m_fCurrent; }
    // The point (percent) being tested; the trim step 0 (4 mA) or 1 (20 mA).
    double Point() const;
    int TrimStep() const { return m_nTrimStep; }
    // The transmitter's own reading at the point awaited, NaN if not read.
    double TransmitterReading() const { return m_fTransmitter; }

    LoopCheckRecord& Record() { return m_record; }
    const LoopCheckRecord& Record() const { return m_record; }

  private:
    enum class Step { kIdentify, kForce, kTrimForce, kTrim, kRelease };

    bool Run(Step step, std::initializer_list<std::uint8_t> commands);
    void Force(double currentMa, Step step);
    void ForcePoint();
    void StartPass(Pass pass);
    void Release(State then);
    void SetState(State state);
    void OnThrough();
    void OnFailed();
    void OnForced();
    void TakeIdentity();
    LoopCheckPass& PassRecord();
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

    std::function<void()> m_onChange;
    LoopCheckRecord m_record;
    State m_state = State::kIdle;
    State m_afterRelease = State::kFinished;
    Pass m_pass = Pass::kAsFound;
    Step m_step = Step::kIdentify;
    std::size_t m_nPoint = 0;
    int m_nTrimStep = 0;
    double m_fTrimZero = 0;
    double m_fCurrent = 0;
    double m_fTransmitter = NAN;
    bool m_bForced = false;
    bool m_bCommFailed = false;
    bool m_bSequence = false;  // one of our sequences is in flight
    TimerId m_settleTimer = 0;
};

}  // namespace tandrin
