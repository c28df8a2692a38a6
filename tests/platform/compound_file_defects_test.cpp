#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/ChmFile.h"
#include "platform/CompoundFile.h"
#include "support/AddressSpaceCap.h"
#include "support/CfbWriter.h"
#include "support/StgWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QStringList>

#include <random>

using testsupport::CfbLayout;
using testsupport::CfbOptions;
using testsupport::CfbStream;
using testsupport::getLe32;
using testsupport::putLe16;
using testsupport::putLe32;
using testsupport::putLe64;
using ::testing::HasSubstr;

namespace {

// Header fields and directory entry fields, as the format lays them out.
constexpr int HeaderMajorVersion = 26;
constexpr int HeaderByteOrder = 28;
constexpr int HeaderSectorShift = 30;
constexpr int HeaderMiniSectorShift = 32;
constexpr int HeaderFatCount = 44;
constexpr int HeaderFirstDirectory = 48;
constexpr int HeaderCutoff = 56;
constexpr int HeaderMiniFatCount = 64;
constexpr int HeaderDifatCount = 72;
constexpr int HeaderDifat = 76;
constexpr int EntryNameLength = 64;
constexpr int EntryType = 66;
constexpr int EntryLeft = 68;
constexpr int EntryRight = 72;
constexpr int EntryChild = 76;
constexpr int EntryStart = 116;
constexpr int EntrySize = 120;

constexpr quint32 FREESECT = 0xFFFFFFFF;

// Directory entries: 1 "Raw_data" (10 sectors), 2 "Time" (1 mini sector),
// 3 "Table" (11 mini sectors), 4 "Passport" (8 sectors, exactly the cutoff).
// The streams are a real chromatogram, padded to those sizes (readers stop
// after their last item), so every defect is also seen by the file reader.
struct ValidFile
{
    QByteArray bytes;
    CfbLayout layout;
    qint64 entry(int id) const { return layout.directoryEntryOffset(id); }
};

QByteArray paddedTo(QByteArray bytes, int size)
{
    bytes.append(QByteArray(size - bytes.size(), '\0'));
    return bytes;
}

QList<CfbStream> validStreams()
{
    std::vector<float> samples(1250);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(i % 50);
    testsupport::StgTable table;
    table.peaks.append(testsupport::peak(0.1, 0.2, 1.0, QStringLiteral("Метан")));
    testsupport::StgPassport passport;
    passport.sample = QStringLiteral("ГС");
    return {
        {QStringLiteral("Raw_data"), testsupport::rawDataStream(samples)},
        {QStringLiteral("Time"), testsupport::timeStream(0.0f, 0.001f, 0.002f)},
        {QStringLiteral("Table"), paddedTo(testsupport::tableStream(table), 700)},
        {QStringLiteral("Passport"), paddedTo(testsupport::passportStream(passport), 4096)}};
}

ValidFile validFile(const CfbOptions& options = {})
{
    ValidFile f;
    f.bytes = testsupport::buildCompoundFile(validStreams(), options, &f.layout);
    return f;
}

ValidFile validDifatFile()
{
    CfbOptions options;
    options.minimumFatSectors = 237; // two DIFAT sectors
    return validFile(options);
}

int openAsChromatogram(const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defect.stg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return -1;
    file.close();
    COpenedChmFile chromatogram;
    return chromatogram.Open(path);
}

// The error of a refused file; fails the test when the file opens.
// The chromatogram reader refuses it too, from a file on disk.
std::string refusal(const QByteArray& bytes)
{
    CompoundFile cf;
    EXPECT_FALSE(cf.openBytes(bytes));
    EXPECT_FALSE(cf.isOpen());
    EXPECT_TRUE(cf.streamNames().isEmpty());
    EXPECT_FALSE(cf.errorString().isEmpty());
    EXPECT_EQ(openAsChromatogram(bytes), 0);
    return cf.errorString().toStdString();
}

} // namespace

