#include "cli/cli_options.h"

#include <algorithm>

#include "cli/cli_app.h"

namespace tandrin::cli {

const char* const kCliHelp = R"(Usage: tandrin-cli [OPTIONS] COMMAND

Talks to one HART temperature transmitter through a HART modem, or through
a HART-IP server (--port hart-ip://HOST[:PORT], default port 5094, UDP;
hart-ip+tcp://HOST[:PORT] for TCP).

Commands:
  ports     the serial ports that can be opened
  search    search polling addresses 0..15; the addresses that answered
  online    command 0 at the address; the long address
  read      the value reading (0, 1, 2): PV with unit, loop current,
            percent of range
  version   product information (0, 162): the software version
  reset     device reset (0, 42)
  status    the device status bits and the additional status (0, 48):
            standard bytes decoded, device-specific ones in hex; JSON
            keys: extended_device_status, device_operating_mode,
            standardized_status_0..3, analog_channels_saturated,
            analog_channels_fixed (numbers, where the reply has them),
            device_specific (hex), and device_status
  clear-config-changed   clears the configuration-changed flag (0, 38)
  setup     the Setup page's measuring configuration (see below)
  set-setup write it as the Setup page does (see below)
  monitor   record at a period, one line per sample as it comes:
            --mode all|pv|current|percent (default all), --period S
            (default 2), --count N samples per series (default: until
            Ctrl-C), --record FILE.tdd written when the recording ends
  record FILE.tdd   print a trend record; --csv for CSV
  info, set-info, set-address, set-final-assembly, fix-current, trim,
  set-lower-range, set-upper-range   the device pages (see below)
  snapshot take|diff|restore FILE   configuration snapshots (see below)
  loop-check  as-found test of the 4..20 mA output (see below)

Options:
  --port PATH     serial port to use, or hart-ip://HOST[:PORT] or
                  hart-ip+tcp://HOST[:PORT] (default: the port stored by
                  Tandrin)
  --timeout MS    over HART-IP, how long a request waits for its reply
                  before it is sent again (default 1500)
  --address N     polling address 0..15 (default 0)
  --lang NAME     language of the messages, as a language file names it
                  (default English; "Simple Chinese" for Chinese)
  --json          print one JSON object instead of text (monitor and
                  record: one per sample); once the transmitter has
                  answered it carries "device_status", its eight status
                  bits (in text the set ones go to standard error)
  --demo          start a built-in simulated transmitter and use it
                  (not together with --port)
  --trace         print every frame sent (TX) and every chunk received (RX)
                  on standard error: milliseconds since start, the bytes in
                  hex, and for a whole frame its command, response code and
                  device status; over HART-IP also each message's header
  -h, --help      show this help

Exit status:
  0  success
  1  the command failed: the port could not be opened, the transmitter did
     not answer or refused, search found no transmitter, or the result
     could not be written
  2  bad usage: unknown option, command or language, a bad value, no port
  3  snapshot diff (or restore --dry-run) found differences
  3  loop-check: a point was outside the tolerance
  130, 143, 129  stopped by SIGINT (Ctrl-C), SIGTERM or SIGHUP: the
     command ends at once and the port is closed; monitor still writes
     its record
With --json every failure, bad usage included, prints one object with an
"error" member on standard output; otherwise the message goes to standard
error.
)";

namespace {

bool ParseAddress(const std::string& text, int& address) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    address = std::stoi(text);
    return address <= 15;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
    options.json = std::find(args.begin(), args.end(), "--json") != args.end();
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (const ArgUse use = ParseMonitorArg(args, i, options.command, options.monitor, error);
            use != ArgUse::kNotMine) {
            if (use == ArgUse::kBad) {
                return false;
            }
            continue;
        }
        if (const ArgUse use = ParseSnapshotArg(args, i, options.command, options.snapshot, error);
            use != ArgUse::kNotMine) {
            if (use == ArgUse::kBad) {
                return false;
            }
            continue;
        }
        if (const ArgUse use =
                ParseLoopCheckArg(args, i, options.command, options.loopCheck, error);
            use != ArgUse::kNotMine) {
            if (use == ArgUse::kBad) {
                return false;
            }
            continue;
        }
        const std::string& arg = args[i];
        const bool takesValue =
            arg == "--port" || arg == "--address" || arg == "--lang" || arg == "--timeout";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--port") {
            options.port = args[++i];
        } else if (arg == "--timeout") {
            const std::string& value = args[++i];
            const bool digits = !value.empty() && value.size() <= 6 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            options.timeoutMs = digits ? static_cast<std::uint32_t>(std::stoul(value)) : 0;
            if (options.timeoutMs < 10 || options.timeoutMs > 600000) {
                error = "--timeout takes milliseconds from 10 to 600000";
                return false;
            }
        } else if (arg == "--lang") {
            options.language = args[++i];
        } else if (arg == "--address") {
            if (!ParseAddress(args[++i], options.address)) {
                error = "--address takes a polling address from 0 to 15";
                return false;
            }
        } else if (TakePageOption(args, i, options.page, error)) {
            if (!error.empty()) {
                return false;
            }
        } else if (const OptionTaken taken = ParseSetupOption(args, i, options.setup, error);
                   taken != OptionTaken::kNotMine) {
            if (taken == OptionTaken::kBad) {
                return false;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else if (IsPageCommand(options.command)) {
            options.page.operands.push_back(arg);
        } else if (!options.command.empty()) {
            error = "one command at a time (" + options.command + ", " + arg + ")";
            return false;
        } else if (FindCliCommand(arg) == nullptr) {
            error = "unknown command " + arg;
            return false;
        } else {
            options.command = arg;
        }
    }
    if (options.command.empty() && !options.help) {
        error = "no command given";
        return false;
    }
    if (options.demo && options.port) {
        error = "--demo brings its own port: give either --demo or --port";
        return false;
    }
    return CheckPageArguments(options.command, options.page, error) &&
           (options.help || (CheckSetupOptions(options.command, options.setup, error) &&
                             CheckMonitorOptions(options.command, options.monitor, error) &&
                             CheckSnapshotArguments(options.command, options.snapshot, error)));
}

}  // namespace tandrin::cli
