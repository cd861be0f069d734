#include "shell/qt/qt_menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "controls/qt/qt_text.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

namespace {

using namespace main_ids;

int IdOf(const QAction* action) {
    return action != nullptr && !action->isSeparator() && action->menu() == nullptr
               ? action->data().toInt()
               : 0;
}

QAction* FindCommand(const QMenu* menu, int id) {
    for (QAction* action : menu->actions()) {
        if (IdOf(action) == id) {
            return action;
        }
        if (action->menu() != nullptr) {
            if (QAction* inner = FindCommand(action->menu(), id)) {
                return inner;
            }
        }
    }
    return nullptr;
}

int RenameAll(const QMenu* menu, int id, const QString& text) {
    int renamed = 0;
    for (QAction* action : menu->actions()) {
        if (IdOf(action) == id) {
            action->setText(text);
            ++renamed;
        } else if (action->menu() != nullptr) {
            renamed += RenameAll(action->menu(), id, text);
        }
    }
    return renamed;
}

}  // namespace

QtMenuBar::QtMenuBar(QMenuBar* bar, CommandHandler onCommand)
    : m_bar(bar), m_onCommand(std::move(onCommand)) {
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    MakeCommand(file, kFileExit, QStringLiteral("Exit"), "IDM_FILE_EXIT");

    QMenu* process = bar->addMenu(QStringLiteral("Process"));
    MakeCommand(process, kOnLine, QStringLiteral("OnLine"), "IDT_ONLINE");
    MakeCommand(process, kSearch, QStringLiteral("Search"), "IDT_SEARCH");
    MakeCommand(process, kReset, QStringLiteral("Reset"), "IDT_RESET");
    MakeCommand(process, kStop, QStringLiteral("Stop"), "IDT_STOP");
    // Loop check
    process->addSeparator();
    MakeCommand(process, kLoopCheck, QStringLiteral("Loop Check\u2026"), "IDM_LOOP_CHECK");
    MakeCommand(process, kDeviceStatus, QStringLiteral("Device Status\u2026"), "IDM_DEVICE_STATUS");

    QMenu* environment = bar->addMenu(QStringLiteral("Envirmont"));
    QMenu* ports = environment->addMenu(QStringLiteral("Serial Port"));
    ports->setObjectName(QStringLiteral("IDS_MENU_PORT"));
    for (int i = 0; i < 10; ++i) {
        MakeCommand(ports, kPortFirst + i, QString::number(i + 1), nullptr);
    }
    ports->addSeparator();
    MakeCommand(ports, kPortHartIp, QStringLiteral("HART-IP Server..."), "IDM_PORT_HART_IP");
    environment->addSeparator();
    QMenu* languages = environment->addMenu(QStringLiteral("Language"));
    languages->setObjectName(QStringLiteral("IDS_MENU_LANG"));
    for (int i = 0; i < 10; ++i) {
        MakeCommand(languages, kLanguageFirst + i, QString::number(i + 1), nullptr);
    }

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    MakeCommand(help, kHelpAbout, QStringLiteral("About"), "IDM_HELP_ABOUT");
    MakeCommand(help, kHelpTraceFolder, QStringLiteral("Trace Folder"), "IDM_HELP_TRACE");

    file->setObjectName(QStringLiteral("IDS_MENU_FILE"));
    process->setObjectName(QStringLiteral("IDS_MENU_Process"));
    environment->setObjectName(QStringLiteral("IDS_MENU_ENV"));
    help->setObjectName(QStringLiteral("IDS_MENU_HELP"));
    m_popups = {file, process, environment, help};
}

QAction* QtMenuBar::MakeCommand(QMenu* menu, int id, const QString& text, const char* name) {
    auto* action = new QAction(text, menu);
    action->setData(id);
    if (name != nullptr) {
        action->setObjectName(QString::fromLatin1(name));
    }
    QObject::connect(action, &QAction::triggered, action, [this, id] {
        if (m_onCommand) {
            m_onCommand(id);
        }
    });
    menu->addAction(action);
    return action;
}

