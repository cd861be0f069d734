#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tandrin {

class HartMaster;

constexpr std::size_t kMaxProbedPorts = 16;

// Device paths worth probing, in probe order, at most kMaxProbedPorts:
// `extraCandidates` first (a simulator's pty given on the command line),
// then ttyUSB*, ttyACM* and ttyS* found in `deviceDir`, each group in
// natural order (ttyUSB2 before ttyUSB10). No path appears twice.
std::vector<std::string> PortCandidates(const std::vector<std::string>& extraCandidates,
                                        const std::string& deviceDir = "/dev");

// Empties `ports`, then appends every candidate that opens with the HART
// line settings. Each probe opens, configures and closes a port of the
// master's kind; no receive thread is started, so start-up stays fast.
// Closes the master's link first and leaves it closed.
void ScanPorts(HartMaster& master, std::vector<std::string>& ports,
               const std::vector<std::string>& extraCandidates,
               const std::string& deviceDir = "/dev");

// The same for the global hartMaster.
void ScanPorts(std::vector<std::string>& ports, const std::vector<std::string>& extraCandidates);

}  // namespace tandrin
