#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/form.h"

namespace tandrin {

// A dialog's controls in memory (the command line and the tests). Only
// controls added with Add exist; calls naming any other identifier do
// nothing and read as empty/false/-1.
class MemoryForm : public Form {
  public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        std::vector<std::string> entries;
        int selection = -1;
    };

    MemoryForm() = default;
    MemoryForm(std::initializer_list<std::pair<int, std::string>> controls);

    Control& Add(int id, const std::string& text = {});
    const Control* Find(int id) const;
    int focus = 0;  // identifier of the control given the focus last

    bool HasControl(int id) const override { return Find(id) != nullptr; }
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    bool Enabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    bool Visible(int id) const override;
    void SetVisible(int id, bool visible) override;
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;
    void ClearEntries(int id) override;
    void AddEntry(int id, const std::string& text) override;
    int EntryCount(int id) const override;
    std::string Entry(int id, int index) const override;
    int Selection(int id) const override;
    void SetSelection(int id, int index) override;
    void SetFocus(int id) override;

  private:
    Control* Lookup(int id);
    std::map<int, Control> m_controls;
};

}  // namespace tandrin
