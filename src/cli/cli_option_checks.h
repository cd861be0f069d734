#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tandrin::cli {

// Value checks for the options. A value that fails one is worded
// "--name takes …", so each check's message starts with "takes".

// A whole number from `low` to `high`.
CLI::Validator WholeIn(long long low, long long high, const std::string& takes);
// One of `names`, exactly as written.
CLI::Validator OneOf(const std::vector<std::string>& names);
// Whatever `ok` accepts; `shown` is what --help says the option takes.
CLI::Validator Holds(std::function<bool(const std::string&)> ok, const std::string& shown,
                     const std::string& takes);

// An option whose value lands in `target` only when it is given.
template <class T>
CLI::Option* AddOptional(CLI::App& app, const std::string& name, std::optional<T>& target,
                         const std::string& description) {
    return app.add_option_function<T>(
        name, [&target](const T& value) { target = value; }, description);
}

}  // namespace tandrin::cli
