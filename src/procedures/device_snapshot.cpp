#include "procedures/device_snapshot.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "device/degree_text.h"
#include "device/encodings.h"
#include "device/sensor_types.h"
#include "pages/info_page.h"
#include "pages/unit_conversion.h"
#include "platform/json.h"
#include "platform/text_codec.h"

namespace tandrin {

namespace {

constexpr std::array<const char*, 4> kWorkModes{"backup", "average", "difference", "independent"};
constexpr std::array<const char*, 2> kAlarms{"high", "low"};
constexpr int kHighestPollAddress = 15;

std::string PlainUnit(const std::string& unitText, bool gbk) {
    return IsCelsiusText(unitText) ? "C" : ToUtf8(unitText, gbk);
}

std::optional<int> WiringOf(int type, int nibble) {
    if (!PositionOffersWiring(SensorPositionOfCode(type)) || nibble > 2) {
        return std::nullopt;
    }
    return nibble + 2;
}

// HART texts travel as packed ASCII: upper case letters, digits, blanks
// and most punctuation.
bool IsPackedAsciiText(const std::string& text, std::size_t most) {
    if (text.size() > most) {
        return false;
    }
    for (const char c : text) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper < 0x20 || upper > 0x5F) {
            return false;
        }
    }
    return true;
}

// The kinds of value a snapshot's keys hold.
enum class Kind { kText, kNumber, kObject };

bool IsKind(const JsonDocument& value, Kind kind) {
    switch (kind) {
        case Kind::kText:
            return value.is_string();
        case Kind::kNumber:
            return value.is_number();
        case Kind::kObject:
            return value.is_object();
    }
    return false;
}

