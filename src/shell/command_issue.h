#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "link/hart_master.h"

namespace tandrin {

// The command list every window fills before it starts a sequence.
struct CommandList {
    std::array<std::uint8_t, 40> commands{};
    std::uint8_t count = 0;
    std::uint8_t index = 0;

    void Set(std::initializer_list<std::uint8_t> list);
};

extern CommandList CommandSequence;

// Refuses while a sequence runs ("strBusy") or when the port cannot be
// opened (a message naming the port and why). 1 when a sequence may start.
int CheckLinkReady();
// Sends the command at the current index, shows progress and
// "strCommunication".
void StartCommand(void* user, CompletionFn completion);
// "strOpOK", or the warnings noted during the sequence and "strOpWarning".
void ReportDone();
// "strCommFail", or for a refusal what the transmitter said and which
// writes of the sequence it had already taken ("strOpRefused").
void ReportFailed();
// Notes a warning in the reply that just completed, for ReportDone.
void NoteReply();
// The commands before the current index that change the transmitter.
std::vector<std::uint8_t> WritesTaken();
// The master closed the link because its port went away: a sequence in
// flight ends like a Stop, with the message "strPortLost"; the status bar
// says so either way. The next command reopens the port.
void ReportLinkLost();

}  // namespace tandrin
