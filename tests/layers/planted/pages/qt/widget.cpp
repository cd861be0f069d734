// Downward only: must not be reported.
#include <sys/types.h>
#include <QWidget>
#include "controls/qt/qt_text.h"
#include "pages/page.h"
#include "shell/qt/qt_form.h"
