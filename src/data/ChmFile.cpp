#include "data/ChmFile.h"

#include "platform/CompoundFile.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

const QString kRawDataStream = QStringLiteral("Raw_data");
const QString kTimeStream = QStringLiteral("Time");
const QString kTableStream = QStringLiteral("Table");
const QString kPassportStream = QStringLiteral("Passport");
const QString kNoMemory = QStringLiteral("недостаточно памяти");

// Why the compound file refused the file or a stream, in the operator's words.
QString compoundFault(const CompoundFile& file, const QString& stream = QString())
{
    switch (file.fault()) {
    case CompoundFile::Fault::CannotOpen:
        return QStringLiteral("файл не открывается: %1").arg(file.errorDetail());
    case CompoundFile::Fault::Empty:
        return QStringLiteral("файл пуст");
    case CompoundFile::Fault::Truncated:
        return QStringLiteral("файл обрывается раньше, чем кончаются его данные");
    case CompoundFile::Fault::NotCompoundFile:
        return QStringLiteral("это не файл хроматограммы");
    case CompoundFile::Fault::NoStream:
        return QStringLiteral("в файле нет потока «%1»").arg(stream);
    case CompoundFile::Fault::ReadFailed:
        return QStringLiteral("файл не читается до конца");
    case CompoundFile::Fault::NoMemory:
        return kNoMemory;
    case CompoundFile::Fault::None:
    case CompoundFile::Fault::Damaged:
        break;
    }
    return QStringLiteral("структура файла повреждена: %1").arg(file.errorDetail());
}

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

int CChmFile::Open(const QString& path, FileIdentity* identity)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (info.exists())
            return Fail(QStringLiteral("это папка или устройство, а не файл"));
        // A folder that may be listed but not entered hides a file that is
        // there: only the system's reason tells that from a missing one.
        int error = 0;
        ReadFileIdentity(path, &error);
        return Fail(error == 0 || error == ENOENT ? QStringLiteral("файл не найден")
                                                  : QStringLiteral("файл не открывается: %1").arg(qt_error_string(error)));
    }
    CompoundFile file;
    if (!file.open(path, identity))
        return Fail(compoundFault(file));
    return OpenFrom(file, path);
}

int CChmFile::OpenBytes(const QByteArray& fileBytes, const QString& path)
{
    CompoundFile file;
    if (!file.openBytes(fileBytes))
        return Fail(compoundFault(file));
    return OpenFrom(file, path);
}

int CChmFile::Fail(const QString& reason)
{
    m_error = reason;
    return 0;
}

int CChmFile::OpenFrom(CompoundFile& file, const QString& path)
{
    try {
        // A chromatogram lacks none of the four streams. The samples go from
        // the file straight into the signal's own array: it is by far the
        // largest stream and is not copied again.
        const qint64 rawSize = file.streamSize(kRawDataStream);
        if (rawSize < 0)
            return Fail(QStringLiteral("в файле нет потока «%1»").arg(kRawDataStream));
        const qint64 sampleCount = rawSize / 4; // trailing 1 to 3 bytes are ignored
        CLattice signal;
        SampleVector& samples = signal.samples();
        samples.resize(static_cast<size_t>(sampleCount));
        if (!file.readStreamPart(kRawDataStream, 0, samples.data(), sampleCount * 4))
            return Fail(compoundFault(file, kRawDataStream));
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            if (sampleCount > 0)
                qFromLittleEndian<float>(samples.data(), sampleCount, samples.data());
        }

        QByteArray time;
        QByteArray table;
        QByteArray passport;
        const std::pair<const QString*, QByteArray*> rest[] = {
            {&kTimeStream, &time}, {&kTableStream, &table}, {&kPassportStream, &passport}};
        for (const auto& [name, bytes] : rest) {
            if (!file.readStream(*name, *bytes))
                return Fail(compoundFault(file, *name));
        }
        return LoadAfterSamples(std::move(signal), time, table, passport, path);
    } catch (...) {
        // A stream too large to hold in memory.
        return Fail(kNoMemory);
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
        return Fail(kNoMemory);
    }
}

int CChmFile::LoadAfterSamples(CLattice&& signal, const QByteArray& time, const QByteArray& table,
                               const QByteArray& passport, const QString& path)
{
    // The stream being taken apart, named when it turns out damaged.
    const QString* reading = &kTableStream;
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

        reading = &kPassportStream;
        CPassport readPassport(blankPassport());
        readPassport.Serialize(passport);
        readPassport.filePath = path;

        m_signal = std::move(signal);
        m_secondStep = secondStep;
        m_peakTable = std::move(peakTable);
        m_peakTable.setSignal(&m_signal);
        m_passport = std::move(readPassport);
        m_error.clear();
        return 1;
    } catch (const std::bad_alloc&) {
        return Fail(kNoMemory);
    } catch (const std::invalid_argument&) {
        // A peak is measured between two samples: a run stopped at injection
        // has a whole table but no signal to measure it on.
        if (signal.size() < 2)
            return Fail(signal.size() == 0 ? QStringLiteral("в сигнале нет ни одной точки, пики таблицы по нему не измерить")
                                           : QStringLiteral("в сигнале одна точка, пики таблицы по нему не измерить"));
        return Fail(QStringLiteral("поток «%1» повреждён").arg(*reading));
    } catch (...) {
        // Any other failure while reading (a damaged stream) means the file
        // cannot be opened.
        return Fail(QStringLiteral("поток «%1» повреждён").arg(*reading));
    }
}
