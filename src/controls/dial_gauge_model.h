#pragma once

#include <array>
#include <string>
#include <vector>

#include "controls/draw_types.h"
#include "controls/rgb.h"

namespace tandrin {

// The dial's size and centre for a client rectangle: R from the larger side.
struct DialGeometry {
    int R = 0;
    int cx = 0;
    int cy = 0;
    static DialGeometry For(int left, int top, int right, int bottom);
};

// An arc of a circle around the centre, counter-clockwise from `startDeg`
// through `spanDeg`, with a pen width and colour.
struct DialArc {
    int radius = 0;
    double startDeg = 0.0;
    double spanDeg = 0.0;
    int penWidth = 1;
    Rgb colour;
};

struct DialZone {
    Polygon outline;
    Rgb colour;
};

// The cached part of the dial, drawn in this order.
struct DialBackground {
    Rgb face;
    std::vector<DialArc> rim;  // wide dark to narrow light
    std::vector<DialZone> zones;
    DialArc innerArc;
    std::vector<Line> ticks;
    Polygon needleClip;  // the ticks' outer ends
    std::vector<TextItem> numbers;
};

// The part drawn again at every value change.
struct DialNeedle {
    double angle = 0.0;  // degrees, counter-clockwise from the x axis
    Polygon polygon;     // P1, tip, P3, tail; filled and clipped
    Rgb colour;
    Polygon shadowEdge;  // 2 px, unclipped
    Polygon lightEdge;   // 1 px, unclipped
    Rgb shadow;
    Rgb light;
    std::vector<std::pair<int, Rgb>> hub;  // circles: radius and grey, outer first
    std::vector<TextItem> texts;           // unit, value, maybe "Alarm!"
    Rgb textBackground;                    // the texts are drawn opaque
};

// A round instrument dial over a 270-degree scale. It decides every angle,
// point, colour and text; the toolkit widget paints the background once into
// a cached image and the needle over it at every value change.
class DialGaugeModel {
  public:
    static constexpr int kTicks = 51;
    static constexpr int kZoneAngles = 251;

    explicit DialGaugeModel(const SystemColours& system = SystemColours{}) : m_system(system) {}
    virtual ~DialGaugeModel() = default;
    DialGaugeModel(const DialGaugeModel&) = delete;
    DialGaugeModel& operator=(const DialGaugeModel&) = delete;

    void SetScale(double minimum, double maximum, const std::string& unit, int valueDecimals);
    void SetLabelDecimals(int decimals);
    // Only the needle and texts change: the cached background stays.
    void SetValue(double value);
    void OnResize();
    void SetSystemColours(const SystemColours& system);

    // The cached background is missing and must be built before painting.
    bool NeedsBackground() const { return !m_bBackgroundValid; }
    void BackgroundBuilt() { m_bBackgroundValid = true; }

    DialBackground Background(int width, int height) const;
    DialNeedle Needle(int width, int height) const;

    // The needle's angle for a value: the scale start below the minimum,
    // its end above the maximum. An empty scale or NaN points at the start.
    double AngleOf(double value) const;
    bool InRange() const { return m_dMin <= m_dValue && m_dValue <= m_dMax; }
    std::string ScaleNumber(int i) const;
    double Value() const { return m_dValue; }
    double Minimum() const { return m_dMin; }
    double Maximum() const { return m_dMax; }
    const std::string& Unit() const { return m_strUnit; }

    bool m_bZones = true;
    std::array<Rgb, 5> m_zoneColours{Rgb{0, 255, 0}, Rgb{255, 255, 0}, Rgb{255, 183, 34},
                                     Rgb{255, 92, 93}, Rgb{255, 0, 0}};
    Rgb m_needleColour{0, 0, 255};
    Rgb m_aboveColour{255, 0, 0};
    Rgb m_belowColour{255, 0, 0};
    Rgb m_inRangeColour{0, 0, 255};
    int m_nStartAngle = 225;
    int m_nEndAngle = 315;
    int m_nMajor = 10;
    int m_nMinorPerMajor = 5;

  protected:
    virtual void Invalidate() {}

  private:
    void DropBackground();
    void PlanRim(DialBackground& plan, const DialGeometry& g) const;
    void PlanZones(DialBackground& plan, const DialGeometry& g) const;
    void PlanTicks(DialBackground& plan, const DialGeometry& g) const;
    void PlanNumbers(DialBackground& plan, const DialGeometry& g) const;
    void PlanHub(DialNeedle& plan, const DialGeometry& g) const;
    void PlanTexts(DialNeedle& plan, const DialGeometry& g) const;

    SystemColours m_system;
    std::string m_strUnit = "%";
    int m_nValueDecimals = 2;
    int m_nLabelDecimals = 0;
    double m_dValue = 50.0;
    double m_dMax = 100.0;
    double m_dMin = 0.0;
    bool m_bBackgroundValid = false;
};

}  // namespace tandrin
