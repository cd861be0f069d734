#pragma once

#include <cstdint>

#include "shell/form.h"
#include "shell/main_dialog.h"

namespace tandrin {

// The current adjustment page (layout 130, texts in section "KvView1"):
// the two-point trim of the output and the fixed loop current. Written
// against its controls (a Form); messages and questions go through the main
// window's shell services.
class CurrentAdjustPage : public DevicePage {
  public:
    explicit CurrentAdjustPage(Form& form) : m_form(form) {}

    // "4.0 mA" checked, the typed current's edit disabled.
    void Init();
    void Translate() override;
    // Leaving the page offers to release a loop current left forced.
    void Leave() override;

    // A button or radio button was clicked.
    void OnClicked(int id);
    // The text of edit 1020 changed.
    void OnOtherCurrentChanged();

    float FixedCurrent() const { return m_fFixedCurrent; }

  private:
    enum class Action { kForce, kTrim, kRelease };

    void Test(float current, int readingEdit);
    void Update();
    void Send();
    void Run(Action action, std::initializer_list<std::uint8_t> commands);
    void CurrentError(int edit);
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

    Form& m_form;
    float m_fFixedCurrent = 4.0f;
    Action m_action = Action::kForce;
};

}  // namespace tandrin
