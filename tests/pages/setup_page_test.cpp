// The setup page's logic on in-memory controls, against simulated
// transmitters in virtual time, with the English texts.
#include <gtest/gtest.h>

#include <limits>

#include "device/degree_text.h"
#include "link/command_flags.h"
#include "pages/page_fixture.h"
#include "pages/setup_page.h"
#include "pages/setup_page_form.h"
#include "pages/setup_page_ids.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/program_dir.h"

namespace tandrin {
namespace {

using namespace setup_ids;

const std::string kCelsius =
    "\xB0"
    "C";
const std::string kChineseCelsius = "\xA1\xE6";

// Sensor type list positions
constexpr int kPt100 = 0;
constexpr int kTypeB = 11;
constexpr int kTypeK = 14;
constexpr int kOhm400 = 21;
constexpr int kMv75 = 23;
constexpr int kMv2000 = 27;

class SetupPageTest : public test::PageFixture {
  protected:
    void SetUp() override {
        PageFixture::SetUp();
        chineseUi = 0;
        AddSetupPageControls(setupForm);
        page.Init();
    }
    void TearDown() override {
        chineseUi = 0;
        PageFixture::TearDown();
    }

    std::vector<std::string> Messages() const { return MessageTexts(); }
    void ChooseSensor(int list, int position) {
        setupForm.SetSelection(list, position);
        list == kSensor1Type ? page.OnSensor1Type() : page.OnSensor2Type();
    }
    void ChooseUnit(const std::string& unit) {
        for (int i = 0; i < setupForm.EntryCount(kUnit); ++i) {
            if (setupForm.Entry(kUnit, i) == unit) {
                setupForm.SetSelection(kUnit, i);
            }
        }
        page.OnUnitChosen();
    }
    // Double sensor in `mode`, sensor 1 and 2 at these positions, 3-wire.
    void DoubleSensors(int mode, int position1, int position2) {
        page.OnDoubleSensor();
        page.OnWorkMode(mode);
        ChooseSensor(kSensor1Type, position1);
        ChooseSensor(kSensor2Type, position2);
    }
    std::vector<std::string> Texts(std::initializer_list<int> ids) const {
        std::vector<std::string> texts;
        for (const int id : ids) {
            texts.push_back(setupForm.Text(id));
        }
        return texts;
    }

