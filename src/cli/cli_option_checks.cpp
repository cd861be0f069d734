#include "cli/cli_option_checks.h"

#include <algorithm>
#include <charconv>

namespace tandrin::cli {

CLI::Validator WholeIn(long long low, long long high, const std::string& takes) {
    const auto inRange = [low, high](const std::string& text) {
        long long value = 0;
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        return !text.empty() && result.ec == std::errc() && result.ptr == end && value >= low &&
               value <= high;
    };
    return Holds(inRange, std::to_string(low) + ".." + std::to_string(high), takes);
}

CLI::Validator OneOf(const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    std::string shown;
    for (const std::string& name : names) {
        shown += (shown.empty() ? "" : "|") + name;
    }
    return CLI::Validator(
        [names, list](std::string& text) {
            const bool ok = std::find(names.begin(), names.end(), text) != names.end();
            return ok ? std::string() : "takes " + list;
        },
        shown);
}

CLI::Validator Holds(std::function<bool(const std::string&)> ok, const std::string& shown,
                     const std::string& takes) {
    return CLI::Validator(
        [ok, takes](std::string& text) { return ok(text) ? std::string() : "takes " + takes; },
        shown);
}

}  // namespace tandrin::cli
