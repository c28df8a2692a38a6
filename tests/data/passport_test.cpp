#include <gtest/gtest.h>

#include "HandBytes.h"
#include "data/Passport.h"
#include "platform/Archive.h"
#include "support/FileBytes.h"
#include "support/StgWriter.h"
#include "support/UtcZone.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>

using testsupport::StgPassport;

namespace {

QDateTime utc(std::int64_t seconds) { return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC); }

// A version-1 passport spelt out item by item: 8-bit texts, the sampling time
// as a plain i32, the analysis time behind the 64-bit marker, a wide comment
// and one byte after the last item.
QByteArray handWrittenVersion1()
{
    HandBytes b;
    b.u32(0xE04561CCu).u32(1);
    b.bytes({0x03, 0xC3, 0xE0, 0xE7});            // 1 sample "Газ"
    b.bytes({0x02, 't', '2'});                     // 2
    b.f64bits(bits::k1_5).f64bits(bits::k2).f64bits(bits::k100); // 3-5 volume, dilution, norm
    b.u32(1000000000u);                            // 6 sampling time
    b.bytes({0x02, 'S', '7'});                     // 7 sampling spot
    b.bytes({0x02, 'M', '8'});                     // 8 method
    b.f64bits(bits::k2_5);                         // 9 duration
    b.u32(10).u32(11).u32(1);                      // 10, 11 number in series, 12 calibration
    b.bytes({0x01, 'O'});                          // 13 operator
    b.bytes({0x02, '1', '4'}).bytes({0x02, '1', '5'}); // 14, 15
    b.u32(16);                                     // 16
    b.f64bits(bits::k0_25).f64bits(bits::k0_5).f64bits(bits::k1).f64bits(bits::k1_5); // 17-20
    b.bytes({0x02, 'H', 'e'});                     // 21 eluent
    b.f64bits(bits::k2).f64bits(bits::k3).f64bits(bits::k4); // 22-24
    b.bytes({0x01, 'R'});                          // 25 reagent
    b.f64bits(bits::k5).f64bits(bits::k6).f64bits(bits::k7); // 26-28
    b.u32(0x8000000Au).u32(0x6553F100u).u32(0);    // 29 analysis time 1 700 000 000
    b.u32(30);                                     // 30
    b.bytes({0x02, '3', '1'});                     // 31
    b.bytes({0xFF, 0xFE, 0xFF, 0x02, 0x1E, 0x04, 0x3A, 0x04}); // 32 comment "Ок"
    b.bytes({0xEE});
    return b.data();
}

} // namespace

// ---------------------------------------------------------------- reading

TEST(CPassportSerialize, readsEveryItemOfAVersionOnePassportInStreamOrder)
{
    CPassport p;
    p.Serialize(handWrittenVersion1());
    EXPECT_EQ(p.sample, QStringLiteral("Газ"));
    EXPECT_EQ(p.text2, QStringLiteral("t2"));
    EXPECT_EQ(p.volume, 1.5);
    EXPECT_EQ(p.dilution, 2.0);
    EXPECT_EQ(p.norm, 100.0);
    EXPECT_EQ(p.samplingTime, 1000000000);
    EXPECT_EQ(p.samplingSpot, QStringLiteral("S7"));
    EXPECT_EQ(p.method, QStringLiteral("M8"));
    EXPECT_EQ(p.duration, 2.5);
    EXPECT_EQ(p.number10, 10u);
    EXPECT_EQ(p.numberInSeries, 11u);
    EXPECT_EQ(p.calibrationFlag, 1u);
    EXPECT_EQ(p.operatorName, QStringLiteral("O"));
    EXPECT_EQ(p.text14, QStringLiteral("14"));
    EXPECT_EQ(p.text15, QStringLiteral("15"));
    EXPECT_EQ(p.number16, 16u);
    EXPECT_EQ(p.value17, 0.25);
    EXPECT_EQ(p.value18, 0.5);
    EXPECT_EQ(p.value19, 1.0);
    EXPECT_EQ(p.value20, 1.5);
    EXPECT_EQ(p.eluent, QStringLiteral("He"));
    EXPECT_EQ(p.value22, 2.0);
    EXPECT_EQ(p.value23, 3.0);
    EXPECT_EQ(p.value24, 4.0);
    EXPECT_EQ(p.reagent, QStringLiteral("R"));
    EXPECT_EQ(p.value26, 5.0);
    EXPECT_EQ(p.value27, 6.0);
    EXPECT_EQ(p.value28, 7.0);
    EXPECT_EQ(p.analysisTime, 1700000000);
    EXPECT_EQ(p.number30, 30u);
    EXPECT_EQ(p.text31, QStringLiteral("31"));
    EXPECT_EQ(p.comment, QStringLiteral("Ок"));
    // Version 1 has neither the sampling point nor the two last doubles.
    EXPECT_EQ(p.samplingPoint, QString());
    EXPECT_EQ(p.value34, 0.0);
    EXPECT_EQ(p.value35, 0.0);
}

