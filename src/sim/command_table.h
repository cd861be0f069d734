#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/sim_request.h"

namespace tandrin::sim {

class SimDevice;
struct SimReply;

// One command a simulated transmitter understands: the data bytes its
// request must carry at least, and the handler, which fills the reply data
// and returns the response code (0 for success).
struct CommandHandler {
    std::uint8_t command;
    std::uint8_t requestBytes;
    std::uint8_t (*handle)(SimDevice& device, const SimRequest& request, SimReply& reply,
                           double now);
};

// Universal and common-practice commands (0 to 48).
std::span<const CommandHandler> UniversalCommands();
// The transmitter's own commands (137 to 194).
std::span<const CommandHandler> SpecificCommands();

const CommandHandler* FindCommand(std::uint8_t command);

// Reply data helpers: floats go most significant byte first.
void PutFloat(std::vector<std::uint8_t>& data, float value);
float FloatAt(const std::vector<std::uint8_t>& data, std::size_t offset);
template <typename Bytes>
void PutBytes(std::vector<std::uint8_t>& data, const Bytes& bytes) {
    data.insert(data.end(), std::begin(bytes), std::end(bytes));
}

}  // namespace tandrin::sim
