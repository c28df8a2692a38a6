// Listing a folder of 2 000 chromatograms as the opening dialog does (folder
// scan, passport of each file, type filter, sort) against merely opening each
// compound file and reading its "Passport" stream's bytes; and reading the
// same files whole into list records on all cores against one at a time;
// and the start of the main window on that folder (the recent list and the
// folder scan naming the same files), with the scan's walk alone beside it;
// and "Добавить" of a copy of every listed run, each compared with its row.
// The ratios are printed at the end.

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include "data/ChromatogramFolderListing.h"
#include "data/ChromatogramList.h"
#include "platform/CompoundFile.h"
#include "support/StgWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kFiles = 2000;
constexpr int kSamples = 20000; // 100 minutes at 0.005 min
constexpr int kPeaks = 12;
constexpr float kStep = 0.005f;

struct BenchFolder
{
    QTemporaryDir dir;
    QStringList paths;
};

const BenchFolder& benchFolder()
{
    static BenchFolder folder;
    if (!folder.paths.isEmpty())
        return folder;

    std::vector<float> samples(kSamples);
    testsupport::StgTable table;
    for (int k = 0; k < kPeaks; ++k) {
        const double apex = (k + 1) * kSamples * static_cast<double>(kStep) / (kPeaks + 1);
        const double sigma = 0.1;
        table.peaks.append(testsupport::peak(apex - 4 * sigma, apex + 4 * sigma, 5.0 + k,
                                             QStringLiteral("Пик %1").arg(k)));
        for (int i = 0; i < kSamples; ++i) {
            const double z = (i * static_cast<double>(kStep) - apex) / sigma;
            samples[static_cast<std::size_t>(i)] += static_cast<float>(100.0 * std::exp(-0.5 * z * z));
        }
    }
    for (int f = 0; f < kFiles; ++f) {
        testsupport::StgPassport passport;
        passport.sample = QStringLiteral("ГС скв. %1").arg(f % 50);
        passport.method = f % 3 ? QStringLiteral("ГАЗ-1") : QStringLiteral("ГАЗ-2");
        passport.samplingSpot = QStringLiteral("Сепаратор %1").arg(f % 4);
        passport.samplingPoint = QStringLiteral("Куст %1").arg(f % 7);
        passport.calibrationFlag = f % 10 == 0 ? 1u : 0u;
        passport.analysisTime = 1700000000 + static_cast<std::int64_t>(f) * 1800;
        passport.comment = QStringLiteral("Анализ для проверки скорости");
        const QString path = folder.dir.filePath(QStringLiteral("run%1.stg").arg(f, 4, 10, QLatin1Char('0')));
        if (!testsupport::writeStgFile(path, testsupport::stgStreams(samples, 0.0f, kStep, 2 * kStep, table, passport)))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        folder.paths.append(path);
    }
    return folder;
}

// A copy of every file of the bench folder, in a folder of its own.
const BenchFolder& copiesFolder()
{
    static BenchFolder copies;
    if (!copies.paths.isEmpty())
        return copies;
    for (const QString& path : benchFolder().paths) {
        const QString copy = copies.dir.filePath(QFileInfo(path).fileName());
        if (!QFile::copy(path, copy))
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(path));
        copies.paths.append(copy);
    }
    return copies;
}

void listFolder(benchmark::State& state)
{
    const BenchFolder& folder = benchFolder();
    for (auto _ : state) {
        const std::vector<OpenListItem> items = ReadFolderItems(folder.dir.path(), OpenListAny);
        if (items.size() != static_cast<std::size_t>(kFiles)) {
            state.SkipWithError("not every file was listed");
            break;
        }
        benchmark::DoNotOptimize(items.data());
    }
}

