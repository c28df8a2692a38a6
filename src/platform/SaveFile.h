#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class QSaveFile;

// Writes that either reach the disk whole or leave the old file as it was.
//
// QSaveFile::commit() ignores a failure of its own final flush and renames a
// short file over the old one, so a full disk (or a file-size limit) would
// truncate the file while reporting success. The writers here therefore push
// their bytes out with WriteAllAndFlush and commit only when that succeeded;
// so does the profile, whose QSaveFile is QSettings' own.

// Lets a write past a file-size limit (ulimit -f) fail with EFBIG, named as
// a full disk is, instead of SIGXFSZ ending the process with the user's
// work. The program calls it before it writes any file.
void LetWritesPastTheSizeLimitFail();

// Why a QSaveFile did not open, in the system's words.
QString SaveFileOpenFailure(const QSaveFile& file);

// Writes every byte and flushes the device's buffer. False when any byte did
// not reach the file; error (when given) then holds the system's reason.
bool WriteAllAndFlush(QIODevice& device, const QByteArray& bytes, QString* error = nullptr);

// Writes bytes straight into the file at path, made or emptied first, and
// syncs them to the disk. A failure leaves part of them there: for a file
// nothing reads yet, such as a temporary.
bool WriteFileInPlace(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Replaces the file at path by bytes in one step. On failure the old file is
// untouched, nothing temporary is left behind and error (when given) holds
// the reason as the system words it.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Copies the file at from over the file at to in the same way: the copy is
// either whole or not made, and an old file at to stays as it was. Read and
// written in pieces, so a file of any size needs little memory.
bool CopyFileAtomically(const QString& from, const QString& to, QString* error = nullptr);

// Every later save behaves as on a file system without hard links, so that
// the way taken there can be tried anywhere.
void SetHardLinksRefused(bool refused);

// A new version of the file at a path, written beside it under a temporary
// name and put in place later, so that several files can be replaced
// together or not at all. Whatever is not committed when the object goes is
// undone. Renames within one folder replace their target in one step.
class StagedFile
{
public:
    explicit StagedFile(const QString& path);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // A fresh empty file ".tavrin-XXXXXX.tmp" beside the target, with the
    // target's permissions when it exists; empty, with error set, when none
    // can be made.
    QString Create(QString* error = nullptr);
    // Create, then the bytes written whole.
    bool Write(const QByteArray& bytes, QString* error = nullptr);
    // Puts the written file in place in one step; the old file is kept under
    // a second name (a link, or a copy where links are refused) until Commit,
    // so that Rollback can bring it back.
    bool Install(QString* error = nullptr);
    // Puts the written file in place in one step, the old file gone: for the
    // last file of a set, whose failure leaves its old file as it was.
    bool Replace(QString* error = nullptr);
    // Moves the old file out of the way in one step, kept aside until Commit
    // so that Rollback can bring it back; true with nothing to do when there
    // is none. A folder at the path is left alone.
    bool TakeAway(QString* error = nullptr);
    // Keeps what was put in place (or taken away) and drops the old file.
    void Commit();
    // Brings back what the path held and removes every temporary file.
    void Rollback();

private:
    // Drops an unused temporary and every note of what was done.
    void Forget();

    QString m_path;
    QString m_temp;   // written, not yet in place
    QString m_aside;  // the old file while it is replaced or taken away
    bool m_installed = false;
};
