#pragma once

#include <QDialog>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shell/main_dialog.h"
#include "shell/qt/qt_form.h"
#include "shell/qt/qt_menu_bar.h"
#include "shell/qt/qt_shell_services.h"
#include "shell/qt/user_prompts.h"

class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QProgressBar;
class QStatusBar;
class QToolBar;

namespace tandrin {

class ColorStatic;
class ImageButton;
class PlaceholderPage;
class SnapshotMenu;

struct MainWindowOptions {
    // Probed before the serial devices (the demo simulator's pty).
    std::vector<std::string> extraPorts;
    // Made the current port after the scan, without being stored.
    std::string preferredPort;
    // Made the current language, without being stored; empty: the stored one.
    std::string language;
    // Who answers message boxes and dialogs; nullptr: real Qt dialogs.
    UserPrompts* prompts = nullptr;
};

// The main window: the one top-level window, a fixed-size dialog holding the
// menu bar, the toolbar band, the page buttons and pages, the progress bar
// and the status bar. Its logic is the core's MainDialog; this class builds
// the widgets, hands them to that logic as a Form, a MenuBar and the shell
// services, and turns Qt's signals into its commands.
class MainWindow : public QDialog {
    Q_OBJECT

  public:
    explicit MainWindow(const MainWindowOptions& options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainDialog& Logic() { return m_dialog; }
    QtForm& Controls() { return m_form; }
    QtMenuBar& Menu() { return m_menu; }
    QtShellServices& Shell() { return m_shell; }

    // By page index (0 setup, 1 information, 2 calibration, 3 monitor, 4
    // current adjustment).
    ImageButton* PageButton(int index) const;
    // The page widget of a page index (a QWidget that is also a DevicePage).
    QWidget* Page(int index) const;
    QAction* ToolAction(int command) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QComboBox* PeriodBox() const { return m_periodBox; }
    QLabel* StatusPane(int pane) const;
    QProgressBar* Progress() const { return m_progress; }
    QWidget* Client() const { return m_client; }
    // The File menu's configuration snapshot entries.
    SnapshotMenu* Snapshots() const { return m_snapshots; }

    // What a menu, toolbar or page-button command does.
    void RunCommand(int id);
    // The text the toolbar shows over tool `id`; empty: no tooltip.
    QString ToolTipFor(int id) const;
    // Font and texts of the current language, on the window and every page.
    void Retranslate();
    // Ends the modal run unless a page wants to keep what it holds; offers
    // to release a loop current left forced.
    void done(int result) override;

  signals:
    // The client area has been painted for the first time.
    void firstPainted();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateToolbar();
    void CreateControls();
    void CreatePages();
    // One page's widget and its logic; a placeholder for a page not built.
    std::pair<QWidget*, DevicePage*> CreatePage(int index);
    void CreateStatusBar();
    void SetUpReadouts();
    void ShowAbout();
    // Window-modal, so the main window's commands wait until it closes.
    void ShowLoopCheck();

    DialogPrompts m_dialogPrompts;
    QtShellServices m_shell;
    QtForm m_form;
    QMenuBar* m_menuBar;
    QtMenuBar m_menu;
    QWidget* m_client = nullptr;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_periodBox = nullptr;
    std::map<int, QAction*> m_toolActions;
    std::array<ImageButton*, MainDialog::kPageCount> m_pageButtons{};
    std::array<QWidget*, MainDialog::kPageCount> m_pages{};
    QProgressBar* m_progress = nullptr;
    QStatusBar* m_statusBar = nullptr;
    std::array<QLabel*, 2> m_panes{};
    MainDialog m_dialog;
    SnapshotMenu* m_snapshots = nullptr;
};

}  // namespace tandrin
