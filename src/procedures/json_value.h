#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tandrin {

// A JSON value as the snapshot files need it. Objects keep their keys
// sorted; a key repeated in one object is refused.
struct JsonValue {
    enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
    Kind kind = Kind::kNull;
    bool boolean = false;
    double number = 0;
    std::string text;  // UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `key` of an object; nullptr when absent or not an object.
    const JsonValue* Find(const std::string& key) const;
};

// Reads one JSON document strictly (RFC 8259): nothing but blanks may
// follow it, strings must be valid UTF-8, nesting is limited, no object
// repeats a key; a leading UTF-8 byte-order mark is skipped. Nothing,
// with `error` saying where, for anything else.
std::optional<JsonValue> ParseJson(const std::string& text, std::string& error);

// A JSON string literal of UTF-8 text.
std::string JsonQuoted(const std::string& text);
// The shortest text that reads back as the same float; whole numbers
// carry ".0", so they read as numbers with a fraction.
std::string JsonFloat(double value);

}  // namespace tandrin
