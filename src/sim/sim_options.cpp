#include "sim/sim_options.h"

#include <algorithm>
#include <array>
#include <set>

#include "sim/option_values.h"

namespace tandrin::sim {

namespace {

bool HasPollKey(const std::string& text) {
    const auto items = SplitList(text, ',');
    return std::any_of(items.begin(), items.end(),
                       [](std::string_view item) { return SplitKeyValue(item).key == "poll"; });
}

// Polling addresses for devices that did not name one, then the checks.
bool SettleAddresses(std::vector<DeviceConfig>& devices, const std::vector<bool>& named,
                     std::string& error) {
    std::array<bool, 16> used{};
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (named[i]) {
            if (used[devices[i].m_byPollAddr]) {
                error = "two devices at polling address " + std::to_string(devices[i].m_byPollAddr);
                return false;
            }
            used[devices[i].m_byPollAddr] = true;
        }
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (named[i]) {
            continue;
        }
        const auto free = std::find(used.begin(), used.end(), false);
        if (free == used.end()) {
            error = "more than 16 devices";
            return false;
        }
        devices[i].m_byPollAddr = static_cast<std::uint8_t>(free - used.begin());
        *free = true;
    }
    std::set<std::array<std::uint32_t, 3>> longAddresses;
    for (const DeviceConfig& d : devices) {
        if (!longAddresses.insert({d.m_byManufacturer & 0x3Fu, d.m_byDeviceType, d.DeviceId()})
                 .second) {
            error = "two devices with the same long address (give one another id=)";
            return false;
        }
    }
    return true;
}

// [HOST:]PORT, an IPv6 host in brackets.
bool ParseListenAddress(const std::string& text, std::string& host, std::uint16_t& port) {
    const auto colon = text.rfind(':');
    std::string portText = text;
    host.clear();
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        }
        if (host.empty()) {
            return false;
        }
    }
    const auto value = ParseUnsigned(portText, 65535);
    if (!value) {
        return false;
    }
    port = static_cast<std::uint16_t>(*value);
    return true;
}

}  // namespace

bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error) {
    out = SimCommandLine{};
    std::vector<bool> named;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--link" || arg == "--port" || arg == "--device" ||
                                arg == "--fault" || arg == "--seed" || arg == "--hart-ip" ||
                                arg == "--hart-ip-fault" || arg == "--hart-ip-close-time";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--fast") {
            out.fast = true;
        } else if (arg == "--trace") {
            out.trace = true;
        } else if (arg == "--link") {
            out.linkPath = args[++i];
        } else if (arg == "--port") {
            out.portDevice = args[++i];
        } else if (arg == "--seed") {
            const auto seed = ParseUnsigned(args[++i], 0xFFFFFFFF);
            if (!seed) {
                error = "bad --seed";
                return false;
            }
            out.seed = *seed;
        } else if (arg == "--device") {
            DeviceConfig config;
            if (!ParseDeviceKeys(args[++i], config, error)) {
                return false;
            }
            named.push_back(HasPollKey(args[i]));
            out.devices.push_back(config);
        } else if (arg == "--hart-ip") {
            std::string host;
            if (!ParseListenAddress(args[++i], host, out.hartIpPort)) {
                error = "--hart-ip takes [HOST:]PORT";
                return false;
            }
            out.hartIpHost = host;
        } else if (arg == "--hart-ip-close-time") {
            const auto ms = ParseUnsigned(args[++i], 24u * 3600 * 1000);
            if (!ms || *ms < 1000) {
                error = "--hart-ip-close-time takes 1000 to 86400000 ms";
                return false;
            }
            out.hartIpFaults.maxCloseTimeMs = *ms;
        } else if (arg == "--hart-ip-fault") {
            if (!ParseHartIpFault(args[++i], out.hartIpFaults, error)) {
                return false;
            }
        } else if (arg == "--fault") {
            FaultRule fault;
            if (!ParseFaultRule(args[++i], fault, error)) {
                return false;
            }
            out.faults.push_back(fault);
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (out.linkPath && out.portDevice) {
        error = "--link names a pty; it does not go with --port";
        return false;
    }
    if (out.hartIpHost && out.portDevice) {
        error = "--hart-ip serves the simulated line; it does not go with --port";
        return false;
    }
    if (out.devices.empty()) {
        out.devices.emplace_back();
        named.push_back(false);
    }
    return SettleAddresses(out.devices, named, error);
}

std::string SimUsage() {
    return std::string(
               "Usage: tandrin-sim [--link PATH] [--device KEYS]... [--fault FAULT]... [--trace]\n"
               "       tandrin-sim --port DEVICE [--device KEYS]... [--fault FAULT]... [--trace]\n"
               "\n"
               "Simulates HART temperature transmitters on a serial line. By default it\n"
               "creates a pseudo-terminal and prints its path on the first line of\n"
               "standard output; open that path in Tandrin as the serial port. It serves\n"
               "until interrupted (Ctrl+C, SIGTERM) and then exits cleanly.\n"
               "\n"
               "Options:\n"
               "  --link PATH     also make PATH a symbolic link to the pty (an existing\n"
               "                  symbolic link is replaced, any other file is refused);\n"
               "                  removed on exit\n"
               "  --port DEVICE   serve on a real serial device instead, behind a second\n"
               "                  HART modem; RTS is raised while answering\n"
               "  --device KEYS   add a transmitter (repeatable; default one at polling\n"
               "                  address 0, a PT100 ranged 0..100 degrees Celsius)\n"
               "  --fault FAULT   spoil answers (repeatable; several may strike one answer)\n"
               "  --fast          answer at once instead of at 1200 baud line pace\n"
               "  --trace         print every request and answer on standard error\n"
               "  --seed N        seed for the line noise (default 1)\n"
               "  --hart-ip [HOST:]PORT  also serve HART-IP on UDP and TCP at PORT (0:\n"
               "                  any free port) of HOST (default 127.0.0.1), relaying\n"
               "                  to the line; prints hart-ip://HOST:PORT on the second\n"
               "                  line of standard output\n"
               "  --hart-ip-fault FAULT  refuse (every session: all sessions in use),\n"
               "                  drop[=N] (the next N replies are lost), nak[=N] (the\n"
               "                  next N requests are NAKed); repeatable\n"
               "  --hart-ip-close-time MS  the longest inactivity close time the server\n"
               "                  grants a session (default a day)\n"
               "  --help          this text\n"
               "\n") +
           kDeviceKeysHelp + "\n" + kFaultHelp +
           "\n"
           "Paced answers start 20 ms after the request would have ended on a real\n"
           "line, and take 9.17 ms a byte. After a hang-up fault a new pty is made,\n"
           "its path printed again and the --link moved to it.\n"
           "\n"
           "Example:\n"
           "  tandrin-sim --link /tmp/hart --device poll=0,tag=TT-101,sensor=3 \\\n"
           "              --fault checksum,cmd=1,count=2\n";
}

}  // namespace tandrin::sim