    test::FakeForm setupForm;
    SetupPage page{setupForm};
};

TEST_F(SetupPageTest, StartsAsASinglePt100In3WireWithItsRange) {
    EXPECT_TRUE(setupForm.Checked(kSingleSensor));
    EXPECT_FALSE(setupForm.Checked(kDoubleSensor));
    EXPECT_TRUE(setupForm.Checked(kModeBackup));
    EXPECT_EQ(setupForm.Selection(kSensor1Type), kPt100);
    EXPECT_EQ(setupForm.Text(kSensor1Type), "Pt100");
    EXPECT_EQ(setupForm.Selection(kSensor1Wiring), 1);
    EXPECT_EQ(Texts({kZero, kSpan, kUnit, kSensor1Offset, kSensor1OffsetUnit}),
              (std::vector<std::string>{"-200", "850", kCelsius, "0", kCelsius}));
    EXPECT_EQ(setupForm.Find(kUnit)->entries, (std::vector<std::string>{kCelsius, "K", "F"}));
    EXPECT_EQ(setupForm.EntryCount(kSensor2Type), 28);
    EXPECT_EQ(setupForm.Entry(kDecimals, 3), "3 (123.456)");
    EXPECT_EQ(setupForm.Text(1102), "Sensor 1 type");
    EXPECT_EQ(setupForm.Text(kUpdate), "Write");
    for (const int id : {kModeBackup, kModeIndependent, kSensor2Type, kSensor2Wiring,
                         kSensor2Offset, kOutputSensor}) {
        EXPECT_FALSE(setupForm.Enabled(id)) << id;
    }
    EXPECT_FALSE(setupForm.Visible(kSensor1Pv));
    EXPECT_TRUE(setupForm.Checked(kSensor1Pv));
}

TEST_F(SetupPageTest, ASensorChoiceOffersWiringOnlyWhereItAppliesAndPutsItsRange) {
    ChooseSensor(kSensor1Type, kTypeB);
    EXPECT_FALSE(setupForm.Enabled(kSensor1Wiring));
    EXPECT_EQ(setupForm.Selection(kSensor1Wiring), -1);
    EXPECT_EQ(Texts({kZero, kSpan, kUnit}), (std::vector<std::string>{"0", "1820", kCelsius}));

    ChooseSensor(kSensor1Type, kOhm400);
    EXPECT_TRUE(setupForm.Enabled(kSensor1Wiring));
    EXPECT_EQ(setupForm.Selection(kSensor1Wiring), 1);
    EXPECT_EQ(Texts({kZero, kSpan, kUnit, kSensor1OffsetUnit}),
              (std::vector<std::string>{"0", "400", "Ohm", "Ohm"}));

    ChooseSensor(kSensor1Type, kMv75);  // -10..75 mV is still wired
    EXPECT_TRUE(setupForm.Enabled(kSensor1Wiring));
    EXPECT_EQ(Texts({kZero, kSpan, kUnit}), (std::vector<std::string>{"-10", "75", "mV"}));
    ChooseSensor(kSensor1Type, kMv75 + 1);
    EXPECT_FALSE(setupForm.Enabled(kSensor1Wiring));
}

TEST_F(SetupPageTest, IndependentModeTakesTheRangeOfTheOutputSensor) {
    DoubleSensors(3, kPt100, kTypeK);
    EXPECT_TRUE(setupForm.Enabled(kOutputSensor));
    EXPECT_EQ(setupForm.Selection(kOutputSensor), 0);
    EXPECT_EQ(Texts({kZero, kSpan}), (std::vector<std::string>{"-200", "850"}))
        << "sensor 2 is not the output";
    setupForm.SetSelection(kOutputSensor, 1);
    page.OnOutputSensor();
    EXPECT_EQ(Texts({kZero, kSpan}), (std::vector<std::string>{"-270", "1372"}));
    ChooseSensor(kSensor2Type, kOhm400);
    EXPECT_EQ(Texts({kZero, kSpan, kUnit}), (std::vector<std::string>{"0", "400", "Ohm"}));
    page.OnWorkMode(1);
    EXPECT_FALSE(setupForm.Enabled(kOutputSensor));
}

TEST_F(SetupPageTest, UnitChangesConvertRangeAndOffsetsWithThreeDecimals) {
    setupForm.SetText(kZero, "0");
    setupForm.SetText(kSpan, "100");
    setupForm.SetText(kSensor1Offset, "1.5");
    setupForm.SetText(kSensor2Offset, "-1");
    ChooseUnit("F");
    EXPECT_EQ(Texts({kZero, kSpan, kSensor1Offset, kSensor2Offset, kSensor1OffsetUnit}),
              (std::vector<std::string>{"32.000", "212.000", "2.700", "-1.800", "F"}));
    ChooseUnit(kCelsius);
    EXPECT_EQ(Texts({kZero, kSpan, kSensor1Offset, kSensor2Offset}),
              (std::vector<std::string>{"0.000", "100.000", "1.500", "-1.000"}))
        << "F to Celsius subtracts 17.78";
    ChooseUnit("K");
    EXPECT_EQ(Texts({kZero, kSpan, kSensor1Offset}),
              (std::vector<std::string>{"273.160", "373.160", "1.500"}));
    ChooseUnit(kCelsius);
    EXPECT_EQ(Texts({kZero, kSpan, kSensor1Offset}),
              (std::vector<std::string>{"0.000", "100.000", "1.500"}));
    ChooseUnit("K");
    ChooseUnit("F");
    EXPECT_EQ(Texts({kZero, kSpan}), (std::vector<std::string>{"32.000", "212.000"}))
        << "K to F with 459.688";
    ChooseUnit("F");
    EXPECT_EQ(setupForm.Text(kZero), "32.000") << "the same unit again changes nothing";
}

TEST_F(SetupPageTest, NoConversionLeadsIntoOrOutOfAnotherUnit) {
    ChooseSensor(kSensor1Type, kMv75 + 1);
    setupForm.SetText(kSensor1Offset, "2");
    ChooseUnit("K");
    EXPECT_EQ(Texts({kZero, kSpan, kSensor1Offset, kSensor2Offset}),
              (std::vector<std::string>(4, "")));
    EXPECT_EQ(setupForm.Text(kSensor1OffsetUnit), "K");
    // A unit the user typed is what the next choice starts from.
    setupForm.SetText(kZero, "5");
    setupForm.SetText(kUnit, "bar");
    page.OnUnitTyped();
    ChooseUnit("F");
    EXPECT_EQ(setupForm.Text(kZero), "");
}

TEST_F(SetupPageTest, UpdateChecksTheSpanFirstAndSendsNothingThen) {
    transmitters.Add(0);
    setupForm.SetText(kZero, "0");
    setupForm.SetText(kSpan, "9.5");
    page.Update();
    Run();
    EXPECT_EQ(Messages(), (std::vector<std::string>{LangText("SpanErr")}));
    EXPECT_EQ(shell.messages[0].caption, "HART");
    EXPECT_EQ(shell.messages[0].icon, MessageIcon::kError);
    EXPECT_TRUE(CommandsHeard().empty());
    EXPECT_EQ(busyFlag, 0);
    EXPECT_FLOAT_EQ(hartMaster.m_fUpperRange, 9.5f) << "set before the checks, kept";

    setupForm.SetText(kZero, "100");
    setupForm.SetText(kSpan, "90");  // a falling range is a range
    page.Update();
    Run();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 35, 186, 187, 34, 42}));
}

