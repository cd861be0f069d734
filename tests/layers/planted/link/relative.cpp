// Planted: a way up that hides the folder.
#include "../shell/main_dialog.h"
