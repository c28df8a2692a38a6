#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "platform/TextCodec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

// The whole file; empty when it cannot be read.
inline QByteArray readFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file, making its folder as needed; false when any of it failed.
inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Sets the file's modification time, seconds since 1970 UTC; false when it cannot.
inline bool setFileModified(const QString& path, std::int64_t seconds)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite) &&
           f.setFileTime(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC), QFileDevice::FileModificationTime);
}

// Makes an empty file or a folder in the folder under a name written in
// Windows-1251, as copies from other systems bring them. Returns the path Qt
// shows for it (U+FFFD for the bytes that are not UTF-8); empty on failure.
inline QString makeCp1251Entry(const QString& folder, const QString& name, bool isFolder)
{
    const QByteArray bytes = textcodec::toCp1251(name);
    const QByteArray path = QFile::encodeName(folder) + '/' + bytes;
    const int made = isFolder ? ::mkdir(path.constData(), 0700) : ::open(path.constData(), O_CREAT | O_WRONLY, 0600);
    if (made < 0 || (!isFolder && ::close(made) != 0))
        return QString();
    return QDir(folder).filePath(QFile::decodeName(bytes));
}

} // namespace testsupport
