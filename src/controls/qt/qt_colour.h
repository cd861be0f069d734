#pragma once

#include <QColor>
#include <QPalette>

#include "controls/rgb.h"

namespace tandrin {

inline QColor ToQColor(Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

inline Rgb ToRgb(const QColor& colour) {
    return Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
               static_cast<std::uint8_t>(colour.blue())};
}

// The system colours of a drawn control, from the palette.
inline SystemColours SystemColoursOf(const QPalette& palette) {
    SystemColours system;
    system.face = ToRgb(palette.color(QPalette::Button));
    system.text = ToRgb(palette.color(QPalette::ButtonText));
    system.highlight = ToRgb(palette.color(QPalette::Light));
    system.light = ToRgb(palette.color(QPalette::Midlight));
    system.shadow = ToRgb(palette.color(QPalette::Mid));
    system.darkShadow = ToRgb(palette.color(QPalette::Dark));
    return system;
}

}  // namespace tandrin
