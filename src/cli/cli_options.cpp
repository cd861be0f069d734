#include "cli/cli_options.h"

#include <algorithm>
#include <array>

namespace tandrin::cli {

const char* const kCliHelp = R"(Usage: tandrin-cli [OPTIONS] COMMAND

Talks to one HART temperature transmitter through a HART modem.

Commands:
  ports     the serial ports that can be opened
  search    search polling addresses 0..15; the addresses that answered
  online    command 0 at the address; the long address
  read      the value reading (0, 1, 2): PV with unit, loop current,
            percent of range
  version   product information (0, 162): the software version
  reset     device reset (0, 42)
  setup     the Setup page's measuring configuration (see below)
  set-setup write it as the Setup page does (see below)
  monitor   record at a period, one line per sample as it comes:
            --mode all|pv|current|percent (default all), --period S
            (default 2), --count N samples per series (default: until
            Ctrl-C), --record FILE.tdd written when the recording ends
  record FILE.tdd   print a trend record; --csv for CSV

Options:
  --port PATH     serial port to use (default: the port stored by Tandrin)
  --address N     polling address 0..15 (default 0)
  --lang NAME     language of the messages, as a language file names it
                  (default English; "Simple Chinese" for Chinese)
  --json          print one JSON object instead of text
  --demo          start a built-in simulated transmitter and use it
  -h, --help      show this help

Exit status: 0 on success, 1 when the command failed, 2 for bad usage.
With --json a failure prints {"error":"..."} on standard output; otherwise
the message goes to standard error.
)";

namespace {

constexpr std::array<const char*, 11> kCommands{"ports", "search",    "online",  "read",
                                                "version", "reset", "setup", "set-setup",
                                                "monitor", "record", "loop-check"};

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
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (const ArgUse use = ParseMonitorArg(args, i, options.command, options.monitor, error);
            use != ArgUse::kNotMine) {
            if (use == ArgUse::kBad) {
                return false;
            }
            continue;
        }
        if (const int taken = ParseLoopCheckArg(args, i, options.command, options.loopCheck, error)) {
            if (taken < 0) {
                return false;
            }
            continue;
        }
        const std::string& arg = args[i];
        const bool takesValue = arg == "--port" || arg == "--address" || arg == "--lang";
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
        } else if (arg == "--port") {
            options.port = args[++i];
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
        } else if (std::find(kCommands.begin(), kCommands.end(), arg) == kCommands.end() &&
                   !IsPageCommand(arg)) {
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
    return CheckPageArguments(options.command, options.page, error) &&
           (options.help || (CheckSetupOptions(options.command, options.setup, error) &&
                             CheckMonitorOptions(options.command, options.monitor, error)));
}

}  // namespace tandrin::cli
