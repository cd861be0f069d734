#pragma once

#include <QFont>
#include <QPoint>
#include <QPolygon>
#include <string>

#include "controls/draw_types.h"

class QPainter;

namespace tandrin {

inline QPoint ToQPoint(Point p) {
    return QPoint(p.x, p.y);
}
QPolygon ToQPolygon(const Polygon& polygon);

// The nearest installed face for a control's font, sized so that its
// character cell is the height asked for.
QFont ControlFont(const FontChoice& wanted);
// Width and cell height of a text in the interface code page.
TextSize MeasureControlText(const std::string& text, const FontChoice& wanted);
// Draws the text with its anchor at the named point of its box.
void DrawTextItem(QPainter& painter, const TextItem& item);

}  // namespace tandrin
