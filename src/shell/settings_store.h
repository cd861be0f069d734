#pragma once

#include <string>

namespace tandrin {

// The key under which the two settings "Port" and "Language" are kept.
constexpr const char* kSettingsKey = "Software\\Quorvel\\Tandrin";

// Longest text a read returns; a longer stored value counts as not stored.
constexpr std::size_t kSettingsValueLimit = 255;

// The per-user settings store: a small file,
// $XDG_CONFIG_HOME/tandrin/settings.ini (default ~/.config), with the key
// path as section and each value as a quoted, escaped key line, so any text
// round-trips. Key path and value name compare without regard to case.

// $`variable` when it is an absolute path, else $HOME/`homeRelative`;
// empty when no home directory is known.
std::string XdgHome(const char* variable, const char* homeRelative);

// Path of that file; empty when no home directory is known.
std::string SettingsFilePath();

// 1 with the stored text in `out`; 0 with `out` empty when the value is
// missing, unreadable or longer than kSettingsValueLimit. Never writes.
int RegReadString(const std::string& keyPath, const std::string& valueName, std::string& out);

// Why the settings file is there but not read (a FIFO, a device, too large,
// no permission); empty when it is read or simply absent. Such a file is
// treated as empty and never overwritten.
std::string SettingsFileProblem();

// 1 when `text` was stored; every other key and value in the file is kept.
// 0 when it could not be (or the names cannot be written as a key line).
int RegWriteString(const std::string& keyPath, const std::string& valueName,
                   const std::string& text);

}  // namespace tandrin
