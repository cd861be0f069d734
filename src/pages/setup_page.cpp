#include "pages/setup_page.h"

#include <algorithm>
#include <cmath>

#include "device/degree_text.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "pages/page_sequence.h"
#include "pages/setup_page_ids.h"
#include "pages/setup_page_layout.h"
#include "pages/unit_conversion.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

using namespace setup_ids;

constexpr const char* kSection = "KvView2";
constexpr int kIndependent = 3;
constexpr int kThreeWire = 1;
constexpr int kFourWire = 2;
constexpr std::uint8_t kNoSecondSensor = 0xFF;
constexpr double kMinimumSpan = 10;
constexpr std::uint8_t kReadLast = 147;

std::vector<std::string> NumberedKeys(const std::string& stem, int first, int last) {
    std::vector<std::string> keys;
    for (int i = first; i <= last; ++i) {
        keys.push_back(stem + std::to_string(i));
    }
    return keys;
}

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

void CheckOnly(Form& form, const int (&ids)[4], int which) {
    for (int i = 0; i < 4; ++i) {
        form.SetChecked(ids[i], i == which);
    }
}

}  // namespace

void SetupPage::Init() {
    if (m_form.EntryCount(kAlarm) == 0) {
        for (const char* entry : setup_layout::kAlarmEntries) {
            m_form.AddEntry(kAlarm, entry);
        }
    }
    Translate();
    FillUnitList();
    m_form.SetSelection(kUnit, 0);
    m_strUnit = m_form.Text(kUnit);
    CopyUnitToOffsetLabels();
    m_sensorTypes = SensorTypeTable();
    OnSingleSensor();
    OnWorkMode(0);
    m_form.SetSelection(kSensor1Type, 0);
    m_form.SetSelection(kSensor1Wiring, kThreeWire);
    OnSensor1Type();
    m_form.SetSelection(kSensor2Type, 0);
    m_form.SetSelection(kSensor2Wiring, kThreeWire);
    m_form.SetText(kSensor1Offset, "0");
    m_form.SetText(kSensor2Offset, "0");
    OnOffsetRadio(1, true);
    OnOffsetRadio(2, true);
    ApplyEnablingRule();
    CopyUnitToOffsetLabels();
}

// Lists keep their selection through a refill: the window re-translates
// on every show, and a list gone back to its first entry would write that
// entry to the device on the next Update.
void SetupPage::RefillList(int id, const std::vector<std::string>& keys) {
    const int selection = m_form.Selection(id);
    m_form.ClearEntries(id);
    for (const std::string& key : keys) {
        m_form.AddEntry(id, LangText(kSection, key));
    }
    m_form.SetSelection(id, selection);
}

void SetupPage::Translate() {
    for (int i = 0; i < 17; ++i) {
        TranslateControl(m_form, kLabels[i], "IDC_STA" + std::to_string(i + 1), kSection);
    }
    TranslateControl(m_form, kSingleSensor, "IDC_RAO_SINGLESENSE", kSection);
    TranslateControl(m_form, kDoubleSensor, "IDC_RAO_DOUBLESENSE", kSection);
    for (int i = 0; i < 4; ++i) {
        TranslateControl(m_form, kWorkModes[i], "IDC_RAO_MODE" + std::to_string(i + 1), kSection);
    }
    TranslateControl(m_form, kRead, "IDC_cmdRead2", kSection);
    TranslateControl(m_form, kUpdate, "IDC_cmdWrite2", kSection);

    RefillList(kOutputSensor, NumberedKeys("IDC_cboOutSense", 1, 2));
    RefillList(kDisplayMode, NumberedKeys("IDC_cboDisMode", 1, 3));
    RefillList(kDecimals, NumberedKeys("IDC_cboDisReo", 0, 3));
    const auto wiring = NumberedKeys("IDC_cboWire", 0, 2);
    RefillList(kSensor1Wiring, wiring);
    RefillList(kSensor2Wiring, wiring);
    const auto types = NumberedKeys("m_cboSensorType", 0, kSensorListSize - 1);
    RefillList(kSensor1Type, types);
    RefillList(kSensor2Type, types);
}

void SetupPage::FillUnitList() {
    m_form.ClearEntries(kUnit);
    m_form.AddEntry(kUnit, DegreeText());
    m_form.AddEntry(kUnit, "K");
    m_form.AddEntry(kUnit, "F");
}

