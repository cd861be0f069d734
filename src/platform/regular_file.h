#pragma once

#include <cstdint>
#include <string>

#include "platform/unique_fd.h"

namespace tandrin {

// Why a file could not be read. Every file the program reads from outside
// goes through here, so a FIFO, a device, a directory or a huge file is
// refused before anything blocks or allocates.
enum class FileReadError {
    kNone,
    kCannotOpen,  // missing, no permission, ...: see the errno kept beside it
    kNotRegular,  // a FIFO, a device, a directory, a socket
    kTooLarge,    // beyond the ceiling the caller gave
    kReadFailed,  // an I/O error while reading
};

struct FileReadStatus {
    FileReadError error = FileReadError::kNone;
    int errorNumber = 0;  // errno of a failed open or read, else 0
    explicit operator bool() const { return error == FileReadError::kNone; }
};

// Opens `path` for reading when it is a regular file of at most `ceiling`
// bytes. The open never blocks (a FIFO is refused, not waited on). On
// success `fd` holds the file and `size` its length.
FileReadStatus OpenRegularFile(const std::string& path, std::uint64_t ceiling, UniqueFd& fd,
                               std::uint64_t& size);

// Reads the whole of a regular file of at most `ceiling` bytes. A file that
// grows past the ceiling while it is read is refused as too large.
FileReadStatus ReadRegularFile(const std::string& path, std::uint64_t ceiling, std::string& bytes);

}  // namespace tandrin