TEST(CPassportSerialize, readsTheSamplingPointFromVersionTwoAndTheLastDoublesFromVersionThree)
{
    StgPassport fields;
    fields.samplingPoint = QStringLiteral("Пункт 3");
    fields.value34 = 34.5;
    fields.value35 = 35.5;
    fields.comment = QStringLiteral("c");

    fields.version = 2;
    CPassport v2;
    v2.Serialize(testsupport::passportStream(fields)); // ends right after the sampling point
    EXPECT_EQ(v2.samplingPoint, QStringLiteral("Пункт 3"));
    EXPECT_EQ(v2.value34, 0.0);

    fields.version = 3;
    fields.wideStrings = false;
    CPassport v3;
    v3.Serialize(testsupport::passportStream(fields));
    EXPECT_EQ(v3.samplingPoint, QStringLiteral("Пункт 3"));
    EXPECT_EQ(v3.comment, QStringLiteral("c"));
    EXPECT_EQ(v3.value34, 34.5);
    EXPECT_EQ(v3.value35, 35.5);
}

TEST(CPassportSerialize, readsBothTimeForms)
{
    StgPassport fields;
    fields.samplingTime = 1000000000;
    fields.analysisTime = 1700000000;
    for (bool shortTimes : {false, true}) {
        fields.shortTimes = shortTimes;
        CPassport p;
        p.Serialize(testsupport::passportStream(fields));
        EXPECT_EQ(utc(p.analysisTime), QDateTime(QDate(2023, 11, 14), QTime(22, 13, 20), Qt::UTC));
        EXPECT_EQ(utc(p.samplingTime), QDateTime(QDate(2001, 9, 9), QTime(1, 46, 40), Qt::UTC));
    }
    // Beyond 2038 only the marked form holds the time.
    fields.shortTimes = false;
    fields.analysisTime = 4102444800; // 2100-01-01
    CPassport p;
    p.Serialize(testsupport::passportStream(fields));
    EXPECT_EQ(p.analysisTime, 4102444800);
}

TEST(CPassportSerialize, samplingTimeStartsAtTodaysMidnightAndAnalysisTimeNow)
{
    // Bracketed by the clock rather than held to a slack, so a slow machine or
    // a run across midnight cannot fail it.
    const QDateTime before = QDateTime::currentDateTime();
    const CPassport p;
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(p.number10, 1u);
    EXPECT_EQ(p.norm, 100.0);
    const QDateTime sampling = QDateTime::fromSecsSinceEpoch(p.samplingTime);
    EXPECT_TRUE(sampling.date() == before.date() || sampling.date() == after.date());
    EXPECT_EQ(sampling.time(), QTime(0, 0));
    EXPECT_GE(p.analysisTime, before.toSecsSinceEpoch());
    EXPECT_LE(p.analysisTime, after.toSecsSinceEpoch());
}

TEST(CPassportSerialize, refusesAVersionAboveThreeAndABadSignature)
{
    StgPassport fields;
    fields.version = 4;
    CPassport p;
    EXPECT_THROW(p.Serialize(testsupport::passportStream(fields)), ArchiveException);
    fields.version = 3;
    fields.signature = 0xE04561CDu;
    EXPECT_THROW(p.Serialize(testsupport::passportStream(fields)), ArchiveException);
}

TEST(CPassportSerialize, aStreamCutShortLeavesThePassportAsItWas)
{
    CPassport p;
    p.sample = QStringLiteral("before");
    const QByteArray whole = handWrittenVersion1();
    for (qsizetype cut : {qsizetype(0), qsizetype(7), qsizetype(40), whole.size() - 2}) {
        EXPECT_THROW(p.Serialize(whole.left(cut)), ArchiveException);
        EXPECT_EQ(p.sample, QStringLiteral("before"));
        EXPECT_EQ(p.volume, 1.0);
    }
}

// ---------------------------------------------------------------- description

class CPassportDescription : public ::testing::Test
{
    testsupport::UtcZone m_utc;
};

