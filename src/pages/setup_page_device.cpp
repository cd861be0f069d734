// The setup page's talk with the transmitter: Read and what it shows,
// Update with its checks and what it sends.
#include <algorithm>
#include <cmath>

#include "device/units.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "pages/page_sequence.h"
#include "pages/setup_page.h"
#include "pages/setup_page_ids.h"
#include "pages/unit_conversion.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

using namespace setup_ids;

constexpr int kFourWire = 2;
constexpr std::uint8_t kNoSecondSensor = 0xFF;
constexpr double kMinimumSpan = 10;
constexpr std::uint8_t kReadLast = 147;

// What kind of input a sensor code is: temperature sensors 0..20,
// resistance 21..23, millivolt 24..28; -1 for anything else.
int InputKind(int code) {
    if (code >= 0 && code <= 20) {
        return 0;
    }
    if (code >= 21 && code <= 23) {
        return 1;
    }
    if (code >= 24 && code < kSensorTypeCount) {
        return 2;
    }
    return -1;
}

// A nibble from a list's selection, all ones without one; but a list that
// cannot show the device's choice keeps the nibble read (`keep` is then
// the held nibble, else negative).
std::uint8_t Nibble(int selection, int keep) {
    if (selection < 0 && keep >= 0) {
        return static_cast<std::uint8_t>(keep & 0x0F);
    }
    return static_cast<std::uint8_t>(selection & 0x0F);
}

}  // namespace

void SetupPage::Read() {
    if (CheckLinkReady() == 0) {
        return;
    }
    // Command 147 as well: the display and alarm lists show the device's
    // values, not whatever was held before.
    RunPageSequence(this, &SetupPage::StepDone, {0, 15, 146, kReadLast});
}

std::uint8_t SetupPage::SensorCodeOf(int list, std::uint8_t held) const {
    const int code = SensorCodeAtPosition(m_form.Selection(list));
    return code < 0 ? held : static_cast<std::uint8_t>(code);
}

void SetupPage::Update() {
    if (CheckLinkReady() == 0) {
        return;
    }
    HartMaster& device = hartMaster;
    float damping = 0;
    float lower = 0;
    float upper = 0;
    float offset1 = 0;
    float offset2 = 0;
    if (!BoxValue(kDamping, damping) || !BoxValue(kZero, lower) || !BoxValue(kSpan, upper) ||
        !BoxValue(kSensor1Offset, offset1) || !BoxValue(kSensor2Offset, offset2)) {
        Message("strValueErr");
        return;
    }
    // A unit without a code would go out as 0: the transmitter would lose
    // its unit.
    if (UnitCode(m_form.Text(kUnit)) == 0) {
        Message("strUnitUnknown");
        return;
    }
    // After a Read, what no list shows goes back as read: the wiring of a
    // sensor type without list entry or of a sensor 2 not in use, and the
    // output sensor outside the independent mode.
    const int held1 =
        m_bShownFromDevice && m_form.Selection(kSensor1Type) < 0 ? device.m_byWiring & 0x0F : -1;
    const int held2 = m_bShownFromDevice && (!m_bDoubleSensor || m_form.Selection(kSensor2Type) < 0)
                          ? device.m_byWiring >> 4
                          : -1;
    const int heldOutput =
        m_bShownFromDevice && m_nWorkMode != kIndependent ? device.m_byWorkMode >> 4 : -1;
    const std::uint8_t wiring1 = Nibble(m_form.Selection(kSensor1Wiring), held1);
    const std::uint8_t wiring2 = Nibble(m_form.Selection(kSensor2Wiring), held2);
    device.m_byWiring = static_cast<std::uint8_t>((wiring2 << 4) | wiring1);
    device.m_bySensor1Type = SensorCodeOf(kSensor1Type, device.m_bySensor1Type);
    device.m_bySensor2Type =
        m_bDoubleSensor ? SensorCodeOf(kSensor2Type, device.m_bySensor2Type) : kNoSecondSensor;
    device.m_fDamping = damping;
    device.m_fLowerRange = lower;
    device.m_fUpperRange = upper;
    device.m_strPVUnit = m_form.Text(kUnit);
    if (!Validate()) {
        return;
    }
    device.m_fSensor1Offset = offset1;
    device.m_fSensor2Offset = offset2;
    const std::uint8_t output = Nibble(m_form.Selection(kOutputSensor), heldOutput);
    device.m_byWorkMode = static_cast<std::uint8_t>(m_nWorkMode | (output << 4));
    const int alarm = m_form.Selection(kAlarm);
    const int display = m_form.Selection(kDisplayMode);
    const int decimals = m_form.Selection(kDecimals);
    device.m_byAlarmMode = static_cast<std::uint8_t>(alarm < 0 ? 0 : alarm);
    device.m_byDisplayMode = static_cast<std::uint8_t>(display < 0 ? 0 : display);
    device.m_byDecimals = static_cast<std::uint8_t>(decimals < 0 ? 1 : decimals);
    // Range and unit, sensors, display, damping, then a reset that makes
    // the transmitter take the new configuration.
    RunPageSequence(this, &SetupPage::StepDone, {0, 35, 186, 187, 34, 42});
}

