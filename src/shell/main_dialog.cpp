#include "shell/main_dialog.h"

#include "shell/command_issue.h"

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

void MainDialog::ShowProgress(bool full) {
    const int count = CommandSequence.count;
    m_shell.SetProgress(count + 1, full ? count + 1 : CommandSequence.index + 1);
}

}  // namespace tandrin
