#include "procedures/snapshot_procedure.h"

#include <algorithm>

#include "device/degree_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/info_page_ids.h"
#include "pages/page_sequence.h"
#include "pages/setup_page_form.h"
#include "pages/setup_page_ids.h"
#include "pages/unit_conversion.h"
#include "platform/text_codec.h"
#include "shell/command_issue.h"
#include "shell/main_dialog.h"

namespace tandrin {

namespace {

// How often a wait looks at the sequence; events run in between.
constexpr std::uint32_t kWaitStepMs = 20;
constexpr int kIndependent = 3;
constexpr std::uint8_t kRangeCommand = 35;
constexpr std::uint8_t kSensorCommand = 186;
constexpr std::uint8_t kDisplayCommand = 187;

bool running = false;

bool Gbk() {
    return chineseUi.load() == 1;
}

bool Differs(const std::vector<FieldDifference>& differences,
             std::initializer_list<const char*> fields) {
    return std::any_of(differences.begin(), differences.end(), [&](const FieldDifference& d) {
        return std::find(fields.begin(), fields.end(), d.field) != fields.end();
    });
}

bool SetupDiffers(const std::vector<FieldDifference>& differences) {
    static const std::initializer_list<const char*> kInformation = {
        "tag", "descriptor", "message", "date", "final_assembly", "poll_address"};
    return std::any_of(differences.begin(), differences.end(), [](const FieldDifference& d) {
        return std::find(kInformation.begin(), kInformation.end(), d.field) == kInformation.end();
    });
}

bool SensorTypesChange(const DeviceSnapshot& saved, const DeviceSnapshot& device) {
    return saved.sensors != device.sensors || saved.sensor1.type != device.sensor1.type ||
           (saved.sensor2 && device.sensor2 && saved.sensor2->type != device.sensor2->type);
}

}  // namespace

SnapshotProcedure::SnapshotProcedure() {
    AddSetupPageControls(m_setupForm);
    for (const PageControl& control : info_ids::kControls) {
        m_infoForm.Add(control.id);
    }
    m_setup.Init();
    m_info.Init();
    // The address in use, as the window's box holds it.
    m_infoForm.SetText(info_ids::kAddressBox, std::to_string(hartMaster.m_byPollAddr));
    running = true;
}

SnapshotProcedure::~SnapshotProcedure() {
    running = false;
}

bool SnapshotProcedure::Running() {
    return running;
}

ProcedureOutcome SnapshotProcedure::RunAndWait(const std::function<void()>& action) {
    EventLoop* loop = hartMaster.Loop();
    if (mainWindow == nullptr || loop == nullptr) {
        return ProcedureOutcome::kFailed;
    }
    mainWindow->lastOutcome = MainDialog::Outcome::kNone;
    CommandSequence.count = 0;
    CommandSequence.index = 0;
    cancelFlag = 0;
    action();
    // The end of the sequence, Stop or a lost port clear busyFlag.
    while (busyFlag != 0) {
        loop->PumpingDelay(kWaitStepMs);
    }
    if (mainWindow->lastOutcome == MainDialog::Outcome::kDone) {
        return ProcedureOutcome::kDone;
    }
    if (cancelFlag != 0) {
        return ProcedureOutcome::kStopped;
    }
    m_failedCommand = CommandSequence.index < CommandSequence.count
                          ? CommandSequence.commands[CommandSequence.index]
                          : 0;
    return ProcedureOutcome::kFailed;
}

void SnapshotProcedure::VersionDone(void* user, std::int32_t success, std::uint8_t /*command*/) {
    if (AdvancePageSequence(user, &SnapshotProcedure::VersionDone, success) ==
        SequenceStep::kThrough) {
        ReportDone();
    }
}

ProcedureOutcome SnapshotProcedure::ReadVersion() {
    return RunAndWait([this] {
        if (CheckLinkReady() != 0) {
            RunPageSequence(this, &SnapshotProcedure::VersionDone, {0, 162});
        }
    });
}

ProcedureOutcome SnapshotProcedure::Take(DeviceSnapshot& snapshot) {
    const std::function<void()> steps[] = {
        [this] { m_setup.Read(); },
        [this] { m_info.OnClicked(info_ids::kReadInfo); },
        [this] { m_info.OnClicked(info_ids::kReadFinal); },
    };
    for (const auto& step : steps) {
        if (const ProcedureOutcome outcome = RunAndWait(step); outcome != ProcedureOutcome::kDone) {
            return outcome;
        }
    }
    if (const ProcedureOutcome outcome = ReadVersion(); outcome != ProcedureOutcome::kDone) {
        return outcome;
    }
    snapshot = SnapshotOfDevice(hartMaster, Gbk());
    snapshot.taken = SnapshotTime();
    return ProcedureOutcome::kDone;
}

void SnapshotProcedure::ApplySensor(int typeList, int wiringList, const SnapshotSensor& sensor) {
    m_setupForm.SetSelection(typeList, SensorPositionOfCode(sensor.type));
    typeList == setup_ids::kSensor1Type ? m_setup.OnSensor1Type() : m_setup.OnSensor2Type();
    if (m_setupForm.Enabled(wiringList)) {
        m_setupForm.SetSelection(wiringList, sensor.wiring ? *sensor.wiring - 2 : -1);
    }
}

// The choices in the order a technician makes them, each through the
// page's own reaction to it.
void SnapshotProcedure::ApplySensors(const DeviceSnapshot& from) {
    using namespace setup_ids;
    if (from.sensors == 2) {
        m_setup.OnDoubleSensor();
        m_setup.OnWorkMode(from.workMode);
        if (from.workMode == kIndependent) {
            m_setupForm.SetSelection(kOutputSensor, from.outputSensor - 1);
            m_setup.OnOutputSensor();
        }
    } else {
        m_setup.OnSingleSensor();
    }
    ApplySensor(kSensor1Type, kSensor1Wiring, from.sensor1);
    if (from.sensor2) {
        ApplySensor(kSensor2Type, kSensor2Wiring, *from.sensor2);
    }
}

void SnapshotProcedure::ApplySetup(const DeviceSnapshot& saved, const DeviceSnapshot& device,
                                   const Holds& holds) {
    using namespace setup_ids;
    const DeviceSnapshot& sensors = holds.sensors ? device : saved;
    const DeviceSnapshot& range = holds.range ? device : saved;
    const DeviceSnapshot& display = holds.display ? device : saved;
    // Choosing a sensor shows its default range: the range comes after.
    ApplySensors(sensors);
    const std::string unit = InterfaceUnitText(range.unit);
    m_setupForm.SetText(kUnit, unit);
    m_setup.OnUnitTyped();
    // Every number set here is the file's, not the one read.
    for (const int id : {kZero, kSpan, kSensor1Offset, kDamping}) {
        m_setup.OnValueTyped(id);
    }
    m_setupForm.SetText(kZero, FloatText(range.lowerRange));
    m_setupForm.SetText(kSpan, FloatText(range.upperRange));
    // Offsets are shown in the output unit, which may not be theirs.
    const std::string offsetUnit = InterfaceUnitText(sensors.unit);
    const auto offsetText = [&](const SnapshotSensor& sensor) {
        return FloatText(OffsetShownIn(unit, OffsetForDevice(offsetUnit, sensor.offset)));
    };
    m_setupForm.SetText(kSensor1Offset, offsetText(sensors.sensor1));
    if (sensors.sensor2) {
        m_setup.OnValueTyped(kSensor2Offset);
        m_setupForm.SetText(kSensor2Offset, offsetText(*sensors.sensor2));
    }
    m_setupForm.SetText(kDamping, FloatText(saved.damping));
    m_setupForm.SetSelection(kDisplayMode, display.displayMode);
    m_setupForm.SetSelection(kDecimals, display.decimals);
    m_setupForm.SetSelection(kAlarm, display.alarm);
}

// One Update. A part the transmitter refuses is held at its present values
// and the Update made again, so the parts after it are still written.
ProcedureOutcome SnapshotProcedure::UpdateSetup(const DeviceSnapshot& saved,
                                                const DeviceSnapshot& device, Holds& holds) {
    while (true) {
        ApplySetup(saved, device, holds);
        const ProcedureOutcome outcome = RunAndWait([this] { m_setup.Update(); });
        if (outcome != ProcedureOutcome::kFailed) {
            return outcome;
        }
        bool* hold = m_failedCommand == kRangeCommand     ? &holds.range
                     : m_failedCommand == kSensorCommand  ? &holds.sensors
                     : m_failedCommand == kDisplayCommand ? &holds.display
                                                          : nullptr;
        if (hold == nullptr || *hold) {
            return outcome;
        }
        *hold = true;
    }
}

// The range goes out before the sensor (35 before 186), and a transmitter
// checks a new range against the sensor it has: when the sensor type
// changes, the new sensor goes first with the present range, then the
// range.
ProcedureOutcome SnapshotProcedure::RestoreSetup(const DeviceSnapshot& saved,
                                                 const DeviceSnapshot& device) {
    Holds holds;
    if (SensorTypesChange(saved, device)) {
        holds.range = true;
        const ProcedureOutcome outcome = UpdateSetup(saved, device, holds);
        if (outcome == ProcedureOutcome::kStopped) {
            return outcome;
        }
        holds.range = false;
    }
    return UpdateSetup(saved, device, holds);
}

ProcedureOutcome SnapshotProcedure::RestoreInformation(
    const DeviceSnapshot& saved, const std::vector<FieldDifference>& differences,
    CompareScope scope) {
    using namespace info_ids;
    std::vector<std::function<void()>> steps;
    if (Differs(differences, {"tag", "descriptor", "message", "date"})) {
        m_infoForm.SetText(kTag, FromUtf8(saved.tag, Gbk()));
        m_infoForm.SetText(kDescriptor, FromUtf8(saved.descriptor, Gbk()));
        m_infoForm.SetText(kMessage, FromUtf8(saved.message, Gbk()));
        m_infoForm.SetText(kDate, saved.date);
        steps.push_back([this] { m_info.OnClicked(kUpdateInfo); });
    }
    if (scope.withFinalAssembly && Differs(differences, {"final_assembly"})) {
        m_infoForm.SetText(kFinalAssembly, saved.finalAssembly);
        steps.push_back([this] { m_info.OnClicked(kUpdateFinal); });
    }
    // Last: from here on the transmitter answers at its new address.
    if (scope.withAddress && Differs(differences, {"poll_address"})) {
        m_infoForm.SetText(kNewAddress, std::to_string(saved.pollAddress));
        steps.push_back([this] { m_info.OnClicked(kUpdateAddress); });
    }
    ProcedureOutcome worst = ProcedureOutcome::kDone;
    for (const auto& step : steps) {
        const ProcedureOutcome outcome = RunAndWait(step);
        if (outcome == ProcedureOutcome::kStopped) {
            return outcome;
        }
        if (outcome == ProcedureOutcome::kFailed) {
            worst = outcome;
        }
    }
    if (scope.withAddress && mainWindow != nullptr) {
        // The window's box names the address Stop and the pages go back to.
        mainWindow->InfoPageForm().SetText(kAddressBox, std::to_string(hartMaster.m_byPollAddr));
    }
    return worst;
}

RestoreReport SnapshotProcedure::Restore(const DeviceSnapshot& saved, const DeviceSnapshot& device,
                                         CompareScope scope) {
    RestoreReport report;
    report.differences = CompareSnapshots(saved, device, scope);
    if (report.differences.empty()) {
        return report;
    }
    // A part that fails is reported by the read-back; the others still go.
    if (SetupDiffers(report.differences)) {
        report.outcome = RestoreSetup(saved, device);
    }
    if (report.outcome != ProcedureOutcome::kStopped) {
        const ProcedureOutcome outcome = RestoreInformation(saved, report.differences, scope);
        if (outcome != ProcedureOutcome::kDone) {
            report.outcome = outcome;
        }
    }
    if (report.outcome == ProcedureOutcome::kStopped) {
        return report;
    }
    DeviceSnapshot after;
    const ProcedureOutcome read = Take(after);
    if (read != ProcedureOutcome::kDone) {
        report.outcome = read;
        report.notTaken = report.differences;
        return report;
    }
    report.readBack = true;
    report.notTaken = CompareSnapshots(saved, after, scope);
    report.outcome = report.notTaken.empty() ? ProcedureOutcome::kDone : ProcedureOutcome::kFailed;
    return report;
}

}  // namespace tandrin
