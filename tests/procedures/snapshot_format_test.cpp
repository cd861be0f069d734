// The snapshot file: what is written reads back, and what does not read
// whole is refused with the key named.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/json.h"
#include "procedures/device_snapshot.h"
#include "procedures/snapshot_compare.h"
#include "shell/private_profile.h"

namespace tandrin {
namespace {

DeviceSnapshot Distinctive() {
    DeviceSnapshot s;
    s.taken = "2026-12-07T10:30:00Z";
    s.identity = {0x60, 0x5A, "0A0003", "E05A0A0003", "V1.23"};
    s.tag = "TT-205";
    s.descriptor = "BOILER OUTLET";
    s.message = "REPLACED \"QUOTE\" \\ 2026";
    s.date = "2025-06-30";
    s.finalAssembly = "00A1F3";
    s.pollAddress = 3;
    s.sensors = 2;
    s.workMode = 3;
    s.outputSensor = 2;
    s.sensor1 = {10, 4, 0.25};
    s.sensor2 = SnapshotSensor{3, std::nullopt, -1.5};
    s.unit = "F";
    s.lowerRange = -40.5;
    s.upperRange = 752.125;
    s.damping = 2.5;
    s.displayMode = 2;
    s.decimals = 3;
    s.alarm = 1;
    return s;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string ErrorOf(const std::string& text) {
    DeviceSnapshot read;
    std::string error;
    EXPECT_FALSE(ParseSnapshot(text, read, error)) << text;
    return error;
}

TEST(SnapshotFile, WhatIsWrittenReadsBackEqualAndUnknownKeysAreIgnored) {
    const DeviceSnapshot original = Distinctive();
    std::string text = SnapshotFileText(original);
    text = Replace(text, "\"setup\": {", "\"setup\": {\"later\": [1, {\"x\": null}],");
    text = Replace(text, "\"version\": 1", "\"version\": 2, \"extra\": true");
    DeviceSnapshot read;
    std::string error;
    ASSERT_TRUE(ParseSnapshot(text, read, error)) << error;
    EXPECT_TRUE(CompareSnapshots(original, read, {true, true}).empty());
    EXPECT_EQ(read.identity.longAddress, "E05A0A0003");
    EXPECT_EQ(read.taken, original.taken);
    EXPECT_EQ(read.message, original.message);
    EXPECT_FALSE(read.sensor2->wiring);
}

TEST(SnapshotFile, SmallAndLargeFloatsComeBackToTheLastBit) {
    // The writer gives numbers below 0.0001 a negative exponent ("2.5e-05").
    const float values[] = {1e-4f, -2.5e-5f, 1.17549435e-38f, 1e-45f, 1234.5677f, 22.839394f};
    for (const float value : values) {
        DeviceSnapshot original = Distinctive();
        original.sensor1.offset = value;
        original.damping = std::fabs(value);
        original.lowerRange = -value;
        const std::string text = SnapshotFileText(original);
        if (std::fabs(value) < 1e-4f) {
            EXPECT_NE(text.find("e-"), std::string::npos) << text;
        }
        DeviceSnapshot read;
        std::string error;
        ASSERT_TRUE(ParseSnapshot(text, read, error)) << value << error;
        EXPECT_EQ(static_cast<float>(read.sensor1.offset), value);
        EXPECT_EQ(static_cast<float>(read.damping), std::fabs(value));
        EXPECT_EQ(static_cast<float>(read.lowerRange), -value);
    }
}

TEST(SnapshotFile, AMissingOrMalformedValueIsNamed) {
    const std::string text = SnapshotFileText(Distinctive());
    EXPECT_NE(ErrorOf(Replace(text, "\"tag\": \"TT-205\",", "")).find("information.tag"),
              std::string::npos);
    EXPECT_NE(ErrorOf(Replace(text, "\"decimals\": 3", "\"decimals\": 4")).find("setup.decimals"),
              std::string::npos);
    EXPECT_NE(
        ErrorOf(Replace(text, "\"wiring\": 4", "\"wiring\": \"4\"")).find("setup.sensor1.wiring"),
        std::string::npos);
    EXPECT_NE(ErrorOf(Replace(text, "\"date\": \"2025-06-30\"", "\"date\": \"30.06.2025\""))
                  .find("information.date"),
              std::string::npos);
    EXPECT_NE(
        ErrorOf(Replace(text, "\"alarm\": \"low\"", "\"alarm\": \"loud\"")).find("setup.alarm"),
        std::string::npos);
    EXPECT_NE(ErrorOf(Replace(text, "\"sensors\": 2", "\"sensors\": 1")).find("setup.sensor2"),
              std::string::npos);
    EXPECT_NE(ErrorOf(Replace(text, "\"tag\": \"TT-205\"", "\"tag\": \"TT-205-LONG\""))
                  .find("information.tag"),
              std::string::npos);
    EXPECT_NE(ErrorOf(Replace(text, "tandrin-device-configuration", "other")).find("format"),
              std::string::npos);
    EXPECT_NE(ErrorOf(Replace(text, "\"damping\": 2.5", "\"damping\": 2.5e999")).find("JSON"),
              std::string::npos);
}

TEST(SnapshotFile, ATruncatedOrBrokenDocumentIsRefused) {
    const std::string text = SnapshotFileText(Distinctive());
    for (std::size_t length = 0; length + 2 < text.size(); length += 7) {
        EXPECT_FALSE(ErrorOf(text.substr(0, length)).empty()) << length;
    }
    EXPECT_FALSE(ErrorOf(text + "}").empty());
    EXPECT_FALSE(ErrorOf("[]").empty());
}

TEST(SnapshotFile, AByteOrderMarkIsReadAndARepeatedKeyIsRefusedByName) {
    const DeviceSnapshot original = Distinctive();
    const std::string text = SnapshotFileText(original);
    DeviceSnapshot read;
    std::string error;
    ASSERT_TRUE(ParseSnapshot("\xEF\xBB\xBF" + text, read, error)) << error;
    EXPECT_TRUE(CompareSnapshots(original, read, {true, true}).empty());
    // Which of the two was meant cannot be known.
    EXPECT_NE(ErrorOf(Replace(text, "\"damping\": 2.5", "\"damping\": 2.5, \"damping\": 60"))
                  .find("the key \"damping\" appears twice"),
              std::string::npos);
}

TEST(SnapshotFile, OnlyARegularFileWithinTheCeilingIsRead) {
    std::string text;
    for (const char* notRegular : {"/dev/zero", "/dev/null", "/"}) {
        const FileReadStatus read = ReadWholeFile(notRegular, text);
        EXPECT_EQ(read.error, FileReadError::kNotRegular) << notRegular;
        EXPECT_EQ(FileReadProblem(notRegular, read),
                  std::string(notRegular) + " is not a regular file");
    }
    const FileReadStatus missing = ReadWholeFile("/nonexistent/x.json", text);
    EXPECT_EQ(FileReadProblem("/nonexistent/x.json", missing),
              "cannot read /nonexistent/x.json: No such file or directory");
}

TEST(SnapshotFile, TheDocumentedExampleReads) {
    std::string text;
    ASSERT_TRUE(
        ReadWholeFile(std::string(TANDRIN_RESOURCE_DIR) + "../docs/snapshot-example.json", text));
    DeviceSnapshot example;
    std::string error;
    ASSERT_TRUE(ParseSnapshot(text, example, error)) << error;
    EXPECT_EQ(example.sensor2->wiring, 3);
    EXPECT_EQ(example.alarm, 1);
    EXPECT_EQ(SnapshotFileText(example), text);
}

TEST(JsonReader, RefusesWhatIsNotStrictJsonOrBeyondItsLimits) {
    std::string error;
    for (const char* bad :
         {"{\"a\": 01}", "{\"a\": .5}", "{\"a\": 1.}", "{'a': 1}", "{\"a\": 1,}",
          "{\"a\": \"\x80\"}", "{\"a\": \"\xC0\xAF\"}", "{\"a\": \"\xED\xA0\x80\"}",
          "{\"a\": \"\\ud800\"}", "{\"a\": \"tab\there\"}", "{\"a\": tru}", "{\"a\": 1} x",
          "{\"a\": NaN}", "{\"a\": 1 /* note */}"}) {
        EXPECT_FALSE(ParseJson(bad, error)) << bad;
    }
    EXPECT_FALSE(ParseJson(std::string(100, '[') + std::string(100, ']'), error));
    EXPECT_EQ(error, "nested too deeply");
    EXPECT_TRUE(ParseJson(std::string(32, '[') + std::string(32, ']'), error)) << error;
    // Beyond the size limit nothing is built; within it many small objects
    // read in linear time.
    EXPECT_FALSE(ParseJson("[" + std::string(1 << 20, ' ') + "]", error));
    EXPECT_FALSE(ParseJson("[1, 2]", error, {32, 5}));
    std::string many = "[{}";
    for (int i = 0; i < 30'000; ++i) {
        many += ",{}";
    }
    EXPECT_TRUE(ParseJson(many + "]", error)) << error;
    // A repeated key is found in any object, also one inside an array.
    EXPECT_FALSE(ParseJson("{\"a\": [{\"b\": 1, \"c\": {\"b\": 2}, \"b\": 3}]}", error));
    EXPECT_EQ(error, "the key \"b\" appears twice");
    EXPECT_TRUE(ParseJson("{\"a\": {\"b\": 1}, \"c\": {\"b\": 2}, \"b\": 3}", error)) << error;

    const auto value = ParseJson(
        "\xEF\xBB\xBF{\"s\": \"\\u00b0C \\ud83d\\ude00 \xE2\x84\x83\", \"n\": -1.5e2, \"m\": "
        "2.5E-05}",
        error);
    ASSERT_TRUE(value) << error;
    EXPECT_EQ(value->at("s"),
              "\xC2\xB0"
              "C \xF0\x9F\x98\x80 \xE2\x84\x83");
    EXPECT_EQ(value->at("n"), -150);
    EXPECT_EQ(value->at("m"), 2.5e-5);
}

TEST(SnapshotCompare, ListsFieldByFieldWithinFloatPrecisionAndAddressOnlyWhenAsked) {
    const DeviceSnapshot saved = Distinctive();
    DeviceSnapshot device = saved;
    device.identity.deviceId = "0A0009";
    device.taken = "2027-01-01T00:00:00Z";
    device.upperRange = static_cast<float>(saved.upperRange);
    device.sensor1.offset = 0.2502;
    device.tag = "tt-205  ";
    EXPECT_TRUE(CompareSnapshots(saved, device, {true, true}).empty());

    device.pollAddress = 0;
    device.finalAssembly = "000001";
    device.damping = 0.5;
    device.sensors = 1;
    device.sensor2.reset();
    EXPECT_EQ(CompareSnapshots(saved, device, {}),
              (std::vector<FieldDifference>{{"sensors", "2", "1"},
                                            {"work_mode", "independent", "-"},
                                            {"output_sensor", "2", "-"},
                                            {"sensor2.type", "3", "-"},
                                            {"damping", "2.5", "0.5"}}));
    const auto all = CompareSnapshots(saved, device, {true, true});
    EXPECT_EQ(all[0], (FieldDifference{"final_assembly", "00A1F3", "000001"}));
    EXPECT_EQ(all[1], (FieldDifference{"poll_address", "3", "0"}));
}

}  // namespace
}  // namespace tandrin
