#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "calc/SignalIntegration.h"
#include "data/Lattice.h"
#include "data/PeeksTable.h"
#include "support/NumericCompare.h"

namespace {

using Peaks = std::vector<std::pair<double, double>>;  // start, end (min)

CPeeksTable Table(const Peaks& peaks)
{
    CPeeksTable table;
    for (const auto& [from, to] : peaks) {
        cmpeek peak;
        peak.startTime = from;
        peak.endTime = to;
        table.peaks().push_back(peak);
    }
    return table;
}

// The plain integration: every sample looks through every peak for the
// last one that covers it.
double LiteralArea(const std::vector<float>& y, double start, double step, const Peaks& peaks, long long iStart,
                   long long iEnd)
{
    auto index = [&](double t) { return step == 0 || t < start ? 0LL : static_cast<long long>(std::trunc((t - start) / step)); };
    struct Segment
    {
        long long x0, x1;
        double slope, intercept;
    };
    std::vector<Segment> segments;
    for (const auto& [from, to] : peaks) {
        const long long x0 = index(from), x1 = index(to);
        const double y0 = y.at(static_cast<std::size_t>(x0)), y1 = y.at(static_cast<std::size_t>(x1));
        const double a = static_cast<double>(x0), b = static_cast<double>(x1);
        segments.push_back(x0 != x1 ? Segment{x0, x1, (y1 - y0) / (b - a), (y0 * b - y1 * a) / (b - a)} : Segment{x0, x1, 0.0, y0});
    }
    double sum = 0.0, first = 0.0, last = 0.0;
    bool counted = false;
    for (long long i = std::max(iStart, 0LL); i <= std::min(iEnd, static_cast<long long>(y.size()) - 1); ++i) {
        const Segment* covering = nullptr;
        for (const Segment& s : segments) {
            if (s.x0 <= i && i <= s.x1)
                covering = &s;
        }
        if (!covering)
            continue;
        double v = y[static_cast<std::size_t>(i)] - (covering->slope * static_cast<double>(i) + covering->intercept);
        v = v > 0.0 ? v : 0.0;
        first = counted ? first : v;
        counted = true;
        last = v;
        sum += v;
    }
    return counted ? step * (sum - (first + last) * 0.5) : 0.0;
}

} // namespace

TEST(AboveZero, keepsWhatIsAboveZeroAndGivesPlusZeroForTheRest)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::pair<double, double> cases[] = {
        {2.5, 2.5}, {4.9e-324, 4.9e-324}, {kInf, kInf}, {-1.0, 0.0}, {-kInf, 0.0},
        {-0.0, 0.0}, {0.0, 0.0}, {std::numeric_limits<double>::quiet_NaN(), 0.0},
    };
    for (const auto& [v, expected] : cases) {
        const double got = AboveZero(v);
        EXPECT_EQ(got, expected) << v;
        EXPECT_FALSE(std::signbit(got)) << v;  // never -0: sums of heights stay +0 where nothing counts
    }
}

TEST(SampleIndex, truncatesAndNeverPointsBeforeTheSignal)
{
    const CLattice signal({0, 0, 0, 0}, 1.0, 0.5);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, qsizetype> cases[] = {{0.5, 0}, {1.0, 0}, {1.74, 1}, {2.0, 2}, {3.6, 5}, {nan, 0}};
    for (const auto& [t, index] : cases)
        EXPECT_EQ(SampleIndex(signal, t), index) << t;
    EXPECT_GT(SampleIndex(signal, std::numeric_limits<double>::infinity()), 1LL << 40);
    EXPECT_EQ(SampleIndex(CLattice({0, 0}, 0.0, 0.0), 5.0), 0);
}

