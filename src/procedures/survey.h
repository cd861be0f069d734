#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace tandrin {

// One transmitter a survey found.
struct SurveyDevice {
    int address = 0;  // polling address
    std::array<std::uint8_t, 5> longAddress{};
    std::uint8_t manufacturer = 0;  // as command 0 gives them
    std::uint8_t deviceType = 0;
    std::string tag;         // command 13 (empty when unread)
    std::string descriptor;  // command 13
    double pv = 0;           // command 1, in `unit`
    std::string unit;        // interface text
    double currentMa = 0;    // command 2
    double percent = 0;      // command 2
    bool valuesRead = false;
    std::uint8_t deviceStatus = 0;  // of its last answer
    bool answering = true;          // false once a read went unanswered
};

// "0-3,5,9-15" into the addresses 0..15 it names, ascending, each once.
// False for anything else (empty, out of range, a falling range).
bool ParseSurveyAddresses(const std::string& text, std::vector<int>& out);

// Every transmitter on the current line: command 0 at each address asked
// for, and of each that answers its tag and descriptor (13), PV (1),
// loop current and percent of range (2). Then, if asked, the values (1, 2)
// of the devices found again and again until Stop; a device that stops
// answering is marked, not removed. Runs on the event loop over the
// global master and the shell's command sequences: busy while it runs,
// Stop ends it at once and keeps the rows.
class Survey {
  public:
    enum class State { kIdle, kSearching, kRefreshing, kWaiting, kDone, kStopped, kFailed };
    static constexpr int kDefaultTries = 6;

    explicit Survey(EventLoop& loop) : m_loop(loop) {}
    ~Survey();
    Survey(const Survey&) = delete;
    Survey& operator=(const Survey&) = delete;

    // Called after every change: a row added or updated, the address tried.
    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
    // Called with a row's index when a row is added (search) or re-read
    // (refresh).
    void SetOnRow(std::function<void(std::size_t)> onRow) { m_onRow = std::move(onRow); }

    // Searches `addresses`, sending command 0 `tries` times (1..6) to each
    // before it counts as empty; then, with refreshMs > 0, refreshes every
    // refreshMs until Stop. False when the link refused (its message shown).
    bool Start(std::vector<int> addresses, int tries, std::uint32_t refreshMs = 0);
    // Refreshes the devices found, every refreshMs, until Stop.
    bool StartRefresh(std::uint32_t refreshMs);
    void Stop();

    State CurrentState() const { return m_state; }
    bool Running() const;
    // The address being tried, -1 when none.
    int Trying() const {
        return m_state == State::kSearching && m_next < m_addresses.size() ? m_addresses[m_next]
                                                                           : -1;
    }
    // Addresses tried so far and in all, for progress.
    std::size_t Tried() const { return m_next; }
    std::size_t ToTry() const { return m_addresses.size(); }
    const std::vector<SurveyDevice>& Devices() const { return m_devices; }
    // Makes the row's transmitter the one the pages talk to.
    void MakeCurrent(std::size_t row) const;

  private:
    static void Completion(void* user, std::int32_t success, std::uint8_t command);
    void OnDone(std::int32_t success, std::uint8_t command);
    void Send(std::uint8_t command);
    void TryAddress();
    void ReadDevice(std::size_t row);
    void Take(std::uint8_t command, SurveyDevice& device);
    void NextAfterSearch();
    void RefreshRound();
    void Finish(State state);
    void Report(std::size_t row);
    void Watch();
    void Changed();

    EventLoop& m_loop;
    std::function<void()> m_onChange;
    std::function<void(std::size_t)> m_onRow;
    State m_state = State::kIdle;
    std::vector<int> m_addresses;
    std::size_t m_next = 0;      // index into m_addresses, or the row refreshed
    std::size_t m_row = 0;       // the row being read
    bool m_bRowPending = false;  // found, not yet reported through m_onRow
    std::uint32_t m_refreshMs = 0;
    int m_savedTries = kDefaultTries;
    std::uint8_t m_savedAddress = 0;
    TimerId m_timer = 0;
    TimerId m_watch = 0;  // notices the line stopped under the survey
    std::vector<SurveyDevice> m_devices;
};

}  // namespace tandrin
