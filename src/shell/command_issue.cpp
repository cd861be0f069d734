#include "shell/command_issue.h"

#include "link/command_flags.h"
#include "link/hart_ip_message.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/port_open_message.h"

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
    busyFlag = 1;
    const std::uint8_t command = CommandSequence.commands[CommandSequence.index];
    cancelFlag = 0;
    hartMaster.SendCommand(user, completion, command);
    Report(false, "strCommunication");
}

void ReportDone() {
    busyFlag = 0;
    if (mainWindow != nullptr) {
        mainWindow->lastOutcome = MainDialog::Outcome::kDone;
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
    const std::string problem = LineProblemText();
    if (problem.empty()) {
        Message("strCommFail", MessageIcon::kInformation);
    } else if (mainWindow != nullptr) {
        mainWindow->Shell().MessageBox(problem, "HART", MessageIcon::kInformation);
    }
    busyFlag = 0;
    if (mainWindow != nullptr) {
        mainWindow->lastOutcome = MainDialog::Outcome::kFailed;
    }
    Report(true, "strOpFail");
}

}  // namespace tandrin
