#include "data/ChmFile.h"

#include "platform/CompoundFile.h"

#include <QtEndian>

#include <algorithm>
#include <utility>

namespace {

const QString kRawDataStream = QStringLiteral("Raw_data");
const QString kTimeStream = QStringLiteral("Time");
const QString kTableStream = QStringLiteral("Table");
const QString kPassportStream = QStringLiteral("Passport");

// A passport read whole has its times from the stream, so the clock's defaults
// of a new one are never seen; they cost two looks at the local time-zone
// rules, so every read starts from a copy of one blank.
const CPassport& blankPassport()
{
    static const CPassport blank;
    return blank;
}

} // namespace

CChmFile::CChmFile()
{
    m_peakTable.setSignal(&m_signal);
}

CChmFile::~CChmFile() = default;

int CChmFile::Open(const QString& path)
{
    CompoundFile file;
    if (!file.open(path))
        return 0;
    return OpenFrom(file, path);
}

int CChmFile::OpenBytes(const QByteArray& fileBytes, const QString& path)
{
    CompoundFile file;
    if (!file.openBytes(fileBytes))
        return 0;
    return OpenFrom(file, path);
}

int CChmFile::OpenFrom(CompoundFile& file, const QString& path)
{
    try {
        // A chromatogram lacks none of the four streams. The samples go from
        // the file straight into the signal's own array: it is by far the
        // largest stream and is not copied again.
        const qint64 rawSize = file.streamSize(kRawDataStream);
        if (rawSize < 0)
            return 0;
        const qint64 sampleCount = rawSize / 4; // trailing 1 to 3 bytes are ignored
        CLattice signal;
        SampleVector& samples = signal.samples();
        samples.resize(static_cast<size_t>(sampleCount));
        if (!file.readStreamPart(kRawDataStream, 0, samples.data(), sampleCount * 4))
            return 0;
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            if (sampleCount > 0)
                qFromLittleEndian<float>(samples.data(), sampleCount, samples.data());
        }

        QByteArray time;
        QByteArray table;
        QByteArray passport;
        if (!file.readStream(kTimeStream, time) || !file.readStream(kTableStream, table)
            || !file.readStream(kPassportStream, passport))
            return 0;
        return LoadAfterSamples(std::move(signal), time, table, passport, path);
    } catch (...) {
        // A stream too large to hold in memory.
        return 0;
    }
}

int CChmFile::LoadStreams(const QByteArray& rawData, const QByteArray& time, const QByteArray& table,
                          const QByteArray& passport, const QString& path)
{
    try {
        CLattice signal;
        const qsizetype sampleCount = rawData.size() / 4; // trailing 1 to 3 bytes are ignored
        signal.samples().resize(static_cast<size_t>(sampleCount));
        if (sampleCount > 0)
            qFromLittleEndian<float>(rawData.constData(), sampleCount, signal.samples().data());
        return LoadAfterSamples(std::move(signal), time, table, passport, path);
    } catch (...) {
        return 0;
    }
}

int CChmFile::LoadAfterSamples(CLattice&& signal, const QByteArray& time, const QByteArray& table,
                               const QByteArray& passport, const QString& path)
{
    try {
        // Everything is read into fresh objects and taken over only when the
        // whole file has been read.
        double secondStep = 1.0;
        if (time.size() >= 12) {
            const float t0 = qFromLittleEndian<float>(time.constData());
            const float t1 = qFromLittleEndian<float>(time.constData() + 4);
            const float t2 = qFromLittleEndian<float>(time.constData() + 8);
            // The steps are single-precision differences, widened afterwards.
            const float step = t1 - t0;
            const float step2 = t2 - t1;
            signal.setStart(t0);
            signal.setStep(step);
            secondStep = step2;
        } else {
            signal.setStart(0.0);
            signal.setStep(1.0);
        }

        // The signal must be complete here: reading the table measures every peak on it.
        CPeeksTable peakTable;
        peakTable.setSignal(&signal);
        peakTable.ReadTable(table);

        CPassport readPassport(blankPassport());
        readPassport.Serialize(passport);
        readPassport.filePath = path;

        m_signal = std::move(signal);
        m_secondStep = secondStep;
        m_peakTable = std::move(peakTable);
        m_peakTable.setSignal(&m_signal);
        m_passport = std::move(readPassport);
        return 1;
    } catch (...) {
        // Any failure while reading (a damaged stream, a signal too short for
        // its peaks, an allocation refused) means the file cannot be opened.
        return 0;
    }
}
