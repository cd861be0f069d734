#pragma once

#include "pages/info_page.h"
#include "pages/qt/page_widget.h"

namespace tandrin {

// The device information page on Qt widgets (layout 135). Its short-address
// box is the one the main window's search fills.
//
// The date picker covers the years a transmitter can hold, 1900 to 2155. A
// date the transmitter holds that is no calendar day (month 0 of a
// transmitter never dated, 31 February) is shown as its digits, such as
// "1900-00-00", and Update writes it back unchanged unless the user picks
// another date.
class InfoWidget : public PageWidget, public InfoPage {
  public:
    explicit InfoWidget(QWidget* parent = nullptr);

    void Show(bool visible) override { setVisible(visible); }
};

}  // namespace tandrin
