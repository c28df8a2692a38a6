#include "platform/CompoundFile.h"

#include "platform/CompoundFileFormat.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

using namespace cfb;

namespace {

quint16 le16(const uchar* p) { return qFromLittleEndian<quint16>(p); }
quint32 le32(const uchar* p) { return qFromLittleEndian<quint32>(p); }
quint64 le64(const uchar* p) { return qFromLittleEndian<quint64>(p); }

QString hex32(quint32 v) { return QStringLiteral("0x%1").arg(v, 8, 16, QLatin1Char('0')); }

// Where the bytes come from: a file read through QFile, or bytes already in memory.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual qint64 size() const = 0;
    // false when the len bytes at offset cannot all be read.
    virtual bool read(qint64 offset, char* dst, qint64 len) = 0;
};

class FileSource final : public ByteSource
{
public:
    explicit FileSource(const QString& path) : m_file(path) {}

    // false when the file cannot be opened for reading; errorString() says why.
    bool open()
    {
        // Unbuffered: stream reads go straight from the file into the caller's buffer.
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return false;
        m_size = m_file.size();
        return true;
    }
    QString errorString() const { return m_file.errorString(); }
    int handle() const { return m_file.handle(); }

    qint64 size() const override { return m_size; }
    bool read(qint64 offset, char* dst, qint64 len) override
    {
        if (offset < 0 || len < 0 || offset > m_size || len > m_size - offset)
            return false;
        if (len == 0)
            return true;
        // The header, the tables and the small streams come in many short
        // reads, mostly close together: they are served from a window of the
        // file read at once, each costing no call to the system. A small file
        // is read whole; in a larger one the window starts small, for a
        // reader that wants the passport only, and grows with every miss;
        // near the end it covers the tail, where writers put the tables.
        // Long reads go straight into the caller's buffer.
        const bool inWindow = offset >= m_windowStart && len <= m_windowStart + m_windowSize - offset;
        if (!inWindow && len <= kShortRead) {
            const qint64 grown = std::min(kWindowLimit, kFirstWindow << std::min(m_misses, 4));
            // Never shorter than the read itself (kShortRead at most).
            const qint64 wanted = m_size <= kWindowLimit ? m_size : std::max(grown, len);
            const qint64 start = std::min(offset, std::max<qint64>(0, m_size - wanted));
            const qint64 size = std::min(wanted, m_size - start);
            if (m_capacity < size) {
                m_window.reset(new char[size_t(size)]);
                m_capacity = size;
            }
            m_windowSize = 0;
            if (!readFile(start, m_window.get(), size))
                return false;
            m_windowStart = start;
            m_windowSize = size;
            ++m_misses;
        } else if (!inWindow) {
            return readFile(offset, dst, len);
        }
        std::memcpy(dst, m_window.get() + (offset - m_windowStart), size_t(len));
        return true;
    }

private:
    static constexpr qint64 kShortRead = 16 * 1024;
    static constexpr qint64 kFirstWindow = 4 * 1024;
    static constexpr qint64 kWindowLimit = 64 * 1024;

    bool readFile(qint64 offset, char* dst, qint64 len)
    {
        if (!m_file.seek(offset))
            return false;
        while (len > 0) {
            const qint64 got = m_file.read(dst, len);
            if (got <= 0)
                return false; // the file shrank since it was opened, or an I/O error
            dst += got;
            len -= got;
        }
        return true;
    }

    QFile m_file;
    qint64 m_size = 0;
    std::unique_ptr<char[]> m_window; // m_windowSize bytes of the file from m_windowStart on
    qint64 m_capacity = 0;
    qint64 m_windowStart = 0;
    qint64 m_windowSize = 0;
    int m_misses = 0;
};

class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(const QByteArray& bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    bool read(qint64 offset, char* dst, qint64 len) override
    {
        if (offset < 0 || len < 0 || offset > m_bytes.size() || len > m_bytes.size() - offset)
            return false;
        std::memcpy(dst, m_bytes.constData() + offset, static_cast<size_t>(len));
        return true;
    }

private:
    QByteArray m_bytes;
};

