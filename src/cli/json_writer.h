#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tandrin::cli {

// One flat JSON object, keys in the order they are added. Strings must be
// UTF-8.
class JsonObject {
  public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, double number);
    JsonObject& Add(std::string_view key, int number);
    JsonObject& Add(std::string_view key, bool value);
    JsonObject& Add(std::string_view key, const std::vector<std::string>& texts);
    JsonObject& Add(std::string_view key, const std::vector<int>& numbers);
    // An array of objects (loop-check's rows).
    JsonObject& Add(std::string_view key, const std::vector<JsonObject>& objects);
    // A nested object (device_status).
    JsonObject& Add(std::string_view key, const JsonObject& object);
    std::string Text() const { return "{" + m_body + "}"; }

  private:
    void Key(std::string_view key);
    std::string m_body;
};

std::string JsonString(std::string_view text);
// Shortest text that reads back as the same double (as the float it was,
// for a widened float), with ".0" on whole numbers so a reader always sees
// a number with a fraction; null for infinities and NaN.
std::string JsonNumber(double value);

}  // namespace tandrin::cli
