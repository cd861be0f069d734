#include "procedures/survey_export.h"

#include <cstdio>

#include "device/encodings.h"
#include "device/response_codes.h"
#include "pages/decimal_text.h"
#include "platform/json.h"
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

std::string Number(double value) {
    return JsonText(JsonNumber(value));
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
                                       ? Number(d.pv) + "," + CsvField(toUtf8(d.unit)) + "," +
                                             Number(d.currentMa) + "," + Number(d.percent)
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
    Json list = Json::array();
    for (const SurveyDevice& d : devices) {
        Json device = Json::object();
        device["address"] = d.address;
        device["long_address"] = BytesToHex(d.longAddress.data(), d.longAddress.size());
        device["manufacturer"] = Hex2(d.manufacturer);
        device["device_type"] = Hex2(d.deviceType);
        device["tag"] = toUtf8(d.tag);
        device["descriptor"] = toUtf8(d.descriptor);
        if (d.valuesRead) {
            device["pv"] = JsonNumber(d.pv);
            device["unit"] = toUtf8(d.unit);
            device["current_ma"] = JsonNumber(d.currentMa);
            device["percent"] = JsonNumber(d.percent);
        }
        Json bits = Json::object();
        for (const DeviceStatusBit& bit : kDeviceStatusBits) {
            bits[bit.name] = (d.deviceStatus & bit.mask) != 0;
        }
        device["device_status"] = bits;
        device["status_text"] = toUtf8(SurveyStatusWords(d.deviceStatus));
        device["answering"] = d.answering;
        list.push_back(device);
    }
    Json json = Json::object();
    json["devices"] = list;
    return JsonText(json) + "\n";
}

}  // namespace tandrin
