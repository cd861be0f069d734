#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tandrin {

namespace {

FileReadStatus Failed(FileReadError error, int errorNumber = 0) {
    return FileReadStatus{error, errorNumber};
}

}  // namespace

FileReadStatus OpenRegularFile(const std::string& path, std::uint64_t ceiling, UniqueFd& fd,
                               std::uint64_t& size) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.Valid()) {
        return Failed(FileReadError::kCannotOpen, errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return Failed(FileReadError::kReadFailed, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Failed(FileReadError::kNotRegular);
    }
    const auto length = static_cast<std::uint64_t>(info.st_size);
    if (length > ceiling) {
        return Failed(FileReadError::kTooLarge);
    }
    const int flags = ::fcntl(file.Get(), F_GETFL);
    if (flags >= 0) {
        ::fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK);
    }
    size = length;
    fd = std::move(file);
    return {};
}

FileReadStatus ReadRegularFile(const std::string& path, std::uint64_t ceiling, std::string& bytes) {
    UniqueFd fd;
    std::uint64_t size = 0;
    if (const FileReadStatus opened = OpenRegularFile(path, ceiling, fd, size); !opened) {
        return opened;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failed(FileReadError::kReadFailed, errno);
        }
        if (got == 0) {
            break;
        }
        if (content.size() + static_cast<std::size_t>(got) > ceiling) {
            return Failed(FileReadError::kTooLarge);
        }
        content.append(chunk, static_cast<std::size_t>(got));
    }
    bytes = std::move(content);
    return {};
}

}  // namespace tandrin
