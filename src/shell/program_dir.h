#pragma once

#include <string>

namespace tandrin {

// Directory of the running program file (/proc/self/exe), ending in "/".
// The language files, "kvrfw.dat" and "Logo.bmp" lie there, whatever the
// working directory is.
std::string ProgramDir();

// Makes ProgramDir return `dir` (a "/" is appended when missing); the empty
// text goes back to the program file's own directory.
void SetProgramDirForTesting(const std::string& dir);

}  // namespace tandrin
