#pragma once

#include <cstdint>
#include <random>

namespace tandrin::sim {

// A process value a technician would recognise: it wanders slowly around a
// centre (two slow swings of minutes and about a minute) with a little
// measuring noise on top. Time is in seconds from any origin.
class ProcessModel {
  public:
    // `swing` is the largest slow excursion from the centre.
    ProcessModel(double centre, double swing, std::uint32_t seed);

    double Centre() const { return m_dCentre; }
    void SetCentre(double centre, double swing);
    double ValueAt(double seconds);

  private:
    double m_dCentre;
    double m_dSwing;
    double m_dPhaseSlow;
    double m_dPhaseFast;
    std::mt19937 m_random;
    std::normal_distribution<double> m_noise{0.0, 1.0};
};

// First-order lag, as a transmitter's damping: the output follows the
// input with time constant `seconds` (0: no lag).
class DampingFilter {
  public:
    double Apply(double input, double now, double seconds);
    void Reset() { m_bPrimed = false; }

  private:
    bool m_bPrimed = false;
    double m_dOutput = 0;
    double m_dLast = 0;
};

}  // namespace tandrin::sim
