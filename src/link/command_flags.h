#pragma once

#include <cstdint>

namespace tandrin {

// 1 while a command sequence runs; serialises the windows' sequences.
extern std::int32_t busyFlag;
// Set by Stop, page switches and port changes: the engine drops the
// transaction in flight at its next timer without a completion call.
extern std::int32_t cancelFlag;

}  // namespace tandrin