QMenu* QtMenuBar::Popup(int top) const {
    return top >= 0 && top < static_cast<int>(m_popups.size())
               ? m_popups[static_cast<std::size_t>(top)].data()
               : nullptr;
}

QMenu* QtMenuBar::Submenu(int top, int sub) const {
    QMenu* popup = Popup(top);
    if (popup == nullptr) {
        return nullptr;
    }
    const QList<QAction*> actions = popup->actions();
    return sub >= 0 && sub < actions.size() ? actions[sub]->menu() : nullptr;
}

QAction* QtMenuBar::Command(int id) const {
    for (const QPointer<QMenu>& popup : m_popups) {
        if (popup != nullptr) {
            if (QAction* action = FindCommand(popup, id)) {
                return action;
            }
        }
    }
    return nullptr;
}

QAction* QtMenuBar::SubItem(int top, int sub, int position) const {
    QMenu* menu = Submenu(top, sub);
    if (menu == nullptr) {
        return nullptr;
    }
    const QList<QAction*> actions = menu->actions();
    return position >= 0 && position < actions.size() ? actions[position] : nullptr;
}

std::string QtMenuBar::TopCaption(int top) const {
    QMenu* popup = Popup(top);
    return popup != nullptr ? FromQt(popup->title()) : std::string();
}

void QtMenuBar::SetTopCaption(int top, const std::string& text) {
    if (QMenu* popup = Popup(top)) {
        popup->setTitle(ToQt(text));
    }
}

bool QtMenuBar::SetCommandCaption(int id, const std::string& text) {
    int renamed = 0;
    const QString caption = ToQt(text);
    for (const QPointer<QMenu>& popup : m_popups) {
        if (popup != nullptr) {
            renamed += RenameAll(popup, id, caption);
        }
    }
    return renamed > 0;
}

void QtMenuBar::SetSubmenuCaption(int top, int position, const std::string& text) {
    QMenu* popup = Popup(top);
    if (popup == nullptr) {
        return;
    }
    const QList<QAction*> actions = popup->actions();
    if (position >= 0 && position < actions.size()) {
        actions[position]->setText(ToQt(text));
    }
}

int QtMenuBar::ItemCount(int top, int sub) const {
    QMenu* menu = Submenu(top, sub);
    return menu != nullptr ? static_cast<int>(menu->actions().size()) : 0;
}

int QtMenuBar::ItemId(int top, int sub, int position) const {
    return IdOf(SubItem(top, sub, position));
}

std::string QtMenuBar::ItemText(int top, int sub, int position) const {
    const QAction* action = SubItem(top, sub, position);
    return action != nullptr ? FromQt(action->text()) : std::string();
}

void QtMenuBar::SetItemChecked(int top, int sub, int position, bool checked) {
    if (QAction* action = SubItem(top, sub, position)) {
        // Only the current entry is checkable: a checkable entry shows an
        // empty box when unchecked.
        action->setCheckable(checked);
        action->setChecked(checked);
    }
}

bool QtMenuBar::ItemChecked(int top, int sub, int position) const {
    const QAction* action = SubItem(top, sub, position);
    return action != nullptr && action->isChecked();
}

void QtMenuBar::RemoveItem(int top, int sub, int position) {
    QMenu* menu = Submenu(top, sub);
    QAction* action = SubItem(top, sub, position);
    if (menu != nullptr && action != nullptr) {
        menu->removeAction(action);
        delete action;
    }
}

void QtMenuBar::InsertItem(int top, int sub, int position, int id, const std::string& text) {
    QMenu* menu = Submenu(top, sub);
    if (menu == nullptr || position < 0 || position > menu->actions().size()) {
        return;
    }
    QAction* action = MakeCommand(menu, id, ToQt(text), nullptr);
    // MakeCommand appended it; move it to its position.
    const QList<QAction*> actions = menu->actions();
    if (position < actions.size() - 1) {
        menu->removeAction(action);
        menu->insertAction(actions[position], action);
    }
}

}  // namespace tandrin
