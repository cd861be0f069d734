#include "controls/trend_chart_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tandrin {

namespace {

// Where a scroll request moves a bar's position, before clamping: by a line
// or a page, or to where the thumb was released; tracking moves nothing.
int Scrolled(int position, ScrollRequest request, int thumb, int line, int page) {
    switch (request) {
        case ScrollRequest::kLineBack:
            return position - line;
        case ScrollRequest::kLineForward:
            return position + line;
        case ScrollRequest::kPageBack:
            return position - page;
        case ScrollRequest::kPageForward:
            return position + page;
        case ScrollRequest::kThumbRelease:
            return thumb;
        case ScrollRequest::kThumbTrack:
        case ScrollRequest::kOther:
            break;
    }
    return position;
}

int Clamp(int value, int maximum) {
    return std::clamp(value, 0, std::max(maximum, 0));
}

}  // namespace

int TrendChartModel::SampleCount() const {
    return m_pSamples == nullptr ? 0 : static_cast<int>(m_pSamples->size());
}

// A range with no span would leave the value mapping undefined: it gets a
// span of 2 around its value before the margins.
void TrendChartModel::SetFullRange(double min, double max) {
    if (min == max) {
        min -= 1.0;
        max += 1.0;
    }
    const double margin = (max - min) * 0.25;
    m_FullMin = min - margin;
    m_FullMax = max + margin;
    m_view.m_YMin = m_FullMin;
    m_view.m_YMax = m_FullMax;
}

void TrendChartModel::SetRange(double min, double max, const std::string& name,
                               const std::optional<std::string>& unit,
                               const std::optional<std::string>& title) {
    SetFullRange(min, max);
    m_strName = name;
    if (unit) {
        m_strUnit = *unit;
    }
    if (title) {
        m_strTitle = *title;
    }
}

void TrendChartModel::SetRangeAndUnit(double min, double max, const std::string& unit) {
    SetFullRange(min, max);
    m_strUnit = unit;
}

void TrendChartModel::SetSamples(const SampleList* samples, bool follow) {
    m_Follow = follow;
    m_Cursor = -1;
    m_pSamples = samples;
    BringViewToList();
    UpdateScrollBars();
    Invalidate();
}

void TrendChartModel::SetDetailed(bool on) {
    m_Detailed = on;
    m_Window = on ? kDetailedWindow : kWindow;
}

// A view that starts at or beyond the end of the list (a shorter record
// loaded while scrolled far right) moves back so that it ends at the
// newest samples, keeping its width.
void TrendChartModel::BringViewToList() {
    const int count = SampleCount();
    if (m_Follow || m_pSamples == nullptr || m_view.m_First < count) {
        return;
    }
    const int span = m_view.m_Last - m_view.m_First;
    const int shift = std::max(0, count - span) - m_view.m_First;
    m_view.m_First += shift;
    m_view.m_Last += shift;
}

// The scroll bars move with the view, so the thumb shows the newest
// samples while following.
void TrendChartModel::FollowLatest() {
    const int count = SampleCount();
    if (!m_Follow || count < 2) {
        return;
    }
    const int first = m_view.m_First;
    const int last = m_view.m_Last;
    if (count < m_Window) {
        m_view.m_First = 0;
        m_view.m_Last = m_Window;
    } else {
        m_view.m_Last = count;
        m_view.m_First = count - m_Window + 1;
    }
    if (m_view.m_First != first || m_view.m_Last != last) {
        UpdateScrollBars();
    }
}

// The value span the vertical bar can move the view through.
double TrendChartModel::VerticalSlack() const {
    return (m_FullMax - m_FullMin) - (m_view.m_YMax - m_view.m_YMin);
}

ScrollBarState TrendChartModel::VerticalBarState() const {
    const int fullSpan = m_view.YOfValue(m_FullMin) - m_view.YOfValue(m_FullMax);
    const int viewSpan = m_view.YOfValue(m_view.m_YMin) - m_view.YOfValue(m_view.m_YMax);
    ScrollBarState bar;
    bar.maximum = std::max(fullSpan - viewSpan, 1);
    const double slack = VerticalSlack();
    if (slack != 0.0) {
        bar.position = ToPixel((m_FullMax - m_view.m_YMax) * bar.maximum / slack);
    }
    return bar;
}

