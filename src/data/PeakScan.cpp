#include "data/PeakScan.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define TAVRIN_PEAKSCAN_X86 1
#include <immintrin.h>
#endif

namespace peakscan {

namespace {

// Samples are looked at in blocks: one pass gathers each block's smallest and
// largest sample and its sum; the sum is then taken block by block where that
// is provably exact, and only the blocks that may hold the apex are measured
// sample by sample.
constexpr qsizetype kBlock = 128;
// Below this many samples the plain loop is as quick.
constexpr qsizetype kShortest = 64;

struct BlockStats
{
    float lo;
    float hi;
    double sum; // in any order; used only where every order gives the same bits
};

// Each scan below fills out[k] for the samples p[k * kBlock] onwards, the last
// block taking what is left of count (count >= 1).

// Any platform.
void scanPlain(const float* p, qsizetype count, BlockStats* out)
{
    for (qsizetype k = 0; k * kBlock < count; ++k) {
        const float* q = p + k * kBlock;
        const qsizetype n = std::min(kBlock, count - k * kBlock);
        float lo = q[0];
        float hi = q[0];
        double sum = 0.0;
        for (qsizetype j = 0; j < n; ++j) {
            const float v = q[j];
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
            sum += v;
        }
        out[k] = {lo, hi, sum};
    }
}

#ifdef TAVRIN_PEAKSCAN_X86

// SSE2 is the x86-64 baseline. Four double accumulators hide the latency of
// the additions; the order they impose is harmless, see addsExactly().
void scanSse2(const float* p, qsizetype count, BlockStats* out)
{
    for (qsizetype k = 0; k * kBlock < count; ++k) {
        const float* q = p + k * kBlock;
        const qsizetype n = std::min(kBlock, count - k * kBlock);
        const qsizetype wide = n - n % 8;
        __m128 lo = _mm_set1_ps(q[0]);
        __m128 hi = lo;
        __m128d s0 = _mm_setzero_pd();
        __m128d s1 = _mm_setzero_pd();
        __m128d s2 = _mm_setzero_pd();
        __m128d s3 = _mm_setzero_pd();
        for (qsizetype j = 0; j < wide; j += 8) {
            const __m128 v0 = _mm_loadu_ps(q + j);
            const __m128 v1 = _mm_loadu_ps(q + j + 4);
            lo = _mm_min_ps(lo, _mm_min_ps(v0, v1));
            hi = _mm_max_ps(hi, _mm_max_ps(v0, v1));
            s0 = _mm_add_pd(s0, _mm_cvtps_pd(v0));
            s1 = _mm_add_pd(s1, _mm_cvtps_pd(_mm_movehl_ps(v0, v0)));
            s2 = _mm_add_pd(s2, _mm_cvtps_pd(v1));
            s3 = _mm_add_pd(s3, _mm_cvtps_pd(_mm_movehl_ps(v1, v1)));
        }
        for (qsizetype j = wide; j < n; ++j) {
            const __m128 v = _mm_set_ss(q[j]);
            lo = _mm_min_ss(lo, v);
            hi = _mm_max_ss(hi, v);
            s0 = _mm_add_sd(s0, _mm_cvtss_sd(_mm_setzero_pd(), v));
        }
        lo = _mm_min_ps(lo, _mm_movehl_ps(lo, lo));
        lo = _mm_min_ss(lo, _mm_shuffle_ps(lo, lo, 1));
        hi = _mm_max_ps(hi, _mm_movehl_ps(hi, hi));
        hi = _mm_max_ss(hi, _mm_shuffle_ps(hi, hi, 1));
        const __m128d s = _mm_add_pd(_mm_add_pd(s0, s1), _mm_add_pd(s2, s3));
        out[k] = {_mm_cvtss_f32(lo), _mm_cvtss_f32(hi), _mm_cvtsd_f64(_mm_add_sd(s, _mm_unpackhi_pd(s, s)))};
    }
}

// The same eight floats at a time, on processors that have AVX.
__attribute__((target("avx"))) void scanAvx(const float* p, qsizetype count, BlockStats* out)
{
    for (qsizetype k = 0; k * kBlock < count; ++k) {
        const float* q = p + k * kBlock;
        const qsizetype n = std::min(kBlock, count - k * kBlock);
        const qsizetype wide = n - n % 16;
        __m256 lo = _mm256_set1_ps(q[0]);
        __m256 hi = lo;
        __m256d s0 = _mm256_setzero_pd();
        __m256d s1 = _mm256_setzero_pd();
        __m256d s2 = _mm256_setzero_pd();
        __m256d s3 = _mm256_setzero_pd();
        for (qsizetype j = 0; j < wide; j += 16) {
            const __m256 v0 = _mm256_loadu_ps(q + j);
            const __m256 v1 = _mm256_loadu_ps(q + j + 8);
            lo = _mm256_min_ps(lo, _mm256_min_ps(v0, v1));
            hi = _mm256_max_ps(hi, _mm256_max_ps(v0, v1));
            s0 = _mm256_add_pd(s0, _mm256_cvtps_pd(_mm256_castps256_ps128(v0)));
            s1 = _mm256_add_pd(s1, _mm256_cvtps_pd(_mm256_extractf128_ps(v0, 1)));
            s2 = _mm256_add_pd(s2, _mm256_cvtps_pd(_mm256_castps256_ps128(v1)));
            s3 = _mm256_add_pd(s3, _mm256_cvtps_pd(_mm256_extractf128_ps(v1, 1)));
        }
        __m128 lo4 = _mm_min_ps(_mm256_castps256_ps128(lo), _mm256_extractf128_ps(lo, 1));
        __m128 hi4 = _mm_max_ps(_mm256_castps256_ps128(hi), _mm256_extractf128_ps(hi, 1));
        const __m256d s4 = _mm256_add_pd(_mm256_add_pd(s0, s1), _mm256_add_pd(s2, s3));
        __m128d s = _mm_add_pd(_mm256_castpd256_pd128(s4), _mm256_extractf128_pd(s4, 1));
        for (qsizetype j = wide; j < n; ++j) {
            const __m128 v = _mm_set_ss(q[j]);
            lo4 = _mm_min_ss(lo4, v);
            hi4 = _mm_max_ss(hi4, v);
            s = _mm_add_sd(s, _mm_cvtss_sd(_mm_setzero_pd(), v));
        }
        lo4 = _mm_min_ps(lo4, _mm_movehl_ps(lo4, lo4));
        lo4 = _mm_min_ss(lo4, _mm_shuffle_ps(lo4, lo4, 1));
        hi4 = _mm_max_ps(hi4, _mm_movehl_ps(hi4, hi4));
        hi4 = _mm_max_ss(hi4, _mm_shuffle_ps(hi4, hi4, 1));
        out[k] = {_mm_cvtss_f32(lo4), _mm_cvtss_f32(hi4), _mm_cvtsd_f64(_mm_add_sd(s, _mm_unpackhi_pd(s, s)))};
    }
}

#endif

using ScanFn = void (*)(const float*, qsizetype, BlockStats*);

// The scan of a kind, or null when this processor lacks it.
ScanFn scanOf(Scan kind)
{
    switch (kind) {
    case Scan::Plain:
        return scanPlain;
#ifdef TAVRIN_PEAKSCAN_X86
    case Scan::Sse2:
        return scanSse2;
    case Scan::Avx:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") ? scanAvx : nullptr;
    case Scan::Fastest: {
        static const ScanFn fastest = scanOf(Scan::Avx) ? scanAvx : scanSse2;
        return fastest;
    }
#else
    case Scan::Fastest:
        return scanPlain;
    default:
        break;
#endif
    }
    return nullptr;
}

float smallestNonZeroMagnitude(const float* p, qsizetype n)
{
    float smallest = std::numeric_limits<float>::infinity();
    for (qsizetype j = 0; j < n; ++j) {
        const float a = std::fabs(p[j]);
        if (a != 0.0f && a < smallest)
            smallest = a;
    }
    return smallest;
}

// Every float of magnitude at least f (finite, > 0) is a multiple of 2^result.
int ulpExponent(float f)
{
    const int biased = static_cast<int>(std::bit_cast<std::uint32_t>(f) >> 23);
    return std::max(biased, 1) - 150;
}

// s (finite, non-zero) is an odd multiple of 2^result.
int lowestBitExponent(double s)
{
    const auto bits = std::bit_cast<std::uint64_t>(s);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased != 0)
        mantissa |= std::uint64_t(1) << 52;
    return std::max(biased, 1) - 1075 + std::countr_zero(mantissa);
}

// 2^e for -1022 <= e <= 1023.
double powerOfTwo(int e)
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52);
}

