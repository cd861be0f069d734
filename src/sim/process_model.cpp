#include "sim/process_model.h"

#include <cmath>
#include <numbers>

namespace tandrin::sim {

namespace {

constexpr double kSlowPeriod = 420.0;  // seconds
constexpr double kFastPeriod = 67.0;
constexpr double kNoiseShare = 0.01;  // noise as a share of the swing

}  // namespace

ProcessModel::ProcessModel(double centre, double swing, std::uint32_t seed)
    : m_dCentre(centre), m_dSwing(swing), m_random(seed) {
    std::uniform_real_distribution<double> phase(0.0, 2 * std::numbers::pi);
    m_dPhaseSlow = phase(m_random);
    m_dPhaseFast = phase(m_random);
}

void ProcessModel::SetCentre(double centre, double swing) {
    m_dCentre = centre;
    m_dSwing = swing;
}

double ProcessModel::ValueAt(double seconds) {
    const double w = 2 * std::numbers::pi;
    const double drift = 0.75 * std::sin(w * seconds / kSlowPeriod + m_dPhaseSlow) +
                         0.25 * std::sin(w * seconds / kFastPeriod + m_dPhaseFast);
    return m_dCentre + m_dSwing * drift + m_dSwing * kNoiseShare * m_noise(m_random);
}

double DampingFilter::Apply(double input, double now, double seconds) {
    if (!m_bPrimed || seconds <= 0 || now < m_dLast) {
        m_bPrimed = true;
        m_dOutput = input;
    } else {
        m_dOutput += (input - m_dOutput) * (1 - std::exp(-(now - m_dLast) / seconds));
    }
    m_dLast = now;
    return m_dOutput;
}

}  // namespace tandrin::sim
