#include "pages/qt/calibration_widget.h"

#include <QPushButton>

#include "pages/calibration_page_ids.h"

namespace tandrin {

using namespace calibration_ids;
using layout::DuRect;

CalibrationWidget::CalibrationWidget(QWidget* parent)
    : PageWidget(parent, kControls), CalibrationPage(Controls()) {
    const auto button = [this](int id, const char* caption, int y) {
        auto* push =
            Place(id, new QPushButton(QString::fromLatin1(caption), this), DuRect(20, y, 150, 24));
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, [this, id] { OnClicked(id); });
    };
    button(kSetLower, "Calibration to 4mA", 20);
    button(kSetUpper, "Calibration to 20mA", 56);
}

}  // namespace tandrin
