#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <functional>
#include <vector>

#include "shell/menu_bar.h"

namespace tandrin {

// The main window's menu bar over a QMenuBar, built with the built-in
// captions: "&File" (Exit), "Process" (OnLine, Search, Reset, Stop),
// "Envirmont" (submenu "Serial Port" with 32787..32796 "1".."10", a
// separator, submenu "Language" with 32797..32806 "1".."10"), "Help"
// (About). Each command action carries its identifier as data and its
// resource name as object name; triggering one calls `onCommand`.
class QtMenuBar : public MenuBar {
  public:
    using CommandHandler = std::function<void(int id)>;

    QtMenuBar(QMenuBar* bar, CommandHandler onCommand);

    QMenuBar* Bar() const { return m_bar; }
    QMenu* Popup(int top) const;
    QMenu* Submenu(int top, int sub) const;
    // The action of command `id`, wherever it is; nullptr when none.
    QAction* Command(int id) const;

    std::string TopCaption(int top) const override;
    void SetTopCaption(int top, const std::string& text) override;
    bool SetCommandCaption(int id, const std::string& text) override;
    void SetSubmenuCaption(int top, int position, const std::string& text) override;
    int ItemCount(int top, int sub) const override;
    int ItemId(int top, int sub, int position) const override;
    std::string ItemText(int top, int sub, int position) const override;
    void SetItemChecked(int top, int sub, int position, bool checked) override;
    bool ItemChecked(int top, int sub, int position) const override;
    void RemoveItem(int top, int sub, int position) override;
    void InsertItem(int top, int sub, int position, int id, const std::string& text) override;

  private:
    QAction* MakeCommand(QMenu* menu, int id, const QString& text, const char* name);
    QAction* SubItem(int top, int sub, int position) const;

    QPointer<QMenuBar> m_bar;
    CommandHandler m_onCommand;
    std::vector<QPointer<QMenu>> m_popups;
};

}  // namespace tandrin
