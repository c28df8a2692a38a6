#include "platform/SaveFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace {

// The reason of a failed write: the device's own text, or the system's text
// for the error of the write that failed when the device has none to give.
QString failureText(const QIODevice& device, int systemError)
{
    const QString own = device.errorString();
    const bool vague = own.isEmpty() || own == QLatin1String("Unknown error");
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

} // namespace

bool WriteAllAndFlush(QIODevice& device, const QByteArray& bytes)
{
    if (device.write(bytes) != bytes.size())
        return false;
    auto* file = qobject_cast<QFileDevice*>(&device);
    return !file || file->flush();
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
