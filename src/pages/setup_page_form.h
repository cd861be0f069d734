#pragma once

#include "shell/memory_form.h"

namespace tandrin {

// The setup page's controls in memory, with their built-in captions and
// the hidden ones hidden: what the command line and the tests run the
// page's logic on.
void AddSetupPageControls(MemoryForm& form);

}  // namespace tandrin
