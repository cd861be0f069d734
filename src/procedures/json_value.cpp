#include "procedures/json_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tandrin {

namespace {

constexpr int kMaxDepth = 32;

class JsonReader {
  public:
    explicit JsonReader(const std::string& text) : m_text(text) {}

    std::optional<JsonValue> Document(std::string& error) {
        // Editors on some systems start a UTF-8 file with a byte-order mark.
        if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            m_pos = 3;
        }
        JsonValue value;
        if (!Value(value, 0)) {
            error = m_error + " at byte " + std::to_string(m_pos);
            return std::nullopt;
        }
        SkipBlanks();
        if (m_pos != m_text.size()) {
            error = "text after the document at byte " + std::to_string(m_pos);
            return std::nullopt;
        }
        return value;
    }

  private:
    bool Fail(const char* what) {
        m_error = what;
        return false;
    }
    void SkipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }
    bool Literal(const char* word) {
        const std::string_view expected(word);
        if (m_text.compare(m_pos, expected.size(), expected) != 0) {
            return Fail("unknown word");
        }
        m_pos += expected.size();
        return true;
    }
    bool Value(JsonValue& value, int depth);
    bool Object(JsonValue& value, int depth);
    bool Array(JsonValue& value, int depth);
    bool Number(JsonValue& value);
    bool String(std::string& out);
    bool Escape(std::string& out);
    bool Utf8Sequence(std::string& out);
    bool Hex4(unsigned& code);

    const std::string& m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

bool JsonReader::Value(JsonValue& value, int depth) {
    if (depth > kMaxDepth) {
        return Fail("nested too deeply");
    }
    SkipBlanks();
    if (m_pos >= m_text.size()) {
        return Fail("unexpected end");
    }
    switch (m_text[m_pos]) {
        case '{':
            return Object(value, depth);
        case '[':
            return Array(value, depth);
        case '"':
            value.kind = JsonValue::Kind::kString;
            return String(value.text);
        case 't':
            value.kind = JsonValue::Kind::kBool;
            value.boolean = true;
            return Literal("true");
        case 'f':
            value.kind = JsonValue::Kind::kBool;
            return Literal("false");
        case 'n':
            value.kind = JsonValue::Kind::kNull;
            return Literal("null");
        default:
            return Number(value);
    }
}

bool JsonReader::Object(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::kObject;
    ++m_pos;
    SkipBlanks();
    if (m_pos < m_text.size() && m_text[m_pos] == '}') {
        ++m_pos;
        return true;
    }
    while (true) {
        SkipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
            return Fail("expected a key");
        }
        std::string key;
        if (!String(key)) {
            return false;
        }
        SkipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != ':') {
            return Fail("expected ':'");
        }
        ++m_pos;
        JsonValue member;
        if (!Value(member, depth + 1)) {
            return false;
        }
        // Which of two values was meant cannot be known: refuse the file.
        if (!value.members.emplace(key, std::move(member)).second) {
            m_error = "the key " + JsonQuoted(key) + " appears twice";
            return false;
        }
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == ',') {
            ++m_pos;
            continue;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        return Fail("expected ',' or '}'");
    }
}

bool JsonReader::Array(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::kArray;
    ++m_pos;
    SkipBlanks();
    if (m_pos < m_text.size() && m_text[m_pos] == ']') {
        ++m_pos;
        return true;
    }
    while (true) {
        JsonValue item;
        if (!Value(item, depth + 1)) {
            return false;
        }
        value.items.push_back(std::move(item));
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == ',') {
            ++m_pos;
            continue;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == ']') {
            ++m_pos;
            return true;
        }
        return Fail("expected ',' or ']'");
    }
}

