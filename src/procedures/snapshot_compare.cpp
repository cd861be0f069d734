#include "procedures/snapshot_compare.h"

#include <charconv>
#include <cmath>
#include <functional>

#include "device/degree_text.h"
#include "device/sensor_types.h"
#include "pages/setup_page_layout.h"
#include "platform/text_codec.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

constexpr const char* kNotApplicable = "-";
constexpr const char* kWorkModeNames[4] = {"backup", "average", "difference", "independent"};
constexpr const char* kAlarmNames[2] = {"high", "low"};

std::string HartText(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool SameNumber(double a, double b) {
    return std::fabs(a - b) <= 5e-4 + 1e-6 * std::max(std::fabs(a), std::fabs(b));
}

class Comparer {
  public:
    explicit Comparer(std::vector<FieldDifference>& out) : m_out(out) {}

    void Text(const char* field, const std::string& a, const std::string& b) {
        if (a != b) {
            m_out.push_back({field, a, b});
        }
    }
    void Number(const std::string& field, double a, double b) {
        if (!SameNumber(a, b)) {
            m_out.push_back({field, FloatText(a), FloatText(b)});
        }
    }
    void Sensor(const std::string& name, const SnapshotSensor& a,
                const std::optional<SnapshotSensor>& b) {
        const auto wiring = [](const std::optional<int>& w) {
            return w ? std::to_string(*w) : std::string(kNotApplicable);
        };
        if (!b) {
            m_out.push_back({name + ".type", std::to_string(a.type), kNotApplicable});
            return;
        }
        if (a.type != b->type) {
            m_out.push_back({name + ".type", std::to_string(a.type), std::to_string(b->type)});
        }
        if (a.wiring != b->wiring) {
            m_out.push_back({name + ".wiring", wiring(a.wiring), wiring(b->wiring)});
        }
        Number(name + ".offset", a.offset, b->offset);
    }

  private:
    std::vector<FieldDifference>& m_out;
};

std::string Entry(const char* section, const std::string& key, const std::string& fallback) {
    const std::string text = LangText(section, key);
    return text.empty() ? fallback : text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string FloatText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<float>(value));
    return std::string(text, result.ptr);
}

std::vector<FieldDifference> CompareSnapshots(const DeviceSnapshot& saved,
                                              const DeviceSnapshot& device, CompareScope scope) {
    std::vector<FieldDifference> out;
    Comparer c(out);
    c.Text("tag", HartText(saved.tag), HartText(device.tag));
    c.Text("descriptor", HartText(saved.descriptor), HartText(device.descriptor));
    c.Text("message", HartText(saved.message), HartText(device.message));
    c.Text("date", saved.date, device.date);
    if (scope.withFinalAssembly) {
        c.Text("final_assembly", HartText(saved.finalAssembly), HartText(device.finalAssembly));
    }
    if (scope.withAddress) {
        c.Text("poll_address", std::to_string(saved.pollAddress),
               std::to_string(device.pollAddress));
    }
    c.Text("sensors", std::to_string(saved.sensors), std::to_string(device.sensors));
    if (saved.sensors == 2) {
        c.Text("work_mode", kWorkModeNames[saved.workMode],
               device.sensors == 2 ? kWorkModeNames[device.workMode] : kNotApplicable);
        if (saved.workMode == 3) {
            c.Text("output_sensor", std::to_string(saved.outputSensor),
                   device.sensors == 2 && device.workMode == 3 ? std::to_string(device.outputSensor)
                                                               : std::string(kNotApplicable));
        }
    }
    c.Sensor("sensor1", saved.sensor1, device.sensor1);
    if (saved.sensor2) {
        c.Sensor("sensor2", *saved.sensor2, device.sensor2);
    }
    c.Text("unit", saved.unit, device.unit);
    c.Number("lower_range", saved.lowerRange, device.lowerRange);
    c.Number("upper_range", saved.upperRange, device.upperRange);
    c.Number("damping", saved.damping, device.damping);
    c.Text("display_mode", std::to_string(saved.displayMode), std::to_string(device.displayMode));
    c.Text("decimals", std::to_string(saved.decimals), std::to_string(device.decimals));
    c.Text("alarm", kAlarmNames[saved.alarm], kAlarmNames[device.alarm]);
    return out;
}

std::string FieldCaption(const std::string& field) {
    std::string key = field;
    for (char& c : key) {
        c = c == '.' ? '_' : c;
    }
    return Entry("Snapshot", key, field);
}

std::string FieldValueText(const std::string& field, const std::string& plain) {
    const bool gbk = chineseUi.load() == 1;
    int number = -1;
    std::from_chars(plain.data(), plain.data() + plain.size(), number);
    if (EndsWith(field, ".type") && SensorPositionOfCode(number) >= 0) {
        return Entry("KvView2", "m_cboSensorType" + std::to_string(SensorPositionOfCode(number)),
                     plain);
    }
    if (field == "work_mode") {
        for (int i = 0; i < 4; ++i) {
            if (plain == kWorkModeNames[i]) {
                return Entry("KvView2", "IDC_RAO_MODE" + std::to_string(i + 1), plain);
            }
        }
    }
    if (field == "display_mode" && number >= 0 && number <= 2) {
        return Entry("KvView2", "IDC_cboDisMode" + std::to_string(number + 1), plain);
    }
    if (field == "decimals" && number >= 0 && number <= 3) {
        return Entry("KvView2", "IDC_cboDisReo" + std::to_string(number), plain);
    }
    if (EndsWith(field, ".wiring") && number >= 2 && number <= 4) {
        return Entry("KvView2", "IDC_cboWire" + std::to_string(number - 2), plain);
    }
    if (field == "alarm") {
        // The Setup page's own entries, the same in every language.
        return plain == "low" ? setup_layout::kAlarmEntries[1] : setup_layout::kAlarmEntries[0];
    }
    if (field == "unit" && plain == "C") {
        return DegreeText();
    }
    return FromUtf8(plain, gbk);
}

}  // namespace tandrin
