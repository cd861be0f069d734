#pragma once

#include "pages/calibration_page.h"
#include "pages/qt/page_widget.h"

namespace tandrin {

// The range calibration page on Qt widgets (layout 136): two buttons.
class CalibrationWidget : public PageWidget, public CalibrationPage {
  public:
    explicit CalibrationWidget(QWidget* parent = nullptr);

    void Show(bool visible) override { setVisible(visible); }
};

}  // namespace tandrin
