#include "cli/cli_setup.h"

#include <string_view>
#include <tuple>

#include "cli/cli_session.h"
#include "device/degree_text.h"
#include "device/units.h"
#include "link/hart_master.h"
#include "pages/setup_page.h"
#include "pages/setup_page_form.h"
#include "pages/setup_page_ids.h"
#include "pages/unit_conversion.h"

namespace tandrin::cli {

namespace {

using namespace setup_ids;

using Then = CliSession::Then;

constexpr const char* kModeNames[4] = {"backup", "average", "difference", "independent"};
constexpr const char* kAlarmNames[2] = {"high", "low"};

class SetupCommand {
  public:
    explicit SetupCommand(CliSession& session) : m_session(session), m_page(m_form) {
        AddSetupPageControls(m_form);
        m_page.Init();
    }

    int Setup();
    int SetSetup();

  private:
    // Runs a page button's action and waits for its sequence. False with
    // m_error (UTF-8) set when the page refused (its message) or the
    // sequence failed.
    bool RunPage(void (SetupPage::*action)(), Then then = Then::kClose);
    // Empty, or what keeps the changes from being made (UTF-8).
    std::string Apply(const SetupChanges& changes);
    std::string ApplySensors(const SetupChanges& changes);
    std::string ChooseUnit(const std::string& unit);
    int Fail(const std::string& utf8);
    int Print();
    void AddSensor(JsonObject& json, std::string& text, int sensor);
    void Line(std::string& text, int label, const std::string& value) const;

