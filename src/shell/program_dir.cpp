#include "shell/program_dir.h"

#include <unistd.h>

#include <climits>

namespace tandrin {

namespace {

std::string& ProgramDirOverride() {
    static std::string dir;
    return dir;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

}  // namespace

std::string ProgramDir() {
    if (!ProgramDirOverride().empty()) {
        return ProgramDirOverride();
    }
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        return "./";
    }
    const std::string exe(path, static_cast<std::size_t>(length));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "./" : exe.substr(0, slash + 1);
}

void SetProgramDirForTesting(const std::string& dir) {
    ProgramDirOverride() = dir.empty() ? std::string() : WithSlash(dir);
}

}  // namespace tandrin
