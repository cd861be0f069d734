#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "integration/child_program.h"
#include "support/flat_json.h"

namespace tandrin::test {

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A program's output, a line each, without their newlines.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
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

// The text run and the --json run of `args` both fail with `status` and
// say `part`: on standard error, and as the one object {"error": …}.
// `run(args)` runs tandrin-cli; --json goes first, where it can never be
// taken for an option's missing value.
template <class Run>
void ExpectCliFailure(Run run, const std::vector<std::string>& args, int status,
                      const std::string& part) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const CliResult text = run(args);
    EXPECT_EQ(text.status, status);
    EXPECT_EQ(text.out, "");
    EXPECT_TRUE(Has(text.err, "tandrin-cli: ") && Has(text.err, part)) << text.err;

    std::vector<std::string> jsonArgs = args;
    jsonArgs.insert(jsonArgs.begin(), "--json");
    const CliResult json = run(jsonArgs);
    EXPECT_EQ(json.status, status);
    const auto object = ParseFlatJson(json.out);
    ASSERT_TRUE(object.has_value()) << "one JSON object: " << json.out;
    ASSERT_EQ(object->size(), 1u) << json.out;
    ASSERT_EQ(object->count("error"), 1u) << json.out;
    EXPECT_TRUE(Has(object->at("error").text, part)) << json.out;
}

}  // namespace tandrin::test
