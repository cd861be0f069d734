// Planted: the simulator reaching up through angle brackets.
#include <shell/main_dialog.h>