SetupPage::HeldValue& SetupPage::Held(int id) {
    for (HeldValue& held : m_held) {
        if (held.id == id || held.id == 0) {
            held.id = id;
            return held;
        }
    }
    return m_held[0];  // never: one slot for each number box
}

void SetupPage::ShowHeld(int id, float value, const std::string& shown) {
    m_form.SetText(id, shown);
    HeldValue& held = Held(id);
    held.value = value;
    held.shown = shown;
    held.held = true;
}

void SetupPage::DropHeld(std::initializer_list<int> ids) {
    for (const int id : ids) {
        Held(id).held = false;
    }
}

bool SetupPage::BoxValue(int id, float& value) const {
    const std::string text = m_form.Text(id);
    for (const HeldValue& held : m_held) {
        if (held.id == id && held.held && held.shown == text) {
            value = held.value;
            return std::isfinite(value);
        }
    }
    if (!FitsFloat(text)) {
        return false;
    }
    double number = DecimalValue(text);
    if (id == kDamping) {
        number = std::max(0.0, number);
    } else if (id == kSensor1Offset || id == kSensor2Offset) {
        number = OffsetForDevice(m_form.Text(kUnit), number);
    }
    value = static_cast<float>(number);
    return std::isfinite(value);
}

bool SetupPage::Validate() {
    const HartMaster& device = hartMaster;
    // Written so that a span that is not a number fails too.
    if (!(std::fabs(device.m_fUpperRange - device.m_fLowerRange) >= kMinimumSpan)) {
        Message("SpanErr");
        return false;
    }
    if (!m_bDoubleSensor) {
        return true;
    }
    if ((device.m_byWiring & 0x0F) == kFourWire) {
        Message("Sen1WireErr");
        return false;
    }
    if ((device.m_byWiring >> 4) == kFourWire) {
        Message("Sen2WireErr");
        return false;
    }
    if (m_nWorkMode == kIndependent) {
        return true;
    }
    // Backup, average and difference combine the two readings: they must
    // measure the same kind of quantity. -100..2000 mV (code 28) is a
    // millivolt input like the others.
    const int kind1 = InputKind(device.m_bySensor1Type);
    if (kind1 < 0 || kind1 != InputKind(device.m_bySensor2Type)) {
        Message("SenMatchErr");
        return false;
    }
    return true;
}

void SetupPage::Message(const char* key) {
    if (mainWindow != nullptr) {
        mainWindow->Shell().MessageBox(LangText(key), "HART", MessageIcon::kError);
    }
}

