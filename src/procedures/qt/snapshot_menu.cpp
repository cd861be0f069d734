#include "procedures/qt/snapshot_menu.h"

#include <QAction>
#include <QMenu>

#include "controls/qt/qt_text.h"
#include "procedures/qt/snapshot_dialog.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

void Caption(QAction* action, const char* key, const char* fallback) {
    const std::string text = LangText("Snapshot", key);
    action->setText(text.empty() ? QString::fromUtf8(fallback) : ToQt(text));
}

}  // namespace

SnapshotMenu::SnapshotMenu(QMenu* file, ShellServices& shell, QWidget* window)
    : QObject(window),
      m_window(window),
      m_workflow(shell,
                 [this](const std::vector<FieldDifference>& differences) {
                     return SnapshotDialog::Ask(differences, m_window);
                 }),
      m_save(new QAction(file)),
      m_restore(new QAction(file)) {
    m_save->setObjectName(QStringLiteral("IDM_FILE_SAVECONFIG"));
    m_restore->setObjectName(QStringLiteral("IDM_FILE_RESTORECONFIG"));
    QAction* first = file->actions().isEmpty() ? nullptr : file->actions().first();
    file->insertAction(first, m_save);
    file->insertAction(first, m_restore);
    file->insertSeparator(first);
    // Queued: the menu closes before the procedure waits on the line.
    connect(
        m_save, &QAction::triggered, this, [this] { m_workflow.SaveConfiguration(); },
        Qt::QueuedConnection);
    connect(
        m_restore, &QAction::triggered, this, [this] { m_workflow.RestoreConfiguration(); },
        Qt::QueuedConnection);
    Retranslate();
}

void SnapshotMenu::Retranslate() {
    Caption(m_save, "IDM_FILE_SAVECONFIG", "Save Device Configuration\u2026");
    Caption(m_restore, "IDM_FILE_RESTORECONFIG", "Restore Device Configuration\u2026");
}

}  // namespace tandrin
