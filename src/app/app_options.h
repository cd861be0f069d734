#pragma once

#include <string>
#include <vector>

namespace tandrin {

struct AppOptions {
    bool help = false;
    std::string helpText;  // --help: what to print
    bool demo = false;
    std::string port;            // --port PATH: that port, whether probed or not, not stored
    bool trace = false;          // --trace: every frame to the trace file
    std::string screenshot;      // --screenshot FILE: render the window to a PNG and exit
    std::string language;        // --lang NAME: that language, not stored
    int page = -1;               // --page NAME: that page shown (screenshots)
    bool quitWhenShown = false;  // --quit-when-shown: print the time shown and exit
    bool platformGiven = false;  // Qt's own -platform option
    std::string record;          // --record FILE.tdd: open that trend record on the monitor page
    int monitorMode = 0;         // --monitor MODE: start recording (its toolbar command)
};

// False with `error` set for an unknown option, a missing or bad value,
// --demo with --port, or --page without --screenshot. Qt's own options
// -platform, -display and -style pass through to Qt.
bool ParseAppOptions(const std::vector<std::string>& args, AppOptions& options, std::string& error);

// Why no window can be shown, from the environment (null for unset), or
// empty when one can: Qt would otherwise abort with a terse message.
std::string DisplayProblem(const char* qpaPlatform, const char* display, const char* wayland,
                           bool platformGiven);

}  // namespace tandrin
