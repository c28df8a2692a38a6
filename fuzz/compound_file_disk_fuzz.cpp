// libFuzzer entry for files on disk: the input is written to a file, which is
// then opened as a compound file, as a chromatogram and as the one entry of a
// folder listing, each through the reader that takes a file in windows
// growing from 4 KiB. Whatever the file holds, each must come out as the same
// bytes read from memory do.

#include "data/ChmFile.h"
#include "data/ChromatogramFolderListing.h"
#include "data/Passport.h"
#include "platform/CompoundFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A folder in memory where the system has one: the reader is under test, not the disk.
QString scratchTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return (shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath()) + QStringLiteral("/tavrin-fuzz-XXXXXX");
}

// One folder for the whole run, holding the one file every input is written to.
struct Scratch
{
    QTemporaryDir dir{scratchTemplate()};
    QString path = dir.filePath(QStringLiteral("input.stg"));
};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Every stream read whole in directory order, as a chromatogram is read;
// then from the last stream back to the first, each in parts of 1 byte to
// 2 KiB, most of them short, in a sequence fixed by seed: the windows are left
// for distant ones, and a read that ends just past a window's end is met.
bool sameStreams(CompoundFile& disk, CompoundFile& memory, std::uint32_t seed)
{
    const QStringList names = memory.streamNames();
    if (disk.streamNames() != names)
        return false;
    for (const QString& name : names) {
        QByteArray a;
        QByteArray b;
        if (!disk.readStream(name, a) || !memory.readStream(name, b) || a != b || a.size() != disk.streamSize(name))
            return false;
    }
    constexpr qint64 kLongestPart = 2048;
    char a[kLongestPart];
    char b[kLongestPart];
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        const qint64 size = memory.streamSize(*name);
        for (qint64 offset = 0, length = 0; offset < size; offset += length) {
            seed = seed * 1103515245u + 12345u;
            const std::uint32_t longest = 2u << ((seed >> 24) % 11); // 2 to kLongestPart
            length = std::min(size - offset, qint64(1 + ((seed >> 8) & 0xFFFF) % longest));
            if (!disk.readStreamPart(*name, offset, a, length) || !memory.readStreamPart(*name, offset, b, length)
                || std::memcmp(a, b, size_t(length)) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    // Not copied: an overrun past the input is caught by the sanitizer exactly.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!scratch.dir.isValid() || !writeFile(scratch.path, bytes))
        __builtin_trap(); // no place to write: nothing could be tested

    CompoundFile disk;
    CompoundFile memory;
    const bool opened = disk.open(scratch.path);
    if (opened != memory.openBytes(bytes))
        __builtin_trap();
    if (!opened && disk.errorString() != scratch.path + QStringLiteral(": ") + memory.errorString())
        __builtin_trap();
    if (opened && !sameStreams(disk, memory, std::uint32_t(qHash(bytes))))
        __builtin_trap();

    COpenedChmFile chromatogramFromDisk;
    COpenedChmFile chromatogramFromMemory;
    const int read = chromatogramFromDisk.Open(scratch.path);
    if (read != chromatogramFromMemory.OpenBytes(bytes, scratch.path))
        __builtin_trap();
    if (read == 1) {
        // Bit for bit: a damaged signal may hold NaNs.
        const SampleVector& a = chromatogramFromDisk.signal().samples();
        const SampleVector& b = chromatogramFromMemory.signal().samples();
        if (a.size() != b.size() || (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) != 0)
            || chromatogramFromDisk.peakTable().peaks().size() != chromatogramFromMemory.peakTable().peaks().size())
            __builtin_trap();
    }

    // The opening dialog's list reads the passport alone.
    const std::vector<OpenListItem> items = ReadFolderItems(scratch.dir.path(), OpenListAny);
    CPassport passport;
    const bool readable = ReadPassportOnlyFromBytes(passport, bytes);
    if (items.size() != 1)
        __builtin_trap();
    if (readable && (items[0].strSample != passport.sample || items[0].tmAnalysis != passport.analysisTime))
        __builtin_trap();
    if (!readable && items[0].strSample != QStringLiteral("????"))
        __builtin_trap();
    return 0;
}