// A run of a stream's bytes that lies contiguous in the file.
struct Extent
{
    qint64 offset;
    qint64 length;
};

struct StreamEntry
{
    QString name;
    quint32 entry = 0;
    qint64 size = 0;
    std::vector<Extent> extents;
};

// Names compare as the format defines: code unit by code unit after simple upper-casing.
QString nameKey(const QString& name)
{
    QString key = name;
    for (QChar& c : key)
        c = c.toUpper();
    return key;
}

void appendExtent(std::vector<Extent>& extents, qint64 offset, qint64 length)
{
    if (!extents.empty() && extents.back().offset + extents.back().length == offset)
        extents.back().length += length;
    else
        extents.push_back({offset, length});
}

// Reads and validates the whole structure once; what survives is the list of
// streams under the root with the file extents that make up each of them.
// Every member function returns false with m_error set when the file is refused.
class Loader
{
public:
    explicit Loader(ByteSource& source) : m_src(source) {}

    bool load(std::vector<StreamEntry>& streams);
    QString error() const { return m_error; }
    CompoundFile::Fault fault() const { return m_fault; }

private:
    bool fail(const QString& why, CompoundFile::Fault fault = CompoundFile::Fault::Damaged)
    {
        m_error = why;
        m_fault = fault;
        return false;
    }
    // The structure reaches past the file's end: the file was cut short.
    bool failTruncated(const QString& why) { return fail(why, CompoundFile::Fault::Truncated); }
    qint64 sectorOffset(quint32 sector) const { return m_headerSize + (qint64(sector) << m_sectorShift); }
    quint64 maskedSize(const uchar* entry) const
    {
        // A version-3 writer may leave garbage in the high half of the size.
        const quint64 size = le64(entry + dir::StreamSize);
        return m_v3 ? (size & 0xFFFFFFFFull) : size;
    }
    const uchar* entryAt(quint32 id) const
    {
        return reinterpret_cast<const uchar*>(m_directory.constData()) + qint64(id) * DirectoryEntrySize;
    }

    bool readHeader(uchar* header);
    // Inline for the common case, a free sector inside the file: a stream's
    // chain claims one sector per 512 or 4096 bytes.
    bool claim(quint32 sector, quint32 owner, const QString& what)
    {
        if (sector < m_sectorCount && m_owner[sector] == 0) {
            m_owner[sector] = owner;
            return true;
        }
        return claimChecked(sector, owner, what);
    }
    bool claimChecked(quint32 sector, quint32 owner, const QString& what);
    bool walkChain(quint32 start, qint64 wanted, const QString& what, std::vector<quint32>& out);
    bool walkMiniChain(quint32 start, qint64 wanted, const QString& what, std::vector<quint32>& out);
    bool readSectors(const std::vector<quint32>& sectors, char* dst, const QString& what);
    bool loadFat(const uchar* header);
    bool loadDirectory(quint32 firstSector);
    bool loadMiniStream(quint32 firstMiniFatSector, quint32 miniFatCount);
    bool collectRootChildren(std::vector<StreamEntry>& streams);
    bool entryName(quint32 id, QString& name);
    bool mapStream(StreamEntry& stream, quint32 start);

    ByteSource& m_src;
    QString m_error;
    CompoundFile::Fault m_fault = CompoundFile::Fault::None;
    bool m_v3 = true;
    quint32 m_sectorShift = SectorShiftV3;
    quint32 m_sectorSize = 1u << SectorShiftV3;
    qint64 m_headerSize = 512;
    quint32 m_sectorCount = 0; // sectors after the header, a partial last one included
    quint32 m_fatCount = 0;
    quint32 m_difatCount = 0;
    quint32 m_firstDifat = ENDOFCHAIN;

    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    std::vector<quint32> m_owner;     // per sector: the chain that holds it, 0 for none
    std::vector<quint32> m_miniOwner; // the same per mini sector
    quint32 m_nextOwner = 1;
    std::vector<quint32> m_miniStreamSectors;
    QByteArray m_directory;
    quint32 m_entryCount = 0;
};

