#include "cli/cli_options.h"

#include <algorithm>

#include "cli/cli_option_checks.h"

#include "cli/cli_app.h"

namespace tandrin::cli {

const char* const kCliHelp = R"(Usage: tandrin-cli [OPTIONS] COMMAND

Talks to one HART temperature transmitter through a HART modem, or through
a HART-IP server (--port hart-ip://HOST[:PORT], default port 5094, UDP;
hart-ip+tcp://HOST[:PORT] for TCP).

Commands:
  ports     the serial ports that can be opened
  search    search polling addresses 0..15; the addresses that answered
  survey    every transmitter on the line: tag, PV, current, status (below)
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
  monitor   record at a period, one line per sample as it comes
            (--mode, --period, --count, --record: monitor --help)
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
  -h, --help      show this help; COMMAND --help shows that command's
                  operands and options
Options may stand before or after the command, as --name VALUE or
--name=VALUE.

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

const char* const kCommonOptions =
    "\nCommon options, before or after the command: --port PATH, --address N, --timeout MS,\n"
    "--lang NAME, --json, --demo, --trace (see tandrin-cli --help).\n";

void AddCommonOptions(CLI::App& app, CliOptions& options) {
    AddOptional(app, "--port", options.port,
                "serial port, or hart-ip://HOST[:PORT] or hart-ip+tcp://HOST[:PORT]");
    app.add_option("--timeout", options.timeoutMs, "over HART-IP, the reply timeout in ms")
        ->check(WholeIn(10, 600000, "milliseconds from 10 to 600000"));
    app.add_option("--address", options.address, "polling address")
        ->check(WholeIn(0, 15, "a polling address from 0 to 15"))
        ->capture_default_str();
    app.add_option("--lang", options.language, "language of the messages")->capture_default_str();
    app.add_flag("--json", options.json, "print one JSON object instead of text");
    app.add_flag("--demo", options.demo, "use a built-in simulated transmitter");
    app.add_flag("--trace", options.trace, "print every frame on standard error");
}

// CLI11 wants a command before the options it owns; ours may stand anywhere.
std::vector<std::string> CommandFirst(CLI::App& app, std::vector<std::string> args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            const bool joined = arg.find('=') != std::string::npos;
            // Its value may look like a command: "--lang read" is a language.
            for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
                const CLI::Option* option = command->get_option_no_throw(arg);
                if (!joined && option != nullptr && option->get_type_size() > 0) {
                    ++i;
                    break;
                }
            }
            if (const CLI::Option* option = app.get_option_no_throw(arg);
                !joined && option != nullptr && option->get_type_size() > 0) {
                ++i;
            }
            continue;
        }
        if (FindCliCommand(arg) != nullptr) {
            std::rotate(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(i),
                        args.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
        break;
    }
    return args;
}

// CLI11 says "--name: takes …"; the option reads better as the sentence's subject.
std::string Worded(const CLI::ParseError& error, const std::string& command) {
    std::string text = error.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return text.substr(0, text.find(':')) + " needs a value";
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && !command.empty()) {
        return command + ": " + text;
    }
    if (const std::size_t colon = text.find(": takes "); colon != std::string::npos) {
        text.erase(colon, 1);
    }
    return text;
}

// What CLI11 left over: an unknown option, a second command, a stray word.
std::string LeftOverError(const std::vector<std::string>& args, const std::string& command,
                          const std::string& arg) {
    if (arg.size() > 1 && arg[0] == '-') {
        return "unknown option " + arg;
    }
    if (command.empty()) {
        return "unknown command " + arg;
    }
    if (FindCliCommand(arg) != nullptr) {
        // In the order given: CLI11 may have taken the second as the command.
        const bool inOrder =
            std::find(args.begin(), args.end(), command) < std::find(args.begin(), args.end(), arg);
        return "one command at a time (" + (inOrder ? command + ", " + arg : arg + ", " + command) +
               ")";
    }
    return command + " takes no operand (" + arg + ")";
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
    options.json = std::find(args.begin(), args.end(), "--json") != args.end();
    CLI::App app("Talks to one HART temperature transmitter", "tandrin-cli");
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.allow_extras();
    app.require_subcommand(0, 1);
    app.get_formatter()->column_width(24);
    AddCommonOptions(app, options);
    for (const CliCommand& command : CliCommands()) {
        CLI::App* sub = app.add_subcommand(std::string(command.name), command.about);
        sub->fallthrough()->allow_extras()->footer(kCommonOptions);
        if (command.addOptions != nullptr) {
            command.addOptions(*sub, options);
        }
    }
    std::vector<std::string> reversed = CommandFirst(app, args);
    std::reverse(reversed.begin(), reversed.end());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        for (const CLI::App* sub : app.get_subcommands()) {
            options.commandHelp = sub->help("tandrin-cli");
        }
        return true;
    } catch (const CLI::ParseError& failure) {
        for (const CLI::App* sub : app.get_subcommands()) {
            options.command = sub->get_name();
        }
        error = Worded(failure, options.command);
        return false;
    }
    for (const CLI::App* sub : app.get_subcommands()) {
        options.command = sub->get_name();
    }
    if (const auto extra = app.remaining(true); !extra.empty()) {
        error = LeftOverError(args, options.command, extra.front());
        return false;
    }
    if (options.command.empty()) {
        error = "no command given";
        return false;
    }
    if (options.demo && options.port) {
        error = "--demo brings its own port: give either --demo or --port";
        return false;
    }
    return CheckPageArguments(options.command, options.page, error) &&
           CheckSetupOptions(options.command, options.setup, error) &&
           CheckMonitorOptions(options.command, options.monitor, error) &&
           CheckSnapshotArguments(options.command, options.snapshot, error);
}

}  // namespace tandrin::cli