TEST(CompoundFileDefects, opensTheUndamagedFilesTheDefectsAreMadeFrom)
{
    for (const ValidFile& f : {validFile(), validDifatFile()}) {
        CompoundFile cf;
        ASSERT_TRUE(cf.openBytes(f.bytes)) << cf.errorString().toStdString();
        EXPECT_EQ(cf.streamNames().size(), 4);
        EXPECT_EQ(openAsChromatogram(f.bytes), 1);
    }
    EXPECT_EQ(validDifatFile().layout.difatSectors.size(), 2);
}

TEST(CompoundFileDefects, refusesBadSignature)
{
    ValidFile f = validFile();
    f.bytes[7] = char(0xE0);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("signature"));
    EXPECT_THAT(refusal(QByteArray(4096, 'x')), HasSubstr("signature"));
}

TEST(CompoundFileDefects, refusesBadByteOrderMark)
{
    ValidFile f = validFile();
    putLe16(f.bytes, HeaderByteOrder, 0xFEFF);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("byte order"));
}

TEST(CompoundFileDefects, refusesUnknownMajorVersion)
{
    ValidFile f = validFile();
    putLe16(f.bytes, HeaderMajorVersion, 5);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("version 5"));
}

TEST(CompoundFileDefects, refusesBadSectorShift)
{
    ValidFile v3 = validFile();
    putLe16(v3.bytes, HeaderSectorShift, 12);
    EXPECT_THAT(refusal(v3.bytes), HasSubstr("sector shift 12"));
    CfbOptions options;
    options.majorVersion = 4;
    ValidFile v4 = validFile(options);
    putLe16(v4.bytes, HeaderSectorShift, 9);
    EXPECT_THAT(refusal(v4.bytes), HasSubstr("sector shift 9"));
    putLe16(v4.bytes, HeaderSectorShift, 31);
    EXPECT_THAT(refusal(v4.bytes), HasSubstr("sector shift 31"));
}

TEST(CompoundFileDefects, refusesBadMiniSectorShiftOrCutoff)
{
    ValidFile f = validFile();
    putLe16(f.bytes, HeaderMiniSectorShift, 7);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("mini sector shift 7"));
    ValidFile g = validFile();
    putLe32(g.bytes, HeaderCutoff, 2048);
    EXPECT_THAT(refusal(g.bytes), HasSubstr("cutoff 2048"));
}

TEST(CompoundFileDefects, refusesTruncatedFile)
{
    const ValidFile f = validFile();
    EXPECT_THAT(refusal(f.bytes.left(100)), HasSubstr("too short"));
    // The FAT sector is last: losing one byte cuts it.
    EXPECT_THAT(refusal(f.bytes.left(f.bytes.size() - 1)), HasSubstr("truncated"));
    refusal(f.bytes.left(f.bytes.size() / 2));
    refusal(f.bytes.left(512));
    CfbOptions options;
    options.majorVersion = 4;
    EXPECT_THAT(refusal(validFile(options).bytes.left(1000)), HasSubstr("truncated inside its header"));
}

TEST(CompoundFileDefects, refusesHugeFatCountWithoutAllocating)
{
    // A trusted count would ask for 2 TB; the cap turns any such attempt into a failure.
    testsupport::AddressSpaceCap cap(256ull << 20);
    for (int field : {HeaderFatCount, HeaderDifatCount, HeaderMiniFatCount}) {
        ValidFile f = validFile();
        putLe32(f.bytes, field, 0xFFFFFFF0);
        EXPECT_THAT(refusal(f.bytes), HasSubstr("but the file holds 24 sectors"));
    }
    ValidFile none = validFile();
    putLe32(none.bytes, HeaderFatCount, 0);
    EXPECT_THAT(refusal(none.bytes), HasSubstr("no FAT sectors"));
}

TEST(CompoundFileDefects, refusesFileWhoseFatLoops)
{
    ValidFile f = validFile();
    // "Raw_data" runs through its 10 sectors; send the fifth back to the third.
    const quint32 start = f.layout.streamStart[0];
    putLe32(f.bytes, f.layout.fatEntryOffset(start + 4), start + 2);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("loops back to sector"));
}