bool Loader::load(std::vector<StreamEntry>& streams)
{
    uchar header[HeaderBytesRead];
    if (!readHeader(header))
        return false;
    if (!loadFat(header))
        return false;
    if (!loadDirectory(le32(header + hdr::FirstDirectorySector)))
        return false;
    if (!loadMiniStream(le32(header + hdr::FirstMiniFatSector), le32(header + hdr::MiniFatSectorCount)))
        return false;
    return collectRootChildren(streams);
}

// Header sanity checks, each refusing a file that could only be misread.
bool Loader::readHeader(uchar* h)
{
    if (m_src.size() < HeaderBytesRead) {
        const QString why = QStringLiteral("the file is too short to be a compound file");
        if (m_src.size() == 0)
            return fail(why, CompoundFile::Fault::Empty);
        // The start of a compound file cut short, or something else entirely.
        const qint64 shown = std::min<qint64>(m_src.size(), sizeof Signature);
        if (!m_src.read(0, reinterpret_cast<char*>(h), shown) || std::memcmp(h, Signature, size_t(shown)) != 0)
            return fail(why, CompoundFile::Fault::NotCompoundFile);
        return failTruncated(why);
    }
    if (!m_src.read(0, reinterpret_cast<char*>(h), HeaderBytesRead))
        return fail(QStringLiteral("the header cannot be read"), CompoundFile::Fault::ReadFailed);
    const quint16 major = le16(h + hdr::MajorVersion);
    const quint16 shift = le16(h + hdr::SectorShift);
    const quint16 miniShift = le16(h + hdr::MiniSectorShift);
    m_fatCount = le32(h + hdr::FatSectorCount);
    m_difatCount = le32(h + hdr::DifatSectorCount);
    m_firstDifat = le32(h + hdr::FirstDifatSector);
    const quint32 miniFatCount = le32(h + hdr::MiniFatSectorCount);

    if (std::memcmp(h + hdr::Signature, Signature, sizeof Signature) != 0)
        return fail(QStringLiteral("bad signature: not a compound file"), CompoundFile::Fault::NotCompoundFile);
    if (le16(h + hdr::ByteOrder) != ByteOrderMark)
        return fail(QStringLiteral("the byte order mark is not 0xFFFE"));
    if (major != 3 && major != 4)
        return fail(QStringLiteral("unsupported major version %1").arg(major));
    if (shift != (major == 3 ? SectorShiftV3 : SectorShiftV4))
        return fail(QStringLiteral("sector shift %1 does not belong to version %2").arg(shift).arg(major));
    if (miniShift != MiniSectorShift)
        return fail(QStringLiteral("mini sector shift %1 is not 6").arg(miniShift));
    if (le32(h + hdr::MiniStreamCutoff) != MiniStreamCutoff)
        return fail(QStringLiteral("mini stream cutoff %1 is not 4096").arg(le32(h + hdr::MiniStreamCutoff)));

    m_v3 = major == 3;
    m_sectorShift = shift;
    m_sectorSize = 1u << shift;
    m_headerSize = m_sectorSize; // the header fills sector -1
    if (m_src.size() < m_headerSize)
        return failTruncated(QStringLiteral("the file is truncated inside its header"));
    const qint64 sectors = (m_src.size() - m_headerSize + m_sectorSize - 1) >> m_sectorShift;
    m_sectorCount = quint32(std::min<qint64>(sectors, qint64(MAXREGSECT) + 1));

    // Counts are checked against the file before anything is allocated from them.
    if (m_fatCount == 0)
        return fail(QStringLiteral("the header counts no FAT sectors"));
    if (m_fatCount > m_sectorCount)
        return failTruncated(QStringLiteral("the header counts %1 FAT sectors but the file holds %2 sectors")
                        .arg(m_fatCount).arg(m_sectorCount));
    if (m_difatCount > m_sectorCount)
        return failTruncated(QStringLiteral("the header counts %1 DIFAT sectors but the file holds %2 sectors")
                        .arg(m_difatCount).arg(m_sectorCount));
    if (miniFatCount > m_sectorCount)
        return failTruncated(QStringLiteral("the header counts %1 mini FAT sectors but the file holds %2 sectors")
                        .arg(miniFatCount).arg(m_sectorCount));
    m_owner.assign(m_sectorCount, 0);
    return true;
}