// The sensor defaults and a Celsius unit shown follow the language too:
// a Celsius text of the other code page would show as a stray character.
void SetupPage::RefreshDegreeTexts() {
    m_sensorTypes = SensorTypeTable();
    std::string shown = m_form.Text(kUnit);
    if (IsCelsiusText(shown)) {
        shown = DegreeText();
    }
    FillUnitList();
    int match = -1;
    for (int i = 0; i < m_form.EntryCount(kUnit); ++i) {
        if (m_form.Entry(kUnit, i) == shown) {
            match = i;
        }
    }
    m_form.SetSelection(kUnit, match);
    SetUnitText(shown);
    CopyUnitToOffsetLabels();
}

void SetupPage::SetUnitText(const std::string& text) {
    m_form.SetText(kUnit, text);
    m_strUnit = text;
}

void SetupPage::CopyUnitToOffsetLabels() {
    const std::string unit = m_form.Text(kUnit);
    m_form.SetText(kSensor1OffsetUnit, unit);
    m_form.SetText(kSensor2OffsetUnit, unit);
}

void SetupPage::ApplyEnablingRule() {
    for (const int id : kWorkModes) {
        m_form.SetEnabled(id, m_bDoubleSensor);
    }
    m_form.SetEnabled(kSensor2Type, m_bDoubleSensor);
    m_form.SetEnabled(kSensor2Wiring, m_bDoubleSensor);
    m_form.SetEnabled(kSensor2Offset, m_bDoubleSensor);
    m_form.SetEnabled(kOutputSensor, m_bDoubleSensor && m_nWorkMode == kIndependent);
    if (m_bDoubleSensor) {
        // A thermocouple or millivolt input has no wiring to choose.
        EnableWiring(kSensor2Wiring, kSensor2Type);
    }
}

void SetupPage::OnSingleSensor() {
    m_bDoubleSensor = false;
    m_form.SetChecked(kSingleSensor, true);
    m_form.SetChecked(kDoubleSensor, false);
    ApplyEnablingRule();
}

void SetupPage::OnDoubleSensor() {
    m_bDoubleSensor = true;
    m_form.SetChecked(kSingleSensor, false);
    m_form.SetChecked(kDoubleSensor, true);
    ApplyEnablingRule();
}

void SetupPage::OnWorkMode(int mode) {
    m_nWorkMode = mode >= 0 && mode <= kIndependent ? mode : 0;
    CheckOnly(m_form, kWorkModes, m_nWorkMode);
    if (m_nWorkMode == kIndependent) {
        m_form.SetSelection(kOutputSensor, 0);
    }
    ApplyEnablingRule();
}

void SetupPage::ChooseWiring(int wiringList, int typeList) {
    const bool offered = PositionOffersWiring(m_form.Selection(typeList));
    m_form.SetEnabled(wiringList, offered);
    m_form.SetSelection(wiringList, offered ? kThreeWire : -1);
}

void SetupPage::EnableWiring(int wiringList, int typeList) {
    const bool offered = PositionOffersWiring(m_form.Selection(typeList));
    m_form.SetEnabled(wiringList, offered);
    if (!offered) {
        m_form.SetSelection(wiringList, -1);
    }
}

void SetupPage::ShowSensorDefaults(int typeList) {
    const int code = SensorCodeAtPosition(m_form.Selection(typeList));
    if (code < 0 || static_cast<std::size_t>(code) >= m_sensorTypes.size()) {
        return;
    }
    const SensorTypeRecord& record = m_sensorTypes[static_cast<std::size_t>(code)];
    m_form.SetText(kZero, std::to_string(static_cast<long>(std::trunc(record.m_dLower))));
    m_form.SetText(kSpan, std::to_string(static_cast<long>(std::trunc(record.m_dUpper))));
    SetUnitText(record.m_strUnit);
    // The offsets are in the output unit; their labels say which.
    CopyUnitToOffsetLabels();
}

void SetupPage::UpdateFromOutputSensor() {
    ShowSensorDefaults(m_form.Selection(kOutputSensor) == 0 ? kSensor1Type : kSensor2Type);
}

void SetupPage::OnSensor1Type() {
    ChooseWiring(kSensor1Wiring, kSensor1Type);
    if (m_nWorkMode != kIndependent) {
        ShowSensorDefaults(kSensor1Type);
    } else if (m_form.Selection(kOutputSensor) == 0) {
        UpdateFromOutputSensor();
    }
}

void SetupPage::OnSensor2Type() {
    ChooseWiring(kSensor2Wiring, kSensor2Type);
    if (m_nWorkMode == kIndependent && m_form.Selection(kOutputSensor) == 1) {
        UpdateFromOutputSensor();
    }
}

void SetupPage::OnOutputSensor() {
    UpdateFromOutputSensor();
}

