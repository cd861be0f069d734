#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace tandrin::cli {

struct CliOptions;

class CliSession;

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
// Declares the operands and options of the page command `command` names.
void AddPageArguments(CLI::App& command, CliOptions& all);
// The operands and options fit the command and have the form it needs
// (ranges are the pages' own checks, made when it runs).
bool CheckPageArguments(const std::string& command, const PageArguments& page, std::string& error);

extern const char* const kPageCommandsHelp;

// The page commands, each through the page's own logic on in-memory
// controls; the exit code.
int RunInfo(CliSession& session);
int RunSetInfo(CliSession& session);
int RunSetAddress(CliSession& session);
int RunSetFinalAssembly(CliSession& session);
int RunFixCurrent(CliSession& session);
int RunTrim(CliSession& session);
int RunSetLowerRange(CliSession& session);
int RunSetUpperRange(CliSession& session);

}  // namespace tandrin::cli
