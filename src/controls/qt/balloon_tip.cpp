#include "controls/qt/balloon_tip.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include "controls/qt/control_painting.h"

namespace tandrin {

namespace {

QPainterPath ShapeOf(const BalloonLayout& layout) {
    QPainterPath body;
    body.addRoundedRect(QRectF(0, 0, layout.bodyW, layout.bodyH), BalloonLayout::kCornerW / 2.0,
                        BalloonLayout::kCornerH / 2.0);
    QPainterPath triangle;
    triangle.addPolygon(QPolygonF(ToQPolygon(layout.triangle)));
    triangle.closeSubpath();
    return body.united(triangle);
}

}  // namespace

BalloonTip::BalloonTip()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(QApplication::font());
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);  // never hidden early
    m_timer.setInterval(BalloonLayout::kShowMs);
    connect(&m_timer, &QTimer::timeout, this, &BalloonTip::HideTip);
}

void BalloonTip::ShowTip(const QString& text, std::optional<QPoint> anchor) {
    if (isVisible()) {
        return;
    }
    const QPoint at = anchor.value_or(QCursor::pos());
    m_text = text;
    const QRect textRect = QFontMetrics(font()).boundingRect(QRect(), Qt::AlignLeft, text);
    m_layout = BalloonLayout::For({textRect.width(), textRect.height()}, {at.x(), at.y()});
    m_shape = ShapeOf(m_layout);
    setFixedSize(m_layout.windowW, m_layout.windowH);
    setMask(QRegion(m_shape.toFillPolygon().toPolygon()));
    move(m_layout.windowAt.x, m_layout.windowAt.y);
    raise();
    show();
    m_timer.start();
}

void BalloonTip::HideTip() {
    m_timer.stop();
    hide();
}

// The shape filled in the window colour, framed 3 pixels wide in the
// scroll-bar colour and 1 pixel in the text colour, then the text.
void BalloonTip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setClipPath(m_shape);
    painter.fillPath(m_shape, palette().color(QPalette::Base));
    painter.strokePath(m_shape, QPen(palette().color(QPalette::Button), 6));
    painter.strokePath(m_shape, QPen(palette().color(QPalette::WindowText), 2));
    painter.setClipping(false);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(rect().adjusted(m_layout.textAt.x, m_layout.textAt.y, 0, 0),
                     Qt::AlignLeft | Qt::AlignTop, m_text);
}

}  // namespace tandrin
