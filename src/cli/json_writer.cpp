#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tandrin::cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";  // JSON has no NaN or infinity
    }
    // A float widened to double prints as that float (25.1, not
    // 25.100000381469727); any other double with every digit it needs.
    char text[40];
    const float single = static_cast<float>(value);
    const auto end = static_cast<double>(single) == value
                         ? std::to_chars(text, text + sizeof text, single).ptr
                         : std::to_chars(text, text + sizeof text, value).ptr;
    std::string out(text, end);
    if (out.find_first_of(".e") == std::string::npos) {
        out += ".0";
    }
    return out;
}

void JsonObject::Key(std::string_view key) {
    if (!m_body.empty()) {
        m_body += ",";
    }
    m_body += JsonString(key) + ":";
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) {
    Key(key);
    m_body += JsonString(text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, double number) {
    Key(key);
    m_body += JsonNumber(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, int number) {
    Key(key);
    m_body += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool value) {
    Key(key);
    m_body += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const std::vector<std::string>& texts) {
    Key(key);
    m_body += "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        m_body += (i == 0 ? "" : ",") + JsonString(texts[i]);
    }
    m_body += "]";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const std::vector<int>& numbers) {
    Key(key);
    m_body += "[";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        m_body += (i == 0 ? "" : ",") + std::to_string(numbers[i]);
    }
    m_body += "]";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const std::vector<JsonObject>& objects) {
    Key(key);
    m_body += "[";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        m_body += (i == 0 ? "" : ",") + objects[i].Text();
    }
    m_body += "]";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const JsonObject& object) {
    Key(key);
    m_body += object.Text();
    return *this;
}

}  // namespace tandrin::cli
