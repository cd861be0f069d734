#pragma once

#include <string>
#include <string_view>

#include "platform/json.h"

namespace tandrin::cli {

// One JSON object of a command's result, keys in the order they are added.
// Strings must be UTF-8; doubles go through JsonNumber.
class JsonObject {
  public:
    // Texts, whole numbers, booleans, vectors of them, nested objects and
    // vectors of objects (loop-check's rows).
    template <typename Value>
    JsonObject& Add(std::string_view key, const Value& value) {
        m_json[std::string(key)] = value;
        return *this;
    }
    JsonObject& Add(std::string_view key, double number) { return Add(key, JsonNumber(number)); }
    JsonObject& Add(std::string_view key, float number) { return Add(key, JsonNumber(number)); }

    std::string Text() const { return JsonText(m_json); }
    friend void to_json(Json& json, const JsonObject& object) { json = object.m_json; }

  private:
    Json m_json = Json::object();
};

}  // namespace tandrin::cli
