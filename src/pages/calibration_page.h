#pragma once

#include <cstdint>

#include "shell/form.h"
#include "shell/main_dialog.h"

namespace tandrin {

// The range calibration page (layout 136, texts in section "KvView5"): the
// present input becomes the lower (4 mA, command 37) or the upper (20 mA,
// command 36) range value, each after a question.
class CalibrationPage : public DevicePage {
  public:
    explicit CalibrationPage(Form& form) : m_form(form) {}

    void Translate() override;
    void OnClicked(int id);

  private:
    void Calibrate(const char* questionKey, std::uint8_t command);
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);

    Form& m_form;
};

}  // namespace tandrin
