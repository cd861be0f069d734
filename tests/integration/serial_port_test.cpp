#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/posix_serial_port.h"
#include "platform/modem_lines.h"
#include "platform/pty.h"
#include "platform/unique_fd.h"
#include "shell/main_dialog.h"
#include "support/fake_shell.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

class SerialPort : public ::testing::Test {
  protected:
    void SetUp() override {
        mainWindow = &dialog;
        std::string error;
        ASSERT_TRUE(pty.Open(error)) << error;
    }
    void TearDown() override { mainWindow = nullptr; }

    test::FakeForm form;
    test::FakeMenuBar menu;
    test::FakeShell shell;
    MainDialog dialog{form, menu, shell};
    PtyPair pty;
};

TEST_F(SerialPort, OpensAPtyAsAHartLine) {
    CSerialPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), 1);
    EXPECT_TRUE(port.IsOpen());
    ASSERT_GE(port.Descriptor(), 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(port.Descriptor(), &t), 0);
    EXPECT_EQ(::cfgetispeed(&t), B1200);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);

    // A pty has no modem lines: RTS by hand fails quietly and the port
    // stays usable.
    port.RaiseRts();
    EXPECT_EQ(port.Write(reinterpret_cast<const std::uint8_t*>("\xFF\x02"), 2), 1);
    port.DropRts();
    pollfd readable{pty.MasterFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&readable, 1, 1000), 1);
    char got[4];
    EXPECT_EQ(::read(pty.MasterFd(), got, sizeof got), 2);
    EXPECT_TRUE(shell.messages.empty());

    port.Close();
    port.Close();  // harmless twice
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Descriptor(), -1);
    EXPECT_EQ(port.Write(reinterpret_cast<const std::uint8_t*>("x"), 1), 0);
}

// Probing opens every serial port of the machine: each must be handed
// back as it was, not left at 1200 baud 8O1 raw, or locked.
TEST_F(SerialPort, CloseHandsThePortBackAsItWasFound) {
    const UniqueFd other(::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    ASSERT_TRUE(other.Valid());
    termios found{};
    ASSERT_EQ(::tcgetattr(other.Get(), &found), 0);
    ::cfsetispeed(&found, B9600);
    ::cfsetospeed(&found, B9600);
    found.c_lflag |= ICANON | ECHO | ISIG;
    found.c_iflag |= IXON | ICRNL;
    found.c_oflag |= OPOST | ONLCR;
    found.c_cflag = (found.c_cflag & ~CSIZE) | CS7;
    found.c_cc[VMIN] = 4;
    ASSERT_EQ(::tcsetattr(other.Get(), TCSANOW, &found), 0);
    ASSERT_EQ(::tcgetattr(other.Get(), &found), 0);  // as the driver keeps them

    CSerialPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), 1);
    termios hart{};
    ASSERT_EQ(::tcgetattr(other.Get(), &hart), 0);
    EXPECT_EQ(::cfgetospeed(&hart), B1200);
    port.Close();

    termios after{};
    ASSERT_EQ(::tcgetattr(other.Get(), &after), 0);
    EXPECT_EQ(after.c_iflag, found.c_iflag);
    EXPECT_EQ(after.c_oflag, found.c_oflag);
    EXPECT_EQ(after.c_cflag, found.c_cflag);
    EXPECT_EQ(after.c_lflag, found.c_lflag);
    EXPECT_EQ(::cfgetispeed(&after), B9600);
    EXPECT_EQ(::cfgetospeed(&after), B9600);
    EXPECT_EQ(std::vector<cc_t>(after.c_cc, after.c_cc + NCCS),
              std::vector<cc_t>(found.c_cc, found.c_cc + NCCS));
    int exclusive = 1;
    ASSERT_EQ(::ioctl(other.Get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

// A modem's lines as a real port would keep them; a pty has none.
class ModemLineRecorder final : public ModemLineControl {
  public:
    explicit ModemLineRecorder(int found) : lines(found) {}
    bool Get(int, int& now) override {
        now = lines;
        return true;
    }
    bool Set(int, int which, bool on) override {
        lines = on ? (lines | which) : (lines & ~which);
        return true;
    }
    int lines;
};

TEST_F(SerialPort, DtrAndRtsAreRaisedForHartAndHandedBackAsFound) {
    for (const int found : {0, TIOCM_DTR, TIOCM_RTS, TIOCM_DTR | TIOCM_RTS | TIOCM_CTS}) {
        ModemLineRecorder modem(found);
        const ScopedModemLines seam(modem);
        CSerialPort port;
        ASSERT_EQ(port.Open(pty.SlavePath()), 1);
        EXPECT_EQ(modem.lines & (TIOCM_DTR | TIOCM_RTS), TIOCM_DTR | TIOCM_RTS);
        port.DropRts();
        EXPECT_EQ(modem.lines & TIOCM_RTS, 0);
        port.Close();
        EXPECT_EQ(modem.lines, found) << "found " << found;
    }
}

TEST_F(SerialPort, ASecondOpenIsRefusedSilentlyUntilTheFirstCloses) {
    CSerialPort first;
    ASSERT_EQ(first.Open(pty.SlavePath()), 1);
    CSerialPort second;
    EXPECT_EQ(second.Open(pty.SlavePath()), 0);
    EXPECT_FALSE(second.IsOpen());

    // Another program, root or not: as root the open passes TIOCEXCL and
    // the flock must refuse.
    UniqueFd other(::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (other.Valid()) {
        EXPECT_NE(::flock(other.Get(), LOCK_EX | LOCK_NB), 0);
    }
    other.Reset();
    EXPECT_TRUE(shell.messages.empty()) << "a port in use is no settings failure";

    // Someone else (the simulator) still holds the pty: our close must
    // release the exclusive flag, or our own next open would be refused.
    first.Close();
    EXPECT_EQ(second.Open(pty.SlavePath()), 1);
}

TEST_F(SerialPort, AFailedOpenSaysWhyAndShowsNothing) {
    test::TempDir dir;
    CSerialPort port;
    EXPECT_EQ(port.Open("/dev/tandrin-no-such-port"), 0);
    EXPECT_EQ(port.LastOpenError(), PortOpenError::kMissing);
    EXPECT_EQ(port.Open(dir.Write("not-a-tty", "")), 0);
    EXPECT_EQ(port.LastOpenError(), PortOpenError::kNotTerminal);
    EXPECT_EQ(port.Open(dir.Path()), 0);
    EXPECT_EQ(port.LastOpenError(), PortOpenError::kNotTerminal);
    EXPECT_EQ(port.Open("/dev/null"), 0);
    EXPECT_EQ(port.LastOpenError(), PortOpenError::kNotTerminal);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(shell.messages.empty());
}

}  // namespace
}  // namespace tandrin
