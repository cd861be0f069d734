// Planted: a sibling on the same layer.
#include "controls/draw_types.h"
#include "link/hart_frame.h"
