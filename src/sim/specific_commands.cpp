// The transmitter's own commands. Most only carry values at fixed widths:
// what a write stores, the matching read returns.
#include <algorithm>

#include "device/encodings.h"
#include "sim/command_table.h"
#include "sim/sim_device.h"

namespace tandrin::sim {

namespace {

template <auto Field>
std::uint8_t ReadField(SimDevice& d, const SimRequest&, SimReply& r, double) {
    PutBytes(r.data, d.m_specific.*Field);
    return 0;
}

// Stores the first bytes of the request in the field and echoes them.
template <auto Field>
std::uint8_t WriteField(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    auto& field = d.m_specific.*Field;
    std::copy_n(q.data.begin(), field.size(), field.begin());
    d.NoteConfigWrite();
    PutBytes(r.data, field);
    return 0;
}

// 138 and 169 write the first four bytes of the five that 141 reads.
std::uint8_t Write138(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    SpecificState& s = d.m_specific;
    s.m_by138A = q.data[0];
    std::copy_n(q.data.begin() + 1, 4, s.m_aby141.begin());
    s.m_by138B = q.data[5];
    d.NoteConfigWrite();
    r.data.assign(q.data.begin(), q.data.begin() + 6);
    return 0;
}

std::uint8_t Write169(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    std::copy_n(q.data.begin(), 4, d.m_specific.m_aby141.begin());
    d.NoteConfigWrite();
    r.data.assign(q.data.begin(), q.data.begin() + 4);
    return 0;
}

std::uint8_t Read143(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const std::uint8_t index = q.data[0];
    r.data.push_back(index);
    const auto& records = d.m_specific.m_records143;
    const auto it = records.find(index);
    if (it != records.end()) {
        PutBytes(r.data, it->second);
    } else {
        r.data.resize(19, 0);
    }
    return 0;
}

std::uint8_t Write183(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    auto& record = d.m_specific.m_records143[q.data[0]];
    std::copy_n(q.data.begin() + 1, record.size(), record.begin());
    d.NoteConfigWrite();
    r.data.assign(q.data.begin(), q.data.begin() + 19);
    return 0;
}

// Byte 4 selects which of the three floats of 144 the value replaces.
std::uint8_t Write184(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const std::size_t slot = std::min<std::size_t>(q.data[4], 2);
    std::copy_n(q.data.begin(), 4, d.m_specific.m_aby144.begin() + 4 * slot);
    d.NoteConfigWrite();
    r.data.assign(q.data.begin(), q.data.begin() + 5);
    return 0;
}

std::uint8_t ReadSensorConfiguration(SimDevice& d, const SimRequest&, SimReply& r, double) {
    r.data = {d.m_bySensor1Type, d.m_bySensor2Type, d.m_byWiring, d.m_byWorkMode};
    PutFloat(r.data, d.m_fSensor1Offset);
    PutFloat(r.data, d.m_fSensor2Offset);
    return 0;
}

std::uint8_t WriteSensorConfiguration(SimDevice& d, const SimRequest& q, SimReply& r, double now) {
    if (!IsSensorCode(q.data[0])) {
        return kCodeInvalidSelection;
    }
    const SensorFamily before = d.Family();
    d.m_bySensor1Type = q.data[0];
    d.m_bySensor2Type = q.data[1];
    d.m_byWiring = q.data[2];
    d.m_byWorkMode = q.data[3];
    d.m_fSensor1Offset = FloatAt(q.data, 4);
    d.m_fSensor2Offset = FloatAt(q.data, 8);
    // A new kind of input measures something else; one that cannot reach
    // the present value starts from its usual place.
    const SensorLimits limits = LimitsOfSensor(d.m_bySensor1Type);
    const double centre = d.ProcessCentre();
    if (d.Family() != before || centre < limits.lower || centre > limits.upper) {
        d.SetProcessCentre(DefaultProcessCentre(d.Family()));
    }
    d.NoteConfigWrite();
    return ReadSensorConfiguration(d, q, r, now);
}

std::uint8_t ReadDisplay(SimDevice& d, const SimRequest&, SimReply& r, double) {
    r.data = {d.m_byDisplayMode, d.m_byDecimals, d.m_byAlarmMode};
    return 0;
}

std::uint8_t WriteDisplay(SimDevice& d, const SimRequest& q, SimReply& r, double now) {
    d.m_byDisplayMode = q.data[0];
    d.m_byDecimals = q.data[1];
    d.m_byAlarmMode = q.data[2];
    d.NoteConfigWrite();
    return ReadDisplay(d, q, r, now);
}

std::uint8_t ReadBlock(SimDevice& d, const SimRequest&, SimReply& r, double) {
    const auto& block = d.m_specific.m_abyBlock;
    r.data.assign(block.begin(), block.end() - 1);  // the last byte is write-only
    return 0;
}

std::uint8_t Write160(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    d.m_specific.m_by160 = q.data[0];
    r.data.push_back(q.data[0]);
    return 0;
}

// Two counters, low byte first: resets and configuration writes.
std::uint8_t ReadCounters(SimDevice& d, const SimRequest&, SimReply& r, double) {
    r.data.resize(4);
    EncodeWord(d.m_wResets, r.data.data());
    EncodeWord(d.m_wConfigWrites, r.data.data() + 2);
    return 0;
}

std::uint8_t ReadVersion(SimDevice& d, const SimRequest&, SimReply& r, double) {
    PutBytes(r.data, d.m_abySoftwareVersion);
    r.data.insert(r.data.end(), {1, 0, 0, 0});  // hardware revision, reserved
    return 0;
}

std::uint8_t Acknowledge(SimDevice&, const SimRequest&, SimReply&, double) {
    return 0;
}

// Command 149 is missing on purpose: it is answered "not implemented", so
// a request for it never completes.
constexpr CommandHandler kSpecific[] = {
    {137, 4, WriteField<&SpecificState::m_aby137>},
    {138, 6, Write138},
    {139, 0, ReadField<&SpecificState::m_aby139>},
    {140, 0, ReadField<&SpecificState::m_aby140>},
    {141, 0, ReadField<&SpecificState::m_aby141>},
    {142, 0, ReadField<&SpecificState::m_aby142>},
    {143, 1, Read143},
    {144, 0, ReadField<&SpecificState::m_aby144>},
    {145, 0, ReadField<&SpecificState::m_aby145>},
    {146, 0, ReadSensorConfiguration},
    {147, 0, ReadDisplay},
    {148, 0, ReadField<&SpecificState::m_aby148>},
    {150, 0, ReadField<&SpecificState::m_aby150>},
    {152, 3, ReadBlock},
    {153, 3, ReadBlock},
    {160, 1, Write160},
    {161, 0, ReadCounters},
    {162, 0, ReadVersion},
    {163, 0, Acknowledge},
    {164, 0, Acknowledge},
    {169, 4, Write169},
    {180, 8, WriteField<&SpecificState::m_aby140>},
    {181, 5, WriteField<&SpecificState::m_aby141>},
    {182, 4, WriteField<&SpecificState::m_aby142>},
    {183, 19, Write183},
    {184, 5, Write184},
    {185, 4, WriteField<&SpecificState::m_aby145>},
    {186, 12, WriteSensorConfiguration},
    {187, 3, WriteDisplay},
    {188, 2, WriteField<&SpecificState::m_aby148>},
    {189, 0, ReadField<&SpecificState::m_aby189>},
    {190, 5, WriteField<&SpecificState::m_aby150>},
    {192, 35, WriteField<&SpecificState::m_abyBlock>},
    {194, 4, WriteField<&SpecificState::m_aby137>},
};

}  // namespace

std::span<const CommandHandler> SpecificCommands() {
    return kSpecific;
}

}  // namespace tandrin::sim
