#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/cli_monitor_options.h"

namespace tandrin::cli {

class CliSession;

// What survey takes beyond the common options.
struct SurveyOptions {
    std::vector<int> addresses{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    int tries = 6;
    double refreshSeconds = 0;  // 0: no refresh
    int rounds = 0;             // refresh rounds, 0 for until stopped
};

// Takes args[i] and its value (advancing i) when `command` is survey and it
// is one of its options; kBad with `error` set for a bad value.
ArgUse ParseSurveyArg(const std::vector<std::string>& args, std::size_t& i,
                      const std::string& command, SurveyOptions& options, std::string& error);

int RunSurvey(CliSession& session);

extern const char* const kSurveyHelp;

}  // namespace tandrin::cli
