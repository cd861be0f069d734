#include "procedures/loop_check_report.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include "procedures/loop_check_text.h"

namespace tandrin {
namespace {

LoopCheckRecord SampleRecord() {
    LoopCheckRecord record;
    record.device = {"TT<&>\"1",
                     "E05A0A0000",
                     "1.23",
                     0,
                     100,
                     "\xC2\xB0"
                     "C"};
    record.dateTime = "2026-12-07 10:30";
    record.technician = "\xE7\x8E\x8B\xE5\xB7\xA5 & Smith";
    record.referenceMeter = "Fluke 789 <SN 42>";
    record.trimmed = true;
    const double found[] = {4.001, 8.03, 12.0, 15.99, 20.016};
    const double left[] = {4.0, 8.001, 12.002, 16.0, 19.999};
    for (std::size_t i = 0; i < 5; ++i) {
        const double percent = record.settings.points[i];
        record.asFound.rows.push_back(JudgeReading(percent, found[i], 0.1));
        record.asLeft.rows.push_back(JudgeReading(percent, left[i], 0.1));
        record.asFound.rows.back().transmitterMa = ExpectedCurrent(percent);
    }
    record.asFound.complete = record.asLeft.complete = true;
    return record;
}

struct ParsedReport {
    QString error;
    QStringList pointRows;  // the cells of each point row, joined by '|'
    QStringList overall;
    int svgElements = 0;
    int polylines = 0;
    int images = 0;
    QString bodyText;
};

ParsedReport Parse(const std::string& html) {
    ParsedReport report;
    QXmlStreamReader xml(QByteArray::fromStdString(html));
    QString rowClass;
    QStringList cells;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == u"tr") {
                rowClass = xml.attributes().value("class").toString();
                cells.clear();
            } else if ((name == u"td" || name == u"th") && !rowClass.isEmpty()) {
                cells << xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (name == u"svg") {
                report.svgElements += xml.namespaceUri() == u"http://www.w3.org/2000/svg";
            } else if (name == u"polyline") {
                ++report.polylines;
            } else if (name == u"img") {
                ++report.images;
            }
        } else if (xml.isEndElement() && xml.name() == u"tr") {
            if (rowClass == u"point") {
                report.pointRows << cells.join('|');
            } else if (rowClass == u"overall") {
                report.overall = cells;
            }
            rowClass.clear();
        } else if (xml.isCharacters()) {
            report.bodyText += xml.text();
        }
    }
    if (xml.hasError()) {
        report.error = xml.errorString();
    }
    return report;
}

TEST(LoopCheckReport, IsWellFormedXhtmlHoldingEveryRowOfBothPasses) {
    const LoopCheckRecord record = SampleRecord();
    const std::string html = LoopCheckReportHtml(record);
    const ParsedReport report = Parse(html);
    ASSERT_TRUE(report.error.isEmpty()) << report.error.toStdString();
    EXPECT_EQ(report.pointRows.join('\n').toStdString(),
              "0.00|4.000|4.001|4.000|0.0063|PASS|4.000||0.0000|PASS\n"
              "25.00|8.000|8.030|8.000|0.1875|FAIL|8.001||0.0063|PASS\n"
              "50.00|12.000|12.000|12.000|0.0000|PASS|12.002||0.0125|PASS\n"
              "75.00|16.000|15.990|16.000|-0.0625|PASS|16.000||0.0000|PASS\n"
              "100.00|20.000|20.016|20.000|0.1000|PASS|19.999||-0.0063|PASS");
    EXPECT_EQ(report.overall.join('|').toStdString(), "Overall||FAIL||PASS");
    EXPECT_EQ(report.svgElements, 1);
    EXPECT_EQ(report.polylines, 2);
    // Outside texts arrive as text, whatever they hold.
    for (const char* text :
         {"TT<&>\"1", "Fluke 789 <SN 42>", "E05A0A0000", "2026-12-07 10:30", "1.23",
          "\xC2\xB0"
          "C"}) {
        EXPECT_TRUE(report.bodyText.contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_TRUE(report.bodyText.contains(QString::fromUtf8("\xE7\x8E\x8B\xE5\xB7\xA5 & Smith")));
    EXPECT_NE(html.find("@page"), std::string::npos);
    // Nothing outside the file.
    EXPECT_EQ(html.find("src=\"http"), std::string::npos);
    EXPECT_EQ(html.find("<link"), std::string::npos);
}

TEST(LoopCheckReport, WithoutTheTransmitterColumnOrAsLeftPassAndWithThePlotAsImage) {
    LoopCheckRecord record = SampleRecord();
    record.settings.readTransmitter = false;
    record.asLeft = {};
    record.technician = std::string(
        "bad\x01"
        "byte");
    LoopCheckReportOptions options;
    options.plotImage = "plot.png";
    const ParsedReport report = Parse(LoopCheckReportHtml(record, options));
    ASSERT_TRUE(report.error.isEmpty()) << report.error.toStdString();
    ASSERT_EQ(report.pointRows.size(), 5);
    EXPECT_EQ(report.pointRows[1].toStdString(), "25.00|8.000|8.030|0.1875|FAIL|||");
    EXPECT_EQ(report.overall.back().toStdString(), "Not run");
    EXPECT_EQ(report.svgElements, 0);
    EXPECT_EQ(report.images, 1);
    EXPECT_TRUE(report.bodyText.contains("badbyte"));
}

TEST(LoopCheckReport, TheCsvHoldsOneLinePerPointOfEachPass) {
    const std::string csv = LoopCheckCsv(SampleRecord());
    const QStringList lines = QString::fromStdString(csv).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0].toStdString(),
              "pass,point_percent,expected_ma,reading_ma,transmitter_ma,error_percent,result");
    EXPECT_EQ(lines[2].toStdString(), "as_found,25.000,8.000,8.0300,8.000,0.1875,fail");
    EXPECT_EQ(lines[10].toStdString(), "as_left,100.000,20.000,19.9990,,-0.0063,pass");
}

}  // namespace
}  // namespace tandrin
