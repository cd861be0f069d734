#pragma once

#include <QKeyEvent>
#include <QWidget>

#include "pages/setup_page.h"
#include "shell/qt/qt_form.h"

namespace tandrin {

namespace detail {
// Constructed before the page logic that keeps a reference to it.
struct SetupPageControls {
    QtForm m_controls;
};
}  // namespace detail

// The setup page on real widgets, built to layout 131. The widget is the
// page: its logic is SetupPage, over a QtForm of these widgets, each named
// with its resource name. Qt's signals of the user's choices become the
// logic's On... calls; the logic's own changes to the controls never come
// back as signals.
class SetupPageWidget : public QWidget, private detail::SetupPageControls, public SetupPage {
    Q_OBJECT

  public:
    explicit SetupPageWidget(QWidget* parent = nullptr);

    QtForm& Controls() { return m_controls; }
    void Show(bool visible) override { setVisible(visible); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateControls();
    void ConnectChoices();
};

}  // namespace tandrin
