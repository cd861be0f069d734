#include "sim/symlink_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tandrin::sim {

namespace {

std::string ReadLink(const std::string& link) {
    char buffer[4096];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace

bool PlaceSymlink(const std::string& link, const std::string& target, std::string& error) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = link + ": exists and is not a symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        error = link + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void RemoveSymlink(const std::string& link, const std::string& target) {
    if (!target.empty() && ReadLink(link) == target) {
        ::unlink(link.c_str());
    }
}

}  // namespace tandrin::sim
