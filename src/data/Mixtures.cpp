#include "data/Mixtures.h"

#include "data/Sentence.h"
#include "platform/Archive.h"
#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// The smallest records the archive can hold, used to bound a count read from
// the file by the bytes that are really there before reserving anything:
// cylinder = number, two empty 8-bit strings, 32-bit time, type, component count;
// component = number, empty 8-bit string, two doubles.
constexpr qsizetype kMinMixtureRecord = 4 + 1 + 1 + 4 + 4 + 4;
constexpr qsizetype kMinComponentRecord = 4 + 1 + 8 + 8;

std::size_t boundedReserve(std::uint32_t count, const ArchiveReader& ar, qsizetype minRecord)
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, static_cast<std::uint64_t>(ar.remaining() / minRecord)));
}

QString archiveErrorText(const ArchiveException& e)
{
    switch (e.cause()) {
    case ArchiveException::Cause::EndOfFile:
        return QStringLiteral("файл обрывается раньше, чем кончаются записи");
    case ArchiveException::Cause::BadLength:
        return QStringLiteral("недопустимая длина строки");
    case ArchiveException::Cause::BadIndex:
        break;
    }
    return QString::fromStdString(e.what());
}

} // namespace

void MixCompData::Serialize(ArchiveWriter& ar) const
{
    ar.writeI32(number);
    ar.writeWideString(name);
    ar.writeDouble(concentration);
    ar.writeDouble(uncertainty);
}

void MixCompData::Serialize(ArchiveReader& ar)
{
    number = ar.readI32();
    name = ar.readString();
    concentration = ar.readDouble();
    uncertainty = ar.readDouble();
}

void MixtureData::Serialize(ArchiveWriter& ar) const
{
    ar.writeI32(number);
    ar.writeWideString(name);
    ar.writeWideString(identifier);
    ar.writeTime(date);
    ar.writeI32(type);
    ar.writeU32(static_cast<std::uint32_t>(components.size()));
    for (const MixCompData& c : components)
        c.Serialize(ar);
}

void MixtureData::Serialize(ArchiveReader& ar)
{
    number = ar.readI32();
    name = ar.readString();
    identifier = ar.readString();
    date = ar.readTime();
    type = ar.readI32();
    const std::uint32_t count = ar.readU32();
    components.clear();
    components.reserve(boundedReserve(count, ar, kMinComponentRecord));
    for (std::uint32_t i = 0; i < count; ++i) {
        MixCompData c;
        c.Serialize(ar);
        components.push_back(std::move(c));
    }
}

QString MixtureTypeText(int type)
{
    switch (type) {
    case MixtureKindGs:
        return QStringLiteral("ГС");
    case MixtureKindGd:
        return QStringLiteral("ГД");
    case MixtureKindDc:
        return QStringLiteral("ДК");
    default:
        return QString();
    }
}

MixturePtr FindMixtureForSample(const QString& sample, const MixtureList& mixtures)
{
    // Cylinder numbers contain one another ("31" in "7731"), so the longest
    // identifier found wins; of equal lengths, the first in the list.
    const QString lowerSample = sample.toLower();
    MixturePtr found;
    qsizetype foundLength = -1;
    for (const MixturePtr& m : mixtures) {
        if (!m)
            continue;
        const QString lowerIdentifier = m->identifier.toLower();
        if (lowerIdentifier.size() > foundLength && lowerSample.contains(lowerIdentifier)) {
            found = m;
            foundLength = lowerIdentifier.size();
        }
    }
    return found;
}

std::optional<double> ParseMixtureValue(const QString& text)
{
    QString t = text.trimmed();
    // Laboratories type a decimal comma; a text holding both marks is refused.
    if (t.contains(u',')) {
        if (t.contains(u'.'))
            return std::nullopt;
        t.replace(u',', u'.');
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QByteArray WriteMixturesArchive(const MixtureList& mixtures)
{
    ArchiveWriter ar;
    std::uint32_t count = 0;
    for (const MixturePtr& m : mixtures)
        count += m ? 1 : 0;
    ar.writeU32(count);
    for (const MixturePtr& m : mixtures)
        if (m)
            m->Serialize(ar);
    return ar.bytes();
}

MixturesArchiveContent ReadMixturesArchive(const QByteArray& bytes)
{
    MixturesArchiveContent out;
    ArchiveReader ar(bytes);
    std::uint32_t count = 0;
    try {
        count = ar.readU32();
    } catch (const ArchiveException& e) {
        out.error = archiveErrorText(e);
        return out;
    }
    out.mixtures.reserve(boundedReserve(count, ar, kMinMixtureRecord));
    try {
        for (std::uint32_t i = 0; i < count; ++i) {
            auto m = std::make_shared<MixtureData>();
            m->Serialize(ar);
            out.mixtures.push_back(std::move(m));
        }
        out.complete = true;
    } catch (const ArchiveException& e) {
        // The cylinder being read is dropped; those before it stay.
        out.error = QStringLiteral("баллон %1 из %2: %3")
                        .arg(QString::number(out.mixtures.size() + 1), QString::number(count), archiveErrorText(e));
    }
    return out;
}

QString DefaultMixturesPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Users\\Public\\Documents\\Morvane\\Add\\tavrin\\MixturesData");
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("Morvane/Add/tavrin/MixturesData"));
#endif
}

