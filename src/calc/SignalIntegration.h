#pragma once

#include <QtGlobal>

#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class CLattice;
class CPeeksTable;

// The straight baseline drawn under one peak, over sample indices: through
// the signal at the peak's first and last sample.
struct BaselineSegment
{
    double x0 = 0.0;  // first sample of the peak (a whole number)
    double x1 = 0.0;  // last sample; below x0 when the peak covers no sample
    double y0 = 0.0;  // signal at x0
    double y1 = 0.0;  // signal at x1
    double slope = 0.0;
    double intercept = 0.0;
};

// The sample at time t (minutes): the whole part of (t - start) / step; 0
// before the start, for a step of 0 and for a time that is not a number.
// A time past every possible signal gives a large index that callers clip.
qsizetype SampleIndex(const CLattice& signal, double t);

// v where it is above 0, else +0 (not a number included). Without a branch:
// a signal's noise about its baseline would have one mispredicted at every
// other sample.
inline double AboveZero(double v)
{
#if defined(__SSE2__)
    return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(v), _mm_setzero_pd()));
#else
    return v > 0.0 ? v : 0.0;
#endif
}

// The signal's height above a peak's baseline at sample i; 0 where it is not
// above (a sample that is not a number included).
inline double HeightAboveBaseline(float sample, const BaselineSegment& segment, qsizetype i)
{
    return AboveZero(static_cast<double>(sample) - (segment.slope * static_cast<double>(i) + segment.intercept));
}

// One segment per peak of the table, in table order. A peak that reaches
// past the last sample ends there (a blank subtraction may have shortened
// the signal); a peak that begins past it covers no sample.
std::vector<BaselineSegment> BuildBaselineSegments(const CLattice& signal, const CPeeksTable& peaks);

// Areas of a signal above the baselines of its peaks. A sample is measured
// against the last peak, in table order, that covers it; a sample under no
// peak does not count. The coverage is worked out once, as runs of samples
// that share their peak, so an area costs only the samples it spans rather
// than samples times peaks.
class BaselineIntegrator
{
public:
    // The signal must outlive the integrator.
    BaselineIntegrator(const CLattice& signal, std::vector<BaselineSegment> segments);

    // Trapezoidal area over the counted samples of iStart..iEnd (clipped to
    // the signal): step * (sum - (first + last) / 2); 0 when none counts.
    double IntegratedArea(qsizetype iStart, qsizetype iEnd) const;

    // IntegratedArea of each (iStart, iEnd), to the bit. Each sum must be
    // taken sample after sample, so one sum waits on every addition; four
    // ranges are summed side by side, which keeps the processor busy.
    std::vector<double> IntegratedAreas(const std::vector<std::pair<qsizetype, qsizetype>>& ranges) const;

    const std::vector<BaselineSegment>& segments() const { return m_segments; }
    const CLattice& signal() const { return m_signal; }

private:
    struct Run
    {
        qsizetype begin;  // first sample
        qsizetype end;    // one past the last sample
        int segment;      // the covering peak, -1 for none
    };
    struct Lane;

    void StartLane(Lane& lane, qsizetype iStart, qsizetype iEnd) const;
    void NextPiece(Lane& lane) const;
    double LaneArea(const Lane& lane) const;

    const CLattice& m_signal;
    std::vector<BaselineSegment> m_segments;
    std::vector<Run> m_runs;  // consecutive, together spanning the whole signal
};
