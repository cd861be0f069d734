#include "controls/chart_view.h"

#include <cmath>

#include "controls/draw_types.h"

namespace tandrin {

int ChartView::XOfPosition(long long position) const {
    const long long span = static_cast<long long>(m_Last) - m_First;
    if (span == 0) {
        return 0;
    }
    return static_cast<int>((position - m_First) * width / span);
}

int ChartView::YOfValue(double value) const {
    if (m_YMin == m_YMax) {
        return height / 2;
    }
    return ToPixel(height / (m_YMin - m_YMax) * (value - m_YMax));
}

double ChartView::ValueOfY(int y) const {
    if (height == 0) {
        return m_YMax;
    }
    return m_YMax + (m_YMin - m_YMax) * y / height;
}

int ChartView::PositionOfX(int x) const {
    if (width == 0) {
        return m_First;
    }
    const long long product = (static_cast<long long>(m_Last) - m_First) * x;
    return RoundPixel(static_cast<double>(product) / width + m_First);
}

}  // namespace tandrin
