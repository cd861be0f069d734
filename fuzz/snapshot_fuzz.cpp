// Arbitrary bytes as a snapshot file: the reader must refuse or accept
// them without fault, and what it accepts must write out and read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "procedures/device_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tandrin::DeviceSnapshot snapshot;
    std::string error;
    if (tandrin::ParseSnapshot(text, snapshot, error)) {
        tandrin::DeviceSnapshot again;
        if (!tandrin::ParseSnapshot(tandrin::SnapshotFileText(snapshot), again, error)) {
            __builtin_trap();
        }
    }
    return 0;
}
