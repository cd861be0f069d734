// The trend record file: its bytes, reading back, bad and cut files, and a
// save that dies half-way.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "pages/trend_record.h"
#include "pages/trend_record_csv.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

const std::string kGbkDegree = "\xA1\xE6";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TrendRecord SmallRecord() {
    TrendRecord record;
    record.m_PVMin = 0.0;
    record.m_PVMax = 150.0;
    record.m_PVUnit = kGbkDegree;
    record.pv = {{21.5, 1000}, {21.75, 1002}, {-3.25, 1004}};
    record.current = {{4.5, 1001}, {12.0, 1003}};
    record.percent = {{3.125, 1001}};
    return record;
}

TEST(TrendRecord, AnEmptyRecordIsSeventyEightBytesOfSectionsAndZeroCounts) {
    TrendRecord empty;
    empty.m_PVUnit = kGbkDegree;
    const std::string bytes = EncodeTrendRecord(empty);
    ASSERT_EQ(bytes.size(), 78u);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x05"
                                              "Curve"));
    EXPECT_EQ(bytes.substr(6, 4), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(10, 9), std::string("\x08PV Curve"));
    EXPECT_EQ(bytes.substr(35, 3), std::string("\x02\xA1\xE6"));
    EXPECT_EQ(bytes.substr(38, 4), std::string(4, '\0'));
    EXPECT_EQ(bytes.substr(42, 14), std::string("\x0D"
                                                "Current Curve"));
    EXPECT_EQ(bytes.substr(60, 14), std::string("\x0D"
                                                "Percent Curve"));
    TrendRecord back = SmallRecord();
    ASSERT_TRUE(DecodeTrendRecord(bytes, back));
    EXPECT_EQ(back, empty);
}

TEST(TrendRecord, SamplesAreWrittenNewestFirstAndReadBackOldestFirst) {
    const TrendRecord record = SmallRecord();
    const std::string bytes = EncodeTrendRecord(record);
    // The first PV sample stored is the newest: -3.25 at 1004.
    double first = 0;
    std::memcpy(&first, bytes.data() + 42, 8);
    EXPECT_EQ(first, -3.25);
    EXPECT_EQ(static_cast<unsigned char>(bytes[50]), 1004 & 0xFF);
    TrendRecord back;
    ASSERT_TRUE(DecodeTrendRecord(bytes, back));
    EXPECT_EQ(back, record);
}

TEST(TrendRecord, LongTextsTakeTheWiderLengthPrefixesButAUnitThatLongIsABadFile) {
    for (const std::size_t length : {254u, 255u, 0xFFFDu, 0xFFFEu, 70000u}) {
        TrendRecord record;
        record.m_PVUnit = std::string(length, 'u');
        const std::string bytes = EncodeTrendRecord(record);
        const std::size_t prefix = length < 255 ? 1 : length < 0xFFFE ? 3 : 7;
        EXPECT_EQ(bytes.size(), 75 + prefix + length) << length;
        TrendRecord back;
        EXPECT_FALSE(DecodeTrendRecord(bytes, back)) << length;
    }
    TrendRecord record;
    TrendRecord back;
    record.m_PVUnit = std::string(kMaxUnitBytes, 'u');
    ASSERT_TRUE(DecodeTrendRecord(EncodeTrendRecord(record), back));
    EXPECT_EQ(back.m_PVUnit, record.m_PVUnit);
    record.m_PVUnit += 'u';
    EXPECT_FALSE(DecodeTrendRecord(EncodeTrendRecord(record), back));
}

TEST(TrendRecord, BadFilesChangeNothing) {
    const TrendRecord before = SmallRecord();
    const std::string good = EncodeTrendRecord(before);
    TrendRecord out = before;
    // Every cut of a valid file.
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(DecodeTrendRecord(std::string_view(good).substr(0, length), out)) << length;
        EXPECT_EQ(out, before) << length;
    }
    // "Curve" followed by a wrong second section name.
    std::string wrong = good;
    wrong[12] = 'X';
    EXPECT_FALSE(DecodeTrendRecord(wrong, out));
    // A count far beyond the bytes left, and a text as long.
    std::string hugeCount = good;
    hugeCount.replace(38, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    EXPECT_FALSE(DecodeTrendRecord(hugeCount, out));
    std::string hugeText = good.substr(0, 35) + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7);
    EXPECT_FALSE(DecodeTrendRecord(hugeText, out));
    // The wide-text marker is never written and not read.
    std::string wide = good.substr(0, 35) + std::string("\xFF\xFE\xFF", 3) + good.substr(38);
    EXPECT_FALSE(DecodeTrendRecord(wide, out));
    EXPECT_EQ(out, before);
    // A negative count reads no samples; the version is not checked.
    std::string negative = EncodeTrendRecord(TrendRecord{});
    negative.replace(6, 4, std::string("\x07\x00\x00\x00", 4));
    negative.replace(negative.size() - 4, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_TRUE(DecodeTrendRecord(negative, out));
    EXPECT_TRUE(out.percent.empty());
}

