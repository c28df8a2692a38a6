#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QStringList>
#include <QString>

#include <memory>

// Read-only reader of the Compound File Binary format (versions 3 and 4),
// offering what the chromatogram reader needs: the streams directly under the
// root storage, by name. The whole structure (header, DIFAT, FAT, mini FAT,
// directory) is validated when the file is opened; any defect that could
// change what is read refuses the file.
class CompoundFile
{
public:
    CompoundFile();
    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // What refused the file or the last read, graded for a reader that must
    // say why; errorString() gives the details.
    enum class Fault {
        None,
        CannotOpen,      // the system did not open the file
        Empty,           // no bytes at all
        Truncated,       // shorter than its own structure says
        NotCompoundFile, // no compound-file header
        Damaged,         // any other defect of the structure
        NoStream,        // the stream asked for is not there
        ReadFailed,      // bytes the structure promises could not be read
        NoMemory,        // tables too large for the memory left
    };

    // false, with fault() and errorString(), when the file is missing or not
    // a sound compound file. identity, when given, gets the identity of the
    // file opened, asked of the open file.
    bool open(const QString& path, FileIdentity* identity = nullptr);
    // The same over bytes already in memory (tests, fuzzing).
    bool openBytes(const QByteArray& bytes);
    void close();
    bool isOpen() const;
    QString errorString() const;
    // errorString() without the file's path in front.
    QString errorDetail() const;
    Fault fault() const;

    // Streams directly under the root; names compare case-insensitively as the format defines.
    bool hasStream(const QString& name) const;
    // Size in bytes, or -1 when there is no such stream.
    qint64 streamSize(const QString& name) const;
    // Reads the whole stream into out (one buffer sized beforehand);
    // false, with errorString(), when it is missing or cannot be read whole.
    bool readStream(const QString& name, QByteArray& out);
    // Reads the length bytes of the stream from offset on straight into dst,
    // which must hold them; nothing is copied twice.
    // false, with errorString(), when it is missing, does not hold those
    // bytes, or they cannot be read.
    bool readStreamPart(const QString& name, qint64 offset, void* dst, qint64 length);
    // Names of the streams directly under the root, in directory order.
    QStringList streamNames() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
