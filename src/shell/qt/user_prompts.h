#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "shell/shell_services.h"

namespace tandrin {

// The shell services that wait for the user or leave the program: message
// boxes, questions, file dialogs and opening an address. Apart so that tests
// can answer them without a modal dialog.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;
    virtual void Message(const QString& text, const QString& caption, MessageIcon icon) = 0;
    virtual bool YesNo(const QString& text, const QString& caption) = 0;
    // Yes, No or Cancel; without a Cancel of its own, Yes or No.
    virtual ShellServices::Answer YesNoCancel(const QString& text, const QString& caption) {
        return YesNo(text, caption) ? ShellServices::Answer::kYes : ShellServices::Answer::kNo;
    }
    // Empty when cancelled.
    virtual QString OpenFile(const QString& filter) = 0;
    virtual QString SaveFile(const QString& filter, const QString& defaultSuffix) = 0;
    virtual void OpenAddress(const QString& address) = 0;
    // A save dialog with its title and a suggested name; without them by
    // default.
    virtual QString SaveFileTitled(const QString& /*title*/, const QString& filter,
                                   const QString& /*name*/, const QString& defaultSuffix) {
        return SaveFile(filter, defaultSuffix);
    }
};

// The real thing: modal Qt dialogs over `parent`, the desktop's opener.
class DialogPrompts : public UserPrompts {
  public:
    explicit DialogPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Message(const QString& text, const QString& caption, MessageIcon icon) override;
    bool YesNo(const QString& text, const QString& caption) override;
    ShellServices::Answer YesNoCancel(const QString& text, const QString& caption) override;
    QString OpenFile(const QString& filter) override;
    QString SaveFile(const QString& filter, const QString& defaultSuffix) override;
    void OpenAddress(const QString& address) override;
    QString SaveFileTitled(const QString& title, const QString& filter, const QString& name,
                           const QString& defaultSuffix) override;

  private:
    QPointer<QWidget> m_parent;
};

}  // namespace tandrin
