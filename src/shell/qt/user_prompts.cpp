#include "shell/qt/user_prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace tandrin {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kInformation:
            return QMessageBox::Information;
        case MessageIcon::kWarning:
            return QMessageBox::Warning;
        case MessageIcon::kError:
            return QMessageBox::Critical;
        case MessageIcon::kQuestion:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void DialogPrompts::Message(const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox box(QtIcon(icon), caption, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool DialogPrompts::YesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    return box.exec() == QMessageBox::Yes;
}

ShellServices::Answer DialogPrompts::YesNoCancel(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return ShellServices::Answer::kYes;
        case QMessageBox::No:
            return ShellServices::Answer::kNo;
        default:
            return ShellServices::Answer::kCancel;
    }
}

QString DialogPrompts::OpenFile(const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(), filter);
}

QString DialogPrompts::SaveFile(const QString& filter, const QString& defaultSuffix) {
    return SaveFileTitled(QString(), filter, QString(), defaultSuffix);
}

QString DialogPrompts::SaveFileTitled(const QString& title, const QString& filter,
                                      const QString& name, const QString& defaultSuffix) {
    QFileDialog dialog(m_parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!name.isEmpty()) {
        dialog.selectFile(name);
    }
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

void DialogPrompts::OpenAddress(const QString& address) {
    // The result is not reported: a failed opener is the desktop's business.
    QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
}

}  // namespace tandrin
