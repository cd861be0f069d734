#include "pages/current_adjust_page.h"

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/current_adjust_page_ids.h"
#include "pages/fixed_current_guard.h"
#include "pages/page_sequence.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/leading_number.h"

namespace tandrin {

namespace {

using namespace current_ids;

constexpr const char* kSection = "KvView1";
constexpr const char* kAppTitle = "Tandrin";

// The trim readings and the fixed current a user may send, in mA. The
// fixed bounds sit just outside 3.8 and 20.5, whose floats lie a hair below
// and above the decimal values.
constexpr float kZeroMin = 3.0f;
constexpr float kZeroMax = 6.0f;
constexpr float kGainMin = 18.0f;
constexpr float kGainMax = 22.0f;
constexpr double kFixedMin = 3.7999;
constexpr double kFixedMax = 20.5001;

}  // namespace

void CurrentAdjustPage::Init() {
    for (int id = kPresetFirst; id <= kOther; ++id) {
        m_form.SetChecked(id, id == kPresetFirst + 1);
    }
    m_form.SetEnabled(kOtherEdit, false);
    m_fFixedCurrent = 4.0f;
}

void CurrentAdjustPage::Translate() {
    const std::pair<int, const char*> keys[] = {
        {kFirstLabel, "IDC_STA1"},  {kSecondLabel, "IDC_STA2"}, {kTrimGroup, "IDC_StaCap1"},
        {kFixGroup, "IDC_StaCap2"}, {kOther, "IDC_RADIO8"},     {kSend, "IDC_cmdSendFixI"},
        {kExit, "IDC_cmdExitI"},    {kTest1, "IDC_cmdTest1"},   {kTest2, "IDC_cmdTest2"},
    };
    for (const auto& [id, key] : keys) {
        TranslateControl(m_form, id, key, kSection);
    }
    TranslateControl(m_form, kUpdate, "IDC_cmdWrite2", "KvView2");
}

void CurrentAdjustPage::Leave() {
    fixedCurrentGuard.OfferRelease(kReleaseOnLeaveKey);
}

void CurrentAdjustPage::OnClicked(int id) {
    if (id >= kPresetFirst && id <= kPresetLast) {
        m_form.SetEnabled(kOtherEdit, false);
        m_fFixedCurrent = kPresetCurrents[static_cast<std::size_t>(id - kPresetFirst)];
        return;
    }
    switch (id) {
        case kOther:
            m_form.SetEnabled(kOtherEdit, true);
            m_form.SetFocus(kOtherEdit);
            OnOtherCurrentChanged();
            break;
        case kTest1:
            Test(4.0f, kFirstReading);
            break;
        case kTest2:
            Test(20.0f, kSecondReading);
            break;
        case kUpdate:
            Update();
            break;
        case kSend:
            Send();
            break;
        case kExit:
            if (CheckLinkReady() != 0) {
                hartMaster.m_fFixedCurrent = 0;
                Run(Action::kRelease, {0, 40});
            }
            break;
        default:
            break;
    }
}

void CurrentAdjustPage::OnOtherCurrentChanged() {
    m_fFixedCurrent = static_cast<float>(LeadingDouble(m_form.Text(kOtherEdit)));
}

void CurrentAdjustPage::Test(float current, int readingEdit) {
    if (CheckLinkReady() == 0) {
        return;
    }
    hartMaster.m_fFixedCurrent = current;
    Run(Action::kForce, {0, 40});
    m_form.SetFocus(readingEdit);
}

void CurrentAdjustPage::Update() {
    if (CheckLinkReady() == 0 ||
        !mainWindow->Shell().AskYesNo(LangText("strTrimCurrent"), kAppTitle)) {
        return;
    }
    const float zero = static_cast<float>(LeadingDouble(m_form.Text(kFirstReading)));
    hartMaster.m_fTrimZeroCurrent = zero;
    if (!(zero >= kZeroMin && zero <= kZeroMax)) {
        CurrentError(kFirstReading);
        return;
    }
    const float gain = static_cast<float>(LeadingDouble(m_form.Text(kSecondReading)));
    hartMaster.m_fTrimGainCurrent = gain;
    if (!(gain >= kGainMin && gain <= kGainMax)) {
        CurrentError(kSecondReading);
        return;
    }
    hartMaster.m_fFixedCurrent = 0;
    Run(Action::kTrim, {0, 45, 46, 40});
}

void CurrentAdjustPage::Send() {
    const double value = m_fFixedCurrent;
    if (!(value >= kFixedMin && value <= kFixedMax)) {
        CurrentError(kOtherEdit);
        return;
    }
    if (CheckLinkReady() == 0) {
        return;
    }
    hartMaster.m_fFixedCurrent = m_fFixedCurrent;
    Run(Action::kForce, {0, 40});
}

void CurrentAdjustPage::Run(Action action, std::initializer_list<std::uint8_t> commands) {
    m_action = action;
    RunPageSequence(this, &CurrentAdjustPage::StepDone, commands);
}

void CurrentAdjustPage::CurrentError(int edit) {
    mainWindow->Shell().MessageBox(LangText("strCurrentErr"), "HART", MessageIcon::kInformation);
    m_form.SetFocus(edit);
}

void CurrentAdjustPage::StepDone(void* user, std::int32_t success, std::uint8_t /*command*/) {
    auto* page = static_cast<CurrentAdjustPage*>(user);
    switch (AdvancePageSequence(user, &CurrentAdjustPage::StepDone, success)) {
        case SequenceStep::kNext:
            // The transmitter answered command 0: what follows forces the
            // loop (a trim leaves it forced until its closing 40 is through).
            if (CommandSequence.index == 1 && page->m_action != Action::kRelease) {
                fixedCurrentGuard.NoteForced();
            }
            break;
        case SequenceStep::kThrough:
            if (page->m_action != Action::kForce) {
                fixedCurrentGuard.NoteReleased();
            }
            ReportDone();
            break;
        case SequenceStep::kIgnored:
        case SequenceStep::kFailed:
            break;
    }
}

}  // namespace tandrin
