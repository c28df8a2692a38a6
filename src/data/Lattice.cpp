#include "data/Lattice.h"

#include <cmath>
#include <stdexcept>
#include <utility>

CLattice::CLattice(const std::vector<float>& samples, double start, double step)
    : m_samples(std::make_shared<SampleVector>(samples.begin(), samples.end())), m_start(start), m_step(step)
{
}

const SampleVector& CLattice::noSamples()
{
    static const SampleVector none;
    return none;
}

SampleVector& CLattice::samples()
{
    if (!m_samples)
        m_samples = std::make_shared<SampleVector>();
    else if (m_samples.use_count() > 1)
        m_samples = std::make_shared<SampleVector>(*m_samples);
    return *m_samples;
}

void CLattice::setSamples(SampleVector samples)
{
    m_samples = std::make_shared<SampleVector>(std::move(samples));
}

float CLattice::at(qsizetype i) const
{
    if (i < 0 || i >= size())
        throw std::invalid_argument("sample index outside the signal");
    return samples()[static_cast<size_t>(i)];
}

double CLattice::ValueAt(double t) const
{
    const qsizetype n = size();
    if (n < 2)
        throw std::invalid_argument("the signal has fewer than two samples");

    // The segment index is decided on the double quotient, so a zero or
    // non-finite step, or a time far outside the signal, never reaches an
    // out-of-range integer conversion.
    const double q = std::floor((t - m_start) / m_step);
    qsizetype i = 0;
    if (!std::isfinite(q) || q < 0.0)
        i = 0;
    else if (q >= static_cast<double>(n - 1))
        i = n - 2;
    else
        i = static_cast<qsizetype>(q);

    const qsizetype j = i + 1;
    const double ti = static_cast<double>(i) * m_step + m_start;
    const double tj = static_cast<double>(j) * m_step + m_start;
    const SampleVector& y = samples();
    const double yi = y[static_cast<size_t>(i)];
    const double yj = y[static_cast<size_t>(j)];
    if (tj == ti)
        return yi;
    return yi + (yj - yi) * (t - ti) / (tj - ti);
}
