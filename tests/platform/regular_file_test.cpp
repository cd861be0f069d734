#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/regular_file.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

// Whole files within the ceiling; a sparse giant refused by its size before
// any read; FIFOs, devices and directories refused without blocking.
TEST(RegularFile, ReadsOnlyRegularFilesWithinTheirCeiling) {
    test::TempDir dir;
    const std::string path = dir.Write("a.ini", std::string("k=v\n\0x", 6));
    std::string bytes;
    ASSERT_TRUE(ReadRegularFile(path, 6, bytes));
    EXPECT_EQ(bytes, std::string("k=v\n\0x", 6));
    EXPECT_EQ(ReadRegularFile(path, 5, bytes).error, FileReadError::kTooLarge);
    ASSERT_EQ(::truncate(path.c_str(), 64LL << 30), 0);
    bytes.clear();
    EXPECT_EQ(ReadRegularFile(path, 8u << 20, bytes).error, FileReadError::kTooLarge);
    EXPECT_TRUE(bytes.empty());

    const std::string fifo = dir.Path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadRegularFile(fifo, 1024, bytes).error, FileReadError::kNotRegular);
    EXPECT_EQ(ReadRegularFile(dir.Path(), 1024, bytes).error, FileReadError::kNotRegular);
    EXPECT_EQ(ReadRegularFile("/dev/zero", 1024, bytes).error, FileReadError::kNotRegular);
    const FileReadStatus missing = ReadRegularFile(dir.Path() + "none", 1024, bytes);
    EXPECT_EQ(missing.error, FileReadError::kCannotOpen);
    EXPECT_EQ(missing.errorNumber, ENOENT);
}

}  // namespace
}  // namespace tandrin
