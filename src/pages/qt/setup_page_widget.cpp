#include "pages/qt/setup_page_widget.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "pages/qt/page_widget.h"
#include "pages/setup_page_layout.h"

namespace tandrin {

namespace {

using namespace setup_ids;
using setup_layout::Kind;

QWidget* MakeControl(const setup_layout::Control& control, QWidget* parent) {
    const QString caption = QString::fromLatin1(control.caption);
    switch (control.kind) {
        case Kind::kLabel:
            return new QLabel(caption, parent);
        case Kind::kGroup:
            return new QGroupBox(caption, parent);
        case Kind::kRadio:
            return new QRadioButton(caption, parent);
        case Kind::kList:
            return new QComboBox(parent);
        case Kind::kEditableList: {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            return box;
        }
        case Kind::kEdit:
            return new QLineEdit(caption, parent);
        case Kind::kButton: {
            auto* button = new QPushButton(caption, parent);
            // Enter in a box must not press Read or Update.
            button->setAutoDefault(false);
            return button;
        }
    }
    return nullptr;
}

}  // namespace

SetupPageWidget::SetupPageWidget(QWidget* parent) : QWidget(parent), SetupPage(m_controls) {
    setFixedSize(layout::Du(setup_layout::kWidth), layout::Du(setup_layout::kHeight));
    CreateControls();
    ConnectChoices();
    // The interface font comes from the main window: a font set here would
    // be the page's own and no longer follow a language change.
    Init();
}

void SetupPageWidget::CreateControls() {
    for (const setup_layout::Control& control : setup_layout::kControls) {
        QWidget* widget = MakeControl(control, this);
        widget->setObjectName(QString::fromLatin1(control.name));
        const layout::PixelRect& r = control.rect;
        widget->setGeometry(r.x, r.y, r.w, r.h);
        if (control.hidden) {
            widget->hide();
        }
        m_controls.Add(control.id, widget);
    }
    // Radio buttons are exclusive within their own group only.
    const auto group = [this](std::initializer_list<int> ids) {
        auto* buttons = new QButtonGroup(this);
        for (const int id : ids) {
            buttons->addButton(static_cast<QRadioButton*>(m_controls.Widget(id)));
        }
    };
    group({kSingleSensor, kDoubleSensor});
    group({kModeBackup, kModeAverage, kModeDifference, kModeIndependent});
    group({kSensor1Pv, kSensor1Current});
    group({kSensor2Pv, kSensor2Current});
}

void SetupPageWidget::ConnectChoices() {
    const auto onClick = [this](int id, auto handler) {
        connect(static_cast<QAbstractButton*>(m_controls.Widget(id)), &QAbstractButton::clicked,
                this, handler);
    };
    const auto onChoice = [this](int id, auto handler) {
        connect(static_cast<QComboBox*>(m_controls.Widget(id)), &QComboBox::activated, this,
                handler);
    };
    onClick(kSingleSensor, [this] { OnSingleSensor(); });
    onClick(kDoubleSensor, [this] { OnDoubleSensor(); });
    for (int mode = 0; mode < 4; ++mode) {
        onClick(kWorkModes[mode], [this, mode] { OnWorkMode(mode); });
    }
    onClick(kSensor1Pv, [this] { OnOffsetRadio(1, true); });
    onClick(kSensor1Current, [this] { OnOffsetRadio(1, false); });
    onClick(kSensor2Pv, [this] { OnOffsetRadio(2, true); });
    onClick(kSensor2Current, [this] { OnOffsetRadio(2, false); });
    onClick(kRead, [this] { Read(); });
    onClick(kUpdate, [this] { Update(); });
    onChoice(kSensor1Type, [this] { OnSensor1Type(); });
    onChoice(kSensor2Type, [this] { OnSensor2Type(); });
    onChoice(kOutputSensor, [this] { OnOutputSensor(); });
    auto* unit = static_cast<QComboBox*>(m_controls.Widget(kUnit));
    onChoice(kUnit, [this] { OnUnitChosen(); });
    connect(unit->lineEdit(), &QLineEdit::textEdited, this, [this] { OnUnitTyped(); });
    for (const int id : {kZero, kSpan, kSensor1Offset, kSensor2Offset, kDamping}) {
        connect(static_cast<QLineEdit*>(m_controls.Widget(id)), &QLineEdit::textEdited, this,
                [this, id] { OnValueTyped(id); });
    }
}

}  // namespace tandrin

namespace tandrin {

void SetupPageWidget::keyPressEvent(QKeyEvent* event) {
    if (TakesDialogKey(*this, *event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tandrin
