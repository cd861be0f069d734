#pragma once

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "integration/child_program.h"

namespace tandrin::test {

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// What a script sees of one run of a program.
struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Runs `args` (argv[0] first) with standard error in `errFile`, waiting
// at most `limit` for its output and again for its end.
inline CliResult RunProgram(const std::vector<std::string>& args, const std::string& errFile,
                            std::chrono::seconds limit) {
    ChildProgram program(args, {.stdoutFile = "", .stderrFile = errFile});
    std::string out = program.ReadAll(limit);
    const int status = program.Wait(limit);
    return {status, out, Slurp(errFile)};
}

}  // namespace tandrin::test