TEST_F(SetupPageTest, CombinedModesNeedTwoSensorsOfOneKind) {
    struct Case {
        int mode;
        int position1;
        int position2;
        bool refused;
    };
    const Case cases[] = {
        {0, kPt100, kTypeK, false},  {0, kPt100, kOhm400, true},     {1, kOhm400, kTypeB, true},
        {2, kMv75, kOhm400, true},   {2, kMv75 + 1, kMv2000, false}, {0, kMv2000, kPt100, true},
        {3, kPt100, kOhm400, false}, {3, kMv2000, kTypeB, false},
    };
    transmitters.Add(0);
    for (const Case& c : cases) {
        shell.messages.clear();
        DoubleSensors(c.mode, c.position1, c.position2);
        setupForm.SetText(kZero, "0");
        setupForm.SetText(kSpan, "100");
        page.Update();
        Run();
        const auto expected = c.refused ? std::vector<std::string>{LangText("SenMatchErr")}
                                        : std::vector<std::string>{};
        EXPECT_EQ(Messages(), expected)
            << "mode " << c.mode << ", positions " << c.position1 << " and " << c.position2;
    }
}

TEST_F(SetupPageTest, FourWiresWithTwoSensorsAreRefusedBeforeTheKinds) {
    DoubleSensors(0, kPt100, kOhm400);
    setupForm.SetSelection(kSensor1Wiring, 2);
    page.Update();
    EXPECT_EQ(Messages(), (std::vector<std::string>{LangText("Sen1WireErr")}));
    setupForm.SetSelection(kSensor1Wiring, 1);
    setupForm.SetSelection(kSensor2Wiring, 2);
    page.Update();
    EXPECT_EQ(Messages().back(), LangText("Sen2WireErr"));
    // One sensor may be wired with four.
    page.OnSingleSensor();
    setupForm.SetSelection(kSensor1Wiring, 2);
    page.Update();
    ASSERT_EQ(shell.messages.size(), 2u);
}

TEST_F(SetupPageTest, UpdatePacksTheSelectionsAsTheDeviceExpectsThem) {
    sim::SimDevice& device = transmitters.Add(0);
    page.OnSingleSensor();
    setupForm.SetSelection(kSensor1Wiring, 2);
    page.Update();
    Run();
    EXPECT_EQ(hartMaster.m_bySensor2Type, 0xFF);
    EXPECT_EQ(device.m_bySensor2Type, 0xFF);
    EXPECT_EQ(device.m_byWiring, 0x12);
    EXPECT_EQ(device.m_byWorkMode, 0xF0) << "an output sensor list without selection";
    EXPECT_EQ(device.m_byDecimals, 1) << "decimals default to one without selection";

    DoubleSensors(3, kTypeB, kTypeK);  // thermocouples: no wiring selected
    setupForm.SetSelection(kOutputSensor, 1);
    setupForm.SetText(kZero, "0");
    setupForm.SetText(kSpan, "800");  // within the limits of the PT100 it replaces
    setupForm.SetText(kDamping, "-3");
    page.Update();
    Run();
    EXPECT_EQ(device.m_byWiring, 0xFF);
    EXPECT_EQ(device.m_byWorkMode, 0x13);
    EXPECT_EQ(device.m_bySensor1Type, 0);
    EXPECT_EQ(device.m_bySensor2Type, 3);
    EXPECT_FLOAT_EQ(device.m_fDamping, 0.0f);
}

