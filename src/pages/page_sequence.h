#pragma once

#include <cstdint>
#include <initializer_list>

#include "link/hart_master.h"

namespace tandrin {

// Fills CommandSequence from index 0 and starts its first command. The
// caller has passed CheckLinkReady and set the values to send.
void RunPageSequence(void* user, CompletionFn completion,
                     std::initializer_list<std::uint8_t> commands);

// What a page's completion function does with one result.
enum class SequenceStep {
    kIgnored,  // stopped: the page does nothing
    kFailed,   // ReportFailed has been called
    kNext,     // the next command is running
    kThrough,  // the last command succeeded: show its values, then ReportDone
};

// The result handling every page shares: ignore while cancelled, report a
// failure, start the next command, or say the sequence is through.
SequenceStep AdvancePageSequence(void* user, CompletionFn completion, std::int32_t success);

}  // namespace tandrin
