#include "support/CfbWriter.h"

#include <QFile>
#include <QSet>

#include <algorithm>

// Written from the published format on its own, without the reader's
// constants, so that a misreading shared by both would be unlikely.
namespace testsupport {

namespace {

constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kMiniSector = 64;
constexpr int kCutoff = 4096;
constexpr int kEntrySize = 128;
constexpr int kHeaderDifat = 109;

qint64 ceilDiv(qint64 a, qint64 b) { return (a + b - 1) / b; }

QString upperUnits(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        c = c.toUpper();
    return out;
}

// The directory's own order: shorter names first, then code unit by code unit upper-cased.
bool nameLess(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    const QString ua = upperUnits(a);
    const QString ub = upperUnits(b);
    for (qsizetype i = 0; i < ua.size(); ++i) {
        if (ua[i] != ub[i])
            return ua[i].unicode() < ub[i].unicode();
    }
    return false;
}

struct TreeNode
{
    quint32 left = kNoStream;
    quint32 right = kNoStream;
    bool red = false;
};

// A balanced tree by median split: every empty link sits at depth h or h + 1
// with h = floor(log2(n + 1)), so the nodes at depth h can be red and the rest
// black, which makes it a valid red-black tree.
quint32 buildTree(const QList<int>& sorted, int lo, int hi, int depth, int redDepth, QList<TreeNode>& nodes)
{
    if (lo > hi)
        return kNoStream;
    const int mid = (lo + hi) / 2;
    const int stream = sorted[mid];
    nodes[stream].red = depth == redDepth;
    nodes[stream].left = buildTree(sorted, lo, mid - 1, depth + 1, redDepth, nodes);
    nodes[stream].right = buildTree(sorted, mid + 1, hi, depth + 1, redDepth, nodes);
    return quint32(stream + 1); // directory id
}

void writeEntry(QByteArray& file, qint64 at, const QString& name, quint8 type, const TreeNode& node,
                quint32 child, quint32 start, quint64 size)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        putLe16(file, at + 2 * i, name[i].unicode());
    putLe16(file, at + 64, quint16((name.size() + 1) * 2));
    file[at + 66] = char(type);
    file[at + 67] = node.red ? 0 : 1;
    putLe32(file, at + 68, node.left);
    putLe32(file, at + 72, node.right);
    putLe32(file, at + 76, child);
    putLe32(file, at + 116, start);
    putLe64(file, at + 120, size);
}

} // namespace

qint64 CfbLayout::fatEntryOffset(quint32 sector) const
{
    const quint32 perSector = quint32(sectorSize / 4);
    return sectorOffset(fatSectors[int(sector / perSector)]) + 4 * (sector % perSector);
}

qint64 CfbLayout::miniFatEntryOffset(quint32 miniSector) const
{
    return sectorOffset(firstMiniFatSector) + 4 * qint64(miniSector);
}

qint64 CfbLayout::miniSectorOffset(quint32 miniSector) const
{
    return sectorOffset(miniStreamStart) + qint64(miniSector) * kMiniSector;
}

qint64 CfbLayout::directoryEntryOffset(int entry) const
{
    return sectorOffset(firstDirectorySector) + qint64(entry) * kEntrySize;
}

QByteArray buildCompoundFile(const QList<CfbStream>& streams, const CfbOptions& options)
{
    return buildCompoundFile(streams, options, nullptr);
}

