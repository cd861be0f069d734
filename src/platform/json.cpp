#include "platform/json.h"

#include <charconv>
#include <cmath>
#include <set>
#include <vector>

namespace tandrin {

Json JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    const float single = static_cast<float>(value);
    if (static_cast<double>(single) != value) {
        return value;
    }
    char text[32];
    const char* end = std::to_chars(text, text + sizeof text, single).ptr;
    double shortest = value;
    std::from_chars(text, end, shortest);
    return shortest;
}

std::string JsonText(const Json& value, int indent) {
    return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

namespace {

// Walks a document without building it, refusing what the library's parser
// lets through: a repeated key, and nesting beyond the limit. (The parser's
// callback form cannot serve: it scans an array's members again at the
// end of each object in it, so many small objects take quadratic time.)
class Checker : public nlohmann::json_sax<JsonDocument> {
  public:
    explicit Checker(int depth) : m_depth(depth) {}

    const std::string& Error() const { return m_error; }

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        m_keys.emplace_back();
        return Open();
    }
    bool key(string_t& key) override {
        if (m_keys.back().insert(key).second) {
            return true;
        }
        // Which of the two values was meant cannot be known.
        return Refuse("the key " + JsonDocument(key).dump() + " appears twice");
    }
    bool end_object() override {
        m_keys.pop_back();
        --m_open;
        return true;
    }
    bool start_array(std::size_t) override { return Open(); }
    bool end_array() override {
        --m_open;
        return true;
    }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& e) override {
        // "[json.exception.parse_error.101] parse error at line 3, ...":
        // the part after the library's tag.
        const std::string what = e.what();
        const auto tag = what.find("] ");
        return Refuse(tag == std::string::npos ? what : what.substr(tag + 2));
    }

  private:
    bool Open() { return ++m_open <= m_depth || Refuse("nested too deeply"); }
    bool Refuse(std::string error) {
        m_error = std::move(error);
        return false;
    }

    int m_depth;
    int m_open = 0;
    // The keys of each object still open, innermost last.
    std::vector<std::set<std::string>> m_keys;
    std::string m_error;
};

}  // namespace

std::optional<JsonDocument> ParseJson(const std::string& text, std::string& error,
                                      JsonLimits limits) {
    if (text.size() > limits.bytes) {
        error = "larger than " + std::to_string(limits.bytes) + " bytes";
        return std::nullopt;
    }
    Checker checker(limits.depth);
    if (!JsonDocument::sax_parse(text, &checker)) {
        error = checker.Error();
        return std::nullopt;
    }
    // Checked: the parse that builds it cannot fail.
    return JsonDocument::parse(text, nullptr, false);
}

}  // namespace tandrin
