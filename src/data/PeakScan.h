#pragma once

#include <QtGlobal>

// Measuring one peak on the samples inside it: the double sum of the samples
// and the sample farthest from the peak's straight baseline. Bit for bit the
// result of the plain loop
//
//     best = -DBL_MAX; apexTime = height = sum = 0
//     for i = i0 .. i1:
//         t = s0 + i * h
//         base = (b == a) ? bs : bs + (t - a) * (be - bs) / (b - a)
//         d = |y[i] - base|
//         if d > best: best = d, apexTime = t, height = d
//         sum += y[i]
//
// for every input, only faster on long peaks.
namespace peakscan {

// The sample grid (sample i at s0 + i * h) and the baseline from (a, bs) to (b, be).
struct Line
{
    double s0 = 0.0;
    double h = 1.0;
    double a = 0.0;
    double b = 0.0;
    double bs = 0.0;
    double be = 0.0;
};

struct Measure
{
    double sum = 0.0;
    double apexTime = 0.0;
    double height = 0.0;
};

// The baseline at sample i, rounded exactly as the plain loop rounds it.
inline double baselineAt(const Line& line, qsizetype i)
{
    const double t = line.s0 + static_cast<double>(i) * line.h;
    return (line.b == line.a) ? line.bs : line.bs + (t - line.a) * (line.be - line.bs) / (line.b - line.a);
}

// The ways of scanning the samples; each gives the same results, only at its
// own speed. Fastest is the quickest one this processor has.
enum class Scan { Fastest, Plain, Sse2, Avx };
bool scanAvailable(Scan kind);

// Over y[i0] .. y[i1], 0 <= i0 <= i1; the caller guarantees the samples exist.
// A scan this processor lacks falls back to the plain loop.
Measure measure(const float* y, qsizetype i0, qsizetype i1, const Line& line, Scan kind = Scan::Fastest);

} // namespace peakscan
