#pragma once

#include <iosfwd>

namespace tandrin {
class MainDialog;
class PollEventLoop;
}  // namespace tandrin

namespace tandrin::cli {

class ConsoleShell;
struct LoopCheckOptions;

// What loop-check runs on: the main window's logic over in-memory controls,
// its shell and loop, and the streams to print to.
struct LoopCheckContext {
    const LoopCheckOptions& options;
    bool json;
    MainDialog& dialog;
    ConsoleShell& shell;
    PollEventLoop& loop;
    std::ostream& out;
    std::ostream& err;
};

// Runs the as-found pass; 0 all points passed, 3 one failed, 1 a command
// failed or the check did not complete.
int RunLoopCheck(LoopCheckContext& context);

}  // namespace tandrin::cli
