#pragma once

#include <optional>
#include <string>
#include <vector>

#include "device/device_data.h"

namespace tandrin {

// Who the configuration came from, kept for reference only: a restore
// onto another transmitter is the point.
struct SnapshotIdentity {
    int manufacturer = 0;
    int deviceType = 0;
    std::string deviceId;     // six hexadecimal digits
    std::string longAddress;  // ten hexadecimal digits
    std::string softwareVersion;
};

struct SnapshotSensor {
    int type = 0;               // sensor code 0..28
    std::optional<int> wiring;  // 2, 3 or 4 wires; none for other inputs
    double offset = 0;          // in the output unit, as the Setup page shows it
};

// Everything the Setup and Device information pages read and write, in
// plain units and names. Texts are UTF-8.
struct DeviceSnapshot {
    std::string taken;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
    SnapshotIdentity identity;

    std::string tag;
    std::string descriptor;
    std::string message;
    std::string date;  // YYYY-MM-DD
    std::string finalAssembly;
    int pollAddress = 0;

    int sensors = 1;
    int workMode = 0;      // 0 backup .. 3 independent
    int outputSensor = 1;  // in the independent work mode
    SnapshotSensor sensor1;
    std::optional<SnapshotSensor> sensor2;
    std::string unit;  // "C", "F", "K", "Ohm", "mV", ...
    double lowerRange = 0;
    double upperRange = 0;
    double damping = 0;
    int displayMode = 0;
    int decimals = 0;
    int alarm = 0;  // 0 high (>= 22 mA), 1 low (<= 3.6 mA)
};

constexpr const char* kSnapshotFormat = "tandrin-device-configuration";
constexpr int kSnapshotVersion = 1;

// What the device model holds after the pages' reads, in the snapshot's
// terms. `taken` is left to the caller.
DeviceSnapshot SnapshotOfDevice(const DeviceData& device, bool gbk);
// The current time as `taken` wants it.
std::string SnapshotTime();

// The unit box text of a plain unit name, in the interface code page.
std::string InterfaceUnitText(const std::string& plain);

// The snapshot file: UTF-8 JSON.
std::string SnapshotFileText(const DeviceSnapshot& snapshot);
// Reads a snapshot file whole. Unknown keys are ignored; a missing or
// malformed value gives false and an error naming its key.
bool ParseSnapshot(const std::string& text, DeviceSnapshot& snapshot, std::string& error);

// Same manufacturer and device type.
bool SameKindOfDevice(const SnapshotIdentity& a, const SnapshotIdentity& b);

}  // namespace tandrin
