#include "data/ChmFile.h"

#include "platform/CompoundFile.h"

#include <QtEndian>

#include <utility>

namespace {

const QString kRawDataStream = QStringLiteral("Raw_data");
const QString kTimeStream = QStringLiteral("Time");
const QString kTableStream = QStringLiteral("Table");
const QString kPassportStream = QStringLiteral("Passport");

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
        // A chromatogram lacks none of the four streams.
        QByteArray rawData;
        QByteArray time;
        QByteArray table;
        QByteArray passport;
        if (!file.readStream(kRawDataStream, rawData) || !file.readStream(kTimeStream, time)
            || !file.readStream(kTableStream, table) || !file.readStream(kPassportStream, passport))
            return 0;
        return LoadStreams(rawData, time, table, passport, path);
    } catch (...) {
        // A stream too large to hold in memory.
        return 0;
    }
}

int CChmFile::LoadStreams(const QByteArray& rawData, const QByteArray& time, const QByteArray& table,
                          const QByteArray& passport, const QString& path)
{
    try {
        // Everything is read into fresh objects and taken over only when the
        // whole file has been read.
        CLattice signal;
        const qsizetype sampleCount = rawData.size() / 4; // trailing 1 to 3 bytes are ignored
        // One copy of the whole stream; on little-endian hosts this is a plain memcpy.
        signal.samples().resize(static_cast<size_t>(sampleCount));
        if (sampleCount > 0)
            qFromLittleEndian<float>(rawData.constData(), sampleCount, signal.samples().data());

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

        CPassport readPassport;
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