TEST_F(SetupPageTest, ReadShowsTheDevicesConfigurationIncludingDisplayAndAlarm) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_bySensor1Type = 3;  // type K
    device.m_bySensor2Type = 2;  // type J
    device.m_byWiring = 0xFF;
    device.m_byWorkMode = 0x13;
    device.m_fSensor1Offset = 0.5f;
    device.m_fSensor2Offset = -0.25f;
    device.m_byRangeUnit = 33;  // F
    device.m_fLowerRange = 32;
    device.m_fUpperRange = 1000;
    device.m_fDamping = 2.5f;
    device.m_byDisplayMode = 2;
    device.m_byDecimals = 3;
    device.m_byAlarmMode = 1;
    page.Read();
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 15, 146, 147}));
    EXPECT_TRUE(setupForm.Checked(kDoubleSensor));
    EXPECT_TRUE(setupForm.Checked(kModeIndependent));
    EXPECT_FALSE(setupForm.Checked(kModeBackup));
    EXPECT_EQ(page.WorkMode(), 3);
    EXPECT_TRUE(setupForm.Enabled(kOutputSensor));
    EXPECT_EQ(setupForm.Selection(kOutputSensor), 1);
    EXPECT_EQ(setupForm.Selection(kSensor1Type), kTypeK);
    EXPECT_EQ(setupForm.Selection(kSensor2Type), kTypeK - 1);
    EXPECT_FALSE(setupForm.Enabled(kSensor1Wiring));
    EXPECT_EQ(
        Texts({kZero, kSpan, kUnit, kDamping, kSensor1Offset, kSensor2Offset, kSensor2OffsetUnit}),
        (std::vector<std::string>{"32.000", "1000.000", "F", "2.5", "0.900", "-0.450", "F"}));
    EXPECT_EQ(setupForm.Selection(kDisplayMode), 2);
    EXPECT_EQ(setupForm.Selection(kDecimals), 3);
    EXPECT_EQ(setupForm.Selection(kAlarm), 1);
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    // Back to two sensors: a thermocouple still has no wiring to choose.
    page.OnSingleSensor();
    page.OnDoubleSensor();
    EXPECT_FALSE(setupForm.Enabled(kSensor2Wiring));

    device.m_byWorkMode = 0x25;
    page.Read();
    Run();
    EXPECT_TRUE(setupForm.Checked(kModeBackup));
    EXPECT_FALSE(setupForm.Checked(kModeIndependent));
    EXPECT_FALSE(setupForm.Enabled(kOutputSensor));
}

TEST_F(SetupPageTest, ASingleSensorDeviceEmptiesSensor2) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_bySensor1Type = 23;  // 0..10 kOhm: no list entry
    page.OnDoubleSensor();
    page.Read();
    Run();
    EXPECT_TRUE(setupForm.Checked(kSingleSensor));
    EXPECT_FALSE(page.DoubleSensor());
    EXPECT_EQ(setupForm.Selection(kSensor1Type), -1);
    EXPECT_EQ(setupForm.Selection(kSensor2Type), -1);
    EXPECT_EQ(setupForm.Text(kSensor2Offset), "");
    EXPECT_FALSE(setupForm.Enabled(kSensor2Type));
    // Written back, a type without list entry stays what the device has,
    // and so does its wiring.
    device.m_byWiring = 0xF2;
    page.Read();
    Run();
    page.Update();
    Run();
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(device.m_bySensor1Type, 23);
    EXPECT_EQ(device.m_byWiring, 0xF2);
}

// A display change sends damping, range and offsets as read, to the bit;
// only a box the user typed into carries its text.
TEST_F(SetupPageTest, BoxesNotEditedGoBackExactlyAsRead) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_bySensor2Type = 10;
    device.m_byWorkMode = 0x01;
    device.m_fDamping = 0.25f;
    device.m_fLowerRange = -12.3456789f;
    device.m_fUpperRange = 22.839394f;
    device.m_fSensor1Offset = 0.1234567f;
    device.m_fSensor2Offset = -0.0987654f;
    page.Read();
    Run();
    ASSERT_EQ(Texts({kDamping, kSpan}), (std::vector<std::string>{"0.2", "22.839"}));
    setupForm.SetSelection(kDisplayMode, 2);
    page.Update();
    Run();
    ASSERT_EQ(shell.status[0], LangText("strOpOK")) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(device.m_byDisplayMode, 2);
    EXPECT_EQ(device.m_fDamping, 0.25f);
    EXPECT_EQ(device.m_fLowerRange, -12.3456789f);
    EXPECT_EQ(device.m_fUpperRange, 22.839394f);
    EXPECT_EQ(device.m_fSensor1Offset, 0.1234567f);
    EXPECT_EQ(device.m_fSensor2Offset, -0.0987654f);

    // Typed, even the same text, is what goes out.
    page.Read();
    Run();
    page.OnValueTyped(kDamping);
    setupForm.SetText(kSpan, "30");
    page.Update();
    Run();
    EXPECT_EQ(device.m_fDamping, 0.2f);
    EXPECT_EQ(device.m_fUpperRange, 30.0f);
    EXPECT_EQ(device.m_fLowerRange, -12.3456789f);
    // A unit change converts what is shown: that is what goes out.
    page.Read();
    Run();
    ChooseUnit("F");
    ChooseUnit(kCelsius);
    page.Update();
    Run();
    EXPECT_EQ(device.m_fLowerRange, -12.346f);
}