void SetupPage::OnOffsetRadio(int sensor, bool pv) {
    const int label = sensor == 1 ? kSensor1OffsetUnit : kSensor2OffsetUnit;
    m_form.SetChecked(sensor == 1 ? kSensor1Pv : kSensor2Pv, pv);
    m_form.SetChecked(sensor == 1 ? kSensor1Current : kSensor2Current, !pv);
    m_form.SetText(label, pv ? m_form.Text(kUnit) : std::string("uA"));
}

void SetupPage::OnUnitTyped() {
    m_strUnit = m_form.Text(kUnit);
}

void SetupPage::OnUnitChosen() {
    const std::string before = m_strUnit;
    const std::string now = m_form.Text(kUnit);
    m_strUnit = now;
    if (before == now) {
        return;
    }
    CopyUnitToOffsetLabels();
    const TemperatureUnit from = TemperatureUnitOf(before);
    const TemperatureUnit to = TemperatureUnitOf(now);
    if (from == TemperatureUnit::kNone || to == TemperatureUnit::kNone) {
        // No way between these units: better empty than wrong.
        for (const int id : {kZero, kSpan, kSensor1Offset, kSensor2Offset}) {
            m_form.SetText(id, "");
        }
        return;
    }
    for (const int id : {kZero, kSpan}) {
        const double value = DecimalValue(m_form.Text(id));
        m_form.SetText(id, FixedText(ConvertRangeValue(value, from, to), 3));
    }
    for (const int id : {kSensor1Offset, kSensor2Offset}) {
        const double value = DecimalValue(m_form.Text(id));
        m_form.SetText(id, FixedText(ConvertOffset(value, from, to), 3));
    }
}

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
    const int wiring1 = m_form.Selection(kSensor1Wiring);
    const int wiring2 = m_form.Selection(kSensor2Wiring);
    // A list without selection reads -1: all ones in its nibble.
    device.m_byWiring = static_cast<std::uint8_t>((wiring2 * 16) | (wiring1 & 0x0F));
    device.m_bySensor1Type = SensorCodeOf(kSensor1Type, device.m_bySensor1Type);
    device.m_bySensor2Type =
        m_bDoubleSensor ? SensorCodeOf(kSensor2Type, device.m_bySensor2Type) : kNoSecondSensor;
    device.m_fDamping = static_cast<float>(std::max(0.0, DecimalValue(m_form.Text(kDamping))));
    device.m_fLowerRange = static_cast<float>(DecimalValue(m_form.Text(kZero)));
    device.m_fUpperRange = static_cast<float>(DecimalValue(m_form.Text(kSpan)));
    device.m_strPVUnit = m_form.Text(kUnit);
    if (!Validate()) {
        return;
    }
    const std::string& unit = device.m_strPVUnit;
    device.m_fSensor1Offset =
        static_cast<float>(OffsetForDevice(unit, DecimalValue(m_form.Text(kSensor1Offset))));
    device.m_fSensor2Offset =
        static_cast<float>(OffsetForDevice(unit, DecimalValue(m_form.Text(kSensor2Offset))));
    const int output = m_form.Selection(kOutputSensor);
    device.m_byWorkMode = static_cast<std::uint8_t>(m_nWorkMode | (output * 16));
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

bool SetupPage::Validate() {
    const HartMaster& device = hartMaster;
    if (std::fabs(device.m_fUpperRange - device.m_fLowerRange) < kMinimumSpan) {
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
    m_form.SetText(kSensor1Offset, FixedText(OffsetShownIn(unit, device.m_fSensor1Offset), 3));
    const int wiring1 = device.m_byWiring & 0x0F;
    m_form.SetSelection(kSensor1Wiring, wiring1 > kFourWire ? -1 : wiring1);
    SetSensorTypeList(kSensor1Type, device.m_bySensor1Type);
    if (!m_bDoubleSensor) {
        m_form.SetChecked(kSingleSensor, true);
        m_form.SetChecked(kDoubleSensor, false);
        m_form.SetSelection(kSensor2Type, -1);
        m_form.SetText(kSensor2Type, "");
        m_form.SetSelection(kSensor2Wiring, -1);
        m_form.SetText(kSensor2Offset, "");
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
    CheckOnly(m_form, kWorkModes, m_nWorkMode);
    m_form.SetText(kSensor2Offset, FixedText(OffsetShownIn(unit, device.m_fSensor2Offset), 3));
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
    FillFromDevice();
    m_form.SetText(kZero, FixedText(device.m_fLowerRange, 3));
    m_form.SetText(kSpan, FixedText(device.m_fUpperRange, 3));
    m_form.SetText(kDamping, FixedText(device.m_fDamping, 1));
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
