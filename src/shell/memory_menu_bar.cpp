#include "shell/memory_menu_bar.h"

#include "shell/main_dialog_ids.h"

#include <utility>

namespace tandrin {

namespace {

MemoryMenuBar::Item Command(int id, const std::string& text) {
    MemoryMenuBar::Item item;
    item.id = id;
    item.text = text;
    return item;
}

MemoryMenuBar::Item NumberedSubmenu(const std::string& caption, int firstId) {
    MemoryMenuBar::Item item;
    item.text = caption;
    for (int i = 0; i < 10; ++i) {
        item.submenu.push_back(Command(firstId + i, std::to_string(i + 1)));
    }
    return item;
}

MemoryMenuBar::Item Separator() {
    MemoryMenuBar::Item item;
    item.separator = true;
    return item;
}

bool RenameCommand(std::vector<MemoryMenuBar::Item>& items, int id, const std::string& text) {
    bool renamed = false;
    for (MemoryMenuBar::Item& item : items) {
        if (!item.separator && item.submenu.empty() && item.id == id) {
            item.text = text;
            renamed = true;
        }
        renamed = RenameCommand(item.submenu, id, text) || renamed;
    }
    return renamed;
}

const MemoryMenuBar::Item* FindCommand(const std::vector<MemoryMenuBar::Item>& items, int id) {
    for (const MemoryMenuBar::Item& item : items) {
        if (!item.separator && item.submenu.empty() && item.id == id) {
            return &item;
        }
        if (const MemoryMenuBar::Item* inner = FindCommand(item.submenu, id)) {
            return inner;
        }
    }
    return nullptr;
}

bool InRange(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

// The ports, then a HART-IP server to name.
MemoryMenuBar::Item PortSubmenu() {
    MemoryMenuBar::Item ports = NumberedSubmenu("Serial Port", 32787);
    ports.submenu.push_back(Separator());
    ports.submenu.push_back(Command(main_ids::kPortHartIp, "HART-IP Server..."));
    return ports;
}

}  // namespace

MemoryMenuBar::MemoryMenuBar() {
    popups = {
        {"&File", {Command(32771, "Exit")}},
        {"Process",
         {Command(32772, "OnLine"), Command(32773, "Search"), Command(32774, "Reset"),
          Command(32776, "Stop")}},
        {"Envirmont", {PortSubmenu(), Separator(), NumberedSubmenu("Language", 32797)}},
        {"Help", {Command(32786, "About"), Command(32807, "Trace Folder")}},
    };
}

const std::vector<MemoryMenuBar::Item>* MemoryMenuBar::Submenu(int top, int sub) const {
    if (!InRange(top, popups.size()) || !InRange(sub, popups[top].items.size())) {
        return nullptr;
    }
    const Item& item = popups[top].items[static_cast<std::size_t>(sub)];
    return item.id == 0 && !item.separator ? &item.submenu : nullptr;
}

std::vector<MemoryMenuBar::Item>* MemoryMenuBar::Submenu(int top, int sub) {
    return const_cast<std::vector<Item>*>(std::as_const(*this).Submenu(top, sub));
}

const MemoryMenuBar::Item* MemoryMenuBar::SubItem(int top, int sub, int position) const {
    const std::vector<Item>* items = Submenu(top, sub);
    return items != nullptr && InRange(position, items->size())
               ? &(*items)[static_cast<std::size_t>(position)]
               : nullptr;
}

MemoryMenuBar::Item* MemoryMenuBar::SubItem(int top, int sub, int position) {
    return const_cast<Item*>(std::as_const(*this).SubItem(top, sub, position));
}

std::string MemoryMenuBar::SubmenuCaption(int top, int position) const {
    if (!InRange(top, popups.size()) || !InRange(position, popups[top].items.size())) {
        return {};
    }
    return popups[top].items[static_cast<std::size_t>(position)].text;
}

std::string MemoryMenuBar::CommandCaption(int id) const {
    for (const Popup& popup : popups) {
        if (const Item* item = FindCommand(popup.items, id)) {
            return item->text;
        }
    }
    return {};
}

std::vector<std::string> MemoryMenuBar::ItemTexts(int top, int sub) const {
    std::vector<std::string> texts;
    if (const std::vector<Item>* items = Submenu(top, sub)) {
        for (const Item& item : *items) {
            texts.push_back(item.text);
        }
    }
    return texts;
}

std::vector<int> MemoryMenuBar::CheckedPositions(int top, int sub) const {
    std::vector<int> positions;
    for (int position = 0; position < ItemCount(top, sub); ++position) {
        if (ItemChecked(top, sub, position)) {
            positions.push_back(position);
        }
    }
    return positions;
}

std::string MemoryMenuBar::TopCaption(int top) const {
    return InRange(top, popups.size()) ? popups[top].caption : std::string();
}

void MemoryMenuBar::SetTopCaption(int top, const std::string& text) {
    if (InRange(top, popups.size())) {
        popups[top].caption = text;
    }
}

bool MemoryMenuBar::SetCommandCaption(int id, const std::string& text) {
    bool renamed = false;
    for (Popup& popup : popups) {
        renamed = RenameCommand(popup.items, id, text) || renamed;
    }
    return renamed;
}

void MemoryMenuBar::SetSubmenuCaption(int top, int position, const std::string& text) {
    if (InRange(top, popups.size()) && InRange(position, popups[top].items.size())) {
        popups[top].items[static_cast<std::size_t>(position)].text = text;
    }
}

int MemoryMenuBar::ItemCount(int top, int sub) const {
    const std::vector<Item>* items = Submenu(top, sub);
    return items != nullptr ? static_cast<int>(items->size()) : 0;
}

int MemoryMenuBar::ItemId(int top, int sub, int position) const {
    const Item* item = SubItem(top, sub, position);
    return item != nullptr ? item->id : 0;
}

std::string MemoryMenuBar::ItemText(int top, int sub, int position) const {
    const Item* item = SubItem(top, sub, position);
    return item != nullptr ? item->text : std::string();
}

void MemoryMenuBar::SetItemChecked(int top, int sub, int position, bool checked) {
    if (Item* item = SubItem(top, sub, position)) {
        item->checked = checked;
    }
}

bool MemoryMenuBar::ItemChecked(int top, int sub, int position) const {
    const Item* item = SubItem(top, sub, position);
    return item != nullptr && item->checked;
}

void MemoryMenuBar::RemoveItem(int top, int sub, int position) {
    std::vector<Item>* items = Submenu(top, sub);
    if (items != nullptr && InRange(position, items->size())) {
        items->erase(items->begin() + position);
    }
}

void MemoryMenuBar::InsertItem(int top, int sub, int position, int id, const std::string& text) {
    std::vector<Item>* items = Submenu(top, sub);
    if (items != nullptr && position >= 0 && static_cast<std::size_t>(position) <= items->size()) {
        items->insert(items->begin() + position, Command(id, text));
    }
}

}  // namespace tandrin
