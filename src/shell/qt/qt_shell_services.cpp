#include "shell/qt/qt_shell_services.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>

#include "controls/qt/qt_text.h"
#include "shell/lang_text.h"

namespace tandrin {

bool QtShellServices::AskHartIpServer(HartIpAddress& address) {
    HartIpServerQuestion question;
    question.title = ToQt(LangText("strHartIpTitle"));
    question.hostLabel = ToQt(LangText("strHartIpHost"));
    question.portLabel = ToQt(LangText("strHartIpPort"));
    question.transportLabel = ToQt(LangText("strHartIpTransport"));
    question.host = QString::fromStdString(address.host);
    question.port = address.port;
    question.tcp = address.tcp;
    if (!m_prompts->HartIpServer(question) || question.host.trimmed().isEmpty()) {
        return false;
    }
    address.host = question.host.trimmed().toStdString();
    address.port = question.port;
    address.tcp = question.tcp;
    return true;
}

void QtShellServices::SetWidgets(QLabel* pane0, QLabel* pane1, QProgressBar* progress) {
    m_panes[0] = pane0;
    m_panes[1] = pane1;
    m_progress = progress;
}

void QtShellServices::MessageBox(const std::string& text, const std::string& caption,
                                 MessageIcon icon) {
    m_prompts->Message(MessageToQt(text), ToQt(caption), icon);
}

bool QtShellServices::AskYesNo(const std::string& text, const std::string& caption) {
    return m_prompts->YesNo(MessageToQt(text), ToQt(caption));
}

ShellServices::Answer QtShellServices::AskYesNoCancel(const std::string& text,
                                                      const std::string& caption) {
    return m_prompts->YesNoCancel(MessageToQt(text), ToQt(caption));
}

void QtShellServices::SetStatusText(int pane, const std::string& text) {
    if (pane != 0 && pane != 1) {
        return;
    }
    if (QLabel* label = m_panes[pane]) {
        label->setText(ToQt(text));
    }
}

void QtShellServices::SetDeviceStatus(const std::string& text, const std::string& details,
                                      StatusSeverity severity) {
    QLabel* label = m_deviceStatus;
    if (label == nullptr) {
        return;
    }
    if (severity == StatusSeverity::kNone || text.empty()) {
        label->clear();
        label->setToolTip({});
        label->hide();
        return;
    }
    // Red for a malfunction, amber for the output and limits, blue for news.
    const char* colours = severity == StatusSeverity::kAlarm ? "background:#c00000;color:white;"
                          : severity == StatusSeverity::kWarning
                              ? "background:#ffbf00;color:black;"
                              : "background:#cfe2ff;color:black;";
    label->setStyleSheet(QStringLiteral("QLabel{%1padding:0 6px;}").arg(QLatin1String(colours)));
    label->setText(ToQt(text));
    label->setToolTip(ToQt(details));
    label->show();
}

void QtShellServices::SetProgress(int upper, int position) {
    if (m_progress != nullptr) {
        m_progress->setRange(0, upper);
        m_progress->setValue(position);
    }
}

// Paths are file-system bytes, not interface texts: they convert as the file
// system names them.
std::string QtShellServices::OpenFileDialog(const std::string& filter) {
    return QFile::encodeName(m_prompts->OpenFile(ToQt(filter))).toStdString();
}

std::string QtShellServices::SaveFileDialog(const std::string& filter,
                                            const std::string& defaultExtension) {
    return QFile::encodeName(m_prompts->SaveFile(ToQt(filter), ToQt(defaultExtension)))
        .toStdString();
}

std::string QtShellServices::SaveFileDialogTitled(const std::string& title,
                                                  const std::string& filter,
                                                  const std::string& defaultName,
                                                  const std::string& defaultExtension) {
    return QFile::encodeName(m_prompts->SaveFileTitled(ToQt(title), ToQt(filter), ToQt(defaultName),
                                                       ToQt(defaultExtension)))
        .toStdString();
}

void QtShellServices::OpenAddress(const std::string& address) {
    m_prompts->OpenAddress(ToQt(address));
}

}  // namespace tandrin
