// Planted: a core page using the Qt text edge.
#include "controls/qt/qt_text.h"
#include "shell/main_dialog.h"
