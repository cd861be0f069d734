#pragma once

#include <string>

namespace tandrin {

// Creates `dir` and any missing parents (mode 0700, as for per-user
// configuration); true when it exists afterwards.
bool MakeDirectories(const std::string& dir);

// Replaces the file at `path` with `content` so that a reader sees either
// the old or the new file, never a part: a temporary file in the same
// directory is written, synced and renamed over `path`. An existing file's
// permission bits are kept. False, with `path` untouched and no temporary
// file left, when any step fails.
bool WriteFileAtomically(const std::string& path, const std::string& content);

}  // namespace tandrin
