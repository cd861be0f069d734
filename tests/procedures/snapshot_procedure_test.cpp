// Take, compare and restore through the pages' own sequences, against
// simulated transmitters in virtual time.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "device/degree_text.h"
#include "device/encodings.h"
#include "link/command_flags.h"
#include "procedures/snapshot_compare.h"
#include "procedures/snapshot_procedure.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/program_dir.h"
#include "support/master_fixture.h"

namespace tandrin {
namespace {

constexpr std::uint8_t kTypeK = 3;

class SnapshotProcedureTest : public test::MasterFixture {
  protected:
    void SetUp() override {
        // A configured transmitter at address 0, one with defaults at 1.
        sim::DeviceConfig configured;
        configured.m_strTag = "TT-205";
        configured.m_strDescriptor = "BOILER OUTLET";
        configured.m_strMessage = "REPLACED 2026";
        configured.m_wDateYear = 2025;
        configured.m_byDateMonth = 6;
        configured.m_byDateDay = 30;
        configured.m_dwFinalAssembly = 0x00A1F3;
        configured.m_bySensor1Type = kTypeK;
        configured.m_byUnit = 33;  // F
        configured.m_fLowerRange = -40;
        configured.m_fUpperRange = 1600;  // beyond a PT100's limits
        configured.m_fDamping = 2.5f;
        sim::SimDevice& source = transmitters.Devices().emplace_back(configured);
        source.m_byDisplayMode = 2;
        source.m_byDecimals = 3;
        source.m_byAlarmMode = 1;
        source.m_fSensor1Offset = 0.5f;
        transmitters.Add(1);
    }
    DeviceSnapshot TakeFrom(std::uint8_t address) {
        hartMaster.m_byPollAddr = address;
        SnapshotProcedure procedure;
        DeviceSnapshot snapshot;
        EXPECT_EQ(procedure.Take(snapshot), ProcedureOutcome::kDone);
        return snapshot;
    }
    RestoreReport RestoreOnto(std::uint8_t address, const DeviceSnapshot& saved,
                              CompareScope scope = {}) {
        hartMaster.m_byPollAddr = address;
        SnapshotProcedure procedure;
        DeviceSnapshot now;
        EXPECT_EQ(procedure.Take(now), ProcedureOutcome::kDone);
        return procedure.Restore(saved, now, scope);
    }
    std::vector<std::string> Fields(const std::vector<FieldDifference>& differences) {
        std::vector<std::string> fields;
        for (const auto& d : differences) {
            fields.push_back(d.field);
        }
        return fields;
    }
};

TEST_F(SnapshotProcedureTest, FieldsAndValuesReadInTheInterfaceLanguage) {
    EXPECT_EQ(FieldCaption("sensor1.type"), "Sensor 1 type");
    EXPECT_EQ(FieldValueText("sensor1.type", "10"), "Pt100");
    EXPECT_EQ(FieldValueText("sensor2.wiring", "4"), "4-wire");
    EXPECT_EQ(FieldValueText("work_mode", "independent"), LangText("KvView2", "IDC_RAO_MODE4"));
    EXPECT_EQ(FieldValueText("alarm", "low"), "<=3.6mA");
    EXPECT_EQ(FieldValueText("unit", "C"),
              "\xB0"
              "C");
    EXPECT_EQ(FieldValueText("sensor1.wiring", "-"), "-");
}

TEST_F(SnapshotProcedureTest, TheAddressMovesLastAndOnlyWhenAsked) {
    mainForm.Add(main_ids::kShortAddressBox, "1");
    DeviceSnapshot wanted = TakeFrom(1);
    wanted.pollAddress = 5;
    wanted.tag = "MOVED";
    EXPECT_TRUE(RestoreOnto(1, wanted).notTaken.empty());
    EXPECT_EQ(transmitters.Devices()[1].m_byPollAddr, 1);

    const RestoreReport report = RestoreOnto(1, wanted, {true, false});
    EXPECT_TRUE(report.notTaken.empty());
    EXPECT_EQ(report.differences.back().field, "poll_address");
    EXPECT_EQ(transmitters.Devices()[1].m_byPollAddr, 5);
    EXPECT_EQ(hartMaster.m_byPollAddr, 5);
    // Stop and the pages go back to the address the window's box names.
    EXPECT_EQ(mainForm.Text(main_ids::kShortAddressBox), "5");
}

TEST_F(SnapshotProcedureTest, ARestoredReplacementReadsLikeTheOriginalButForIdentity) {
    const DeviceSnapshot original = TakeFrom(0);
    EXPECT_EQ(original.tag, "TT-205");
    EXPECT_EQ(original.unit, "F");
    EXPECT_EQ(original.sensor1.type, kTypeK);
    EXPECT_FALSE(original.sensor1.wiring);
    EXPECT_FLOAT_EQ(original.sensor1.offset, 0.9f);  // 0.5 degrees shown in F
    EXPECT_EQ(original.identity.deviceId, "0A0000");
    EXPECT_EQ(original.identity.softwareVersion, "V1.23");

    // A transmitter may judge a type K range by the PT100 it has: the new
    // sensor goes first with the present range, then the range.
    const std::size_t heard = transmitters.Heard().size();
    const RestoreReport report = RestoreOnto(1, original, {false, true});
    std::vector<std::vector<std::uint8_t>> ranges;
    for (std::size_t i = heard; i < transmitters.Heard().size(); ++i) {
        if (transmitters.Heard()[i].command == 35) {
            ranges.push_back(transmitters.Heard()[i].data);
        }
    }
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0][0], 32);  // degrees Celsius, 0..100 as before
    EXPECT_EQ(DecodeFloat(&ranges[0][1]), 100);
    EXPECT_EQ(ranges[1][0], 33);  // F, the file's range
    EXPECT_EQ(DecodeFloat(&ranges[1][1]), 1600);
    EXPECT_EQ(report.outcome, ProcedureOutcome::kDone);
    EXPECT_TRUE(report.notTaken.empty()) << Fields(report.notTaken)[0];
    EXPECT_GE(report.differences.size(), 10u);

