#include "sim/fault_plan.h"

#include <algorithm>

#include "sim/option_values.h"

namespace tandrin::sim {

const char* const kFaultHelp =
    "  A FAULT is KIND[=VALUE][,cmd=N][,skip=N][,count=N]; KIND is one of\n"
    "    noise[=N]     N bytes of line noise before the preamble (default 4; the\n"
    "                  tool skips up to 10)\n"
    "    checksum      a wrong checksum byte\n"
    "    command       the answer names the next command number\n"
    "    code[=N]      response code N instead of 0 (default 32, busy)\n"
    "    silence       no answer\n"
    "    split[=N]     the answer in N bursts, 80 ms apart (default 3)\n"
    "    late[=MS]     the answer starts MS later (default 600)\n"
    "    hangup[=N]    close the line after N bytes of the answer (default 0)\n"
    "  cmd=N strikes only answers to command N; skip=N lets the first N such\n"
    "  answers through; count=N strikes N answers, then stops (default: all).\n";

namespace {

struct KindInfo {
    std::string_view name;
    FaultKind kind;
    std::uint32_t defaultValue;
    std::uint32_t min;
    std::uint32_t max;  // 0: takes no value
};

constexpr KindInfo kKinds[] = {
    {"noise", FaultKind::kNoise, 4, 1, 64},         {"checksum", FaultKind::kBadChecksum, 0, 0, 0},
    {"command", FaultKind::kWrongCommand, 0, 0, 0}, {"code", FaultKind::kResponseCode, 32, 1, 255},
    {"silence", FaultKind::kSilence, 0, 0, 0},      {"split", FaultKind::kSplit, 3, 2, 16},
    {"late", FaultKind::kLate, 600, 1, 60000},      {"hangup", FaultKind::kHangUp, 0, 0, 255},
};

bool ParseKind(const KeyValue& kv, FaultRule& fault, std::string& error) {
    const auto info = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&](const KindInfo& k) { return k.name == kv.key; });
    if (info == std::end(kKinds)) {
        error = "unknown fault '" + std::string(kv.key) + "'";
        return false;
    }
    fault.kind = info->kind;
    fault.value = info->defaultValue;
    if (!kv.hasValue) {
        return true;
    }
    const auto value = ParseUnsigned(kv.value, info->max);
    if (info->max == 0 || !value || *value < info->min) {
        error =
            "bad value for fault '" + std::string(kv.key) + "': '" + std::string(kv.value) + "'";
        return false;
    }
    fault.value = *value;
    return true;
}

bool ParseSelector(const KeyValue& kv, FaultRule& fault, std::string& error) {
    const bool isCommand = kv.key == "cmd";
    if (!isCommand && kv.key != "skip" && kv.key != "count") {
        error = "unknown fault key '" + std::string(kv.key) + "'";
        return false;
    }
    const std::optional<std::uint32_t> parsed = ParseUnsigned(kv.value, isCommand ? 255 : 1000000);
    if (!kv.hasValue || !parsed.has_value()) {
        error = "bad value for fault key '" + std::string(kv.key) + "'";
        return false;
    }
    const std::uint32_t value = parsed.value_or(0);
    if (isCommand) {
        fault.command = static_cast<std::uint8_t>(value);
    } else if (kv.key == "skip") {
        fault.skip = value;
    } else {
        fault.count = value;
    }
    return true;
}

}  // namespace

bool ParseFaultRule(std::string_view text, FaultRule& fault, std::string& error) {
    const auto items = SplitList(text, ',');
    if (items.empty()) {
        error = "empty fault";
        return false;
    }
    fault = FaultRule{};
    if (!ParseKind(SplitKeyValue(items[0]), fault, error)) {
        return false;
    }
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (!ParseSelector(SplitKeyValue(items[i]), fault, error)) {
            return false;
        }
    }
    return true;
}

const char* FaultName(FaultKind kind) {
    for (const KindInfo& info : kKinds) {
        if (info.kind == kind) {
            return info.name.data();
        }
    }
    return "?";
}

std::vector<FaultRule> FaultPlan::ForAnswer(std::uint8_t command) {
    std::vector<FaultRule> strike;
    for (Entry& entry : m_entries) {
        const FaultRule& fault = entry.fault;
        if (fault.command && *fault.command != command) {
            continue;
        }
        const std::uint32_t index = entry.seen++;
        if (index < fault.skip || (fault.count && index - fault.skip >= *fault.count)) {
            continue;
        }
        strike.push_back(fault);
    }
    return strike;
}

}  // namespace tandrin::sim
