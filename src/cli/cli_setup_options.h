#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tandrin::cli {

struct CliOptions;

// What `set-setup` changes on the Setup page before it writes; everything
// not given stays as read from the transmitter. Numbers are kept as typed.
struct SetupChanges {
    std::optional<int> sensor1;  // sensor code 0..28, not 23
    std::optional<int> sensor2;  // sensor code, or -1: single sensor
    std::optional<int> wiring1;  // 2, 3 or 4 wires
    std::optional<int> wiring2;
    std::optional<int> workMode;      // 0 backup .. 3 independent
    std::optional<int> outputSensor;  // 1 or 2
    std::optional<std::string> unit;  // C, K or F
    std::optional<std::string> lower;
    std::optional<std::string> upper;
    std::optional<std::string> damping;
    std::optional<std::string> offset1;
    std::optional<std::string> offset2;
    std::optional<int> displayMode;  // 0..2
    std::optional<int> decimals;     // 0..3
    std::optional<int> alarm;        // 0 high (>=22 mA), 1 low (<=3.6 mA)

    bool Any() const;
};

// Declares set-setup's options, each filling `changes` when given.
void AddSetupOptions(CLI::App& command, CliOptions& all);
// set-setup needs one.
bool CheckSetupOptions(const std::string& command, const SetupChanges& changes, std::string& error);

extern const char* const kSetupHelp;

}  // namespace tandrin::cli
