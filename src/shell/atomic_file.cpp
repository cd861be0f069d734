#include "shell/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace tandrin {

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t wrote = write(fd, content.data() + done, content.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save to `path` writes: symbolic links are followed (at most
// 40, as the kernel does), so saving onto a link updates the file it names
// instead of replacing the link. Empty when the links loop.
std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::vector<char> link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t length = readlink(current.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) {
            return {};
        }
        const std::string text(link.data(), static_cast<std::size_t>(length));
        current = text.front() == '/' ? text : DirectoryOf(current) + "/" + text;
    }
    return {};
}

// The target as it is now. False when it exists and is no regular file: a
// device, FIFO or directory is never replaced and never lends its mode.
bool InspectTarget(const std::string& target, bool& exists, mode_t& mode) {
    struct stat info {};
    exists = stat(target.c_str(), &info) == 0;
    if (!exists) {
        return true;
    }
    mode = info.st_mode & 0777;  // never setuid, setgid or sticky
    return S_ISREG(info.st_mode);
}

// One temporary name per target, so that a save killed midway leaves a
// file the next save finds and removes. A save in progress holds a lock
// on it; a temporary file nobody locks is stale.
std::string TemporaryName(const std::string& target) {
    return DirectoryOf(target) + "/." + BaseName(target) + ".tmp";
}

bool RemoveIfStale(const std::string& temporary) {
    const int fd = open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || (errno == ELOOP && unlink(temporary.c_str()) == 0);
    }
    const bool stale = flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = stale && unlink(temporary.c_str()) == 0;
    close(fd);
    return removed;
}

// Creates the temporary file with 0666 less the umask, the mode a new file
// gets, and locks it for the length of the save.
int CreateTemporary(const std::string& temporary) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            flock(fd, LOCK_EX);
            return fd;
        }
        if (errno != EEXIST || !RemoveIfStale(temporary)) {
            return -1;
        }
    }
    return -1;
}

// Makes the rename itself durable; a failure here loses nothing written.
void SyncDirectory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

bool MakeDirectories(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    for (std::size_t at = dir.find('/', 1); at != std::string::npos; at = dir.find('/', at + 1)) {
        mkdir(dir.substr(0, at).c_str(), 0700);
    }
    mkdir(dir.c_str(), 0700);
    return IsDirectory(dir);
}

namespace {

// The temporary beside the file `path` leads to, opened and locked; -1 when
// that file may not be written.
struct Temporary {
    std::string target;
    std::string path;
    bool targetExists = false;
    mode_t targetMode = 0;
    int fd = -1;
};

Temporary OpenTemporaryFor(const std::string& path) {
    Temporary t;
    t.target = ResolveLinks(path);
    if (t.target.empty() || !InspectTarget(t.target, t.targetExists, t.targetMode)) {
        return t;
    }
    t.path = TemporaryName(t.target);
    t.fd = CreateTemporary(t.path);
    return t;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    const Temporary t = OpenTemporaryFor(path);
    if (t.fd < 0) {
        return false;
    }
    if (t.targetExists) {
        fchmod(t.fd, t.targetMode);  // an existing file keeps its permissions
    }
    const bool written = WriteAll(t.fd, content) && fsync(t.fd) == 0;
    if (!written || std::rename(t.path.c_str(), t.target.c_str()) != 0) {
        unlink(t.path.c_str());
        close(t.fd);
        return false;
    }
    close(t.fd);  // the lock goes with it, after the rename
    SyncDirectory(DirectoryOf(t.target));
    return true;
}

bool CanWriteFileAtomically(const std::string& path) {
    const Temporary t = OpenTemporaryFor(path);
    if (t.fd < 0) {
        return false;
    }
    unlink(t.path.c_str());
    close(t.fd);
    return true;
}

}  // namespace tandrin
