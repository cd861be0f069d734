#include <gtest/gtest.h>

#include "platform/json.h"
#include "platform/text_codec.h"
#include "procedures/survey.h"
#include "procedures/survey_export.h"

namespace tandrin {
namespace {

TEST(SurveyAddresses, ListsAndRangesAscendingEachOnce) {
    std::vector<int> out;
    ASSERT_TRUE(ParseSurveyAddresses("0-15", out));
    EXPECT_EQ(out.size(), 16u);
    ASSERT_TRUE(ParseSurveyAddresses("5,0-2,1,15", out));
    EXPECT_EQ(out, (std::vector<int>{0, 1, 2, 5, 15}));
    ASSERT_TRUE(ParseSurveyAddresses("7", out));
    EXPECT_EQ(out, std::vector<int>{7});
    for (const char* bad : {"", "16", "3-1", "-1", "1,", ",1", "1-", "a", "1 ,2", "0x3", "1-2-3"}) {
        EXPECT_FALSE(ParseSurveyAddresses(bad, out)) << bad;
    }
}

std::string Gbk(const std::string& text) {
    return ToUtf8(text, true);
}

SurveyDevice Found() {
    SurveyDevice d;
    d.address = 3;
    d.longAddress = {0xE0, 0x5A, 0x0A, 0x00, 0x03};
    d.manufacturer = 0x60;
    d.deviceType = 0x5A;
    d.tag = FromUtf8("\u6E29\u5EA6,1", true);  // GBK, with a comma
    d.descriptor = "SAY \"HI\"";
    d.pv = 21.123456789;
    d.unit = FromUtf8("\u00B0C", true);
    d.currentMa = 7.3;
    d.percent = 21.1;
    d.valuesRead = true;
    d.deviceStatus = 0x88;
    return d;
}

TEST(SurveyExport, CsvQuotesWhatNeedsItAndJsonReadsBackToTheLastBit) {
    SurveyDevice silent = Found();
    silent.address = 9;
    silent.valuesRead = false;
    silent.answering = false;
    const std::vector<SurveyDevice> devices{Found(), silent};

    const std::string csv = SurveyCsv(devices, Gbk);
    EXPECT_NE(csv.find("3,E05A0A0003,60,5A,\"\u6E29\u5EA6,1\",\"SAY \"\"HI\"\"\",21.123456789,"
                       "\u00B0C,7.3,21.1,88,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("9,E05A0A0003,60,5A,\"\u6E29\u5EA6,1\",\"SAY \"\"HI\"\"\",,,,,88,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",no\r\n"), std::string::npos);

    std::string error;
    const auto json = ParseJson(SurveyJson(devices, Gbk), error);
    ASSERT_TRUE(json) << error;
    const JsonDocument& first = (*json)["devices"].at(0);
    EXPECT_EQ(first["tag"], "\u6E29\u5EA6,1");
    EXPECT_EQ(first["pv"].get<double>(), Found().pv) << "to the last bit";
    EXPECT_TRUE(first["device_status"]["field_device_malfunction"].get<bool>());
    EXPECT_TRUE(first["device_status"]["loop_current_fixed"].get<bool>());
    EXPECT_FALSE(first["device_status"]["cold_start"].get<bool>());
    const JsonDocument& second = (*json)["devices"].at(1);
    EXPECT_FALSE(second.contains("pv")) << "no values read, none written";
    EXPECT_FALSE(second["answering"].get<bool>());
}

}  // namespace
}  // namespace tandrin
