#pragma once

#include <string>
#include <vector>

#include "shell/menu_bar.h"

namespace tandrin {

// The main window's menu bar as built in: "&File" (Exit), "Process"
// (OnLine, Search, Reset, Stop), "Envirmont" (submenu "Serial Port" with
// 32787..32796 "1".."10", a separator, submenu "Language" with
// 32797..32806 "1".."10"), "Help" (About).
class MemoryMenuBar : public MenuBar {
  public:
    struct Item {
        int id = 0;  // 0 for separators and submenus
        std::string text;
        bool checked = false;
        bool separator = false;
        std::vector<Item> submenu;
    };
    struct Popup {
        std::string caption;
        std::vector<Item> items;
    };

    MemoryMenuBar();

    std::vector<Popup> popups;

    // Test helpers
    std::string SubmenuCaption(int top, int position) const;
    std::string CommandCaption(int id) const;  // empty when there is none
    std::vector<std::string> ItemTexts(int top, int sub) const;
    std::vector<int> CheckedPositions(int top, int sub) const;

    std::string TopCaption(int top) const override;
    void SetTopCaption(int top, const std::string& text) override;
    bool SetCommandCaption(int id, const std::string& text) override;
    void SetSubmenuCaption(int top, int position, const std::string& text) override;
    int ItemCount(int top, int sub) const override;
    int ItemId(int top, int sub, int position) const override;
    std::string ItemText(int top, int sub, int position) const override;
    void SetItemChecked(int top, int sub, int position, bool checked) override;
    bool ItemChecked(int top, int sub, int position) const override;
    void RemoveItem(int top, int sub, int position) override;
    void InsertItem(int top, int sub, int position, int id, const std::string& text) override;

  private:
    const std::vector<Item>* Submenu(int top, int sub) const;
    std::vector<Item>* Submenu(int top, int sub);
    const Item* SubItem(int top, int sub, int position) const;
    Item* SubItem(int top, int sub, int position);
};

}  // namespace tandrin
