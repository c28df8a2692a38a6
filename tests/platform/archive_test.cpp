#include <gtest/gtest.h>

#include "platform/Archive.h"
#include "platform/TextCodec.h"
#include "support/ByteList.h"

using testsupport::bytes;

TEST(ArchiveStrings, readsEveryLengthPrefixForm)
{
    // 8-bit, one-byte length: "Аб" in Windows-1251.
    EXPECT_EQ(ArchiveReader(bytes({0x02, 0xC0, 0xE1})).readString(), QStringLiteral("Аб"));
    // UTF-16 behind FF FE FF, one-byte length.
    EXPECT_EQ(ArchiveReader(bytes({0xFF, 0xFE, 0xFF, 0x02, 0x1F, 0x04, 0x33, 0x04})).readString(), QStringLiteral("Пг"));
    // 8-bit with a u16 length.
    QByteArray longAnsi = bytes({0xFF, 0x2C, 0x01}) + QByteArray(300, 'x');
    EXPECT_EQ(ArchiveReader(longAnsi).readString(), QString(300, QLatin1Char('x')));
    // UTF-16 with a u16 length after FF FE FF FF.
    QByteArray longWide = bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01});
    for (int i = 0; i < 256; ++i)
        longWide += bytes({0x41, 0x00});
    EXPECT_EQ(ArchiveReader(longWide).readString(), QString(256, QLatin1Char('A')));
    // u32 length behind FF FF FF.
    QByteArray u32Ansi = bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'});
    EXPECT_EQ(ArchiveReader(u32Ansi).readString(), QStringLiteral("abc"));
    // u64 length behind FF FF FF FF FF FF FF.
    QByteArray u64Ansi = bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0, 0, 0, 0, 'z'});
    EXPECT_EQ(ArchiveReader(u64Ansi).readString(), QStringLiteral("z"));
    // Empty string.
    EXPECT_EQ(ArchiveReader(bytes({0x00})).readString(), QString());
}

TEST(ArchiveStrings, refusesLengthsBeyondTheBytesWithoutAllocating)
{
    QByteArray huge32 = bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a'});
    EXPECT_THROW(ArchiveReader(huge32).readString(), ArchiveException);
    QByteArray huge64 = bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_THROW(ArchiveReader(huge64).readString(), ArchiveException);
    EXPECT_THROW(ArchiveReader(bytes({0x05, 'a', 'b'})).readString(), ArchiveException);
    EXPECT_THROW(ArchiveReader(bytes({0xFF, 0xFE})).readString(), ArchiveException);
}

TEST(ArchiveTimes, readsMarkedSixtyFourBitAndPlainThirtyTwoBitTimes)
{
    // 0x8000000A then 1 700 000 000 as i64.
    EXPECT_EQ(ArchiveReader(bytes({0x0A, 0x00, 0x00, 0x80, 0x00, 0xF1, 0x53, 0x65, 0, 0, 0, 0})).readTime(),
              1700000000);
    // Plain i32 1 000 000 000.
    EXPECT_EQ(ArchiveReader(bytes({0x00, 0xCA, 0x9A, 0x3B})).readTime(), 1000000000);
    // A negative plain value is sign-extended.
    EXPECT_EQ(ArchiveReader(bytes({0xFF, 0xFF, 0xFF, 0xFF})).readTime(), -1);
    EXPECT_THROW(ArchiveReader(bytes({0x0A, 0x00, 0x00, 0x80, 0x00})).readTime(), ArchiveException);
}

TEST(ArchiveWriterRoundTrip, writesTheShortestPrefixAndReadsBack)
{
    ArchiveWriter w;
    w.writeWideString(QStringLiteral("Метан"));
    w.writeAnsiString(QStringLiteral("Этан"));
    w.writeTime(1700000000);
    w.writeTime32(1000000000);
    w.writeDouble(0.1);
    w.writeWideString(QString(70000, QChar(0x0436)));
    EXPECT_EQ(w.bytes().left(4), bytes({0xFF, 0xFE, 0xFF, 0x05}));

    ArchiveReader r(w.bytes());
    EXPECT_EQ(r.readString(), QStringLiteral("Метан"));
    EXPECT_EQ(r.readString(), QStringLiteral("Этан"));
    EXPECT_EQ(r.readTime(), 1700000000);
    EXPECT_EQ(r.readTime(), 1000000000);
    EXPECT_EQ(r.readDouble(), 0.1);
    EXPECT_EQ(r.readString(), QString(70000, QChar(0x0436)));
    EXPECT_TRUE(r.atEnd());
}

TEST(TextCodec, cp1251CoversCyrillicAndPunctuation)
{
    const QString text = QStringLiteral("ЁёЯя №–«»");
    const QByteArray encoded = textcodec::toCp1251(text);
    EXPECT_EQ(encoded, bytes({0xA8, 0xB8, 0xDF, 0xFF, 0x20, 0xB9, 0x96, 0xAB, 0xBB}));
    EXPECT_EQ(textcodec::fromCp1251(encoded), text);
    EXPECT_EQ(textcodec::toCp1251(QStringLiteral("中")), QByteArray("?"));
}
