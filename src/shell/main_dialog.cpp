#include "shell/main_dialog.h"

#include "shell/command_issue.h"

#include "device/response_codes.h"
#include "shell/lang_text.h"
#include "shell/reply_text.h"

namespace tandrin {

MainDialog* mainWindow = nullptr;

MainDialog::MainDialog(Form& form, MenuBar& menu, ShellServices& shell)
    : m_form(form), m_menu(menu), m_shell(shell) {
    // Reports through mainWindow, whichever dialog that is by then.
    hartMaster.SetLinkLostHandler(&ReportLinkLost);
}

void MainDialog::SetStatusText(int pane, const std::string& text) {
    m_shell.SetStatusText(pane, text);
}

namespace {

StatusSeverity SeverityOf(std::uint8_t mask) {
    switch (mask) {
        case kStatusMalfunction:
            return StatusSeverity::kAlarm;
        case kStatusConfigChanged:
        case 0x20:  // cold start
        case 0x10:  // more status available
            return StatusSeverity::kNotice;
        default:
            return StatusSeverity::kWarning;
    }
}

}  // namespace

void MainDialog::ShowDeviceStatus(std::uint8_t status) {
    const DeviceStatusBit* top = MostSeriousStatus(status);
    if (top == nullptr) {
        m_shell.SetDeviceStatus({}, {}, StatusSeverity::kNone);
        return;
    }
    std::string details;
    for (const std::string& text : DeviceStatusTexts(status)) {
        details += (details.empty() ? "" : "\n") + text;
    }
    const std::string text = LangText(top->key);
    m_shell.SetDeviceStatus(text.empty() ? top->name : text, details, SeverityOf(top->mask));
}

void MainDialog::SequenceOver() {
    EventLoop* loop = hartMaster.Loop();
    if (afterSequence && loop != nullptr) {
        loop->Post(afterSequence);
    }
}

void MainDialog::ShowProgress(bool full) {
    const int count = CommandSequence.count;
    m_shell.SetProgress(count + 1, full ? count + 1 : CommandSequence.index + 1);
}

}  // namespace tandrin