    CliSession& m_session;
    MemoryForm m_form;
    SetupPage m_page;
    std::string m_error;
};

int SetupCommand::Fail(const std::string& utf8) {
    return m_session.Output().Fail(utf8);
}

bool SetupCommand::RunPage(void (SetupPage::*action)(), Then then) {
    return m_session.RunSequence([this, action] { (m_page.*action)(); }, m_error, then);
}

std::string SetupCommand::ChooseUnit(const std::string& unit) {
    const std::string shown = m_form.Text(kUnit);
    // A unit without a code may be replaced; the range must then be given.
    if (TemperatureUnitOf(shown) == TemperatureUnit::kNone && UnitCode(shown) != 0) {
        return "--unit converts between temperature units; the output unit is " + Utf8(shown);
    }
    const std::string wanted = unit == "C" ? DegreeText() : unit;
    for (int i = 0; i < m_form.EntryCount(kUnit); ++i) {
        if (m_form.Entry(kUnit, i) == wanted) {
            m_form.SetSelection(kUnit, i);
        }
    }
    m_page.OnUnitChosen();
    return {};
}

// The changes in the order a technician makes them on the page, each
// through the page's own reaction to that choice.
std::string SetupCommand::Apply(const SetupChanges& c) {
    if (std::string error = ApplySensors(c); !error.empty()) {
        return error;
    }
    if (c.unit) {
        if (std::string error = ChooseUnit(*c.unit); !error.empty()) {
            return error;
        }
    }
    for (const auto& [value, id] :
         {std::pair{c.offset1, kSensor1Offset}, std::pair{c.offset2, kSensor2Offset},
          std::pair{c.lower, kZero}, std::pair{c.upper, kSpan}, std::pair{c.damping, kDamping}}) {
        if (value) {
            m_form.SetText(id, *value);
            m_page.OnValueTyped(id);
        }
    }
    for (const auto& [value, id] : {std::pair{c.displayMode, kDisplayMode},
                                    std::pair{c.decimals, kDecimals}, std::pair{c.alarm, kAlarm}}) {
        if (value) {
            m_form.SetSelection(id, *value);
        }
    }
    return {};
}

std::string SetupCommand::ApplySensors(const SetupChanges& c) {
    if (c.sensor2 && *c.sensor2 < 0) {
        m_page.OnSingleSensor();
    } else if (c.sensor2) {
        m_page.OnDoubleSensor();
    }
    if ((c.workMode || c.outputSensor || c.wiring2 || c.offset2) && !m_page.DoubleSensor()) {
        return "the transmitter is set up for one sensor: give --sensor2 CODE for two";
    }
    if (c.workMode) {
        m_page.OnWorkMode(*c.workMode);
    }
    if (c.outputSensor) {
        if (m_page.WorkMode() != SetupPage::kIndependent) {
            return "--output-sensor applies in the independent work mode";
        }
        m_form.SetSelection(kOutputSensor, *c.outputSensor - 1);
        m_page.OnOutputSensor();
    }
    if (c.sensor1) {
        m_form.SetSelection(kSensor1Type, SensorPositionOfCode(*c.sensor1));
        m_page.OnSensor1Type();
    }
    if (c.sensor2 && *c.sensor2 >= 0) {
        m_form.SetSelection(kSensor2Type, SensorPositionOfCode(*c.sensor2));
        m_page.OnSensor2Type();
    }
    for (const auto& [wiring, list, name] :
         {std::tuple{c.wiring1, kSensor1Wiring, "1"}, std::tuple{c.wiring2, kSensor2Wiring, "2"}}) {
        if (!wiring) {
            continue;
        }
        if (!m_form.Enabled(list)) {
            return std::string("sensor ") + name +
                   " has no wiring to set (only codes 10..22 and 24 have: resistance "
                   "thermometers, ohm inputs and -10..75 mV)";
        }
        m_form.SetSelection(list, *wiring - 2);
    }
    return {};
}

void SetupCommand::Line(std::string& text, int label, const std::string& value) const {
    text += Utf8(m_form.Text(label)) + ": " + Utf8(value) + "\n";
}

void SetupCommand::AddSensor(JsonObject& json, std::string& text, int sensor) {
    const bool first = sensor == 1;
    const std::string key = "sensor" + std::to_string(sensor) + "_";
    const int typeList = first ? kSensor1Type : kSensor2Type;
    const int wiringList = first ? kSensor1Wiring : kSensor2Wiring;
    const int offset = first ? kSensor1Offset : kSensor2Offset;
    json.Add(key + "type", first ? hartMaster.m_bySensor1Type : hartMaster.m_bySensor2Type)
        .Add(key + "name", Utf8(m_form.Text(typeList)));
    Line(text, first ? 1102 : 1106, m_form.Text(typeList));
    if (m_form.Selection(wiringList) >= 0) {
        json.Add(key + "wiring", m_form.Selection(wiringList) + 2);
        Line(text, first ? 1103 : 1107, m_form.Text(wiringList));
    }
    // The value held, in the output unit: not the box's rounded text.
    const float held = first ? hartMaster.m_fSensor1Offset : hartMaster.m_fSensor2Offset;
    json.Add(key + "offset",
             static_cast<double>(static_cast<float>(OffsetShownIn(hartMaster.m_strPVUnit, held))));
    Line(text, first ? 1105 : 1108,
         m_form.Text(offset) + " " + m_form.Text(first ? kSensor1OffsetUnit : kSensor2OffsetUnit));
}

int SetupCommand::Print() {
    const HartMaster& device = hartMaster;
    const bool two = m_page.DoubleSensor();
    const int mode = m_page.WorkMode();
    JsonObject json;
    std::string text;
    json.Add("sensors", two ? 2 : 1);
    std::string sensors = m_form.Text(two ? kDoubleSensor : kSingleSensor);
    if (two) {
        json.Add("work_mode", std::string_view(kModeNames[mode]));
        sensors += ", " + m_form.Text(kWorkModes[mode]);
    }
    Line(text, 1029, sensors);
    if (two && mode == SetupPage::kIndependent && m_form.Selection(kOutputSensor) >= 0) {
        json.Add("output_sensor", m_form.Selection(kOutputSensor) + 1);
    }
    AddSensor(json, text, 1);
    if (two) {
        AddSensor(json, text, 2);
        if (mode == SetupPage::kIndependent) {
            Line(text, 1109, m_form.Text(kOutputSensor));
        }
    }
    json.Add("unit", Utf8(device.m_strPVUnit))
        .Add("lower_range", static_cast<double>(device.m_fLowerRange))
        .Add("upper_range", static_cast<double>(device.m_fUpperRange))
        .Add("damping", static_cast<double>(device.m_fDamping))
        .Add("display_mode", device.m_byDisplayMode)
        .Add("decimals", device.m_byDecimals);
    if (device.m_byAlarmMode < 2) {
        json.Add("alarm", std::string_view(kAlarmNames[device.m_byAlarmMode]));
    }
    Line(text, 1111, m_form.Text(kUnit));
    Line(text, 1110, m_form.Text(kZero));
    Line(text, 1104, m_form.Text(kSpan));
    Line(text, 1112, m_form.Text(kDisplayMode));
    Line(text, 1113, m_form.Text(kDecimals));
    Line(text, 1114, m_form.Text(kAlarm));
    Line(text, 1115, m_form.Text(kDamping) + " " + m_form.Text(1116));
    text.pop_back();  // Succeed ends the last line
    return m_session.Output().Succeed(json, text);
}

int SetupCommand::Setup() {
    if (!RunPage(&SetupPage::Read)) {
        return Fail(m_error);
    }
    return Print();
}

int SetupCommand::SetSetup() {
    if (!RunPage(&SetupPage::Read, Then::kKeepOpen)) {
        return Fail(m_error);
    }
    if (const std::string error = Apply(m_session.Options().setup); !error.empty()) {
        return Fail(error);
    }
    if (!RunPage(&SetupPage::Update, Then::kKeepOpen)) {
        return Fail(m_error);
    }
    // The transmitter has reset: what it now holds, read as the page reads.
    if (!RunPage(&SetupPage::Read)) {
        return Fail(m_error);
    }
    return Print();
}

}  // namespace

int RunSetup(CliSession& session) {
    return SetupCommand(session).Setup();
}

int RunSetSetup(CliSession& session) {
    return SetupCommand(session).SetSetup();
}

}  // namespace tandrin::cli
