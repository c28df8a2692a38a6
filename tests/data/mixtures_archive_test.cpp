#include <gtest/gtest.h>

#include "data/Mixtures.h"
#include "support/AddressSpaceCap.h"
#include "support/ByteList.h"
#include "support/MixturesArchiveBuilder.h"

#include <cfloat>
#include <random>

using testsupport::AddressSpaceCap;
using testsupport::ArchiveComponent;
using testsupport::ArchiveCylinder;
using testsupport::buildCylinderRecord;
using testsupport::buildMixturesArchive;
using testsupport::bytes;
using testsupport::makeCylinder;

namespace {

// One cylinder "A", identifier "---", type ГС, date 0, no components.
const QByteArray kSingleCylinder = bytes({
    0x01, 0x00, 0x00, 0x00,                               // count
    0x01, 0x00, 0x00, 0x00,                               // number
    0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00,                   // "A"
    0xFF, 0xFE, 0xFF, 0x03, 0x2D, 0x00, 0x2D, 0x00, 0x2D, 0x00, // "---"
    0x0A, 0x00, 0x00, 0x80, 0, 0, 0, 0, 0, 0, 0, 0,       // marker, date 0
    0x01, 0x00, 0x00, 0x00,                               // type
    0x00, 0x00, 0x00, 0x00,                               // no components
});

// Cylinder "Б", empty identifier, 2023-11-14 22:13:20 UTC, type ГД, two components.
const QByteArray kCylinderWithComponents = bytes({
    0x01, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00,
    0xFF, 0xFE, 0xFF, 0x01, 0x11, 0x04,                   // "Б"
    0xFF, 0xFE, 0xFF, 0x00,                               // ""
    0x0A, 0x00, 0x00, 0x80, 0x00, 0xF1, 0x53, 0x65, 0, 0, 0, 0, // 1 700 000 000
    0x02, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00,
    0xFF, 0xFE, 0xFF, 0x02, 0x4E, 0x00, 0x32, 0x00,       // "N2"
    0, 0, 0, 0, 0, 0, 0xF8, 0x3F,                         // 1.5
    0, 0, 0, 0, 0, 0, 0xD0, 0x3F,                         // 0.25
    0x02, 0x00, 0x00, 0x00,
    0xFF, 0xFE, 0xFF, 0x00,
    0, 0, 0, 0, 0, 0, 0xF0, 0xBF,                         // -1.0
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xFF,       // -DBL_MAX
});

// As an older writer left it: 8-bit strings and a 32-bit time.
const QByteArray kLegacyCylinder = bytes({
    0x01, 0x00, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x00,
    0x02, 0xC1, 0xE0,                                     // "Ба"
    0x02, 0x78, 0x31,                                     // "x1"
    0x00, 0xCA, 0x9A, 0x3B,                               // 1 000 000 000
    0x03, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00,
    0x05, 0xCC, 0xE5, 0xF2, 0xE0, 0xED,                   // "Метан"
    0, 0, 0, 0, 0, 0, 0x00, 0x40,                         // 2.0
    0, 0, 0, 0, 0, 0, 0xE0, 0x3F,                         // 0.5
});

// The same cylinder as this program writes it back.
const QByteArray kLegacyCylinderRewritten = bytes({
    0x01, 0x00, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x00,
    0xFF, 0xFE, 0xFF, 0x02, 0x11, 0x04, 0x30, 0x04,
    0xFF, 0xFE, 0xFF, 0x02, 0x78, 0x00, 0x31, 0x00,
    0x0A, 0x00, 0x00, 0x80, 0x00, 0xCA, 0x9A, 0x3B, 0, 0, 0, 0,
    0x03, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00,
    0xFF, 0xFE, 0xFF, 0x05, 0x1C, 0x04, 0x35, 0x04, 0x42, 0x04, 0x30, 0x04, 0x3D, 0x04,
    0, 0, 0, 0, 0, 0, 0x00, 0x40,
    0, 0, 0, 0, 0, 0, 0xE0, 0x3F,
});

MixturePtr cylinder(int number, const QString& name, const QString& identifier, int type = 0)
{
    auto m = std::make_shared<MixtureData>();
    m->number = number;
    m->name = name;
    m->identifier = identifier;
    m->type = type;
    return m;
}

std::vector<ArchiveCylinder> threeCylinders()
{
    std::vector<ArchiveCylinder> list(3);
    list[0] = makeCylinder(1, QStringLiteral("Первый"), QStringLiteral("п-1"), 1700000000, 1);
    list[0].components = {{1, QStringLiteral("Метан"), 90.5, 0.2}, {2, QStringLiteral("Этан"), 9.5, 0.1}};
    list[1] = makeCylinder(2, QStringLiteral("Второй"), QString(), 0, 2);
    list[1].ansiStrings = true; // as older writers left them
    list[1].time32 = true;
    list[2] = makeCylinder(3, QString(300, QChar(0x0416)), QStringLiteral("---"), -5, 3);
    list[2].components = {{1, QStringLiteral("Азот"), -1.0, -1.0}};
    return list;
}

} // namespace

