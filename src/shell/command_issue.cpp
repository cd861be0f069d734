#include "shell/command_issue.h"

#include <algorithm>
#include <string>

#include "device/response_codes.h"
#include "link/command_flags.h"
#include "link/hart_ip_message.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/port_open_message.h"
#include "shell/reply_text.h"

namespace tandrin {

CommandList CommandSequence;

void CommandList::Set(std::initializer_list<std::uint8_t> list) {
    index = 0;
    count = 0;
    for (std::uint8_t command : list) {
        if (count < commands.size()) {
            commands[count++] = command;
        }
    }
}

namespace {

void Message(const char* key, MessageIcon icon) {
    if (mainWindow != nullptr) {
        mainWindow->Shell().MessageBox(LangText(key), "HART", icon);
    }
}

// Warnings the transmitter gave during the sequence now running, said once
// it is through.
std::vector<std::string> sequenceWarnings;

// The device status of the reply that just completed, if there was one.
void ShowDeviceStatus() {
    if (mainWindow != nullptr && hartMaster.LastOutcome().kind != ReplyKind::kNoAnswer) {
        mainWindow->ShowDeviceStatus(hartMaster.m_byDeviceStatus);
    }
}

void Report(bool full, const std::string& status) {
    if (mainWindow != nullptr) {
        mainWindow->ShowProgress(full);
        mainWindow->SetStatusText(0, status);
    }
}

void Report(bool full, const char* statusKey) {
    Report(full, LangText(statusKey));
}

// A HART-IP server names itself in what is said about it.
std::string LinkLostText() {
    const std::string& name = hartMaster.m_strPortName;
    return IsHartIpName(name) ? FillIn(LangText("strServerLost"), {name}) : LangText("strPortLost");
}

// What the server said about the last request, when it refused it.
std::string LineProblemText() {
    const ISerialPort* port = hartMaster.Port();
    const PortOpenError problem = port != nullptr ? port->LineProblem() : PortOpenError::kNone;
    return problem == PortOpenError::kNone ? std::string()
                                           : PortOpenMessage(problem, hartMaster.m_strPortName);
}

}  // namespace

int CheckLinkReady() {
    if (busyFlag != 0) {
        Message("strBusy", MessageIcon::kInformation);
        return 0;
    }
    if (hartMaster.EnsureOpen() == 0) {
        if (mainWindow != nullptr) {
            mainWindow->Shell().MessageBox(
                PortOpenMessage(hartMaster.LastOpenError(), hartMaster.m_strPortName), "HART",
                MessageIcon::kError);
        }
        return 0;
    }
    return 1;
}

void StartCommand(void* user, CompletionFn completion) {
    if (CommandSequence.index == 0) {
        sequenceWarnings.clear();
    }
    ShowDeviceStatus();  // of the command before, in this or the last sequence
    busyFlag = 1;
    const std::uint8_t command = CommandSequence.commands[CommandSequence.index];
    cancelFlag = 0;
    hartMaster.SendCommand(user, completion, command);
    Report(false, "strCommunication");
}

void NoteReply() {
    const ReplyOutcome& outcome = hartMaster.LastOutcome();
    if (outcome.kind == ReplyKind::kWarning) {
        sequenceWarnings.push_back(WarningText(outcome));
    }
}

std::vector<std::uint8_t> WritesTaken() {
    std::vector<std::uint8_t> taken;
    const std::size_t end = std::min<std::size_t>(CommandSequence.index, CommandSequence.count);
    for (std::size_t i = 0; i < end; ++i) {
        if (ChangesDevice(CommandSequence.commands[i])) {
            taken.push_back(CommandSequence.commands[i]);
        }
    }
    return taken;
}

void ReportDone() {
    busyFlag = 0;
    ShowDeviceStatus();
    if (mainWindow != nullptr) {
        mainWindow->SequenceOver();
    }
    if (mainWindow != nullptr) {
        mainWindow->lastOutcome = MainDialog::Outcome::kDone;
    }
    if (!sequenceWarnings.empty() && mainWindow != nullptr) {
        std::string text;
        for (const std::string& warning : sequenceWarnings) {
            text += (text.empty() ? "" : "\n") + warning;
        }
        sequenceWarnings.clear();
        mainWindow->Shell().MessageBox(text, "HART", MessageIcon::kWarning);
        Report(true, "strOpWarning");
        return;
    }
    Report(true, "strOpOK");
}

void ReportLinkLost() {
    if (mainWindow == nullptr) {
        return;
    }
    const bool wasBusy = busyFlag != 0;
    mainWindow->LinkLost();
    const std::string text = LinkLostText();
    if (wasBusy) {
        mainWindow->lastOutcome = MainDialog::Outcome::kFailed;
        mainWindow->Shell().MessageBox(text, "HART", MessageIcon::kError);
    }
    Report(true, text);
}

void ReportFailed() {
    const ReplyOutcome& outcome = hartMaster.LastOutcome();
    const bool refused = outcome.kind == ReplyKind::kRefused;
    if (refused && mainWindow != nullptr) {
        // An answer, not a wiring fault: say what the transmitter said and
        // what of the sequence it had already taken.
        std::string text = RefusalText(outcome);
        const std::string taken = TakenWritesText(WritesTaken());
        if (!taken.empty()) {
            text += "\n" + taken;
        }
        mainWindow->Shell().MessageBox(text, "HART", MessageIcon::kWarning);
    } else if (!refused) {
        // A HART-IP server may have said why; else the wiring is the suspect.
        const std::string problem = LineProblemText();
        if (problem.empty()) {
            Message("strCommFail", MessageIcon::kInformation);
        } else if (mainWindow != nullptr) {
            mainWindow->Shell().MessageBox(problem, "HART", MessageIcon::kInformation);
        }
    }
    sequenceWarnings.clear();
    busyFlag = 0;
    ShowDeviceStatus();
    if (mainWindow != nullptr) {
        mainWindow->lastOutcome = MainDialog::Outcome::kFailed;
        mainWindow->SequenceOver();
    }
    Report(true, refused ? "strOpRefused" : "strOpFail");
}

}  // namespace tandrin
