#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "integration/child_program.h"
#include "integration/link_fixture.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;

using SimProgram = test::ChildProgram;

class TandrinSim : public test::LinkOverPty {};

TEST_F(TandrinSim, ServesOnItsPrintedPathAndStopsCleanlyOnSigint) {
    test::TempDir dir;
    const std::string link = dir.Path() + "hart";
    SimProgram program(
        {TANDRIN_SIM_PROGRAM, "--link", link, "--fast", "--device", "poll=0,tag=TT-9,id=0B0C0D"});
    ASSERT_TRUE(program.Started());
    const std::string path = program.ReadLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(path, target);

    ASSERT_EQ(master.OpenLink(link), 1);
    ASSERT_EQ(Run(0).success, 1);
    EXPECT_EQ(master.m_abyLongAddr, (std::array<std::uint8_t, 5>{0xE0, 0x5A, 0x0B, 0x0C, 0x0D}));
    ASSERT_EQ(Run(13).success, 1);
    EXPECT_EQ(master.m_strTag, "TT-9");
    master.CloseLink();

    program.Signal(SIGINT);
    EXPECT_EQ(program.Wait(), 0);
    struct stat info {};
    EXPECT_NE(::lstat(link.c_str(), &info), 0) << "the link outlived the simulator";
}

TEST(TandrinSimOptions, HelpDocumentsEveryOption) {
    SimProgram program({TANDRIN_SIM_PROGRAM, "--help"});
    const std::string help = program.ReadAll();
    EXPECT_EQ(program.Wait(), 0);
    for (const char* option : {"--link", "--port", "--device", "--fault", "--fast", "--trace",
                               "--seed", "--help", "poll=", "sensor=", "hangup", "split"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(TandrinSimOptions, ABadOptionExitsWithTwo) {
    SimProgram program({TANDRIN_SIM_PROGRAM, "--device", "poll=16"});
    EXPECT_EQ(program.Wait(), 2);
}

}  // namespace
}  // namespace tandrin
