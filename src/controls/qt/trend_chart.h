#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>

#include "controls/qt/balloon_tip.h"
#include "controls/trend_chart_model.h"

class QScrollBar;

namespace tandrin {

// The trend chart window: a framed plot with both scroll bars. It paints
// the model's frame through one off-screen image, forwards mouse and
// scroll-bar events to the model, and shows the model's point tooltip in
// its balloon.
class TrendChart : public QAbstractScrollArea, public TrendChartModel {
    Q_OBJECT

  public:
    explicit TrendChart(QWidget* parent = nullptr);

    // Takes the place, name and geometry of the parent's direct child named
    // `placeholder`, which is deleted. False, and nothing changes, when
    // there is no such child.
    bool CreateInPlace(const QString& placeholder, QWidget* parent);

    BalloonTip& Tip() { return m_tip; }
    // The last frame painted, as copied to the window.
    const QImage& FrameImage() const { return m_frame; }

  protected:
    void Invalidate() override;
    void ScrollBarsChanged() override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void RenderFrame();
    void PaintRubberBand(QPainter& painter) const;
    QPoint KeptInside(const QPoint& p) const;
    void OnBarAction(QScrollBar* bar, bool horizontal, int action);
    void OnBarReleased(QScrollBar* bar, bool horizontal);
    void SizeChanged();

    BalloonTip m_tip;  // made before the chart window, as an unowned pop-up
    QImage m_frame;
    bool m_bSettingBars = false;
};

}  // namespace tandrin
