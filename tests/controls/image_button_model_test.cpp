#include <gtest/gtest.h>

#include "controls/color_static_model.h"
#include "controls/image_button_model.h"

namespace tandrin {
namespace {

using Border = ImageButtonModel::Border;
using ClickAction = ImageButtonModel::ClickAction;
using DrawState = ImageButtonModel::DrawState;

constexpr Rgb kRed{255, 0, 0};

class CountingButton : public ImageButtonModel {
  public:
    using ImageButtonModel::ImageButtonModel;
    int repaints = 0;

    std::array<Rgb, kSlotCount> Colours() const {
        std::array<Rgb, kSlotCount> colours{};
        for (int slot = 0; slot < kSlotCount; ++slot) {
            GetColor(slot, colours[static_cast<std::size_t>(slot)]);
        }
        return colours;
    }

  protected:
    void Repaint() override { ++repaints; }
};

// Six distinct colours, so a plan's choice of slot can be read back.
void Paint(CountingButton& button) {
    for (int slot = 0; slot < ImageButtonModel::kSlotCount; ++slot) {
        button.SetColor(slot, Rgb{static_cast<std::uint8_t>(10 * (slot + 1)), 0, 0}, false);
    }
}
Rgb SlotColour(int slot) {
    return Rgb{static_cast<std::uint8_t>(10 * (slot + 1)), 0, 0};
}

TEST(ImageButtonModel, ColourIndexAboveFiveIsRefusedAndChangesNothing) {
    CountingButton button;
    const auto before = button.Colours();

    EXPECT_EQ(button.SetColor(6, kRed, true), ImageButtonModel::kBadIndex);
    EXPECT_EQ(button.SetColor(-1, kRed, true), ImageButtonModel::kBadIndex);
    Rgb untouched = kRed;
    EXPECT_EQ(button.GetColor(6, untouched), ImageButtonModel::kBadIndex);

    EXPECT_EQ(button.Colours(), before);
    EXPECT_EQ(untouched, kRed);
    EXPECT_EQ(button.repaints, 0);

    EXPECT_EQ(button.SetColor(5, kRed, true), ImageButtonModel::kOk);
    EXPECT_EQ(button.repaints, 1);
    EXPECT_EQ(button.SetColor(4, kRed, false), ImageButtonModel::kOk);
    EXPECT_EQ(button.repaints, 1);
}

TEST(ImageButtonModel, DefaultsFollowTheSystemColoursAndComeBackOnASystemChange) {
    SystemColours system;
    system.face = Rgb{1, 2, 3};
    system.text = Rgb{4, 5, 6};
    CountingButton button(system);
    EXPECT_EQ(button.Colours(), (std::array<Rgb, 6>{system.face, system.text, system.face,
                                                    system.text, system.face, system.text}));

    button.SetColor(ImageButtonModel::kBackIdle, kRed);
    system.face = Rgb{7, 8, 9};
    button.OnSystemColoursChanged(system);
    Rgb idle;
    button.GetColor(ImageButtonModel::kBackIdle, idle);
    EXPECT_EQ(idle, system.face);
}

TEST(ImageButtonModel, PressStyleOtherThanZeroOrOneIsRefused) {
    CountingButton button;
    EXPECT_EQ(button.SetPressStyle(2), ImageButtonModel::kBadStyle);
    EXPECT_EQ(button.SetPressStyle(-1), ImageButtonModel::kBadStyle);
    EXPECT_EQ(button.PressStyle(), 0);

    const ImageButtonModel::FramePlan style0 = button.Plan(DrawState{.selected = true});
    EXPECT_EQ(std::pair(style0.imageDx, style0.imageDy), std::pair(1, 1));
    EXPECT_EQ(button.SetPressStyle(1), ImageButtonModel::kOk);
    const ImageButtonModel::FramePlan style1 = button.Plan(DrawState{.selected = true});
    EXPECT_EQ(std::pair(style1.imageDx, style1.imageDy), std::pair(0, 2));
}

TEST(ImageButtonModel, FlatLookPicksColoursByPressedThenFocusedThenIdle) {
    CountingButton button;
    Paint(button);

    const auto idle = button.Plan(DrawState{});
    EXPECT_EQ(idle.background, SlotColour(ImageButtonModel::kBackIdle));
    EXPECT_EQ(idle.text, SlotColour(ImageButtonModel::kTextIdle));
    EXPECT_EQ(idle.border, Border::kNone);  // raised only while hovering, which never starts
    EXPECT_FALSE(idle.blackFrame);

    const auto focused = button.Plan(DrawState{.focused = true});
    EXPECT_EQ(focused.background, SlotColour(ImageButtonModel::kBackFocused));
    EXPECT_EQ(focused.text, SlotColour(ImageButtonModel::kTextFocused));
    EXPECT_FALSE(focused.focusRect);  // flat look without flat focus

    const auto pressed = button.Plan(DrawState{.selected = true, .focused = true});
    EXPECT_TRUE(pressed.pressed);
    EXPECT_EQ(pressed.background, SlotColour(ImageButtonModel::kBackPressed));
    EXPECT_EQ(pressed.text, SlotColour(ImageButtonModel::kTextPressed));
    EXPECT_EQ(pressed.border, Border::kFlatSunken);
    EXPECT_EQ(std::pair(pressed.captionDx, pressed.captionDy), std::pair(0, 0));

    button.SetDrawBorder(false);
    EXPECT_EQ(button.Plan(DrawState{.selected = true}).border, Border::kNone);
    button.SetFlatFocus(true);
    EXPECT_TRUE(button.Plan(DrawState{.focused = true}).focusRect);
}

TEST(ImageButtonModel, ClassicLookFramesTheFocusedOrDefaultButtonAndMovesItsCaption) {
    CountingButton button;
    button.SetFlat(false);
    EXPECT_EQ(button.Plan(DrawState{}).border, Border::kClassicRaised);
    EXPECT_FALSE(button.Plan(DrawState{}).blackFrame);

    const auto focused = button.Plan(DrawState{.focused = true});
    EXPECT_TRUE(focused.blackFrame);
    EXPECT_TRUE(focused.focusRect);

    const auto pressed = button.Plan(DrawState{.selected = true});
    EXPECT_EQ(pressed.border, Border::kClassicPressed);
    EXPECT_EQ(std::pair(pressed.captionDx, pressed.captionDy), std::pair(1, 1));

    button.AttachStyle(false, true);
    EXPECT_TRUE(button.IsDefault());
    EXPECT_TRUE(button.Plan(DrawState{}).blackFrame);
}

TEST(ImageButtonModel, DisabledButtonShowsNoFocusColoursAndAnEmbossedCaption) {
    CountingButton button;
    Paint(button);
    const auto plan = button.Plan(DrawState{.focused = true, .disabled = true});
    EXPECT_EQ(plan.background, SlotColour(ImageButtonModel::kBackIdle));
    EXPECT_TRUE(plan.embossed);
    EXPECT_TRUE(plan.greyImage);
    EXPECT_FALSE(plan.focusRect);
    EXPECT_FALSE(button.Plan(DrawState{.focused = true}).embossed);
}

TEST(ImageButtonModel, CheckModeTogglesOnEachClickAndDrawsPressedWhileChecked) {
    CountingButton button;
    button.SetCheck(1);
    EXPECT_EQ(button.Check(), 0);  // not in check mode: ignored
    EXPECT_EQ(button.OnClick(), ClickAction::kNone);

    button.AttachStyle(true, false);
    EXPECT_FALSE(button.Plan(DrawState{}).pressed);
    EXPECT_EQ(button.OnClick(), ClickAction::kToggled);
    EXPECT_EQ(button.Check(), 1);
    EXPECT_TRUE(button.Plan(DrawState{}).pressed);
    EXPECT_EQ(button.OnClick(), ClickAction::kToggled);
    EXPECT_EQ(button.Check(), 0);
    EXPECT_EQ(button.repaints, 2);

    button.SetCheck(2);  // indeterminate counts as checked
    EXPECT_EQ(button.Check(), 1);
}

TEST(ImageButtonModel, ClickPrefersCheckModeThenMenuThenLink) {
    CountingButton button;
    button.SetLinkText("https://example.invalid/");
    EXPECT_EQ(button.OnClick(), ClickAction::kOpenLink);
    button.SetHasMenu(true);
    EXPECT_EQ(button.OnClick(), ClickAction::kDropMenu);
    EXPECT_TRUE(button.Plan(DrawState{.menuOpen = true}).pressed);
    button.AttachStyle(true, false);
    EXPECT_EQ(button.OnClick(), ClickAction::kToggled);

    button.SetLinkText(std::string(300, 'x'));
    EXPECT_EQ(button.LinkText().size(), ImageButtonModel::kLinkLimit);
    button.SetLinkText("");
    button.SetHasMenu(false);
    button.AttachStyle(false, false);
    EXPECT_EQ(button.OnClick(), ClickAction::kNone);
}

TEST(ImageButtonModel, ImageSitsBesideOrAboveTheCaptionAndShiftsWhenPressed) {
    CountingButton button;
    const ImageButtonModel::Rect area{0, 0, 100, 40};

    EXPECT_EQ(button.ImageRect(area, 16, 16, false), (ImageButtonModel::Rect{3, 12, 16, 16}));
    EXPECT_EQ(button.ImageRect(area, 16, 16, true), (ImageButtonModel::Rect{4, 13, 16, 16}));
    EXPECT_EQ(button.CaptionRect(area, 16, 16), (ImageButtonModel::Rect{19, 0, 81, 40}));

    button.SetAlign(ImageButtonModel::Align::kImageAbove);
    EXPECT_EQ(button.ImageRect(area, 16, 16, false), (ImageButtonModel::Rect{42, 3, 16, 16}));
    EXPECT_EQ(button.CaptionRect(area, 16, 16), (ImageButtonModel::Rect{0, 19, 100, 21}));

    button.SetAlign(ImageButtonModel::Align::kImageRight);
    EXPECT_EQ(button.ImageRect(area, 16, 16, false), (ImageButtonModel::Rect{81, 12, 16, 16}));
    EXPECT_EQ(button.CaptionRect(area, 16, 16), (ImageButtonModel::Rect{0, 0, 81, 40}));
    EXPECT_EQ(button.CaptionRect(area, 0, 0), area);
}

class CountingLabel : public ColorStaticModel {
  public:
    int repaints = 0;
    int fonts = 0;

  protected:
    void Repaint() override { ++repaints; }
    void FontChanged() override { ++fonts; }
};

TEST(ColorStaticModel, TextColourWaitsForTheNextRepaintBackgroundAndFontRepaint) {
    CountingLabel label;
    EXPECT_EQ(label.TextColor(), (Rgb{0, 0, 255}));
    EXPECT_EQ(label.BkColor(), kWhite);

    label.SetTextColor(kRed);
    EXPECT_EQ(label.TextColor(), kRed);
    EXPECT_EQ(label.repaints, 0);

    label.SetBkColor(kBlack);
    EXPECT_EQ(label.repaints, 1);
    label.SetFont(240, "MS Serif");
    EXPECT_EQ(label.fonts, 1);
    EXPECT_EQ(label.FontTenths(), 240);
    EXPECT_EQ(label.FontFace(), "MS Serif");
}

}  // namespace
}  // namespace tandrin
