#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "controls/rgb.h"

namespace tandrin {

// The state of an ImageButton and the decisions of its drawing: which
// colours, borders, offsets and caption style a frame gets. The toolkit
// widget holds one of these and only carries out the plan.
class ImageButtonModel {
  public:
    // Colour slots
    enum Slot {
        kBackPressed = 0,
        kTextPressed = 1,
        kBackIdle = 2,
        kTextIdle = 3,
        kBackFocused = 4,
        kTextFocused = 5,
        kSlotCount = 6,
    };
    // Results of the setters
    static constexpr int kOk = 0;
    static constexpr int kBadIndex = 3;
    static constexpr int kBadStyle = 6;

    static constexpr std::size_t kLinkLimit = 260;
    static constexpr int kImageMargin = 3;
    static constexpr int kCaptionIndent = 5;
    static constexpr int kFocusInset = 3;

    enum class Align { kImageLeft = 0, kImageAbove = 1, kImageRight = 2 };
    enum class Border { kNone, kClassicPressed, kFlatSunken, kClassicRaised, kFlatRaised };
    enum class ClickAction { kNone, kToggled, kDropMenu, kOpenLink };

    struct Rect {
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        friend bool operator==(const Rect&, const Rect&) = default;
    };

    // What one draw request says about the button.
    struct DrawState {
        bool selected = false;
        bool focused = false;
        bool disabled = false;
        bool menuOpen = false;
    };

    struct FramePlan {
        bool pressed = false;
        bool blackFrame = false;  // classic look, focused or default: 1 px, area shrinks
        Rgb background;
        Border border = Border::kNone;
        int imageDx = 0;  // press offset of the image
        int imageDy = 0;
        bool greyImage = false;
        bool embossed = false;  // disabled caption: centred, highlight then shadow
        Rgb text;
        int captionDx = 0;  // press offset of the caption (classic look only)
        int captionDy = 0;
        bool focusRect = false;
    };

    explicit ImageButtonModel(const SystemColours& system = SystemColours{});
    virtual ~ImageButtonModel() = default;
    ImageButtonModel(const ImageButtonModel&) = delete;
    ImageButtonModel& operator=(const ImageButtonModel&) = delete;

    // Colours
    int SetColor(int index, Rgb colour, bool repaint = true);
    // kBadIndex for an index above 5, leaving `colour` untouched.
    int GetColor(int index, Rgb& colour) const;
    void SetDefaultColors(bool repaint = true);
    // A system colour change: new system colours, and all six slots back to
    // their defaults.
    void OnSystemColoursChanged(const SystemColours& system);
    const SystemColours& System() const { return m_system; }

    // Look
    int SetPressStyle(int style, bool repaint = true);
    int PressStyle() const { return m_nPressStyle; }
    void SetFlat(bool flat, bool repaint = true);
    bool Flat() const { return m_bFlat; }
    void SetDrawBorder(bool border, bool repaint = true);
    void SetFlatFocus(bool drawFocus, bool repaint = true);
    void SetTransparent(bool transparent) { m_bTransparent = transparent; }
    bool Transparent() const { return m_bTransparent; }
    void SetAlign(Align align, bool repaint = true);
    Align Alignment() const { return m_align; }

    // Behaviour
    void SetLinkText(const std::string& link);  // empty: none
    const std::string& LinkText() const { return m_strLink; }
    void SetHasMenu(bool hasMenu) { m_bHasMenu = hasMenu; }
    // The style of the control the button takes over.
    void AttachStyle(bool checkBox, bool defaultButton);
    bool CheckMode() const { return m_bCheckMode; }
    bool IsDefault() const { return m_bDefault; }
    // Checked and indeterminate both count as checked; outside check mode
    // the state is neither set nor reported.
    void SetCheck(int state, bool repaint = true);
    int Check() const { return m_bCheckMode ? m_nCheck : 0; }

    // Events
    ClickAction OnClick();
    void OnMouseLeave();
    bool Hover() const { return m_bHover; }

    // Drawing
    FramePlan Plan(const DrawState& state) const;
    // Where an image of w x h goes in `area`, shifted when pressed.
    Rect ImageRect(const Rect& area, int w, int h, bool pressed) const;
    // What is left of `area` for the caption beside such an image.
    Rect CaptionRect(const Rect& area, int w, int h) const;

  protected:
    virtual void Repaint() {}

  private:
    void MaybeRepaint(bool repaint) {
        if (repaint) {
            Repaint();
        }
    }

    SystemColours m_system;
    std::array<Rgb, kSlotCount> m_colours{};
    bool m_bFlat = true;
    bool m_bDrawBorder = true;
    bool m_bFlatFocus = false;
    bool m_bTransparent = false;
    bool m_bHover = false;
    bool m_bDefault = false;
    bool m_bCheckMode = false;
    int m_nCheck = 0;
    int m_nPressStyle = 0;
    Align m_align = Align::kImageLeft;
    bool m_bHasMenu = false;
    std::string m_strLink;
};

}  // namespace tandrin
