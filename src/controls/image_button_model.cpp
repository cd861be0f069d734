#include "controls/image_button_model.h"

namespace tandrin {

ImageButtonModel::ImageButtonModel(const SystemColours& system) : m_system(system) {
    SetDefaultColors(false);
}

int ImageButtonModel::SetColor(int index, Rgb colour, bool repaint) {
    if (index < 0 || index >= kSlotCount) {
        return kBadIndex;
    }
    m_colours[static_cast<std::size_t>(index)] = colour;
    MaybeRepaint(repaint);
    return kOk;
}

int ImageButtonModel::GetColor(int index, Rgb& colour) const {
    if (index < 0 || index >= kSlotCount) {
        return kBadIndex;
    }
    colour = m_colours[static_cast<std::size_t>(index)];
    return kOk;
}

void ImageButtonModel::SetDefaultColors(bool repaint) {
    for (int slot : {kBackPressed, kBackIdle, kBackFocused}) {
        m_colours[static_cast<std::size_t>(slot)] = m_system.face;
    }
    for (int slot : {kTextPressed, kTextIdle, kTextFocused}) {
        m_colours[static_cast<std::size_t>(slot)] = m_system.text;
    }
    MaybeRepaint(repaint);
}

void ImageButtonModel::OnSystemColoursChanged(const SystemColours& system) {
    m_system = system;
    SetDefaultColors(true);
}

int ImageButtonModel::SetPressStyle(int style, bool repaint) {
    if (style != 0 && style != 1) {
        return kBadStyle;
    }
    m_nPressStyle = style;
    MaybeRepaint(repaint);
    return kOk;
}

void ImageButtonModel::SetFlat(bool flat, bool repaint) {
    m_bFlat = flat;
    MaybeRepaint(repaint);
}

void ImageButtonModel::SetDrawBorder(bool border, bool repaint) {
    m_bDrawBorder = border;
    MaybeRepaint(repaint);
}

void ImageButtonModel::SetFlatFocus(bool drawFocus, bool repaint) {
    m_bFlatFocus = drawFocus;
    MaybeRepaint(repaint);
}

void ImageButtonModel::SetAlign(Align align, bool repaint) {
    m_align = align;
    MaybeRepaint(repaint);
}

void ImageButtonModel::SetLinkText(const std::string& link) {
    m_strLink = link.substr(0, kLinkLimit);
}

void ImageButtonModel::AttachStyle(bool checkBox, bool defaultButton) {
    m_bCheckMode = checkBox;
    m_bDefault = defaultButton;
}

void ImageButtonModel::SetCheck(int state, bool repaint) {
    if (!m_bCheckMode) {
        return;
    }
    m_nCheck = state != 0 ? 1 : 0;
    MaybeRepaint(repaint);
}

ImageButtonModel::ClickAction ImageButtonModel::OnClick() {
    if (m_bCheckMode) {
        m_nCheck = m_nCheck != 0 ? 0 : 1;
        Repaint();
        return ClickAction::kToggled;
    }
    if (m_bHasMenu) {
        return ClickAction::kDropMenu;
    }
    if (!m_strLink.empty()) {
        return ClickAction::kOpenLink;
    }
    return ClickAction::kNone;
}

// Entering the button never sets the hover flag, so this is the only way it
// changes; the repaint still happens, as the look may have changed anyway.
void ImageButtonModel::OnMouseLeave() {
    m_bHover = false;
    Repaint();
}

ImageButtonModel::FramePlan ImageButtonModel::Plan(const DrawState& state) const {
    FramePlan plan;
    plan.pressed =
        state.selected || (m_bCheckMode && m_nCheck != 0) || (m_bHasMenu && state.menuOpen);
    // A disabled button shows neither hover nor focus.
    const bool hover = m_bHover && !state.disabled;
    const bool focused = state.focused && !state.disabled;

    plan.blackFrame = !m_bFlat && (focused || m_bDefault);
    const auto colour = [this](int slot) { return m_colours[static_cast<std::size_t>(slot)]; };
    if (hover || plan.pressed) {
        plan.background = colour(kBackPressed);
        plan.text = colour(kTextPressed);
    } else if (focused) {
        plan.background = colour(kBackFocused);
        plan.text = colour(kTextFocused);
    } else {
        plan.background = colour(kBackIdle);
        plan.text = colour(kTextIdle);
    }

    if (plan.pressed) {
        plan.border = !m_bFlat        ? Border::kClassicPressed
                      : m_bDrawBorder ? Border::kFlatSunken
                                      : Border::kNone;
        plan.imageDx = m_nPressStyle == 0 ? 1 : 0;
        plan.imageDy = m_nPressStyle == 0 ? 1 : 2;
        if (!m_bFlat) {
            plan.captionDx = plan.imageDx;
            plan.captionDy = plan.imageDy;
        }
    } else {
        plan.border = !m_bFlat                   ? Border::kClassicRaised
                      : (hover && m_bDrawBorder) ? Border::kFlatRaised
                                                 : Border::kNone;
    }
    plan.greyImage = state.disabled;
    plan.embossed = state.disabled;
    plan.focusRect = focused && (!m_bFlat || m_bFlatFocus);
    return plan;
}

ImageButtonModel::Rect ImageButtonModel::ImageRect(const Rect& area, int w, int h,
                                                   bool pressed) const {
    Rect image{0, 0, w, h};
    switch (m_align) {
        case Align::kImageLeft:
            image.x = area.x + kImageMargin;
            image.y = area.y + (area.h - h) / 2;
            break;
        case Align::kImageAbove:
            image.x = area.x + (area.w - w) / 2;
            image.y = area.y + kImageMargin;
            break;
        case Align::kImageRight:
            image.x = area.x + area.w - kImageMargin - w;
            image.y = area.y + (area.h - h) / 2;
            break;
    }
    if (pressed) {
        image.x += m_nPressStyle == 0 ? 1 : 0;
        image.y += m_nPressStyle == 0 ? 1 : 2;
    }
    return image;
}

ImageButtonModel::Rect ImageButtonModel::CaptionRect(const Rect& area, int w, int h) const {
    if (w <= 0 || h <= 0) {
        return area;
    }
    const int taken = kImageMargin + (m_align == Align::kImageAbove ? h : w);
    switch (m_align) {
        case Align::kImageLeft:
            return {area.x + taken, area.y, area.w - taken, area.h};
        case Align::kImageAbove:
            return {area.x, area.y + taken, area.w, area.h - taken};
        case Align::kImageRight:
            return {area.x, area.y, area.w - taken, area.h};
    }
    return area;
}

}  // namespace tandrin
