#include <gtest/gtest.h>

#include "platform/CompoundFile.h"
#include "support/CfbWriter.h"
#include "support/ScatteredChain.h"

#include <QFile>
#include <QTemporaryDir>

#include <limits>
#include <utility>

using testsupport::CfbLayout;
using testsupport::CfbStream;
using testsupport::patternBytes;

namespace {

// "Big" takes 9 sectors of 512 bytes, the last one 504 bytes full, laid in
// the order 0 5 2 7 1 8 3 6 4 so that almost every sector starts a new run;
// "Small" lives in the mini stream.
QByteArray scatteredFile(QByteArray& big, QByteArray& small)
{
    big = patternBytes(4600, 41);
    small = patternBytes(200, 42);
    CfbLayout layout;
    QByteArray file = testsupport::buildCompoundFile(
        {{QStringLiteral("Big"), big}, {QStringLiteral("Small"), small}}, {}, &layout);
    testsupport::scatterStreamChain(file, layout, 0, {0, 5, 2, 7, 1, 8, 3, 6, 4});
    return file;
}

void expectEveryPartReadsBack(CompoundFile& cf, const QString& name, const QByteArray& whole)
{
    const qint64 size = whole.size();
    const qint64 cuts[] = {0, 1, 63, 64, 65, 511, 512, 513, 1024, 2047, 4095, 4096, 4599, 4600};
    for (qint64 offset : cuts) {
        for (qint64 end : cuts) {
            if (offset > size || end > size || end < offset)
                continue;
            QByteArray got(end - offset, '\xEE');
            ASSERT_TRUE(cf.readStreamPart(name, offset, got.data(), end - offset))
                << name.toStdString() << " " << offset << ".." << end << ": " << cf.errorString().toStdString();
            ASSERT_TRUE(got == whole.mid(offset, end - offset)) << name.toStdString() << " " << offset << ".." << end;
        }
    }
}

} // namespace

TEST(CompoundFileStreamPart, readsEveryPartOfAScatteredStreamFromMemoryAndFromDisk)
{
    QByteArray big;
    QByteArray small;
    const QByteArray file = scatteredFile(big, small);

    CompoundFile inMemory;
    ASSERT_TRUE(inMemory.openBytes(file)) << inMemory.errorString().toStdString();
    QByteArray whole;
    ASSERT_TRUE(inMemory.readStream(QStringLiteral("Big"), whole));
    ASSERT_TRUE(whole == big); // the scattering kept the stream's bytes
    expectEveryPartReadsBack(inMemory, QStringLiteral("Big"), big);
    expectEveryPartReadsBack(inMemory, QStringLiteral("small"), small);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scattered.cfb"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    CompoundFile onDisk;
    ASSERT_TRUE(onDisk.open(path)) << onDisk.errorString().toStdString();
    expectEveryPartReadsBack(onDisk, QStringLiteral("Big"), big);
    expectEveryPartReadsBack(onDisk, QStringLiteral("Small"), small);
}

TEST(CompoundFileStreamPart, refusesPartsOutsideTheStreamAndLeavesTheBufferAlone)
{
    QByteArray big;
    QByteArray small;
    CompoundFile cf;
    ASSERT_TRUE(cf.openBytes(scatteredFile(big, small)));
    constexpr qint64 kHuge = std::numeric_limits<qint64>::max();
    const struct { qint64 offset; qint64 length; } bad[] = {
        {-1, 10}, {0, -1}, {4601, 0}, {4590, 11}, {0, 4601}, {1, kHuge}, {kHuge, 1}, {kHuge, kHuge}};
    const QByteArray untouched(8192, 'x');
    for (const auto& b : bad) {
        QByteArray buffer = untouched;
        EXPECT_FALSE(cf.readStreamPart(QStringLiteral("Big"), b.offset, buffer.data(), b.length))
            << b.offset << " " << b.length;
        EXPECT_TRUE(cf.errorString().contains(QStringLiteral("Big")));
        EXPECT_TRUE(buffer == untouched);
    }
    char buffer[1] = {'x'};
    EXPECT_TRUE(cf.readStreamPart(QStringLiteral("Big"), 4600, buffer, 0)); // nothing, at the very end
    EXPECT_FALSE(cf.readStreamPart(QStringLiteral("Missing"), 0, buffer, 0));
    EXPECT_TRUE(cf.errorString().contains(QStringLiteral("Missing")));

    CompoundFile closed;
    EXPECT_FALSE(closed.readStreamPart(QStringLiteral("Big"), 0, buffer, 0));
    EXPECT_FALSE(closed.errorString().isEmpty());
}

TEST(CompoundFileStreamPart, readsLargeFilesOnDiskAsTheyAreInMemoryInAnyOrder)
{
    QTemporaryDir dir;
    // Past 1 MiB in version 3 the FAT takes 19 sectors, read in one piece of
    // 9.5 KiB right after the header.
    for (const auto& [version, longSize] : {std::pair{3, 200000}, std::pair{4, 200000}, std::pair{3, 1200000}}) {
        SCOPED_TRACE(testing::Message() << "version " << version << ", long stream " << longSize);
        // Streams on both sides of 16 KiB and 64 KiB and small ones in the
        // mini stream, so reads short and long, near and far apart, alternate.
        const QList<CfbStream> streams = {{QStringLiteral("Long"), patternBytes(longSize, 51)},
                                          {QStringLiteral("Sixteen"), patternBytes(16384, 52)},
                                          {QStringLiteral("SixteenAndOne"), patternBytes(16385, 53)},
                                          {QStringLiteral("Window"), patternBytes(65543, 54)},
                                          {QStringLiteral("Small"), patternBytes(300, 55)},
                                          {QStringLiteral("Time"), patternBytes(12, 56)},
                                          {QStringLiteral("Sector"), patternBytes(4100, 57)}};
        const QString path = dir.filePath(QStringLiteral("large%1-%2.cfb").arg(version).arg(longSize));
        testsupport::CfbOptions options;
        options.majorVersion = version;
        ASSERT_TRUE(testsupport::writeCompoundFile(path, streams, options));
        CompoundFile cf;
        ASSERT_TRUE(cf.open(path)) << cf.errorString().toStdString();
        for (qsizetype k = streams.size() - 1; k >= 0; --k) {
            const CfbStream& s = streams[k];
            QByteArray got;
            ASSERT_TRUE(cf.readStream(s.name, got)) << s.name.toStdString();
            ASSERT_TRUE(got == s.data) << s.name.toStdString();
        }
        // Parts across 16 KiB and 64 KiB boundaries, alternating between streams.
        const std::pair<qint64, qint64> parts[] = {{0, 1},         {16380, 10},  {65530, 20},   {100000, 16384},
                                                   {199999, 1},    {1, 65536},   {65536, 7},    {12, 16385}};
        for (const auto& [offset, length] : parts) {
            for (const CfbStream& s : streams) {
                if (offset + length > s.data.size())
                    continue;
                QByteArray got(length, '\xEE');
                ASSERT_TRUE(cf.readStreamPart(s.name, offset, got.data(), length)) << s.name.toStdString();
                ASSERT_TRUE(got == s.data.mid(offset, length)) << s.name.toStdString() << " " << offset << "+" << length;
            }
        }
        // Byte by byte, so that a read begins at every window's end.
        const CfbStream& window = streams[3];
        QByteArray bytes(window.data.size(), '\xEE');
        for (qint64 i = 0; i < bytes.size(); ++i)
            ASSERT_TRUE(cf.readStreamPart(window.name, i, bytes.data() + i, 1)) << i;
        ASSERT_TRUE(bytes == window.data);
    }
}
