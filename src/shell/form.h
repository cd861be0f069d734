#pragma once

#include <string>

namespace tandrin {

// The controls of one dialog, addressed by their identifiers. The Qt layer
// implements it over real widgets, the tests and the command line in
// memory. Texts are bytes in the interface code page. A call naming a
// control the form does not have does nothing and reads as empty/false/-1.
class Form {
public:
    virtual ~Form() = default;

    virtual bool HasControl(int id) const = 0;
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual bool Enabled(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual bool Visible(int id) const = 0;
    virtual void SetVisible(int id, bool visible) = 0;
    virtual bool Checked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // Drop-down and list boxes
    virtual void ClearEntries(int id) = 0;
    virtual void AddEntry(int id, const std::string& text) = 0;
    virtual int EntryCount(int id) const = 0;
    virtual std::string Entry(int id, int index) const = 0;
    virtual int Selection(int id) const = 0;  // -1: none
    virtual void SetSelection(int id, int index) = 0;

    virtual void SetFocus(int id) = 0;
};

}  // namespace tandrin
