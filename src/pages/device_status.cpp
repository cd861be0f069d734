#include "pages/device_status.h"

#include <algorithm>
#include <cstdio>

#include "device/encodings.h"
#include "device/response_codes.h"
#include "pages/page_sequence.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"

namespace tandrin {

namespace {

struct BitName {
    std::uint8_t mask;
    const char* key;
};

constexpr BitName kExtendedBits[] = {
    {0x01, "strEsMaintenance"}, {0x02, "strEsVariableAlert"}, {0x04, "strEsPowerFailure"},
    {0x08, "strEsFailure"},     {0x10, "strEsOutsideRated"},     {0x20, "strEsFunctionCheck"},
};

constexpr BitName kStandard0Bits[] = {
    {0x01, "strSs0Simulation"},  {0x02, "strSs0NvMemory"}, {0x04, "strSs0VMemory"},
    {0x08, "strSs0Watchdog"},    {0x10, "strSs0Voltage"},  {0x20, "strSs0Environment"},
    {0x40, "strSs0Electronics"}, {0x80, "strSs0Locked"},
};

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

std::string Text(const char* key, const char* fallback) {
    std::string text = LangText(key);
    return text.empty() ? fallback : text;
}

template <std::size_t N>
std::string Decoded(std::uint8_t byte, const BitName (&names)[N]) {
    std::string text = Hex(byte);
    const char* separator = ": ";
    for (const BitName& bit : names) {
        if ((byte & bit.mask) != 0) {
            text += separator + Text(bit.key, bit.key);
            separator = ", ";
        }
    }
    return text;
}

// Command 48's standard bytes by position (HART 6 and later).
struct StandardByte {
    std::size_t at;
    const char* name;
    const char* key;
};
constexpr StandardByte kStandardBytes[] = {
    {6, "extended_device_status", "strAsExtended"},
    {7, "device_operating_mode", "strAsOperatingMode"},
    {8, "standardized_status_0", "strAsStandard0"},
    {9, "standardized_status_1", "strAsStandard1"},
    {10, "analog_channels_saturated", "strAsSaturated"},
    {11, "standardized_status_2", "strAsStandard2"},
    {12, "standardized_status_3", "strAsStandard3"},
    {13, "analog_channels_fixed", "strAsFixed"},
};

}  // namespace

std::vector<StatusRow> DeviceStatusRows(const DeviceData& device) {
    std::vector<StatusRow> rows;
    const std::string yes = Text("strYes", "yes");
    const std::string no = Text("strNo", "no");
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        rows.push_back({bit.name, Text(bit.key, bit.name),
                        (device.m_byDeviceStatus & bit.mask) != 0 ? yes : no});
    }
    const std::size_t length = device.m_byAdditionalStatusLength;
    if (length == 0) {
        return rows;
    }
    const auto& bytes = device.m_abyAdditionalStatus;
    for (const StandardByte& standard : kStandardBytes) {
        if (standard.at >= length) {
            break;
        }
        const std::uint8_t byte = bytes[standard.at];
        std::string value = Hex(byte);
        if (standard.at == 6) {
            value = Decoded(byte, kExtendedBits);
        } else if (standard.at == 8) {
            value = Decoded(byte, kStandard0Bits);
        }
        rows.push_back({standard.name, Text(standard.key, standard.name), value, byte});
    }
    // Bytes 0 to 5 and from 14 on are the manufacturer's own.
    std::string specific = BytesToHex(bytes.data(), std::min<std::size_t>(length, 6));
    if (length > 14) {
        specific += " " + BytesToHex(bytes.data() + 14, length - 14);
    }
    rows.push_back({"device_specific", Text("strAsSpecific", "Device-specific status"), specific});
    return rows;
}

bool DeviceStatusReader::Read() {
    if (CheckLinkReady() == 0) {
        return false;
    }
    hartMaster.m_byAdditionalStatusLength = 0;  // nothing stale if it fails
    RunPageSequence(this, &DeviceStatusReader::StepDone, {0, 48});
    return true;
}

bool DeviceStatusReader::ClearConfigChanged() {
    if (mainWindow == nullptr ||
        !mainWindow->Shell().AskYesNo(LangText("strResetConfigAsk"), "HART") ||
        CheckLinkReady() == 0) {
        return false;
    }
    RunPageSequence(this, &DeviceStatusReader::StepDone, {0, 38});
    return true;
}

void DeviceStatusReader::StepDone(void* user, std::int32_t success, std::uint8_t /*command*/) {
    if (AdvancePageSequence(user, &DeviceStatusReader::StepDone, success) ==
        SequenceStep::kThrough) {
        ReportDone();
    }
}

}  // namespace tandrin
