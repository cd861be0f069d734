#include "shell/qt/user_prompts.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
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

bool DialogPrompts::HartIpServer(HartIpServerQuestion& question) {
    QDialog dialog(m_parent);
    dialog.setWindowTitle(question.title);
    auto* host = new QLineEdit(question.host, &dialog);
    host->setObjectName(QStringLiteral("host"));
    auto* port = new QSpinBox(&dialog);
    port->setRange(1, 65535);
    port->setValue(question.port);
    auto* transport = new QComboBox(&dialog);
    transport->addItems({QStringLiteral("UDP"), QStringLiteral("TCP")});
    transport->setCurrentIndex(question.tcp ? 1 : 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(question.hostLabel, host);
    form->addRow(question.portLabel, port);
    form->addRow(question.transportLabel, transport);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    question.host = host->text();
    question.port = static_cast<quint16>(port->value());
    question.tcp = transport->currentIndex() == 1;
    return true;
}

void DialogPrompts::OpenAddress(const QString& address) {
    // The result is not reported: a failed opener is the desktop's business.
    QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
}

}  // namespace tandrin