    const DeviceSnapshot copy = TakeFrom(1);
    EXPECT_TRUE(CompareSnapshots(original, copy, {false, true}).empty());
    EXPECT_EQ(copy.identity.deviceId, "0A0001");
    EXPECT_EQ(copy.pollAddress, 1);
    EXPECT_EQ(transmitters.Devices()[1].m_byPollAddr, 1);
}

TEST_F(SnapshotProcedureTest, AnEqualDeviceGetsNoWrite) {
    const DeviceSnapshot original = TakeFrom(0);
    const std::size_t heard = transmitters.Heard().size();
    const RestoreReport report = RestoreOnto(0, original, {true, true});
    EXPECT_TRUE(report.differences.empty());
    EXPECT_EQ(report.outcome, ProcedureOutcome::kDone);
    for (std::size_t i = heard; i < transmitters.Heard().size(); ++i) {
        const std::uint8_t command = transmitters.Heard()[i].command;
        EXPECT_TRUE(command == 0 || command == 15 || command == 146 || command == 147 ||
                    command == 12 || command == 13 || command == 16 || command == 162)
            << int(command);
    }
}

TEST_F(SnapshotProcedureTest, AFileWrittenByAnEarlierVersionStillRestores) {
    // Kept as that version wrote it: a change to the format must still read it.
    std::ifstream file(TANDRIN_SNAPSHOT_V1);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    DeviceSnapshot saved;
    std::string error;
    ASSERT_TRUE(ParseSnapshot(text, saved, error)) << error;
    EXPECT_EQ(saved.tag, "TT-205");

    const RestoreReport report = RestoreOnto(1, saved);
    EXPECT_EQ(report.outcome, ProcedureOutcome::kDone);
    EXPECT_TRUE(report.notTaken.empty());
    const sim::SimDevice& device = transmitters.Devices()[1];
    EXPECT_EQ(device.m_fDamping, 0.25f);
    EXPECT_EQ(device.m_fUpperRange, 22.839394f);
    EXPECT_EQ(device.m_fLowerRange, -40.5f);
    EXPECT_TRUE(CompareSnapshots(saved, TakeFrom(1), {}).empty());
}

