#include "controls/qt/image_button.h"

#include <QBitmap>
#include <QDesktopServices>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QUrl>

#include "controls/qt/qt_colour.h"

namespace tandrin {

namespace {

using Border = ImageButtonModel::Border;

QRect ToQRect(const ImageButtonModel::Rect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}
ImageButtonModel::Rect ToRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

// A 3-D rectangle: `topLeft` on the top and left lines, `bottomRight` on the
// bottom and right ones.
void Draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft,
                const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

QPixmap Masked(const QPixmap& image, const QBitmap& mask) {
    QPixmap masked = image;
    if (!mask.isNull()) {
        masked.setMask(mask);
    }
    return masked;
}

}  // namespace

ImageButton::ImageButton(QWidget* parent) : ImageButton(QString(), parent) {}

ImageButton::ImageButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), ImageButtonModel(SystemColoursOf(palette())) {
    // Clicking gives the button the focus, as the drawn focus colours expect.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    connect(this, &QAbstractButton::clicked, this, &ImageButton::OnClicked);
}

void ImageButton::Attach(bool checkBox, bool defaultButton) {
    AttachStyle(checkBox, defaultButton);
    setDefault(defaultButton);
    update();
}

void ImageButton::SetIcons(const QIcon& idle, const QIcon& pressed, QSize size) {
    m_idleIcon = idle;
    m_pressedIcon = pressed;
    m_imageSize = idle.isNull() ? QSize() : size;
    update();
}

void ImageButton::SetBitmaps(const QPixmap& idle, const QBitmap& idleMask, const QPixmap& pressed,
                             const QBitmap& pressedMask) {
    const QPixmap idleImage = Masked(idle, idleMask);
    SetIcons(QIcon(idleImage), pressed.isNull() ? QIcon() : QIcon(Masked(pressed, pressedMask)),
             idleImage.size());
}

void ImageButton::SetMenu(QMenu* menu) {
    m_menu = menu;
    SetHasMenu(menu != nullptr);
}

void ImageButton::OnClicked() {
    switch (OnClick()) {
        case ClickAction::kDropMenu:
            if (m_menu != nullptr) {
                m_bMenuOpen = true;
                update();
                m_menu->exec(mapToGlobal(rect().bottomLeft()));
                m_bMenuOpen = false;
                update();
            }
            break;
        case ClickAction::kOpenLink:
            QDesktopServices::openUrl(QUrl(QString::fromStdString(LinkText())));
            break;
        case ClickAction::kToggled:
        case ClickAction::kNone:
            break;
    }
}

void ImageButton::paintEvent(QPaintEvent* /*event*/) {
    ++m_nPaints;
    DrawState state;
    state.selected = isDown();
    state.focused = hasFocus();
    state.disabled = !isEnabled();
    state.menuOpen = m_bMenuOpen;
    const FramePlan plan = Plan(state);
    const SystemColours& system = System();

    QPainter painter(this);
    QRect area = rect();
    // A Qt widget that paints no background shows its parent's through,
    // which is all the transparent look asks for.
    if (!Transparent()) {
        if (plan.blackFrame) {
            painter.setPen(Qt::black);
            painter.drawRect(area.adjusted(0, 0, -1, -1));
            area.adjust(1, 1, -1, -1);
        }
        painter.fillRect(area, ToQColor(plan.background));
    }

    switch (plan.border) {
        case Border::kClassicPressed:
            painter.setPen(ToQColor(system.shadow));
            painter.drawRect(area.adjusted(0, 0, -1, -1));
            break;
        case Border::kFlatSunken:
            Draw3dRect(painter, area, ToQColor(system.shadow), ToQColor(system.highlight));
            break;
        case Border::kClassicRaised:
            Draw3dRect(painter, area, ToQColor(system.highlight), ToQColor(system.darkShadow));
            Draw3dRect(painter, area.adjusted(1, 1, -1, -1), ToQColor(system.light),
                       ToQColor(system.shadow));
            break;
        case Border::kFlatRaised:
            Draw3dRect(painter, area, ToQColor(system.highlight), ToQColor(system.shadow));
            break;
        case Border::kNone:
            break;
    }

    const int imageW = m_imageSize.isValid() ? m_imageSize.width() : 0;
    const int imageH = m_imageSize.isValid() ? m_imageSize.height() : 0;
    if (imageW > 0) {
        const QIcon& icon = plan.pressed && !m_pressedIcon.isNull() ? m_pressedIcon : m_idleIcon;
        const QRect target = ToQRect(ImageRect(ToRect(area), imageW, imageH, plan.pressed));
        icon.paint(&painter, target, Qt::AlignCenter,
                   plan.greyImage ? QIcon::Disabled : QIcon::Normal);
    }

    if (!text().isEmpty()) {
        const QRect caption = ToQRect(CaptionRect(ToRect(area), imageW, imageH));
        painter.setFont(font());
        if (plan.embossed) {
            const int flags = Qt::AlignCenter | Qt::TextWordWrap;
            painter.setPen(ToQColor(system.highlight));
            painter.drawText(caption.translated(1, 1), flags, text());
            painter.setPen(ToQColor(system.shadow));
            painter.drawText(caption, flags, text());
        } else {
            const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
            painter.setPen(ToQColor(plan.text));
            painter.drawText(caption.adjusted(kCaptionIndent, 0, 0, 0)
                                 .translated(plan.captionDx, plan.captionDy),
                             flags, text());
        }
    }

    if (plan.focusRect) {
        QPen pen(ToQColor(system.text), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            area.adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
    }
}

void ImageButton::leaveEvent(QEvent* event) {
    OnMouseLeave();
    QPushButton::leaveEvent(event);
}

void ImageButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange) {
        OnSystemColoursChanged(SystemColoursOf(palette()));
    }
    QPushButton::changeEvent(event);
}

}  // namespace tandrin
