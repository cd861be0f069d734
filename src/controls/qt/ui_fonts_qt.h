#pragma once

#include <QFont>

class QWidget;

namespace tandrin {

// The two interface fonts, made once at start-up (MainApp) with the nearest
// installed faces; made on first use when nobody did.
void CreateUiFonts();
const QFont& ChineseFont();
const QFont& WesternFont();
// ChineseFont while chineseUi is 1, else WesternFont.
const QFont& UiFont();

// Gives `window` and everything in it the interface font and repaints it.
// Children inherit it; menus and tooltips are windows of their own and get
// it set. Controls with a font of their own (the read-outs) keep theirs.
void ApplyUiFont(QWidget* window);

}  // namespace tandrin
