#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/device_config.h"
#include "sim/fault_plan.h"
#include "sim/hart_ip_server.h"

namespace tandrin::sim {

// What tandrin-sim was asked to do.
struct SimCommandLine {
    std::optional<std::string> linkPath;    // --link: symlink to the pty
    std::optional<std::string> portDevice;  // --port: a real serial line
    std::vector<DeviceConfig> devices;      // at least one after parsing
    std::vector<FaultRule> faults;
    // --hart-ip [HOST:]PORT: also serve HART-IP there (HOST "" for loopback)
    std::optional<std::string> hartIpHost;
    std::uint16_t hartIpPort = 0;
    HartIpFaults hartIpFaults;
    bool fast = false;
    bool trace = false;
    bool help = false;
    std::uint32_t seed = 1;
};

// False with `error` set on a bad option. Devices without poll= take the
// lowest free polling address; two devices may not share a polling or a
// long address.
bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error);

std::string SimUsage();

}  // namespace tandrin::sim
