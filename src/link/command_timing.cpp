#include "link/command_timing.h"

namespace tandrin {

namespace {

struct TimingRow {
    std::uint8_t command;
    std::uint32_t transmit;  // 0: no entry
    std::uint32_t receive;   // 0: no entry
};

// clang-format off
constexpr TimingRow kTimingRows[] = {
    {0, 150, 400},   {1, 200, 350},   {2, 200, 350},   {3, 200, 480},   {4, 250, 0},
    {6, 210, 300},   {12, 200, 500},  {13, 200, 500},  {14, 200, 400},  {15, 200, 550},
    {16, 250, 350},  {17, 420, 650},  {18, 400, 650},  {19, 250, 350},  {34, 240, 350},
    {35, 280, 400},  {36, 250, 300},  {37, 250, 300},  {40, 250, 400},  {42, 180, 300},
    {45, 250, 400},  {46, 250, 400},  {137, 250, 350}, {138, 300, 350}, {139, 300, 350},
    {140, 200, 400}, {141, 250, 750}, {142, 200, 350}, {143, 200, 650}, {144, 250, 400},
    {145, 200, 400}, {146, 200, 450}, {147, 200, 550}, {148, 200, 450}, {149, 220, 0},
    {150, 200, 550}, {152, 300, 650}, {153, 250, 650}, {154, 210, 650}, {160, 190, 350},
    {161, 200, 350}, {162, 200, 350}, {163, 250, 700}, {164, 250, 700}, {169, 0, 350},
    {180, 270, 350}, {181, 210, 350}, {182, 250, 350}, {183, 360, 650}, {184, 360, 650},
    {185, 250, 600}, {186, 300, 450}, {187, 220, 350}, {188, 250, 350}, {189, 350, 350},
    {190, 250, 350}, {192, 550, 650}, {194, 250, 350},
};
// clang-format on

}  // namespace

CommandTiming::CommandTiming() {
    for (const TimingRow& row : kTimingRows) {
        transmitPeriods[row.command] = row.transmit;
        receivePeriods[row.command] = row.receive;
    }
}

std::uint32_t CommandTiming::LineTimeMs(int bytes) {
    if (bytes <= 0) {
        return 0;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes) * 11;
    return (bits * 1000 + 1199) / 1200;
}

std::uint32_t CommandTiming::TransmitPeriod(std::uint8_t command, int frameLength) const {
    if (transmitPeriods[command] != 0) {
        return transmitPeriods[command];
    }
    // Keep RTS up until the last byte has left the line, plus a little slack.
    return LineTimeMs(frameLength) + 10;
}

std::uint32_t CommandTiming::ReceivePeriod(std::uint8_t command) const {
    return receivePeriods[command] != 0 ? receivePeriods[command] : kFallbackReceivePeriod;
}

}  // namespace tandrin
