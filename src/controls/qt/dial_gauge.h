#pragma once

#include <QPixmap>
#include <QPolygon>
#include <QWidget>

#include "controls/dial_gauge_model.h"

namespace tandrin {

// The dial gauge window. The rim, zones, ticks and numbers are painted once
// into a cached pixmap, again only after a scale or size change; a new
// value paints the needle, hub and texts over a copy of it.
class DialGauge : public QWidget, public DialGaugeModel {
    Q_OBJECT

  public:
    explicit DialGauge(QWidget* parent = nullptr);

    // Times the cached background was built, for the tests of the cache.
    int BackgroundBuilds() const { return m_nBuilds; }
    // The frame as painted last.
    const QPixmap& FrameImage() const { return m_frame; }

  protected:
    void Invalidate() override { update(); }
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void BuildBackground();

    QPixmap m_background;
    QPolygon m_clip;  // the needle's clip shape, built with the background
    QPixmap m_frame;
    int m_nBuilds = 0;
};

}  // namespace tandrin
