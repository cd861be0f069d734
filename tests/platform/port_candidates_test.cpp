#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/scan_ports.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

TEST(PortCandidates, ExtrasFirstThenEachFamilyInNaturalOrder) {
    test::TempDir dev;
    for (const char* name : {"ttyUSB10", "ttyS1", "ttyACM0", "ttyUSB2", "ttyS0", "ttyUSB", "tty0",
                             "ttyUSBx1", "ttyS1a", "console"}) {
        dev.Write(name, "");
    }
    const std::string dir = dev.Path();
    const auto list = PortCandidates({"/tmp/sim-pty", dir + "ttyS0"}, dir);
    const std::vector<std::string> expected{"/tmp/sim-pty",   dir + "ttyS0",   dir + "ttyUSB2",
                                            dir + "ttyUSB10", dir + "ttyACM0", dir + "ttyS1"};
    EXPECT_EQ(list, expected);
}

TEST(PortCandidates, AtMostSixteenAreProbed) {
    test::TempDir dev;
    for (int i = 0; i < 32; ++i) {
        dev.Write("ttyS" + std::to_string(i), "");
    }
    const auto list = PortCandidates({"/tmp/a", "/tmp/b"}, dev.Path());
    ASSERT_EQ(list.size(), kMaxProbedPorts);
    EXPECT_EQ(list.front(), "/tmp/a");
    EXPECT_EQ(list.back(), dev.Path() + "ttyS13");
}

TEST(PortCandidates, AMissingDeviceDirectoryLeavesTheExtras) {
    EXPECT_EQ(PortCandidates({"/tmp/a"}, "/nonexistent-dir"), std::vector<std::string>{"/tmp/a"});
}

}  // namespace
}  // namespace tandrin
