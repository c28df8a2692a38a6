#include <gtest/gtest.h>

#include "platform/CompoundFile.h"
#include "support/CfbWriter.h"

#include <QStringList>
#include <QTemporaryDir>

using testsupport::CfbLayout;
using testsupport::CfbOptions;
using testsupport::CfbStream;
using testsupport::patternBytes;
using testsupport::buildCompoundFile;
using testsupport::putLe16;
using testsupport::putLe32;
using testsupport::putLe64;

namespace {

void expectStreamsReadBack(CompoundFile& cf, const QList<CfbStream>& streams)
{
    QStringList names;
    for (const CfbStream& s : streams)
        names.append(s.name);
    EXPECT_EQ(cf.streamNames(), names);
    for (const CfbStream& s : streams) {
        SCOPED_TRACE(s.name.toStdString());
        EXPECT_TRUE(cf.hasStream(s.name));
        EXPECT_EQ(cf.streamSize(s.name), s.data.size());
        QByteArray got;
        ASSERT_TRUE(cf.readStream(s.name, got)) << cf.errorString().toStdString();
        EXPECT_EQ(got.size(), s.data.size());
        EXPECT_TRUE(got == s.data);
    }
}

QList<CfbStream> cutoffStreams()
{
    return {{QStringLiteral("Raw_data"), patternBytes(4097, 1)},
            {QStringLiteral("Time"), patternBytes(12, 2)},
            {QStringLiteral("Table"), QByteArray()},
            {QStringLiteral("Passport"), patternBytes(4095, 3)},
            {QStringLiteral("Exact"), patternBytes(4096, 4)},
            {QStringLiteral("One"), patternBytes(1, 5)},
            {QStringLiteral("Sixty4"), patternBytes(64, 6)}};
}

} // namespace

TEST(CompoundFileRoundTrip, readsStreamsAroundTheMiniStreamCutoffInVersion3)
{
    const QList<CfbStream> streams = cutoffStreams();
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(buildCompoundFile(streams))) << cf.errorString().toStdString();
    EXPECT_TRUE(cf.isOpen());
    expectStreamsReadBack(cf, streams);
}

TEST(CompoundFileRoundTrip, readsStreamsAroundTheMiniStreamCutoffInVersion4)
{
    const QList<CfbStream> streams = cutoffStreams();
    CfbOptions v4;
    v4.majorVersion = 4;
    CfbLayout layout;
    const QByteArray bytes = buildCompoundFile(streams, v4, &layout);
    ASSERT_EQ(layout.sectorSize, 4096);
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(bytes)) << cf.errorString().toStdString();
    expectStreamsReadBack(cf, streams);
}

TEST(CompoundFileRoundTrip, readsManyStreamsAcrossSeveralDirectoryAndMiniFatSectors)
{
    // 150 streams: 38 directory sectors, and the mini stream needs far more than
    // the 128 mini sectors one mini FAT sector describes.
    QList<CfbStream> streams;
    for (int i = 0; i < 150; ++i)
        streams.append({QStringLiteral("s%1").arg(i), patternBytes((i * 277) % 5000, quint32(100 + i))});
    CfbLayout layout;
    const QByteArray bytes = buildCompoundFile(streams, {}, &layout);
    ASSERT_GT(layout.miniFatSectorCount, 1);
    ASSERT_GT(layout.directorySectorCount, 1);
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(bytes)) << cf.errorString().toStdString();
    expectStreamsReadBack(cf, streams);
}

TEST(CompoundFileRoundTrip, findsStreamsWithoutRegardToCase)
{
    const QByteArray passport = patternBytes(40, 9);
    const QList<CfbStream> streams = {{QStringLiteral("Raw_data"), patternBytes(8, 7)},
                                      {QStringLiteral("Паспорт"), passport}};
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(buildCompoundFile(streams)));
    EXPECT_TRUE(cf.hasStream(QStringLiteral("RAW_DATA")));
    EXPECT_TRUE(cf.hasStream(QStringLiteral("raw_Data")));
    EXPECT_EQ(cf.streamSize(QStringLiteral("ПАСПОРТ")), 40);
    QByteArray got;
    ASSERT_TRUE(cf.readStream(QStringLiteral("паспорт"), got));
    EXPECT_TRUE(got == passport);
    // Only case is forgiven.
    EXPECT_FALSE(cf.hasStream(QStringLiteral("Raw_dat")));
    EXPECT_FALSE(cf.hasStream(QStringLiteral("Raw_data ")));
    EXPECT_EQ(cf.streamSize(QStringLiteral("Time")), -1);
    EXPECT_FALSE(cf.readStream(QStringLiteral("Time"), got));
    EXPECT_TRUE(got.isEmpty());
    EXPECT_FALSE(cf.errorString().isEmpty());
}

