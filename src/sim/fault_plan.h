#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrin::sim {

// Ways an answer can go wrong on a real loop.
enum class FaultKind {
    kNoise,         // bytes of line noise before the preamble
    kBadChecksum,   // the checksum byte is wrong
    kWrongCommand,  // the answer names another command
    kResponseCode,  // a non-zero response code (default 32, busy)
    kSilence,       // no answer at all
    kSplit,         // the answer comes in bursts with pauses longer than 50 ms
    kLate,          // the answer starts this many ms late
    kHangUp,        // the line goes away after this many bytes of the answer
};

struct FaultRule {
    FaultKind kind = FaultKind::kSilence;
    std::uint32_t value = 0;
    std::optional<std::uint8_t> command;  // only answers to this command
    std::uint32_t skip = 0;               // let this many matching answers pass first
    std::optional<std::uint32_t> count;   // then spoil this many; default all
};

// KIND[=VALUE][,cmd=N][,skip=N][,count=N]. False with `error` set.
bool ParseFaultRule(std::string_view text, FaultRule& fault, std::string& error);
// The text --help shows for --fault FAULT.
extern const char* const kFaultHelp;
const char* FaultName(FaultKind kind);

// The faults given on the command line, with how often each has struck.
class FaultPlan {
  public:
    void Add(const FaultRule& fault) { m_entries.push_back({fault, 0}); }
    bool Empty() const { return m_entries.empty(); }
    // The faults that strike the answer to `command`; counts this answer
    // against the skip and count of every fault that matches it.
    std::vector<FaultRule> ForAnswer(std::uint8_t command);

  private:
    struct Entry {
        FaultRule fault;
        std::uint32_t seen;
    };
    std::vector<Entry> m_entries;
};

}  // namespace tandrin::sim
