// The whole "Пересчитать" on the sample set of one sampling run (every file
// read and its peaks measured again, the list sorted, the roles assigned,
// every calculation stage run) against merely reading the same files' bytes.
// The ratio is printed at the end.

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include "calc/CalcData.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "data/TempComponents.h"
#include "platform/Profile.h"
#include "sampleset/SampleSet.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// The set, its settings, cylinders and reference tables, made once.
struct Laboratory
{
    QTemporaryDir dir;
    sampleset::WrittenSet set;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CSettings> settings;
    MixtureList cylinders;
    GasComponentTable gas;
    TempComponentTable temp;
    bool ready = false;

    Laboratory()
    {
        QString error;
        if (!sampleset::WriteSampleSet(dir.path(), &set, &error)) {
            std::fprintf(stderr, "cannot write the sample set: %s\n", qPrintable(error));
            return;
        }
        profile = std::make_unique<Profile>(set.profilePath);
        settings = std::make_unique<CSettings>(*profile);
        MixturesDatabase(set.mixturesPath).load(cylinders);
        gas.Build(nullptr);
        temp.Build(nullptr);
        ready = true;
    }
};

Laboratory& lab()
{
    static Laboratory instance;
    return instance;
}

void recalculateSampleSet(benchmark::State& state)
{
    Laboratory& l = lab();
    if (!l.ready) {
        state.SkipWithError("no sample set");
        return;
    }
    CalcData data;
    data.SetReferenceTables(l.gas, l.temp);
    MessageLog log;
    std::vector<ChromatogramRecord> records;
    for (auto _ : state) {
        records.clear();
        for (const QString& path : l.set.chromatograms)
            AddChromatogram(records, path, l.cylinders);
        SortChromatograms(records);
        AssignCalculationTypes(records, l.settings->general);
        log.ClearMessages();
        data.Recalculate(&l.cylinders, &records, l.settings.get(), log);
        benchmark::DoNotOptimize(data.pg().compFract2Result.rows.data());
    }
    if (records.size() != static_cast<std::size_t>(l.set.chromatograms.size()) || !log.errors().empty())
        state.SkipWithError("the set did not recalculate cleanly");
}

// The two halves of the whole: opening the files into records, and the
// calculation on records already read.
void openSampleSetFiles(benchmark::State& state)
{
    Laboratory& l = lab();
    std::vector<ChromatogramRecord> records;
    for (auto _ : state) {
        records.clear();
        for (const QString& path : l.set.chromatograms)
            AddChromatogram(records, path, l.cylinders);
        benchmark::DoNotOptimize(records.data());
    }
}

void calculateSampleSet(benchmark::State& state)
{
    Laboratory& l = lab();
    std::vector<ChromatogramRecord> records;
    for (const QString& path : l.set.chromatograms)
        AddChromatogram(records, path, l.cylinders);
    SortChromatograms(records);
    AssignCalculationTypes(records, l.settings->general);
    CalcData data;
    data.SetReferenceTables(l.gas, l.temp);
    MessageLog log;
    for (auto _ : state) {
        log.ClearMessages();
        data.Recalculate(&l.cylinders, &records, l.settings.get(), log);
        benchmark::DoNotOptimize(data.pg().compFract2Result.rows.data());
    }
}

void readSampleSetBytes(benchmark::State& state)
{
    Laboratory& l = lab();
    for (auto _ : state) {
        for (const QString& path : l.set.chromatograms) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                state.SkipWithError("a file did not open");
                return;
            }
            const QByteArray bytes = file.readAll();
            benchmark::DoNotOptimize(bytes.constData());
        }
    }
}

BENCHMARK(recalculateSampleSet)->Unit(benchmark::kMillisecond);
BENCHMARK(readSampleSetBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(openSampleSetFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(calculateSampleSet)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, [](const RatioReporter& reporter) {
        reporter.PrintRatio("recalculation / read ratio", "recalculateSampleSet", "readSampleSetBytes", " (target <= 2)");
    });
}
