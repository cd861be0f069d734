// Planted: the platform reaching up into the link.
#include "link/hart_master.h"