TEST(MixturesArchive, writesTheSingleCylinderRecordByteForByte)
{
    MixturePtr m = cylinder(1, QStringLiteral("A"), QStringLiteral("---"), MixtureKindGs);
    EXPECT_EQ(WriteMixturesArchive({m}), kSingleCylinder);

    const MixturesArchiveContent read = ReadMixturesArchive(kSingleCylinder);
    ASSERT_TRUE(read.complete);
    ASSERT_EQ(read.mixtures.size(), 1u);
    EXPECT_EQ(read.mixtures[0]->number, 1);
    EXPECT_EQ(read.mixtures[0]->name, QStringLiteral("A"));
    EXPECT_EQ(read.mixtures[0]->identifier, QStringLiteral("---"));
    EXPECT_EQ(read.mixtures[0]->date, 0);
    EXPECT_EQ(read.mixtures[0]->type, 1);
    EXPECT_TRUE(read.mixtures[0]->components.empty());
}

TEST(MixturesArchive, writesComponentRecordsByteForByteAndReadsThemBack)
{
    const MixturesArchiveContent read = ReadMixturesArchive(kCylinderWithComponents);
    ASSERT_TRUE(read.complete);
    ASSERT_EQ(read.mixtures.size(), 1u);
    const MixtureData& m = *read.mixtures[0];
    EXPECT_EQ(m.name, QString(QChar(0x0411)));
    EXPECT_TRUE(m.identifier.isEmpty());
    EXPECT_EQ(m.date, 1700000000);
    EXPECT_EQ(m.type, 2);
    ASSERT_EQ(m.components.size(), 2u);
    EXPECT_EQ(m.components[0].number, 1);
    EXPECT_EQ(m.components[0].name, QStringLiteral("N2"));
    EXPECT_EQ(m.components[0].concentration, 1.5);
    EXPECT_EQ(m.components[0].uncertainty, 0.25);
    EXPECT_EQ(m.components[1].number, 2);
    EXPECT_EQ(m.components[1].concentration, -1.0);
    EXPECT_EQ(m.components[1].uncertainty, -DBL_MAX);

    EXPECT_EQ(WriteMixturesArchive(read.mixtures), kCylinderWithComponents);
}

TEST(MixturesArchive, readsEightBitStringsAndThirtyTwoBitTimeAndRewritesThemWide)
{
    const MixturesArchiveContent read = ReadMixturesArchive(kLegacyCylinder);
    ASSERT_TRUE(read.complete);
    ASSERT_EQ(read.mixtures.size(), 1u);
    const MixtureData& m = *read.mixtures[0];
    EXPECT_EQ(m.number, 3);
    EXPECT_EQ(m.name, QStringLiteral("Ба"));
    EXPECT_EQ(m.identifier, QStringLiteral("x1"));
    EXPECT_EQ(m.date, 1000000000);
    EXPECT_EQ(m.type, 3);
    ASSERT_EQ(m.components.size(), 1u);
    EXPECT_EQ(m.components[0].name, QStringLiteral("Метан"));
    EXPECT_EQ(m.components[0].concentration, 2.0);
    EXPECT_EQ(m.components[0].uncertainty, 0.5);

    EXPECT_EQ(WriteMixturesArchive(read.mixtures), kLegacyCylinderRewritten);
}

