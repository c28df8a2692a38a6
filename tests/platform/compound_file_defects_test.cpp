#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/ChmFile.h"
#include "platform/CompoundFile.h"
#include "support/AddressSpaceCap.h"
#include "support/CfbWriter.h"
#include "support/FileBytes.h"
#include "support/StgWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QStringList>

#include <ostream>
#include <random>
#include <string>

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
constexpr quint32 ENDOFCHAIN = 0xFFFFFFFE;
constexpr quint32 FATSECT = 0xFFFFFFFD;

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

// Version 3 with 512-byte sectors, version 4 with 4096-byte ones, or version 3
// with so many FAT sectors that two DIFAT sectors list the rest.
enum class Base { V3, V4, Difat };

ValidFile validFile(Base base = Base::V3)
{
    CfbOptions options;
    if (base == Base::V4)
        options.majorVersion = 4;
    if (base == Base::Difat)
        options.minimumFatSectors = 237;
    ValidFile f;
    f.bytes = testsupport::buildCompoundFile(validStreams(), options, &f.layout);
    return f;
}

int openAsChromatogram(const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defect.stg"));
    if (!testsupport::writeFileBytes(path, bytes))
        return -1;
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

// One damaged file: a sound one with a single patch, and the words of the
// error that name the defect.
struct Defect
{
    const char* name;
    Base base;
    void (*damage)(ValidFile&);
    const char* cause;
};

const Defect kDefects[] = {
    // Header.
    {"badSignature", Base::V3, [](ValidFile& f) { f.bytes[7] = char(0xE0); }, "signature"},
    {"textInsteadOfAHeader", Base::V3, [](ValidFile& f) { f.bytes = QByteArray(4096, 'x'); }, "signature"},
    {"badByteOrderMark", Base::V3, [](ValidFile& f) { putLe16(f.bytes, HeaderByteOrder, 0xFEFF); }, "byte order"},
    {"unknownMajorVersion", Base::V3, [](ValidFile& f) { putLe16(f.bytes, HeaderMajorVersion, 5); }, "version 5"},
    {"version3WithLargeSectors", Base::V3, [](ValidFile& f) { putLe16(f.bytes, HeaderSectorShift, 12); },
     "sector shift 12"},
    {"version4WithSmallSectors", Base::V4, [](ValidFile& f) { putLe16(f.bytes, HeaderSectorShift, 9); },
     "sector shift 9"},
    {"absurdSectorShift", Base::V4, [](ValidFile& f) { putLe16(f.bytes, HeaderSectorShift, 31); }, "sector shift 31"},
    {"badMiniSectorShift", Base::V3, [](ValidFile& f) { putLe16(f.bytes, HeaderMiniSectorShift, 7); },
     "mini sector shift 7"},
    {"badCutoff", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderCutoff, 2048); }, "cutoff 2048"},
    // A trusted count would ask for 2 TB; the test runs under an address-space cap.
    {"hugeFatCount", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderFatCount, 0xFFFFFFF0); },
     "but the file holds 24 sectors"},
    {"hugeDifatCount", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderDifatCount, 0xFFFFFFF0); },
     "but the file holds 24 sectors"},
    {"hugeMiniFatCount", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderMiniFatCount, 0xFFFFFFF0); },
     "but the file holds 24 sectors"},
    {"noFatSectors", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderFatCount, 0); }, "no FAT sectors"},
    {"miniFatCountDisagreesWithItsChain", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderMiniFatCount, 2); },
     "mini FAT chain holds 1 sectors where the header counts 2"},

    // Truncation.
    {"shorterThanAHeader", Base::V3, [](ValidFile& f) { f.bytes.truncate(100); }, "too short"},
    // The FAT sector is last: losing one byte cuts it.
    {"lastSectorCutByOneByte", Base::V3, [](ValidFile& f) { f.bytes.chop(1); }, "truncated"},
    {"cutInHalf", Base::V3, [](ValidFile& f) { f.bytes.truncate(f.bytes.size() / 2); }, ""},
    {"headerAlone", Base::V3, [](ValidFile& f) { f.bytes.truncate(512); }, ""},
    {"cutInsideTheLargeHeader", Base::V4, [](ValidFile& f) { f.bytes.truncate(1000); },
     "truncated inside its header"},

    // Chains that loop.
    {"fatChainLoops", Base::V3,
     [](ValidFile& f) {
         // "Raw_data" runs through its 10 sectors; send the fifth back to the third.
         const quint32 start = f.layout.streamStart[0];
         putLe32(f.bytes, f.layout.fatEntryOffset(start + 4), start + 2);
     },
     "loops back to sector"},
    {"directoryChainLoops", Base::V3,
     [](ValidFile& f) {
         const quint32 second = f.layout.firstDirectorySector + 1;
         putLe32(f.bytes, f.layout.fatEntryOffset(second), f.layout.firstDirectorySector);
     },
     "directory chain loops"},
    {"miniFatChainLoops", Base::V3,
     [](ValidFile& f) {
         putLe32(f.bytes, f.layout.fatEntryOffset(f.layout.firstMiniFatSector), f.layout.firstMiniFatSector);
     },
     "mini FAT chain loops"},
    {"miniChainLoops", Base::V3,
     [](ValidFile& f) {
         const quint32 table = f.layout.streamStart[2];
         putLe32(f.bytes, f.layout.miniFatEntryOffset(table + 5), table + 1);
     },
     "loops back to mini sector"},
    {"difatChainLoops", Base::Difat,
     [](ValidFile& f) {
         const quint32 first = f.layout.difatSectors[0];
         putLe32(f.bytes, f.layout.sectorOffset(first) + 508, first);
     },
     "DIFAT chain loops"},
    {"fatSectorListedTwice", Base::Difat,
     [](ValidFile& f) { putLe32(f.bytes, HeaderDifat + 4, f.layout.fatSectors[0]); },
     "list of FAT sectors loops back"},
    // The root's child is "Table" (entry 3), whose left child is "Time" (entry 2).
    {"directoryTreeLoopsBackToAnAncestor", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.entry(2) + EntryRight, 3); }, "directory tree loops back to entry 3"},
    {"directoryTreeLoopsBackToTheRoot", Base::V3, [](ValidFile& f) { putLe32(f.bytes, f.entry(2) + EntryLeft, 0); },
     "loops back to entry 0"},

    // The DIFAT lists fewer FAT sectors than the header counts.
    {"difatCountTooSmall", Base::Difat, [](ValidFile& f) { putLe32(f.bytes, HeaderDifatCount, 1); },
     "the DIFAT lists 236 FAT sectors where the header counts 237"},
    {"difatChainEndsEarly", Base::Difat,
     [](ValidFile& f) { putLe32(f.bytes, f.layout.sectorOffset(f.layout.difatSectors[0]) + 508, ENDOFCHAIN); },
     "the DIFAT lists 236"},

    // Indices beyond what exists.
    {"childBeyondTheDirectory", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.entry(0) + EntryChild, 8); }, // two directory sectors hold entries 0..7
     "refers to entry 8 of 8"},
    {"siblingFarBeyondTheDirectory", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.entry(4) + EntryRight, 0xFFFFFFFA); }, "refers to entry 4294967290"},
    {"chainRunsPastTheLastSector", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.layout.fatEntryOffset(f.layout.streamStart[0] + 1), 24); },
     "sector 24, beyond the 24 sectors"},
    {"streamStartsPastTheLastSector", Base::V3, [](ValidFile& f) { putLe32(f.bytes, f.entry(4) + EntryStart, 5000); },
     "stream 'Passport' refers to sector 5000"},
    {"directoryStartsPastTheLastSector", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, HeaderFirstDirectory, 0x00100000); },
     "directory chain refers to sector 1048576"},
    {"fatSectorPastTheLastSector", Base::V3, [](ValidFile& f) { putLe32(f.bytes, HeaderDifat, 30); },
     "FAT sectors refers to sector 30"},
    {"miniStreamStartsPastItsEnd", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.entry(2) + EntryStart, 12); }, // the mini stream holds mini sectors 0..11
     "mini sector 12, beyond the 12"},

    // Chains broken or shared.
    {"chainBrokenByAFreeMarker", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.layout.fatEntryOffset(f.layout.streamStart[0] + 3), FREESECT); },
     "marker 0xffffffff"},
    {"miniChainBrokenByAFatMarker", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.layout.miniFatEntryOffset(f.layout.streamStart[2]), FATSECT); },
     "marker 0xfffffffd"},
    {"chainsShareASector", Base::V3,
     [](ValidFile& f) { putLe32(f.bytes, f.entry(4) + EntryStart, f.layout.streamStart[0] + 2); },
     "stream 'Passport' shares sector"},

    // Sizes the chains cannot hold.
    {"streamLargerThanItsChain", Base::V3,
     [](ValidFile& f) { putLe64(f.bytes, f.entry(1) + EntrySize, 5121); }, // 11 sectors on a chain of 10
     "stream 'Raw_data' is larger than its chain of 10 sectors"},
    {"smallStreamLargerThanItsMiniChain", Base::V3,
     [](ValidFile& f) { putLe64(f.bytes, f.entry(2) + EntrySize, 65); }, // 2 mini sectors on a chain of 1
     "stream 'Time' is larger than its chain of 1 mini sectors"},
    {"smallStreamLargerThanTheMiniStream", Base::V3,
     [](ValidFile& f) { putLe64(f.bytes, f.entry(2) + EntrySize, 4000); }, // 63 mini sectors, 12 exist
     "larger than the mini stream"},
    {"miniStreamLargerThanItsChain", Base::V3,
     [](ValidFile& f) { putLe64(f.bytes, f.entry(0) + EntrySize, 1025); }, // 3 sectors on a chain of 2
     "mini stream is larger than its chain of 2"},
    {"streamLargerThanTheFile", Base::V4, [](ValidFile& f) { putLe64(f.bytes, f.entry(1) + EntrySize, 1ull << 40); },
     "claims 1099511627776 bytes"},

    // Directory entries.
    {"unallocatedEntryUnderTheRoot", Base::V3, [](ValidFile& f) { f.bytes[f.entry(2) + EntryType] = 0; },
     "entry 2 under the root is of type 0"},
    {"secondRootUnderTheRoot", Base::V3, [](ValidFile& f) { f.bytes[f.entry(4) + EntryType] = 5; },
     "entry 4 under the root is of type 5"},
    {"rootThatIsNoRootStorage", Base::V3, [](ValidFile& f) { f.bytes[f.entry(0) + EntryType] = 1; },
     "not the root storage"},
    {"nameLengthBeyondTheField", Base::V3, [](ValidFile& f) { putLe16(f.bytes, f.entry(3) + EntryNameLength, 66); },
     "entry 3 has a bad name length 66"},
    {"oddNameLength", Base::V3, [](ValidFile& f) { putLe16(f.bytes, f.entry(3) + EntryNameLength, 7); },
     "bad name length 7"},
    {"twoNamesEqualButForCase", Base::V3,
     [](ValidFile& f) {
         // "Time" renamed "TABLE", which differs from "Table" only in case.
         const QString name = QStringLiteral("TABLE");
         for (int i = 0; i < name.size(); ++i)
             putLe16(f.bytes, f.entry(2) + 2 * i, name[i].unicode());
         putLe16(f.bytes, f.entry(2) + EntryNameLength, 12);
     },
     "two entries named"},
};

