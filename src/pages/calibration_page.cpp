#include "pages/calibration_page.h"

#include "pages/calibration_page_ids.h"
#include "pages/page_sequence.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"

namespace tandrin {

using namespace calibration_ids;

void CalibrationPage::Translate() {
    TranslateControl(m_form, kSetLower, "IDC_CALI4MA", "KvView5");
    TranslateControl(m_form, kSetUpper, "IDC_CALI20MA", "KvView5");
}

void CalibrationPage::OnClicked(int id) {
    if (id == kSetLower) {
        Calibrate("strSetZero", 37);
    } else if (id == kSetUpper) {
        Calibrate("strSetFull", 36);
    }
}

void CalibrationPage::Calibrate(const char* questionKey, std::uint8_t command) {
    if (CheckLinkReady() == 0 || !mainWindow->Shell().AskYesNo(LangText(questionKey), "HART")) {
        return;
    }
    RunPageSequence(this, &CalibrationPage::StepDone, {0, command});
}

void CalibrationPage::StepDone(void* user, std::int32_t success, std::uint8_t /*command*/) {
    if (AdvancePageSequence(user, &CalibrationPage::StepDone, success) == SequenceStep::kThrough) {
        ReportDone();
    }
}

}  // namespace tandrin