TEST(CompoundFileRoundTrip, followsDifatSectorsBeyondTheHeadersFatList)
{
    const QList<CfbStream> streams = {{QStringLiteral("Raw_data"), patternBytes(9000, 11)},
                                      {QStringLiteral("Time"), patternBytes(12, 12)}};
    for (int major : {3, 4}) {
        SCOPED_TRACE(major);
        CfbOptions options;
        options.majorVersion = major;
        options.forceDifatSectors = true;
        CfbLayout layout;
        const QByteArray bytes = buildCompoundFile(streams, options, &layout);
        ASSERT_EQ(layout.fatSectors.size(), 110);
        ASSERT_EQ(layout.difatSectors.size(), 1);
        CompoundFile cf;
        ASSERT_TRUE(cf.openBytes(bytes)) << cf.errorString().toStdString();
        expectStreamsReadBack(cf, streams);
    }
    // 109 + 127 + 1 FAT sectors take a chain of two DIFAT sectors in version 3.
    CfbOptions two;
    two.minimumFatSectors = 237;
    CfbLayout layout;
    const QByteArray bytes = buildCompoundFile(streams, two, &layout);
    ASSERT_EQ(layout.difatSectors.size(), 2);
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(bytes)) << cf.errorString().toStdString();
    expectStreamsReadBack(cf, streams);
}

TEST(CompoundFileRoundTrip, readsAStreamWhoseFatNeedsDifatSectors)
{
    // 7.5 MB in 512-byte sectors: 15360 sectors, with the 3 of the
    // mini stream, mini FAT and directory and the FAT and DIFAT themselves, need
    // 121 FAT sectors of 128 entries.
    const QList<CfbStream> streams = {{QStringLiteral("Raw_data"), patternBytes(7'864'320, 13)},
                                      {QStringLiteral("Time"), patternBytes(12, 14)}};
    CfbLayout layout;
    const QByteArray bytes = buildCompoundFile(streams, {}, &layout);
    ASSERT_EQ(layout.fatSectors.size(), 121);
    ASSERT_EQ(layout.difatSectors.size(), 1);
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(bytes)) << cf.errorString().toStdString();
    expectStreamsReadBack(cf, streams);
}

TEST(CompoundFileRoundTrip, opensFilesOnDiskAndReportsMissingOnes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<CfbStream> first = {{QStringLiteral("Raw_data"), patternBytes(5000, 21)}};
    const QList<CfbStream> second = {{QStringLiteral("Time"), patternBytes(12, 22)},
                                     {QStringLiteral("Table"), patternBytes(300, 23)}};
    const QString a = dir.filePath(QStringLiteral("a.stg"));
    const QString b = dir.filePath(QStringLiteral("b.stg"));
    ASSERT_TRUE(testsupport::writeCompoundFile(a, first));
    ASSERT_TRUE(testsupport::writeCompoundFile(b, second));

    CompoundFile cf;
    ASSERT_TRUE(cf.open(a)) << cf.errorString().toStdString();
    expectStreamsReadBack(cf, first);
    // Opening another file forgets the first.
    ASSERT_TRUE(cf.open(b)) << cf.errorString().toStdString();
    expectStreamsReadBack(cf, second);
    EXPECT_FALSE(cf.hasStream(QStringLiteral("Raw_data")));

    const QString missing = dir.filePath(QStringLiteral("missing.stg"));
    EXPECT_FALSE(cf.open(missing));
    EXPECT_FALSE(cf.isOpen());
    EXPECT_TRUE(cf.errorString().contains(missing));
    QByteArray got;
    EXPECT_FALSE(cf.readStream(QStringLiteral("Time"), got));
    EXPECT_TRUE(cf.streamNames().isEmpty());
}