TEST(MixturesArchive, readsANegativeThirtyTwoBitTimeAsSignedSeconds)
{
    // Empty 8-bit strings and the old time -10 s, as an older writer left them.
    const QByteArray legacy = bytes({1, 0, 0, 0, 1, 0, 0, 0, 0x00, 0x00, 0xF6, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    const MixturesArchiveContent read = ReadMixturesArchive(legacy);
    ASSERT_TRUE(read.complete);
    ASSERT_EQ(read.mixtures.size(), 1u);
    EXPECT_EQ(read.mixtures[0]->date, -10);
    EXPECT_EQ(WriteMixturesArchive(read.mixtures),
              bytes({1, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x00,
                     0x0A, 0x00, 0x00, 0x80, 0xF6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                     0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MixturesArchive, namesOf255UnitsAndMoreTakeTheLongerLengthPrefix)
{
    // 254 units still fit the one-byte length; 255 is the escape, so a u16 follows.
    MixturePtr shortName = cylinder(1, QString(254, QChar(u'Ж')), QString());
    MixturePtr longName = cylinder(1, QString(255, QChar(u'Ж')), QString());
    const QByteArray a = WriteMixturesArchive({shortName});
    const QByteArray b = WriteMixturesArchive({longName});
    EXPECT_EQ(a.mid(8, 4), bytes({0xFF, 0xFE, 0xFF, 0xFE}));
    EXPECT_EQ(a.mid(12, 2), bytes({0x16, 0x04}));
    EXPECT_EQ(a.size(), 4 + 4 + 4 + 508 + 4 + 12 + 4 + 4);
    EXPECT_EQ(b.mid(8, 6), bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_EQ(b.size(), 4 + 4 + 6 + 510 + 4 + 12 + 4 + 4);
    for (const QByteArray& archive : {a, b}) {
        const MixturesArchiveContent read = ReadMixturesArchive(archive);
        ASSERT_TRUE(read.complete);
        ASSERT_EQ(read.mixtures.size(), 1u);
        EXPECT_EQ(read.mixtures[0]->name.size(), archive == a ? 254 : 255);
        EXPECT_EQ(read.mixtures[0]->name.count(QChar(u'Ж')), read.mixtures[0]->name.size());
    }
}

TEST(MixturesArchive, ignoresBytesAfterTheLastAnnouncedRecord)
{
    const QByteArray withTail = kSingleCylinder + bytes({0xDE, 0xAD, 0xBE, 0xEF, 0xFF, 0xFF});
    const MixturesArchiveContent read = ReadMixturesArchive(withTail);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(read.mixtures.size(), 1u);

    // A count of 1 in front of two records: the second is a stale tail.
    const QByteArray stale = buildMixturesArchive(threeCylinders(), 1u);
    const MixturesArchiveContent first = ReadMixturesArchive(stale);
    EXPECT_TRUE(first.complete);
    ASSERT_EQ(first.mixtures.size(), 1u);
    EXPECT_EQ(first.mixtures[0]->name, QStringLiteral("Первый"));
}

TEST(MixturesArchiveDamage, keepsTheCylindersCompletedBeforeACut)
{
    const std::vector<ArchiveCylinder> list = threeCylinders();
    const QByteArray archive = buildMixturesArchive(list);
    // Offsets where each record ends.
    std::vector<qsizetype> ends;
    qsizetype at = 4;
    for (const ArchiveCylinder& c : list) {
        at += buildCylinderRecord(c).size();
        ends.push_back(at);
    }
    ASSERT_EQ(ends.back(), archive.size());

    for (qsizetype cut = 0; cut < archive.size(); ++cut) {
        const MixturesArchiveContent read = ReadMixturesArchive(archive.left(cut));
        std::size_t whole = 0;
        while (whole < ends.size() && ends[whole] <= cut)
            ++whole;
        EXPECT_FALSE(read.complete) << "cut at " << cut;
        EXPECT_FALSE(read.error.isEmpty()) << "cut at " << cut;
        EXPECT_EQ(read.mixtures.size(), whole) << "cut at " << cut;
        // Past the count, the error names the cylinder that was cut, counted from 1.
        if (cut >= 4) {
            EXPECT_TRUE(read.error.startsWith(QStringLiteral("баллон %1 из 3: ").arg(whole + 1)))
                << "cut at " << cut << ": " << read.error.toStdString();
        }
    }
}

TEST(MixturesArchiveDamage, refusesHugeStringLengthsWithoutAllocatingForThem)
{
    AddressSpaceCap cap;
    // 8-bit name behind a u32 length of 0x7FFFFFF0.
    const QByteArray ansi = bytes({1, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b'});
    // UTF-16 identifier behind FF FE FF FF FF FF FF FF FF then a u64 length above 0x7FFFFFFF.
    const QByteArray wide = bytes({1, 0, 0, 0, 1, 0, 0, 0, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                   0xFF, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 'a', 0});
    // A component name of 0xFFFFFFF0 UTF-16 units.
    ArchiveCylinder announcesOne = makeCylinder(1, QStringLiteral("A"), QString(), 0, 1);
    announcesOne.componentCount = 1u;
    const QByteArray component = buildMixturesArchive({announcesOne})
                                 + bytes({1, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF});
    for (const QByteArray& archive : {ansi, wide, component}) {
        const MixturesArchiveContent read = ReadMixturesArchive(archive);
        EXPECT_FALSE(read.complete);
        EXPECT_TRUE(read.mixtures.empty());
    }
}

TEST(MixturesArchiveDamage, survivesThousandsOfSeededMutations)
{
    AddressSpaceCap cap;
    const QByteArray valid = buildMixturesArchive(threeCylinders());
    std::mt19937 rng(20240601u);
    int complete = 0;
    for (int i = 0; i < 5000; ++i) {
        QByteArray m = valid;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const qsizetype pos = static_cast<qsizetype>(rng() % static_cast<unsigned>(m.size()));
            switch (rng() % 5) {
            case 0: m[pos] = static_cast<char>(rng()); break;
            case 1: m[pos] = static_cast<char>(0xFF); break;
            case 2: m[pos] = static_cast<char>(m[pos] ^ (1 << (rng() % 8))); break;
            case 3: m.truncate(std::max<qsizetype>(pos, 1)); break;
            case 4: m.insert(pos, QByteArray(1 + rng() % 8, static_cast<char>(rng()))); break;
            }
        }
        const MixturesArchiveContent read = ReadMixturesArchive(m);
        complete += read.complete ? 1 : 0;
        // Every cylinder kept needs at least 18 bytes of the file.
        ASSERT_LE(static_cast<qsizetype>(read.mixtures.size()) * 18, m.size());
        ASSERT_EQ(read.complete, read.error.isEmpty());
    }
    EXPECT_GT(complete, 0); // some mutations only touch values
}

TEST(MixturesMatching, longestIdentifierThatOccursWinsThenListOrder)
{
    const MixtureList list = {cylinder(1, QStringLiteral("a"), QStringLiteral("БГС-12")),
                              cylinder(2, QStringLiteral("b"), QStringLiteral("гс-1")),
                              cylinder(3, QStringLiteral("c"), QStringLiteral("бгс-12")),
                              cylinder(4, QStringLiteral("d"), QStringLiteral("31")),
                              cylinder(5, QStringLiteral("e"), QStringLiteral("7731"))};
    // Cyrillic letters fold in both the sample and the identifier; "гс-1"
    // also occurs in "бгс-12" but is the shorter.
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("Градуировка бгс-12 №3"), list), list[0]);
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("ГРАДУИРОВКА ГС-1"), list), list[1]);
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("Калибровка баллон 7731"), list), list[4]);
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("Калибровка баллон 31"), list), list[3]);
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("проба ГД"), list), nullptr);
    EXPECT_EQ(FindMixtureForSample(QString(), list), nullptr);
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("anything"), {}), nullptr);
}

TEST(MixturesMatching, emptyIdentifierMatchesEverySampleButLosesToOneThatOccurs)
{
    const MixtureList list = {cylinder(1, QStringLiteral("a"), QStringLiteral("zzz")),
                              cylinder(2, QStringLiteral("b"), QString()),
                              cylinder(3, QStringLiteral("c"), QStringLiteral("проба")),
                              cylinder(4, QStringLiteral("d"), QString())};
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("проба"), list), list[2]);
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("другое"), list), list[1]);
    EXPECT_EQ(FindMixtureForSample(QString(), list), list[1]);
}


TEST(MixturesValues, typedNumbersMustBeNumbersInFull)
{
    EXPECT_EQ(ParseMixtureValue(QStringLiteral("1,5")), 1.5);
    EXPECT_EQ(ParseMixtureValue(QStringLiteral(" -0.25 ")), -0.25);
    EXPECT_EQ(ParseMixtureValue(QStringLiteral("2e-3")), 0.002);
    for (const char* bad : {"", "abc", "12abc", "1,5.0", "1.000,5", "1 5", "nan", "inf"})
        EXPECT_FALSE(ParseMixtureValue(QString::fromLatin1(bad)).has_value()) << bad;
}
