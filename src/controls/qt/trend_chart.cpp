#include "controls/qt/trend_chart.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

#include "controls/qt/control_painting.h"
#include "controls/qt/qt_colour.h"

namespace tandrin {

namespace {

ScrollRequest RequestOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollRequest::kLineBack;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollRequest::kLineForward;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollRequest::kPageBack;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollRequest::kPageForward;
        case QAbstractSlider::SliderMove:
            return ScrollRequest::kThumbTrack;
        default:
            return ScrollRequest::kOther;
    }
}

Point ToPoint(const QPoint& p) {
    return {p.x(), p.y()};
}

QLine ToQLine(const Line& line) {
    return QLine(ToQPoint(line.from), ToQPoint(line.to));
}

void PaintFrame(QPainter& painter, const ChartFrame& frame) {
    if (frame.solidBackground) {
        painter.fillRect(0, 0, frame.width, frame.height, ToQColor(*frame.solidBackground));
    }
    for (int y = 0; y < static_cast<int>(frame.backgroundRows.size()); ++y) {
        painter.setPen(ToQColor(frame.backgroundRows[static_cast<std::size_t>(y)]));
        painter.drawLine(0, y, frame.width, y);
    }
    for (const Line& line : frame.grid) {
        painter.setPen(ToQColor(line.colour));
        painter.drawLine(ToQLine(line));
    }
    painter.setPen(ToQColor(frame.curveColour));
    for (const std::vector<Point>& polyline : frame.curve) {
        painter.drawPolyline(ToQPolygon(polyline));
    }
    for (const TextItem& text : frame.texts) {
        DrawTextItem(painter, text);
    }
    if (frame.cursorDot) {
        painter.setPen(ToQColor(ChartFrame::kCursorPen));
        painter.drawLine(ToQLine(*frame.cursorHorizontal));
        painter.drawLine(ToQLine(*frame.cursorVertical));
        painter.setBrush(ToQColor(ChartFrame::kCursorFill));
        const int r = ChartFrame::kCursorRadius;
        painter.drawEllipse(QRect(ToQPoint(*frame.cursorDot) - QPoint(r, r), QSize(2 * r, 2 * r)));
        painter.setBrush(Qt::NoBrush);
    }
}

}  // namespace

TrendChart::TrendChart(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        const bool horizontal = bar == horizontalScrollBar();
        bar->setTracking(false);
        bar->setPageStep(0);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, bar, horizontal](int action) { OnBarAction(bar, horizontal, action); });
        connect(bar, &QAbstractSlider::sliderReleased, this,
                [this, bar, horizontal] { OnBarReleased(bar, horizontal); });
    }
}

bool TrendChart::CreateInPlace(const QString& placeholder, QWidget* parent) {
    if (parent == nullptr) {
        return false;
    }
    QWidget* old = parent->findChild<QWidget*>(placeholder, Qt::FindDirectChildrenOnly);
    if (old == nullptr) {
        return false;
    }
    const QRect placement = old->geometry();
    delete old;
    setParent(parent);
    setObjectName(placeholder);
    setGeometry(placement);
    show();
    return true;
}

void TrendChart::Invalidate() {
    viewport()->update();
}

void TrendChart::ScrollBarsChanged() {
    m_bSettingBars = true;
    horizontalScrollBar()->setRange(0, HorizontalBar().maximum);
    horizontalScrollBar()->setValue(HorizontalBar().position);
    verticalScrollBar()->setRange(0, VerticalBar().maximum);
    verticalScrollBar()->setValue(VerticalBar().position);
    m_bSettingBars = false;
}

// The bar has moved its slider already; the model decides where it goes.
void TrendChart::OnBarAction(QScrollBar* bar, bool horizontal, int action) {
    if (m_bSettingBars) {
        return;
    }
    const ScrollRequest request = RequestOf(action);
    if (request == ScrollRequest::kThumbTrack && bar->isSliderDown()) {
        return;  // the thumb follows the pointer; the view waits for the release
    }
    horizontal ? HorizontalScroll(request) : VerticalScroll(request);
    const ScrollBarState& state = horizontal ? HorizontalBar() : VerticalBar();
    bar->setSliderPosition(state.position);
}

void TrendChart::OnBarReleased(QScrollBar* bar, bool horizontal) {
    const int thumb = bar->sliderPosition();
    horizontal ? HorizontalScroll(ScrollRequest::kThumbRelease, thumb)
               : VerticalScroll(ScrollRequest::kThumbRelease, thumb);
    ScrollBarsChanged();
}

void TrendChart::scrollContentsBy(int /*dx*/, int /*dy*/) {
    // The model moves the view; nothing scrolls by itself.
}

void TrendChart::RenderFrame() {
    const QSize size = viewport()->size();
    const ChartFrame frame = Paint(size.width(), size.height(), MeasureControlText);
    if (m_frame.size() != size) {
        m_frame = QImage(size, QImage::Format_RGB32);
    }
    QPainter painter(&m_frame);
    PaintFrame(painter, frame);
}

// While a drag runs the chart is not drawn again: the last frame stays,
// with the rubber band inverted over it.
void TrendChart::paintEvent(QPaintEvent* /*event*/) {
    if (!Dragging() || m_frame.isNull()) {
        RenderFrame();
    }
    QPainter painter(viewport());
    painter.drawImage(0, 0, m_frame);
    if (Dragging()) {
        PaintRubberBand(painter);
    }
}

void TrendChart::PaintRubberBand(QPainter& painter) const {
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    const Point a = DragStart();
    const Point b = DragCurrent();
    // Outlined through both corners, whichever way the drag went (a drawn
    // rectangle's outline covers its size plus the pen).
    const QPoint topLeft(std::min(a.x, b.x), std::min(a.y, b.y));
    painter.drawRect(QRect(topLeft, QSize(std::abs(a.x - b.x), std::abs(a.y - b.y))));
}

void TrendChart::SizeChanged() {
    OnSizeChanged(viewport()->width(), viewport()->height());
}

void TrendChart::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SizeChanged();
}

void TrendChart::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    SizeChanged();
}

void TrendChart::hideEvent(QHideEvent* event) {
    QAbstractScrollArea::hideEvent(event);
    m_tip.HideTip();
    SizeChanged();
}

// The pointer stays inside the plot while a drag runs.
QPoint TrendChart::KeptInside(const QPoint& p) const {
    const QRect plot = viewport()->rect();
    return QPoint(std::clamp(p.x(), plot.left(), plot.right()),
                  std::clamp(p.y(), plot.top(), plot.bottom()));
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    OnLButtonDown(ToPoint(event->position().toPoint()));
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    if (!Dragging()) {
        return;
    }
    const QPoint p = event->position().toPoint();
    const QPoint inside = KeptInside(p);
    if (inside != p) {
        QCursor::setPos(viewport()->mapToGlobal(inside));
    }
    OnMouseMove(ToPoint(inside));
    viewport()->update();
}

// A click marks the sample, paints the cursor at once and then shows the
// balloon on it.
void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const std::optional<PointTip> tip =
        OnLButtonUp(ToPoint(KeptInside(event->position().toPoint())));
    if (!tip) {
        return;
    }
    m_tip.HideTip();
    viewport()->repaint();
    m_tip.ShowTip(QString::fromStdString(tip->text),
                  viewport()->mapToGlobal(ToQPoint(tip->anchor)));
}

void TrendChart::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnDoubleClick();
    }
}

}  // namespace tandrin