TEST(BaselineIntegrator, handComputedAreas)
{
    // Sample i at 0.5·i min; areas are 0.5 × (Σv − (first + last)/2).
    const std::vector<float> triangle = {0, 1, 2, 3, 2, 1, 0};
    const struct
    {
        const char* what;
        std::vector<float> y;
        Peaks peaks;
        qsizetype iStart, iEnd;
        double area;
    } cases[] = {
        {"a triangle, the range clipped to the signal", triangle, {{0, 3}}, -4, 60, 4.5},
        {"part of it: half the end samples", triangle, {{0, 3}}, 1, 2, 0.75},
        {"a sloped baseline through the ends", {1, 2, 4, 3, 2}, {{0, 2}}, 0, 4, 2.25},
        {"the last covering peak wins", triangle, {{0, 3}, {1, 2}}, 0, 6, 1.5},
        {"in table order, not by size", triangle, {{1, 2}, {0, 3}}, 0, 6, 4.5},
        {"a gap between peaks counts nothing", {0, 2, 0, 5, 0, 3, 0}, {{0, 1}, {2, 3}}, 0, 6, 2.5},
        {"the ends are the counted samples", {0, 2, 0, 5, 0, 3, 0}, {{0, 1}, {2, 3}}, 1, 5, 1.25},
        {"below the baseline counts 0", {1, 0, 3, 1}, {{0, 1.5}}, 0, 3, 1.0},
        {"a peak past the end ends at the last sample", {0, 1, 5, 3, 1}, {{0.5, 10}}, 0, 4, 3.0},
        {"a peak beyond the end covers nothing", {0, 2, 0}, {{0, 1}, {5, 6}}, 0, 2, 1.0},
        {"a one-sample peak is flat at its value", {0, 3, 0}, {{0, 1}, {0.5, 0.5}}, 0, 2, 0},
        {"an empty signal", {}, {{0, 1}}, 0, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CLattice signal(c.y, 0.0, 0.5);
        const BaselineIntegrator integrator(signal, BuildBaselineSegments(signal, Table(c.peaks)));
        EXPECT_REL_NEAR(integrator.IntegratedArea(c.iStart, c.iEnd), c.area);
    }
}

TEST(BaselineIntegrator, agreesToTheBitWithTheLiteralIntegrationOnRandomSignals)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 40; ++round) {
        const int n = 50 + static_cast<int>(random() % 3000);
        std::uniform_real_distribution<float> level(-2.0f, 10.0f);
        std::vector<float> y(static_cast<std::size_t>(n));
        for (float& v : y)
            v = level(random);
        const double start = round % 2 ? 0.0 : 1.5;
        const double step = round % 3 ? 0.01 : 0.0037;
        // Peaks anywhere inside the signal: nested, overlapping, one sample wide.
        std::uniform_int_distribution<int> at(0, n - 1);
        Peaks peaks;
        for (int k = 0, count = 1 + static_cast<int>(random() % 60); k < count; ++k) {
            int a = at(random);
            int b = k % 7 == 0 ? a : at(random);
            if (a > b)
                std::swap(a, b);
            peaks.emplace_back(start + (a + 0.3) * step, start + (b + 0.3) * step);
        }
        const CLattice signal(y, start, step);
        const BaselineIntegrator integrator(signal, BuildBaselineSegments(signal, Table(peaks)));
        for (int q = 0; q < 30; ++q) {
            const qsizetype i0 = at(random) - 5;
            const qsizetype i1 = q % 5 == 0 ? i0 + at(random) % 4 : at(random) + 5;
            ASSERT_EQ(integrator.IntegratedArea(i0, i1), LiteralArea(y, start, step, peaks, i0, i1))
                << "round " << round << ", samples " << i0 << ".." << i1;
        }
    }
}

TEST(BaselineIntegrator, manyRangesAtOnceAgreeToTheBitWithTheLiteralIntegration)
{
    std::mt19937 random(20250612);
    for (int round = 0; round < 30; ++round) {
        const int n = 20 + static_cast<int>(random() % 4000);
        std::uniform_real_distribution<float> level(-3.0f, 12.0f);
        std::vector<float> y(static_cast<std::size_t>(n));
        for (float& v : y)
            v = level(random);
        const double start = round % 2 ? 0.0 : 0.75;
        const double step = round % 3 ? 0.004 : 0.0011;
        std::uniform_int_distribution<int> at(0, n - 1);
        Peaks peaks;
        for (int k = 0, count = static_cast<int>(random() % 50); k < count; ++k) {
            int a = at(random);
            int b = k % 5 == 0 ? a : at(random);
            if (a > b)
                std::swap(a, b);
            peaks.emplace_back(start + (a + 0.4) * step, start + (b + 0.4) * step);
        }
        // Adjacent cuts, long and short ranges, single samples, empty and
        // reversed ones and ranges reaching past either end, in any number.
        std::vector<std::pair<qsizetype, qsizetype>> ranges;
        for (int r = 0, count = static_cast<int>(random() % 60); r < count; ++r) {
            const qsizetype i0 = at(random) - 10;
            switch (r % 5) {
            case 0: ranges.emplace_back(i0, i0 + at(random) % 7); break;
            case 1: ranges.emplace_back(i0, i0); break;
            case 2: ranges.emplace_back(i0, i0 - 3); break;
            case 3: ranges.emplace_back(ranges.empty() ? 0 : ranges.back().second, i0 + 40); break;
            default: ranges.emplace_back(i0, at(random) + 20); break;
            }
        }
        const CLattice signal(y, start, step);
        const BaselineIntegrator integrator(signal, BuildBaselineSegments(signal, Table(peaks)));
        const std::vector<double> areas = integrator.IntegratedAreas(ranges);
        ASSERT_EQ(areas.size(), ranges.size());
        for (std::size_t r = 0; r < ranges.size(); ++r) {
            const auto [i0, i1] = ranges[r];
            ASSERT_EQ(areas[r], LiteralArea(y, start, step, peaks, i0, i1))
                << "round " << round << ", range " << r << ": samples " << i0 << ".." << i1;
        }
    }
}
