#pragma once

#include <QWidget>
#include <span>

#include "pages/page_control.h"
#include "shell/main_window_layout.h"
#include "shell/qt/qt_form.h"

class QKeyEvent;

namespace tandrin {

// True when `event` is Enter or Escape while the user types in an edit of
// `page`: in a dialog those keys would end the main window, so the page
// takes them.
bool TakesDialogKey(const QWidget& page, const QKeyEvent& event);

// What every device page's widget shares: its controls as a QtForm, placed
// in dialog units, named by their resource names; and Enter and Escape made
// harmless while the user types in one of its edits (in a dialog they would
// end the main window).
class PageWidget : public QWidget {
  public:
    PageWidget(QWidget* parent, std::span<const PageControl> controls);

    QtForm& Controls() { return m_form; }

    // Registers `widget` under `id` (objectName from the layout's table)
    // at `where`, in dialog units.
    template <class W>
    W* Place(int id, W* widget, const layout::PixelRect& where) {
        Register(id, widget, where);
        return widget;
    }
    // A caption without an identifier ("mA" beside an edit).
    void PlaceStatic(const char* text, const layout::PixelRect& where);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Register(int id, QWidget* widget, const layout::PixelRect& where);

    std::span<const PageControl> m_controls;
    QtForm m_form;
};

}  // namespace tandrin
