#include "procedures/survey.h"

#include <algorithm>
#include <charconv>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

namespace {

constexpr int kLastAddress = 15;
// Where command 0's manufacturer and device type codes sit in the short
// reply frame (the long address keeps only six bits of the first).
constexpr std::size_t kIdentityManufacturer = 7;
constexpr std::size_t kIdentityDeviceType = 8;

bool ReadNumber(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end && value >= 0 && value <= kLastAddress;
}

void Status(const char* key) {
    if (mainWindow != nullptr) {
        mainWindow->SetStatusText(0, LangText(key));
    }
}

}  // namespace

bool ParseSurveyAddresses(const std::string& text, std::vector<int>& out) {
    std::array<bool, kLastAddress + 1> wanted{};
    std::string_view rest = text;
    if (rest.empty()) {
        return false;
    }
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = rest.substr(0, comma);
        const std::size_t dash = part.find('-');
        int first = 0;
        int last = 0;
        if (!ReadNumber(part.substr(0, dash), first) ||
            (dash != std::string_view::npos && !ReadNumber(part.substr(dash + 1), last))) {
            return false;
        }
        if (dash == std::string_view::npos) {
            last = first;
        }
        if (last < first) {
            return false;
        }
        for (int a = first; a <= last; ++a) {
            wanted[static_cast<std::size_t>(a)] = true;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    out.clear();
    for (int a = 0; a <= kLastAddress; ++a) {
        if (wanted[static_cast<std::size_t>(a)]) {
            out.push_back(a);
        }
    }
    return true;
}

Survey::~Survey() {
    if (Running()) {
        Stop();
    }
}

bool Survey::Running() const {
    return m_state == State::kSearching || m_state == State::kRefreshing ||
           m_state == State::kWaiting;
}

bool Survey::Start(std::vector<int> addresses, int tries, std::uint32_t refreshMs) {
    if (Running() || addresses.empty() || CheckLinkReady() == 0) {
        return false;
    }
    m_devices.clear();
    m_bRowPending = false;
    m_addresses = std::move(addresses);
    m_next = 0;
    m_refreshMs = refreshMs;
    m_savedTries = hartMaster.Command0Tries();
    m_savedAddress = hartMaster.m_byPollAddr;
    hartMaster.SetCommand0Tries(tries);
    m_state = State::kSearching;
    Watch();
    TryAddress();
    return true;
}

bool Survey::StartRefresh(std::uint32_t refreshMs) {
    if (Running() || m_devices.empty() || refreshMs == 0 || CheckLinkReady() == 0) {
        return false;
    }
    m_refreshMs = refreshMs;
    m_savedTries = hartMaster.Command0Tries();
    m_savedAddress = hartMaster.m_byPollAddr;
    RefreshRound();
    Watch();
    return true;
}

void Survey::Stop() {
    if (!Running()) {
        return;
    }
    cancelFlag = 1;
    hartMaster.CancelTransaction();
    Finish(State::kStopped);
    // A device stopped in the middle of its reading was found all the same.
    if (m_bRowPending) {
        Report(m_row);
    }
    Status("strBreak");
}

void Survey::MakeCurrent(std::size_t row) const {
    if (row < m_devices.size() && !Running()) {
        hartMaster.m_byPollAddr = static_cast<std::uint8_t>(m_devices[row].address);
        hartMaster.m_abyLongAddr = m_devices[row].longAddress;
        // The pages and Stop take the address from the Short Address box.
        if (mainWindow != nullptr) {
            mainWindow->InfoPageForm().SetText(main_ids::kShortAddressBox,
                                               std::to_string(m_devices[row].address));
        }
    }
}

void Survey::Send(std::uint8_t command) {
    CommandSequence.Set({command});
    StartCommand(this, &Survey::Completion);
}

void Survey::Completion(void* user, std::int32_t success, std::uint8_t command) {
    if (cancelFlag != 0) {
        return;
    }
    static_cast<Survey*>(user)->OnDone(success, command);
}

void Survey::TryAddress() {
    if (m_next >= m_addresses.size()) {
        NextAfterSearch();
        return;
    }
    hartMaster.m_byPollAddr = static_cast<std::uint8_t>(m_addresses[m_next]);
    Changed();
    Send(0);
}

void Survey::ReadDevice(std::size_t row) {
    m_row = row;
    const SurveyDevice& device = m_devices[row];
    hartMaster.m_byPollAddr = static_cast<std::uint8_t>(device.address);
    hartMaster.m_abyLongAddr = device.longAddress;
    Send(m_state == State::kSearching ? 13 : 1);
}

void Survey::Take(std::uint8_t command, SurveyDevice& device) {
    device.deviceStatus = hartMaster.m_byDeviceStatus;
    device.answering = true;
    if (command == 13) {
        device.tag = hartMaster.m_strTag;
        device.descriptor = hartMaster.m_strDescriptor;
    } else if (command == 1) {
        device.pv = hartMaster.m_fPV;
        device.unit = hartMaster.m_strPVUnit;
    } else if (command == 2) {
        device.currentMa = hartMaster.m_fLoopCurrent;
        device.percent = hartMaster.m_fPercentRange;
        device.valuesRead = true;
    }
}

void Survey::OnDone(std::int32_t success, std::uint8_t command) {
    if (!Running()) {
        return;
    }
    if (command == 0) {
        if (success == 1) {
            SurveyDevice device;
            device.address = m_addresses[m_next];
            device.longAddress = hartMaster.m_abyLongAddr;
            device.manufacturer = hartMaster.m_abyRxFrame[kIdentityManufacturer];
            device.deviceType = hartMaster.m_abyRxFrame[kIdentityDeviceType];
            device.deviceStatus = hartMaster.m_byDeviceStatus;
            m_devices.push_back(device);
            m_bRowPending = true;
            ++m_next;
            ReadDevice(m_devices.size() - 1);
            return;
        }
        ++m_next;  // nobody there
        TryAddress();
        return;
    }
    SurveyDevice& device = m_devices[m_row];
    if (success == 1) {
        Take(command, device);
        if (command != 2) {
            Send(command == 13 ? 1 : 2);
            return;
        }
    } else if (hartMaster.LastOutcome().kind == ReplyKind::kRefused) {
        device.deviceStatus = hartMaster.m_byDeviceStatus;  // there, but it said no
    } else {
        device.answering = false;
    }
    Report(m_row);
    Changed();
    if (m_state == State::kSearching) {
        TryAddress();
    } else if (m_row + 1 < m_devices.size()) {
        ReadDevice(m_row + 1);
    } else {
        // A round is through: wait, with the line free of our requests.
        m_state = State::kWaiting;
        Status("strOpOK");
        m_timer = m_loop.StartTimer(m_refreshMs, [this](TimerId id) {
            m_loop.KillTimer(id);  // one-shot already; harmless
            m_timer = 0;
            if (m_state == State::kWaiting) {
                RefreshRound();
            }
        });
    }
}

void Survey::NextAfterSearch() {
    if (m_refreshMs != 0 && !m_devices.empty()) {
        RefreshRound();
        return;
    }
    Finish(State::kDone);
    Status(m_devices.empty() ? "strNoMeter" : "strOpOK");
}

void Survey::RefreshRound() {
    m_state = State::kRefreshing;
    hartMaster.SetCommand0Tries(m_savedTries);
    ReadDevice(0);
}

void Survey::Watch() {
    constexpr std::uint32_t kWatchMs = 200;
    // The main window's Stop, a lost port or a page switch end the
    // sequence without a completion: the survey is then over too.
    m_watch = m_loop.StartTimer(kWatchMs, [this](TimerId) {
        m_watch = 0;
        if (!Running()) {
            return;
        }
        if (busyFlag == 0) {
            Finish(State::kStopped);
            return;
        }
        Watch();
    });
}

void Survey::Finish(State state) {
    if (m_timer != 0) {
        m_loop.KillTimer(m_timer);
        m_timer = 0;
    }
    if (m_watch != 0) {
        m_loop.KillTimer(m_watch);
        m_watch = 0;
    }
    m_state = state;
    hartMaster.SetCommand0Tries(m_savedTries);
    hartMaster.m_byPollAddr = m_savedAddress;
    busyFlag = 0;
    if (mainWindow != nullptr) {
        mainWindow->ShowProgress(true);
    }
    Changed();
}

void Survey::Report(std::size_t row) {
    m_bRowPending = false;
    if (m_onRow) {
        m_onRow(row);
    }
}

void Survey::Changed() {
    if (m_onChange) {
        m_onChange();
    }
}

}  // namespace tandrin