TEST(CompoundFileDefects, refusesDirectoryChainThatLoops)
{
    ValidFile f = validFile();
    ASSERT_EQ(f.layout.directorySectorCount, 2);
    const quint32 second = f.layout.firstDirectorySector + 1;
    putLe32(f.bytes, f.layout.fatEntryOffset(second), f.layout.firstDirectorySector);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("directory chain loops"));
}

TEST(CompoundFileDefects, refusesMiniFatChainThatLoops)
{
    ValidFile f = validFile();
    putLe32(f.bytes, f.layout.fatEntryOffset(f.layout.firstMiniFatSector), f.layout.firstMiniFatSector);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("mini FAT chain loops"));
}

TEST(CompoundFileDefects, refusesMiniChainThatLoops)
{
    ValidFile f = validFile();
    const quint32 table = f.layout.streamStart[2];
    putLe32(f.bytes, f.layout.miniFatEntryOffset(table + 5), table + 1);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("loops back to mini sector"));
}

TEST(CompoundFileDefects, refusesDifatChainThatLoops)
{
    ValidFile f = validDifatFile();
    const quint32 first = f.layout.difatSectors[0];
    putLe32(f.bytes, f.layout.sectorOffset(first) + 508, first);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("DIFAT chain loops"));
}

TEST(CompoundFileDefects, refusesDifatShorterThanTheFatCount)
{
    ValidFile f = validDifatFile();
    putLe32(f.bytes, HeaderDifatCount, 1);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("the DIFAT lists 236 FAT sectors where the header counts 237"));
    ValidFile g = validDifatFile();
    putLe32(g.bytes, f.layout.sectorOffset(f.layout.difatSectors[0]) + 508, 0xFFFFFFFE);
    EXPECT_THAT(refusal(g.bytes), HasSubstr("the DIFAT lists 236"));
}

TEST(CompoundFileDefects, refusesDirectoryTreeThatLoops)
{
    ValidFile f = validFile();
    // The root's child is "Table" (entry 3), whose left child is "Time" (entry 2).
    ASSERT_EQ(f.layout.treeRoot, 3u);
    ASSERT_EQ(getLe32(f.bytes, f.entry(3) + EntryLeft), 2u);
    putLe32(f.bytes, f.entry(2) + EntryRight, 3);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("directory tree loops back to entry 3"));
    ValidFile g = validFile();
    putLe32(g.bytes, g.entry(2) + EntryLeft, 0);
    EXPECT_THAT(refusal(g.bytes), HasSubstr("loops back to entry 0"));
}

TEST(CompoundFileDefects, refusesDirectoryIndexOutOfRange)
{
    ValidFile f = validFile();
    putLe32(f.bytes, f.entry(0) + EntryChild, 8); // two directory sectors hold entries 0..7
    EXPECT_THAT(refusal(f.bytes), HasSubstr("refers to entry 8 of 8"));
    ValidFile g = validFile();
    putLe32(g.bytes, g.entry(4) + EntryRight, 0xFFFFFFFA);
    EXPECT_THAT(refusal(g.bytes), HasSubstr("refers to entry 4294967290"));
}

TEST(CompoundFileDefects, refusesSectorIndexOutOfRange)
{
    ValidFile chain = validFile();
    putLe32(chain.bytes, chain.layout.fatEntryOffset(chain.layout.streamStart[0] + 1), 24);
    EXPECT_THAT(refusal(chain.bytes), HasSubstr("sector 24, beyond the 24 sectors"));
    ValidFile start = validFile();
    putLe32(start.bytes, start.entry(4) + EntryStart, 5000);
    EXPECT_THAT(refusal(start.bytes), HasSubstr("stream 'Passport' refers to sector 5000"));
    ValidFile directory = validFile();
    putLe32(directory.bytes, HeaderFirstDirectory, 0x00100000);
    EXPECT_THAT(refusal(directory.bytes), HasSubstr("directory chain refers to sector 1048576"));
    ValidFile fat = validFile();
    putLe32(fat.bytes, HeaderDifat, 30);
    EXPECT_THAT(refusal(fat.bytes), HasSubstr("FAT sectors refers to sector 30"));
    ValidFile mini = validFile();
    putLe32(mini.bytes, mini.entry(2) + EntryStart, 12); // the mini stream holds mini sectors 0..11
    EXPECT_THAT(refusal(mini.bytes), HasSubstr("mini sector 12, beyond the 12"));
}

