#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/hart_line_settings.h"
#include "platform/port_lock.h"
#include "platform/pty.h"
#include "platform/unique_fd.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

UniqueFd OpenPath(const std::string& path) {
    return UniqueFd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

class Pty : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(pty.Open(error)) << error;
    }
    PtyPair pty;
};

TEST_F(Pty, BytesCrossAndTheMasterOutlivesTheToolsClose) {
    {
        UniqueFd tool = OpenPath(pty.SlavePath());
        ASSERT_TRUE(tool.Valid());
        ASSERT_EQ(::write(pty.MasterFd(), "\x06\x80", 2), 2);
        pollfd readable{tool.Get(), POLLIN, 0};
        ASSERT_EQ(::poll(&readable, 1, 1000), 1);
        char got[4];
        ASSERT_EQ(::read(tool.Get(), got, sizeof got), 2);
        EXPECT_EQ(std::string(got, 2), "\x06\x80");
    }
    // The tool closed its port: with the pair's own slave the master reads
    // "nothing yet", not EIO.
    char byte;
    EXPECT_EQ(::read(pty.MasterFd(), &byte, 1), -1);
    EXPECT_EQ(errno, EAGAIN);
}

TEST_F(Pty, ClosingThePairHangsUpTheTool) {
    UniqueFd tool = OpenPath(pty.SlavePath());
    ASSERT_TRUE(tool.Valid());
    pty.Close();
    pollfd hup{tool.Get(), POLLIN, 0};
    ASSERT_EQ(::poll(&hup, 1, 1000), 1);
    EXPECT_NE(hup.revents & (POLLHUP | POLLERR), 0);
    char byte;
    const ssize_t n = ::read(tool.Get(), &byte, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n << " " << errno;
}

TEST_F(Pty, HartLineSettingsAreRawAt1200Baud) {
    UniqueFd tool = OpenPath(pty.SlavePath());
    ASSERT_TRUE(ApplyHartLineSettings(tool.Get()));
    termios t{};
    ASSERT_EQ(::tcgetattr(tool.Get(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B1200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(t.c_cflag & PARODD, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
}

TEST(HartLineSettings, ANonTerminalIsRefused) {
    test::TempDir dir;
    UniqueFd file(::open(dir.Write("plain", "").c_str(), O_RDWR));
    EXPECT_FALSE(ApplyHartLineSettings(file.Get()));
    EXPECT_FALSE(SetModemLines(file.Get(), TIOCM_RTS, true));
}

// Root passes TIOCEXCL, so between two root processes the flock alone
// refuses the second user.
TEST_F(Pty, TheLockRefusesASecondUserUntilReleased) {
    UniqueFd first = OpenPath(pty.SlavePath());
    ASSERT_TRUE(LockPortExclusive(first.Get()));
    UniqueFd second = OpenPath(pty.SlavePath());
    if (second.Valid()) {  // root: TIOCEXCL let us in
        EXPECT_FALSE(LockPortExclusive(second.Get()));
        EXPECT_NE(::flock(second.Get(), LOCK_EX | LOCK_NB), 0);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }
    second.Reset();
    UnlockPortExclusive(first.Get());
    first.Reset();
    // Released, while the pair still holds the device open.
    UniqueFd again = OpenPath(pty.SlavePath());
    ASSERT_TRUE(again.Valid());
    EXPECT_TRUE(LockPortExclusive(again.Get()));
    UnlockPortExclusive(again.Get());
}

}  // namespace
}  // namespace tandrin
