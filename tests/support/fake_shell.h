#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/memory_form.h"
#include "shell/memory_menu_bar.h"
#include "shell/shell_services.h"

namespace tandrin::test {

// In-memory controls and menu bar serve the tests as they serve the
// command line.
using FakeForm = MemoryForm;
using FakeMenuBar = MemoryMenuBar;

// Records what the shell was asked to show; answers questions and file
// dialogs from queues (a question with an empty queue gets `defaultAnswer`).
class FakeShell : public ShellServices {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    struct Question {
        std::string text;
        std::string caption;
    };

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::deque<bool> answers;
    bool defaultAnswer = true;
    std::string status[2];
    std::vector<std::pair<int, std::string>> statusHistory;
    std::vector<std::pair<int, int>> progress;  // (upper, position)
    std::deque<std::string> openPaths;
    std::deque<std::string> savePaths;
    std::vector<std::string> fileFilters;
    std::vector<std::string> openedAddresses;

    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetStatusText(int pane, const std::string& text) override;
    void SetProgress(int upper, int position) override;
    std::string OpenFileDialog(const std::string& filter) override;
    std::string SaveFileDialog(const std::string& filter,
                               const std::string& defaultExtension) override;
    void OpenAddress(const std::string& address) override;
};

}  // namespace tandrin::test
