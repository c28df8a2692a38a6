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

// An empty file or a folder made in the folder under a name written in
// Windows-1251, as copies from other systems bring them. It removes itself by
// its bytes, which the temporary folder around it cannot do by name.
class Cp1251Entry
{
public:
    Cp1251Entry(const QString& folder, const QString& name, bool isFolder)
        : Cp1251Entry(folder, textcodec::toCp1251(name), isFolder) {}
    // Or under the bytes given: a name that mixes UTF-8 letters with such bytes.
    Cp1251Entry(const QString& folder, const QByteArray& nameBytes, bool isFolder)
        : m_bytes(QFile::encodeName(folder) + '/' + nameBytes), m_isFolder(isFolder)
    {
        const int made = isFolder ? ::mkdir(m_bytes.constData(), 0700) : ::open(m_bytes.constData(), O_CREAT | O_EXCL | O_WRONLY, 0600);
        if (made >= 0 && (isFolder || ::close(made) == 0))
            m_path = QDir(folder).filePath(QFile::decodeName(nameBytes));
    }
    ~Cp1251Entry()
    {
        if (!m_path.isEmpty())
            m_isFolder ? ::rmdir(m_bytes.constData()) : ::unlink(m_bytes.constData());
    }
    Cp1251Entry(const Cp1251Entry&) = delete;
    Cp1251Entry& operator=(const Cp1251Entry&) = delete;

    // The path Qt shows for it (U+FFFD for the bytes that are not UTF-8); empty on failure.
    const QString& path() const { return m_path; }

private:
    QByteArray m_bytes;
    bool m_isFolder;
    QString m_path;
};

} // namespace testsupport
