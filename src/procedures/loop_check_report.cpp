#include "procedures/loop_check_report.h"

#include <algorithm>
#include <cmath>

#include "device/degree_text.h"
#include "pages/decimal_text.h"
#include "platform/text_codec.h"
#include "procedures/loop_check_text.h"

namespace tandrin {

namespace {

// The plot's drawing area in SVG user units (1 unit = 0.25 mm printed).
constexpr double kPlotWidth = 640;
constexpr double kPlotHeight = 260;
constexpr double kLeft = 70;
constexpr double kRight = 20;
constexpr double kTop = 20;
constexpr double kBottom = 40;

std::string Text(const std::string& key) {
    return ToUtf8(LoopCheckText(key), chineseUi.load() == 1);
}

// Well-formed XML whatever the text: bytes that are not UTF-8 become
// U+FFFD, and characters XML 1.0 forbids (controls, U+FFFE, U+FFFF) are
// dropped.
std::string Escaped(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        const std::string_view character(text.data() + at, length);
        at += length;
        if (length > 1) {
            if (character != "\xEF\xBF\xBE" && character != "\xEF\xBF\xBF") {
                out += character;
            }
            continue;
        }
        const char c = character[0];
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') {
                    out += c;
                }
        }
    }
    return out;
}

std::string Cell(const std::string& text, const std::string& cls = {}) {
    return (cls.empty() ? "<td>" : "<td class=\"" + cls + "\">") + Escaped(text) + "</td>";
}

std::string Ma(double value) {
    return std::isnan(value) ? "" : FixedText(value, 3);
}

std::string Verdict(bool pass) {
    return Text(pass ? "Passed" : "Failed");
}

std::string PassVerdict(const LoopCheckPass& pass) {
    if (!pass.Run()) {
        return Text("NotRun");
    }
    return pass.complete ? Verdict(pass.Passed()) : Text("Failed");
}

