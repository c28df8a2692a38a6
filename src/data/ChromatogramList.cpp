#include "data/ChromatogramList.h"

#include "data/ChmFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

namespace {

std::uint64_t sortKey(const ChromatogramRecord& record)
{
    // The number is taken as unsigned; 64 bits keep the offset from wrapping a
    // large number round to the keys of the records without a cylinder.
    return record.mixture ? std::uint64_t(static_cast<std::uint32_t>(record.mixture->number)) + 1000u : 0u;
}

void scanFolder(std::vector<ChromatogramRecord>& records, const QString& folder, const MixtureList& mixtures,
                QSet<QString>& visited)
{
    // A folder reached a second time (a link back up the tree) would make the
    // scan endless.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);

    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString path = entry.filePath();
        if (entry.isDir()) {
            if (!entry.fileName().contains(QLatin1Char('.')))
                scanFolder(records, path, mixtures, visited);
            continue;
        }
        if (path.endsWith(QStringLiteral(".stg"), Qt::CaseInsensitive))
            AddChromatogram(records, path, mixtures);
    }
}

} // namespace

int AddChromatogram(std::vector<ChromatogramRecord>& records, const QString& path, const MixtureList& mixtures)
{
    const QString cleaned = QDir::cleanPath(path);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (QDir::cleanPath(records[i].path) == cleaned)
            return static_cast<int>(i);
    }

    // Opening a pipe or a device for reading can wait for ever; only regular
    // files (or links to them) are chromatograms.
    if (!QFileInfo(path).isFile())
        return -1;
    auto file = std::make_unique<COpenedChmFile>();
    if (file->Open(path) == 0)
        return -1;

    const CPassport& passport = file->passport();
    ChromatogramRecord record;
    record.number = static_cast<std::int32_t>(records.size()) + 1;
    record.analysisTime = passport.analysisTime;
    record.path = path;
    record.sample = passport.sample;
    record.method = passport.method;
    record.samplingPoint = passport.samplingSpot;
    record.signal = file->signal();
    record.peakTable = file->peakTable();
    if (passport.calibrationFlag != 0) {
        record.isCalibration = true;
        FindMixtureForSample(record, mixtures);
    }
    BuildPeakItems(record, file->peakTable());

    records.push_back(std::move(record));
    return static_cast<int>(records.size()) - 1;
}

bool FindMixtureForSample(ChromatogramRecord& record, const MixtureList& mixtures)
{
    record.mixture = FindMixtureForSample(record.sample, mixtures);
    return record.mixture != nullptr;
}

int RemoveChromatograms(std::vector<ChromatogramRecord>& records, QList<int> rows)
{
    // From the back, so the positions still to remove keep their meaning.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int removed = 0;
    for (int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= records.size())
            continue;
        records.erase(records.begin() + row);
        for (std::size_t i = static_cast<std::size_t>(row); i < records.size(); ++i)
            --records[i].number;
        ++removed;
    }
    return removed;
}

void SortChromatograms(std::vector<ChromatogramRecord>& records)
{
    std::stable_sort(records.begin(), records.end(), [](const ChromatogramRecord& a, const ChromatogramRecord& b) {
        const std::uint64_t ka = sortKey(a);
        const std::uint64_t kb = sortKey(b);
        if (ka != kb)
            return ka < kb;
        return a.analysisTime < b.analysisTime;
    });
}

int ScanFolderForChromatograms(std::vector<ChromatogramRecord>& records, const QString& folder,
                               const MixtureList& mixtures)
{
    const std::size_t before = records.size();
    QSet<QString> visited;
    scanFolder(records, folder, mixtures, visited);
    return static_cast<int>(records.size() - before);
}
