#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "procedures/json_value.h"
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
    EXPECT_NE(csv.find("3,E05A0A0003,60,5A,\"\u6E29\u5EA6,1\",\"SAY \"\"HI\"\"\",21.123457,"
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
    const JsonValue& first = json->Find("devices")->items.at(0);
    EXPECT_EQ(first.Find("tag")->text, "\u6E29\u5EA6,1");
    EXPECT_EQ(static_cast<float>(first.Find("pv")->number), static_cast<float>(Found().pv));
    EXPECT_TRUE(first.Find("device_status")->Find("field_device_malfunction")->boolean);
    EXPECT_TRUE(first.Find("device_status")->Find("loop_current_fixed")->boolean);
    EXPECT_FALSE(first.Find("device_status")->Find("cold_start")->boolean);
    const JsonValue& second = json->Find("devices")->items.at(1);
    EXPECT_EQ(second.Find("pv"), nullptr) << "no values read, none written";
    EXPECT_FALSE(second.Find("answering")->boolean);
}

}  // namespace
}  // namespace tandrin
