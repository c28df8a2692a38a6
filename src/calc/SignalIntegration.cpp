#include "calc/SignalIntegration.h"

#include "data/Lattice.h"
#include "data/PeeksTable.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <queue>

namespace {

// Far past any signal a file can hold, yet exact as a double and safe to add to.
constexpr qsizetype kBeyondEverySignal = qsizetype(1) << 52;

qsizetype Whole(double x)
{
    return static_cast<qsizetype>(x);
}

} // namespace

qsizetype SampleIndex(const CLattice& signal, double t)
{
    const double step = signal.step();
    if (step == 0.0 || !(t >= signal.start()))
        return 0;
    const double index = std::trunc((t - signal.start()) / step);
    if (!(index >= 0.0))
        return 0;  // a negative step
    if (!(index < static_cast<double>(kBeyondEverySignal)))
        return kBeyondEverySignal;
    return static_cast<qsizetype>(index);
}

std::vector<BaselineSegment> BuildBaselineSegments(const CLattice& signal, const CPeeksTable& peaks)
{
    const SampleVector& y = signal.samples();
    const qsizetype last = signal.size() - 1;
    std::vector<BaselineSegment> segments;
    segments.reserve(peaks.peaks().size());
    for (const cmpeek& peak : peaks.peaks()) {
        BaselineSegment s;
        const qsizetype x0 = SampleIndex(signal, peak.startTime);
        const qsizetype x1 = std::min(SampleIndex(signal, peak.endTime), last);
        s.x0 = static_cast<double>(x0);
        s.x1 = static_cast<double>(x1);
        if (x0 > last) {
            s.x1 = static_cast<double>(last);  // covers nothing: it begins after the signal ends
            segments.push_back(s);
            continue;
        }
        s.y0 = static_cast<double>(y[static_cast<std::size_t>(x0)]);
        s.y1 = static_cast<double>(y[static_cast<std::size_t>(x1)]);
        if (x0 != x1) {
            s.slope = (s.y1 - s.y0) / (s.x1 - s.x0);
            s.intercept = (s.y0 * s.x1 - s.y1 * s.x0) / (s.x1 - s.x0);
        } else {
            s.intercept = s.y0;
        }
        segments.push_back(s);
    }
    return segments;
}

BaselineIntegrator::BaselineIntegrator(const CLattice& signal, std::vector<BaselineSegment> segments)
    : m_signal(signal)
    , m_segments(std::move(segments))
{
    const qsizetype n = signal.size();
    if (n <= 0)
        return;

    // The coverage changes only where a peak begins or one past where it
    // ends; between two such bounds every sample has the same last peak.
    std::vector<int> order;
    std::vector<qsizetype> bounds = {0, n};
    for (std::size_t k = 0; k < m_segments.size(); ++k) {
        const BaselineSegment& s = m_segments[k];
        if (!(s.x0 <= s.x1))
            continue;
        order.push_back(static_cast<int>(k));
        bounds.push_back(Whole(s.x0));
        bounds.push_back(Whole(s.x1) + 1);
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return m_segments[static_cast<std::size_t>(a)].x0 < m_segments[static_cast<std::size_t>(b)].x0;
    });

    // Sweep the bounds with the begun peaks in a heap by table position; a
    // peak that has ended is dropped when it comes to the top.
    std::priority_queue<int> begun;
    std::size_t next = 0;
    for (std::size_t j = 0; j + 1 < bounds.size(); ++j) {
        const qsizetype begin = bounds[j];
        const qsizetype end = bounds[j + 1];
        while (next < order.size() && Whole(m_segments[static_cast<std::size_t>(order[next])].x0) <= begin)
            begun.push(order[next++]);
        while (!begun.empty() && Whole(m_segments[static_cast<std::size_t>(begun.top())].x1) < begin)
            begun.pop();
        const int owner = begun.empty() ? -1 : begun.top();
        if (!m_runs.empty() && m_runs.back().segment == owner)
            m_runs.back().end = end;
        else
            m_runs.push_back({begin, end, owner});
    }
}

double BaselineIntegrator::IntegratedArea(qsizetype iStart, qsizetype iEnd) const
{
    iStart = std::max<qsizetype>(iStart, 0);
    iEnd = std::min(iEnd, m_signal.size() - 1);
    if (iStart > iEnd || m_runs.empty())
        return 0.0;

    auto run = std::upper_bound(m_runs.begin(), m_runs.end(), iStart,
                                [](qsizetype i, const Run& r) { return i < r.begin; });
    --run;  // the first run begins at 0, so the one holding iStart exists

    const float* y = m_signal.samples().data();
    double sum = 0.0;
    double first = 0.0;
    double last = 0.0;
    bool counted = false;
    for (; run != m_runs.end() && run->begin <= iEnd; ++run) {
        if (run->segment < 0)
            continue;
        const BaselineSegment& s = m_segments[static_cast<std::size_t>(run->segment)];
        const qsizetype lo = std::max(run->begin, iStart);
        const qsizetype hi = std::min(run->end - 1, iEnd);
        if (!counted) {
            first = HeightAboveBaseline(y[lo], s, lo);
            counted = true;
        }
        // The samples are added one by one in index order, as a plain loop
        // over every sample would add them, so the sums agree to the bit.
        for (qsizetype i = lo; i <= hi; ++i)
            sum += HeightAboveBaseline(y[i], s, i);
        last = HeightAboveBaseline(y[hi], s, hi);
    }
    if (!counted)
        return 0.0;
    return m_signal.step() * (sum - (first + last) * 0.5);
}
