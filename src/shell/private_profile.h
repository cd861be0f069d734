#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/regular_file.h"

namespace tandrin {

// Reader for private-profile (INI) files: the language files, "kvrfw.dat"
// and the settings file. Section and key names match without regard to
// ASCII letter case; a value is the text after the first "=" with blanks
// trimmed and one pair of matching quotes removed. Lines that are neither a
// section header nor hold an "=" are ignored, as are lines starting with
// ";". Texts are bytes; no code page is assumed.

// Longest value a lookup returns; longer values are cut.
constexpr std::size_t kProfileValueLimit = 255;

struct ProfileEntry {
    std::string section;  // as written, blanks trimmed
    std::string key;
    std::string value;  // trimmed and unquoted, not cut
};

// How the reader sees one line (without its line end).
struct ProfileLine {
    enum Kind { kIgnored, kSection, kKey };
    Kind kind = kIgnored;
    std::string_view name;   // section or key name, blanks trimmed
    std::string_view value;  // kKey: trimmed and unquoted, not cut
};

ProfileLine ClassifyProfileLine(std::string_view line);

// Takes the next line off `text`, without its LF or CRLF end.
std::string_view TakeLine(std::string_view& text);

// Every key line under a section header, in file order.
std::vector<ProfileEntry> ParseProfile(std::string_view text);

// The first value of `key` in any section named `section`, cut to
// kProfileValueLimit bytes; empty when there is none.
std::string LookupProfileString(std::string_view text, std::string_view section,
                                std::string_view key);

// Largest settings, language, product or snapshot file read: a real one is
// a few kilobytes.
constexpr std::uint64_t kTextFileCeiling = 4u << 20;

// The same, reading the file at each call; a missing, unreadable or refused
// file gives the empty text.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key);

// Whole file as bytes, when it is a regular file of at most `ceiling`
// bytes; a FIFO, a device or a directory is refused without waiting.
FileReadStatus ReadWholeFile(const std::string& path, std::string& out,
                             std::uint64_t ceiling = kTextFileCeiling);

// Why `path` was not read, in English: "PATH is not a regular file", ...
std::string FileReadProblem(const std::string& path, FileReadStatus status,
                            std::uint64_t ceiling = kTextFileCeiling);

// "cannot write PATH: No space left on device", from the errno of the
// failed write (0: no reason known).
std::string FileWriteProblem(const std::string& path, int errorNumber);

// ASCII case-insensitive equality, as the profile names compare.
bool ProfileNameEquals(std::string_view a, std::string_view b);

}  // namespace tandrin
