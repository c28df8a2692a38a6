#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes that either reach the disk whole or leave the old file as it was.
//
// QSaveFile::commit() ignores a failure of its own final flush and renames a
// short file over the old one, so a full disk (or a file-size limit) would
// truncate the file while reporting success. Every writer of a QSaveFile
// therefore pushes its bytes out with WriteAllAndFlush and commits only
// when that succeeded.

// Writes every byte and flushes the device's buffer. False when any byte did
// not reach the file; the device's errorString() then says why.
bool WriteAllAndFlush(QIODevice& device, const QByteArray& bytes);

// Replaces the file at path by bytes in one step. On failure the old file is
// untouched, nothing temporary is left behind and error (when given) holds
// the reason as the system words it.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Copies the file at from over the file at to in the same way: the copy is
// either whole or not made, and an old file at to stays as it was. Read and
// written in pieces, so a file of any size needs little memory.
bool CopyFileAtomically(const QString& from, const QString& to, QString* error = nullptr);