const char* kStyle = R"(
@page { margin: 15mm; }
body { font-family: sans-serif; font-size: 10pt; color: #000; max-width: 180mm; margin: 0 auto; }
h1 { font-size: 16pt; margin: 0 0 4mm 0; }
table { border-collapse: collapse; margin-bottom: 5mm; }
th, td { border: 1px solid #666; padding: 1mm 2mm; text-align: right; }
th { background: #e8e8e8; text-align: center; }
td.text, th.text { text-align: left; }
td.pass { background: #d8f0d8; color: #064006; font-weight: bold; text-align: center; }
td.fail { background: #f6d6d6; color: #7a0000; font-weight: bold; text-align: center; }
td.field { min-width: 60mm; height: 8mm; }
svg { display: block; margin-bottom: 5mm; }
@media print { body { max-width: none; } }
)";

std::string IdentityTable(const LoopCheckRecord& record) {
    const LoopCheckDevice& d = record.device;
    const LoopCheckSettings& s = record.settings;
    const std::pair<std::string, std::string> rows[] = {
        {Text("Tag"), d.tag},
        {Text("LongAddress"), d.longAddress},
        {Text("Version"), d.softwareVersion},
        {Text("Range"),
         FixedText(d.lowerRange, 3) + " .. " + FixedText(d.upperRange, 3) + " " + d.unit},
        {Text("DateTime"), record.dateTime},
        {Text("Tolerance"), FixedText(s.tolerance, 4)},
        {Text("Settle"), FixedText(s.settleSeconds, 1)},
    };
    std::string html = "<table class=\"identity\">\n";
    for (const auto& [label, value] : rows) {
        html +=
            "<tr><th class=\"text\">" + Escaped(label) + "</th>" + Cell(value, "text") + "</tr>\n";
    }
    return html + "</table>\n";
}

std::string PassCells(const LoopCheckPass& pass, double percent, bool transmitter) {
    const LoopCheckRow* row = pass.RowAt(percent);
    const int count = transmitter ? 4 : 3;
    if (row == nullptr) {
        std::string empty;
        for (int i = 0; i < count; ++i) {
            empty += "<td></td>";
        }
        return empty;
    }
    std::string cells = Cell(Ma(row->readingMa));
    if (transmitter) {
        cells += Cell(Ma(row->transmitterMa));
    }
    return cells + Cell(ErrorText(row->errorPercent)) +
           Cell(Verdict(row->pass), row->pass ? "pass" : "fail");
}

std::string ResultTable(const LoopCheckRecord& record) {
    const bool transmitter = record.settings.readTransmitter;
    const int span = transmitter ? 4 : 3;
    std::string columns = "<th>" + Escaped(Text("Measured")) + "</th>";
    if (transmitter) {
        columns += "<th>" + Escaped(Text("Transmitter")) + "</th>";
    }
    columns += "<th>" + Escaped(Text("Error")) + "</th><th>" + Escaped(Text("Result")) + "</th>";
    std::string html = "<table class=\"results\">\n<tr><th rowspan=\"2\">" +
                       Escaped(Text("Point")) + "</th><th rowspan=\"2\">" +
                       Escaped(Text("Expected")) + "</th><th colspan=\"" + std::to_string(span) +
                       "\">" + Escaped(Text("AsFound")) + "</th><th colspan=\"" +
                       std::to_string(span) + "\">" + Escaped(Text("AsLeft")) + "</th></tr>\n<tr>" +
                       columns + columns + "</tr>\n";
    for (const double percent : record.settings.points) {
        html += "<tr class=\"point\">" + Cell(FixedText(percent, 2)) +
                Cell(FixedText(ExpectedCurrent(percent), 3)) +
                PassCells(record.asFound, percent, transmitter) +
                PassCells(record.asLeft, percent, transmitter) + "</tr>\n";
    }
    const auto overall = [](const LoopCheckPass& pass, const std::string& verdict) {
        const std::string cls = !pass.Run() ? "text" : (pass.Passed() ? "pass" : "fail");
        return Cell(verdict, cls);
    };
    html += "<tr class=\"overall\"><th class=\"text\" colspan=\"2\">" + Escaped(Text("Overall")) +
            "</th>" + "<td colspan=\"" + std::to_string(span - 1) + "\"></td>" +
            overall(record.asFound, PassVerdict(record.asFound)) + "<td colspan=\"" +
            std::to_string(span - 1) + "\"></td>" +
            overall(record.asLeft, PassVerdict(record.asLeft)) + "</tr>\n";
    return html + "</table>\n";
}

std::string SignatureTable(const LoopCheckRecord& record) {
    return "<table class=\"signature\">\n<tr><th class=\"text\">" + Escaped(Text("Technician")) +
           "</th>" + Cell(record.technician, "text field") + "<th class=\"text\">" +
           Escaped(Text("Signature")) + "</th><td class=\"field\"></td></tr>\n" +
           "<tr><th class=\"text\">" + Escaped(Text("Meter")) + "</th>" +
           Cell(record.referenceMeter, "text field") + "<th class=\"text\">" +
           Escaped(Text("DateTime")) + "</th>" + Cell(record.dateTime, "text field") +
           "</tr>\n</table>\n";
}

// The y scale reaches past the band and the largest error.
double PlotLimit(const LoopCheckRecord& record) {
    double limit = record.settings.tolerance * 2;
    for (const LoopCheckPass* pass : {&record.asFound, &record.asLeft}) {
        for (const LoopCheckRow& row : pass->rows) {
            limit = std::max(limit, std::fabs(row.errorPercent) * 1.15);
        }
    }
    return limit;
}

struct PlotScale {
    double low = 0;
    double high = 100;
    double limit = 1;
    double X(double percent) const {
        return kLeft + (percent - low) / (high - low) * (kPlotWidth - kLeft - kRight);
    }
    double Y(double error) const {
        return kTop + (limit - error) / (2 * limit) * (kPlotHeight - kTop - kBottom);
    }
};

std::string Num(double value) {
    return FixedText(value, 1);
}

std::string Series(const LoopCheckPass& pass, const PlotScale& scale, const char* colour,
                   bool squares) {
    if (pass.rows.empty()) {
        return {};
    }
    std::vector<LoopCheckRow> rows = pass.rows;
    std::sort(rows.begin(), rows.end(),
              [](const LoopCheckRow& a, const LoopCheckRow& b) { return a.percent < b.percent; });
    std::string points;
    std::string marks;
    for (const LoopCheckRow& row : rows) {
        const double x = scale.X(row.percent);
        const double y = scale.Y(std::clamp(row.errorPercent, -scale.limit, scale.limit));
        points += (points.empty() ? "" : " ") + Num(x) + "," + Num(y);
        marks += squares ? "<rect x=\"" + Num(x - 4) + "\" y=\"" + Num(y - 4) +
                               "\" width=\"8\" height=\"8\" fill=\"" + colour + "\"/>"
                         : "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"4\" fill=\"" +
                               colour + "\"/>";
    }
    return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colour +
           "\" stroke-width=\"1.5\"/>" + marks + "\n";
}

// Which mark is which pass, above the top right corner of the plot.
std::string Legend(const LoopCheckRecord& record) {
    std::string svg = "<g font-family=\"sans-serif\" font-size=\"11\">";
    double x = kPlotWidth - kRight - 220;
    const std::string y = Num(kTop - 6);
    if (record.asFound.Run()) {
        svg += "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(kTop - 10) +
               "\" r=\"4\" fill=\"#1f4fbf\"/><text x=\"" + Num(x + 8) + "\" y=\"" + y + "\">" +
               Escaped(Text("AsFound")) + "</text>";
    }
    x += 110;
    if (record.asLeft.Run()) {
        svg += "<rect x=\"" + Num(x - 4) + "\" y=\"" + Num(kTop - 14) +
               "\" width=\"8\" height=\"8\" fill=\"#d06000\"/><text x=\"" + Num(x + 8) + "\" y=\"" +
               y + "\">" + Escaped(Text("AsLeft")) + "</text>";
    }
    return svg + "</g>\n";
}

}  // namespace

std::string LoopCheckPlotSvg(const LoopCheckRecord& record) {
    PlotScale scale;
    const auto& points = record.settings.points;
    if (!points.empty()) {
        scale.low = std::min(0.0, *std::min_element(points.begin(), points.end()));
        scale.high = std::max(100.0, *std::max_element(points.begin(), points.end()));
    }
    scale.limit = PlotLimit(record);
    const double tolerance = record.settings.tolerance;
    const double right = kPlotWidth - kRight;
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"160mm\" height=\"65mm\" "
        "viewBox=\"0 0 " +
        Num(kPlotWidth) + " " + Num(kPlotHeight) + "\">\n";
    svg += "<title>" + Escaped(Text("PlotTitle")) + "</title>\n";
    svg += "<rect x=\"" + Num(kLeft) + "\" y=\"" + Num(scale.Y(tolerance)) + "\" width=\"" +
           Num(right - kLeft) + "\" height=\"" + Num(scale.Y(-tolerance) - scale.Y(tolerance)) +
           "\" fill=\"#dff0df\"/>\n";
    svg += "<g stroke=\"#888\" stroke-width=\"0.8\" font-family=\"sans-serif\" font-size=\"11\">\n";
    for (const double error : {scale.limit, tolerance, 0.0, -tolerance, -scale.limit}) {
        const std::string y = Num(scale.Y(error));
        svg += "<line x1=\"" + Num(kLeft) + "\" y1=\"" + y + "\" x2=\"" + Num(right) + "\" y2=\"" +
               y + "\"" + (error == 0.0 ? "" : " stroke-dasharray=\"3,3\"") + "/>";
        svg += "<text x=\"" + Num(kLeft - 6) + "\" y=\"" + Num(scale.Y(error) + 4) +
               "\" text-anchor=\"end\" stroke=\"none\" fill=\"#000\">" + FixedText(error, 3) +
               "</text>\n";
    }
    for (const double percent : points) {
        const std::string x = Num(scale.X(percent));
        svg += "<text x=\"" + x + "\" y=\"" + Num(kPlotHeight - kBottom + 16) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#000\">" + FixedText(percent, 0) +
               "</text>\n";
    }
    svg += "<text x=\"" + Num((kLeft + right) / 2) + "\" y=\"" + Num(kPlotHeight - 4) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#000\">" + Escaped(Text("Point")) +
           "</text>\n</g>\n";
    svg += Series(record.asFound, scale, "#1f4fbf", false);
    svg += Series(record.asLeft, scale, "#d06000", true);
    svg += Legend(record);
    return svg + "</svg>\n";
}

std::string LoopCheckReportHtml(const LoopCheckRecord& record,
                                const LoopCheckReportOptions& options) {
    const std::string title = Escaped(Text("ReportTitle"));
    std::string html =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"" +
        std::string(chineseUi.load() == 1 ? "zh-CN" : "en") +
        "\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>" + title + "</title>\n<style>" + kStyle +
        "</style>\n</head>\n<body>\n<h1>" + title + "</h1>\n";
    html += IdentityTable(record) + ResultTable(record);
    if (record.trimmed) {
        html += "<p>" + Escaped(Text("Trimmed")) + "</p>\n";
    }
    html += "<h2>" + Escaped(Text("PlotTitle")) + "</h2>\n";
    html += options.plotImage.empty()
                ? LoopCheckPlotSvg(record)
                : "<p><img src=\"" + Escaped(options.plotImage) + "\" alt=\"\"/></p>\n";
    html += SignatureTable(record);
    return html + "</body>\n</html>\n";
}

std::string LoopCheckCsv(const LoopCheckRecord& record) {
    std::string csv =
        "pass,point_percent,expected_ma,reading_ma,transmitter_ma,error_percent,result\r\n";
    const auto add = [&csv](const char* name, const LoopCheckPass& pass) {
        for (const LoopCheckRow& row : pass.rows) {
            csv += std::string(name) + "," + FixedText(row.percent, 3) + "," +
                   FixedText(row.expectedMa, 3) + "," + FixedText(row.readingMa, 4) + "," +
                   Ma(row.transmitterMa) + "," + ErrorText(row.errorPercent) + "," +
                   (row.pass ? "pass" : "fail") + "\r\n";
        }
    };
    add("as_found", record.asFound);
    add("as_left", record.asLeft);
    return csv;
}

}  // namespace tandrin
