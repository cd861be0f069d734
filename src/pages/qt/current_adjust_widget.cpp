#include "pages/qt/current_adjust_widget.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "pages/current_adjust_page_ids.h"

namespace tandrin {

using namespace current_ids;
using layout::DuRect;

namespace {

constexpr const char* kPresetCaptions[] = {"3.8 mA",  "4.0 mA",  "8.0 mA", "12.0 mA",
                                           "16.0 mA", "20.0 mA", "20.5 mA"};

}  // namespace

CurrentAdjustWidget::CurrentAdjustWidget(QWidget* parent)
    : PageWidget(parent, kControls), CurrentAdjustPage(Controls()) {
    // Group boxes first, so they lie beneath what they frame.
    Place(kTrimGroup, new QGroupBox(QStringLiteral("D/A Trim"), this), DuRect(10, 8, 330, 88));
    Place(kFixGroup, new QGroupBox(QStringLiteral("Fix Loop Current"), this),
          DuRect(10, 106, 330, 102));

    Place(kFirstLabel, new QLabel(QStringLiteral("1st Current"), this), DuRect(24, 26, 94, 10));
    Place(kFirstReading, new QLineEdit(this), DuRect(120, 24, 70, 14));
    Place(kSecondLabel, new QLabel(QStringLiteral("2st Current"), this), DuRect(24, 48, 94, 10));
    Place(kSecondReading, new QLineEdit(this), DuRect(120, 46, 70, 14));
    const auto button = [this](int id, const char* caption, const layout::PixelRect& where) {
        auto* push = Place(id, new QPushButton(QString::fromLatin1(caption), this), where);
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, [this, id] { OnClicked(id); });
    };
    button(kTest1, "Test", DuRect(200, 23, 72, 16));
    button(kTest2, "Test", DuRect(200, 45, 72, 16));
    button(kUpdate, "Update", DuRect(120, 70, 70, 16));

    for (int i = 0; i <= kOther - kPresetFirst; ++i) {
        const int id = kPresetFirst + i;
        const bool other = id == kOther;
        const int x = other ? 24 : 24 + (i % 4) * 78;
        const int y = other ? 166 : 124 + (i / 4) * 20;
        const char* caption = other ? "Other Current" : kPresetCaptions[i];
        auto* radio = Place(id, new QRadioButton(QString::fromLatin1(caption), this),
                            DuRect(x, y, other ? 84 : 70, 12));
        connect(radio, &QRadioButton::clicked, this, [this, id] { OnClicked(id); });
    }
    auto* typed = Place(kOtherEdit, new QLineEdit(this), DuRect(112, 165, 60, 14));
    connect(typed, &QLineEdit::textChanged, this, [this] { OnOtherCurrentChanged(); });
    PlaceStatic("mA", DuRect(176, 167, 16, 10));
    button(kSend, "Send", DuRect(24, 186, 80, 16));
    button(kExit, "Exit Fix Current", DuRect(112, 186, 110, 16));

    Init();
}

}  // namespace tandrin
