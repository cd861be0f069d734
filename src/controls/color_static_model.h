#pragma once

#include <string>

#include "controls/rgb.h"

namespace tandrin {

// A label with its own text colour, background colour and font. The text
// colour takes effect at the next repaint; the background and the font
// repaint at once. The toolkit widget holds one of these.
class ColorStaticModel {
  public:
    ColorStaticModel() = default;
    virtual ~ColorStaticModel() = default;
    ColorStaticModel(const ColorStaticModel&) = delete;
    ColorStaticModel& operator=(const ColorStaticModel&) = delete;

    void SetTextColor(Rgb colour) { m_textColour = colour; }
    void SetBkColor(Rgb colour) {
        m_backColour = colour;
        Repaint();
    }
    // Size in tenths of a point, like 240 for 24 points.
    void SetFont(int tenthsOfPoint, const std::string& face) {
        m_nFontTenths = tenthsOfPoint;
        m_strFontFace = face;
        FontChanged();
    }

    Rgb TextColor() const { return m_textColour; }
    Rgb BkColor() const { return m_backColour; }
    int FontTenths() const { return m_nFontTenths; }
    const std::string& FontFace() const { return m_strFontFace; }

  protected:
    virtual void Repaint() {}
    // The owned font was replaced: make it and repaint.
    virtual void FontChanged() {}

  private:
    Rgb m_textColour{0, 0, 255};
    Rgb m_backColour = kWhite;
    int m_nFontTenths = 0;  // 0: the parent's font
    std::string m_strFontFace;
};

}  // namespace tandrin