// Marks sector as held by chain owner; false when it is a marker, lies beyond
// the file, or is held already (a loop when by the same chain).
bool Loader::claimChecked(quint32 sector, quint32 owner, const QString& what)
{
    if (sector > MAXREGSECT)
        return fail(QStringLiteral("%1 is broken: it meets the marker %2 where a sector belongs").arg(what, hex32(sector)));
    if (sector >= m_sectorCount)
        return failTruncated(QStringLiteral("%1 refers to sector %2, beyond the %3 sectors of the file")
                        .arg(what).arg(sector).arg(m_sectorCount));
    quint32& holder = m_owner[sector];
    if (holder == owner)
        return fail(QStringLiteral("%1 loops back to sector %2").arg(what).arg(sector));
    if (holder != 0)
        return fail(QStringLiteral("%1 shares sector %2 with another chain").arg(what).arg(sector));
    holder = owner;
    return true;
}

// Follows the FAT from start, claiming every sector. With wanted < 0 it walks to
// ENDOFCHAIN; otherwise it takes exactly wanted sectors and ignores what follows.
// Each step claims a sector no chain held before, so no walk outlasts the file's
// sector count.
bool Loader::walkChain(quint32 start, qint64 wanted, const QString& what, std::vector<quint32>& out)
{
    out.clear();
    if (wanted > 0)
        out.reserve(size_t(std::min<qint64>(wanted, m_sectorCount)));
    const quint32 owner = m_nextOwner++;
    quint32 sector = start;
    while (wanted < 0 || qint64(out.size()) < wanted) {
        if (sector == ENDOFCHAIN) {
            if (wanted < 0)
                return true;
            return fail(QStringLiteral("%1 is larger than its chain of %2 sectors").arg(what).arg(out.size()));
        }
        if (!claim(sector, owner, what))
            return false;
        out.push_back(sector);
        if (qint64(out.size()) == wanted)
            break;
        if (sector >= m_fat.size())
            return fail(QStringLiteral("%1 runs through sector %2, which the FAT does not cover").arg(what).arg(sector));
        sector = m_fat[sector];
    }
    return true;
}

// The same over the mini FAT and the mini stream's 64-byte sectors.
bool Loader::walkMiniChain(quint32 start, qint64 wanted, const QString& what, std::vector<quint32>& out)
{
    out.clear();
    if (wanted > qint64(m_miniOwner.size()))
        return fail(QStringLiteral("%1 is larger than the mini stream").arg(what));
    out.reserve(size_t(wanted));
    const quint32 owner = m_nextOwner++;
    quint32 sector = start;
    while (qint64(out.size()) < wanted) {
        if (sector == ENDOFCHAIN)
            return fail(QStringLiteral("%1 is larger than its chain of %2 mini sectors").arg(what).arg(out.size()));
        if (sector > MAXREGSECT)
            return fail(QStringLiteral("%1 is broken: it meets the marker %2 where a mini sector belongs").arg(what, hex32(sector)));
        if (sector >= m_miniOwner.size())
            return fail(QStringLiteral("%1 refers to mini sector %2, beyond the %3 of the mini stream")
                            .arg(what).arg(sector).arg(m_miniOwner.size()));
        quint32& holder = m_miniOwner[sector];
        if (holder == owner)
            return fail(QStringLiteral("%1 loops back to mini sector %2").arg(what).arg(sector));
        if (holder != 0)
            return fail(QStringLiteral("%1 shares mini sector %2 with another chain").arg(what).arg(sector));
        holder = owner;
        out.push_back(sector);
        if (qint64(out.size()) == wanted)
            break;
        if (sector >= m_miniFat.size())
            return fail(QStringLiteral("%1 runs through mini sector %2, which the mini FAT does not cover").arg(what).arg(sector));
        sector = m_miniFat[sector];
    }
    return true;
}

