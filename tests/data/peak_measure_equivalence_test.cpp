#include <gtest/gtest.h>

#include "data/Lattice.h"
#include "data/PeakScan.h"
#include "data/PeeksTable.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

// Peak measurement takes shortcuts on long peaks; these tests hold it, bit for
// bit, to the straightforward loop below, on seeded random signals and windows
// and on inputs chosen to break shortcuts: huge and tiny samples mixed, zeros
// and denormals, NaN and infinities, ties, reversed and empty windows.

namespace {

using peakscan::Line;
using peakscan::Measure;
using peakscan::Scan;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double referenceRoundToSingle(double v)
{
    volatile float f = static_cast<float>(v);
    return f;
}

// The measurement of one peak as first written, one sample after another.
void referenceComputePeak(cmpeek& p, const CLattice& signal)
{
    const double a = p.startTime;
    const double b = p.endTime;
    const double ya = referenceRoundToSingle(signal.ValueAt(a));
    const double yb = referenceRoundToSingle(signal.ValueAt(b));
    const SampleVector& y = signal.samples();
    const qsizetype n = signal.size();
    const double s0 = signal.start();
    const double h = signal.step();
    const double qa = std::ceil((a - s0) / h);
    const double qb = std::floor((b - s0) / h);
    qsizetype i0 = 0;
    qsizetype i1 = -1;
    if (!std::isnan(qa) && !std::isnan(qb) && qa <= static_cast<double>(n - 1) && qb >= 0.0) {
        i0 = qa < 0.0 ? 0 : static_cast<qsizetype>(qa);
        i1 = qb > static_cast<double>(n - 1) ? n - 1 : static_cast<qsizetype>(qb);
    }
    if (p.previous < 0 && p.next < 0) {
        p.baselineStart = ya;
        p.baselineEnd = yb;
    }
    const double bs = p.baselineStart;
    const double be = p.baselineEnd;
    if (i1 < i0) {
        p.apexTime = (a + b) / 2;
        p.height = (ya + yb) / 2 - (bs + be) / 2;
        p.area = (b - a) * (ya + yb) / 2 - (b - a) * (bs + be) / 2;
        return;
    }
    p.apexTime = 0.0;
    p.height = 0.0;
    double sum = 0.0;
    double best = -DBL_MAX;
    for (qsizetype i = i0; i <= i1; ++i) {
        const double ti = s0 + static_cast<double>(i) * h;
        const double base = (b == a) ? bs : bs + (ti - a) * (be - bs) / (b - a);
        const double yi = y[static_cast<size_t>(i)];
        const double d = std::fabs(yi - base);
        if (d > best) {
            best = d;
            p.apexTime = ti;
            p.height = d;
        }
        sum += yi;
    }
    const float y0 = y[static_cast<size_t>(i0)];
    const float y1 = y[static_cast<size_t>(i1)];
    const double t0 = s0 + static_cast<double>(i0) * h;
    const double t1 = s0 + static_cast<double>(i1) * h;
    const float endPair = y0 + y1;
    p.area = h * sum - h * static_cast<double>(endPair) / 2 + (t0 - a) * (static_cast<double>(y0) + ya) / 2
             + (b - t1) * (static_cast<double>(y1) + yb) / 2 - (b - a) * (bs + be) / 2;
}

Measure referenceMeasure(const float* y, qsizetype i0, qsizetype i1, const Line& l)
{
    Measure m;
    double best = -DBL_MAX;
    for (qsizetype i = i0; i <= i1; ++i) {
        const double ti = l.s0 + static_cast<double>(i) * l.h;
        const double base = (l.b == l.a) ? l.bs : l.bs + (ti - l.a) * (l.be - l.bs) / (l.b - l.a);
        const double yi = y[i];
        const double d = std::fabs(yi - base);
        if (d > best) {
            best = d;
            m.apexTime = ti;
            m.height = d;
        }
        m.sum += yi;
    }
    return m;
}

// Group baselines (chains without loops), every peak, then nested areas in
// place, every peak against every other in table order.
void referenceRecompute(std::vector<cmpeek>& peaks, const CLattice& s)
{
    for (cmpeek& head : peaks) {
        if (head.next < 0 || head.previous >= 0)
            continue;
        const cmpeek* last = &head;
        while (last->next >= 0)
            last = &peaks[size_t(last->next)];
        const double gs = head.startTime;
        const double ge = last->endTime;
        const double ys = referenceRoundToSingle(s.ValueAt(gs));
        const double ye = referenceRoundToSingle(s.ValueAt(ge));
        for (cmpeek* k = &head;; k = &peaks[size_t(k->next)]) {
            k->baselineStart = ge == gs ? ys : ys + (k->startTime - gs) * (ye - ys) / (ge - gs);
            k->baselineEnd = ge == gs ? ys : ys + (k->endTime - gs) * (ye - ys) / (ge - gs);
            if (k->next < 0)
                break;
        }
    }
    for (cmpeek& p : peaks)
        referenceComputePeak(p, s);
    for (size_t i = 0; i < peaks.size(); ++i) {
        for (size_t j = 0; j < peaks.size(); ++j) {
            if (j != i && peaks[j].startTime >= peaks[i].startTime && peaks[j].endTime <= peaks[i].endTime)
                peaks[i].area -= peaks[j].area;
        }
    }
}

std::string bitsOf(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    std::ostringstream out;
    out.precision(17);
    out << v << " (0x" << std::hex << bits << ")";
    return out.str();
}

::testing::AssertionResult sameBits(const char* what, double got, double want)
{
    if (std::memcmp(&got, &want, sizeof got) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": " << bitsOf(got) << ", the loop gives " << bitsOf(want);
}

::testing::AssertionResult samePeak(const cmpeek& got, const cmpeek& want)
{
    for (auto r : {sameBits("apex time", got.apexTime, want.apexTime), sameBits("area", got.area, want.area),
                   sameBits("height", got.height, want.height),
                   sameBits("baseline at start", got.baselineStart, want.baselineStart),
                   sameBits("baseline at end", got.baselineEnd, want.baselineEnd)}) {
        if (!r)
            return r;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult sameMeasure(const Measure& got, const Measure& want)
{
    for (auto r : {sameBits("sum", got.sum, want.sum), sameBits("apex time", got.apexTime, want.apexTime),
                   sameBits("height", got.height, want.height)}) {
        if (!r)
            return r;
    }
    return ::testing::AssertionSuccess();
}

enum class SignalKind
{
    Chromatogram, Integers, AnyFloat, MostlyOnesWithOutliers, FewLevels, NonFinite, Dips, Constant, LargeAndHalves
};
constexpr int kSignalKinds = 9;

// A random finite float of any magnitude, denormals and both zeros included.
float anyFiniteFloat(std::mt19937_64& rng)
{
    const auto bits = static_cast<std::uint32_t>(rng());
    const std::uint32_t exponent = static_cast<std::uint32_t>(rng() % 255) << 23; // never 255
    const std::uint32_t word = (bits & 0x807FFFFFu) | exponent;
    float f;
    std::memcpy(&f, &word, sizeof f);
    return f;
}

std::vector<float> makeSignal(std::mt19937_64& rng, SignalKind kind, size_t n)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<float> y(n);
    switch (kind) {
    case SignalKind::Chromatogram:
    case SignalKind::NonFinite:
    case SignalKind::Dips: {
        const double sign = kind == SignalKind::Dips ? -1.0 : 1.0;
        for (size_t i = 0; i < n; ++i)
            y[i] = static_cast<float>(0.3 + 1e-4 * static_cast<double>(i % 97) + 1e-3 * unit(rng));
        for (int k = 0; k < 6; ++k) {
            const double centre = unit(rng) * static_cast<double>(n);
            const double width = 5 + unit(rng) * static_cast<double>(n) / 20;
            const double height = sign * (1 + 50 * unit(rng));
            for (size_t i = 0; i < n; ++i) {
                const double z = (static_cast<double>(i) - centre) / width;
                y[i] += static_cast<float>(height * std::exp(-0.5 * z * z));
            }
        }
        if (kind == SignalKind::NonFinite) {
            const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity()};
            for (int k = 0; k < 3; ++k)
                y[rng() % n] = odd[rng() % 3];
        }
        break;
    }
    case SignalKind::Integers:
        for (float& v : y)
            v = static_cast<float>(static_cast<int>(rng() % 2001) - 1000);
        break;
    case SignalKind::AnyFloat:
        for (float& v : y)
            v = anyFiniteFloat(rng);
        break;
    case SignalKind::MostlyOnesWithOutliers: {
        const float outliers[] = {1e-30f, -1e-30f, 1e-45f, 0.0f, -0.0f, 1e30f, -1e30f, 3.0e38f, 1.0e-7f, 16777216.0f};
        for (float& v : y)
            v = rng() % 50 == 0 ? outliers[rng() % 10] : static_cast<float>(1.0 + unit(rng));
        break;
    }
    case SignalKind::FewLevels:
        for (float& v : y)
            v = static_cast<float>(rng() % 4);
        break;
    case SignalKind::Constant:
        std::fill(y.begin(), y.end(), static_cast<float>(unit(rng) * 10 - 5));
        break;
    case SignalKind::LargeAndHalves:
        // Sums that stop being exact somewhere inside a peak.
        for (float& v : y) {
            const double mantissa = 1.0 + static_cast<double>(rng() % 8);
            v = rng() % 3 == 0 ? 0.5f : static_cast<float>(std::ldexp(mantissa, 20 + int(rng() % 12)));
        }
        break;
    }
    return y;
}

// A window in minutes on the grid (s0, h): mostly inside the signal, of every
// length from empty to all of it, sometimes reversed, zero-width, on sample
// times or outside the signal altogether.
void pickWindow(std::mt19937_64& rng, const CLattice& s, double& a, double& b)
{
    const double n = static_cast<double>(s.size());
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double lengths[] = {0.0, 0.5, 3, 127, 128, 129, 255, 256, 257, 383, 384, 385, 1000, n / 3, n, 2 * n};
    double first = unit(rng) * n * 1.2 - n * 0.1;
    if (rng() % 3 == 0)
        first = std::round(first); // on a sample time
    double length = lengths[rng() % std::size(lengths)];
    if (rng() % 2 == 0)
        length += unit(rng);
    a = s.start() + first * s.step();
    b = s.start() + (first + length) * s.step();
    switch (rng() % 10) {
    case 0: std::swap(a, b); break;
    case 1: b = a; break;
    case 2: a = s.start() - 5 * n * s.step(); break;
    default: break;
    }
}

// Lone peaks take their baseline from the signal; members of a group are
// given one, which may be anything at all.
void pickBaseline(std::mt19937_64& rng, cmpeek& p)
{
    if (rng() % 2 == 0) {
        p.previous = -1;
        p.next = -1;
        return;
    }
    p.previous = 0;
    const double odd[] = {0.0, -0.0, 1e300, -1e300, 1e-310, kNaN, kInf, -kInf, 3.25};
    std::uniform_real_distribution<double> level(-60.0, 60.0);
    p.baselineStart = rng() % 8 == 0 ? odd[rng() % std::size(odd)] : level(rng);
    p.baselineEnd = rng() % 4 == 0 ? p.baselineStart : rng() % 8 == 0 ? odd[rng() % std::size(odd)] : level(rng);
}

CLattice makeLattice(std::mt19937_64& rng, std::vector<float> samples)
{
    const double starts[] = {0.0, -5.0, 0.125, 1e6};
    const double steps[] = {0.00025, 1.0, 0.05, 1e-7, -0.5, 0.0, kNaN};
    const double step = rng() % 10 < 8 ? steps[rng() % 4] : steps[4 + rng() % 3];
    return CLattice(std::move(samples), starts[rng() % std::size(starts)], step);
}

std::vector<Scan> availableScans()
{
    std::vector<Scan> scans;
    for (Scan s : {Scan::Fastest, Scan::Plain, Scan::Sse2, Scan::Avx}) {
        if (peakscan::scanAvailable(s))
            scans.push_back(s);
    }
    return scans;
}

} // namespace

TEST(CmpeekMeasureEquivalence, everyPeakOnSeededRandomSignalsMatchesThePlainLoop)
{
    std::mt19937_64 rng(20240517);
    for (int round = 0; round < 90; ++round) {
        const auto kind = static_cast<SignalKind>(round % kSignalKinds);
        const size_t n = 2 + rng() % 12000;
        const CLattice signal = makeLattice(rng, makeSignal(rng, kind, n));
        for (int w = 0; w < 30; ++w) {
            cmpeek p;
            pickWindow(rng, signal, p.startTime, p.endTime);
            pickBaseline(rng, p);
            cmpeek want = p;
            referenceComputePeak(want, signal);
            p.ComputePeak(signal);
            ASSERT_TRUE(samePeak(p, want)) << "round " << round << ", window " << w << " [" << p.startTime << ", "
                                           << p.endTime << "] on " << n << " samples";
        }
    }
}

TEST(CmpeekMeasureEquivalence, everyScanOfThisProcessorMatchesThePlainLoop)
{
    const std::vector<Scan> scans = availableScans();
    ASSERT_GE(scans.size(), 2u); // the fastest and the plain one at least
    std::mt19937_64 rng(777);
    for (int round = 0; round < 120; ++round) {
        const auto kind = static_cast<SignalKind>(round % kSignalKinds);
        const std::vector<float> y = makeSignal(rng, kind, 300 + rng() % 6000);
        const auto n = static_cast<qsizetype>(y.size());
        for (int w = 0; w < 8; ++w) {
            const qsizetype i0 = static_cast<qsizetype>(rng() % static_cast<std::uint64_t>(n));
            const qsizetype i1 = i0 + static_cast<qsizetype>(rng() % static_cast<std::uint64_t>(n - i0));
            Line line{0.0, 0.001, 0.001 * static_cast<double>(i0), 0.001 * static_cast<double>(i1), 0.0, 0.0};
            std::uniform_real_distribution<double> level(-40.0, 40.0);
            line.bs = level(rng);
            line.be = w % 3 == 0 ? line.bs : level(rng);
            if (w == 7)
                line.b = line.a; // a flat baseline at bs, with no division
            const Measure want = referenceMeasure(y.data(), i0, i1, line);
            for (Scan scan : scans) {
                ASSERT_TRUE(sameMeasure(peakscan::measure(y.data(), i0, i1, line, scan), want))
                    << "round " << round << ", samples " << i0 << ".." << i1 << ", scan " << int(scan);
            }
        }
    }
}

TEST(CmpeekMeasureEquivalence, theSumRoundsWhereverTheSequentialLoopRounds)
{
    // 2^53 followed by 999 ones: each 2^53 + 1 rounds back to 2^53 (ties to
    // even), though the exact sum is 2^53 + 999. The other way round, 999 is
    // reached exactly and 999 + 2^53 rounds up to 2^53 + 1000.
    std::vector<float> y(1000, 1.0f);
    y.front() = 9007199254740992.0f;
    const Line line{0.0, 1.0, 0.0, 999.0, 0.0, 0.0};
    for (Scan scan : availableScans())
        EXPECT_EQ(peakscan::measure(y.data(), 0, 999, line, scan).sum, 9007199254740992.0);
    std::swap(y.front(), y.back());
    for (Scan scan : availableScans())
        EXPECT_EQ(peakscan::measure(y.data(), 0, 999, line, scan).sum, 9007199254741992.0);
}

TEST(CmpeekMeasureEquivalence, aSumThatRoundsOnlyOnTheWayKeepsThatRounding)
{
    // 2^20 and 2^-32 make 2^20 + 2^-32 exactly. Far on, 2^20 then -2^20:
    // 2^21 + 2^-32 rounds to 2^21 (a tie, to even) and the loop ends at 2^20,
    // though those two samples add up to nothing.
    std::vector<float> fineTail(6000, 0.0f);
    fineTail[0] = 1048576.0f;
    fineTail[1] = 2.3283064365386963e-10f; // 2^-32
    fineTail[4000] = 1048576.0f;
    fineTail[4001] = -1048576.0f;
    // 2^53, then 2^23 + 1 and its negative: 2^53 + 8388609 rounds to
    // 2^53 + 8388608 (a tie, to even), and less 8388609 that is 2^53 - 1.
    std::vector<float> coarse(6000, 0.0f);
    coarse[0] = 9007199254740992.0f;
    coarse[4000] = 8388609.0f;
    coarse[4001] = -8388609.0f;
    const Line line{0.0, 1.0, 0.0, 5999.0, 0.0, 0.0};
    for (Scan scan : availableScans()) {
        EXPECT_EQ(peakscan::measure(fineTail.data(), 0, 5999, line, scan).sum, 1048576.0);
        EXPECT_EQ(peakscan::measure(coarse.data(), 0, 5999, line, scan).sum, 9007199254740991.0);
    }
}

TEST(CmpeekMeasureEquivalence, aDeviationBarelyLargerLaterOnIsTheApex)
{
    // One float step above the earlier maximum.
    std::vector<float> y(2000, 0.0f);
    y[300] = 5.0f;
    y[1700] = 5.000000476837158f; // the float after 5
    const Line flat{0.0, 1.0, 0.0, 1999.0, 0.0, 0.0};
    // Equal samples close together on a baseline sinking by 1e-13 per
    // sample: the later one stands 1e-12 farther from it.
    std::vector<float> twins(2000, 0.0f);
    twins[300] = twins[310] = 5.0f;
    const Line sinking{0.0, 1.0, 0.0, 1999.0, 0.0, -1.999e-10};
    for (Scan scan : availableScans()) {
        const Measure m = peakscan::measure(y.data(), 0, 1999, flat, scan);
        EXPECT_EQ(m.apexTime, 1700.0);
        EXPECT_EQ(m.height, 5.000000476837158);
        const Measure t = peakscan::measure(twins.data(), 0, 1999, sinking, scan);
        EXPECT_EQ(t.apexTime, 310.0);
        EXPECT_NEAR(t.height, 5.000000000031, 1e-14);
    }
}

TEST(CmpeekMeasureEquivalence, theEarliestOfEqualDeviationsIsTheApexEvenBlocksApart)
{
    // Three samples of 5 on a zero baseline, 600 samples apart; the later two
    // tie with the first and must not displace it.
    std::vector<float> y(2000, 0.0f);
    y[300] = y[900] = y[1500] = 5.0f;
    const Line line{10.0, 0.5, 10.0, 10.0 + 0.5 * 1999, 0.0, 0.0};
    for (Scan scan : availableScans()) {
        const Measure m = peakscan::measure(y.data(), 0, 1999, line, scan);
        EXPECT_EQ(m.apexTime, 160.0);
        EXPECT_EQ(m.height, 5.0);
        EXPECT_EQ(m.sum, 15.0);
    }
}

TEST(CmpeekMeasureEquivalence, nonFiniteSamplesAndBaselinesGiveTheLoopsAnswer)
{
    std::vector<float> y(1000, 2.0f);
    y[10] = std::numeric_limits<float>::quiet_NaN();
    const Line line{0.0, 1.0, 0.0, 999.0, 0.0, 0.0};
    for (Scan scan : availableScans()) {
        const Measure m = peakscan::measure(y.data(), 0, 999, line, scan);
        EXPECT_TRUE(std::isnan(m.sum));
        EXPECT_EQ(m.apexTime, 0.0); // the NaN deviation never wins, the first 2 does
        EXPECT_EQ(m.height, 2.0);
    }
    // Every deviation NaN: the loop never finds an apex and leaves zeros.
    const Line nanBase{0.0, 1.0, 0.0, 999.0, kNaN, 0.0};
    for (Scan scan : availableScans()) {
        const Measure m = peakscan::measure(y.data(), 0, 999, nanBase, scan);
        EXPECT_EQ(m.apexTime, 0.0);
        EXPECT_EQ(m.height, 0.0);
    }
}

TEST(CPeeksTableNestingEquivalence, randomTablesMatchTheEveryPairLoop)
{
    std::mt19937_64 rng(4242);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 40; ++round) {
        const CLattice signal(makeSignal(rng, SignalKind::Chromatogram, 5000), 0.0, 0.01);
        std::vector<cmpeek> peaks(1 + rng() % 60);
        for (cmpeek& p : peaks) {
            const double start = unit(rng) * 55 - 2;
            p.startTime = start;
            p.endTime = start + unit(rng) * 8;
            switch (rng() % 8) {
            case 0: // inside an earlier peak, or on its very boundaries
                if (&p != &peaks.front()) {
                    const cmpeek& outer = peaks[rng() % size_t(&p - &peaks.front())];
                    const double span = outer.endTime - outer.startTime;
                    p.startTime = rng() % 2 ? outer.startTime : outer.startTime + unit(rng) * span;
                    p.endTime = rng() % 2 ? outer.endTime : p.startTime + unit(rng) * (outer.endTime - p.startTime);
                }
                break;
            case 1: std::swap(p.startTime, p.endTime); break;
            case 2: (rng() % 2 ? p.startTime : p.endTime) = kNaN; break;
            case 3: p.endTime = p.startTime; break;
            default: break;
            }
        }
        // A few fused pairs, linked as the loader links them.
        for (size_t i = 0; i + 1 < peaks.size(); i += 5) {
            if (rng() % 2 == 0 && peaks[i].previous < 0) {
                peaks[i].next = static_cast<std::int32_t>(i + 1);
                peaks[i + 1].previous = static_cast<std::int32_t>(i);
            }
        }
        std::vector<cmpeek> want = peaks;
        referenceRecompute(want, signal);

        CPeeksTable table;
        table.setSignal(&signal);
        table.peaks() = peaks;
        table.RecomputePeaks();
        for (size_t i = 0; i < peaks.size(); ++i)
            ASSERT_TRUE(samePeak(table.peaks()[i], want[i])) << "round " << round << ", peak " << i;
    }
}
