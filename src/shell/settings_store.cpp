#include "shell/settings_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "shell/atomic_file.h"
#include "shell/private_profile.h"

namespace tandrin {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string HomeFromPasswd() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}

// Quoted, with backslash escapes for the quote, the backslash and control
// bytes, so that blanks, quotes and line breaks survive the profile rules.
std::string EncodeValue(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Undoes EncodeValue; a backslash starting no known escape stays as it is,
// so hand-written values without escapes read unchanged.
std::string DecodeValue(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] != '\\') {
            out += text[i];
        } else if (next == '\\' || next == '"') {
            out += next;
            ++i;
        } else if (next == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
                   HexValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
            i += 3;
        } else {
            out += '\\';
        }
    }
    return out;
}

bool HasControlByte(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

bool HasOuterBlank(std::string_view text) {
    return text.front() == ' ' || text.back() == ' ';
}

// Names that read back as written: a section header and a key line.
bool IsWritableName(std::string_view keyPath, std::string_view valueName) {
    if (keyPath.empty() || valueName.empty() || HasControlByte(keyPath) ||
        HasControlByte(valueName) || HasOuterBlank(keyPath) || HasOuterBlank(valueName)) {
        return false;
    }
    return keyPath.find(']') == std::string_view::npos &&
           valueName.find('=') == std::string_view::npos && valueName.front() != '[' &&
           valueName.front() != ';';
}

struct KeyPlace {
    std::optional<std::size_t> header;  // first header of the key path
    std::optional<std::size_t> line;    // the line the reader would take
};

KeyPlace FindKeyPlace(const std::vector<std::string>& lines, const std::string& keyPath,
                      const std::string& valueName) {
    KeyPlace place;
    bool inKey = false;
    for (std::size_t i = 0; i < lines.size() && !place.line; ++i) {
        const ProfileLine line = ClassifyProfileLine(lines[i]);
        if (line.kind == ProfileLine::kSection) {
            inKey = ProfileNameEquals(line.name, keyPath);
            if (inKey && !place.header) {
                place.header = i;
            }
        } else if (line.kind == ProfileLine::kKey && inKey &&
                   ProfileNameEquals(line.name, valueName)) {
            place.line = i;
        }
    }
    return place;
}

// The file's text with the value set: the line the reader would take is
// replaced, else the line goes under the first header of the key path,
// else a new section is appended. Every other line is kept.
std::string WithValue(std::string_view text, const std::string& keyPath,
                      const std::string& valueName, const std::string& encoded) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::vector<std::string> lines;
    while (!text.empty()) {
        lines.emplace_back(TakeLine(text));
    }
    const std::string keyLine = valueName + "=" + encoded;
    const KeyPlace place = FindKeyPlace(lines, keyPath, valueName);
    if (place.line) {
        lines[*place.line] = keyLine;
    } else if (place.header) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*place.header + 1), keyLine);
    } else {
        if (!lines.empty() && !lines.back().empty()) {
            lines.emplace_back();
        }
        lines.push_back("[" + keyPath + "]");
        lines.push_back(keyLine);
    }
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\n";
    }
    return out;
}

}  // namespace

// XDG base directories: a relative value is to be ignored.
std::string XdgHome(const char* variable, const char* homeRelative) {
    const char* xdg = std::getenv(variable);
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* homeVariable = std::getenv("HOME");
    const std::string home =
        homeVariable != nullptr && homeVariable[0] == '/' ? homeVariable : HomeFromPasswd();
    return home.empty() ? std::string() : home + "/" + homeRelative;
}

std::string SettingsFilePath() {
    const std::string home = XdgHome("XDG_CONFIG_HOME", ".config");
    return home.empty() ? std::string() : home + "/tandrin/settings.ini";
}

int RegReadString(const std::string& keyPath, const std::string& valueName, std::string& out) {
    out.clear();
    const std::string path = SettingsFilePath();
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text)) {
        return 0;
    }
    for (const ProfileEntry& entry : ParseProfile(text)) {
        if (ProfileNameEquals(entry.section, keyPath) && ProfileNameEquals(entry.key, valueName)) {
            std::string value = DecodeValue(entry.value);
            if (value.size() > kSettingsValueLimit) {
                return 0;
            }
            out = std::move(value);
            return 1;
        }
    }
    return 0;
}

std::string SettingsFileProblem() {
    const std::string path = SettingsFilePath();
    std::string text;
    const FileReadStatus read = path.empty() ? FileReadStatus{} : ReadWholeFile(path, text);
    if (read || (read.error == FileReadError::kCannotOpen && read.errorNumber == ENOENT)) {
        return {};
    }
    return FileReadProblem(path, read);
}

int RegWriteString(const std::string& keyPath, const std::string& valueName,
                   const std::string& text) {
    const std::string path = SettingsFilePath();
    if (path.empty() || !IsWritableName(keyPath, valueName)) {
        return 0;
    }
    std::string old;
    // A file that is there but cannot be read is not overwritten: the other
    // values in it would be lost.
    if (!ReadWholeFile(path, old) && access(path.c_str(), F_OK) == 0) {
        return 0;
    }
    if (!MakeDirectories(path.substr(0, path.rfind('/')))) {
        return 0;
    }
    return WriteFileAtomically(path, WithValue(old, keyPath, valueName, EncodeValue(text))) ? 1 : 0;
}

}  // namespace tandrin