// The member `key` of an object; nullptr when absent.
const JsonDocument* Find(const JsonDocument& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

// Reads the members of one object, naming the key of the first bad one.
class MemberReader {
  public:
    MemberReader(const JsonDocument& object, std::string prefix, std::string& error)
        : m_object(object), m_prefix(std::move(prefix)), m_error(error) {}

    bool Ok() const { return m_error.empty(); }

    const JsonDocument* Get(const char* key, Kind kind, const char* expected) {
        if (!Ok()) {
            return nullptr;
        }
        const JsonDocument* value = Find(m_object, key);
        if (value == nullptr) {
            m_error = "\"" + m_prefix + key + "\" is missing";
        } else if (!IsKind(*value, kind)) {
            Bad(key, expected);
            return nullptr;
        }
        return value;
    }
    void Bad(const char* key, const char* expected) {
        if (Ok()) {
            m_error = "\"" + m_prefix + key + "\" must be " + expected;
        }
    }
    void Text(const char* key, std::string& out, const char* expected = "a text",
              const std::function<bool(const std::string&)>& check = {}) {
        if (const JsonDocument* value = Get(key, Kind::kText, expected)) {
            const auto& text = value->get_ref<const std::string&>();
            if (check && !check(text)) {
                Bad(key, expected);
                return;
            }
            out = text;
        }
    }
    void Integer(const char* key, int& out, int lowest, int highest) {
        const std::string expected =
            "a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest);
        if (const JsonDocument* value = Get(key, Kind::kNumber, expected.c_str())) {
            const double number = value->get<double>();
            if (number != std::floor(number) || number < lowest || number > highest) {
                Bad(key, expected.c_str());
                return;
            }
            out = static_cast<int>(number);
        }
    }
    void Number(const char* key, double& out, double lowest = -1e9, double highest = 1e9) {
        if (const JsonDocument* value = Get(key, Kind::kNumber, "a number")) {
            const double number = value->get<double>();
            if (number < lowest || number > highest) {
                Bad(key, "a number in range");
                return;
            }
            out = number;
        }
    }
    template <std::size_t N>
    void Name(const char* key, int& out, const std::array<const char*, N>& names) {
        std::string expected = "one of";
        for (const char* name : names) {
            expected += std::string(" \"") + name + "\"";
        }
        std::string text;
        Text(key, text, expected.c_str());
        for (std::size_t i = 0; i < N && Ok(); ++i) {
            if (text == names[i]) {
                out = static_cast<int>(i);
                return;
            }
        }
        Bad(key, expected.c_str());
    }
    const std::string& Prefix() const { return m_prefix; }

  private:
    const JsonDocument& m_object;
    std::string m_prefix;
    std::string& m_error;
};

void ReadSensor(const JsonDocument& object, const std::string& name, SnapshotSensor& sensor,
                std::string& error) {
    MemberReader reader(object, name + ".", error);
    reader.Integer("type", sensor.type, 0, kSensorTypeCount - 1);
    const JsonDocument* wiring = Find(object, "wiring");
    if (reader.Ok() && wiring != nullptr && wiring->is_null()) {
        sensor.wiring.reset();
    } else {
        int wires = 0;
        reader.Integer("wiring", wires, 2, 4);
        sensor.wiring = wires;
    }
    reader.Number("offset", sensor.offset);
    // Thermocouple and millivolt inputs have no wiring to restore or compare.
    if (!PositionOffersWiring(SensorPositionOfCode(sensor.type))) {
        sensor.wiring.reset();
    }
}

void ReadIdentity(const JsonDocument& root, SnapshotIdentity& identity, std::string& error) {
    MemberReader top(root, "", error);
    const JsonDocument* object = top.Get("identity", Kind::kObject, "an object");
    if (object == nullptr) {
        return;
    }
    MemberReader reader(*object, "identity.", error);
    reader.Integer("manufacturer", identity.manufacturer, 0, 255);
    reader.Integer("device_type", identity.deviceType, 0, 255);
    reader.Text("device_id", identity.deviceId);
    reader.Text("long_address", identity.longAddress);
    reader.Text("software_version", identity.softwareVersion);
}

void ReadInformation(MemberReader& reader, DeviceSnapshot& s) {
    const auto packed = [](std::size_t most) {
        return [most](const std::string& text) { return IsPackedAsciiText(text, most); };
    };
    reader.Text("tag", s.tag, "at most 8 HART characters", packed(8));
    reader.Text("descriptor", s.descriptor, "at most 16 HART characters", packed(16));
    reader.Text("message", s.message, "at most 32 HART characters", packed(32));
    reader.Text("date", s.date, "a date YYYY-MM-DD from 1900 to 2155", [](const std::string& t) {
        DeviceDate date;
        return ParseDateText(t, date);
    });
    reader.Text("final_assembly", s.finalAssembly, "one to six hexadecimal digits",
                IsFinalAssemblyText);
    reader.Integer("poll_address", s.pollAddress, 0, kHighestPollAddress);
}

void ReadSetup(const JsonDocument& object, MemberReader& reader, DeviceSnapshot& s,
               std::string& error) {
    reader.Integer("sensors", s.sensors, 1, 2);
    reader.Name("work_mode", s.workMode, kWorkModes);
    reader.Integer("output_sensor", s.outputSensor, 1, 2);
    if (const JsonDocument* sensor = reader.Get("sensor1", Kind::kObject, "an object")) {
        ReadSensor(*sensor, reader.Prefix() + "sensor1", s.sensor1, error);
    }
    s.sensor2.reset();
    const JsonDocument* second = Find(object, "sensor2");
    if (reader.Ok() && s.sensors == 2) {
        if (const JsonDocument* sensor =
                reader.Get("sensor2", Kind::kObject, "an object for two sensors")) {
            ReadSensor(*sensor, reader.Prefix() + "sensor2", s.sensor2.emplace(), error);
        }
    } else if (reader.Ok() && second != nullptr && !second->is_null()) {
        reader.Bad("sensor2", "null for one sensor");
    }
    reader.Text("unit", s.unit, "a unit such as \"C\"",
                [](const std::string& t) { return !t.empty() && t.size() <= 8; });
    reader.Number("lower_range", s.lowerRange);
    reader.Number("upper_range", s.upperRange);
    reader.Number("damping", s.damping, 0, 1e6);
    reader.Integer("display_mode", s.displayMode, 0, 2);
    reader.Integer("decimals", s.decimals, 0, 3);
    reader.Name("alarm", s.alarm, kAlarms);
}

// The transmitter holds its numbers as floats: each is written as the
// shortest text that reads back as the same float.
Json FloatValue(double value) {
    return JsonNumber(static_cast<float>(value));
}

Json SensorJson(const SnapshotSensor& sensor) {
    return {{"type", sensor.type},
            {"wiring", sensor.wiring ? Json(*sensor.wiring) : Json(nullptr)},
            {"offset", FloatValue(sensor.offset)}};
}

}  // namespace