// The horizontal position is the view's first sample, shown within the
// bar's range (while following the view starts one sample past it).
void TrendChartModel::UpdateScrollBars() {
    if (m_pSamples == nullptr) {
        return;
    }
    m_hBar.maximum = std::max(SampleCount() - m_Window, 1);
    m_hBar.position = Clamp(m_view.m_First, m_hBar.maximum);
    m_vBar = VerticalBarState();
    ScrollBarsChanged();
}

bool TrendChartModel::HorizontalScroll(ScrollRequest request, int thumb) {
    if (m_pSamples == nullptr) {
        return false;
    }
    int wanted = Scrolled(m_hBar.position, request, thumb, 2, 10);
    wanted = Clamp(wanted, m_hBar.maximum);
    const int delta = wanted - m_hBar.position;
    if (delta == 0) {
        return false;
    }
    m_view.m_First += delta;
    m_view.m_Last += delta;
    m_hBar.position = wanted;
    ScrollBarsChanged();
    Invalidate();
    return true;
}

int TrendChartModel::VerticalStep() const {
    return std::max(m_vBar.maximum / 20, 1);
}

bool TrendChartModel::VerticalScroll(ScrollRequest request, int thumb) {
    if (m_pSamples == nullptr) {
        return false;
    }
    const int step = VerticalStep();
    int wanted = Scrolled(m_vBar.position, request, thumb, step, 4 * step);
    wanted = Clamp(wanted, m_vBar.maximum);
    const int delta = wanted - m_vBar.position;
    if (delta == 0) {
        return false;
    }
    m_vBar.position = wanted;
    const int fullSpan = m_view.YOfValue(m_FullMin) - m_view.YOfValue(m_FullMax);
    const int viewSpan = m_view.YOfValue(m_view.m_YMin) - m_view.YOfValue(m_view.m_YMax);
    if (fullSpan != viewSpan) {
        const double shift = VerticalSlack() * delta / (fullSpan - viewSpan);
        m_view.m_YMin -= shift;
        m_view.m_YMax -= shift;
    }
    ScrollBarsChanged();
    Invalidate();
    return true;
}

void TrendChartModel::OnLButtonDown(Point p) {
    m_dragStart = p;
    m_dragCurrent = p;
    m_bDragging = true;
}

bool TrendChartModel::OnMouseMove(Point p) {
    if (!m_bDragging) {
        return false;
    }
    m_dragCurrent = p;
    return true;
}

std::optional<PointTip> TrendChartModel::OnLButtonUp(Point p) {
    if (!m_bDragging) {
        return std::nullopt;  // the second release of a double click
    }
    m_bDragging = false;
    const int dx = std::abs(m_dragCurrent.x - m_dragStart.x);
    const int dy = std::abs(m_dragCurrent.y - m_dragStart.y);
    if (dx <= kClickSlop || dy <= kClickSlop) {
        std::optional<PointTip> tip = PointTooltip(p);
        Invalidate();
        return tip;
    }
    const int positions =
        std::abs(m_view.PositionOfX(m_dragStart.x) - m_view.PositionOfX(m_dragCurrent.x));
    if (positions > kMinDragPositions) {
        const double startValue = m_view.ValueOfY(m_dragStart.y);
        const double endValue = m_view.ValueOfY(m_dragCurrent.y);
        const double share = std::fabs(startValue - endValue) / std::fabs(m_FullMax - m_FullMin);
        if (share > kMinZoomShare) {
            m_view.m_YMax = std::max(startValue, endValue);
            m_view.m_YMin = std::min(startValue, endValue);
            UpdateScrollBars();
        }
    }
    Invalidate();
    return std::nullopt;
}

void TrendChartModel::OnDoubleClick() {
    m_view.m_YMin = m_FullMin;
    m_view.m_YMax = m_FullMax;
    m_Window = kWindow;
    UpdateScrollBars();
    Invalidate();
}

void TrendChartModel::OnSizeChanged(int width, int height) {
    m_view.width = width;
    m_view.height = height;
    UpdateScrollBars();
}

}  // namespace tandrin
