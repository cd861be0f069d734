// The main window's link to the transmitter: port choice, OnLine, Search,
// Reset, product information, value reading and Stop.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "link/command_flags.h"
#include "link/hart_ip_message.h"
#include "link/scan_ports.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/leading_number.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/menu_range.h"
#include "shell/settings_store.h"

namespace tandrin {

namespace {

constexpr const char* kAppName = "Tandrin";
constexpr int kMaxMenuEntries = 10;

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string Fixed3(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", 3, static_cast<double>(value));
    return text;
}

}  // namespace

void MainDialog::InitPorts(const std::vector<std::string>& extraCandidates,
                           const std::string& preferredPort) {
    ScanPorts(portList, extraCandidates);
    std::string stored;
    const bool haveStored = RegReadString(kSettingsKey, "Port", stored) == 1 && !stored.empty();
    // The probe skips what it cannot open or does not know (a pty, a
    // symbolic link, a port held right now); a port the user named or
    // stored that still exists is theirs to use, and its error theirs to see.
    if (!preferredPort.empty()) {
        KeepPort(preferredPort);
    } else if (haveStored && (PathExists(stored) || IsHartIpName(stored))) {
        KeepPort(stored);
    }
    RebuildMenuRange(m_menu, main_ids::kMenuEnvironment, main_ids::kPortSubmenu,
                     main_ids::kPortFirst, main_ids::kPortLast, portList);
    if (portList.empty()) {
        m_shell.MessageBox(LangText("strPortFail"), "HART", MessageIcon::kInformation);
        return;
    }
    if (!preferredPort.empty()) {
        stored = preferredPort;
    } else if (!haveStored ||
               std::find(portList.begin(), portList.end(), stored) == portList.end()) {
        stored = portList.front();
    }
    currentPort = stored;
    SelectPort(currentPort);
}

// First in the list, so that it is among the ten the menu shows.
void MainDialog::KeepPort(const std::string& name) {
    if (std::find(portList.begin(), portList.end(), name) == portList.end()) {
        portList.insert(portList.begin(), name);
    }
}

void MainDialog::OnPortCommand(int id) {
    const auto i = static_cast<std::size_t>(id - main_ids::kPortFirst);
    if (id < main_ids::kPortFirst || i >= portList.size()) {
        return;
    }
    currentPort = portList[i];
    SelectPort(currentPort);
    RegWriteString(kSettingsKey, "Port", currentPort);
}

void MainDialog::ChooseHartIpServer() {
    HartIpAddress address;
    if (!ParseHartIpName(currentPort, address)) {
        address.host = "";
    }
    if (!m_shell.AskHartIpServer(address) || address.host.empty()) {
        return;
    }
    const std::string name = HartIpName(address);
    KeepPort(name);
    RebuildMenuRange(m_menu, main_ids::kMenuEnvironment, main_ids::kPortSubmenu,
                     main_ids::kPortFirst, main_ids::kPortLast, portList);
    currentPort = name;
    SelectPort(currentPort);
    RegWriteString(kSettingsKey, "Port", currentPort);
}

void MainDialog::SelectPort(const std::string& name) {
    const int top = main_ids::kMenuEnvironment;
    const int sub = main_ids::kPortSubmenu;
    const int items = std::min(kMaxMenuEntries, m_menu.ItemCount(top, sub));
    for (int position = 0; position < items; ++position) {
        const bool match = m_menu.ItemText(top, sub, position) == name;
        m_menu.SetItemChecked(top, sub, position, match);
        if (!match) {
            continue;
        }
        // A transaction in flight must end without touching the port that
        // is about to close.
        cancelFlag = 1;
        hartMaster.CancelTransaction();
        busyFlag = 0;
        hartMaster.CloseLink();
        hartMaster.m_strPortName = name;
        SetStatusText(1, name);
    }
}

void MainDialog::StartSequence(std::initializer_list<std::uint8_t> commands, int mode) {
    if (CheckLinkReady() == 0) {
        return;
    }
    CommandSequence.Set(commands);
    mainMode = mode;
    lastOutcome = Outcome::kNone;
    StartCommand(this, &MainDialog::MainStepDone);
}

void MainDialog::OnLine() {
    StartSequence({0}, 0);
}
void MainDialog::ReadValues() {
    StartSequence({0, 1, 2}, main_ids::kGetButton);
}
void MainDialog::ProductInformation() {
    StartSequence({0, 162}, 0);
}
void MainDialog::Reset() {
    StartSequence({0, 42}, 0);
}

void MainDialog::Search() {
    if (CheckLinkReady() == 0) {
        return;
    }
    CommandSequence.Set({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    hartMaster.m_byPollAddr = 0;
    lastOutcome = Outcome::kNone;
    StartCommand(this, &MainDialog::MainStepDone);
    mainMode = main_ids::kSearch;
    InfoForm().ClearEntries(main_ids::kShortAddressBox);
    InfoForm().SetText(main_ids::kShortAddressBox, "");
}

void MainDialog::MainStepDone(void* user, std::int32_t success, std::uint8_t command) {
    if (cancelFlag != 0) {
        return;
    }
    static_cast<MainDialog*>(user)->OnStepDone(success, command);
}

void MainDialog::OnStepDone(std::int32_t success, std::uint8_t command) {
    if (success != 1) {
        if (SearchStep(0) == 0) {
            ReportFailed();
        }
        return;
    }
    if (SearchStep(1) == 1) {
        return;
    }
    if (++CommandSequence.index < CommandSequence.count) {
        StartCommand(this, &MainDialog::MainStepDone);
        return;
    }
    if (mainMode == main_ids::kGetButton) {
        ShowPv();
        ShowCurrentAndPercent();
    } else if (command == 162) {
        m_shell.MessageBox(LangText("strVersion") + hartMaster.m_strSoftwareVersion + "\r\r",
                           "HART", MessageIcon::kInformation);
    }
    ReportDone();
}

int MainDialog::SearchStep(int answered) {
    if (mainMode != main_ids::kSearch) {
        return 0;
    }
    Form& info = InfoForm();
    const int box = main_ids::kShortAddressBox;
    if (answered != 0) {
        info.AddEntry(box, std::to_string(hartMaster.m_byPollAddr));
    }
    if (CommandSequence.index + 1 < CommandSequence.count) {
        ++hartMaster.m_byPollAddr;
        ++CommandSequence.index;
        StartCommand(this, &MainDialog::MainStepDone);
        return 1;
    }
    ShowProgress(true);
    std::string list;
    for (int i = 0; i < info.EntryCount(box); ++i) {
        list += (i == 0 ? " " : ", ") + info.Entry(box, i);
    }
    if (info.EntryCount(box) == 0) {
        info.SetText(box, "0");
    } else {
        info.SetSelection(box, 0);
    }
    m_shell.MessageBox(LangText("strFindMeter") + list, kAppName, MessageIcon::kInformation);
    hartMaster.m_byPollAddr = static_cast<std::uint8_t>(LeadingByte(info.Text(box)));
    busyFlag = 0;
    lastOutcome = Outcome::kDone;
    // The search is over, whatever it found: not "communicating" any more.
    SetStatusText(0, LangText("strOpOK"));
    return 1;
}

void MainDialog::StopSequence() {
    CommandSequence.index = CommandSequence.count;
    cancelFlag = 1;
    // No late reply may land in the values written from here on.
    hartMaster.CancelTransaction();
    if (busyFlag != 0) {
        busyFlag = 0;
        SetStatusText(0, LangText("strBreak"));
    } else {
        hartMaster.CloseLink();
    }
    Form& info = InfoForm();
    if (info.Text(main_ids::kShortAddressBox).empty()) {
        info.SetText(main_ids::kShortAddressBox, "0");
    }
    hartMaster.m_byPollAddr =
        static_cast<std::uint8_t>(LeadingByte(info.Text(main_ids::kShortAddressBox)));
    mainMode = 0;
}

void MainDialog::LinkLost() {
    StopSequence();
    for (DevicePage* page : m_pages) {
        if (page != nullptr) {
            page->LinkLost();
        }
    }
}

void MainDialog::ShowPv() {
    m_form.SetText(main_ids::kPvReadout, Fixed3(hartMaster.m_fPV) + "  " + hartMaster.m_strPVUnit);
}

void MainDialog::ShowCurrentAndPercent() {
    m_form.SetText(main_ids::kCurrentReadout, Fixed3(hartMaster.m_fLoopCurrent));
    m_form.SetText(main_ids::kPercentReadout, Fixed3(hartMaster.m_fPercentRange));
}

void MainDialog::ShowValue(long lParam) {
    if (lParam == 0) {
        ShowPv();
    } else if (lParam == 1) {
        ShowCurrentAndPercent();
    }
}

}  // namespace tandrin
