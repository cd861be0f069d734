#include "shell/reply_text.h"

#include "device/response_codes.h"
#include "shell/lang_text.h"
#include "shell/port_open_message.h"

namespace tandrin {

std::string ResponseMeaningText(std::uint8_t command, std::uint8_t code) {
    const std::string key = ResponseCodeKey(command, code);
    std::string meaning = key.empty() ? std::string() : LangText(key);
    if (meaning.empty()) {
        meaning = LangText("strRcUnknown");  // "response code"
    }
    if (meaning.empty()) {
        meaning = "response code";
    }
    return meaning + " (" + std::to_string(code) + ")";
}

std::string CommandWhatText(std::uint8_t command) {
    std::string what = LangText("strCmd" + std::to_string(command));
    if (what.empty()) {
        what = LangText("strCmdOther");
    }
    if (what.empty()) {
        what = "the command";
    }
    return what;
}

namespace {

std::string Fill(const char* key, const char* fallback, const ReplyOutcome& outcome) {
    std::string pattern = LangText(key);
    if (pattern.empty()) {
        pattern = fallback;
    }
    return FillIn(pattern, {CommandWhatText(outcome.command), std::to_string(outcome.command),
                            ResponseMeaningText(outcome.command, outcome.code)});
}

}  // namespace

std::string RefusalText(const ReplyOutcome& outcome) {
    return Fill("strRefused", "The transmitter refused %s (command %s): %s", outcome);
}

std::string WarningText(const ReplyOutcome& outcome) {
    return Fill("strTakenWithWarning", "The transmitter took %s (command %s) with a warning: %s",
                outcome);
}

std::string TakenWritesText(const std::vector<std::uint8_t>& commands) {
    if (commands.empty()) {
        return {};
    }
    std::string list;
    for (std::uint8_t command : commands) {
        if (!list.empty()) {
            list += ", ";
        }
        list += CommandWhatText(command) + " (" + std::to_string(command) + ")";
    }
    std::string pattern = LangText("strWritesTaken");
    if (pattern.empty()) {
        pattern = "Already taken: %s";
    }
    return FillIn(pattern, {list});
}

std::vector<std::string> DeviceStatusTexts(std::uint8_t status) {
    std::vector<std::string> texts;
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        if ((status & bit.mask) != 0) {
            std::string text = LangText(bit.key);
            texts.push_back(text.empty() ? bit.name : text);
        }
    }
    return texts;
}

}  // namespace tandrin
