#include "shell/memory_form.h"

namespace tandrin {

MemoryForm::MemoryForm(std::initializer_list<std::pair<int, std::string>> controls) {
    for (const auto& [id, text] : controls) {
        Add(id, text);
    }
}

MemoryForm::Control& MemoryForm::Add(int id, const std::string& text) {
    Control& control = m_controls[id];
    control.text = text;
    return control;
}

const MemoryForm::Control* MemoryForm::Find(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : &found->second;
}

MemoryForm::Control* MemoryForm::Lookup(int id) {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : &found->second;
}

std::string MemoryForm::Text(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->text : std::string();
}

void MemoryForm::SetText(int id, const std::string& text) {
    if (Control* control = Lookup(id)) {
        control->text = text;
    }
}

bool MemoryForm::Enabled(int id) const {
    const Control* control = Find(id);
    return control != nullptr && control->enabled;
}

void MemoryForm::SetEnabled(int id, bool enabled) {
    if (Control* control = Lookup(id)) {
        control->enabled = enabled;
    }
}

bool MemoryForm::Visible(int id) const {
    const Control* control = Find(id);
    return control != nullptr && control->visible;
}

void MemoryForm::SetVisible(int id, bool visible) {
    if (Control* control = Lookup(id)) {
        control->visible = visible;
    }
}

bool MemoryForm::Checked(int id) const {
    const Control* control = Find(id);
    return control != nullptr && control->checked;
}

void MemoryForm::SetChecked(int id, bool checked) {
    if (Control* control = Lookup(id)) {
        control->checked = checked;
    }
}

void MemoryForm::ClearEntries(int id) {
    if (Control* control = Lookup(id)) {
        control->entries.clear();
        control->selection = -1;
    }
}

void MemoryForm::AddEntry(int id, const std::string& text) {
    if (Control* control = Lookup(id)) {
        control->entries.push_back(text);
    }
}

int MemoryForm::EntryCount(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? static_cast<int>(control->entries.size()) : 0;
}

std::string MemoryForm::Entry(int id, int index) const {
    const Control* control = Find(id);
    if (control == nullptr || index < 0 || index >= static_cast<int>(control->entries.size())) {
        return {};
    }
    return control->entries[static_cast<std::size_t>(index)];
}

int MemoryForm::Selection(int id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->selection : -1;
}

// Like a drop-down list: selecting an entry shows its text, -1 selects none.
void MemoryForm::SetSelection(int id, int index) {
    Control* control = Lookup(id);
    if (control == nullptr) {
        return;
    }
    if (index >= 0 && index < static_cast<int>(control->entries.size())) {
        control->selection = index;
        control->text = control->entries[static_cast<std::size_t>(index)];
    } else {
        control->selection = -1;
    }
}

void MemoryForm::SetFocus(int id) {
    if (HasControl(id)) {
        focus = id;
    }
}

}  // namespace tandrin
