#pragma once

#include <QLabel>
#include <QPointer>
#include <QProgressBar>

#include "shell/qt/user_prompts.h"

namespace tandrin {

// The shell services of the main window: status panes and progress bar on
// its widgets, everything that waits for the user through UserPrompts.
// Texts arrive in the interface code page and convert here.
class QtShellServices : public ShellServices {
  public:
    explicit QtShellServices(UserPrompts& prompts) : m_prompts(&prompts) {}

    void SetWidgets(QLabel* pane0, QLabel* pane1, QProgressBar* progress);
    // The coloured device status label; hidden while all is well.
    void SetDeviceStatusLabel(QLabel* label) { m_deviceStatus = label; }
    void SetPrompts(UserPrompts& prompts) { m_prompts = &prompts; }
    UserPrompts& Prompts() const { return *m_prompts; }

    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    Answer AskYesNoCancel(const std::string& text, const std::string& caption) override;
    void SetStatusText(int pane, const std::string& text) override;
    void SetProgress(int upper, int position) override;
    void SetDeviceStatus(const std::string& text, const std::string& details,
                         StatusSeverity severity) override;
    std::string OpenFileDialog(const std::string& filter) override;
    std::string SaveFileDialog(const std::string& filter,
                               const std::string& defaultExtension) override;
    void OpenAddress(const std::string& address) override;
    std::string SaveFileDialogTitled(const std::string& title, const std::string& filter,
                                     const std::string& defaultName,
                                     const std::string& defaultExtension) override;
    bool AskHartIpServer(HartIpAddress& address) override;

  private:
    UserPrompts* m_prompts;
    QPointer<QLabel> m_panes[2];
    QPointer<QProgressBar> m_progress;
    QPointer<QLabel> m_deviceStatus;
};

}  // namespace tandrin