// Reads whole sectors into dst, one read per run of consecutive sectors.
bool Loader::readSectors(const std::vector<quint32>& sectors, char* dst, const QString& what)
{
    size_t i = 0;
    while (i < sectors.size()) {
        size_t j = i + 1;
        while (j < sectors.size() && sectors[j] == sectors[j - 1] + 1)
            ++j;
        const qint64 offset = sectorOffset(sectors[i]);
        const qint64 length = qint64(j - i) << m_sectorShift;
        if (offset + length > m_src.size())
            return failTruncated(QStringLiteral("the file is truncated: %1 ends beyond its end").arg(what));
        if (!m_src.read(offset, dst, length))
            return fail(QStringLiteral("%1 cannot be read").arg(what), CompoundFile::Fault::ReadFailed);
        dst += length;
        i = j;
    }
    return true;
}

// Gathers the FAT sectors from the header and the DIFAT chain, then reads the FAT.
bool Loader::loadFat(const uchar* header)
{
    const QString listWhat = QStringLiteral("the list of FAT sectors");
    const QString difatWhat = QStringLiteral("the DIFAT chain");
    std::vector<quint32> fatSectors;
    fatSectors.reserve(m_fatCount);
    const quint32 fatOwner = m_nextOwner++;
    for (int i = 0; i < HeaderDifatEntries && fatSectors.size() < m_fatCount; ++i) {
        const quint32 sector = le32(header + hdr::Difat + 4 * i);
        if (!claim(sector, fatOwner, listWhat))
            return false;
        fatSectors.push_back(sector);
    }

    const quint32 difatOwner = m_nextOwner++;
    const quint32 perDifat = m_sectorSize / 4 - 1; // the last entry links to the next DIFAT sector
    std::vector<char> difat(m_sectorSize);
    quint32 next = m_firstDifat;
    quint32 difatLeft = m_difatCount;
    while (fatSectors.size() < m_fatCount) {
        if (difatLeft == 0 || next == ENDOFCHAIN || next == FREESECT)
            return fail(QStringLiteral("the DIFAT lists %1 FAT sectors where the header counts %2")
                            .arg(fatSectors.size()).arg(m_fatCount));
        if (!claim(next, difatOwner, difatWhat) || !readSectors({next}, difat.data(), difatWhat))
            return false;
        --difatLeft;
        const auto* p = reinterpret_cast<const uchar*>(difat.data());
        for (quint32 j = 0; j < perDifat && fatSectors.size() < m_fatCount; ++j) {
            const quint32 sector = le32(p + 4 * j);
            if (!claim(sector, fatOwner, listWhat))
                return false;
            fatSectors.push_back(sector);
        }
        next = le32(p + 4 * perDifat);
    }

    m_fat.resize(size_t(m_fatCount) * (m_sectorSize / 4));
    if (!readSectors(fatSectors, reinterpret_cast<char*>(m_fat.data()), QStringLiteral("the FAT")))
        return false;
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
        for (quint32& v : m_fat)
            v = qFromLittleEndian(v);
    }
    return true;
}

