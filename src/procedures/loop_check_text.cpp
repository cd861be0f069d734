#include "procedures/loop_check_text.h"

#include <map>

#include "shell/lang_text.h"

namespace tandrin {

const std::map<std::string, std::string>& LoopCheckEnglishTexts() {
    static const std::map<std::string, std::string> texts{
        {"Caption", "Loop Check"},
        {"Points", "Points (% of span)"},
        {"Tolerance", "Tolerance (% of span)"},
        {"Settle", "Settling time (s)"},
        {"ReadTransmitter", "Also read the transmitter's own current"},
        {"Technician", "Technician"},
        {"Meter", "Reference meter"},
        {"Reading", "Measured current (mA)"},
        {"Start", "Start"},
        {"Next", "Next"},
        {"Stop", "Stop"},
        {"SaveReport", "Save Report..."},
        {"Print", "Print..."},
        {"Close", "Close"},
        {"ReportTitle", "Loop Check Report"},
        {"Tag", "Tag"},
        {"LongAddress", "Long address"},
        {"Version", "Software version"},
        {"Range", "Range"},
        {"DateTime", "Date and time"},
        {"Signature", "Signature"},
        {"Pass", "Pass"},
        {"Point", "Point (%)"},
        {"Expected", "Expected (mA)"},
        {"Measured", "Reading (mA)"},
        {"Transmitter", "Transmitter (mA)"},
        {"Error", "Error (% of span)"},
        {"Result", "Result"},
        {"AsFound", "As found"},
        {"AsLeft", "As left"},
        {"Passed", "PASS"},
        {"Failed", "FAIL"},
        {"NotRun", "Not run"},
        {"Overall", "Overall"},
        {"Trimmed", "The output was trimmed between the passes."},
        {"PlotTitle", "Error against point, with the tolerance band"},
        {"PromptStart", "Set the points and the tolerance, then press Start."},
        {"PromptReading",
         "The loop is fixed at %s mA. Type the current the reference meter reads, then press "
         "Next."},
        {"PromptSettle", "The loop is fixed at %s mA. Waiting for it to settle..."},
        {"PromptTrim",
         "Trim: the loop is fixed at %s mA. Type the current the reference meter reads, then press "
         "Next."},
        {"PromptBusy", "Communicating with the transmitter..."},
        {"AskTrim",
         "The as-found check failed. Trim the output now and then run the as-left check?"},
        {"AllPassed", "Every point is within the tolerance."},
        {"SomeFailed", "At least one point is outside the tolerance."},
        {"Stopped", "Loop check stopped. The transmitter has left fixed-current mode."},
        {"CommFailed",
         "Loop check ended: the transmitter did not answer. It has left fixed-current mode."},
        {"StillForced",
         "Loop check ended: the transmitter did not answer and may still be in fixed-current mode. "
         "Check the loop before returning it to service."},
        {"BadPoints",
         "Points: numbers from -1.25 to 103.125 (% of span), separated by commas, at most 21."},
        {"BadTolerance", "Tolerance: a number greater than 0 and at most 10 (% of span)."},
        {"BadSettle", "Settling time: 0 to 600 seconds."},
        {"BadReading", "Type the measured current in mA, such as 12.004 (0 to 30 mA)."},
        {"SaveFilter", "Loop check report (*.html);;PDF (*.pdf);;CSV (*.csv)"},
        {"SaveFailed", "The report could not be written."},
    };
    return texts;
}

std::string LoopCheckText(const std::string& key) {
    std::string text = LangText("LoopCheck", key);
    if (text.empty()) {
        const auto& english = LoopCheckEnglishTexts();
        const auto found = english.find(key);
        text = found == english.end() ? key : found->second;
    }
    return text;
}

std::string WithValue(const std::string& text, const std::string& value) {
    const auto at = text.find("%s");
    return at == std::string::npos ? text : text.substr(0, at) + value + text.substr(at + 2);
}

}  // namespace tandrin
