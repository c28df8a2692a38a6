#include "calc/SignalIntegration.h"

#include "data/Lattice.h"
#include "data/PeeksTable.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <queue>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace {

// Far past any signal a file can hold, yet exact as a double and safe to add to.
constexpr qsizetype kBeyondEverySignal = qsizetype(1) << 52;

qsizetype Whole(double x)
{
    return static_cast<qsizetype>(x);
}

constexpr std::size_t kLanes = 4;

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))

bool HasAvx()
{
    static const bool avx = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return avx;
}

// count samples of four lanes, lane k from sample first[k] on, each added to
// its own sum in index order: four sums in one register, each the bits of
// the scalar loop (the same operations in the same order, no fused ones).
__attribute__((target("avx"))) void SumFourLanes(const float* y, const qsizetype* first,
                                                 const BaselineSegment* const* segments, double* sums,
                                                 qsizetype count)
{
    const __m256d slope = _mm256_set_pd(segments[3]->slope, segments[2]->slope, segments[1]->slope, segments[0]->slope);
    const __m256d intercept = _mm256_set_pd(segments[3]->intercept, segments[2]->intercept, segments[1]->intercept,
                                            segments[0]->intercept);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    // Whole numbers below 2^53 are exact, so stepping by 1 gives each index itself.
    __m256d index = _mm256_set_pd(static_cast<double>(first[3]), static_cast<double>(first[2]),
                                  static_cast<double>(first[1]), static_cast<double>(first[0]));
    __m256d sum = _mm256_loadu_pd(sums);
    const float* a = y + first[0];
    const float* b = y + first[1];
    const float* c = y + first[2];
    const float* d = y + first[3];
    for (qsizetype j = 0; j < count; ++j) {
        const __m256d v = _mm256_cvtps_pd(_mm_set_ps(d[j], c[j], b[j], a[j]));
        const __m256d base = _mm256_add_pd(_mm256_mul_pd(slope, index), intercept);
        sum = _mm256_add_pd(sum, _mm256_max_pd(_mm256_sub_pd(v, base), zero));
        index = _mm256_add_pd(index, one);
    }
    _mm256_storeu_pd(sums, sum);
}

#else

bool HasAvx()
{
    return false;
}

void SumFourLanes(const float*, const qsizetype*, const BaselineSegment* const*, double*, qsizetype) {}

#endif

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

// One range being summed: the piece of it under one peak that is being
// added, sample by sample, and what has been gathered so far.
struct BaselineIntegrator::Lane
{
    std::size_t run = 0;  // the run holding the piece
    qsizetype next = 0;   // the next sample to add
    qsizetype last = -1;  // the piece's last sample
    qsizetype iEnd = -1;  // the range's last sample
    const BaselineSegment* segment = nullptr;  // null when the range is done
    double sum = 0.0;
    double firstHeight = 0.0;
    double lastHeight = 0.0;
    bool counted = false;
};

void BaselineIntegrator::StartLane(Lane& lane, qsizetype iStart, qsizetype iEnd) const
{
    lane = Lane();
    iStart = std::max<qsizetype>(iStart, 0);
    iEnd = std::min(iEnd, m_signal.size() - 1);
    if (iStart > iEnd || m_runs.empty())
        return;
    const auto run = std::upper_bound(m_runs.begin(), m_runs.end(), iStart,
                                      [](qsizetype i, const Run& r) { return i < r.begin; });
    // The first run begins at 0, so the one holding iStart exists.
    lane.run = static_cast<std::size_t>(run - m_runs.begin()) - 1;
    lane.next = iStart;
    lane.iEnd = iEnd;
    NextPiece(lane);
}

// Moves the lane to the first covered piece from its run on, or ends it.
void BaselineIntegrator::NextPiece(Lane& lane) const
{
    const float* y = m_signal.samples().data();
    for (; lane.run < m_runs.size() && m_runs[lane.run].begin <= lane.iEnd; ++lane.run) {
        const Run& run = m_runs[lane.run];
        if (run.segment < 0)
            continue;
        lane.segment = &m_segments[static_cast<std::size_t>(run.segment)];
        lane.next = std::max(run.begin, lane.next);
        lane.last = std::min(run.end - 1, lane.iEnd);
        if (!lane.counted) {
            lane.firstHeight = HeightAboveBaseline(y[lane.next], *lane.segment, lane.next);
            lane.counted = true;
        }
        ++lane.run;
        return;
    }
    lane.segment = nullptr;
}