// True when adding the block's samples one by one to s cannot round: then
// s + (the block's sum in any order) has the very bits of the sequential sum.
// If s and every sample are multiples of 2^e, every partial sum, in whatever
// order, is a multiple of 2^e no larger than |s| + n * max|y|; while that stays
// below 2^(e+53) each one is a double, so no addition rounds. 2^(e+52) leaves
// room for the one rounding in the test itself. s is never -0, so a block of
// zeros, whose sum is +0, leaves it as the sequential loop would.
bool addsExactly(double s, const BlockStats& st, qsizetype n, const float* p)
{
    const double lo = st.lo;
    const double hi = st.hi;
    const double maxAbs = std::max(-lo, hi);
    if (maxAbs == 0.0)
        return true;
    float smallest;
    if (lo > 0.0)
        smallest = st.lo;
    else if (hi < 0.0)
        smallest = -st.hi;
    else
        smallest = smallestNonZeroMagnitude(p, n);
    int e = ulpExponent(smallest);
    if (s != 0.0)
        e = std::min(e, lowestBitExponent(s));
    return std::fabs(s) + static_cast<double>(n) * maxAbs <= powerOfTwo(e + 52);
}

bool allFinite(const Line& line)
{
    return std::isfinite(line.s0) && std::isfinite(line.h) && std::isfinite(line.a) && std::isfinite(line.b)
           && std::isfinite(line.bs) && std::isfinite(line.be);
}

