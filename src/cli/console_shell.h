#pragma once

#include <string>
#include <vector>

#include "shell/shell_services.h"

namespace tandrin::cli {

// The shell services of a terminal program: messages are kept for the
// front end to print once the command is over; questions are answered
// "no" (unless the command itself was the confirmation) and file dialogs
// cancelled, since nobody is there to answer.
class ConsoleShell : public ShellServices {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    std::vector<Message> messages;
    std::string status[2];

    void MessageBox(const std::string& text, const std::string& caption,
                    MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    // A command that names the action is its own confirmation.
    bool answerYes = false;

    bool AskYesNo(const std::string&, const std::string&) override { return answerYes; }
    void SetStatusText(int pane, const std::string& text) override {
        if (pane == 0 || pane == 1) {
            status[pane] = text;
        }
    }
    void SetProgress(int, int) override {}
    std::string OpenFileDialog(const std::string&) override { return {}; }
    std::string SaveFileDialog(const std::string&, const std::string&) override { return {}; }
    void OpenAddress(const std::string&) override {}
};

}  // namespace tandrin::cli
