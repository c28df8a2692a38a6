#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writer of compound files for tests: every stream sits directly under the root.
// Streams under 4096 bytes go to the mini stream, as the format wants.
//
// Layout of what it writes (sector numbers count from 0 after the header, which
// takes one sector: 512 bytes in version 3, 4096 in version 4):
//   the streams of 4096 bytes and more, each in consecutive sectors, in the order given;
//   the mini stream (the small streams, each padded to 64 bytes, in the order given);
//   the mini FAT; the directory (entry 0 the root, stream i at entry i + 1);
//   the FAT sectors; the DIFAT sectors.
// Every chain is consecutive, so tests can compute offsets and patch bytes to
// build damaged files; CfbLayout says where everything went.
namespace testsupport {

struct CfbStream
{
    QString name;
    QByteArray data;
};

struct CfbOptions
{
    int majorVersion = 3;          // 3: 512-byte sectors, 4: 4096-byte sectors
    bool forceDifatSectors = false; // place FAT sectors so the DIFAT chain is used
    // Pads the FAT with free entries up to this many sectors; forceDifatSectors
    // raises it to 110, one more than the header can list.
    int minimumFatSectors = 0;
};

struct CfbLayout
{
    int sectorSize = 512;
    int headerSize = 512;
    quint32 sectorCount = 0; // sectors after the header
    QList<quint32> fatSectors;
    QList<quint32> difatSectors;
    quint32 firstDirectorySector = 0;
    int directorySectorCount = 0;
    quint32 firstMiniFatSector = 0xFFFFFFFE; // ENDOFCHAIN when there is no mini FAT
    int miniFatSectorCount = 0;
    quint32 miniStreamStart = 0xFFFFFFFE;
    int miniStreamSectorCount = 0;
    // Per stream, in the order given: its first sector, or its first mini sector
    // when it lives in the mini stream; ENDOFCHAIN for an empty stream.
    QList<quint32> streamStart;
    QList<bool> streamInMiniStream;
    quint32 treeRoot = 0xFFFFFFFF; // directory entry that the root's child link names

    qint64 sectorOffset(quint32 sector) const { return headerSize + qint64(sector) * sectorSize; }
    // Where the FAT entry of a sector lies in the file.
    qint64 fatEntryOffset(quint32 sector) const;
    qint64 miniFatEntryOffset(quint32 miniSector) const;
    // Where the bytes of a mini sector lie in the file.
    qint64 miniSectorOffset(quint32 miniSector) const;
    // Directory entry 0 is the root; stream i is entry i + 1.
    qint64 directoryEntryOffset(int entry) const;
};

// Empty when the streams cannot be written: a name longer than 31 characters,
// an empty name, or two names equal without regard to case.
QByteArray buildCompoundFile(const QList<CfbStream>& streams, const CfbOptions& options = {});
QByteArray buildCompoundFile(const QList<CfbStream>& streams, const CfbOptions& options, CfbLayout* layout);
bool writeCompoundFile(const QString& path, const QList<CfbStream>& streams, const CfbOptions& options = {});

// Bytes that differ with position and seed, so a sector read out of order shows.
QByteArray patternBytes(qsizetype size, quint32 seed);

// Little-endian patching of built files.
void putLe16(QByteArray& bytes, qint64 offset, quint16 value);
void putLe32(QByteArray& bytes, qint64 offset, quint32 value);
void putLe64(QByteArray& bytes, qint64 offset, quint64 value);
quint32 getLe32(const QByteArray& bytes, qint64 offset);

} // namespace testsupport