bool Loader::loadDirectory(quint32 firstSector)
{
    const QString what = QStringLiteral("the directory chain");
    std::vector<quint32> sectors;
    if (!walkChain(firstSector, -1, what, sectors))
        return false;
    if (sectors.empty())
        return fail(QStringLiteral("the directory is empty"));
    m_directory.resize(qsizetype(sectors.size()) << m_sectorShift);
    if (!readSectors(sectors, m_directory.data(), QStringLiteral("the directory")))
        return false;
    m_entryCount = quint32(std::min<qint64>(m_directory.size() / DirectoryEntrySize, qint64(MAXREGSID) + 1));
    if (entryAt(0)[dir::ObjectType] != TypeRoot)
        return fail(QStringLiteral("the first directory entry is not the root storage"));
    return true;
}

// Reads the mini FAT and maps the mini stream, which the root entry holds.
bool Loader::loadMiniStream(quint32 firstMiniFatSector, quint32 miniFatCount)
{
    if (miniFatCount > 0) {
        std::vector<quint32> sectors;
        if (!walkChain(firstMiniFatSector, -1, QStringLiteral("the mini FAT chain"), sectors))
            return false;
        if (sectors.size() != miniFatCount)
            return fail(QStringLiteral("the mini FAT chain holds %1 sectors where the header counts %2")
                            .arg(sectors.size()).arg(miniFatCount));
        m_miniFat.resize(size_t(miniFatCount) * (m_sectorSize / 4));
        if (!readSectors(sectors, reinterpret_cast<char*>(m_miniFat.data()), QStringLiteral("the mini FAT")))
            return false;
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            for (quint32& v : m_miniFat)
                v = qFromLittleEndian(v);
        }
    }

    const uchar* root = entryAt(0);
    const quint64 size = maskedSize(root);
    if (size == 0)
        return true;
    if (size > quint64(m_src.size()))
        return failTruncated(QStringLiteral("the mini stream claims %1 bytes, more than the file holds").arg(size));
    const qint64 wanted = qint64((size + m_sectorSize - 1) >> m_sectorShift);
    if (!walkChain(le32(root + dir::StartSector), wanted, QStringLiteral("the mini stream"), m_miniStreamSectors))
        return false;
    m_miniOwner.assign(size_t((size + MiniSectorSize - 1) / MiniSectorSize), 0);
    return true;
}

bool Loader::entryName(quint32 id, QString& name)
{
    const uchar* e = entryAt(id);
    const quint16 bytes = le16(e + dir::NameLength);
    if (bytes < 2 || bytes > dir::MaxNameBytes || bytes % 2 != 0)
        return fail(QStringLiteral("directory entry %1 has a bad name length %2").arg(id).arg(bytes));
    const int units = bytes / 2 - 1; // without the terminating NUL
    name.resize(units);
    for (int i = 0; i < units; ++i)
        name[i] = QChar(le16(e + dir::Name + 2 * i));
    return true;
}

// Walks the root's red-black tree of children without recursion; every entry
// may be met once, so a tree that loops is caught instead of walked forever.
bool Loader::collectRootChildren(std::vector<StreamEntry>& streams)
{
    std::vector<bool> seen(m_entryCount, false);
    seen[0] = true;
    QSet<QString> keys;
    std::vector<quint32> pending;
    std::vector<quint32> starts;
    const quint32 rootChild = le32(entryAt(0) + dir::Child);
    if (rootChild != NOSTREAM)
        pending.push_back(rootChild);
    while (!pending.empty()) {
        const quint32 id = pending.back();
        pending.pop_back();
        if (id >= m_entryCount)
            return fail(QStringLiteral("the directory tree refers to entry %1 of %2").arg(id).arg(m_entryCount));
        if (seen[id])
            return fail(QStringLiteral("the directory tree loops back to entry %1").arg(id));
        seen[id] = true;
        const uchar* e = entryAt(id);
        const quint8 type = e[dir::ObjectType];
        if (type != TypeStream && type != TypeStorage)
            return fail(QStringLiteral("directory entry %1 under the root is of type %2, neither stream nor storage")
                            .arg(id).arg(type));
        QString name;
        if (!entryName(id, name))
            return false;
        const QString key = nameKey(name);
        if (keys.contains(key))
            return fail(QStringLiteral("the root holds two entries named '%1'").arg(name));
        keys.insert(key);
        if (type == TypeStream) {
            StreamEntry stream;
            stream.name = name;
            stream.entry = id;
            streams.push_back(std::move(stream));
        }
        for (int link : {dir::LeftSibling, dir::RightSibling}) {
            const quint32 sibling = le32(e + link);
            if (sibling != NOSTREAM)
                pending.push_back(sibling);
        }
    }

    std::sort(streams.begin(), streams.end(),
              [](const StreamEntry& a, const StreamEntry& b) { return a.entry < b.entry; });
    for (StreamEntry& stream : streams) {
        if (!mapStream(stream, le32(entryAt(stream.entry) + dir::StartSector)))
            return false;
    }
    return true;
}

