// The whole "Пересчитать" on the sample set of one sampling run, as the main
// window runs it on its list (every listed file read again on all cores and
// its peaks measured again, the list sorted, the roles assigned, every
// calculation stage run), against merely reading the same files' bytes.
// The ratio is printed at the end. Also the result tables' rows, which the
// window builds again after every calculation.

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
#include "tables/ResultTables.h"

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

// The window hands the reading a progress report; this one lets it run on.
const ReadProgress kGoOn = [](int, int) { return true; };

// The list as the window holds it before the command: every file read once.
std::vector<ChromatogramRecord> listedSampleSet(const Laboratory& l)
{
    std::vector<ChromatogramRecord> records;
    AddChromatograms(records, l.set.chromatograms, l.cylinders);
    SortChromatograms(records);
    AssignCalculationTypes(records, l.settings->general);
    return records;
}

void recalculateSampleSet(benchmark::State& state)
{
    Laboratory& l = lab();
    if (!l.ready) {
        state.SkipWithError("no sample set");
        return;
    }
    std::vector<ChromatogramRecord> records = listedSampleSet(l);
    CalcData data;
    data.SetReferenceTables(l.gas, l.temp);
    MessageLog log;
    for (auto _ : state) {
        RereadChromatograms(records, l.cylinders, kGoOn);
        SortChromatograms(records);
        AssignCalculationTypes(records, l.settings->general);
        log.ClearMessages();
        data.Recalculate(&l.cylinders, &records, l.settings.get(), log);
        benchmark::DoNotOptimize(data.pg().compFract2Result.rows.data());
    }
    if (records.size() != static_cast<std::size_t>(l.set.chromatograms.size()) || !log.errors().empty())
        state.SkipWithError("the set did not recalculate cleanly");
}

// The two halves of the whole: reading the listed files again, and the
// calculation on records already read. The files are also opened one after
// another on one core, which is what each file costs.
void openSampleSetFiles(benchmark::State& state)
{
    Laboratory& l = lab();
    std::vector<ChromatogramRecord> records = listedSampleSet(l);
    for (auto _ : state) {
        RereadChromatograms(records, l.cylinders, kGoOn);
        benchmark::DoNotOptimize(records.data());
    }
}

void openSampleSetFilesOneByOne(benchmark::State& state)
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

// The calculation on the listed set, without reading it again.
struct Calculation
{
    explicit Calculation(const Laboratory& l)
        : lab(l)
        , records(listedSampleSet(l))
    {
        data.SetReferenceTables(l.gas, l.temp);
    }
    void run()
    {
        log.ClearMessages();
        data.Recalculate(&lab.cylinders, &records, lab.settings.get(), log);
    }

    const Laboratory& lab;
    const std::vector<ChromatogramRecord> records;
    CalcData data;
    MessageLog log;
};

void calculateSampleSet(benchmark::State& state)
{
    Calculation calc(lab());
    for (auto _ : state) {
        calc.run();
        benchmark::DoNotOptimize(calc.data.pg().compFract2Result.rows.data());
    }
}

void buildSampleSetTables(benchmark::State& state)
{
    Calculation calc(lab());
    calc.run();
    const GeneralSettings& general = calc.lab.settings->general;
    ResultTables tables;
    tables.Setup(general);
    for (auto _ : state) {
        for (const auto& group : {tables.gs.All(), tables.gd.All(), tables.dc.All(), tables.pg.All()}) {
            for (ResultTable* table : group) {
                table->UpdateConcColumns(general);
                table->BuildRows(calc.data, general);
            }
        }
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
BENCHMARK(openSampleSetFilesOneByOne)->Unit(benchmark::kMillisecond);
BENCHMARK(calculateSampleSet)->Unit(benchmark::kMillisecond);
BENCHMARK(buildSampleSetTables)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, [](const RatioReporter& reporter) {
        reporter.PrintRatio("recalculation / read ratio", "recalculateSampleSet", "readSampleSetBytes", " (target <= 2)");
    });
}
