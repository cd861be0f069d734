// The setup page on its controls: initialisation, translation, the user's
// choices and the unit conversion.
#include "pages/setup_page.h"

#include <cmath>

#include "device/degree_text.h"
#include "pages/decimal_text.h"
#include "pages/setup_page_ids.h"
#include "pages/setup_page_layout.h"
#include "pages/unit_conversion.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

using namespace setup_ids;

constexpr const char* kSection = "KvView2";
constexpr int kThreeWire = 1;

std::vector<std::string> NumberedKeys(const std::string& stem, int first, int last) {
    std::vector<std::string> keys;
    for (int i = first; i <= last; ++i) {
        keys.push_back(stem + std::to_string(i));
    }
    return keys;
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

void SetupPage::CheckWorkMode() {
    for (int i = 0; i < 4; ++i) {
        m_form.SetChecked(kWorkModes[i], i == m_nWorkMode);
    }
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
        // Thermocouples and the millivolt inputs but -10..75 mV have no
        // wiring to choose.
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
    CheckWorkMode();
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
    DropHeld({kZero, kSpan});
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

// The range and offsets now stand in the unit typed, not the one read.
void SetupPage::OnUnitTyped() {
    m_strUnit = m_form.Text(kUnit);
    DropHeld({kZero, kSpan, kSensor1Offset, kSensor2Offset});
}

void SetupPage::OnValueTyped(int id) {
    DropHeld({id});
}

void SetupPage::OnUnitChosen() {
    const std::string before = m_strUnit;
    const std::string now = m_form.Text(kUnit);
    m_strUnit = now;
    if (before == now) {
        return;
    }
    CopyUnitToOffsetLabels();
    DropHeld({kZero, kSpan, kSensor1Offset, kSensor2Offset});
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

}  // namespace tandrin