// Checks a stream's chain against its size and turns it into file extents.
bool Loader::mapStream(StreamEntry& stream, quint32 start)
{
    const QString what = QStringLiteral("stream '%1'").arg(stream.name);
    const quint64 size = maskedSize(entryAt(stream.entry));
    if (size > quint64(m_src.size()))
        return failTruncated(QStringLiteral("%1 claims %2 bytes, more than the file holds").arg(what).arg(size));
    stream.size = qint64(size);
    if (size == 0)
        return true; // nothing to read, whatever its chain says

    std::vector<quint32> sectors;
    qint64 left = stream.size;
    if (size < MiniStreamCutoff) {
        if (!walkMiniChain(start, qint64((size + MiniSectorSize - 1) / MiniSectorSize), what, sectors))
            return false;
        for (quint32 mini : sectors) {
            const qint64 pos = qint64(mini) * MiniSectorSize;
            const quint32 host = m_miniStreamSectors[size_t(pos >> m_sectorShift)];
            const qint64 length = std::min<qint64>(left, MiniSectorSize);
            appendExtent(stream.extents, sectorOffset(host) + (pos & (m_sectorSize - 1)), length);
            left -= length;
        }
    } else {
        if (!walkChain(start, qint64((size + m_sectorSize - 1) >> m_sectorShift), what, sectors))
            return false;
        // One extent per run of consecutive sectors; only the last run can be
        // cut short by the size.
        for (size_t i = 0; i < sectors.size();) {
            size_t j = i + 1;
            while (j < sectors.size() && sectors[j] == sectors[j - 1] + 1)
                ++j;
            const qint64 length = std::min<qint64>(left, qint64(j - i) << m_sectorShift);
            appendExtent(stream.extents, sectorOffset(sectors[i]), length);
            left -= length;
            i = j;
        }
    }
    for (const Extent& extent : stream.extents) {
        if (extent.offset + extent.length > m_src.size())
            return failTruncated(QStringLiteral("the file is truncated: %1 ends beyond its end").arg(what));
    }
    return true;
}

} // namespace

struct CompoundFile::Impl
{
    std::unique_ptr<ByteSource> source;
    std::vector<StreamEntry> streams; // directory order
    QHash<QString, int> byKey;
    QString path; // of the file opened, if any; errorString() names it
    QString error;
    Fault fault = Fault::None;

    bool fail(Fault kind, const QString& why)
    {
        fault = kind;
        error = why;
        return false;
    }

