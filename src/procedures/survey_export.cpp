#include "procedures/survey_export.h"

#include <cstdio>

#include "device/encodings.h"
#include "device/response_codes.h"
#include "pages/decimal_text.h"
#include "procedures/json_value.h"
#include "procedures/survey_text.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

std::string Hex2(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

}  // namespace

std::string SurveyStatusWords(std::uint8_t status) {
    const DeviceStatusBit* bit = MostSeriousStatus(status);
    return bit == nullptr ? SurveyText("StatusOk") : LangText(bit->key);
}

std::string SurveyStatusDetail(std::uint8_t status) {
    std::string detail;
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        if ((status & bit.mask) != 0) {
            detail += (detail.empty() ? "" : "\n") + LangText(bit.key);
        }
    }
    return detail;
}

std::string SurveyCsv(const std::vector<SurveyDevice>& devices,
                      std::string (*toUtf8)(const std::string&)) {
    std::string csv =
        "address,long_address,manufacturer,device_type,tag,descriptor,pv,unit,current_ma,"
        "percent,device_status,status_text,answering\r\n";
    for (const SurveyDevice& d : devices) {
        const std::string values = d.valuesRead
                                       ? JsonFloat(d.pv) + "," + CsvField(toUtf8(d.unit)) + "," +
                                             JsonFloat(d.currentMa) + "," + JsonFloat(d.percent)
                                       : std::string(",,,");
        csv += std::to_string(d.address) + "," +
               BytesToHex(d.longAddress.data(), d.longAddress.size()) + "," + Hex2(d.manufacturer) +
               "," + Hex2(d.deviceType) + "," + CsvField(toUtf8(d.tag)) + "," +
               CsvField(toUtf8(d.descriptor)) + "," + values + "," + Hex2(d.deviceStatus) + "," +
               CsvField(toUtf8(SurveyStatusWords(d.deviceStatus))) + "," +
               (d.answering ? "yes" : "no") + "\r\n";
    }
    return csv;
}

std::string SurveyJson(const std::vector<SurveyDevice>& devices,
                       std::string (*toUtf8)(const std::string&)) {
    std::string json = "{\"devices\":[";
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const SurveyDevice& d = devices[i];
        json += (i == 0 ? "{" : ",{");
        json += "\"address\":" + std::to_string(d.address);
        json += ",\"long_address\":" +
                JsonQuoted(BytesToHex(d.longAddress.data(), d.longAddress.size()));
        json += ",\"manufacturer\":" + JsonQuoted(Hex2(d.manufacturer));
        json += ",\"device_type\":" + JsonQuoted(Hex2(d.deviceType));
        json += ",\"tag\":" + JsonQuoted(toUtf8(d.tag));
        json += ",\"descriptor\":" + JsonQuoted(toUtf8(d.descriptor));
        if (d.valuesRead) {
            json += ",\"pv\":" + JsonFloat(d.pv) + ",\"unit\":" + JsonQuoted(toUtf8(d.unit)) +
                    ",\"current_ma\":" + JsonFloat(d.currentMa) +
                    ",\"percent\":" + JsonFloat(d.percent);
        }
        json += ",\"device_status\":{";
        bool first = true;
        for (const DeviceStatusBit& bit : kDeviceStatusBits) {
            json += std::string(first ? "" : ",") + JsonQuoted(bit.name) + ":" +
                    ((d.deviceStatus & bit.mask) != 0 ? "true" : "false");
            first = false;
        }
        json += "},\"status_text\":" + JsonQuoted(toUtf8(SurveyStatusWords(d.deviceStatus)));
        json += std::string(",\"answering\":") + (d.answering ? "true" : "false") + "}";
    }
    return json + "]}\n";
}

}  // namespace tandrin