DeviceSnapshot SnapshotOfDevice(const DeviceData& device, bool gbk) {
    DeviceSnapshot s;
    const auto& address = device.m_abyLongAddr;
    s.identity.manufacturer = address[0] & 0x7F;
    s.identity.deviceType = address[1];
    s.identity.deviceId = BytesToHex(address.data() + 2, 3);
    s.identity.longAddress = BytesToHex(address.data(), address.size());
    s.identity.softwareVersion = ToUtf8(device.m_strSoftwareVersion, gbk);

    s.tag = ToUtf8(device.m_strTag, gbk);
    s.descriptor = ToUtf8(device.m_strDescriptor, gbk);
    s.message = ToUtf8(device.m_strMessage, gbk);
    s.date = DateText({device.m_wDateYear, device.m_byDateMonth, device.m_byDateDay});
    s.finalAssembly = device.m_strFinalAssembly;
    s.pollAddress = device.m_byPollAddr;

    const std::string& unit = device.m_strPVUnit;
    s.sensors = HasSecondSensor(device.m_bySensor2Type) ? 2 : 1;
    const int mode = device.m_byWorkMode & 0x0F;
    s.workMode = mode > 3 ? 0 : mode;
    s.outputSensor = (device.m_byWorkMode >> 4) == 1 ? 2 : 1;
    s.sensor1 = {device.m_bySensor1Type, WiringOf(device.m_bySensor1Type, device.m_byWiring & 0x0F),
                 OffsetShownIn(unit, device.m_fSensor1Offset)};
    if (s.sensors == 2) {
        s.sensor2 = SnapshotSensor{device.m_bySensor2Type,
                                   WiringOf(device.m_bySensor2Type, device.m_byWiring >> 4),
                                   OffsetShownIn(unit, device.m_fSensor2Offset)};
    }
    s.unit = PlainUnit(unit, gbk);
    s.lowerRange = device.m_fLowerRange;
    s.upperRange = device.m_fUpperRange;
    s.damping = device.m_fDamping;
    s.displayMode = device.m_byDisplayMode;
    s.decimals = device.m_byDecimals;
    s.alarm = device.m_byAlarmMode == 1 ? 1 : 0;
    return s;
}

std::string SnapshotTime() {
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    const auto day = std::chrono::floor<std::chrono::days>(now);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

std::string InterfaceUnitText(const std::string& plain) {
    if (plain == "C") {
        return DegreeText();
    }
    // Received as "Kohm", sent only as "KOhm".
    if (plain == "Kohm") {
        return "KOhm";
    }
    return plain;
}

std::string SnapshotFileText(const DeviceSnapshot& s) {
    const SnapshotIdentity& id = s.identity;
    const Json file = {
        {"format", kSnapshotFormat},
        {"version", kSnapshotVersion},
        {"taken", s.taken},
        {"identity",
         {{"manufacturer", id.manufacturer},
          {"device_type", id.deviceType},
          {"device_id", id.deviceId},
          {"long_address", id.longAddress},
          {"software_version", id.softwareVersion}}},
        {"information",
         {{"tag", s.tag},
          {"descriptor", s.descriptor},
          {"message", s.message},
          {"date", s.date},
          {"final_assembly", s.finalAssembly},
          {"poll_address", s.pollAddress}}},
        {"setup",
         {{"sensors", s.sensors},
          {"work_mode", kWorkModes[static_cast<std::size_t>(s.workMode)]},
          {"output_sensor", s.outputSensor},
          {"sensor1", SensorJson(s.sensor1)},
          {"sensor2", s.sensor2 ? SensorJson(*s.sensor2) : Json(nullptr)},
          {"unit", s.unit},
          {"lower_range", FloatValue(s.lowerRange)},
          {"upper_range", FloatValue(s.upperRange)},
          {"damping", FloatValue(s.damping)},
          {"display_mode", s.displayMode},
          {"decimals", s.decimals},
          {"alarm", kAlarms[static_cast<std::size_t>(s.alarm)]}}},
    };
    return JsonText(file, 2) + "\n";
}

bool ParseSnapshot(const std::string& text, DeviceSnapshot& snapshot, std::string& error) {
    error.clear();
    std::string syntax;
    const std::optional<JsonDocument> root = ParseJson(text, syntax);
    if (!root) {
        error = "not a JSON document: " + syntax;
        return false;
    }
    if (!root->is_object()) {
        error = "not a device configuration: the document is no JSON object";
        return false;
    }
    DeviceSnapshot read;
    MemberReader top(*root, "", error);
    std::string format;
    top.Text("format", format, "\"tandrin-device-configuration\"",
             [](const std::string& t) { return t == kSnapshotFormat; });
    int version = 0;
    top.Integer("version", version, 1, 1'000'000);
    top.Text("taken", read.taken);
    ReadIdentity(*root, read.identity, error);
    if (const JsonDocument* info = top.Get("information", Kind::kObject, "an object")) {
        MemberReader reader(*info, "information.", error);
        ReadInformation(reader, read);
    }
    if (const JsonDocument* setup = top.Get("setup", Kind::kObject, "an object")) {
        MemberReader reader(*setup, "setup.", error);
        ReadSetup(*setup, reader, read, error);
    }
    if (!error.empty()) {
        return false;
    }
    snapshot = std::move(read);
    return true;
}

bool SameKindOfDevice(const SnapshotIdentity& a, const SnapshotIdentity& b) {
    return a.manufacturer == b.manufacturer && a.deviceType == b.deviceType;
}

}  // namespace tandrin