    bool load(std::unique_ptr<ByteSource> from)
    {
        Loader loader(*from);
        std::vector<StreamEntry> found;
        try {
            if (!loader.load(found))
                return fail(loader.fault(), loader.error());
        } catch (const std::bad_alloc&) {
            // Tables of a file far larger than memory allows.
            return fail(Fault::NoMemory, QStringLiteral("not enough memory for the file's tables"));
        }
        streams = std::move(found);
        for (int i = 0; i < int(streams.size()); ++i)
            byKey.insert(nameKey(streams[size_t(i)].name), i);
        source = std::move(from);
        return true;
    }
    const StreamEntry* find(const QString& name) const
    {
        const auto it = byKey.constFind(nameKey(name));
        return it == byKey.constEnd() ? nullptr : &streams[size_t(*it)];
    }
    // The stream to read, or null with error set when no file is open or it lacks the stream.
    const StreamEntry* findForReading(const QString& name)
    {
        if (!source) {
            fail(Fault::ReadFailed, QStringLiteral("no compound file is open"));
            return nullptr;
        }
        const StreamEntry* stream = find(name);
        if (!stream)
            fail(Fault::NoStream, QStringLiteral("there is no stream '%1'").arg(name));
        return stream;
    }
    // Reads length bytes from offset on (both within the stream's size) extent
    // by extent into dst; false with error set when the file cannot give them.
    bool readPart(const StreamEntry& stream, qint64 offset, char* dst, qint64 length)
    {
        for (const Extent& extent : stream.extents) {
            if (length <= 0)
                break;
            if (offset >= extent.length) {
                offset -= extent.length;
                continue;
            }
            const qint64 part = std::min(extent.length - offset, length);
            if (!source->read(extent.offset + offset, dst, part))
                return fail(Fault::ReadFailed, QStringLiteral("stream '%1' cannot be read whole").arg(stream.name));
            offset = 0;
            dst += part;
            length -= part;
        }
        return true;
    }
};

CompoundFile::CompoundFile() : d(std::make_unique<Impl>()) {}

CompoundFile::~CompoundFile() = default;

bool CompoundFile::open(const QString& path, FileIdentity* identity)
{
    close();
    d->path = path;
    auto file = std::make_unique<FileSource>(path);
    if (!file->open())
        return d->fail(Fault::CannotOpen, file->errorString());
    if (identity)
        *identity = ReadOpenFileIdentity(file->handle());
    return d->load(std::move(file));
}

bool CompoundFile::openBytes(const QByteArray& bytes)
{
    close();
    return d->load(std::make_unique<MemorySource>(bytes));
}

void CompoundFile::close()
{
    d->source.reset();
    d->streams.clear();
    d->byKey.clear();
    d->path.clear();
    d->error.clear();
    d->fault = Fault::None;
}

bool CompoundFile::isOpen() const
{
    return d->source != nullptr;
}

QString CompoundFile::errorString() const
{
    return d->path.isEmpty() || d->error.isEmpty() ? d->error : QStringLiteral("%1: %2").arg(d->path, d->error);
}

QString CompoundFile::errorDetail() const
{
    return d->error;
}

CompoundFile::Fault CompoundFile::fault() const
{
    return d->fault;
}

bool CompoundFile::hasStream(const QString& name) const
{
    return d->find(name) != nullptr;
}

qint64 CompoundFile::streamSize(const QString& name) const
{
    const StreamEntry* stream = d->find(name);
    return stream ? stream->size : -1;
}

bool CompoundFile::readStream(const QString& name, QByteArray& out)
{
    out.clear();
    const StreamEntry* stream = d->findForReading(name);
    if (!stream)
        return false;
    QByteArray buffer(qsizetype(stream->size), Qt::Uninitialized);
    if (!d->readPart(*stream, 0, buffer.data(), stream->size))
        return false;
    out = std::move(buffer);
    return true;
}

bool CompoundFile::readStreamPart(const QString& name, qint64 offset, void* dst, qint64 length)
{
    const StreamEntry* stream = d->findForReading(name);
    if (!stream)
        return false;
    if (offset < 0 || length < 0 || offset > stream->size || length > stream->size - offset) {
        return d->fail(Fault::ReadFailed, QStringLiteral("stream '%1' of %2 bytes does not hold %3 bytes from offset %4")
                                              .arg(stream->name).arg(stream->size).arg(length).arg(offset));
    }
    return d->readPart(*stream, offset, static_cast<char*>(dst), length);
}

QStringList CompoundFile::streamNames() const
{
    QStringList names;
    names.reserve(qsizetype(d->streams.size()));
    for (const StreamEntry& stream : d->streams)
        names.append(stream.name);
    return names;
}