TEST(CompoundFileDefects, refusesChainBrokenByAMarker)
{
    ValidFile f = validFile();
    putLe32(f.bytes, f.layout.fatEntryOffset(f.layout.streamStart[0] + 3), FREESECT);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("marker 0xffffffff"));
    ValidFile g = validFile();
    putLe32(g.bytes, g.layout.miniFatEntryOffset(g.layout.streamStart[2]), 0xFFFFFFFD);
    EXPECT_THAT(refusal(g.bytes), HasSubstr("marker 0xfffffffd"));
}

TEST(CompoundFileDefects, refusesChainsThatShareSectors)
{
    ValidFile f = validFile();
    putLe32(f.bytes, f.entry(4) + EntryStart, f.layout.streamStart[0] + 2);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("stream 'Passport' shares sector"));
    ValidFile fatTwice = validDifatFile();
    putLe32(fatTwice.bytes, HeaderDifat + 4, fatTwice.layout.fatSectors[0]);
    EXPECT_THAT(refusal(fatTwice.bytes), HasSubstr("list of FAT sectors loops back"));
}

TEST(CompoundFileDefects, refusesStreamLargerThanItsChain)
{
    ValidFile big = validFile();
    putLe64(big.bytes, big.entry(1) + EntrySize, 5121); // 11 sectors on a chain of 10
    EXPECT_THAT(refusal(big.bytes), HasSubstr("stream 'Raw_data' is larger than its chain of 10 sectors"));
    ValidFile small = validFile();
    putLe64(small.bytes, small.entry(2) + EntrySize, 65); // 2 mini sectors on a chain of 1
    EXPECT_THAT(refusal(small.bytes), HasSubstr("stream 'Time' is larger than its chain of 1 mini sectors"));
    ValidFile beyondMini = validFile();
    putLe64(beyondMini.bytes, beyondMini.entry(2) + EntrySize, 4000); // 63 mini sectors, 12 exist
    EXPECT_THAT(refusal(beyondMini.bytes), HasSubstr("larger than the mini stream"));
    ValidFile miniStream = validFile();
    putLe64(miniStream.bytes, miniStream.entry(0) + EntrySize, 1025); // 3 sectors on a chain of 2
    EXPECT_THAT(refusal(miniStream.bytes), HasSubstr("mini stream is larger than its chain of 2"));
}

TEST(CompoundFileDefects, refusesStreamLargerThanTheFile)
{
    CfbOptions options;
    options.majorVersion = 4;
    ValidFile f = validFile(options);
    putLe64(f.bytes, f.entry(1) + EntrySize, 1ull << 40);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("claims 1099511627776 bytes"));
}

TEST(CompoundFileDefects, ignoresTheHighHalfOfSizesInVersion3)
{
    ValidFile f = validFile();
    putLe32(f.bytes, f.entry(1) + EntrySize + 4, 0xDEADBEEF);
    putLe32(f.bytes, f.entry(0) + EntrySize + 4, 0x00000001);
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(f.bytes)) << cf.errorString().toStdString();
    EXPECT_EQ(cf.streamSize(QStringLiteral("Raw_data")), 5000);
    QByteArray got;
    ASSERT_TRUE(cf.readStream(QStringLiteral("Table"), got));
    EXPECT_TRUE(got == validStreams()[2].data);
}

TEST(CompoundFileDefects, refusesEntryOfTheWrongType)
{
    ValidFile unallocated = validFile();
    unallocated.bytes[unallocated.entry(2) + EntryType] = 0;
    EXPECT_THAT(refusal(unallocated.bytes), HasSubstr("entry 2 under the root is of type 0"));
    ValidFile secondRoot = validFile();
    secondRoot.bytes[secondRoot.entry(4) + EntryType] = 5;
    EXPECT_THAT(refusal(secondRoot.bytes), HasSubstr("entry 4 under the root is of type 5"));
    ValidFile root = validFile();
    root.bytes[root.entry(0) + EntryType] = 1;
    EXPECT_THAT(refusal(root.bytes), HasSubstr("not the root storage"));
}

