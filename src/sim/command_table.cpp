#include "sim/command_table.h"

#include <algorithm>

#include "device/encodings.h"

namespace tandrin::sim {

const CommandHandler* FindCommand(std::uint8_t command) {
    for (const auto table : {UniversalCommands(), SpecificCommands()}) {
        const auto it =
            std::find_if(table.begin(), table.end(),
                         [command](const CommandHandler& h) { return h.command == command; });
        if (it != table.end()) {
            return &*it;
        }
    }
    return nullptr;
}

void PutFloat(std::vector<std::uint8_t>& data, float value) {
    std::uint8_t bytes[4];
    EncodeFloat(value, bytes);
    data.insert(data.end(), bytes, bytes + 4);
}

float FloatAt(const std::vector<std::uint8_t>& data, std::size_t offset) {
    return DecodeFloat(data.data() + offset);
}

}  // namespace tandrin::sim
