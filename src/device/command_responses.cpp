#include "device/command_responses.h"

#include <algorithm>

#include "device/encodings.h"
#include "device/units.h"

namespace tandrin {

namespace {

// Record positions: long responses carry data from offset 10, the short
// command 0 response from offset 6 with its address byte at offset 1.
constexpr std::size_t kLongDataOffset = 10;
constexpr std::size_t kShortDataOffset = 6;
constexpr std::size_t kShortAddressOffset = 1;

enum class Check {
    kExactCount,   // byte count equals the row's count
    kMinCount,     // byte count at least the row's count
    kPollAddress,  // kMinCount, and from the polled address
    kNever,
};

using Store = void (*)(const std::uint8_t* data, DeviceData& device);

struct ResponseRow {
    std::uint8_t command;
    Check check;
    std::uint8_t byteCount;  // data bytes plus the two status bytes
    Store store;             // nullptr: nothing to keep
};

void StoreIdentity(const std::uint8_t* data, DeviceData& device) {
    device.m_abyLongAddr = LongAddressFromIdentity(data);
}

void StorePV(const std::uint8_t* data, DeviceData& device) {
    device.m_strPVUnit = UnitText(data[0]);
    device.m_fPV = DecodeFloat(data + 1);
}

void StoreCurrentAndPercent(const std::uint8_t* data, DeviceData& device) {
    device.m_fLoopCurrent = DecodeFloat(data);
    device.m_fPercentRange = DecodeFloat(data + 4);
}

void StoreDynamicVariables(const std::uint8_t* data, DeviceData& device) {
    device.m_fDynPV = DecodeFloat(data + 5);
    device.m_fDynSV = DecodeFloat(data + 10);
    device.m_fDynTV = DecodeFloat(data + 15);
}

void StoreMessage(const std::uint8_t* data, DeviceData& device) {
    device.m_strMessage = UnpackText(data, 32);
}

void StoreTagDescriptorDate(const std::uint8_t* data, DeviceData& device) {
    device.m_strTag = UnpackText(data, 8);
    device.m_strDescriptor = UnpackText(data + 6, 16);
    device.m_byDateDay = data[18];
    device.m_byDateMonth = data[19];
    device.m_wDateYear = YearFromWire(data[20]);
}

void StoreSensorLimits(const std::uint8_t* data, DeviceData& device) {
    device.m_strSensorLimitUnit = UnitText(data[3]);
    device.m_fSensorUpperLimit = DecodeFloat(data + 4);
    device.m_fSensorLowerLimit = DecodeFloat(data + 8);
}

void StoreOutputInfo(const std::uint8_t* data, DeviceData& device) {
    device.m_strPVUnit = UnitText(data[2]);
    device.m_fUpperRange = DecodeFloat(data + 3);
    device.m_fLowerRange = DecodeFloat(data + 7);
    device.m_fDamping = DecodeFloat(data + 11);
}

void StoreFinalAssembly(const std::uint8_t* data, DeviceData& device) {
    device.m_strFinalAssembly = Hex24ToText(data);
}

void StoreCmd140(const std::uint8_t* data, DeviceData& device) {
    device.m_fCmd140A = DecodeFloat(data);
    device.m_fCmd140B = DecodeFloat(data + 4);
}

void StoreCmd141(const std::uint8_t* data, DeviceData& device) {
    std::copy_n(data, device.m_abyCmd141.size(), device.m_abyCmd141.begin());
}

void StoreCmd142(const std::uint8_t* data, DeviceData& device) {
    device.m_fCmd142 = DecodeFloat(data);
}

void StoreCmd143(const std::uint8_t* data, DeviceData& device) {
    device.m_byCmd143Index = data[0];
    std::copy_n(data + 1, device.m_abyCmd143.size(), device.m_abyCmd143.begin());
    device.m_wCmd143A = DecodeWord(data + 5);
    device.m_wCmd143B = DecodeWord(data + 7);
    device.m_dCmd143A = DecodeNumber5(data + 9);
    device.m_dCmd143B = DecodeNumber5(data + 14);
}

void StoreCmd144(const std::uint8_t* data, DeviceData& device) {
    for (std::size_t i = 0; i < device.m_afCmd144.size(); ++i) {
        device.m_afCmd144[i] = DecodeFloat(data + 4 * i);
    }
}

void StoreCmd145(const std::uint8_t* data, DeviceData& device) {
    device.m_fCmd145 = DecodeFloat(data);
}

void StoreSensorConfiguration(const std::uint8_t* data, DeviceData& device) {
    device.m_bySensor1Type = data[0];
    device.m_bySensor2Type = data[1];
    device.m_byWiring = data[2];
    device.m_byWorkMode = data[3];
    device.m_fSensor1Offset = DecodeFloat(data + 4);
    device.m_fSensor2Offset = DecodeFloat(data + 8);
}

void StoreDisplay(const std::uint8_t* data, DeviceData& device) {
    device.m_byDisplayMode = data[0];
    device.m_byDecimals = data[1];
    device.m_byAlarmMode = data[2];
}

void StoreCmd148(const std::uint8_t* data, DeviceData& device) {
    device.m_byCmd148A = data[0];
    device.m_byCmd148B = data[1];
}

void StoreCmd150(const std::uint8_t* data, DeviceData& device) {
    device.m_fCmd150 = DecodeFloat(data);
    device.m_byCmd150Steps = StepsFromWire(data[4]);
}

// The response carries 34 block bytes; the last byte of the block is only
// ever written by the tool.
void StoreBlock(const std::uint8_t* data, DeviceData& device) {
    std::copy_n(data, device.m_abyBlock.size() - 1, device.m_abyBlock.begin());
}

void StoreCmd161(const std::uint8_t* data, DeviceData& device) {
    std::copy_n(data, device.m_abyCmd161.size(), device.m_abyCmd161.begin());
}

// Up to 25 bytes; ParseResponse sets how many came.
void StoreAdditionalStatus(const std::uint8_t* data, DeviceData& device) {
    std::copy_n(data, device.m_abyAdditionalStatus.size(), device.m_abyAdditionalStatus.begin());
}

void StoreSoftwareVersion(const std::uint8_t* data, DeviceData& device) {
    device.m_strSoftwareVersion = SoftwareVersionText(data);
}

constexpr ResponseRow Exact(std::uint8_t command, std::uint8_t byteCount, Store store = nullptr) {
    return {command, Check::kExactCount, byteCount, store};
}

// Commands 0 and 15 read fixed positions; requiring a byte count that
// covers every position read keeps a short reply from storing the zero
// fill beyond the frame as device values.
constexpr ResponseRow kResponseRows[] = {
    {0, Check::kPollAddress, 14, StoreIdentity},
    Exact(1, 7, StorePV),
    Exact(2, 10, StoreCurrentAndPercent),
    Exact(3, 21, StoreDynamicVariables),
    Exact(12, 26, StoreMessage),
    Exact(13, 23, StoreTagDescriptorDate),
    Exact(14, 18, StoreSensorLimits),
    {15, Check::kMinCount, 17, StoreOutputInfo},
    Exact(16, 5, StoreFinalAssembly),
    // Six device-specific bytes at least; the standard ones follow in
    // later revisions.
    {48, Check::kMinCount, 8, StoreAdditionalStatus},
    Exact(140, 10, StoreCmd140),
    Exact(141, 7, StoreCmd141),
    Exact(142, 6, StoreCmd142),
    Exact(143, 21, StoreCmd143),
    Exact(144, 14, StoreCmd144),
    Exact(145, 6, StoreCmd145),
    Exact(146, 14, StoreSensorConfiguration),
    Exact(147, 5, StoreDisplay),
    Exact(148, 4, StoreCmd148),
    {149, Check::kNever, 0, nullptr},
    Exact(150, 7, StoreCmd150),
    Exact(152, 36, StoreBlock),
    Exact(153, 36, StoreBlock),
    Exact(161, 6, StoreCmd161),
    Exact(162, 9, StoreSoftwareVersion),
    // Write acknowledgements: the byte count is all that is checked.
    // clang-format off
    Exact(36, 2), Exact(37, 2), Exact(38, 2), Exact(42, 2), Exact(163, 2), Exact(164, 2),
    Exact(6, 3), Exact(160, 3),
    Exact(188, 4),
    Exact(19, 5), Exact(187, 5),
    Exact(34, 6), Exact(40, 6), Exact(45, 6), Exact(46, 6), Exact(137, 6),
    Exact(139, 6), Exact(169, 6), Exact(182, 6), Exact(185, 6), Exact(194, 6),
    Exact(181, 7), Exact(184, 7), Exact(190, 7),
    Exact(138, 8),
    Exact(189, 9),
    Exact(180, 10),
    Exact(35, 11),
    Exact(186, 14),
    Exact(183, 21),
    Exact(18, 23),
    Exact(17, 26),
    Exact(192, 37),
    // clang-format on
};

bool Accepts(const ResponseRow& row, std::uint8_t byteCount, const std::uint8_t* record,
             const DeviceData& device) {
    switch (row.check) {
        case Check::kExactCount:
            return byteCount == row.byteCount;
        case Check::kMinCount:
            return byteCount >= row.byteCount;
        case Check::kPollAddress:
            return byteCount >= row.byteCount &&
                   (record[kShortAddressOffset] & 0x0F) == device.m_byPollAddr;
        case Check::kNever:
            return false;
    }
    return false;
}

}  // namespace

bool ParseResponse(std::uint8_t command, std::uint8_t byteCount, const std::uint8_t* record,
                   DeviceData& device) {
    const auto row = std::find_if(std::begin(kResponseRows), std::end(kResponseRows),
                                  [command](const ResponseRow& r) { return r.command == command; });
    if (row == std::end(kResponseRows) || !Accepts(*row, byteCount, record, device)) {
        return false;
    }
    if (row->store != nullptr) {
        row->store(record + (command == 0 ? kShortDataOffset : kLongDataOffset), device);
    }
    if (command == 48) {
        device.m_byAdditionalStatusLength = static_cast<std::uint8_t>(
            std::min<std::size_t>(byteCount - 2u, device.m_abyAdditionalStatus.size()));
    }
    return true;
}

}  // namespace tandrin
