#include "platform/SaveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif
#include <atomic>
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
// every byte was flushed. fill returns false, with error set, when a byte
// was not written or its own source failed; the unfinished file is discarded.
template <typename Fill>
bool writeAtomically(const QString& path, QString* error, Fill fill)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, SaveFileOpenFailure(file));
        return false;
    }
    if (!fill(file))
        return false;
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

// Copies what is left of source into target in pieces, so that a file of
// any size needs little memory. False, with error set, when a piece is not
// read or not written.
bool copyPieces(QFile& source, QIODevice& target, QString* error)
{
    constexpr qint64 kPiece = 64 * 1024;
    for (;;) {
        const QByteArray piece = source.read(kPiece);
        if (source.error() != QFileDevice::NoError) {
            setError(error, source.errorString());
            return false;
        }
        if (piece.isEmpty())
            return true;
        if (!WriteAllAndFlush(target, piece, error))
            return false;
    }
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

// A folder itself, not a link to one.
bool isFolder(const QString& path)
{
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::symlink_status(fsPath(path), ec));
}

// A free name beside path whose length does not depend on path's own, so
// that a file whose name is as long as the system allows still has one.
// make takes a name and returns 0, or the error that stopped it; only a
// name that is taken is worth another try.
template <typename Make>
QString makeBeside(const QString& path, QString* error, Make make)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QDir folder = QFileInfo(path).dir();
    for (int attempt = 0; attempt < 16; ++attempt) {
        QString name = QStringLiteral(".tavrin-");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))]);
        name = folder.filePath(name + QStringLiteral(".tmp"));
        const int failure = make(name);
        if (failure == 0)
            return name;
        if (failure != EEXIST) {
            setError(error, qt_error_string(failure));
            return QString();
        }
    }
    setError(error, QStringLiteral("не находится свободное имя рядом с %1").arg(path));
    return QString();
}

// Creating with O_EXCL both reserves the name and gives the file the
// permissions a new file gets, which a QTemporaryFile (0600) would not.
QString createBeside(const QString& path, QString* error)
{
    return makeBeside(path, error, [](const QString& name) {
        QFile file(name);
        errno = 0;
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return 0;
        const int failure = errno;
        return existsOrDangles(name) ? EEXIST : failure != 0 ? failure : EIO;
    });
}

bool syncToDisk(QFile& file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

std::atomic<bool> hardLinksRefused{false};

// Writes into the file at path (made or emptied first) what fill puts in it
// and syncs it to the disk; fill returns false, with error set, when it
// could not. A failure leaves part of it.
template <typename Fill>
bool writeInPlace(const QString& path, QString* error, Fill fill)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (!fill(file))
        return false;
    if (!syncToDisk(file)) {
        setError(error, qt_error_string(errno));
        return false;
    }
    return true;
}

// A second name beside path for what path holds, which keeps its own name: a
// hard link, or where the system refuses one (FAT and exFAT have none, and
// fs.protected_hardlinks refuses one to another user's file) a whole copy.
// Empty, with error set, when neither can be made.
QString duplicateBeside(const QString& path, QString* error)
{
    QString refusal = qt_error_string(EPERM);
    if (!hardLinksRefused) {
        const QString link = makeBeside(path, &refusal, [&](const QString& name) {
            std::error_code ec;
            std::filesystem::create_hard_link(fsPath(path), fsPath(name), ec);
            return ec.value();
        });
        if (!link.isEmpty())
            return link;
    }
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(fsPath(path), ec);
    if (std::filesystem::is_symlink(status)) {
        return makeBeside(path, error, [&](const QString& name) {
            std::error_code made;
            std::filesystem::copy_symlink(fsPath(path), fsPath(name), made);
            return made.value();
        });
    }
    // Anything else (a pipe, a device) is not read: it could block for ever.
    if (!std::filesystem::is_regular_file(status)) {
        setError(error, refusal);
        return QString();
    }
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        setError(error, source.errorString());
        return QString();
    }
    const QString copy = createBeside(path, error);
    if (copy.isEmpty())
        return QString();
    if (!writeInPlace(copy, error, [&](QFile& file) { return copyPieces(source, file, error); })) {
        QFile::remove(copy);
        return QString();
    }
    QFile::setPermissions(copy, QFile::permissions(path));
    return copy;
}

