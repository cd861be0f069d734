#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace tandrin {

// The one JSON vocabulary of the program: the command line's --json output
// and the snapshot files. Objects keep their keys in the order added.
using Json = nlohmann::ordered_json;

// A number as JSON holds it: null when not finite (JSON has no NaN or
// infinity); a float widened to double as the double its shortest text
// denotes (25.1, not 25.100000381469727); any other double as it is.
Json JsonNumber(double value);

// Compact text, or indented by `indent` blanks. Bytes that are not UTF-8
// become U+FFFD, so the output is always valid JSON.
std::string JsonText(const Json& value, int indent = -1);

// A document read: keys sorted, so a hostile file of many keys costs
// log time each, not linear.
using JsonDocument = nlohmann::json;

// Nesting and size a document from outside may have.
struct JsonLimits {
    int depth = 32;
    std::size_t bytes = 1u << 20;
};

// Reads one JSON document strictly (RFC 8259): nothing but blanks may
// follow it, strings must be valid UTF-8, no object repeats a key (which of
// two was meant cannot be known), nesting and size within `limits`; a
// leading UTF-8 byte-order mark is skipped. Nothing, with `error` saying
// what and where, for anything else.
std::optional<JsonDocument> ParseJson(const std::string& text, std::string& error,
                                      JsonLimits limits = {});

}  // namespace tandrin
