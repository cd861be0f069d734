#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tandrin::test {

// One value of a flat JSON object: a string, a number, a boolean, an array
// of strings or numbers, or an object of those (device_status).
struct JsonValue {
    enum class Kind { kString, kNumber, kBool, kArray, kObject };
    Kind kind = Kind::kString;
    std::string text;
    double number = 0;
    bool boolean = false;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;
};

// Reads one flat JSON object (no nesting beyond arrays of scalars and one
// level of objects), strictly: nothing but blanks may follow it. Nothing for
// malformed input.
std::optional<std::map<std::string, JsonValue>> ParseFlatJson(const std::string& text);

}  // namespace tandrin::test
