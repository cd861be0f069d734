#include "device/command_requests.h"

#include <algorithm>
#include <array>

#include "device/degree_text.h"
#include "device/encodings.h"
#include "device/units.h"

namespace tandrin {

namespace {

constexpr std::size_t kTagChars = 8;
constexpr std::size_t kDescriptorChars = 16;
constexpr std::size_t kMessageChars = 32;

using Builder = int (*)(DeviceData& device, std::uint8_t* data);

struct RequestRow {
    std::uint8_t command;
    Builder build;
};

// Commands whose request carries no data. Command 0 goes out as a short
// frame, which the master builds itself.
constexpr std::array<std::uint8_t, 28> kNoDataCommands{
    0,   1,   2,   3,   12,  13,  14,  15,  16,  36,  37,  38,  42,  48,
    140, 141, 142, 144, 145, 146, 147, 148, 149, 150, 161, 162, 163, 164};

bool TextsAreGbk() {
    return chineseUi.load(std::memory_order_relaxed) == 1;
}

int PutFloat(float value, std::uint8_t* data) {
    EncodeFloat(value, data);
    return 4;
}

int PutBytes(const std::uint8_t* bytes, int count, std::uint8_t* data) {
    std::copy_n(bytes, count, data);
    return count;
}

// Upper-cases the member itself, as the device will report it back.
void PutPackedText(std::string& text, std::size_t chars, std::uint8_t* data) {
    const bool gbk = TextsAreGbk();
    UpperCaseAscii(text, gbk);
    PackText(text, chars, gbk, data);
}

int WriteMessage(DeviceData& device, std::uint8_t* data) {
    PutPackedText(device.m_strMessage, kMessageChars, data);
    return static_cast<int>(PackedSize(kMessageChars));
}

int WriteTagDescriptorDate(DeviceData& device, std::uint8_t* data) {
    PutPackedText(device.m_strTag, kTagChars, data);
    data += PackedSize(kTagChars);
    PutPackedText(device.m_strDescriptor, kDescriptorChars, data);
    data += PackedSize(kDescriptorChars);
    data[0] = device.m_byDateDay;
    data[1] = device.m_byDateMonth;
    data[2] = YearToWire(device.m_wDateYear);
    return 21;
}

int WriteFinalAssembly(DeviceData& device, std::uint8_t* data) {
    TextToHex24(device.m_strFinalAssembly, data);
    return 3;
}

int WriteRange(DeviceData& device, std::uint8_t* data) {
    data[0] = UnitCode(device.m_strPVUnit);
    PutFloat(device.m_fUpperRange, data + 1);
    PutFloat(device.m_fLowerRange, data + 5);
    return 9;
}

int WriteCmd138(DeviceData& device, std::uint8_t* data) {
    data[0] = device.m_byCmd138A;
    PutBytes(device.m_abyCmd141.data(), 4, data + 1);
    data[5] = device.m_byCmd138B;
    return 6;
}

int ReadBlock(DeviceData& device, std::uint8_t* data) {
    data[0] = device.m_byBlockSelA;
    data[1] = device.m_byBlockSelB;
    data[2] = 0x20;
    return 3;
}

int WriteCmd183(DeviceData& device, std::uint8_t* data) {
    data[0] = device.m_byCmd143Index;
    PutBytes(device.m_abyCmd143.data(), 4, data + 1);
    EncodeWord(device.m_wCmd143A, data + 5);
    EncodeWord(device.m_wCmd143B, data + 7);
    EncodeNumber5(device.m_dCmd143A, data + 9);
    EncodeNumber5(device.m_dCmd143B, data + 14);
    return 19;
}

int WriteCmd184(DeviceData& device, std::uint8_t* data) {
    const std::uint8_t select = device.m_byCmd184Select;
    PutFloat(device.m_afCmd144[std::min<std::size_t>(select, 2)], data);
    data[4] = select;
    return 5;
}

int WriteSensorConfiguration(DeviceData& device, std::uint8_t* data) {
    data[0] = device.m_bySensor1Type;
    data[1] = device.m_bySensor2Type;
    data[2] = device.m_byWiring;
    data[3] = device.m_byWorkMode;
    PutFloat(device.m_fSensor1Offset, data + 4);
    PutFloat(device.m_fSensor2Offset, data + 8);
    return 12;
}

int WriteDisplay(DeviceData& device, std::uint8_t* data) {
    data[0] = device.m_byDisplayMode;
    data[1] = device.m_byDecimals;
    data[2] = device.m_byAlarmMode;
    return 3;
}

int WriteCmd190(DeviceData& device, std::uint8_t* data) {
    PutFloat(device.m_fCmd150, data);
    data[4] = StepsToWire(device.m_byCmd150Steps);
    return 5;
}

// Commands 139 and 189 have no request layout and are refused like unknown
// numbers.
constexpr RequestRow kRequestRows[] = {
    {6, [](DeviceData& d, std::uint8_t* data) { return PutBytes(&d.m_byNewPollAddr, 1, data); }},
    {17, WriteMessage},
    {18, WriteTagDescriptorDate},
    {19, WriteFinalAssembly},
    {34, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fDamping, data); }},
    {35, WriteRange},
    {40, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fFixedCurrent, data); }},
    {45, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fTrimZeroCurrent, data); }},
    {46, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fTrimGainCurrent, data); }},
    {137, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fCmd137, data); }},
    {138, WriteCmd138},
    {143, [](DeviceData& d, std::uint8_t* data) { return PutBytes(&d.m_byCmd143Index, 1, data); }},
    {152, ReadBlock},
    {153, ReadBlock},
    {160,
     [](DeviceData& d, std::uint8_t* data) {
         data[0] = d.m_bCmd160 ? 1 : 2;
         return 1;
     }},
    {169,
     [](DeviceData& d, std::uint8_t* data) { return PutBytes(d.m_abyCmd141.data(), 4, data); }},
    {180,
     [](DeviceData& d, std::uint8_t* data) {
         PutFloat(d.m_fCmd140A, data);
         return 4 + PutFloat(d.m_fCmd140B, data + 4);
     }},
    {181,
     [](DeviceData& d, std::uint8_t* data) { return PutBytes(d.m_abyCmd141.data(), 5, data); }},
    {182, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fCmd142, data); }},
    {183, WriteCmd183},
    {184, WriteCmd184},
    {185, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fCmd145, data); }},
    {186, WriteSensorConfiguration},
    {187, WriteDisplay},
    {188,
     [](DeviceData& d, std::uint8_t* data) {
         data[0] = d.m_byCmd148A;
         data[1] = d.m_byCmd148B;
         return 2;
     }},
    {190, WriteCmd190},
    {192,
     [](DeviceData& d, std::uint8_t* data) { return PutBytes(d.m_abyBlock.data(), 35, data); }},
    {194, [](DeviceData& d, std::uint8_t* data) { return PutFloat(d.m_fCmd137, data); }},
};

}  // namespace

int BuildRequestData(std::uint8_t command, DeviceData& device, std::uint8_t* data) {
    if (std::find(kNoDataCommands.begin(), kNoDataCommands.end(), command) !=
        kNoDataCommands.end()) {
        return 0;
    }
    for (const RequestRow& row : kRequestRows) {
        if (row.command == command) {
            return row.build(device, data);
        }
    }
    return -1;
}

}  // namespace tandrin