TEST(CompoundFileDefects, refusesBadNameLengthOrDuplicateNames)
{
    ValidFile tooLong = validFile();
    putLe16(tooLong.bytes, tooLong.entry(3) + EntryNameLength, 66);
    EXPECT_THAT(refusal(tooLong.bytes), HasSubstr("entry 3 has a bad name length 66"));
    ValidFile odd = validFile();
    putLe16(odd.bytes, odd.entry(3) + EntryNameLength, 7);
    EXPECT_THAT(refusal(odd.bytes), HasSubstr("bad name length 7"));
    // "Time" renamed "TABLE", which differs from "Table" only in case.
    ValidFile twice = validFile();
    const QString name = QStringLiteral("TABLE");
    for (int i = 0; i < name.size(); ++i)
        putLe16(twice.bytes, twice.entry(2) + 2 * i, name[i].unicode());
    putLe16(twice.bytes, twice.entry(2) + EntryNameLength, 12);
    EXPECT_THAT(refusal(twice.bytes), HasSubstr("two entries named"));
}

TEST(CompoundFileDefects, refusesMiniFatCountThatDisagreesWithItsChain)
{
    ValidFile f = validFile();
    putLe32(f.bytes, HeaderMiniFatCount, 2);
    EXPECT_THAT(refusal(f.bytes), HasSubstr("mini FAT chain holds 1 sectors where the header counts 2"));
}

// Random damage to sound files must never crash, hang or allocate without bound,
// and whatever opens must read every stream whole.
TEST(CompoundFileMutation, survivesThousandsOfRandomMutationsAndTruncations)
{
    CfbOptions v4;
    v4.majorVersion = 4;
    const ValidFile base = validFile();
    const QList<QByteArray> sound = {base.bytes, validDifatFile().bytes, validFile(v4).bytes};
    const quint32 markers[] = {0, 1, 2, 0x7F, 0xFFFFFFFA, 0xFFFFFFFC, 0xFFFFFFFD, 0xFFFFFFFE, 0xFFFFFFFF, 0x80000000};
    std::mt19937 rng(20240611);
    testsupport::AddressSpaceCap cap(512ull << 20);
    int opened = 0;
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes = sound[round % sound.size()];
        const int kind = int(rng() % 4);
        if (kind == 0) {
            bytes.truncate(qsizetype(rng() % quint32(bytes.size())));
        } else {
            const int count = 1 + int(rng() % 4);
            for (int i = 0; i < count; ++i) {
                // Mostly the structure: header, FAT, directory; sometimes anywhere.
                const qsizetype span = kind == 1 ? bytes.size() : qMin<qsizetype>(bytes.size(), 4096);
                const qsizetype at = qsizetype(rng() % quint32(span)) & ~qsizetype(3);
                if (kind == 3 && at + 4 <= bytes.size())
                    putLe32(bytes, at, markers[rng() % std::size(markers)]);
                else
                    bytes[at] = char(rng());
            }
            if (kind == 3) {
                // Aim at the tree links and sizes of the sound directory as well.
                if (round % sound.size() == 0) {
                    const qint64 entry = base.entry(int(rng() % 5));
                    const int fields[] = {EntryLeft, EntryRight, EntryChild, EntryStart, EntrySize};
                    putLe32(bytes, entry + fields[rng() % 5], markers[rng() % std::size(markers)] ^ (rng() % 8));
                }
            }
        }
        CompoundFile cf;
        if (!cf.openBytes(bytes))
            continue;
        ++opened;
        for (const QString& name : cf.streamNames()) {
            QByteArray got;
            ASSERT_TRUE(cf.readStream(name, got)) << round << ": " << cf.errorString().toStdString();
            ASSERT_EQ(got.size(), cf.streamSize(name)) << round;
        }
    }
    EXPECT_GT(opened, 0);
}
