#pragma once

#include <QByteArray>
#include <QString>

#include <cfloat>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class ArchiveReader;
class ArchiveWriter;

// The gas cylinders (certified calibration mixtures) the laboratory keeps,
// and the archive file they are stored in.

// One certified component of a cylinder.
class MixCompData
{
public:
    std::int32_t number = 0; // 1-based position in the cylinder's component list
    QString name;            // as the gas component catalogue names it
    double concentration = -DBL_MAX; // mol %; -DBL_MAX means not set
    double uncertainty = -DBL_MAX;

    void Serialize(ArchiveWriter& ar) const;
    // Throws ArchiveException when the bytes end or a length is out of range.
    void Serialize(ArchiveReader& ar);
};

// Sample kind a cylinder serves.
enum MixtureKind : std::int32_t {
    MixtureKindNone = 0,
    MixtureKindGs = 1, // separator gas
    MixtureKindGd = 2, // degassing gas
    MixtureKindDc = 3, // degassed condensate
};

// One cylinder.
class MixtureData
{
public:
    std::int32_t number = -1; // 1-based position in the cylinder list
    QString name;
    QString identifier; // looked for in the sample names of chromatograms
    std::int64_t date = 0; // date added, seconds since 1970-01-01 00:00 UTC
    std::int32_t type = MixtureKindNone;
    std::vector<MixCompData> components;

    void Serialize(ArchiveWriter& ar) const;
    // Throws ArchiveException; the object is then partly filled and not to be kept.
    void Serialize(ArchiveReader& ar);
};

// Chromatogram records keep shared references to their cylinder, so a
// cylinder deleted from the list never leaves a record pointing at freed
// memory; the record keeps the old cylinder until it is matched again.
using MixturePtr = std::shared_ptr<MixtureData>;
using MixtureList = std::vector<MixturePtr>;

// "ГС", "ГД", "ДК" for 1, 2, 3; empty for any other value.
QString MixtureTypeText(int type);

// The cylinder whose identifier, lower-cased, occurs in the lower-cased
// sample name: the longest such identifier, and of equal lengths the first in
// list order; null when none does. An empty identifier matches every sample.
MixturePtr FindMixtureForSample(const QString& sample, const MixtureList& mixtures);

// A concentration or uncertainty as typed: the whole text must be one finite
// number; "1,5" and "1.5" both read 1.5. Anything else gives nothing.
std::optional<double> ParseMixtureValue(const QString& text);

// The whole list as the archive file holds it: u32 count, then the records.
QByteArray WriteMixturesArchive(const MixtureList& mixtures);

struct MixturesArchiveContent
{
    MixtureList mixtures; // every cylinder read completely, in file order
    bool complete = false; // false: the archive is damaged; error says how
    QString error;
};

// Never throws; a damaged archive yields the cylinders read before the damage.
// Bytes after the last announced record are ignored.
MixturesArchiveContent ReadMixturesArchive(const QByteArray& bytes);

// Where the cylinder database lives on this machine.
QString DefaultMixturesPath();

// Loads and saves the database file. Remembers whether the file on disk did
// not load whole, so the next save keeps a copy of it before replacing it.
class MixturesDatabase
{
public:
    explicit MixturesDatabase(QString path = QString());

    const QString& path() const { return m_path; }
    QString backupPath() const;
    bool backupPending() const { return m_backupPending; }

    enum class LoadStatus {
        NoPath,     // nothing read, list untouched
        NoFile,     // no database yet, list untouched
        Loaded,     // list replaced by the file's cylinders
        Damaged,    // list replaced by the cylinders read before the damage
        Unreadable, // the file exists but cannot be read; list untouched
    };
    struct LoadResult
    {
        LoadStatus status = LoadStatus::NoPath;
        QString message; // for the user when Damaged or Unreadable
    };
    LoadResult load(MixtureList& mixtures);

    struct SaveResult
    {
        bool ok = false;
        bool written = false; // false with ok: no path, nothing to do
        QString message;      // for the user when not ok
    };
    // Replaces the file in one step; the file on disk is either the old one
    // or the new one, never a mixture, and a failure leaves it untouched.
    // A list whose file would pass kMaxFileSize is refused, as the next load
    // would not read it whole.
    SaveResult save(const MixtureList& mixtures);

    // A database larger than this is not ours; only its beginning is read,
    // and none larger is written.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

private:
    QString m_path;
    bool m_backupPending = false;
};
