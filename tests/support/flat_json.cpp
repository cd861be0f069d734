#include "support/flat_json.h"

#include <cctype>
#include <cstdlib>

namespace tandrin::test {

namespace {

class Reader {
  public:
    explicit Reader(const std::string& text) : m_text(text) {}

    std::optional<std::map<std::string, JsonValue>> Object() {
        std::map<std::string, JsonValue> object;
        if (!Take('{') || !Members(object, true)) {
            return std::nullopt;
        }
        return End() ? std::optional(object) : std::nullopt;
    }

  private:
    // After the '{': the members and the closing '}'.
    bool Members(std::map<std::string, JsonValue>& object, bool nestingAllowed) {
        if (Take('}')) {
            return true;
        }
        do {
            std::string key;
            JsonValue value;
            if (!String(key) || !Take(':')) {
                return false;
            }
            if (nestingAllowed && Take('{')) {
                value.kind = JsonValue::Kind::kObject;
                if (!Members(value.members, false)) {
                    return false;
                }
            } else if (!Value(value, true)) {
                return false;
            }
            object[key] = value;
        } while (Take(','));
        return Take('}');
    }
    void Blanks() {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) {
            ++m_at;
        }
    }
    bool Take(char c) {
        Blanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool End() {
        Blanks();
        return m_at == m_text.size();
    }
    bool String(std::string& out) {
        if (!Take('"')) {
            return false;
        }
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            char c = m_text[m_at++];
            if (c == '\\') {
                if (m_at >= m_text.size()) {
                    return false;
                }
                const char escaped = m_text[m_at++];
                c = escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped == 'r' ? '\r' : escaped;
            }
            out += c;
        }
        return m_at++ < m_text.size();
    }
    bool Value(JsonValue& value, bool arrayAllowed) {
        Blanks();
        if (m_at >= m_text.size()) {
            return false;
        }
        if (m_text[m_at] == '"') {
            value.kind = JsonValue::Kind::kString;
            return String(value.text);
        }
        if (arrayAllowed && Take('[')) {
            value.kind = JsonValue::Kind::kArray;
            if (Take(']')) {
                return true;
            }
            do {
                JsonValue item;
                if (!Value(item, false)) {
                    return false;
                }
                value.items.push_back(item);
            } while (Take(','));
            return Take(']');
        }
        for (const bool b : {true, false}) {
            const std::string word = b ? "true" : "false";
            if (m_text.compare(m_at, word.size(), word) == 0) {
                m_at += word.size();
                value.kind = JsonValue::Kind::kBool;
                value.boolean = b;
                return true;
            }
        }
        const char* start = m_text.c_str() + m_at;
        char* end = nullptr;
        value.kind = JsonValue::Kind::kNumber;
        value.number = std::strtod(start, &end);
        m_at += static_cast<std::size_t>(end - start);
        return end != start;
    }

    const std::string& m_text;
    std::size_t m_at = 0;
};

}  // namespace

std::optional<std::map<std::string, JsonValue>> ParseFlatJson(const std::string& text) {
    return Reader(text).Object();
}

}  // namespace tandrin::test
