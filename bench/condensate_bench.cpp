// The areas of the condensate С6-С44 calculators against one plain pass
// that sums the same samples: three parallels of 1 000 000 samples with 400
// peaks each, the peaks covering nine tenths of the signal, every fifth with
// a shoulder peak inside it and every seventh overlapping its neighbour.
// "fractionAreas" cuts each parallel into the 48 boiling ranges along a
// calibration curve that spans the signal, "groupAreas" into the seven
// carbon-number groups; "fractionsCalculate" is the whole calculator with
// its copies of the signals. The ratios to the plain pass print at the end.

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include "calc/CalcData.h"
#include "data/ChromatogramSlot.h"
#include "calc/CondensateC6C44.h"
#include "calc/SignalIntegration.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kSamples = 1000000;
constexpr int kPeaks = 400;
constexpr int kParallels = 3;
constexpr double kStep = 0.000125;  // minutes: 125 minutes in all

ChromatogramRecord parallel(int k)
{
    ChromatogramRecord record;
    record.role = SlotDcC6C44_1 + k;
    std::vector<float> y(kSamples);
    for (int i = 0; i < kSamples; ++i)
        y[i] = 0.3f + 0.02f * std::sin(i * 3e-6f) + 0.001f * static_cast<float>((static_cast<long long>(i) * 7919 + k) % 13);
    const double spacing = static_cast<double>(kSamples) / (kPeaks + 1);
    for (int p = 0; p < kPeaks; ++p) {
        const double apex = spacing * (p + 1);
        const double sigma = spacing / 10;
        for (int i = static_cast<int>(apex - 5 * sigma); i <= static_cast<int>(apex + 5 * sigma); ++i) {
            const double z = (i - apex) / sigma;
            y[i] += static_cast<float>((5.0 + p % 7 + k) * std::exp(-0.5 * z * z));
        }
        const double half = spacing * (p % 7 == 0 ? 0.6 : 0.45);
        cmpeek peak;
        peak.startTime = (apex - half) * kStep;
        peak.endTime = (apex + half) * kStep;
        record.peakTable.peaks().push_back(peak);
        if (p % 5 == 0) {
            cmpeek shoulder;
            shoulder.startTime = (apex + sigma) * kStep;
            shoulder.endTime = (apex + 3 * sigma) * kStep;
            record.peakTable.peaks().push_back(shoulder);
        }
    }
    record.signal = CLattice(y, 0.0, kStep);
    return record;
}

struct Inputs
{
    calc_inputs::ReferenceTables tables;
    std::vector<ChromatogramRecord> records;
    CSettings settings;
    MessageLog log;
    CalcData data;
    TemperatureResult curve;
    CalibrationPoints points;

    Inputs()
    {
        settings.general.QtyDcC6C44 = 1;
        for (int k = 0; k < kParallels; ++k)
            records.push_back(parallel(k));
        data.SetReferenceTables(tables.gas, tables.temp);
        data.Recalculate(nullptr, &records, &settings, log);
        // 40 °C at the start, 540 °C at the end; markers С6 .. С12 on the same line.
        const double span = kSamples * kStep;
        curve.rows = {{0, "Т1", "Т1", 40, 0.0}, {1, "Т2", "Т2", 540, span}};
        const double alkanes[] = {69, 98, 126, 151, 174, 196, 216};
        for (int n = 6; n <= 12; ++n)
            curve.rows.push_back({static_cast<std::uint32_t>(n), QString(QChar(0x0421)) + QString::number(n), {}, alkanes[n - 6],
                                  (alkanes[n - 6] - 40) / 500 * span});
        points = {{40, 0.0}, {540, span}};
    }
};

Inputs& inputs()
{
    static Inputs shared;
    return shared;
}

void plainSum(benchmark::State& state)
{
    const Inputs& in = inputs();
    for (auto _ : state) {
        for (const ChromatogramRecord& record : in.records) {
            double sum = 0.0;
            for (float v : record.signal.samples())
                sum += v;
            benchmark::DoNotOptimize(sum);
        }
    }
}

// The samples between two times of a parallel, the end clipped to its last
// sample; kSignalEnd is the last sample.
std::pair<qsizetype, qsizetype> sampleRange(const CLattice& signal, double tStart, double tEnd)
{
    const qsizetype last = signal.size() - 1;
    return {SampleIndex(signal, tStart), tEnd == kSignalEnd ? last : std::min(SampleIndex(signal, tEnd), last)};
}

// Each parallel's ranges are integrated together, as the calculators do.
void fractionAreas(benchmark::State& state)
{
    const Inputs& in = inputs();
    for (auto _ : state) {
        for (const ChromatogramRecord& record : in.records) {
            const BaselineIntegrator signal(record.signal, BuildBaselineSegments(record.signal, record.peakTable));
            std::vector<std::pair<qsizetype, qsizetype>> ranges = {
                sampleRange(record.signal, InterpolateLinear(in.points, 45), InterpolateLinear(in.points, 60))};
            for (int low = 60; low <= 520; low += 10)
                ranges.push_back(sampleRange(record.signal, InterpolateLinear(in.points, low),
                                             InterpolateLinear(in.points, low + 10)));
            benchmark::DoNotOptimize(signal.IntegratedAreas(ranges).data());
        }
    }
}

void groupAreas(benchmark::State& state)
{
    const Inputs& in = inputs();
    for (auto _ : state) {
        for (const ChromatogramRecord& record : in.records) {
            const BaselineIntegrator signal(record.signal, BuildBaselineSegments(record.signal, record.peakTable));
            std::vector<std::pair<qsizetype, qsizetype>> ranges;
            for (int j = 0; j < 7; ++j)
                ranges.push_back(sampleRange(record.signal, in.curve.rows[2 + j].retentionTime,
                                             j < 6 ? in.curve.rows[3 + j].retentionTime : kSignalEnd));
            benchmark::DoNotOptimize(signal.IntegratedAreas(ranges).data());
        }
    }
}

void fractionsCalculate(benchmark::State& state)
{
    Inputs& in = inputs();
    CalcDcC6C44Fractions fractions;
    const CalcEnvironment env{in.log, in.tables.gas, in.tables.temp};
    for (auto _ : state) {
        in.log.ClearMessages();
        const CondensateResult r = fractions.Calculate(&in.data, &in.settings, {}, in.curve, {}, {}, env);
        benchmark::DoNotOptimize(r.rows.data());
    }
}

BENCHMARK(plainSum)->Unit(benchmark::kMillisecond);
BENCHMARK(fractionAreas)->Unit(benchmark::kMillisecond);
BENCHMARK(groupAreas)->Unit(benchmark::kMillisecond);
BENCHMARK(fractionsCalculate)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, [](const RatioReporter& reporter) {
        for (const std::string name : {"fractionAreas", "groupAreas"})
            reporter.PrintRatio(name + " / plainSum ratio", name, "plainSum", " (target <= 3)");
        reporter.PrintRatio("fractionsCalculate / plainSum ratio", "fractionsCalculate", "plainSum", "");
    });
}