// Removes the name itself, a link included, never what a link leads to.
void removeName(const QString& path)
{
    std::error_code ec;
    std::filesystem::remove(fsPath(path), ec);
}

} // namespace

QString SaveFileOpenFailure(const QSaveFile& file)
{
    // Qt's refusal of an existing file that may not be written names the
    // file, which every message names already; the system's reason does not.
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isWritable()) {
        QFile existing(file.fileName());
        if (!existing.open(QIODevice::WriteOnly | QIODevice::Append))
            return existing.errorString();
    }
    return file.errorString();
}

bool WriteAllAndFlush(QIODevice& device, const QByteArray& bytes, QString* error)
{
    errno = 0;
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (device.write(bytes) == bytes.size() && (!file || file->flush()))
        return true;
    setError(error, failureText(device, errno));
    return false;
}

#ifdef SIGXFSZ
namespace {
void catchFileSizeSignal(int) {}
} // namespace
#endif

void LetWritesPastTheSizeLimitFail()
{
#ifdef SIGXFSZ
    // Caught rather than ignored: exec gives a caught signal its default back,
    // so the programs started from here (the browser of a viewed report) do
    // not inherit a signal set aside. SA_RESTART: one sent from outside must
    // not fail a blocking read of another thread with EINTR.
    struct sigaction action {};
    action.sa_handler = catchFileSizeSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGXFSZ, &action, nullptr);
#endif
}

void SetHardLinksRefused(bool refused)
{
    hardLinksRefused = refused;
}

bool WriteFileInPlace(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeInPlace(path, error, [&](QFile& file) { return WriteAllAndFlush(file, bytes, error); });
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeAtomically(path, error, [&](QSaveFile& file) { return WriteAllAndFlush(file, bytes, error); });
}

bool CopyFileAtomically(const QString& from, const QString& to, QString* error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        setError(error, source.errorString());
        return false;
    }
    return writeAtomically(to, error, [&](QSaveFile& file) { return copyPieces(source, file, error); });
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
    // Straight into the reserved name: it has the target's permissions
    // already, and a part left by a failure is nobody's file until Install.
    return !Create(error).isEmpty() && WriteFileInPlace(m_temp, bytes, error);
}

bool StagedFile::Install(QString* error)
{
    if (m_temp.isEmpty() || m_installed || !m_aside.isEmpty()) {
        setError(error, QStringLiteral("нечего ставить на место %1").arg(m_path));
        return false;
    }
    // The old file keeps its name until the new one replaces it in one step,
    // held meanwhile under a second name, so that a kill at any moment leaves
    // a whole file at the path. A folder in the way is left for the rename to
    // refuse.
    if (existsOrDangles(m_path) && !isFolder(m_path)) {
        m_aside = duplicateBeside(m_path, error);
        if (m_aside.isEmpty())
            return false;
    }
    if (!renameOver(m_temp, m_path, error)) {
        // The old file is still at the path.
        if (!m_aside.isEmpty())
            removeName(std::exchange(m_aside, QString()));
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

bool StagedFile::TakeAway(QString* error)
{
    if (m_installed || !m_aside.isEmpty()) {
        setError(error, QStringLiteral("нечего убирать с места %1").arg(m_path));
        return false;
    }
    if (!existsOrDangles(m_path) || isFolder(m_path))
        return true;
    m_aside = createBeside(m_path, error);
    if (m_aside.isEmpty())
        return false;
    if (!renameOver(m_path, m_aside, error)) {
        removeName(std::exchange(m_aside, QString()));
        return false;
    }
    return true;
}

void StagedFile::Commit()
{
    if (!m_aside.isEmpty())
        removeName(m_aside);
    Forget();
}

void StagedFile::Rollback()
{
    // What stood at the path goes back in one step; a new file with nothing
    // before it just goes.
    if (!m_aside.isEmpty())
        renameOver(m_aside, m_path, nullptr);
    else if (m_installed)
        removeName(m_path);
    Forget();
}

void StagedFile::Forget()
{
    // A file written but never put in place is dropped.
    if (!m_temp.isEmpty())
        QFile::remove(m_temp);
    m_aside.clear();
    m_temp.clear();
    m_installed = false;
}
