#pragma once

#include <QIcon>
#include <QString>

namespace tandrin {

// A toolbar image drawn from resources/icons/<name>.svg (compiled in), at
// 32 x 32 and twice that for dense screens. An unknown name gives an empty
// icon, and the tool shows no image.
QIcon ToolIcon(const QString& name);
// The program's icon (resource icon 128).
QIcon AppIcon();

}  // namespace tandrin
