#pragma once

#include <QString>
#include <QWidget>

#include "controls/color_static_model.h"

namespace tandrin {

// A static text with its own text colour, background and font: the main
// window's read-outs. The font set here is the label's own and stays when
// the window's interface font changes.
class ColorStatic : public QWidget, public ColorStaticModel {
    Q_OBJECT

  public:
    explicit ColorStatic(const QString& text = QString(), QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    int PaintCount() const { return m_nPaints; }
    QSize sizeHint() const override;

  protected:
    void Repaint() override { update(); }
    void FontChanged() override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_text;
    int m_nPaints = 0;
};

}  // namespace tandrin