bool JsonReader::Number(JsonValue& value) {
    // The JSON grammar, checked before from_chars (which takes more).
    const std::size_t start = m_pos;
    const auto digits = [&] {
        const std::size_t from = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            ++m_pos;
        }
        return m_pos - from;
    };
    if (m_pos < m_text.size() && m_text[m_pos] == '-') {
        ++m_pos;
    }
    const std::size_t intStart = m_pos;
    const std::size_t intDigits = digits();
    if (intDigits == 0 || (intDigits > 1 && m_text[intStart] == '0')) {
        return Fail("malformed number");
    }
    if (m_pos < m_text.size() && m_text[m_pos] == '.') {
        ++m_pos;
        if (digits() == 0) {
            return Fail("malformed number");
        }
    }
    if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
        ++m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
            ++m_pos;
        }
        if (digits() == 0) {
            return Fail("malformed number");
        }
    }
    const char* first = m_text.data() + start;
    const char* last = m_text.data() + m_pos;
    const auto result = std::from_chars(first, last, value.number);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value.number)) {
        return Fail("number out of range");
    }
    value.kind = JsonValue::Kind::kNumber;
    return true;
}

bool JsonReader::Hex4(unsigned& code) {
    code = 0;
    for (int i = 0; i < 4; ++i, ++m_pos) {
        if (m_pos >= m_text.size()) {
            return Fail("unexpected end");
        }
        const char c = m_text[m_pos];
        const unsigned digit = c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
                               : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                               : c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
                                                      : 16u;
        if (digit == 16) {
            return Fail("malformed \\u escape");
        }
        code = code * 16 + digit;
    }
    return true;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool JsonReader::Escape(std::string& out) {
    ++m_pos;  // the backslash
    if (m_pos >= m_text.size()) {
        return Fail("unexpected end");
    }
    const char c = m_text[m_pos++];
    switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            return Fail("unknown escape");
    }
    unsigned code = 0;
    if (!Hex4(code)) {
        return false;
    }
    if (code >= 0xDC00 && code <= 0xDFFF) {
        return Fail("lone low surrogate");
    }
    if (code >= 0xD800 && code <= 0xDBFF) {
        unsigned low = 0;
        if (m_text.compare(m_pos, 2, "\\u") != 0) {
            return Fail("lone high surrogate");
        }
        m_pos += 2;
        if (!Hex4(low)) {
            return false;
        }
        if (low < 0xDC00 || low > 0xDFFF) {
            return Fail("lone high surrogate");
        }
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, code);
    return true;
}

// One well-formed UTF-8 sequence: no overlong forms, surrogates or values
// beyond U+10FFFF.
bool JsonReader::Utf8Sequence(std::string& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(m_text[i]); };
    const unsigned lead = byte(m_pos);
    std::size_t length = 0;
    unsigned code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return Fail("text is not UTF-8");
    }
    if (m_pos + length > m_text.size()) {
        return Fail("text is not UTF-8");
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(m_pos + i) & 0xC0) != 0x80) {
            return Fail("text is not UTF-8");
        }
        code = (code << 6) | (byte(m_pos + i) & 0x3F);
    }
    const unsigned least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return Fail("text is not UTF-8");
    }
    out.append(m_text, m_pos, length);
    m_pos += length;
    return true;
}

bool JsonReader::String(std::string& out) {
    ++m_pos;  // the opening quote
    while (m_pos < m_text.size()) {
        const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
        if (c == '"') {
            ++m_pos;
            return true;
        }
        if (c < 0x20) {
            return Fail("control character in a string");
        }
        if (c == '\\') {
            if (!Escape(out)) {
                return false;
            }
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++m_pos;
        } else if (!Utf8Sequence(out)) {
            return false;
        }
    }
    return Fail("unterminated string");
}

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const {
    if (kind != Kind::kObject) {
        return nullptr;
    }
    const auto found = members.find(key);
    return found == members.end() ? nullptr : &found->second;
}

std::optional<JsonValue> ParseJson(const std::string& text, std::string& error) {
    return JsonReader(text).Document(error);
}

std::string JsonQuoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonFloat(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<float>(value));
    std::string out(text, result.ptr);
    if (out.find_first_of(".e") == std::string::npos) {
        out += ".0";
    }
    return out;
}

}  // namespace tandrin