TEST(TrendRecordFile, SavesAtomicallyAndOpensAReadOnlyFile) {
    test::TempDir dir;
    const std::string path = dir.Path() + "day.tdd";
    ASSERT_EQ(SaveTrendRecord(path, SmallRecord()), RecordIo::kOk);
    chmod(path.c_str(), 0444);
    TrendRecord back;
    ASSERT_EQ(LoadTrendRecord(path, back), RecordIo::kOk);
    EXPECT_EQ(back, SmallRecord());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left";
    EXPECT_EQ(LoadTrendRecord(dir.Path() + "none.tdd", back), RecordIo::kCannotOpen);
    EXPECT_EQ(SaveTrendRecord(dir.Path() + "no/such/dir.tdd", back), RecordIo::kCannotOpen);
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Odd and huge files are refused quickly, without blocking and without
// reading them into memory.
TEST(TrendRecordFile, HugeSparseFilesFifosDevicesAndDirectoriesAreBadFiles) {
    test::TempDir dir;
    TrendRecord out = SmallRecord();
    const long before = PeakKilobytes();

    const std::string huge = dir.Path() + "huge.tdd";
    ASSERT_EQ(truncate(dir.Write("huge.tdd", "").c_str(), 64ll << 30), 0);
    EXPECT_EQ(LoadTrendRecord(huge, out), RecordIo::kBadFile);

    // Under the ceiling: zeros fail at the first section name, and a count
    // beyond the bytes left fails before anything is allocated for it.
    const std::string zeros = dir.Write("zeros.tdd", "");
    ASSERT_EQ(truncate(zeros.c_str(), 200ll << 20), 0);
    EXPECT_EQ(LoadTrendRecord(zeros, out), RecordIo::kBadFile);
    std::string header = EncodeTrendRecord(TrendRecord{}).substr(0, 38);
    header += std::string("\xFF\xFF\xFF\x7F", 4);
    const std::string counted = dir.Write("counted.tdd", header);
    ASSERT_EQ(truncate(counted.c_str(), 200ll << 20), 0);
    EXPECT_EQ(LoadTrendRecord(counted, out), RecordIo::kBadFile);
    EXPECT_LT(PeakKilobytes() - before, 32 * 1024) << "kB more at peak";

    const std::string fifo = dir.Path() + "fifo.tdd";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadTrendRecord(fifo, out), RecordIo::kBadFile);  // returns: no writer needed
    EXPECT_EQ(LoadTrendRecord("/dev/zero", out), RecordIo::kBadFile);
    EXPECT_EQ(LoadTrendRecord(dir.Path(), out), RecordIo::kBadFile);
    EXPECT_EQ(out, SmallRecord());
}

// A record at the ceiling still loads: files the page saves stay loadable.
TEST(TrendRecordFile, ARecordFileUpToTheCeilingLoads) {
    test::TempDir dir;
    TrendRecord record;
    record.pv = SampleList(1000, Sample{21.5, 7});
    std::string bytes = EncodeTrendRecord(record);
    const std::string path = dir.Write("big.tdd", bytes);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(kMaxRecordBytes)),
              0);  // junk after the end reads
    TrendRecord back;
    ASSERT_EQ(LoadTrendRecord(path, back), RecordIo::kOk);
    EXPECT_EQ(back, record);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(kMaxRecordBytes) + 1), 0);
    EXPECT_EQ(LoadTrendRecord(path, back), RecordIo::kBadFile);
}

// A save killed part-way through leaves the old file as it was.
TEST(TrendRecordFile, AKillDuringSaveLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string path = dir.Path() + "day.tdd";
    ASSERT_EQ(SaveTrendRecord(path, SmallRecord()), RecordIo::kOk);
    const std::string old = ReadFile(path);

    TrendRecord big;
    big.pv.assign(3'000'000, Sample{25.0, 1});
    big.current = big.pv;
    big.percent = big.pv;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (;;) {
            SaveTrendRecord(path, big);
        }
    }
    // Kill it once it has started writing a temporary file.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            std::error_code ignored;
            writing |= entry.path().filename() != "day.tdd" &&
                       std::filesystem::file_size(entry.path(), ignored) > 0;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_TRUE(writing);
    const std::string now = ReadFile(path);
    // Either the old file or a complete new one, never a part.
    if (now.size() == old.size()) {
        EXPECT_EQ(now, old);
    } else {
        TrendRecord back;
        EXPECT_TRUE(DecodeTrendRecord(now, back));
        EXPECT_EQ(back.pv.size(), 3'000'000u);
    }
    // The next save removes what the killed one left.
    ASSERT_EQ(SaveTrendRecord(path, SmallRecord()), RecordIo::kOk);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(TrendRecordCsv, ListsEachSeriesWithLocalTimeValueAndUnit) {
    test::ScopedEnv zone{"TZ", "UTC-1"};  // POSIX: one hour east of UTC
    tzset();
    TrendRecord record;
    record.m_PVUnit = kGbkDegree;
    record.pv = {{static_cast<double>(25.1f), 1'700'000'000}};
    record.current = {{4.0, 1'700'000'002}};
    record.percent = {{0.1, 1'700'000'002}};
    EXPECT_EQ(TrendRecordCsv(record, true),
              "series,time,value,unit\n"
              "pv,2023-11-14T23:13:20+01:00,25.1,\xE2\x84\x83\n"
              "current,2023-11-14T23:13:22+01:00,4,mA\n"
              "percent,2023-11-14T23:13:22+01:00,0.1,%\n");
    // Units a spreadsheet would run as a formula read as text.
    for (const auto& [unit, cell] : std::vector<std::pair<std::string, std::string>>{
             {"=1+2", "'=1+2"},
             {"+A1", "'+A1"},
             {"-1", "'-1"},
             {"@SUM(A1)", "'@SUM(A1)"},
             {"\tx", "'\tx"},
             {"\rx", "\"'\rx\""},
             {"=HYPERLINK(\"a\",1)", "\"'=HYPERLINK(\"\"a\"\",1)\""},
             {"m=A", "m=A"}}) {
        record.m_PVUnit = unit;
        const std::string csv = TrendRecordCsv(record, false);
        const std::size_t at = csv.find(",25.1,") + 6;
        EXPECT_EQ(csv.substr(at, cell.size() + 1), cell + "\n") << unit;
    }
    EXPECT_EQ(UnitUtf8("\xB0"
                       "C",
                       false),
              "\xC2\xB0"
              "C");
}

}  // namespace
}  // namespace tandrin
