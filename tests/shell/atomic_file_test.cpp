// Saving files: permissions as users expect, symbolic links followed,
// devices left alone and no stray temporary files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/atomic_file.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::size_t Entries(const std::string& dir) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++count;
    }
    return count;
}

class UmaskScope {
  public:
    explicit UmaskScope(mode_t mask) : m_old(umask(mask)) {}
    ~UmaskScope() { umask(m_old); }
    UmaskScope(const UmaskScope&) = delete;
    UmaskScope& operator=(const UmaskScope&) = delete;

  private:
    mode_t m_old;
};

TEST(AtomicFile, NewFilesTakeTheUmaskAndExistingFilesKeepTheirModeWithoutSpecialBits) {
    test::TempDir dir;
    {
        UmaskScope mask(022);
        ASSERT_TRUE(WriteFileAtomically(dir.Path() + "a.tdd", "one"));
        EXPECT_EQ(ModeOf(dir.Path() + "a.tdd"), 0644u);
    }
    {
        UmaskScope mask(077);
        ASSERT_TRUE(WriteFileAtomically(dir.Path() + "b.tdd", "one"));
        EXPECT_EQ(ModeOf(dir.Path() + "b.tdd"), 0600u);
        // An existing file keeps its mode whatever the umask says.
        chmod((dir.Path() + "a.tdd").c_str(), 0664);
        ASSERT_TRUE(WriteFileAtomically(dir.Path() + "a.tdd", "two"));
        EXPECT_EQ(ModeOf(dir.Path() + "a.tdd"), 0664u);
        EXPECT_EQ(ReadFile(dir.Path() + "a.tdd"), "two");
    }
    ASSERT_EQ(chmod((dir.Path() + "a.tdd").c_str(), 04755), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.Path() + "a.tdd", "three"));
    EXPECT_EQ(ModeOf(dir.Path() + "a.tdd"), 0755u);
    EXPECT_EQ(Entries(dir.Path()), 2u);
}

TEST(AtomicFile, ASaveOntoALinkWritesTheFileItNamesAndNeverADevice) {
    test::TempDir dir;
    const std::string target = dir.Write("data/day.tdd", "old");
    chmod(target.c_str(), 0640);
    ASSERT_EQ(symlink("data/day.tdd", (dir.Path() + "link.tdd").c_str()), 0);
    ASSERT_EQ(symlink((dir.Path() + "link.tdd").c_str(), (dir.Path() + "chain.tdd").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.Path() + "chain.tdd", "new"));
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() + "link.tdd"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() + "chain.tdd"));

    // A dangling link creates the file it names.
    ASSERT_EQ(symlink("data/new.tdd", (dir.Path() + "dangling.tdd").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.Path() + "dangling.tdd", "made"));
    EXPECT_EQ(ReadFile(dir.Path() + "data/new.tdd"), "made");

    // A link to a device, a loop of links, a directory: refused, untouched.
    ASSERT_EQ(symlink("/dev/null", (dir.Path() + "null.tdd").c_str()), 0);
    EXPECT_FALSE(WriteFileAtomically(dir.Path() + "null.tdd", "x"));
    EXPECT_FALSE(CanWriteFileAtomically(dir.Path() + "null.tdd"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() + "null.tdd"));
    ASSERT_EQ(symlink("loop.tdd", (dir.Path() + "loop.tdd").c_str()), 0);
    EXPECT_FALSE(WriteFileAtomically(dir.Path() + "loop.tdd", "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.Path() + "data", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "data"));
}

TEST(AtomicFile, AStaleTemporaryFileIsRemovedAndTheProbeLeavesNothing) {
    test::TempDir dir;
    // What a save killed midway leaves: its temporary file, unlocked.
    const std::string stale = dir.Write(".day.tdd.tmp", "half");
    ASSERT_TRUE(CanWriteFileAtomically(dir.Path() + "day.tdd"));
    EXPECT_EQ(Entries(dir.Path()), 0u);
    dir.Write(".day.tdd.tmp", "half");
    ASSERT_TRUE(WriteFileAtomically(dir.Path() + "day.tdd", "whole"));
    EXPECT_EQ(Entries(dir.Path()), 1u);
    EXPECT_EQ(ReadFile(dir.Path() + "day.tdd"), "whole");
    EXPECT_FALSE(CanWriteFileAtomically(dir.Path() + "no/such/day.tdd"));
    if (geteuid() != 0) {
        chmod(dir.Path().c_str(), 0500);
        EXPECT_FALSE(CanWriteFileAtomically(dir.Path() + "day.tdd"));
        chmod(dir.Path().c_str(), 0700);
    }
}

}  // namespace
}  // namespace tandrin
