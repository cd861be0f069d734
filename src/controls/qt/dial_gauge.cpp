#include "controls/qt/dial_gauge.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include "controls/qt/control_painting.h"
#include "controls/qt/qt_colour.h"

namespace tandrin {

namespace {

QRect CircleBox(const DialGeometry& g, int radius) {
    return QRect(g.cx - radius, g.cy - radius, 2 * radius, 2 * radius);
}

void PaintArc(QPainter& painter, const DialGeometry& g, const DialArc& arc) {
    QPen pen(ToQColor(arc.colour), arc.penWidth);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(CircleBox(g, arc.radius), static_cast<int>(arc.startDeg * 16),
                    static_cast<int>(arc.spanDeg * 16));
}

void PaintBackground(QPainter& painter, const DialGeometry& g, const DialBackground& plan,
                     const QSize& size) {
    painter.fillRect(QRect(QPoint(0, 0), size), ToQColor(plan.face));
    for (const DialArc& arc : plan.rim) {
        PaintArc(painter, g, arc);
    }
    for (const DialZone& zone : plan.zones) {
        painter.setPen(ToQColor(zone.colour));
        painter.setBrush(ToQColor(zone.colour));
        painter.drawPolygon(ToQPolygon(zone.outline));
    }
    PaintArc(painter, g, plan.innerArc);
    for (const Line& tick : plan.ticks) {
        painter.setPen(ToQColor(tick.colour));
        painter.drawLine(ToQPoint(tick.from), ToQPoint(tick.to));
    }
    for (const TextItem& number : plan.numbers) {
        DrawTextItem(painter, number);
    }
}

void PaintNeedle(QPainter& painter, const DialGeometry& g, const DialNeedle& needle,
                 const QPolygon& clip) {
    painter.save();
    painter.setClipRegion(QRegion(clip));
    painter.setPen(ToQColor(needle.colour));
    painter.setBrush(ToQColor(needle.colour));
    painter.drawPolygon(ToQPolygon(needle.polygon));
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ToQColor(needle.shadow), 2));
    painter.drawPolyline(ToQPolygon(needle.shadowEdge));
    painter.setPen(QPen(ToQColor(needle.light), 1));
    painter.drawPolyline(ToQPolygon(needle.lightEdge));
    for (const auto& [radius, grey] : needle.hub) {
        painter.setPen(ToQColor(grey));
        painter.drawEllipse(CircleBox(g, radius));
    }
}

// Centred and top-aligned texts on an opaque box of the face colour.
void PaintTexts(QPainter& painter, const DialNeedle& needle) {
    for (const TextItem& text : needle.texts) {
        const QFontMetrics metrics(ControlFont(text.font));
        const TextSize size = MeasureControlText(text.text, text.font);
        painter.fillRect(QRect(text.at.x - size.width / 2, text.at.y, size.width, metrics.height()),
                         ToQColor(needle.textBackground));
        DrawTextItem(painter, text);
    }
}

}  // namespace

DialGauge::DialGauge(QWidget* parent)
    : QWidget(parent), DialGaugeModel(SystemColoursOf(palette())) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DialGauge::BuildBackground() {
    const DialGeometry g = DialGeometry::For(0, 0, width(), height());
    m_background = QPixmap(size());
    const DialBackground plan = Background(width(), height());
    m_clip = ToQPolygon(plan.needleClip);
    QPainter painter(&m_background);
    PaintBackground(painter, g, plan, size());
    BackgroundBuilt();
    ++m_nBuilds;
}

void DialGauge::paintEvent(QPaintEvent* /*event*/) {
    if (NeedsBackground() || m_background.size() != size()) {
        BuildBackground();
    }
    const DialGeometry g = DialGeometry::For(0, 0, width(), height());
    m_frame = m_background;
    {
        QPainter painter(&m_frame);
        const DialNeedle needle = Needle(width(), height());
        PaintNeedle(painter, g, needle, m_clip);
        PaintTexts(painter, needle);
    }
    QPainter(this).drawPixmap(0, 0, m_frame);
}

void DialGauge::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnResize();
}

void DialGauge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        SetSystemColours(SystemColoursOf(palette()));
    }
    QWidget::changeEvent(event);
}

}  // namespace tandrin
