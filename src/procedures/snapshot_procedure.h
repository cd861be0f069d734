#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pages/info_page.h"
#include "pages/setup_page.h"
#include "procedures/device_snapshot.h"
#include "procedures/snapshot_compare.h"
#include "shell/memory_form.h"

namespace tandrin {

enum class ProcedureOutcome { kDone, kFailed, kStopped };

struct RestoreReport {
    ProcedureOutcome outcome = ProcedureOutcome::kDone;
    // What differed before the restore.
    std::vector<FieldDifference> differences;
    // What still differs after it, read back from the transmitter.
    std::vector<FieldDifference> notTaken;
    // The device model holds what the transmitter has after the restore.
    bool readBack = false;
};

// Takes, compares and restores a transmitter's configuration through the
// Setup and Device information pages' own sequences, run on in-memory
// copies of their controls one after another. Each sequence is waited for
// with the event loop's PumpingDelay, so a window keeps painting and Stop
// ends the procedure between commands. Reports go through `mainWindow`
// like every page's.
class SnapshotProcedure {
  public:
    SnapshotProcedure();
    ~SnapshotProcedure();
    SnapshotProcedure(const SnapshotProcedure&) = delete;
    SnapshotProcedure& operator=(const SnapshotProcedure&) = delete;

    // True while any procedure runs: a second one is refused.
    static bool Running();

    // Reads what the pages read (Setup Read, information, final assembly
    // number) and the software version.
    ProcedureOutcome Take(DeviceSnapshot& snapshot);

    // Writes what differs between `saved` and `device` (a Take made just
    // before, by this object) through the pages' Update sequences, then
    // reads back and reports what did not take.
    RestoreReport Restore(const DeviceSnapshot& saved, const DeviceSnapshot& device,
                          CompareScope scope);

  private:
    // The parts of one Setup Update held at the transmitter's present
    // values, after the transmitter refused them.
    struct Holds {
        bool range = false;    // command 35
        bool sensors = false;  // command 186
        bool display = false;  // command 187
    };

    ProcedureOutcome RunAndWait(const std::function<void()>& action);
    ProcedureOutcome ReadVersion();
    ProcedureOutcome RestoreSetup(const DeviceSnapshot& saved, const DeviceSnapshot& device);
    ProcedureOutcome UpdateSetup(const DeviceSnapshot& saved, const DeviceSnapshot& device,
                                 Holds& holds);
    void ApplySetup(const DeviceSnapshot& saved, const DeviceSnapshot& device, const Holds& holds);
    void ApplySensors(const DeviceSnapshot& from);
    void ApplySensor(int typeList, int wiringList, const SnapshotSensor& sensor);
    ProcedureOutcome RestoreInformation(const DeviceSnapshot& saved,
                                        const std::vector<FieldDifference>& differences,
                                        CompareScope scope);
    static void VersionDone(void* user, std::int32_t success, std::uint8_t command);

    MemoryForm m_setupForm;
    MemoryForm m_infoForm;
    SetupPage m_setup{m_setupForm};
    InfoPage m_info{m_infoForm};
    // The command a failed sequence ended on; 0 when none went out.
    std::uint8_t m_failedCommand = 0;
};

}  // namespace tandrin
