#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace tandrin::cli {

class CliSession;

// What survey takes beyond the common options.
struct SurveyOptions {
    std::vector<int> addresses{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    int tries = 6;
    double refreshSeconds = 0;  // 0: no refresh
    int rounds = 0;             // refresh rounds, 0 for until stopped
};

struct CliOptions;

// Declares survey's options on its subcommand.
void AddSurveyOptions(CLI::App& command, CliOptions& all);

int RunSurvey(CliSession& session);

extern const char* const kSurveyHelp;

}  // namespace tandrin::cli
