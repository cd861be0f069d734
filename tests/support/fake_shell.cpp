#include "support/fake_shell.h"

namespace tandrin::test {

// ---- FakeShell

void FakeShell::MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
}

bool FakeShell::AskYesNo(const std::string& text, const std::string& caption) {
    questions.push_back({text, caption});
    if (answers.empty()) {
        return defaultAnswer;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeShell::SetStatusText(int pane, const std::string& text) {
    if (pane == 0 || pane == 1) {
        status[pane] = text;
    }
    statusHistory.emplace_back(pane, text);
}

void FakeShell::SetProgress(int upper, int position) {
    progress.emplace_back(upper, position);
}

std::string FakeShell::OpenFileDialog(const std::string& filter) {
    fileFilters.push_back(filter);
    if (openPaths.empty()) {
        return {};
    }
    std::string path = openPaths.front();
    openPaths.pop_front();
    return path;
}

std::string FakeShell::SaveFileDialog(const std::string& filter, const std::string&) {
    fileFilters.push_back(filter);
    if (savePaths.empty()) {
        return {};
    }
    std::string path = savePaths.front();
    savePaths.pop_front();
    return path;
}

void FakeShell::OpenAddress(const std::string& address) {
    openedAddresses.push_back(address);
}

}  // namespace tandrin::test
