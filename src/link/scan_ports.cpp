#include "link/scan_ports.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "link/hart_master.h"

namespace tandrin {

namespace {

constexpr std::array<std::string_view, 3> kDeviceFamilies{"ttyUSB", "ttyACM", "ttyS"};

// The number after `prefix` in a name like "ttyUSB12"; -1 when the rest is
// not all digits (ttyUSB, ttyS0x).
long DeviceNumber(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 6) {
        return -1;
    }
    long number = 0;
    for (char c : name.substr(prefix.size())) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

std::vector<long> FamilyNumbers(const std::string& deviceDir, std::string_view prefix) {
    std::vector<long> numbers;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(deviceDir, error)) {
        const long number = DeviceNumber(entry.path().filename().string(), prefix);
        if (number >= 0) {
            numbers.push_back(number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void AddCandidate(std::vector<std::string>& list, const std::string& path) {
    if (list.size() < kMaxProbedPorts && std::find(list.begin(), list.end(), path) == list.end()) {
        list.push_back(path);
    }
}

}  // namespace

std::vector<std::string> PortCandidates(const std::vector<std::string>& extraCandidates,
                                        const std::string& deviceDir) {
    std::vector<std::string> list;
    for (const std::string& path : extraCandidates) {
        if (!path.empty()) {
            AddCandidate(list, path);
        }
    }
    std::string dir = deviceDir;
    if (dir.empty() || dir.back() != '/') {
        dir += '/';
    }
    for (std::string_view prefix : kDeviceFamilies) {
        for (long number : FamilyNumbers(deviceDir, prefix)) {
            AddCandidate(list, dir + std::string(prefix) + std::to_string(number));
        }
    }
    return list;
}

void ScanPorts(HartMaster& master, std::vector<std::string>& ports,
               const std::vector<std::string>& extraCandidates, const std::string& deviceDir) {
    ports.clear();
    master.CloseLink();  // a port the master holds would refuse its probe
    for (const std::string& path : PortCandidates(extraCandidates, deviceDir)) {
        const auto port = master.MakePort();
        if (port && port->Open(path) != 0) {
            ports.push_back(path);
        }
        if (port) {
            port->Close();
        }
    }
}

void ScanPorts(std::vector<std::string>& ports, const std::vector<std::string>& extraCandidates) {
    ScanPorts(hartMaster, ports, extraCandidates);
}

}  // namespace tandrin
