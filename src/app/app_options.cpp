#include "app/app_options.h"

#include <array>

#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

const char* const kAppHelp =
    "Usage: tandrin [--demo | --port PATH] [--lang NAME] [--trace]\n"
    "               [--record FILE.tdd] [--monitor MODE]\n"
    "               [--screenshot FILE [--page PAGE]]\n"
    "\n"
    "Configures and monitors a HART temperature transmitter through a HART\n"
    "modem on a serial port (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).\n"
    "\n"
    "  --demo             run against a simulated transmitter on a pseudo-terminal,\n"
    "                     listed first under Settings > Serial Port; the stored\n"
    "                     port is left as it is\n"
    "  --port PATH        use the serial port PATH (a device, a pseudo-terminal or\n"
    "                     a link to one, such as tandrin-sim --link makes), even\n"
    "                     when the port probe does not list it; not stored. A\n"
    "                     HART-IP server: hart-ip://HOST[:PORT] (UDP, port 5094\n"
    "                     by default) or hart-ip+tcp://HOST[:PORT]\n"
    "  --lang NAME        use the language NAME (as the Language menu lists it)\n"
    "                     without storing it\n"
    "  --record FILE.tdd  open that trend record on the monitor page\n"
    "  --monitor MODE     start recording all, pv, current or percent on the\n"
    "                     monitor page\n"
    "  --screenshot FILE  show the window, connect when --demo or --port is given,\n"
    "                     save the window as a PNG picture to FILE and exit\n"
    "  --page PAGE        with --screenshot: show setup, info, calibration,\n"
    "                     monitor or current\n"
    "  --quit-when-shown  print the wall-clock time (ms) the window was first\n"
    "                     painted, then exit (start-up measurements)\n"
    "  --trace            write every frame sent and received to\n"
    "                     $XDG_STATE_HOME/tandrin/trace.log (default\n"
    "                     ~/.local/state/tandrin/), begun afresh at each start;\n"
    "                     Help > Open Trace Folder shows it\n"
    "  -h, --help         show this help\n"
    "\n"
    "Using the serial ports takes membership of the group that owns them\n"
    "(usually dialout). Without a display, run it under xvfb-run.\n"
    "\n"
    "Exit status: 0 when the window was closed, 1 when it could not start,\n"
    "2 for bad usage.\n";

namespace {

struct PageName {
    const char* name;
    int index;
};

constexpr std::array<PageName, MainDialog::kPageCount> kPages{{
    {"setup", MainDialog::kSetupIndex},
    {"info", MainDialog::kInfoIndex},
    {"calibration", MainDialog::kCalibrationIndex},
    {"monitor", MainDialog::kMonitorIndex},
    {"current", MainDialog::kCurrentIndex},
}};

bool Empty(const char* value) {
    return value == nullptr || *value == '\0';
}

}  // namespace

bool ParseAppOptions(const std::vector<std::string>& args, AppOptions& options,
                     std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--screenshot" || arg == "--lang" || arg == "--page" ||
                                arg == "--port" || arg == "--record" || arg == "--monitor" ||
                                arg == "-platform" || arg == "-display" || arg == "-style";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--port") {
            options.port = args[++i];
            if (options.port.empty()) {
                error = "--port needs a path";
                return false;
            }
        } else if (arg == "--quit-when-shown") {
            options.quitWhenShown = true;
        } else if (arg == "--screenshot") {
            options.screenshot = args[++i];
        } else if (arg == "--lang") {
            options.language = args[++i];
        } else if (arg == "--page") {
            const std::string& name = args[++i];
            options.page = -1;
            for (const PageName& page : kPages) {
                if (name == page.name) {
                    options.page = page.index;
                }
            }
            if (options.page < 0) {
                error =
                    "unknown page \"" + name + "\" (setup, info, calibration, monitor or current)";
                return false;
            }
        } else if (arg == "--record") {
            options.record = args[++i];
        } else if (arg == "--monitor") {
            const std::string& mode = args[++i];
            const std::pair<const char*, int> modes[] = {{"all", main_ids::kMonitorAll},
                                                         {"pv", main_ids::kMonitorPv},
                                                         {"current", main_ids::kMonitorCurrent},
                                                         {"percent", main_ids::kMonitorPercent}};
            options.monitorMode = 0;
            for (const auto& [name, command] : modes) {
                if (mode == name) {
                    options.monitorMode = command;
                }
            }
            if (options.monitorMode == 0) {
                error = "unknown monitor mode \"" + mode + "\" (all, pv, current or percent)";
                return false;
            }
        } else if (arg == "-platform") {
            options.platformGiven = true;
            ++i;
        } else if (arg == "-display" || arg == "-style") {
            ++i;
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
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
