#include <gtest/gtest.h>

#include "device/response_codes.h"
#include "platform/text_codec.h"
#include "shell/lang_text.h"
#include "shell/reply_text.h"

namespace tandrin {
namespace {

const std::string kResources = TANDRIN_RESOURCE_DIR;

TEST(ResponseCodes, EachKindOfCodeIsClassedAsHartDoes) {
    EXPECT_EQ(ClassifyResponse(0), ResponseClass::kSuccess);
    for (std::uint8_t code : {2, 3, 4, 5, 6, 7, 9, 16, 29, 64}) {
        EXPECT_EQ(ClassifyResponse(code), ResponseClass::kRefusal) << int(code);
    }
    for (std::uint8_t code : {8, 14, 24, 31, 96, 127}) {
        EXPECT_EQ(ClassifyResponse(code), ResponseClass::kWarning) << int(code);
    }
    // Bit 7: our request reached the transmitter garbled. 32 to 36: busy
    // and the delayed responses. Both are asked again.
    for (std::uint8_t code : {0x80, 0x82, 0xC0, 32, 33, 36}) {
        EXPECT_EQ(ClassifyResponse(code), ResponseClass::kRetry) << int(code);
    }
}

TEST(ResponseCodes, MeaningsComeFromTheCommandFirstThenTheUniversalTable) {
    EXPECT_EQ(ResponseCodeKey(35, 9), "strRcLrvTooHigh") << "command-specific row";
    EXPECT_EQ(ResponseCodeKey(36, 9), "strRcProcessTooHigh") << "same code, other command";
    EXPECT_EQ(ResponseCodeKey(35, 7), "strRcWriteProtected") << "universal row";
    EXPECT_EQ(ResponseCodeKey(186, 7), "strRcWriteProtected") << "manufacturer command";
    EXPECT_EQ(ResponseCodeKey(186, 9), "") << "no public meaning for a device-specific code";
    EXPECT_EQ(ResponseCodeKey(16, 64), "strRcNotImplemented");
}

TEST(ResponseCodes, DeviceStatusBitsAreOrderedMostSeriousFirst) {
    EXPECT_EQ(MostSeriousStatus(0), nullptr);
    EXPECT_STREQ(MostSeriousStatus(0xFF)->key, "strDsMalfunction");
    EXPECT_STREQ(MostSeriousStatus(0x48)->key, "strDsCurrentFixed");
    EXPECT_STREQ(MostSeriousStatus(0x60)->key, "strDsConfigChanged");
    std::uint8_t all = 0;
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        EXPECT_EQ(all & bit.mask, 0) << "each bit once";
        all = static_cast<std::uint8_t>(all | bit.mask);
    }
    EXPECT_EQ(all, 0xFF);
}

class ReplyText : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override { languageFilePath = kResources + GetParam(); }
    void TearDown() override { languageFilePath.clear(); }
};

TEST_P(ReplyText, EveryMeaningCommandAndStatusBitHasItsText) {
    for (int command = 0; command < 256; ++command) {
        for (int code = 1; code < 128; ++code) {
            const std::string key = ResponseCodeKey(static_cast<std::uint8_t>(command),
                                                    static_cast<std::uint8_t>(code));
            if (!key.empty()) {
                EXPECT_FALSE(LangText(key).empty()) << key;
            }
        }
        if (ChangesDevice(static_cast<std::uint8_t>(command)) && command < 128) {
            EXPECT_FALSE(LangText("strCmd" + std::to_string(command)).empty()) << command;
        }
    }
    for (const DeviceStatusBit& bit : kDeviceStatusBits) {
        EXPECT_FALSE(LangText(bit.key).empty()) << bit.key;
    }
    for (const char* key : {"strRefused", "strTakenWithWarning", "strWritesTaken", "strOpRefused",
                            "strOpWarning", "strRcUnknown", "strCmdOther"}) {
        EXPECT_FALSE(LangText(key).empty()) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ReplyText,
                         ::testing::Values("English.ini", "SimplifiedChinese.ini"));

TEST(ReplyTextComposed, ARefusalSaysWhatWasRefusedAndWhyInEitherLanguage) {
    languageFilePath = kResources + "English.ini";
    EXPECT_EQ(RefusalText({ReplyKind::kRefused, 35, 9}),
              "The transmitter refused the range (command 35): lower range value too high (9)");
    EXPECT_EQ(RefusalText({ReplyKind::kRefused, 186, 77}),
              "The transmitter refused the sensor settings (command 186): response code (77)");
    EXPECT_EQ(RefusalText({ReplyKind::kRefused, 150, 7}),
              "The transmitter refused the request (command 150): in write-protect mode (7)");
    EXPECT_EQ(TakenWritesText({35, 186}),
              "Already taken before that: the range (35), the sensor settings (186)");
    EXPECT_EQ(TakenWritesText({}), "");
    languageFilePath = kResources + "SimplifiedChinese.ini";
    EXPECT_EQ(ToUtf8(RefusalText({ReplyKind::kRefused, 35, 9}), true),
              "变送器拒绝了量程（命令 35）：量程下限过高 (9)");
    languageFilePath = kResources + "English.ini";
    EXPECT_EQ(
        DeviceStatusTexts(0x81),
        (std::vector<std::string>{"Field device malfunction", "Primary variable out of limits"}));
    languageFilePath.clear();
}

}  // namespace
}  // namespace tandrin
