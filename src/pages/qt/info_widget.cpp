#include "pages/qt/info_widget.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pages/info_page_ids.h"

namespace tandrin {

using namespace info_ids;
using layout::DuRect;

namespace {

// The day before the first a transmitter can hold: the picker's slot for a
// date it cannot show.
const QDate kNoCalendarDay(1899, 12, 31);
const QDate kLastDeviceDay(2155, 12, 31);

QDateEdit* DatePicker(QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    picker->setDateRange(kNoCalendarDay, kLastDeviceDay);
    return picker;
}

}  // namespace

InfoWidget::InfoWidget(QWidget* parent) : PageWidget(parent, kControls), InfoPage(Controls()) {
    Place(kInfoGroup, new QGroupBox(QStringLiteral("Information"), this), DuRect(10, 6, 330, 112));
    Place(kAddressGroup, new QGroupBox(QStringLiteral("Short Address"), this),
          DuRect(10, 124, 160, 92));
    Place(kFinalGroup, new QGroupBox(QStringLiteral("Long Address"), this),
          DuRect(180, 124, 160, 92));

    const auto label = [this](int id, const char* caption, int x, int y) {
        Place(id, new QLabel(QString::fromLatin1(caption), this), DuRect(x, y, 64, 10));
    };
    const auto edit = [this](int id, int x, int y, int w, int maxLength) {
        auto* line = Place(id, new QLineEdit(this), DuRect(x, y, w, 14));
        line->setMaxLength(maxLength);
        return line;
    };
    const auto button = [this](int id, const char* caption, int x, int y) {
        auto* push =
            Place(id, new QPushButton(QString::fromLatin1(caption), this), DuRect(x, y, 64, 16));
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, [this, id] { OnClicked(id); });
    };

    label(kDateLabel, "Date", 22, 22);
    Place(kDate, DatePicker(this), DuRect(90, 20, 90, 14));
    label(kTagLabel, "Tag", 22, 40);
    edit(kTag, 90, 38, 90, 8);
    label(kDescriptorLabel, "Descriptor", 22, 58);
    edit(kDescriptor, 90, 56, 150, 16);
    label(kMessageLabel, "Message", 22, 76);
    edit(kMessage, 90, 74, 240, 32);
    button(kReadInfo, "Read", 90, 96);
    button(kUpdateInfo, "Update", 162, 96);

    label(kAddressLabel, "Short Address", 20, 142);
    auto* box = Place(kAddressBox, new QComboBox(this), DuRect(88, 140, 72, 14));
    box->setEditable(true);
    // Enter in the field must not add what was typed to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    connect(box, &QComboBox::editTextChanged, this, [this] { OnAddressBoxChanged(); });
    connect(box, &QComboBox::activated, this, [this] { OnAddressBoxChanged(); });
    label(kNewAddressLabel, "Modify Address", 20, 164);
    edit(kNewAddress, 88, 162, 72, 2);
    button(kUpdateAddress, "Update", 88, 186);

    auto* final = edit(kFinalAssembly, 196, 142, 128, 6);
    final->setAlignment(Qt::AlignCenter);
    button(kReadFinal, "Read", 192, 186);
    button(kUpdateFinal, "Update", 264, 186);

    Init();
}

}  // namespace tandrin