QByteArray buildCompoundFile(const QList<CfbStream>& streams, const CfbOptions& options, CfbLayout* layoutOut)
{
    QSet<QString> seen;
    for (const CfbStream& s : streams) {
        if (s.name.isEmpty() || s.name.size() > 31 || seen.contains(upperUnits(s.name)))
            return {};
        seen.insert(upperUnits(s.name));
    }

    CfbLayout L;
    L.sectorSize = options.majorVersion == 4 ? 4096 : 512;
    L.headerSize = L.sectorSize;
    const int ss = L.sectorSize;
    const int n = int(streams.size());

    // Sectors of the big streams, then the small ones packed into the mini stream.
    quint32 next = 0;
    qint64 miniStreamSize = 0;
    for (const CfbStream& s : streams) {
        const qint64 size = s.data.size();
        const bool mini = size < kCutoff;
        L.streamInMiniStream.append(mini);
        if (size == 0) {
            L.streamStart.append(kEndOfChain);
        } else if (mini) {
            L.streamStart.append(quint32(miniStreamSize / kMiniSector));
            miniStreamSize += ceilDiv(size, kMiniSector) * kMiniSector;
        } else {
            L.streamStart.append(next);
            next += quint32(ceilDiv(size, ss));
        }
    }
    if (miniStreamSize > 0) {
        L.miniStreamStart = next;
        L.miniStreamSectorCount = int(ceilDiv(miniStreamSize, ss));
        next += quint32(L.miniStreamSectorCount);
        L.firstMiniFatSector = next;
        L.miniFatSectorCount = int(ceilDiv(miniStreamSize / kMiniSector * 4, ss));
        next += quint32(L.miniFatSectorCount);
    }
    L.firstDirectorySector = next;
    L.directorySectorCount = int(ceilDiv(qint64(n + 1) * kEntrySize, ss));
    next += quint32(L.directorySectorCount);

    // The FAT must describe itself and the DIFAT too: grow both until they fit.
    const int perFat = ss / 4;
    const int perDifat = ss / 4 - 1;
    int fatCount = 1;
    int difatCount = 0;
    int minimumFat = options.minimumFatSectors;
    if (options.forceDifatSectors)
        minimumFat = std::max(minimumFat, kHeaderDifat + 1);
    for (;;) {
        fatCount = std::max<int>(minimumFat, int(ceilDiv(qint64(next) + fatCount + difatCount, perFat)));
        const int difatNeeded = fatCount > kHeaderDifat ? int(ceilDiv(fatCount - kHeaderDifat, perDifat)) : 0;
        if (qint64(fatCount) * perFat >= qint64(next) + fatCount + difatNeeded && difatNeeded == difatCount)
            break;
        difatCount = difatNeeded;
    }
    for (int i = 0; i < fatCount; ++i)
        L.fatSectors.append(next++);
    for (int i = 0; i < difatCount; ++i)
        L.difatSectors.append(next++);
    L.sectorCount = next;

    QByteArray file(L.headerSize + qint64(next) * ss, '\0');

    // FAT: every chain runs through consecutive sectors.
    QList<quint32> fat(fatCount * perFat, kFreeSect);
    auto chain = [&fat](quint32 first, qint64 count) {
        for (qint64 i = 0; i < count; ++i)
            fat[int(first + i)] = i + 1 < count ? quint32(first + i + 1) : kEndOfChain;
    };
    for (int i = 0; i < n; ++i) {
        if (!L.streamInMiniStream[i])
            chain(L.streamStart[i], ceilDiv(streams[i].data.size(), ss));
    }
    if (miniStreamSize > 0) {
        chain(L.miniStreamStart, L.miniStreamSectorCount);
        chain(L.firstMiniFatSector, L.miniFatSectorCount);
    }
    chain(L.firstDirectorySector, L.directorySectorCount);
    for (quint32 s : L.fatSectors)
        fat[int(s)] = kFatSect;
    for (quint32 s : L.difatSectors)
        fat[int(s)] = kDifSect;
    for (int i = 0; i < fat.size(); ++i)
        putLe32(file, L.sectorOffset(L.fatSectors[i / perFat]) + 4 * (i % perFat), fat[i]);

    // Header.
    const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i)
        file[i] = char(signature[i]);
    putLe16(file, 24, 0x003E);
    putLe16(file, 26, quint16(options.majorVersion == 4 ? 4 : 3));
    putLe16(file, 28, 0xFFFE);
    putLe16(file, 30, quint16(ss == 4096 ? 12 : 9));
    putLe16(file, 32, 6);
    putLe32(file, 40, options.majorVersion == 4 ? quint32(L.directorySectorCount) : 0);
    putLe32(file, 44, quint32(fatCount));
    putLe32(file, 48, L.firstDirectorySector);
    putLe32(file, 56, kCutoff);
    putLe32(file, 60, L.firstMiniFatSector);
    putLe32(file, 64, quint32(L.miniFatSectorCount));
    putLe32(file, 68, difatCount > 0 ? L.difatSectors[0] : kEndOfChain);
    putLe32(file, 72, quint32(difatCount));
    for (int i = 0; i < kHeaderDifat; ++i)
        putLe32(file, 76 + 4 * i, i < fatCount ? L.fatSectors[i] : kFreeSect);

    // DIFAT sectors: the FAT sectors the header had no room for, then the link.
    for (int d = 0; d < difatCount; ++d) {
        const qint64 at = L.sectorOffset(L.difatSectors[d]);
        for (int j = 0; j < perDifat; ++j) {
            const int index = kHeaderDifat + d * perDifat + j;
            putLe32(file, at + 4 * j, index < fatCount ? L.fatSectors[index] : kFreeSect);
        }
        putLe32(file, at + 4 * perDifat, d + 1 < difatCount ? L.difatSectors[d + 1] : kEndOfChain);
    }

    // Stream data, the mini stream and its FAT.
    if (miniStreamSize > 0) {
        for (qint64 i = 0; i < L.miniFatSectorCount * perFat; ++i)
            putLe32(file, L.sectorOffset(L.firstMiniFatSector) + 4 * i, kFreeSect);
    }
    for (int i = 0; i < n; ++i) {
        const QByteArray& data = streams[i].data;
        if (data.isEmpty())
            continue;
        if (L.streamInMiniStream[i]) {
            const qint64 count = ceilDiv(data.size(), kMiniSector);
            for (qint64 k = 0; k < count; ++k) {
                const quint32 mini = quint32(L.streamStart[i] + k);
                putLe32(file, L.miniFatEntryOffset(mini), k + 1 < count ? mini + 1 : kEndOfChain);
            }
            file.replace(L.miniSectorOffset(L.streamStart[i]), data.size(), data);
        } else {
            file.replace(L.sectorOffset(L.streamStart[i]), data.size(), data);
        }
    }

    // Directory.
    QList<int> sorted;
    for (int i = 0; i < n; ++i)
        sorted.append(i);
    std::sort(sorted.begin(), sorted.end(),
              [&streams](int a, int b) { return nameLess(streams[a].name, streams[b].name); });
    int redDepth = 0;
    while ((2 << redDepth) <= n + 1)
        ++redDepth; // floor(log2(n + 1))
    QList<TreeNode> nodes(n);
    L.treeRoot = buildTree(sorted, 0, n - 1, 0, redDepth, nodes);
    const int entrySlots = L.directorySectorCount * ss / kEntrySize;
    for (int e = 0; e < entrySlots; ++e) {
        const qint64 at = L.directoryEntryOffset(e);
        if (e == 0) {
            writeEntry(file, at, QStringLiteral("Root Entry"), 5, TreeNode{}, L.treeRoot,
                       miniStreamSize > 0 ? L.miniStreamStart : kEndOfChain, quint64(miniStreamSize));
        } else if (e <= n) {
            const int i = e - 1;
            writeEntry(file, at, streams[i].name, 2, nodes[i], kNoStream, L.streamStart[i],
                       quint64(streams[i].data.size()));
        } else {
            putLe32(file, at + 68, kNoStream);
            putLe32(file, at + 72, kNoStream);
            putLe32(file, at + 76, kNoStream);
        }
    }

    if (layoutOut)
        *layoutOut = L;
    return file;
}

bool writeCompoundFile(const QString& path, const QList<CfbStream>& streams, const CfbOptions& options)
{
    const QByteArray bytes = buildCompoundFile(streams, options);
    if (bytes.isEmpty())
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray patternBytes(qsizetype size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (qsizetype i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = char(x >> 24);
    }
    return out;
}

void putLe16(QByteArray& bytes, qint64 offset, quint16 value)
{
    for (int i = 0; i < 2; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

void putLe32(QByteArray& bytes, qint64 offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

void putLe64(QByteArray& bytes, qint64 offset, quint64 value)
{
    for (int i = 0; i < 8; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

quint32 getLe32(const QByteArray& bytes, qint64 offset)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(bytes[offset + i]);
    return v;
}

} // namespace testsupport
