#pragma once

#include <QPointer>
#include <QString>
#include <map>
#include <string>

#include "shell/form.h"

class QAction;
class QObject;
class QWidget;

namespace tandrin {

// A Form over real widgets and toolbar actions, registered under their
// identifiers. Setters never emit the widgets' change signals: like the
// dialog messages a program sends itself, they are not user input.
//
// Visible and Enabled read the control's own flag, not its parents'.
//
// A text reads back as the bytes it was set with while the control still
// shows it: the code page follows the language, and a text set in one code
// page and read after a switch would otherwise come back in the other one.
// A text the user typed converts in the current code page.
//
// A date picker's text is its date, "YYYY-MM-DD". A text it cannot show as
// a date sits on its minimum date as the special value text and reads back
// as it was set, so a picker should keep its minimum for that.
class QtForm : public Form {
  public:
    QtForm() = default;

    // The object is not owned; one that is destroyed reads as absent.
    void Add(int id, QWidget* widget);
    void Add(int id, QAction* action);
    QObject* Object(int id) const;
    QWidget* Widget(int id) const;

    bool HasControl(int id) const override { return Object(id) != nullptr; }
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    bool Enabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    bool Visible(int id) const override;
    void SetVisible(int id, bool visible) override;
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;
    void ClearEntries(int id) override;
    void AddEntry(int id, const std::string& text) override;
    int EntryCount(int id) const override;
    std::string Entry(int id, int index) const override;
    int Selection(int id) const override;
    void SetSelection(int id, int index) override;
    void SetFocus(int id) override;

  private:
    struct Written {
        QString shown;
        std::string bytes;
    };
    static QString Shown(QObject* object);

    std::map<int, QPointer<QObject>> m_controls;
    std::map<int, Written> m_written;
};

}  // namespace tandrin