MixturesDatabase::MixturesDatabase(QString path)
    : m_path(std::move(path))
{
}

QString MixturesDatabase::backupPath() const
{
    if (m_path.isEmpty())
        return QString();
    return QFileInfo(m_path).dir().filePath(QStringLiteral("MixturesData.bak"));
}

MixturesDatabase::LoadResult MixturesDatabase::load(MixtureList& mixtures)
{
    LoadResult result;
    if (m_path.isEmpty())
        return result;

    QFile file(m_path);
    if (!QFileInfo::exists(m_path)) {
        result.status = LoadStatus::NoFile;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        // What cannot be read now must not be replaced later without a copy.
        m_backupPending = true;
        result.status = LoadStatus::Unreadable;
        result.message = QStringLiteral("Не удалось прочитать базу баллонов из файла\n%1\n\n%2")
                             .arg(QDir::toNativeSeparators(m_path), AsSentence(file.errorString()));
        return result;
    }

    // Never more than the cap: the records a larger file may hold at its
    // start are still read, the rest counts as damage.
    const qint64 size = file.size();
    const bool oversized = size > kMaxFileSize;
    const QByteArray bytes = file.read(std::min(size, kMaxFileSize));
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();

    MixturesArchiveContent content = ReadMixturesArchive(bytes);
    mixtures = std::move(content.mixtures);
    if (content.complete && !readFailed) {
        result.status = LoadStatus::Loaded;
        return result;
    }

    m_backupPending = true;
    result.status = LoadStatus::Damaged;
    QString cause = content.error;
    if (readFailed)
        cause = file.errorString();
    else if (oversized)
        cause = QStringLiteral("файл слишком велик для базы баллонов");
    result.message = QStringLiteral("База баллонов %1 повреждена (%2).\nПрочитано баллонов: %3. "
                                    "При сохранении прежний файл будет сохранён как %4.")
                         .arg(QDir::toNativeSeparators(m_path), cause, QString::number(mixtures.size()),
                              QDir::toNativeSeparators(backupPath()));
    return result;
}

MixturesDatabase::SaveResult MixturesDatabase::save(const MixtureList& mixtures)
{
    SaveResult result;
    if (m_path.isEmpty()) {
        result.ok = true;
        return result;
    }
    const QString failed =
        QStringLiteral("Не удалось записать базу баллонов в файл\n") + QDir::toNativeSeparators(m_path);
    const auto fail = [&](const QString& reason) {
        result.message = failed + QStringLiteral("\n\n") + AsSentence(reason);
        return result;
    };

    const QFileInfo info(m_path);
    const QString badPath = QStringLiteral("Путь некорректный.");
    if (info.fileName().isEmpty() || info.isDir())
        return fail(badPath);

    // The next start reads no more than the cap, and the save after it would
    // drop the cylinders beyond it; nothing is written instead, not even the folder.
    const QByteArray bytes = WriteMixturesArchive(mixtures);
    if (bytes.size() > kMaxFileSize) {
        return fail(QStringLiteral("База баллонов заняла бы %1 байт, а программа читает не больше %2 байт. ")
                        .arg(QString::number(bytes.size()), QString::number(kMaxFileSize))
                    + (info.exists() ? QStringLiteral("Прежний файл оставлен без изменений; удалите ненужные "
                                                      "баллоны или компоненты.")
                                     : QStringLiteral("Удалите ненужные баллоны или компоненты.")));
    }
    // The system says why a folder cannot be made: a file in its way, no rights.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(info.absolutePath().toStdU16String()), ec);
    if (ec)
        return fail(qt_error_string(ec.value()));

    if (m_backupPending && QFileInfo::exists(m_path)) {
        const QString bak = backupPath();
        QString error;
        if (!CopyFileAtomically(m_path, bak, &error)) {
            return fail(QStringLiteral("Не удалось сохранить копию прежнего файла %1: %2")
                            .arg(QDir::toNativeSeparators(bak), error));
        }
    }

    QString error;
    if (!WriteFileAtomically(m_path, bytes, &error))
        return fail(error);
    m_backupPending = false;
    result.ok = true;
    result.written = true;
    return result;
}
