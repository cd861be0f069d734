#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "controls/balloon_layout.h"

namespace tandrin {

// A balloon-shaped tooltip window: frameless, never activated, no taskbar
// entry. Its triangle's tip lands on the anchor; it hides itself after
// three seconds, and a new tip is ignored while one shows.
class BalloonTip : public QWidget {
    Q_OBJECT

  public:
    BalloonTip();

    // `anchor` in global coordinates; none: the mouse position.
    void ShowTip(const QString& text, std::optional<QPoint> anchor = std::nullopt);
    void HideTip();

    const BalloonLayout& Layout() const { return m_layout; }
    // The window's shape, in window coordinates.
    const QPainterPath& Shape() const { return m_shape; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_text;
    BalloonLayout m_layout;
    QPainterPath m_shape;
    QTimer m_timer;
};

}  // namespace tandrin