void SetupPage::SetSensorTypeList(int list, std::uint8_t code) {
    const int position = SensorPositionOfCode(code);
    m_form.SetSelection(list, position);
    if (position < 0) {
        m_form.SetText(list, "");
    }
}

void SetupPage::FillFromDevice() {
    const HartMaster& device = hartMaster;
    const std::string& unit = device.m_strPVUnit;
    m_bDoubleSensor = HasSecondSensor(device.m_bySensor2Type);
    ApplyEnablingRule();
    ShowHeld(kSensor1Offset, device.m_fSensor1Offset,
             FixedText(OffsetShownIn(unit, device.m_fSensor1Offset), 3));
    const int wiring1 = device.m_byWiring & 0x0F;
    m_form.SetSelection(kSensor1Wiring, wiring1 > kFourWire ? -1 : wiring1);
    SetSensorTypeList(kSensor1Type, device.m_bySensor1Type);
    if (!m_bDoubleSensor) {
        m_form.SetChecked(kSingleSensor, true);
        m_form.SetChecked(kDoubleSensor, false);
        m_form.SetSelection(kSensor2Type, -1);
        m_form.SetText(kSensor2Type, "");
        m_form.SetSelection(kSensor2Wiring, -1);
        // Not shown, but kept as the transmitter holds it.
        ShowHeld(kSensor2Offset, device.m_fSensor2Offset, "");
        EnableWiring(kSensor1Wiring, kSensor1Type);
        return;
    }
    m_form.SetChecked(kSingleSensor, false);
    m_form.SetChecked(kDoubleSensor, true);
    const int wiring2 = device.m_byWiring >> 4;
    m_form.SetSelection(kSensor2Wiring, wiring2 > kFourWire ? -1 : wiring2);
    SetSensorTypeList(kSensor2Type, device.m_bySensor2Type);
    const int mode = device.m_byWorkMode & 0x0F;
    const int output = device.m_byWorkMode >> 4;
    m_nWorkMode = mode > kIndependent ? 0 : mode;
    CheckWorkMode();
    ShowHeld(kSensor2Offset, device.m_fSensor2Offset,
             FixedText(OffsetShownIn(unit, device.m_fSensor2Offset), 3));
    m_form.SetText(kZero, FixedText(device.m_fLowerRange, 3));
    m_form.SetText(kSpan, FixedText(device.m_fUpperRange, 3));
    SetUnitText(unit);
    m_form.SetEnabled(kOutputSensor, m_nWorkMode == kIndependent);
    if (m_nWorkMode == kIndependent) {
        m_form.SetSelection(kOutputSensor, output > 1 ? 0 : output);
    }
    EnableWiring(kSensor1Wiring, kSensor1Type);
    EnableWiring(kSensor2Wiring, kSensor2Type);
}

void SetupPage::ShowReadValues() {
    const HartMaster& device = hartMaster;
    m_bShownFromDevice = true;
    FillFromDevice();
    ShowHeld(kZero, device.m_fLowerRange, FixedText(device.m_fLowerRange, 3));
    ShowHeld(kSpan, device.m_fUpperRange, FixedText(device.m_fUpperRange, 3));
    ShowHeld(kDamping, device.m_fDamping, FixedText(device.m_fDamping, 1));
    m_form.SetSelection(kDisplayMode, device.m_byDisplayMode);
    m_form.SetSelection(kDecimals, device.m_byDecimals);
    m_form.SetSelection(kAlarm, device.m_byAlarmMode);
    SetUnitText(device.m_strPVUnit);
    OnOffsetRadio(1, true);
    OnOffsetRadio(2, true);
    CopyUnitToOffsetLabels();
}

void SetupPage::StepDone(void* user, std::int32_t success, std::uint8_t command) {
    if (AdvancePageSequence(user, &SetupPage::StepDone, success) != SequenceStep::kThrough) {
        return;
    }
    if (command == kReadLast) {
        static_cast<SetupPage*>(user)->ShowReadValues();
    }
    ReportDone();
}

}  // namespace tandrin
