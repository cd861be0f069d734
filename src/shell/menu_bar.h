#pragma once

#include <string>

namespace tandrin {

// The main window's menu bar: top-level popups by position, commands by
// identifier, and the items of a submenu (popup `top`, item `sub`).
class MenuBar {
public:
    virtual ~MenuBar() = default;

    virtual std::string TopCaption(int top) const = 0;
    virtual void SetTopCaption(int top, const std::string& text) = 0;
    // Renames the command `id` wherever it is; false when there is none.
    virtual bool SetCommandCaption(int id, const std::string& text) = 0;
    // Caption of the submenu item at `position` of popup `top`.
    virtual void SetSubmenuCaption(int top, int position, const std::string& text) = 0;

    virtual int ItemCount(int top, int sub) const = 0;
    virtual int ItemId(int top, int sub, int position) const = 0;
    virtual std::string ItemText(int top, int sub, int position) const = 0;
    virtual void SetItemChecked(int top, int sub, int position, bool checked) = 0;
    virtual bool ItemChecked(int top, int sub, int position) const = 0;
    virtual void RemoveItem(int top, int sub, int position) = 0;
    virtual void InsertItem(int top, int sub, int position, int id, const std::string& text) = 0;
};

}  // namespace tandrin
