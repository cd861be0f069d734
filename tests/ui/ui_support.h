#pragma once

#include <QString>
#include <string>
#include <vector>

#include "shell/qt/user_prompts.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin::test {

// Answers the prompts without a modal dialog and keeps what was asked.
class RecordingPrompts : public UserPrompts {
  public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon;
    };

    std::vector<Message> messages;
    std::vector<QString> addresses;

    void Message(const QString& text, const QString& caption, MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    // Questions asked, answered with `answer`.
    std::vector<QString> questions;
    bool answer = false;

    bool YesNo(const QString& text, const QString&) override {
        questions.push_back(text);
        return answer;
    }
    // A question with Cancel gets Cancel when `cancel`, else `answer`.
    bool cancel = false;
    ShellServices::Answer YesNoCancel(const QString& text, const QString&) override {
        questions.push_back(text);
        if (cancel) {
            return ShellServices::Answer::kCancel;
        }
        return answer ? ShellServices::Answer::kYes : ShellServices::Answer::kNo;
    }
    QString OpenFile(const QString&) override { return {}; }
    QString SaveFile(const QString&, const QString&) override { return {}; }
    void OpenAddress(const QString& address) override { addresses.push_back(address); }

    bool Said(const QString& text) const {
        for (const auto& message : messages) {
            if (message.text == text) {
                return true;
            }
        }
        return false;
    }
};

// A program directory of its own holding the shipped files named (from
// resources/), and a settings directory of its own, for one test.
class ProgramFiles {
  public:
    explicit ProgramFiles(const std::vector<std::string>& shipped);
    ~ProgramFiles();
    ProgramFiles(const ProgramFiles&) = delete;
    ProgramFiles& operator=(const ProgramFiles&) = delete;

    const TempDir& Dir() const { return m_program; }
    std::string SettingsFile() const { return m_config.Path() + "tandrin/settings.ini"; }

  private:
    TempDir m_program;
    TempDir m_config;
    ScopedEnv m_xdg{"XDG_CONFIG_HOME", m_config.Path()};
};

// The shipped file's bytes.
std::string Shipped(const std::string& name);

}  // namespace tandrin::test
