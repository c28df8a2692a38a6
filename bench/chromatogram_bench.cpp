// Opening a chromatogram (compound file, signal, peak table re-measured on
// the signal, passport) against merely reading the same file's bytes.
// The ratio of the two is printed at the end.

#include <benchmark/benchmark.h>

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

// One file for every benchmark: 4 000 000 samples, 300 Gaussian peaks on a
// slowly wandering baseline, every third peak fused with the next one.
const QString& benchFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        std::vector<float> samples(kSamples);
        for (int i = 0; i < kSamples; ++i)
            samples[i] = 0.5f + 0.05f * std::sin(i * 1e-5f) + 0.001f * static_cast<float>((static_cast<long long>(i) * 7919) % 13);
        testsupport::StgTable table;
        const double spacing = kSamples * static_cast<double>(kStep) / (kPeaks + 1);
        for (int k = 0; k < kPeaks; ++k) {
            const double apex = spacing * (k + 1);
            const double sigma = spacing / 12;
            const int lo = static_cast<int>((apex - 5 * sigma) / kStep);
            const int hi = static_cast<int>((apex + 5 * sigma) / kStep);
            for (int i = lo; i <= hi; ++i) {
                const double z = (i * static_cast<double>(kStep) - apex) / sigma;
                samples[i] += static_cast<float>((10.0 + k % 7) * std::exp(-0.5 * z * z));
            }
            const bool fused = k % 3 == 0 && k + 1 < kPeaks;
            table.peaks.append(testsupport::peak(apex - 4 * sigma, fused ? apex + spacing / 2 : apex + 4 * sigma,
                                                 k * 0.1, QStringLiteral("Пик %1").arg(k), fused ? k + 1 : -1));
            if (k % 3 == 1)
                table.peaks.back().start = apex - spacing / 2;
        }
        testsupport::StgPassport passport;
        passport.sample = QStringLiteral("Бенчмарк");
        const QString p = dir.filePath(QStringLiteral("bench.stg"));
        if (!testsupport::writeStgFile(p, testsupport::stgStreams(samples, 0.0f, kStep, 2 * kStep, table, passport)))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p));
        return p;
    }();
    return path;
}

void BM_OpenChromatogram(benchmark::State& state)
{
    const QString& path = benchFile();
    for (auto _ : state) {
        COpenedChmFile file;
        if (file.Open(path) != 1) {
            state.SkipWithError("the file did not open");
            break;
        }
        benchmark::DoNotOptimize(file.peakTable().peaks().data());
    }
}
BENCHMARK(BM_OpenChromatogram)->Unit(benchmark::kMillisecond);

void BM_ReadFileBytes(benchmark::State& state)
{
    const QString& path = benchFile();
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
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration (the median when repeated) to
// print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatio() const
    {
        const auto open = m_times.find("BM_OpenChromatogram");
        const auto read = m_times.find("BM_ReadFileBytes");
        if (open == m_times.end() || read == m_times.end() || read->second <= 0)
            return;
        std::printf("open / read ratio: %.2f (target <= 1.5)\n", open->second / read->second);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    return 0;
}