void PrintTo(const Defect& defect, std::ostream* out) { *out << defect.name; }

class CompoundFileDefect : public ::testing::TestWithParam<Defect>
{
};

} // namespace

TEST(CompoundFileDefects, opensTheUndamagedFilesTheDefectsAreMadeFrom)
{
    for (Base base : {Base::V3, Base::V4, Base::Difat}) {
        const ValidFile f = validFile(base);
        CompoundFile cf;
        ASSERT_TRUE(cf.openBytes(f.bytes)) << cf.errorString().toStdString();
        EXPECT_EQ(cf.streamNames().size(), 4);
        EXPECT_EQ(openAsChromatogram(f.bytes), 1);
    }
    // The layout the defects count on.
    const ValidFile f = validFile();
    EXPECT_EQ(f.layout.sectorCount, 24u);
    EXPECT_EQ(f.layout.directorySectorCount, 2);
    EXPECT_EQ(f.layout.treeRoot, 3u);
    EXPECT_EQ(getLe32(f.bytes, f.entry(3) + EntryLeft), 2u);
    EXPECT_EQ(validFile(Base::Difat).layout.difatSectors.size(), 2);
}

TEST_P(CompoundFileDefect, isRefusedWithItsCause)
{
    testsupport::AddressSpaceCap cap(256ull << 20);
    ValidFile f = validFile(GetParam().base);
    GetParam().damage(f);
    EXPECT_THAT(refusal(f.bytes), HasSubstr(GetParam().cause));
}

