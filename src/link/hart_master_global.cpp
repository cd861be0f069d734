#include "link/command_flags.h"
#include "link/hart_master.h"

namespace tandrin {

std::int32_t busyFlag = 0;
std::int32_t cancelFlag = 0;

HartMaster hartMaster;

}  // namespace tandrin
