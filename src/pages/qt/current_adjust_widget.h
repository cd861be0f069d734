#pragma once

#include "pages/current_adjust_page.h"
#include "pages/qt/page_widget.h"

namespace tandrin {

// The current adjustment page on Qt widgets (layout 130).
class CurrentAdjustWidget : public PageWidget, public CurrentAdjustPage {
  public:
    explicit CurrentAdjustWidget(QWidget* parent = nullptr);

    void Show(bool visible) override { setVisible(visible); }
};

}  // namespace tandrin
