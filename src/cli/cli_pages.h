#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrin {
class MainDialog;
class PollEventLoop;
}  // namespace tandrin

namespace tandrin::cli {

class ConsoleShell;
struct CliOptions;

// What the device page commands take beyond the common options.
struct PageArguments {
    std::vector<std::string> operands;  // after the command
    std::optional<std::string> tag;
    std::optional<std::string> descriptor;
    std::optional<std::string> message;
    std::optional<std::string> date;  // YYYY-MM-DD
};

// info, set-info, set-address, set-final-assembly, fix-current, trim,
// set-lower-range, set-upper-range.
bool IsPageCommand(std::string_view command);
// Takes args[i] (and its value, advancing i) when it is an option of the
// page commands. False when it is none; true with `error` set when its
// value is missing.
bool TakePageOption(const std::vector<std::string>& args, std::size_t& i, PageArguments& page,
                    std::string& error);
// The operands and options fit the command and have the form it needs
// (ranges are the pages' own checks, made when it runs).
bool CheckPageArguments(const std::string& command, const PageArguments& page, std::string& error);

extern const char* const kPageCommandsHelp;

// What a page command runs on: the main window's logic over in-memory
// controls, its shell and loop, and the streams to print to.
struct PageCommandContext {
    const CliOptions& options;
    MainDialog& dialog;
    ConsoleShell& shell;
    PollEventLoop& loop;
    std::ostream& out;
    std::ostream& err;
};

// Runs a page command through the page's own logic; the exit code.
int RunPageCommand(PageCommandContext& context);

}  // namespace tandrin::cli
