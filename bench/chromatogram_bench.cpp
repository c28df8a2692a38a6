// Opening a chromatogram (compound file, signal, peak table re-measured on
// the signal, passport) against merely reading the same file's bytes, for two
// files of 4 000 000 samples and 300 peaks: "wide", whose peaks cover about
// three quarters of the signal (the worst case for measuring), and "narrow",
// whose peaks are about 2 000 samples wide each, as in a real run.
// The ratio of each pair is printed at the end.

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include "data/ChmFile.h"
#include "support/StgWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kSamples = 4000000;
constexpr int kPeaks = 300;
constexpr float kStep = 0.00025f; // minutes: 1000 minutes in all

enum class PeakShape { Wide, Narrow };

// 0.5 on a slowly wandering baseline with a little deterministic ripple.
std::vector<float> backgroundSignal()
{
    std::vector<float> samples(kSamples);
    for (int i = 0; i < kSamples; ++i)
        samples[i] = 0.5f + 0.05f * std::sin(i * 1e-5f) + 0.001f * static_cast<float>((static_cast<long long>(i) * 7919) % 13);
    return samples;
}

void addGaussian(std::vector<float>& samples, double apex, double sigma, double height)
{
    const int lo = std::max(0, static_cast<int>((apex - 5 * sigma) / kStep));
    const int hi = std::min(kSamples - 1, static_cast<int>((apex + 5 * sigma) / kStep));
    for (int i = lo; i <= hi; ++i) {
        const double z = (i * static_cast<double>(kStep) - apex) / sigma;
        samples[i] += static_cast<float>(height * std::exp(-0.5 * z * z));
    }
}

// Wide: 300 Gaussian peaks, every third fused with the next one, the fused
// pairs reaching to the middle between neighbours.
testsupport::StgTable widePeaks(std::vector<float>& samples)
{
    testsupport::StgTable table;
    const double spacing = kSamples * static_cast<double>(kStep) / (kPeaks + 1);
    for (int k = 0; k < kPeaks; ++k) {
        const double apex = spacing * (k + 1);
        const double sigma = spacing / 12;
        addGaussian(samples, apex, sigma, 10.0 + k % 7);
        const bool fused = k % 3 == 0 && k + 1 < kPeaks;
        table.peaks.append(testsupport::peak(apex - 4 * sigma, fused ? apex + spacing / 2 : apex + 4 * sigma,
                                             k * 0.1, QStringLiteral("Пик %1").arg(k), fused ? k + 1 : -1));
        if (k % 3 == 1)
            table.peaks.back().start = apex - spacing / 2;
    }
    return table;
}

// Narrow: 300 Gaussian peaks of 8 sigma = 2 000 samples; every third one
// fused with a neighbour that follows right after it.
testsupport::StgTable narrowPeaks(std::vector<float>& samples)
{
    testsupport::StgTable table;
    const double spacing = kSamples * static_cast<double>(kStep) / (kPeaks + 1);
    const double sigma = 250 * static_cast<double>(kStep);
    for (int k = 0; k < kPeaks; ++k) {
        const bool fusedHead = k % 3 == 0 && k + 1 < kPeaks;
        const bool fusedTail = k % 3 == 1;
        const double apex = fusedTail ? spacing * k + 8 * sigma : spacing * (k + 1);
        addGaussian(samples, apex, sigma, 10.0 + k % 7);
        table.peaks.append(testsupport::peak(apex - 4 * sigma, apex + 4 * sigma, k * 0.1,
                                             QStringLiteral("Пик %1").arg(k), fusedHead ? k + 1 : -1));
    }
    return table;
}

const QString& benchFile(PeakShape shape)
{
    static QTemporaryDir dir;
    static std::map<PeakShape, QString> paths;
    const auto known = paths.find(shape);
    if (known != paths.end())
        return known->second;

    std::vector<float> samples = backgroundSignal();
    const testsupport::StgTable table = shape == PeakShape::Wide ? widePeaks(samples) : narrowPeaks(samples);
    testsupport::StgPassport passport;
    passport.sample = QStringLiteral("Бенчмарк");
    const QString name = shape == PeakShape::Wide ? QStringLiteral("wide.stg") : QStringLiteral("narrow.stg");
    const QString p = dir.filePath(name);
    if (!testsupport::writeStgFile(p, testsupport::stgStreams(samples, 0.0f, kStep, 2 * kStep, table, passport)))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(p));
    return paths.emplace(shape, p).first->second;
}

void openChromatogram(benchmark::State& state, PeakShape shape)
{
    const QString& path = benchFile(shape);
    for (auto _ : state) {
        COpenedChmFile file;
        if (file.Open(path) != 1) {
            state.SkipWithError("the file did not open");
            break;
        }
        benchmark::DoNotOptimize(file.peakTable().peaks().data());
    }
}

void readFileBytes(benchmark::State& state, PeakShape shape)
{
    const QString& path = benchFile(shape);
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the file did not open");
            break;
        }
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
}

BENCHMARK_CAPTURE(openChromatogram, wide, PeakShape::Wide)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readFileBytes, wide, PeakShape::Wide)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openChromatogram, narrow, PeakShape::Narrow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readFileBytes, narrow, PeakShape::Narrow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, [](const RatioReporter& reporter) {
        for (const std::string shape : {"wide", "narrow"}) {
            reporter.PrintRatio(shape + " peaks: open / read ratio", "openChromatogram/" + shape,
                                "readFileBytes/" + shape, " (target <= 1.5)");
        }
    });
}
