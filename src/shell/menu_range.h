#pragma once

#include <string>
#include <vector>

#include "shell/menu_bar.h"

namespace tandrin {

// Refills the submenu at item `sub` of popup `top`: every item whose
// identifier lies in firstId..lastId goes, then the entries are inserted
// at positions 0, 1, ... with identifiers firstId, firstId + 1, ... Entries
// beyond the range's size are not shown.
void RebuildMenuRange(MenuBar& menu, int top, int sub, int firstId, int lastId,
                      const std::vector<std::string>& entries);

}  // namespace tandrin
