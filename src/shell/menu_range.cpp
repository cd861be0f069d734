#include "shell/menu_range.h"

#include <algorithm>

namespace tandrin {

void RebuildMenuRange(MenuBar& menu, int top, int sub, int firstId, int lastId,
                      const std::vector<std::string>& entries) {
    for (int position = menu.ItemCount(top, sub) - 1; position >= 0; --position) {
        const int id = menu.ItemId(top, sub, position);
        if (id >= firstId && id <= lastId) {
            menu.RemoveItem(top, sub, position);
        }
    }
    const std::size_t shown =
        std::min(entries.size(), static_cast<std::size_t>(std::max(lastId - firstId + 1, 0)));
    for (std::size_t i = 0; i < shown; ++i) {
        const int index = static_cast<int>(i);
        menu.InsertItem(top, sub, index, firstId + index, entries[i]);
    }
}

}  // namespace tandrin
