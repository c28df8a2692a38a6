// Writes starting inputs for the fuzz targets from the test writers, so every
// seed is a well-formed input of the route it is meant for:
//   fuzz_seeds <folder>
// fills <folder>/stg_fuzz, <folder>/compound_file_disk_fuzz, <folder>/mixtures_fuzz,
// <folder>/ini_text_fuzz and <folder>/whole_path_fuzz.
// Run by scripts/fuzz-seeds.sh.

#include "WholePathInput.h"
#include "platform/IniText.h"
#include "support/MixturesArchiveBuilder.h"
#include "support/ScatteredChain.h"
#include "support/StgWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <vector>

using namespace testsupport;

namespace {

bool writeSeed(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

void appendLe16(QByteArray& bytes, qsizetype value)
{
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
}

struct StgVariant
{
    const char* name;
    int tableVersion;
    bool tableHeader;
    bool wideStrings;
    int passportVersion;
    bool shortTimes;
    int sampleCount;
    int cfbVersion;
};

StgStreams variantStreams(const StgVariant& v)
{
    std::vector<float> samples(static_cast<std::size_t>(v.sampleCount));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>((i * 37) % 11);
    StgTable table;
    table.version = v.tableVersion;
    table.header = v.tableHeader;
    table.wideStrings = v.wideStrings;
    table.peaks = {peak(0.25, 1.25, 90.0, QStringLiteral("Метан"), -1, 7, {{QStringLiteral("k"), QStringLiteral("v")}}),
                   peak(1.5, 2.5, 4.0, QStringLiteral("Этан"))};
    if (v.tableVersion >= 3)
        table.parameters = {{QStringLiteral("Колонка"), QStringLiteral("1")}};
    StgPassport passport;
    passport.version = v.passportVersion;
    passport.wideStrings = v.wideStrings;
    passport.shortTimes = v.shortTimes;
    passport.sample = QStringLiteral("Калибровка ГСО-12");
    passport.method = QStringLiteral("ГАЗ-1");
    passport.samplingPoint = QStringLiteral("скв. 41");
    passport.analysisTime = 1700000000;
    passport.calibrationFlag = 1;
    return stgStreams(samples, 0.0f, 0.25f, 0.5f, table, passport);
}

// The target's first byte picks the route: even for a whole file, odd for the
// four streams behind their u16 lengths (the passport takes the rest).
bool writeStgSeeds(const QString& folder)
{
    const StgVariant variants[] = {
        {"v4-wide", 4, true, true, 3, false, 13, 3},
        {"v4-sector4096", 4, true, true, 3, false, 13, 4},
        {"v3-ansi", 3, true, false, 2, true, 40, 3},
        {"v2", 2, true, true, 1, false, 200, 3},
        {"v1-long-signal", 1, true, true, 3, false, 3000, 3},
        {"v0-no-header", 0, false, false, 3, false, 13, 3},
    };
    bool ok = true;
    for (const StgVariant& v : variants) {
        const StgStreams streams = variantStreams(v);
        CfbOptions options;
        options.majorVersion = v.cfbVersion;
        ok = writeSeed(folder, QStringLiteral("file-%1").arg(QLatin1String(v.name)),
                       QByteArray(1, '\0') + buildStgFile(streams, options)) && ok;

        QByteArray split(1, '\1');
        const QByteArray parts[] = {streams.rawData.value_or(QByteArray()), streams.time.value_or(QByteArray()),
                                    streams.table.value_or(QByteArray()), streams.passport.value_or(QByteArray())};
        for (const QByteArray& part : parts)
            appendLe16(split, part.size() > 0xFFFF ? 0xFFFF : part.size());
        for (const QByteArray& part : parts)
            split += part;
        ok = writeSeed(folder, QStringLiteral("streams-%1").arg(QLatin1String(v.name)), split) && ok;
    }
    return ok;
}

// Whole files for the reader on disk, which takes a file of more than 64 KiB
// in windows growing from 4 KiB; the writer puts the FAT and the directory at
// the end, beyond the first window.
bool writeDiskSeeds(const QString& folder)
{
    struct DiskVariant
    {
        const char* name;
        int cfbVersion;
        int sampleCount;
        bool difat;           // 110 FAT sectors, listed through the DIFAT and read at once
        int fatSectors;       // at least so many, the FAT padded with free entries
        bool scatteredSignal; // the signal's sectors in swapped pairs, each read on its own
        qsizetype wholeSize;  // zeros appended up to this size when larger
        int tail;             // and then so many, so the file ends inside a sector
    };
    const DiskVariant variants[] = {
        {"small-read-whole", 3, 13, false, 0, false, 0, 0},
        {"small-at-window-limit", 3, 13, false, 0, false, 65536, 0},
        {"small-past-window-limit", 3, 13, false, 0, false, 65536, 1},
        {"fat-across-first-window-end", 3, 13, false, 3, false, 65536, 1},
        {"v3-long", 3, 30000, false, 0, false, 0, 0},
        {"v4-long", 4, 20000, false, 0, false, 0, 0},
        {"v3-difat", 3, 20000, true, 0, false, 0, 0},
        {"v3-scattered", 3, 17000, false, 0, true, 0, 0},
        {"v3-ends-off-the-sector-grid", 3, 30000, false, 0, false, 0, 300},
    };
    bool ok = true;
    for (const DiskVariant& v : variants) {
        const StgStreams s = variantStreams({v.name, 4, true, true, 3, false, v.sampleCount, v.cfbVersion});
        CfbOptions options;
        options.majorVersion = v.cfbVersion;
        options.forceDifatSectors = v.difat;
        options.minimumFatSectors = v.fatSectors;
        CfbLayout layout;
        QByteArray file = buildCompoundFile({{QStringLiteral("Raw_data"), *s.rawData}, {QStringLiteral("Time"), *s.time},
                                             {QStringLiteral("Table"), *s.table}, {QStringLiteral("Passport"), *s.passport}},
                                            options, &layout);
        if (v.scatteredSignal) {
            std::vector<int> order(std::size_t((s.rawData->size() + layout.sectorSize - 1) / layout.sectorSize));
            for (std::size_t k = 0; k < order.size(); ++k)
                order[k] = k == 0 ? 0 : (k % 2 == 1 ? (k + 1 < order.size() ? int(k) + 1 : int(k)) : int(k) - 1);
            scatterStreamChain(file, layout, 0, order);
        }
        if (v.wholeSize > file.size())
            file.append(QByteArray(v.wholeSize - file.size(), '\0'));
        file.append(QByteArray(v.tail, '\0'));
        ok = writeSeed(folder, QLatin1String(v.name), file) && ok;
    }
    return ok;
}

bool writeMixturesSeeds(const QString& folder)
{
    ArchiveCylinder gs = makeCylinder(1, QStringLiteral("Баллон ГС"), QStringLiteral("гсо-12"), 1700000000, 1);
    gs.components = {{1, QStringLiteral("Метан"), 95.26, 0.04}, {2, QStringLiteral("Азот"), 4.74, -1.0, true}};
    ArchiveCylinder gd = makeCylinder(2, QStringLiteral("Баллон ГД"), QStringLiteral("гд-2"), 0, 2);
    gd.ansiStrings = true;
    gd.time32 = true;
    ArchiveCylinder empty = makeCylinder(3, QString(), QString(), -1, 0);
    bool ok = writeSeed(folder, QStringLiteral("none"), buildMixturesArchive({}));
    ok = writeSeed(folder, QStringLiteral("one"), buildMixturesArchive({gs})) && ok;
    ok = writeSeed(folder, QStringLiteral("three-old-forms"), buildMixturesArchive({gs, gd, empty})) && ok;
    return ok;
}

bool writeIniSeeds(const QString& folder)
{
    const QSettings::SettingsMap profile = {
        {QStringLiteral("WState"), QByteArray("\x14\x00\x00\x00\x1e\x00\x00\x00\x00\x04\x00\x00\x30\x02\x00\x00", 16)},
        {QStringLiteral("EnableError"), 1},
        {QStringLiteral("Settings/General/qtySymInProg"), 3},
        {QStringLiteral("Settings/General/TimeStartSample"), QStringLiteral("0.0000000000")},
        {QStringLiteral("Settings/General/Methods/2_sample"), QStringLiteral("Калибровка; ГС, проба")},
        {QStringLiteral("Settings/Chrms/folder_0"), QStringLiteral(" C:\\data\\\"2\" ")},
        {QStringLiteral("Components/Gas/Метан"), QStringLiteral("@CH4")},
        {QStringLiteral("General/odd"), QVariant()},
    };
    return writeSeed(folder, QStringLiteral("profile"), WriteIniText(profile));
}

// The sample set whole, with every section of the report; each sample kind
// of it alone, reported in its own section (a whole report takes most of an
// execution); and the separator gas in the older forms of every file, its
// runs in two batches. Their signals are sampled eight times less often than
// the set's: the same peaks, read, measured and calculated in a fraction of
// the time.
bool writeWholePathSeeds(const QString& folder)
{
    wholepath::Input set = wholepath::SampleSetInput(wholepath::kCoarseStep);
    set.firstAdded = 0;
    bool ok = writeSeed(folder, QStringLiteral("sample-set"), wholepath::Encode(set));
    const auto kind = [&set](const QString& prefix, bool ReportSettings::*section) {
        wholepath::Input part = set;
        std::erase_if(part.runs, [&prefix](const wholepath::Run& run) { return !run.name.startsWith(prefix); });
        part.firstAdded = 0;
        part.report.enableMixtureList = part.report.enableGsResult = part.report.enableGdResult = false;
        part.report.enableDcResult = part.report.enablePgResult = false;
        part.report.*section = true;
        return part;
    };
    const wholepath::Input gs = kind(QStringLiteral("gs_"), &ReportSettings::enableGsResult);
    ok = writeSeed(folder, QStringLiteral("separator-gas"), wholepath::Encode(gs)) && ok;
    ok = writeSeed(folder, QStringLiteral("degassing-gas"),
                   wholepath::Encode(kind(QStringLiteral("gd_"), &ReportSettings::enableGdResult))) && ok;
    ok = writeSeed(folder, QStringLiteral("condensate"),
                   wholepath::Encode(kind(QStringLiteral("dc_"), &ReportSettings::enableDcResult))) && ok;

    wholepath::Input old = gs;
    old.report.enableMixtureList = true;
    for (ArchiveCylinder& c : old.cylinders) {
        c.ansiStrings = true;
        c.time32 = true;
    }
    for (wholepath::Run& run : old.runs) {
        run.cfbVersion = 4;
        run.passport.version = 1;
        run.passport.wideStrings = false;
        run.passport.shortTimes = true;
        run.table.version = 2;
        run.table.wideStrings = false;
    }
    old.firstAdded = static_cast<int>(old.runs.size()) / 2;
    return writeSeed(folder, QStringLiteral("old-forms"), wholepath::Encode(old)) && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool ok = writeStgSeeds(out.filePath(QStringLiteral("stg_fuzz")))
                    && writeDiskSeeds(out.filePath(QStringLiteral("compound_file_disk_fuzz")))
                    && writeMixturesSeeds(out.filePath(QStringLiteral("mixtures_fuzz")))
                    && writeIniSeeds(out.filePath(QStringLiteral("ini_text_fuzz")))
                    && writeWholePathSeeds(out.filePath(QStringLiteral("whole_path_fuzz")));
    return ok ? 0 : 1;
}