// The plain loop itself, where no shortcut is exact.
Measure measureSequentially(const float* y, qsizetype i0, qsizetype i1, const Line& line)
{
    Measure m;
    double best = -DBL_MAX;
    for (qsizetype i = i0; i <= i1; ++i) {
        const double t = line.s0 + static_cast<double>(i) * line.h;
        const double yi = y[i];
        const double d = std::fabs(yi - baselineAt(line, i));
        if (d > best) { // strictly: the earliest sample wins a tie
            best = d;
            m.apexTime = t;
            m.height = d;
        }
        m.sum += yi;
    }
    return m;
}

} // namespace

bool scanAvailable(Scan kind)
{
    return scanOf(kind) != nullptr;
}

Measure measure(const float* y, qsizetype i0, qsizetype i1, const Line& line, Scan kind)
{
    const ScanFn scan = scanOf(kind);
    if (!scan)
        return measureSequentially(y, i0, i1, line);
    const qsizetype count = i1 - i0 + 1;
    if (count < kShortest || !allFinite(line))
        return measureSequentially(y, i0, i1, line);
    // The baseline is a chain of roundings, each monotonic in i, so it is
    // monotonic too: finite at both ends, it is finite everywhere between,
    // and within a block it lies between its values at the block's ends.
    const double firstBase = baselineAt(line, i0);
    const double lastBase = baselineAt(line, i1);
    if (!std::isfinite(firstBase) || !std::isfinite(lastBase))
        return measureSequentially(y, i0, i1, line);

    const float* first = y + i0;
    const qsizetype blocks = (count + kBlock - 1) / kBlock;
    std::vector<BlockStats> stats(static_cast<size_t>(blocks));
    scan(first, count, stats.data());
    for (const BlockStats& st : stats) {
        // A NaN or infinite sample: no bound below holds.
        if (!std::isfinite(st.sum))
            return measureSequentially(y, i0, i1, line);
    }

    Measure m;
    for (qsizetype k = 0; k < blocks; ++k) {
        const float* p = first + k * kBlock;
        const qsizetype n = std::min(kBlock, count - k * kBlock);
        if (addsExactly(m.sum, stats[size_t(k)], n, p)) {
            m.sum += stats[size_t(k)].sum;
        } else {
            for (qsizetype j = 0; j < n; ++j)
                m.sum += static_cast<double>(p[j]);
        }
    }

    // Bounds of each block's deviations. With the block's samples in [ylo, yhi]
    // and its baseline in [lo, hi], every deviation is at most
    // max(yhi - lo, hi - ylo), and the block's largest one at least
    // max(yhi - hi, lo - ylo); rounding is monotonic, so the same holds for
    // the rounded differences. A block whose upper bound is below the best
    // lower bound of any block cannot hold the apex.
    struct Reach
    {
        double lo;    // baseline
        double hi;
        double upper; // deviation
    };
    std::vector<Reach> reach(static_cast<size_t>(blocks));
    double floor = -std::numeric_limits<double>::infinity();
    double startBase = firstBase;
    for (qsizetype k = 0; k < blocks; ++k) {
        const double endBase = k + 1 < blocks ? baselineAt(line, i0 + (k + 1) * kBlock) : lastBase;
        const double lo = std::min(startBase, endBase);
        const double hi = std::max(startBase, endBase);
        const double ylo = stats[size_t(k)].lo;
        const double yhi = stats[size_t(k)].hi;
        reach[size_t(k)] = {lo, hi, std::max(yhi - lo, hi - ylo)};
        floor = std::max(floor, std::max(yhi - hi, lo - ylo));
        startBase = endBase;
    }

    // Inside a block that may hold the apex the same bound, taken sample by
    // sample, passes over the samples that can neither reach the floor nor
    // beat the best deviation found so far.
    double best = -DBL_MAX;
    for (qsizetype k = 0; k < blocks; ++k) {
        const Reach& r = reach[size_t(k)];
        if (r.upper < floor)
            continue;
        const qsizetype from = i0 + k * kBlock;
        const qsizetype to = std::min(from + kBlock - 1, i1);
        for (qsizetype i = from; i <= to; ++i) {
            const double yi = y[i];
            const double bound = std::max(yi - r.lo, r.hi - yi);
            if (bound < floor || bound <= best)
                continue;
            const double t = line.s0 + static_cast<double>(i) * line.h;
            const double d = std::fabs(yi - baselineAt(line, i));
            if (d > best) {
                best = d;
                m.apexTime = t;
                m.height = d;
            }
        }
    }
    return m;
}

} // namespace peakscan