INSTANTIATE_TEST_SUITE_P(Each, CompoundFileDefect, ::testing::ValuesIn(kDefects),
                         [](const ::testing::TestParamInfo<Defect>& info) { return std::string(info.param.name); });

// A sound-looking header whose FAT needs more memory than the process may
// take: the file is refused, no exception escapes. The file is sparse: only
// the header and the DIFAT sectors are written.
TEST(CompoundFileDefects, refusesFileWhoseTablesExceedMemory)
{
    constexpr quint32 fatSectors = 500000;       // a 256 MB FAT
    constexpr quint32 perDifat = 127;
    constexpr quint32 difatSectors = (fatSectors - 109 + perDifat - 1) / perDifat;
    constexpr quint32 sectorCount = difatSectors + fatSectors + 2;
    QByteArray header(512, '\0');
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    header.replace(0, 8, QByteArray(signature, 8));
    putLe16(header, 24, 0x3E);
    putLe16(header, HeaderMajorVersion, 3);
    putLe16(header, HeaderByteOrder, 0xFFFE);
    putLe16(header, HeaderSectorShift, 9);
    putLe16(header, HeaderMiniSectorShift, 6);
    putLe32(header, HeaderFatCount, fatSectors);
    putLe32(header, HeaderFirstDirectory, sectorCount - 1);
    putLe32(header, HeaderCutoff, 4096);
    putLe32(header, 60, 0xFFFFFFFE);
    putLe32(header, 68, 0); // the DIFAT starts at sector 0
    putLe32(header, HeaderDifatCount, difatSectors);
    quint32 nextFat = difatSectors;
    for (int i = 0; i < 109; ++i)
        putLe32(header, HeaderDifat + 4 * i, nextFat++);
    QByteArray difat(qsizetype(difatSectors) * 512, '\0');
    for (quint32 k = 0; k < difatSectors; ++k) {
        for (quint32 j = 0; j < perDifat; ++j)
            putLe32(difat, qsizetype(k) * 512 + 4 * j, nextFat < difatSectors + fatSectors ? nextFat++ : FREESECT);
        putLe32(difat, qsizetype(k) * 512 + 4 * perDifat, k + 1 < difatSectors ? k + 1 : 0xFFFFFFFE);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.stg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(header + difat), header.size() + difat.size());
    ASSERT_TRUE(file.resize(512 + qint64(sectorCount) * 512));
    file.close();

    testsupport::AddressSpaceCap cap(64ull << 20);
    if (!cap.active())
        GTEST_SKIP() << "the address space cannot be limited here";
    CompoundFile cf;
    EXPECT_FALSE(cf.open(path));
    EXPECT_THAT(cf.errorString().toStdString(), HasSubstr("memory"));
    COpenedChmFile chromatogram;
    EXPECT_EQ(chromatogram.Open(path), 0);
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

// Random damage to sound files must never crash, hang or allocate without bound,
// and whatever opens must read every stream whole.
TEST(CompoundFileMutation, survivesThousandsOfRandomMutationsAndTruncations)
{
    const ValidFile base = validFile();
    const QList<QByteArray> sound = {base.bytes, validFile(Base::Difat).bytes, validFile(Base::V4).bytes};
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