// Files laid out byte by byte from the format's tables, so that the reader
// cannot share a misreading with the test writer.
TEST(CompoundFileFixture, readsAHandBuiltVersion3FileWithAScatteredChain)
{
    // Sector 0 FAT, 1 directory, 2 mini FAT, 3 mini stream; "Raw_data" (4100 bytes,
    // 9 sectors) runs 4 5 6 10 11 12 13 7 8; sector 9 is free. 512 + 14 * 512 bytes.
    QByteArray f(7680, '\0');
    const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    f.replace(0, 8, QByteArray(sig, 8));
    putLe16(f, 24, 0x3E);
    putLe16(f, 26, 3);
    putLe16(f, 28, 0xFFFE);
    putLe16(f, 30, 9);
    putLe16(f, 32, 6);
    putLe32(f, 44, 1);          // FAT sectors
    putLe32(f, 48, 1);          // first directory sector
    putLe32(f, 56, 4096);       // mini stream cutoff
    putLe32(f, 60, 2);          // first mini FAT sector
    putLe32(f, 64, 1);          // mini FAT sectors
    putLe32(f, 68, 0xFFFFFFFE); // no DIFAT sector
    putLe32(f, 76, 0);          // FAT in sector 0
    for (int i = 1; i < 109; ++i)
        putLe32(f, 76 + 4 * i, 0xFFFFFFFF);

    const qint64 fat = 512;
    const quint32 fatEntries[14] = {0xFFFFFFFD, 0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFE, 5, 6, 10,
                                    8,          0xFFFFFFFE, 0xFFFFFFFF, 11,         12, 13, 7};
    for (int i = 0; i < 128; ++i)
        putLe32(f, fat + 4 * i, i < 14 ? fatEntries[i] : 0xFFFFFFFF);

    const qint64 dir = 1024;
    auto entry = [&f](qint64 at, const QString& name, int type, int color, quint32 left, quint32 right,
                      quint32 child, quint32 start, quint64 size) {
        for (int i = 0; i < name.size(); ++i)
            putLe16(f, at + 2 * i, name[i].unicode());
        putLe16(f, at + 64, quint16(2 * name.size() + 2));
        f[at + 66] = char(type);
        f[at + 67] = char(color);
        putLe32(f, at + 68, left);
        putLe32(f, at + 72, right);
        putLe32(f, at + 76, child);
        putLe32(f, at + 116, start);
        putLe64(f, at + 120, size);
    };
    // "Time" (4 letters) sorts before "Raw_data" (8), so it is the left child.
    entry(dir, QStringLiteral("Root Entry"), 5, 1, 0xFFFFFFFF, 0xFFFFFFFF, 1, 3, 64);
    entry(dir + 128, QStringLiteral("Raw_data"), 2, 1, 2, 0xFFFFFFFF, 0xFFFFFFFF, 4, 4100);
    entry(dir + 256, QStringLiteral("Time"), 2, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 12);
    entry(dir + 384, QString(), 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0);
    putLe16(f, dir + 384 + 64, 0);

    putLe32(f, 1536, 0xFFFFFFFE); // mini FAT: mini sector 0 ends its chain
    for (int i = 1; i < 128; ++i)
        putLe32(f, 1536 + 4 * i, 0xFFFFFFFF);
    // "Time": 0.0, 0.05, 0.1 as float32.
    putLe32(f, 2048, 0x00000000);
    putLe32(f, 2052, 0x3D4CCCCD);
    putLe32(f, 2056, 0x3DCCCCCD);

    // Chain position k of "Raw_data" holds byte value k + 1 throughout.
    const int chain[9] = {4, 5, 6, 10, 11, 12, 13, 7, 8};
    for (int k = 0; k < 9; ++k)
        f.replace(512 * (chain[k] + 1), 512, QByteArray(512, char(k + 1)));

    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(f)) << cf.errorString().toStdString();
    EXPECT_EQ(cf.streamNames(), QStringList({QStringLiteral("Raw_data"), QStringLiteral("Time")}));
    QByteArray raw;
    ASSERT_TRUE(cf.readStream(QStringLiteral("Raw_data"), raw));
    ASSERT_EQ(raw.size(), 4100);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(raw[512 * k], char(k + 1));
        EXPECT_EQ(raw[qMin(512 * k + 511, 4099)], char(k + 1));
    }
    QByteArray time;
    ASSERT_TRUE(cf.readStream(QStringLiteral("time"), time));
    EXPECT_TRUE(time == QByteArray::fromHex("00000000cdcc4c3dcdcccc3d"));
}

