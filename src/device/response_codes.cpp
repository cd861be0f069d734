// Response codes and device status bits, from the public HART command
// response code conventions.
#include "device/response_codes.h"

namespace tandrin {

namespace {

struct CodeMeaning {
    std::uint8_t code;
    const char* key;
};

// One meaning for every command that returns the code.
constexpr CodeMeaning kUniversal[] = {
    {2, "strRcInvalidSelection"},  {3, "strRcTooLarge"},       {4, "strRcTooSmall"},
    {5, "strRcTooFewBytes"},       {6, "strRcDeviceSpecific"}, {7, "strRcWriteProtected"},
    {16, "strRcAccessRestricted"}, {32, "strRcBusy"},          {33, "strRcDelayedInitiated"},
    {34, "strRcDelayedRunning"},   {35, "strRcDelayedDead"},   {36, "strRcDelayedConflict"},
    {64, "strRcNotImplemented"},
};

struct CommandMeaning {
    std::uint8_t command;
    std::uint8_t code;
    const char* key;
};

// What a code means for one command where that differs from, or adds to,
// the universal meaning.
constexpr CommandMeaning kCommandSpecific[] = {
    {6, 2, "strRcInvalidPollAddress"}, {6, 12, "strRcInvalidCurrentMode"},
    {18, 9, "strRcInvalidDate"},       {34, 8, "strRcSetToNearest"},
    {35, 8, "strRcSetToNearest"},      {35, 9, "strRcLrvTooHigh"},
    {35, 10, "strRcLrvTooLow"},        {35, 11, "strRcUrvTooHigh"},
    {35, 12, "strRcUrvTooLow"},        {35, 13, "strRcRangeOutOfLimits"},
    {35, 14, "strRcSpanTooSmall"},     {35, 28, "strRcInvalidUnits"},
    {35, 29, "strRcInvalidSpan"},      {36, 9, "strRcProcessTooHigh"},
    {36, 10, "strRcProcessTooLow"},    {36, 14, "strRcLrvPushed"},
    {36, 29, "strRcInvalidSpan"},      {37, 9, "strRcProcessTooHigh"},
    {37, 10, "strRcProcessTooLow"},    {37, 14, "strRcUrvPushed"},
    {37, 29, "strRcInvalidSpan"},      {38, 9, "strRcChangeCounterMismatch"},
    {40, 11, "strRcMultidrop"},        {40, 12, "strRcInvalidUnits"},
    {44, 2, "strRcInvalidUnits"},      {44, 8, "strRcSetToNearest"},
    {45, 9, "strRcNotFixedCurrent"},   {45, 11, "strRcMultidrop"},
    {46, 9, "strRcNotFixedCurrent"},   {46, 11, "strRcMultidrop"},
    {48, 8, "strRcUpdateInProgress"},  {48, 14, "strRcStatusMismatch"},
};

// HART classes these codes as warnings whatever the command: the command
// was carried out.
bool IsWarningCode(std::uint8_t code) {
    return code == 8 || code == 14 || (code >= 24 && code <= 27) || code == 30 || code == 31 ||
           (code >= 96 && code <= 127);
}

// Busy and the delayed-response codes: the transmitter will answer later.
bool IsComeBackLater(std::uint8_t code) {
    return code >= kCodeBusy && code <= 36;
}

}  // namespace

ResponseClass ClassifyResponse(std::uint8_t code) {
    if (code == 0) {
        return ResponseClass::kSuccess;
    }
    if ((code & kCommErrorFlag) != 0 || IsComeBackLater(code)) {
        return ResponseClass::kRetry;
    }
    return IsWarningCode(code) ? ResponseClass::kWarning : ResponseClass::kRefusal;
}

std::string ResponseCodeKey(std::uint8_t command, std::uint8_t code) {
    for (const CommandMeaning& m : kCommandSpecific) {
        if (m.command == command && m.code == code) {
            return m.key;
        }
    }
    for (const CodeMeaning& m : kUniversal) {
        if (m.code == code) {
            return m.key;
        }
    }
    return {};
}

bool ChangesDevice(std::uint8_t command) {
    static constexpr std::uint8_t kChanging[] = {6,   17,  18,  19,  34,  35,  36,  37,  38,  40,
                                                 42,  44,  45,  46,  137, 138, 169, 180, 181, 182,
                                                 183, 184, 185, 186, 187, 188, 190, 192, 194};
    for (std::uint8_t c : kChanging) {
        if (c == command) {
            return true;
        }
    }
    return false;
}

const DeviceStatusBit* MostSeriousStatus(std::uint8_t status) {
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        if ((status & bit.mask) != 0) {
            return &bit;
        }
    }
    return nullptr;
}

}  // namespace tandrin
