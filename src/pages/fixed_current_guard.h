#pragma once

#include <cstdint>
#include <string>

namespace tandrin {

// Remembers whether this program has forced the transmitter's loop current
// (command 40 with a current, or an output trim that did not get through
// its closing command 40 with 0) and not released it since. The control
// system reads a forced current as the process value, so it must not be
// left behind unnoticed: closing the program and leaving the current
// adjustment page offer to release it. Anything else that forces the loop
// (a loop check) notes it here too.
class FixedCurrentGuard {
  public:
    bool Forced() const { return m_bForced; }
    void NoteForced() { m_bForced = true; }
    void NoteReleased() { m_bForced = false; }

    // While forced: asks the question under `questionKey` (section
    // "String"), and on Yes stops what runs and sends [0, 40] with 0,
    // returning when that sequence is over; events keep being dispatched
    // meanwhile. Calls made while it waits return at once.
    void OfferRelease(const std::string& questionKey);
    // After a sequence: when the last reply says the loop current is fixed
    // although this program has not noted forcing it (another tool, a
    // crash, a power cut during a trim), asks once under
    // kReleaseForeignKey and releases on Yes. Asks again only after a reply
    // without the bit. A multidrop transmitter's parked loop is no reason.
    void CheckDeviceStatus();
    // True while OfferRelease waits for its sequence.
    bool Releasing() const { return m_bReleasing; }

  private:
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

    bool m_bForced = false;
    bool m_bReleasing = false;
    bool m_bForeignOffered = false;
};

extern FixedCurrentGuard fixedCurrentGuard;

// The question keys (section "String").
inline constexpr const char* kReleaseOnCloseKey = "strFixCurrentOnClose";
inline constexpr const char* kReleaseOnLeaveKey = "strFixCurrentOnLeave";
inline constexpr const char* kReleaseForeignKey = "strFixCurrentForeign";

}  // namespace tandrin