TEST(CompoundFileFixture, readsAHandBuiltVersion4File)
{
    // 4096-byte header and sectors. Sector 0 FAT, 1 directory, 2-3 "Table" (5000
    // bytes), 4 mini stream, 5 mini FAT; "Passport" (100 bytes) is mini sectors 0 and 1.
    QByteArray f(4096 * 7, '\0');
    f.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    putLe16(f, 24, 0x3E);
    putLe16(f, 26, 4);
    putLe16(f, 28, 0xFFFE);
    putLe16(f, 30, 12);
    putLe16(f, 32, 6);
    putLe32(f, 40, 1);          // directory sectors
    putLe32(f, 44, 1);          // FAT sectors
    putLe32(f, 48, 1);          // first directory sector
    putLe32(f, 56, 4096);
    putLe32(f, 60, 5);          // first mini FAT sector
    putLe32(f, 64, 1);
    putLe32(f, 68, 0xFFFFFFFE);
    putLe32(f, 76, 0);
    for (int i = 1; i < 109; ++i)
        putLe32(f, 76 + 4 * i, 0xFFFFFFFF);

    const qint64 fat = 4096;
    const quint32 fatEntries[6] = {0xFFFFFFFD, 0xFFFFFFFE, 3, 0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFE};
    for (int i = 0; i < 1024; ++i)
        putLe32(f, fat + 4 * i, i < 6 ? fatEntries[i] : 0xFFFFFFFF);

    const qint64 dir = 8192;
    const QString names[3] = {QStringLiteral("Root Entry"), QStringLiteral("Table"), QStringLiteral("Passport")};
    const int types[3] = {5, 2, 2};
    const quint32 rights[3] = {0xFFFFFFFF, 2, 0xFFFFFFFF};
    const quint32 children[3] = {1, 0xFFFFFFFF, 0xFFFFFFFF};
    const quint32 starts[3] = {4, 2, 0};
    const quint64 sizes[3] = {128, 5000, 100};
    for (int e = 0; e < 32; ++e) {
        const qint64 at = dir + 128 * e;
        putLe32(f, at + 68, 0xFFFFFFFF);
        putLe32(f, at + 72, 0xFFFFFFFF);
        putLe32(f, at + 76, 0xFFFFFFFF);
        if (e >= 3)
            continue;
        for (int i = 0; i < names[e].size(); ++i)
            putLe16(f, at + 2 * i, names[e][i].unicode());
        putLe16(f, at + 64, quint16(2 * names[e].size() + 2));
        f[at + 66] = char(types[e]);
        f[at + 67] = 1;
        putLe32(f, at + 72, rights[e]);
        putLe32(f, at + 76, children[e]);
        putLe32(f, at + 116, starts[e]);
        putLe64(f, at + 120, sizes[e]);
    }

    const QByteArray table = patternBytes(5000, 31);
    const QByteArray passport = patternBytes(100, 32);
    f.replace(4096 * 3, 5000, table);      // sectors 2 and 3
    f.replace(4096 * 5, 100, passport);    // sector 4, the mini stream
    putLe32(f, 4096 * 6, 1);               // mini FAT: 0 -> 1 -> end
    putLe32(f, 4096 * 6 + 4, 0xFFFFFFFE);
    for (int i = 2; i < 1024; ++i)
        putLe32(f, 4096 * 6 + 4 * i, 0xFFFFFFFF);

    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(f)) << cf.errorString().toStdString();
    EXPECT_EQ(cf.streamSize(QStringLiteral("Table")), 5000);
    EXPECT_EQ(cf.streamSize(QStringLiteral("Passport")), 100);
    QByteArray got;
    ASSERT_TRUE(cf.readStream(QStringLiteral("Table"), got));
    EXPECT_TRUE(got == table);
    ASSERT_TRUE(cf.readStream(QStringLiteral("Passport"), got));
    EXPECT_TRUE(got == passport);
}
