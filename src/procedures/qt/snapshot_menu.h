#pragma once

#include <QObject>
#include <QPointer>

#include "procedures/snapshot_workflow.h"

class QAction;
class QMenu;
class QWidget;

namespace tandrin {

// The File menu's "Save Device Configuration…" and "Restore Device
// Configuration…", put before its first entry, and what they run.
class SnapshotMenu : public QObject {
    Q_OBJECT

  public:
    SnapshotMenu(QMenu* file, ShellServices& shell, QWidget* window);

    void Retranslate();
    QAction* SaveAction() const { return m_save; }
    QAction* RestoreAction() const { return m_restore; }

  private:
    QPointer<QWidget> m_window;
    SnapshotWorkflow m_workflow;
    QAction* m_save;
    QAction* m_restore;
};

}  // namespace tandrin
