#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class ArchiveReader;
class CLattice;

// One peak of a chromatogram's peak table. Boundaries, name, concentration and
// links come from the file; apex time, height, area and, for a lone peak, the
// baseline are measured again on the signal.
class cmpeek
{
public:
    // A named extra parameter of a peak or of a whole table; kept, never interpreted.
    struct TwinsDopParam
    {
        QString name = QStringLiteral("noname");
        QString value = QStringLiteral("novalue");
    };

    double apexTime = 0.0;       // minutes
    double area = 0.0;           // signal units x minutes
    double height = 0.0;         // signal units
    double concentration = 0.0;  // the data system's own result, passed on unchanged
    QString name;
    std::uint32_t index = 0;     // position in the table
    std::uint32_t extraWord = 0; // stored from format version 2
    std::int32_t previous = -1;  // previous peak of the fused group, -1 for none
    std::int32_t next = -1;      // next peak of the fused group, -1 for none
    double baselineEnd = 0.0;
    double baselineStart = 0.0;
    double startTime = 0.0;      // minutes
    double endTime = 0.0;        // minutes
    std::vector<TwinsDopParam> parameters;

    // Reads one peak record of the given format version. Throws ArchiveException.
    void Serialize(ArchiveReader& ar, std::int32_t version, std::uint32_t peakIndex);

    // Apex time, height and area between startTime and endTime; a lone peak
    // also takes its baseline from the signal there.
    // Throws std::invalid_argument for a signal of fewer than two samples.
    void ComputePeak(const CLattice& signal);
};

// Reads a parameter list of the given format version (nothing before version 3).
// Throws ArchiveException.
void SerializeDopParams(std::vector<cmpeek::TwinsDopParam>& list, ArchiveReader& ar, std::int32_t version);

// The peak table of one chromatogram, in file order. It measures its peaks on
// the signal it is pointed at; copies carry the peaks only.
class CPeeksTable
{
public:
    CPeeksTable() = default;
    CPeeksTable(const CPeeksTable& other);
    CPeeksTable& operator=(const CPeeksTable& other);
    CPeeksTable(CPeeksTable&& other) noexcept;
    CPeeksTable& operator=(CPeeksTable&& other) noexcept;
    virtual ~CPeeksTable() = default;

    // The signal is not owned and must outlive the table's recomputations.
    void setSignal(const CLattice* signal) { m_signal = signal; }
    const CLattice* signal() const { return m_signal; }

    const std::vector<cmpeek>& peaks() const { return m_peaks; }
    std::vector<cmpeek>& peaks() { return m_peaks; }
    const std::vector<cmpeek::TwinsDopParam>& tableParameters() const { return m_tableParameters; }

    // Loads the table from the bytes of a "Table" stream, fixes the group
    // links and measures every peak on the signal.
    // Throws ArchiveException for a damaged stream (peaks nested in one
    // another so often that their areas would take hours to correct count
    // as damage) and std::invalid_argument
    // when there is no signal, or it has fewer than two samples, while the
    // table has peaks.
    void ReadTable(const QByteArray& stream);

    // Group baselines, then every peak, then removal of nested areas.
    void RecomputePeaks();

private:
    void FixLinks();
    void ComputeGroupBaselines();
    void SubtractNestedAreas();

    std::vector<cmpeek> m_peaks;
    const CLattice* m_signal = nullptr;
    std::vector<cmpeek::TwinsDopParam> m_tableParameters;
};
