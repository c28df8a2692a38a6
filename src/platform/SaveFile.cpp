#include "platform/SaveFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The reason of a failed write: the device's own text, or the system's text
// for the error of the write that failed when the device has none to give.
// A write cut short by a full disk or a size limit sets no device error, and
// the device then says only "Unknown error", in whatever language Qt's texts
// are loaded.
QString failureText(const QIODevice& device, int systemError)
{
    const QString own = device.errorString();
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    const bool vague = own.isEmpty() || (file && file->error() == QFileDevice::NoError)
                       || own == QLatin1String("Unknown error")
                       || own == QCoreApplication::translate("QIODevice", "Unknown error");
    return vague && systemError != 0 ? qt_error_string(systemError) : own;
}

// Opens a QSaveFile at path, lets fill write into it and commits only when
// every byte was flushed. fill returns false when its own source failed
// (it then sets error itself); the unfinished file is discarded.
template <typename Fill>
bool writeAtomically(const QString& path, QString* error, Fill fill)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    errno = 0;
    bool written = true;
    if (!fill(file, written))
        return false;
    if (!written || !file.flush()) {
        const int systemError = errno;
        if (error)
            *error = failureText(file, systemError);
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

bool renameOver(const QString& from, const QString& to, QString* error)
{
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec)
        setError(error, qt_error_string(ec.value()));
    return !ec;
}

bool existsOrDangles(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Creating with O_EXCL both reserves the name and gives the file the
// permissions a new file gets, which a QTemporaryFile (0600) would not.
QString createBeside(const QString& path, QString* error)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 16; ++attempt) {
        QString name = path + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))]);
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        // Only a name that is taken is worth another try.
        if (!existsOrDangles(name)) {
            setError(error, file.errorString());
            return QString();
        }
    }
    setError(error, QStringLiteral("не находится свободное имя рядом с %1").arg(path));
    return QString();
}

} // namespace

bool WriteAllAndFlush(QIODevice& device, const QByteArray& bytes, QString* error)
{
    errno = 0;
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (device.write(bytes) == bytes.size() && (!file || file->flush()))
        return true;
    setError(error, failureText(device, errno));
    return false;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeAtomically(path, error, [&](QSaveFile& file, bool& written) {
        written = file.write(bytes) == bytes.size();
        return true;
    });
}

bool CopyFileAtomically(const QString& from, const QString& to, QString* error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = source.errorString();
        return false;
    }
    return writeAtomically(to, error, [&](QSaveFile& file, bool& written) {
        constexpr qint64 kPiece = 64 * 1024;
        while (written) {
            const QByteArray piece = source.read(kPiece);
            if (source.error() != QFileDevice::NoError) {
                if (error)
                    *error = source.errorString();
                return false;
            }
            if (piece.isEmpty())
                break;
            written = file.write(piece) == piece.size();
        }
        return true;
    });
}

StagedFile::StagedFile(const QString& path)
    : m_path(path)
{
}

StagedFile::~StagedFile()
{
    Rollback();
}

QString StagedFile::Create(QString* error)
{
    if (!m_temp.isEmpty())
        QFile::remove(m_temp);
    m_temp = createBeside(m_path, error);
    if (!m_temp.isEmpty() && QFileInfo::exists(m_path))
        QFile::setPermissions(m_temp, QFile::permissions(m_path));
    return m_temp;
}

bool StagedFile::Write(const QByteArray& bytes, QString* error)
{
    // Written through a QSaveFile over the reserved name, which keeps its
    // permissions and syncs the bytes before the name holds them.
    return !Create(error).isEmpty() && WriteFileAtomically(m_temp, bytes, error);
}

bool StagedFile::Install(QString* error)
{
    if (m_temp.isEmpty() || m_installed) {
        setError(error, QStringLiteral("нечего ставить на место %1").arg(m_path));
        return false;
    }
    if (existsOrDangles(m_path)) {
        m_aside = createBeside(m_path, error);
        if (m_aside.isEmpty())
            return false;
        if (!renameOver(m_path, m_aside, error)) {
            QFile::remove(std::exchange(m_aside, QString()));
            return false;
        }
    }
    if (!renameOver(m_temp, m_path, error)) {
        if (!m_aside.isEmpty() && renameOver(m_aside, m_path, nullptr))
            m_aside.clear();
        return false;
    }
    m_temp.clear();
    m_installed = true;
    return true;
}

bool StagedFile::Replace(QString* error)
{
    if (m_temp.isEmpty() || m_installed) {
        setError(error, QStringLiteral("нечего ставить на место %1").arg(m_path));
        return false;
    }
    if (!renameOver(m_temp, m_path, error))
        return false;
    m_temp.clear();
    return true;
}

void StagedFile::Commit()
{
    if (!m_aside.isEmpty())
        QFile::remove(m_aside);
    // A file written but never put in place is dropped.
    if (!m_temp.isEmpty())
        QFile::remove(m_temp);
    m_aside.clear();
    m_temp.clear();
    m_installed = false;
}

void StagedFile::Rollback()
{
    if (!m_aside.isEmpty())
        renameOver(m_aside, m_path, nullptr);
    else if (m_installed)
        QFile::remove(m_path);
    if (!m_temp.isEmpty())
        QFile::remove(m_temp);
    m_aside.clear();
    m_temp.clear();
    m_installed = false;
}
