#include "procedures/survey_text.h"

#include "shell/lang_text.h"

namespace tandrin {

const std::map<std::string, std::string>& SurveyEnglishTexts() {
    static const std::map<std::string, std::string> texts{
        {"Caption", "Survey"},
        {"Addresses", "Addresses"},
        {"Tries", "Tries per empty address"},
        {"RefreshEvery", "Refresh every (s)"},
        {"Search", "Search"},
        {"Refresh", "Refresh"},
        {"Stop", "Stop"},
        {"MakeCurrent", "Use This Transmitter"},
        {"ExportCsv", "Export CSV..."},
        {"ExportJson", "Export JSON..."},
        {"Close", "Close"},
        {"Address", "Address"},
        {"LongAddress", "Long address"},
        {"Manufacturer", "Mfr"},
        {"DeviceType", "Type"},
        {"Tag", "Tag"},
        {"Descriptor", "Descriptor"},
        {"Pv", "PV"},
        {"Unit", "Unit"},
        {"Current", "Current (mA)"},
        {"Percent", "% of range"},
        {"Status", "Device status"},
        {"StatusOk", "OK"},
        {"NoAnswer", "No answer"},
        {"Trying", "Trying address %s..."},
        {"Found", "Transmitters found: %s"},
        {"Refreshing", "Refreshing the values..."},
        {"Stopped", "Stopped. Transmitters found: %s"},
        {"BadAddresses", "Addresses: 0 to 15, single or as ranges, such as 0-3,5."},
        {"ExportFailed", "The file could not be written."},
    };
    return texts;
}

std::string SurveyText(const std::string& key) {
    std::string text = LangText("Survey", key);
    if (text.empty()) {
        const auto& english = SurveyEnglishTexts();
        const auto found = english.find(key);
        text = found == english.end() ? key : found->second;
    }
    return text;
}

}  // namespace tandrin