TEST_F(SetupPageTest, ValuesNoFloatHoldsAreRefusedInEveryBoxBeforeAnythingIsSent) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_bySensor2Type = 10;
    page.Read();
    Run();
    const std::vector<std::uint8_t> read = CommandsHeard();
    for (const int id : {kZero, kSpan, kSensor1Offset, kSensor2Offset, kDamping}) {
        for (const char* text : {"1e39", "-3.5e38", "1e400", "inf", "-Infinity", "nan"}) {
            shell.messages.clear();
            const std::string before = setupForm.Text(id);
            setupForm.SetText(id, text);
            page.OnValueTyped(id);
            page.Update();
            Run();
            EXPECT_EQ(Messages(), (std::vector<std::string>{LangText("strValueErr")}))
                << id << " " << text;
            setupForm.SetText(id, before);
        }
    }
    EXPECT_EQ(CommandsHeard(), read) << "nothing sent";
    setupForm.SetText(kSpan, "3.4e38");  // near the largest float: it goes out
    page.OnValueTyped(kSpan);
    page.Update();
    Run();
    EXPECT_EQ(hartMaster.m_fUpperRange, 3.4e38f);
    EXPECT_GT(CommandsHeard().size(), read.size());

    // Infinite limits held by a transmitter do not pass as a span either.
    device.m_fLowerRange = std::numeric_limits<float>::infinity();
    device.m_fUpperRange = std::numeric_limits<float>::infinity();
    page.Read();
    Run();
    shell.messages.clear();
    page.Update();
    Run();
    EXPECT_EQ(Messages(), (std::vector<std::string>{LangText("strValueErr")}));
}

TEST_F(SetupPageTest, AnUnknownUnitIsRefusedUntilOneIsChosen) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_byRangeUnit = 250;
    page.Read();
    Run();
    ASSERT_EQ(setupForm.Text(kUnit), "?");
    const std::size_t heard = CommandsHeard().size();
    page.Update();
    Run();
    EXPECT_EQ(Messages(), (std::vector<std::string>{LangText("strUnitUnknown")}));
    ASSERT_EQ(CommandsHeard().size(), heard);
    EXPECT_EQ(device.m_byRangeUnit, 250);

    ChooseUnit(kCelsius);
    setupForm.SetText(kZero, "0");
    setupForm.SetText(kSpan, "150");
    shell.messages.clear();
    page.Update();
    Run();
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(device.m_byRangeUnit, 32);
}

TEST_F(SetupPageTest, WhatIsWrittenReadsBackTheSame) {
    sim::SimDevice& device = transmitters.Add(0);
    DoubleSensors(1, kPt100, kPt100 + 2);
    setupForm.SetSelection(kSensor2Wiring, 0);
    ChooseUnit("F");  // -200..850 °C
    setupForm.SetText(kSensor1Offset, "0.900");
    setupForm.SetText(kSensor2Offset, "-1.800");
    setupForm.SetText(kDamping, "4.5");
    setupForm.SetSelection(kDisplayMode, 1);
    setupForm.SetSelection(kDecimals, 2);
    setupForm.SetSelection(kAlarm, 1);
    const std::vector<int> shown{kZero,          kSpan,          kUnit,        kDamping,
                                 kSensor1Offset, kSensor2Offset, kSensor1Type, kSensor2Type,
                                 kSensor1Wiring, kSensor2Wiring, kDisplayMode, kDecimals,
                                 kAlarm};
    const auto State = [&] {
        std::vector<std::string> state;
        for (const int id : shown) {
            state.push_back(setupForm.Text(id) + "/" + std::to_string(setupForm.Selection(id)));
        }
        state.push_back(std::to_string(page.WorkMode()) + (page.DoubleSensor() ? "D" : "S"));
        return state;
    };
    page.Update();
    Run();
    ASSERT_EQ(shell.status[0], LangText("strOpOK")) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(device.m_byRangeUnit, 33);
    EXPECT_NEAR(device.m_fSensor1Offset, 0.5, 1e-6) << "offsets are kept in degrees";
    const auto written = State();

    test::FakeForm other;
    AddSetupPageControls(other);
    SetupPage fresh{other};
    fresh.Init();
    fresh.Read();
    Run();
    setupForm.SetText(kZero, "");
    page.Read();
    Run();
    EXPECT_EQ(State(), written);
    EXPECT_EQ(other.Text(kZero), "-328.000");
}

