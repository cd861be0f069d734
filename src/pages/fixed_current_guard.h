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
    // Notes the port and polling address the command went to: the release
    // belongs there, whatever the window uses by then.
    void NoteForced();
    void NoteReleased() { m_bForced = false; }
    const std::string& ForcedPort() const { return m_strPort; }
    std::uint8_t ForcedAddress() const { return m_byAddress; }

    enum class Offer { kNotForced, kReleased, kDeclined, kCancelled, kFailed };
    // While forced: asks the question under `questionKey` (section
    // "String"; with a Cancel when `cancel`), and on Yes stops what runs
    // and sends [0, 40] with 0 where the loop was forced, returning when
    // that sequence is over; events keep being dispatched meanwhile. A
    // release that does not get through says so ("strReleaseFailed").
    // Calls made while it waits return at once (kCancelled).
    Offer OfferRelease(const std::string& questionKey, bool cancel = false);
    // Sends [0, 40] with 0 to where the loop was forced and waits for it,
    // without asking; true when it went through.
    bool Release();
    // After a sequence: when the last reply says the loop current is fixed
    // although this program has not noted forcing it (another tool, a
    // crash, a power cut during a trim), asks once under
    // kReleaseForeignKey and releases on Yes. Asks again only after a reply
    // without the bit. A multidrop transmitter's parked loop is no reason.
    void CheckDeviceStatus();
    // True while OfferRelease waits for its sequence.
    bool Releasing() const { return m_bReleasing; }

  private:
    bool SameLink() const;
    std::string WhereText() const;
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

    bool m_bForced = false;
    bool m_bReleasing = false;
    std::string m_strPort;
    std::uint8_t m_byAddress = 0;
    bool m_bForeignOffered = false;
};

extern FixedCurrentGuard fixedCurrentGuard;

// The question keys (section "String").
inline constexpr const char* kReleaseOnCloseKey = "strFixCurrentOnClose";
inline constexpr const char* kReleaseOnLeaveKey = "strFixCurrentOnLeave";
inline constexpr const char* kReleaseForeignKey = "strFixCurrentForeign";

}  // namespace tandrin
