#include "controls/qt/color_static.h"

#include <QFontDatabase>
#include <QPainter>

#include "controls/qt/qt_colour.h"
#include "controls/ui_fonts.h"

namespace tandrin {

ColorStatic::ColorStatic(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {}

void ColorStatic::setText(const QString& text) {
    if (text != m_text) {
        m_text = text;
        update();
    }
}

QSize ColorStatic::sizeHint() const {
    return fontMetrics().size(Qt::TextSingleLine, m_text) + QSize(4, 2);
}

void ColorStatic::FontChanged() {
    QFont owned = font();
    std::vector<std::string> installed;
    for (const QString& family : QFontDatabase::families()) {
        installed.push_back(family.toStdString());
    }
    // "MS Serif" is rarely installed here: take its nearest stand-in.
    const UiFontRequest request = FontFace() == ReadoutFontRequest().face
                                      ? ReadoutFontRequest()
                                      : UiFontRequest{FontFace(), 0, 0, {}};
    const std::string face = PickFace(request, installed);
    owned.setFamily(QString::fromStdString(face.empty() ? FontFace() : face));
    owned.setStyleHint(QFont::Serif);
    if (FontTenths() > 0) {
        owned.setPointSizeF(FontTenths() / 10.0);
    }
    setFont(owned);
    update();
}

void ColorStatic::paintEvent(QPaintEvent* /*event*/) {
    ++m_nPaints;
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(BkColor()));
    painter.setPen(ToQColor(TextColor()));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_text);
}

}  // namespace tandrin