TEST_F(CPassportDescription, fillsTheDisplayTextInOrder)
{
    CPassport p;
    p.sample = QStringLiteral("Проба 7");
    p.volume = 1.5;
    p.dilution = 1e-05;
    p.norm = 100.0;
    p.samplingTime = 1700000000;
    p.samplingSpot = QStringLiteral("Скв. 12");
    p.operatorName = QStringLiteral("Иванов");
    p.method = QStringLiteral("ГС-1");
    p.duration = 1234567.0;
    p.numberInSeries = 3;
    p.analysisTime = 1000000000;
    p.eluent = QStringLiteral("He");
    p.comment = QStringLiteral("ok");
    const QString expected = QString::fromUtf16(
        u"ПРОБА: \tПроба 7\r\n"
        u"Объём: 1.5        Разведение: 1e-05        Норма: 100\r\n"
        u"Дата / Время: 14.11.23   22:13         Точка отбора:  Скв. 12\r\n"
        u"\r\n"
        u"АНАЛИЗ\r\n"
        u"Оператор: Иванов        Метод: ГС-1\r\n"
        u"Продолжительность: 1.23457e+06 мин        Номер в серии: 3\r\n"
        u"Дата / Время анализа: 09.09.01   01:46:40\r\n"
        u"Элюент: He        Реагент: \r\n"
        u"\r\n"
        u"КОММЕНТАРИЙ: ok");
    EXPECT_EQ(p.FormatDescription(), expected);
}

TEST_F(CPassportDescription, showsAtMostTheFirst255CharactersOfTheComment)
{
    CPassport p;
    p.comment = QString(254, u'x') + u'y' + QString(45, u'z');
    const QString text = p.FormatDescription();
    EXPECT_TRUE(text.endsWith(QStringLiteral(": ") + QString(254, u'x') + u'y'));
    EXPECT_FALSE(text.contains(u'z'));
}

TEST_F(CPassportDescription, neverLeavesHalfACharacterAtTheCut)
{
    CPassport p;
    p.comment = QString(254, u'x') + QString::fromUtf16(u"\U0001F600") + u'z';
    const QString text = p.FormatDescription();
    EXPECT_TRUE(text.endsWith(QString(254, u'x')));
    EXPECT_FALSE(text.back().isSurrogate());
}

TEST_F(CPassportDescription, aTimeBeyondTheCalendarShowsEmpty)
{
    CPassport p;
    p.analysisTime = std::numeric_limits<std::int64_t>::max();
    p.samplingTime = std::numeric_limits<std::int64_t>::min();
    EXPECT_TRUE(p.FormatDescription().contains(QString::fromUtf16(u"Дата / Время анализа: \r\n")));
}

// ---------------------------------------------------------------- passport alone

namespace {

testsupport::StgStreams passportFile(const StgPassport& fields)
{
    testsupport::StgTable table;
    return testsupport::stgStreams({0.0f, 1.0f}, 0.0f, 1.0f, 2.0f, table, fields);
}

} // namespace

TEST(CPassportReadOnly, readsThePassportAloneAndKeepsThePath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.stg"));
    StgPassport fields;
    fields.sample = QStringLiteral("Газ сепарации");
    fields.calibrationFlag = 1;
    testsupport::StgStreams streams = passportFile(fields);
    streams.rawData.reset(); // a passport alone needs no other stream
    ASSERT_TRUE(testsupport::writeStgFile(path, streams));

    CPassport p;
    ASSERT_TRUE(ReadPassportOnly(p, path));
    EXPECT_EQ(p.sample, QStringLiteral("Газ сепарации"));
    EXPECT_EQ(p.calibrationFlag, 1u);
    EXPECT_EQ(p.filePath, path);
    CPassport q;
    EXPECT_TRUE(q.ReadPassportOnly(path));
    EXPECT_EQ(q.filePath, path);
}

TEST(CPassportReadOnly, failsWithoutAPassportStreamAndLeavesThePassportAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.stg"));
    testsupport::StgStreams streams = passportFile(StgPassport());
    streams.passport.reset();
    ASSERT_TRUE(testsupport::writeStgFile(path, streams));
    CPassport p;
    p.sample = QStringLiteral("kept");
    EXPECT_FALSE(ReadPassportOnly(p, path));
    EXPECT_EQ(p.sample, QStringLiteral("kept"));
    EXPECT_TRUE(p.filePath.isEmpty());
}

TEST(CPassportReadOnly, failsForADamagedPassport)
{
    StgPassport fields;
    fields.version = 4;
    CPassport p;
    EXPECT_FALSE(ReadPassportOnlyFromBytes(p, testsupport::buildStgFile(passportFile(fields))));
    fields.version = 3;
    testsupport::StgStreams streams = passportFile(fields);
    streams.passport = streams.passport->left(20);
    EXPECT_FALSE(ReadPassportOnlyFromBytes(p, testsupport::buildStgFile(streams)));
    EXPECT_TRUE(p.filePath.isEmpty());
}

TEST(CPassportReadOnly, failsForAFileThatIsNotACompoundFileOrIsMissing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.stg"));
    ASSERT_TRUE(testsupport::writeFileBytes(path, QByteArray(2048, 'x')));
    CPassport p;
    EXPECT_FALSE(ReadPassportOnly(p, path));
    EXPECT_FALSE(ReadPassportOnly(p, dir.filePath(QStringLiteral("missing.stg"))));
    EXPECT_FALSE(ReadPassportOnlyFromBytes(p, QByteArray()));
}
