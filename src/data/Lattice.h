#pragma once

#include <QtGlobal>

#include <vector>

// The detector signal of one chromatogram: float samples, sample i at
// start + i * step minutes. Copies own their samples.
class CLattice
{
public:
    CLattice() = default;
    CLattice(std::vector<float> samples, double start, double step);

    const std::vector<float>& samples() const { return m_samples; }
    std::vector<float>& samples() { return m_samples; }
    qsizetype size() const { return static_cast<qsizetype>(m_samples.size()); }
    // Checked access; throws std::invalid_argument outside the samples.
    float at(qsizetype i) const;

    double start() const { return m_start; }
    double step() const { return m_step; }
    void setStart(double start) { m_start = start; }
    void setStep(double step) { m_step = step; }

    // The signal at time t (minutes), linear between neighbouring samples and
    // extrapolated along the first or last segment outside them.
    // Throws std::invalid_argument with fewer than two samples.
    double ValueAt(double t) const;

private:
    std::vector<float> m_samples;
    double m_start = 0.0;
    double m_step = 1.0;
};
