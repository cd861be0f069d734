#include "shell/qt/qt_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolBar>

#include "controls/qt/color_static.h"
#include "controls/qt/image_button.h"
#include "controls/qt/qt_text.h"

namespace tandrin {

namespace {

// A widget in a toolbar (or in a holder there) shows and hides through the
// toolbar's action for it; the toolbar then closes the gap.
QAction* ToolbarAction(QWidget* widget) {
    for (QWidget* item = widget; item != nullptr && !item->isWindow();
         item = item->parentWidget()) {
        if (auto* bar = qobject_cast<QToolBar*>(item->parentWidget())) {
            for (QAction* action : bar->actions()) {
                if (bar->widgetForAction(action) == item) {
                    return action;
                }
            }
            return nullptr;
        }
    }
    return nullptr;
}

// A date picker exchanges "YYYY-MM-DD". Its minimum date is kept for what
// it cannot show (no such day, or outside its range): that text is shown
// there as the special value, and read back unchanged.
QString DateShown(const QDateTimeEdit* picker) {
    if (picker->date() == picker->minimumDate() && !picker->specialValueText().isEmpty()) {
        return picker->specialValueText();
    }
    return picker->date().toString(Qt::ISODate);
}

void SetDate(QDateTimeEdit* picker, const QString& text) {
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid() && date > picker->minimumDate() && date <= picker->maximumDate()) {
        picker->setSpecialValueText(QString());
        picker->setDate(date);
    } else {
        picker->setSpecialValueText(text);
        picker->setDate(picker->minimumDate());
    }
}

}  // namespace

void QtForm::Add(int id, QWidget* widget) {
    m_controls[id] = widget;
}

void QtForm::Add(int id, QAction* action) {
    m_controls[id] = action;
}

QObject* QtForm::Object(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second.data();
}

QWidget* QtForm::Widget(int id) const {
    return qobject_cast<QWidget*>(Object(id));
}

QString QtForm::Shown(QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        return action->text();
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        return label->text();
    }
    if (auto* colour = qobject_cast<ColorStatic*>(object)) {
        return colour->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        return button->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(object)) {
        return group->title();
    }
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return combo->currentText();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(object)) {
        return edit->text();
    }
    if (auto* date = qobject_cast<QDateTimeEdit*>(object)) {
        return DateShown(date);
    }
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        return widget->windowTitle();
    }
    return {};
}

std::string QtForm::Text(int id) const {
    QObject* object = Object(id);
    if (object == nullptr) {
        return {};
    }
    const QString shown = Shown(object);
    const auto written = m_written.find(id);
    if (written != m_written.end() && written->second.shown == shown) {
        return written->second.bytes;
    }
    return FromQt(shown);
}

void QtForm::SetText(int id, const std::string& text) {
    QObject* object = Object(id);
    if (object == nullptr) {
        return;
    }
    const QSignalBlocker quiet(object);
    const QString value = ToQt(text);
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(value);
    } else if (auto* colour = qobject_cast<ColorStatic*>(object)) {
        colour->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
        group->setTitle(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(object)) {
        if (combo->isEditable()) {
            combo->setEditText(value);
        } else {
            // A drop-down list shows only its entries: pick the one named.
            combo->setCurrentIndex(combo->findText(value, Qt::MatchExactly));
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(object)) {
        edit->setText(value);
    } else if (auto* date = qobject_cast<QDateTimeEdit*>(object)) {
        SetDate(date, value);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setWindowTitle(value);
    }
    if (Shown(object) == value) {
        m_written[id] = Written{value, text};
    } else {
        m_written.erase(id);  // a drop-down list without that entry shows nothing
    }
}

bool QtForm::Enabled(int id) const {
    QObject* object = Object(id);
    if (auto* action = qobject_cast<QAction*>(object)) {
        return action->isEnabled();
    }
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        return !widget->testAttribute(Qt::WA_Disabled);
    }
    return false;
}

void QtForm::SetEnabled(int id, bool enabled) {
    QObject* object = Object(id);
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setEnabled(enabled);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setEnabled(enabled);
    }
}

bool QtForm::Visible(int id) const {
    QObject* object = Object(id);
    if (auto* action = qobject_cast<QAction*>(object)) {
        return action->isVisible();
    }
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (QAction* action = ToolbarAction(widget)) {
            return action->isVisible();
        }
        return !widget->isHidden();
    }
    return false;
}

void QtForm::SetVisible(int id, bool visible) {
    QObject* object = Object(id);
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setVisible(visible);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (QAction* action = ToolbarAction(widget)) {
            action->setVisible(visible);
        } else {
            widget->setVisible(visible);
        }
    }
}

bool QtForm::Checked(int id) const {
    QObject* object = Object(id);
    if (auto* action = qobject_cast<QAction*>(object)) {
        return action->isChecked();
    }
    if (auto* image = qobject_cast<ImageButton*>(object)) {
        return image->Check() != 0;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        return button->isChecked();
    }
    return false;
}

void QtForm::SetChecked(int id, bool checked) {
    QObject* object = Object(id);
    if (object == nullptr) {
        return;
    }
    const QSignalBlocker quiet(object);
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setCheckable(true);
        action->setChecked(checked);
    } else if (auto* image = qobject_cast<ImageButton*>(object)) {
        image->SetCheck(checked ? 1 : 0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setChecked(checked);
    }
}

void QtForm::ClearEntries(int id) {
    QObject* object = Object(id);
    const QSignalBlocker quiet(object);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        // Emptying the list leaves the edit field as it was.
        const QString text = combo->currentText();
        combo->clear();
        if (combo->isEditable()) {
            combo->setEditText(text);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(object)) {
        list->clear();
    }
}

void QtForm::AddEntry(int id, const std::string& text) {
    QObject* object = Object(id);
    const QSignalBlocker quiet(object);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        // Qt selects the first entry added to an empty box; a dialog box does
        // not, and the search relies on the edit field staying as it is.
        const int selection = combo->currentIndex();
        const QString edit = combo->currentText();
        combo->addItem(ToQt(text));
        if (combo->currentIndex() != selection) {
            combo->setCurrentIndex(selection);
            if (combo->isEditable()) {
                combo->setEditText(edit);
            }
        }
    } else if (auto* list = qobject_cast<QListWidget*>(object)) {
        list->addItem(ToQt(text));
    }
}

int QtForm::EntryCount(int id) const {
    QObject* object = Object(id);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return combo->count();
    }
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        return list->count();
    }
    return 0;
}

std::string QtForm::Entry(int id, int index) const {
    QObject* object = Object(id);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return index >= 0 && index < combo->count() ? FromQt(combo->itemText(index)) : "";
    }
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        return index >= 0 && index < list->count() ? FromQt(list->item(index)->text()) : "";
    }
    return {};
}

int QtForm::Selection(int id) const {
    QObject* object = Object(id);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return combo->currentIndex();
    }
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        return list->currentRow();
    }
    return -1;
}

void QtForm::SetSelection(int id, int index) {
    QObject* object = Object(id);
    const QSignalBlocker quiet(object);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(object)) {
        list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
    }
}

void QtForm::SetFocus(int id) {
    if (QWidget* widget = Widget(id)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace tandrin