TEST_F(SnapshotProcedureTest, AFieldTheDeviceRefusesIsReportedAndTheRestWritten) {
    DeviceSnapshot original = TakeFrom(0);
    transmitters.silentCommands = {34};
    const RestoreReport report = RestoreOnto(1, original, {false, true});
    EXPECT_EQ(report.outcome, ProcedureOutcome::kFailed);
    EXPECT_EQ(Fields(report.notTaken), std::vector<std::string>{"damping"});
    EXPECT_EQ(transmitters.Devices()[1].m_bySensor1Type, kTypeK);
    EXPECT_EQ(transmitters.Devices()[1].m_abyFinalAssembly[2], 0xF3);
}

TEST_F(SnapshotProcedureTest, ARangeTheSensorCannotTakeIsHeldAndTheOtherPartsStillGo) {
    DeviceSnapshot wanted = TakeFrom(1);  // a PT100 in degrees Celsius
    wanted.lowerRange = -300;             // below any temperature sensor
    wanted.damping = 4;
    wanted.alarm = 1;
    wanted.sensor1.wiring = 4;
    const RestoreReport report = RestoreOnto(1, wanted);
    EXPECT_EQ(Fields(report.notTaken), std::vector<std::string>{"lower_range"});
    EXPECT_FLOAT_EQ(transmitters.Devices()[1].m_fDamping, 4);
    EXPECT_EQ(transmitters.Devices()[1].m_byAlarmMode, 1);
    EXPECT_EQ(transmitters.Devices()[1].m_byWiring & 0x0F, 2);
}

TEST_F(SnapshotProcedureTest, ASecondSensorAndItsWorkModeAreRestored) {
    DeviceSnapshot wanted = TakeFrom(1);
    wanted.sensors = 2;
    wanted.workMode = 3;
    wanted.outputSensor = 2;
    wanted.sensor2 = SnapshotSensor{11, 2, -0.25};  // a PT1000, 2-wire
    const RestoreReport report = RestoreOnto(1, wanted);
    EXPECT_TRUE(report.notTaken.empty()) << Fields(report.notTaken)[0];
    EXPECT_EQ(transmitters.Devices()[1].m_bySensor2Type, 11);
    EXPECT_EQ(transmitters.Devices()[1].m_byWorkMode, 0x13);
}

TEST_F(SnapshotProcedureTest, StopEndsTheProcedureBetweenCommands) {
    const DeviceSnapshot original = TakeFrom(0);
    hartMaster.m_byPollAddr = 1;
    SnapshotProcedure procedure;
    DeviceSnapshot now;
    ASSERT_EQ(procedure.Take(now), ProcedureOutcome::kDone);
    // Stop while the first Update runs: nothing after it goes out.
    loop.StartTimer(700, [&](TimerId) { dialog.StopSequence(); });
    const std::size_t heard = transmitters.Heard().size();
    const RestoreReport report = procedure.Restore(original, now, {false, true});
    EXPECT_EQ(report.outcome, ProcedureOutcome::kStopped);
    EXPECT_TRUE(report.notTaken.empty());
    for (std::size_t i = heard; i < transmitters.Heard().size(); ++i) {
        EXPECT_NE(transmitters.Heard()[i].command, 17);
        EXPECT_NE(transmitters.Heard()[i].command, 19);
    }
    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(shell.status[0], LangText("strBreak"));
}

}  // namespace
}  // namespace tandrin