double BaselineIntegrator::LaneArea(const Lane& lane) const
{
    return lane.counted ? m_signal.step() * (lane.sum - (lane.firstHeight + lane.lastHeight) * 0.5) : 0.0;
}

double BaselineIntegrator::IntegratedArea(qsizetype iStart, qsizetype iEnd) const
{
    const float* y = m_signal.samples().data();
    Lane lane;
    StartLane(lane, iStart, iEnd);
    while (lane.segment) {
        // The samples are added one by one in index order, as a plain loop
        // over every sample would add them, so the sums agree to the bit.
        const BaselineSegment s = *lane.segment;
        double sum = lane.sum;
        for (qsizetype i = lane.next; i <= lane.last; ++i)
            sum += HeightAboveBaseline(y[i], s, i);
        lane.sum = sum;
        lane.lastHeight = HeightAboveBaseline(y[lane.last], s, lane.last);
        lane.next = lane.last + 1;
        NextPiece(lane);
    }
    return LaneArea(lane);
}

std::vector<double> BaselineIntegrator::IntegratedAreas(const std::vector<std::pair<qsizetype, qsizetype>>& ranges) const
{
    std::vector<double> areas(ranges.size(), 0.0);
    if (!HasAvx()) {
        for (std::size_t r = 0; r < ranges.size(); ++r)
            areas[r] = IntegratedArea(ranges[r].first, ranges[r].second);
        return areas;
    }
    const float* y = m_signal.samples().data();
    Lane lanes[kLanes];
    std::size_t rangeOf[kLanes] = {};
    std::size_t nextRange = 0;
    // A lane that is done hands in its area and takes the next range left.
    auto refill = [&](std::size_t k) {
        while (!lanes[k].segment && nextRange < ranges.size()) {
            rangeOf[k] = nextRange++;
            StartLane(lanes[k], ranges[rangeOf[k]].first, ranges[rangeOf[k]].second);
            if (!lanes[k].segment)
                areas[rangeOf[k]] = LaneArea(lanes[k]);
        }
    };
    for (std::size_t k = 0; k < kLanes; ++k)
        refill(k);

    for (;;) {
        // As many samples as every lane still has in its piece, added side by
        // side; each lane's own sum still goes in index order.
        qsizetype common = -1;
        std::size_t running = 0;
        for (const Lane& lane : lanes) {
            if (!lane.segment)
                continue;
            ++running;
            const qsizetype left = lane.last - lane.next + 1;
            common = common < 0 ? left : std::min(common, left);
        }
        if (running == 0)
            break;
        if (running == kLanes) {
            const qsizetype first[kLanes] = {lanes[0].next, lanes[1].next, lanes[2].next, lanes[3].next};
            const BaselineSegment* segments[kLanes] = {lanes[0].segment, lanes[1].segment, lanes[2].segment,
                                                       lanes[3].segment};
            double sums[kLanes] = {lanes[0].sum, lanes[1].sum, lanes[2].sum, lanes[3].sum};
            SumFourLanes(y, first, segments, sums, common);
            for (std::size_t k = 0; k < kLanes; ++k)
                lanes[k].sum = sums[k];
        } else {
            // The last few ranges: one after another.
            for (Lane& lane : lanes) {
                if (!lane.segment)
                    continue;
                const BaselineSegment segment = *lane.segment;
                double sum = lane.sum;
                for (qsizetype i = lane.next; i < lane.next + common; ++i)
                    sum += HeightAboveBaseline(y[i], segment, i);
                lane.sum = sum;
            }
        }
        for (std::size_t k = 0; k < kLanes; ++k) {
            Lane& lane = lanes[k];
            if (!lane.segment)
                continue;
            lane.next += common;
            if (lane.next <= lane.last)
                continue;
            lane.lastHeight = HeightAboveBaseline(y[lane.last], *lane.segment, lane.last);
            NextPiece(lane);
            if (!lane.segment) {
                areas[rangeOf[k]] = LaneArea(lane);
                refill(k);
            }
        }
    }
    return areas;
}
