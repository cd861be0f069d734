#include "pages/trend_record_csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "platform/text_codec.h"

namespace tandrin {

std::string IsoLocalTime(std::int32_t time) {
    const std::time_t at = static_cast<std::time_t>(time);
    std::tm local{};
    localtime_r(&at, &local);
    const long offset = local.tm_gmtoff;
    const int minutes = static_cast<int>((offset < 0 ? -offset : offset) / 60 % (24 * 60));
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

// Samples are floats widened to double: printed as the float they were, so
// 25.1 reads "25.1", not "25.100000381469727". Any other double keeps all
// its digits.
std::string ShortestNumber(double value) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    }
    char text[40];
    const float single = static_cast<float>(value);
    const auto end = static_cast<double>(single) == value
                         ? std::to_chars(text, text + sizeof text, single).ptr
                         : std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string UnitUtf8(const std::string& unit, bool gbk) {
    if (unit == "\xA1\xE6") {
        return "\xE2\x84\x83";  // ℃
    }
    if (unit == "\xB0\x43") {
        return "\xC2\xB0\x43";  // °C
    }
    return ToUtf8(unit, gbk);
}

namespace {

void Series(std::string& out, const char* name, const SampleList& samples,
            const std::string& unit) {
    for (const Sample& sample : samples) {
        out += name;
        out += ',';
        out += IsoLocalTime(sample.time);
        out += ',';
        out += ShortestNumber(sample.value);
        out += ',';
        out += unit;
        out += '\n';
    }
}

// A unit holding a comma or quote is quoted, as CSV readers expect. One a
// spreadsheet would run as a formula gets a leading apostrophe, so it
// reads as text.
std::string CsvField(std::string text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string::npos) {
        text.insert(0, 1, '\'');
    }
    if (text.find_first_of(",\"\n\r") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace

std::string TrendRecordCsv(const TrendRecord& record, bool gbk) {
    std::string out = "series,time,value,unit\n";
    Series(out, "pv", record.pv, CsvField(UnitUtf8(record.m_PVUnit, gbk)));
    Series(out, "current", record.current, "mA");
    Series(out, "percent", record.percent, "%");
    return out;
}

}  // namespace tandrin
