// Downward only: must not be reported.
#include "controls/qt/qt_text.h"
#include "pages/page.h"
#include "shell/qt/qt_form.h"
#include <QWidget>
#include <sys/types.h>