void readPassportStreams(benchmark::State& state)
{
    const BenchFolder& folder = benchFolder();
    for (auto _ : state) {
        for (const QString& path : folder.paths) {
            CompoundFile file;
            QByteArray bytes;
            if (!file.open(path) || !file.readStream(QStringLiteral("Passport"), bytes)) {
                state.SkipWithError("a passport stream could not be read");
                return;
            }
            benchmark::DoNotOptimize(bytes.constData());
        }
    }
}

void readRecordsOnAllCores(benchmark::State& state)
{
    const BenchFolder& folder = benchFolder();
    const MixtureList mixtures;
    for (auto _ : state) {
        std::vector<ChromatogramRecord> records;
        AddChromatograms(records, folder.paths, mixtures);
        if (records.size() != static_cast<std::size_t>(kFiles)) {
            state.SkipWithError("not every file was read");
            break;
        }
        benchmark::DoNotOptimize(records.data());
    }
}

void readRecordsOneByOne(benchmark::State& state)
{
    const BenchFolder& folder = benchFolder();
    const MixtureList mixtures;
    for (auto _ : state) {
        std::vector<ChromatogramRecord> records;
        for (const QString& path : folder.paths)
            AddChromatogram(records, path, mixtures);
        benchmark::DoNotOptimize(records.data());
    }
}

void collectPaths(benchmark::State& state)
{
    const BenchFolder& folder = benchFolder();
    for (auto _ : state) {
        const QStringList paths = CollectChromatogramPaths(folder.dir.path());
        if (paths.size() != kFiles) {
            state.SkipWithError("the scan did not find every file");
            break;
        }
        benchmark::DoNotOptimize(paths.constData());
    }
}

// As the main window starts the day after: last run's recent list first,
// then the scan of the folder, each naming all 2 000 files.
void startScan(benchmark::State& state)
{
    const BenchFolder& folder = benchFolder();
    const MixtureList mixtures;
    for (auto _ : state) {
        std::vector<ChromatogramRecord> records;
        AddChromatograms(records, folder.paths + CollectChromatogramPaths(folder.dir.path()), mixtures);
        if (records.size() != static_cast<std::size_t>(kFiles)) {
            state.SkipWithError("not every file was listed once");
            break;
        }
        benchmark::DoNotOptimize(records.data());
    }
}

// Every file read holds a listed run: it is compared with the run's row
// sample for sample, its listed path asked after, and it is left out.
void addCopies(benchmark::State& state)
{
    const QStringList& copies = copiesFolder().paths;
    const MixtureList mixtures;
    std::vector<ChromatogramRecord> records;
    AddChromatograms(records, benchFolder().paths, mixtures);
    ListReading leftOut;
    for (auto _ : state) {
        AddChromatograms(records, copies, mixtures, {}, &(leftOut = {}));
        if (records.size() != static_cast<std::size_t>(kFiles) || leftOut.copies.size() != records.size()) {
            state.SkipWithError("a copy was listed, or a file was not read");
            break;
        }
    }
}

BENCHMARK(listFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(readPassportStreams)->Unit(benchmark::kMillisecond);
BENCHMARK(readRecordsOnAllCores)->Unit(benchmark::kMillisecond);
BENCHMARK(readRecordsOneByOne)->Unit(benchmark::kMillisecond);
BENCHMARK(collectPaths)->Unit(benchmark::kMillisecond);
BENCHMARK(startScan)->Unit(benchmark::kMillisecond);
BENCHMARK(addCopies)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, [](const RatioReporter& reporter) {
        reporter.PrintRatio("listing / passport-stream reading", "listFolder", "readPassportStreams", " (target <= 2)");
        reporter.PrintRatio("whole files one by one / on all cores", "readRecordsOneByOne", "readRecordsOnAllCores",
                            " " + QStringLiteral("(%1 cores)").arg(QThread::idealThreadCount()).toStdString());
        reporter.PrintRatio("start (recent list and scan) / reading on all cores", "startScan", "readRecordsOnAllCores", "");
        reporter.PrintRatio("copies of the listed runs / reading on all cores", "addCopies", "readRecordsOnAllCores", "");
    });
}
