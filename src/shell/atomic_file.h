#pragma once

#include <string>

namespace tandrin {

// Creates `dir` and any missing parents (mode 0700, as for per-user
// configuration); true when it exists afterwards.
bool MakeDirectories(const std::string& dir);

// Replaces the file at `path` with `content` so that a reader sees either
// the old or the new file, never a part: a temporary file in the same
// directory is written, synced and renamed over `path`. A symbolic link is
// followed: the file it names is replaced. A new file gets 0666 less the
// umask, an existing one keeps its permission bits (without setuid, setgid
// or sticky). A device, FIFO or directory is never replaced. False, with
// the file untouched and no temporary file left, when any step fails; a
// temporary file a killed save left behind is removed by the next save.
bool WriteFileAtomically(const std::string& path, const std::string& content);

// Whether WriteFileAtomically(path, ...) could create its file now: asked
// before long work whose result is saved at its end. Leaves nothing behind.
bool CanWriteFileAtomically(const std::string& path);

}  // namespace tandrin
