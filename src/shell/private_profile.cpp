#include "shell/private_profile.h"

#include <cstring>

namespace tandrin {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The texts end up in C strings on every path, so a stray zero byte ends the
// value instead of hiding the rest of it.
std::string_view CutAtZero(std::string_view value) {
    const std::size_t zero = value.find('\0');
    return zero == std::string_view::npos ? value : value.substr(0, zero);
}

// Section name of a header line ("[name]", closing bracket optional).
std::string_view SectionName(std::string_view line) {
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return TrimBlanks(close == std::string_view::npos ? line : line.substr(0, close));
}

}  // namespace

bool ProfileNameEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view TakeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

ProfileLine ClassifyProfileLine(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';') {
        return {};
    }
    if (line.front() == '[') {
        return {ProfileLine::kSection, SectionName(line), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    return {ProfileLine::kKey, TrimBlanks(line.substr(0, equals)),
            CutAtZero(Unquote(TrimBlanks(line.substr(equals + 1))))};
}

std::vector<ProfileEntry> ParseProfile(std::string_view text) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::vector<ProfileEntry> entries;
    std::string_view section;
    bool inSection = false;
    while (!text.empty()) {
        const ProfileLine line = ClassifyProfileLine(TakeLine(text));
        if (line.kind == ProfileLine::kSection) {
            section = line.name;
            inSection = true;
        } else if (line.kind == ProfileLine::kKey && inSection) {
            entries.push_back(
                {std::string(section), std::string(line.name), std::string(line.value)});
        }
    }
    return entries;
}

std::string LookupProfileString(std::string_view text, std::string_view section,
                                std::string_view key) {
    for (const ProfileEntry& entry : ParseProfile(text)) {
        if (ProfileNameEquals(entry.section, section) && ProfileNameEquals(entry.key, key)) {
            return entry.value.substr(0, kProfileValueLimit);
        }
    }
    return {};
}

FileReadStatus ReadWholeFile(const std::string& path, std::string& out, std::uint64_t ceiling) {
    out.clear();
    return ReadRegularFile(path, ceiling, out);
}

std::string FileReadProblem(const std::string& path, FileReadStatus status, std::uint64_t ceiling) {
    switch (status.error) {
        case FileReadError::kNone:
            return {};
        case FileReadError::kNotRegular:
            return path + " is not a regular file";
        case FileReadError::kTooLarge:
            return path + " is larger than " + std::to_string(ceiling >> 20) + " MB";
        case FileReadError::kCannotOpen:
        case FileReadError::kReadFailed:
            break;
    }
    return "cannot read " + path +
           (status.errorNumber != 0 ? std::string(": ") + std::strerror(status.errorNumber) : "");
}

std::string FileWriteProblem(const std::string& path, int errorNumber) {
    return "cannot write " + path +
           (errorNumber != 0 ? std::string(": ") + std::strerror(errorNumber) : std::string());
}

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key) {
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text)) {
        return {};
    }
    return LookupProfileString(text, section, key);
}

}  // namespace tandrin
