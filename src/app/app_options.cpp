#include "app/app_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>

#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

namespace {

const char* const kAbout =
    "\nConfigures and monitors a HART temperature transmitter through a HART\n"
    "modem on a serial port (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).\n"
    "Qt's own -platform, -display and -style pass through to Qt.\n"
    "\n"
    "Using the serial ports takes membership of the group that owns them\n"
    "(usually dialout). Without a display, run it under xvfb-run.\n"
    "\n"
    "Exit status: 0 when the window was closed, 1 when it could not start,\n"
    "2 for bad usage.\n";

const std::map<std::string, int> kPages{
    {"setup", MainDialog::kSetupIndex},
    {"info", MainDialog::kInfoIndex},
    {"calibration", MainDialog::kCalibrationIndex},
    {"monitor", MainDialog::kMonitorIndex},
    {"current", MainDialog::kCurrentIndex},
};

const std::map<std::string, int> kMonitorModes{{"all", main_ids::kMonitorAll},
                                               {"pv", main_ids::kMonitorPv},
                                               {"current", main_ids::kMonitorCurrent},
                                               {"percent", main_ids::kMonitorPercent}};

// A name's value from `names`; the check lets only those through.
void AddChoice(CLI::App& app, const char* name, const std::map<std::string, int>& names,
               int& target, const char* description) {
    std::vector<std::string> keys;
    for (const auto& entry : names) {
        keys.push_back(entry.first);
    }
    app.add_option_function<std::string>(
           name, [&names, &target](const std::string& value) { target = names.at(value); },
           description)
        ->check(CLI::IsMember(keys));
}

void AddOptions(CLI::App& app, AppOptions& options) {
    app.add_flag("--demo", options.demo,
                 "run against a simulated transmitter on a pseudo-\n"
                 "terminal, listed first under Settings > Serial Port;\n"
                 "the stored port is left as it is");
    app.add_option("--port", options.port,
                   "use the serial port PATH (a device, a pseudo-terminal\n"
                   "or a link to one, such as tandrin-sim --link makes),\n"
                   "even when the port probe does not list it; not\n"
                   "stored. A HART-IP server: hart-ip://HOST[:PORT] (UDP,\n"
                   "port 5094 by default) or hart-ip+tcp://HOST[:PORT]")
        ->type_name("PATH")
        ->check(CLI::Validator(
            [](std::string& path) { return path.empty() ? "needs a path" : std::string(); }, ""));
    app.add_option("--lang", options.language,
                   "use the language NAME (as the Language menu lists\n"
                   "it) without storing it")
        ->type_name("NAME");
    app.add_option("--record", options.record, "open that trend record on the monitor page")
        ->type_name("FILE.tdd");
    AddChoice(app, "--monitor", kMonitorModes, options.monitorMode,
              "start recording on the monitor page");
    app.add_option("--screenshot", options.screenshot,
                   "show the window, connect when --demo or --port is\n"
                   "given, save the window as a PNG picture to FILE and\n"
                   "exit")
        ->type_name("FILE");
    AddChoice(app, "--page", kPages, options.page, "with --screenshot: the page shown");
    app.add_flag("--quit-when-shown", options.quitWhenShown,
                 "print the wall-clock time (ms) the window was first\n"
                 "painted, then exit (start-up measurements)");
    app.add_flag("--trace", options.trace,
                 "write every frame sent and received to\n"
                 "$XDG_STATE_HOME/tandrin/trace.log (default\n"
                 "~/.local/state/tandrin/), begun afresh at each start;\n"
                 "Help > Open Trace Folder shows it");
}

// Qt's single-dash options, which CLI11 would read as bundled short flags,
// are taken out by hand; false when one lacks its value.
bool TakeQtOptions(std::vector<std::string>& args, AppOptions& options, std::string& error) {
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != "-platform" && args[i] != "-display" && args[i] != "-style") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = args[i] + " needs a value";
            return false;
        }
        options.platformGiven = options.platformGiven || args[i] == "-platform";
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return true;
}

// CLI11's wording where ours reads better.
std::string Worded(const CLI::ParseError& failure, const CLI::App& app) {
    const std::string text = failure.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&failure) != nullptr) {
        return text.substr(0, text.find(':')) + " needs a value";
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&failure) != nullptr && app.remaining_size() > 0) {
        return "unknown option \"" + app.remaining().front() + "\"";
    }
    return text;
}

bool Empty(const char* value) {
    return value == nullptr || *value == '\0';
}

}  // namespace

bool ParseAppOptions(const std::vector<std::string>& args, AppOptions& options,
                     std::string& error) {
    std::vector<std::string> rest = args;
    if (!TakeQtOptions(rest, options, error)) {
        return false;
    }
    CLI::App app("", "tandrin");
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.footer(kAbout);
    app.get_formatter()->column_width(24);
    AddOptions(app, options);
    std::reverse(rest.begin(), rest.end());
    try {
        app.parse(rest);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        options.helpText = app.help();
        return true;
    } catch (const CLI::ParseError& failure) {
        error = Worded(failure, app);
        return false;
    }
    if (options.demo && !options.port.empty()) {
        error = "--demo brings its own port: give either --demo or --port";
        return false;
    }
    if (options.page >= 0 && options.screenshot.empty()) {
        error = "--page goes with --screenshot";
        return false;
    }
    return true;
}

std::string DisplayProblem(const char* qpaPlatform, const char* display, const char* wayland,
                           bool platformGiven) {
    if (platformGiven || !Empty(qpaPlatform) || !Empty(display) || !Empty(wayland)) {
        return {};
    }
    return "no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
           "Run it in a desktop session, or under a virtual display:\n"
           "    xvfb-run -a tandrin --demo\n"
           "or with QT_QPA_PLATFORM=offscreen for a window nobody sees (screenshots).\n";
}

}  // namespace tandrin