TEST_F(SetupPageTest, ARefusedWriteEndsTheUpdateAtOnceAndSaysWhatWasTaken) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_bWriteProtected = true;
    page.Update();
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 35})) << "one try, nothing after it";
    EXPECT_EQ(Messages(), (std::vector<std::string>{"The transmitter refused the range (command "
                                                    "35): in write-protect mode (7)"}));
    EXPECT_EQ(shell.status[0], LangText("strOpRefused"));

    // Refused at the damping: the range, sensors and display were taken.
    device.m_bWriteProtected = false;
    shell.messages.clear();
    setupForm.SetText(kDamping, "75");
    page.Update();
    Run();
    EXPECT_EQ(CommandsHeard().back(), 34);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "The transmitter refused the damping (command 34): value too large (3)\n"
                  "Already taken before that: the range (35), the sensor settings (186), the "
                  "display and alarm settings (187)"}));
}

// The range goes out before the sensor: the new sensor's range must be
// taken although the old sensor could not measure it.
TEST_F(SetupPageTest, ANewSensorAndItsRangeGoOutInOneUpdate) {
    sim::SimDevice& device = transmitters.Add(0);
    ChooseSensor(kSensor1Type, kTypeK);
    page.Update();
    Run();
    ASSERT_EQ(shell.status[0], LangText("strOpOK")) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(device.m_bySensor1Type, 3);
    EXPECT_FLOAT_EQ(device.m_fLowerRange, std::stof(setupForm.Text(kZero)));
    EXPECT_FLOAT_EQ(device.m_fUpperRange, std::stof(setupForm.Text(kSpan)));
}

TEST_F(SetupPageTest, ACancelledReadChangesNothing) {
    transmitters.Add(0);
    page.Read();
    loop.RunFor(600);
    cancelFlag = 1;
    busyFlag = 0;
    const std::string zero = setupForm.Text(kZero);
    Run();
    EXPECT_EQ(setupForm.Text(kZero), zero);
    EXPECT_EQ(shell.status[0], LangText("strCommunication"));
}

TEST_F(SetupPageTest, ReTranslationKeepsTheChoicesMade) {
    DoubleSensors(3, kTypeK, kOhm400);
    setupForm.SetSelection(kDisplayMode, 2);
    setupForm.SetSelection(kOutputSensor, 1);
    languageFilePath = test::PageFixture::kResources + "SimplifiedChinese.ini";
    chineseUi = 1;
    page.RefreshDegreeTexts();
    page.Translate();
    EXPECT_EQ(setupForm.Text(1102), LangText("KvView2", "IDC_STA1"));
    EXPECT_EQ(setupForm.Selection(kSensor1Type), kTypeK);
    EXPECT_EQ(setupForm.Text(kSensor1Type), LangText("KvView2", "m_cboSensorType14"));
    EXPECT_EQ(setupForm.Selection(kSensor2Wiring), 1);
    EXPECT_EQ(setupForm.Selection(kSensor1Wiring), -1);
    EXPECT_EQ(setupForm.Selection(kDisplayMode), 2);
    EXPECT_EQ(setupForm.Selection(kOutputSensor), 1);
    // A Celsius unit follows the language, in the list and in the box.
    page.OnOutputSensor();
    page.OnWorkMode(0);
    page.OnSensor1Type();
    EXPECT_EQ(setupForm.Text(kUnit), kChineseCelsius);
    EXPECT_EQ(setupForm.Entry(kUnit, 0), kChineseCelsius);
    EXPECT_EQ(setupForm.Text(kSensor1OffsetUnit), kChineseCelsius);
}

}  // namespace
}  // namespace tandrin
