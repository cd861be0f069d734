#pragma once

namespace tandrin {

// What a trend chart shows: the value range from top to bottom, the sample
// positions from left to right, and the plot size in pixels. The four
// mappings between samples and pixels live here.
struct ChartView {
    double m_YMax = 100.0;  // value at row 0
    double m_YMin = 0.0;    // value at row `height`
    int m_First = 0;        // sample position at column 0
    int m_Last = 50;        // sample position at column `width`; never m_First
    int width = 0;
    int height = 0;

    // (i - m_First) * width / (m_Last - m_First) in integers, truncating.
    int XOfPosition(long long position) const;
    // height / (m_YMin - m_YMax) * (v - m_YMax), truncated. An empty value
    // range puts every value on the middle row.
    int YOfValue(double value) const;
    double ValueOfY(int y) const;
    // The nearest sample position to a column, halves away from zero.
    int PositionOfX(int x) const;
};

}  // namespace tandrin
