// Planted: a folder the map does not know.
#include "link/hart_frame.h"
