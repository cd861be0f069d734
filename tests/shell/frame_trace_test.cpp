#include "shell/frame_trace.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <vector>

#include "link/hart_frame.h"
#include "shell/lang_text.h"
#include "shell/port_open_message.h"

namespace tandrin {
namespace {

const std::string kResources = TANDRIN_RESOURCE_DIR;

std::vector<std::uint8_t> Reply(std::uint8_t command, std::vector<std::uint8_t> body) {
    std::vector<std::uint8_t> frame;
    const std::uint8_t address[5] = {0xA0, 0x5A, 0x0A, 0x00, 0x00};
    AppendFrame(frame, 5, kResponseLong, address, 5, command, body.data(), body.size());
    return frame;
}

TEST(FrameTrace, DecodesWholeFramesAndSaysWhatTheStatusBytesMean) {
    // A short request for command 0 at polling address 0, as on the line.
    const std::uint8_t request[] = {0x02, 0x80, 0x00, 0x00, 0x82};
    EXPECT_EQ(DescribeFrame(request, sizeof request), "cmd 0 request, 0 data bytes");

    auto ok = Reply(1, {0x00, 0x00, 0x20});
    EXPECT_EQ(DescribeFrame(ok.data() + 5, ok.size() - 5),
              "cmd 1 reply: response 0 success, status 0x00 ok");
    auto busy = Reply(13, {0x20, 0x48});
    EXPECT_EQ(DescribeFrame(busy.data() + 5, busy.size() - 5),
              "cmd 13 reply: response 32 busy, status 0x48 config changed, current fixed");
    auto noisy = Reply(13, {0x88, 0x00});
    EXPECT_EQ(DescribeFrame(noisy.data() + 5, noisy.size() - 5),
              "cmd 13 reply: response 136 (communication error: checksum), status 0x00 ok");
    noisy.back() ^= 0x01;
    EXPECT_NE(DescribeFrame(noisy.data() + 5, noisy.size() - 5).find("checksum wrong"),
              std::string::npos);
    EXPECT_EQ(DescribeFrame(ok.data() + 5, ok.size() - 6), "") << "a frame cut short";
}

TEST(FrameTrace, AReplyInChunksIsDecodedOnceItIsWhole) {
    std::vector<std::string> lines;
    FrameTrace trace([&](const std::string& line) { lines.push_back(line); });
    const LinkTrace hook = trace.Hook();
    const std::uint8_t request[] = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    hook(true, request, sizeof request);
    const auto reply = Reply(0, {0x00, 0x10});
    hook(false, reply.data(), 8);
    hook(false, reply.data() + 8, reply.size() - 8);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(8), " TX FF FF 02 80 00 00 82  | cmd 0 request, 0 data bytes");
    EXPECT_EQ(lines[1].find('|'), std::string::npos) << lines[1];
    EXPECT_EQ(lines[1].substr(8, 12), " RX FF FF FF");
    EXPECT_NE(lines[2].find("| cmd 0 reply: response 0 success, status 0x10 more status"),
              std::string::npos)
        << lines[2];

    // Half a reply, then a new request: the half belongs to no later reply.
    hook(false, reply.data(), 8);
    hook(true, request, sizeof request);
    hook(false, reply.data() + 8, reply.size() - 8);
    EXPECT_EQ(lines.back().find('|'), std::string::npos) << lines.back();
}

TEST(PortOpenMessages, AGroupIsNamedOnlyWhenJoiningItWouldHelp) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another group takes root";
    }
    languageFilePath = kResources + "English.ini";
    const std::string port = ::testing::TempDir() + "tandrin-port-advice";
    std::ofstream(port) << "";
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(port.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(port.c_str(), 0660), 0);
    EXPECT_NE(PortOpenMessage(PortOpenError::kNoPermission, port).find("usermod -aG dialout "),
              std::string::npos);
    // Read but no write, or root's own group: joining would not help.
    ASSERT_EQ(::chmod(port.c_str(), 0640), 0);
    EXPECT_EQ(PortOpenMessage(PortOpenError::kNoPermission, port).find("usermod"),
              std::string::npos);
    ASSERT_EQ(::chown(port.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(port.c_str(), 0600), 0);
    const std::string rootOnly = PortOpenMessage(PortOpenError::kNoPermission, port);
    EXPECT_EQ(rootOnly.find("usermod"), std::string::npos) << rootOnly;
    EXPECT_NE(rootOnly.find("belongs to user root and group root"), std::string::npos);
    std::remove(port.c_str());
    languageFilePath.clear();
}

TEST(PortOpenMessages, NameThePortTheReasonAndForPermissionTheGroup) {
    languageFilePath = kResources + "English.ini";
    EXPECT_EQ(PortOpenMessage(PortOpenError::kBusy, "/dev/ttyUSB0"),
              "The serial port /dev/ttyUSB0 is in use by another program. Close that program, "
              "then try again.");
    // /dev/null is root's: no group to join, an administrator to ask.
    const std::string denied = PortOpenMessage(PortOpenError::kNoPermission, "/dev/null");
    EXPECT_EQ(denied,
              "You may not open the serial port /dev/null. It belongs to user root and "
              "group root, and that group may not use it either: ask an administrator "
              "for access.");
    EXPECT_EQ(OwningGroup("/nonexistent/tty"), "dialout");
    EXPECT_EQ(PortOpenMessage(PortOpenError::kNone, "/dev/ttyUSB0"), LangText("strPortFail"));
    EXPECT_EQ(PortOpenMessage(PortOpenError::kMissing, ""), LangText("strPortFail"));
    EXPECT_EQ(FillIn("%s and %s", {"a"}), "a and %s");
    languageFilePath.clear();
}

}  // namespace
}  // namespace tandrin
