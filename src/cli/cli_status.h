#pragma once

namespace tandrin::cli {

class CliSession;

// The transmitter's additional status (0, 48) with the device status bits,
// and the clearing of its configuration-changed flag (0, 38).
int RunStatus(CliSession& session);
int RunClearConfigChanged(CliSession& session);

}  // namespace tandrin::cli
