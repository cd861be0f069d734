#include "pages/page_sequence.h"

#include "link/command_flags.h"
#include "shell/command_issue.h"

namespace tandrin {

void RunPageSequence(void* user, CompletionFn completion,
                     std::initializer_list<std::uint8_t> commands) {
    CommandSequence.Set(commands);
    StartCommand(user, completion);
}

SequenceStep AdvancePageSequence(void* user, CompletionFn completion, std::int32_t success) {
    if (cancelFlag != 0) {
        return SequenceStep::kIgnored;
    }
    if (success != 1) {
        ReportFailed();
        return SequenceStep::kFailed;
    }
    NoteReply();
    if (++CommandSequence.index < CommandSequence.count) {
        StartCommand(user, completion);
        return SequenceStep::kNext;
    }
    return SequenceStep::kThrough;
}

}  // namespace tandrin
