#include <gtest/gtest.h>

#include "data/ChmFile.h"
#include "data/Passport.h"
#include "support/FileBytes.h"
#include "support/StgWriter.h"
#include "support/WithoutFileRights.h"

#include <QTemporaryDir>

#include <cerrno>
#include <ostream>
#include <random>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::StgPassport;
using testsupport::peak;
using testsupport::putLe32;
using testsupport::StgStreams;
using testsupport::StgTable;

namespace {

StgTable goodTable(std::int32_t version = 4)
{
    StgTable table;
    table.version = version;
    table.header = true;
    table.peaks = {peak(1.0, 2.0, 5.0, QStringLiteral("Метан"), 1, 3, {{QStringLiteral("p"), QStringLiteral("q")}}),
                   peak(2.0, 3.0, 6.0, QStringLiteral("Этан"), -1, 4, {}),
                   peak(3.5, 4.0, 7.0, QStringLiteral("Пропан"), -1, 0, {})};
    table.parameters = {{QStringLiteral("t"), QStringLiteral("u")}};
    return table;
}

StgPassport goodPassport()
{
    StgPassport p;
    p.sample = QStringLiteral("Проба");
    p.method = QStringLiteral("Метод");
    p.comment = QStringLiteral("Комментарий");
    p.analysisTime = 1700000000;
    return p;
}

StgStreams goodStreams(const StgTable& table = goodTable(), const StgPassport& passport = goodPassport())
{
    return testsupport::stgStreams({0, 1, 3, 7, 3, 1, 2, 6, 2, 0}, 0.0f, 0.5f, 1.0f, table, passport);
}

// One damaged file per defect, written to disk and refused as a whole.
struct Damage
{
    const char* name;
    StgStreams (*make)();
};

const Damage kDamages[] = {
    {"tableVersionFive",
     [] {
         StgStreams s = goodStreams();
         putLe32(*s.table, 8, 5);
         return s;
     }},
    {"tableRecordCutShort",
     [] {
         StgStreams s = goodStreams();
         s.table->chop(10);
         return s;
     }},
    {"hugePeakCount",
     [] {
         StgStreams s = goodStreams();
         putLe32(*s.table, 12, 0xFFFFFFFFu);
         return s;
     }},
    {"hugeNameLength",
     [] {
         // The first name, written wide, starts at 40: FF FE FF, then FF FF and a u32 length.
         StgStreams s = goodStreams();
         QByteArray& t = *s.table;
         t = t.left(43) + QByteArray("\xFF\xFF\xFF", 3) + QByteArray(4, '\0') + t.mid(43);
         putLe32(t, 44, 0x7FFFFFF0u);
         return s;
     }},
    {"oneSpanRepeatedBeyondMeasure",
     [] {
         // Every copy lies inside every other: taking the nested areas off
         // would compare each with each.
         StgTable table = goodTable();
         table.peaks = QList<testsupport::StgPeak>(5000, peak(1.0, 2.0, 5.0, QStringLiteral("Метан")));
         return goodStreams(table);
     }},
    {"overlappingSpansBeyondMeasure",
     [] {
         // Side by side in order, none inside another, but each over half of
         // a long signal: measuring them would visit 3.6e8 samples.
         StgTable table = goodTable();
         table.peaks.clear();
         for (int i = 0; i < 1200; ++i)
             table.peaks.append(peak(i * 0.1, i * 0.1 + 300.0, 1.0, QStringLiteral("Метан")));
         return testsupport::stgStreams(std::vector<float>(600000, 1.0f), 0.0f, 0.001f, 0.002f, table,
                                        goodPassport());
     }},
    {"passportBadSignature",
     [] {
         StgPassport p = goodPassport();
         p.signature = 0xE04561CDu;
         return goodStreams(goodTable(), p);
     }},
    {"passportVersionFour",
     [] {
         StgPassport p = goodPassport();
         p.version = 4;
         return goodStreams(goodTable(), p);
     }},
    {"passportCutShort",
     [] {
         StgStreams s = goodStreams();
         s.passport->chop(1);
         return s;
     }},
};

int openFromDisk(const QString& name, const StgStreams& streams)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    EXPECT_TRUE(testsupport::writeStgFile(path, streams));
    COpenedChmFile file;
    return file.Open(path);
}

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class CChmFileDamage : public ::testing::TestWithParam<Damage>
{
};

} // namespace

TEST(CChmFileUndamaged, opensFromDisk)
{
    EXPECT_EQ(openFromDisk(QStringLiteral("valid.stg"), goodStreams()), 1);
    // The wide name the name-length damage widens starts where it expects.
    EXPECT_EQ(static_cast<unsigned char>(goodStreams().table->at(40)), 0xFF);
}

TEST(CChmFileUndamaged, opensATableOfManyPeaksSideBySide)
{
    StgTable table = goodTable();
    table.peaks.clear();
    for (int i = 0; i < 20000; ++i)
        table.peaks.append(peak(i * 0.0002, (i + 1) * 0.0002, 1.0, QStringLiteral("Метан")));
    EXPECT_EQ(openFromDisk(QStringLiteral("many.stg"), goodStreams(table)), 1);
}

TEST_P(CChmFileDamage, isRefusedAsAWhole)
{
    EXPECT_EQ(openFromDisk(QString::fromLatin1(GetParam().name) + QStringLiteral(".stg"), GetParam().make()), 0);
}

INSTANTIATE_TEST_SUITE_P(Each, CChmFileDamage, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

// The reason a refused file gives the operator, graded from the reader's own
// error; a file cut anywhere, inside its signature too, reads as cut short.
TEST(CChmFileRefusal, saysWhyInTheOperatorsWords)
{
    QTemporaryDir dir;
    const QByteArray whole = testsupport::buildStgFile(goodStreams());
    const QString cutShort = QStringLiteral("файл обрывается раньше, чем кончаются его данные");
    StgStreams noPassport = goodStreams();
    noPassport.passport.reset();
    StgStreams tableCut = goodStreams();
    tableCut.table->chop(10);
    StgStreams passportCut = goodStreams();
    passportCut.passport->chop(1);
    QByteArray wrongByteOrder = whole;
    wrongByteOrder[28] = '\xFF';
    // A run stopped at injection: its table is whole, its signal too short to measure the peaks on.
    StgStreams noSignal = goodStreams();
    noSignal.rawData = QByteArray();
    StgStreams oneSample = goodStreams();
    oneSample.rawData = testsupport::rawDataStream({5.0f});
    const struct {
        QByteArray bytes;
        QString reason;
    } cases[] = {
        {{}, QStringLiteral("файл пуст")},
        {whole.left(5), cutShort},
        {whole.left(300), cutShort},
        {whole.left(whole.size() / 2), cutShort},
        {whole.left(whole.size() - 1), cutShort},
        {"ГС скв. 7, анализ 1", QStringLiteral("это не файл хроматограммы")},
        {wrongByteOrder, QStringLiteral("структура файла повреждена: the byte order mark is not 0xFFFE")},
        {testsupport::buildStgFile(noPassport), QStringLiteral("в файле нет потока «Passport»")},
        {testsupport::buildStgFile(tableCut), QStringLiteral("поток «Table» повреждён")},
        {testsupport::buildStgFile(passportCut), QStringLiteral("поток «Passport» повреждён")},
        {testsupport::buildStgFile(noSignal), QStringLiteral("в сигнале нет ни одной точки, пики таблицы по нему не измерить")},
        {testsupport::buildStgFile(oneSample), QStringLiteral("в сигнале одна точка, пики таблицы по нему не измерить")},
        {whole, QString()},  // a success leaves no reason from before
    };
    COpenedChmFile file;
    for (const auto& c : cases) {
        ASSERT_TRUE(testsupport::writeFileBytes(dir.filePath(QStringLiteral("f.stg")), c.bytes));
        EXPECT_EQ(file.Open(dir.filePath(QStringLiteral("f.stg"))), c.reason.isEmpty() ? 1 : 0) << c.reason.toStdString();
        EXPECT_EQ(file.errorString(), c.reason);
    }
    EXPECT_EQ(file.Open(dir.path()), 0);
    EXPECT_EQ(file.errorString(), QStringLiteral("это папка или устройство, а не файл"));
    // In a folder that may be listed but not entered the file is there, and a path
    // below a file, through a loop of links or with too long a name may be one:
    // only a missing file is "не найден", the rest give the system's reason.
    const QString shut = dir.filePath(QStringLiteral("shut"));
    ASSERT_TRUE(testsupport::writeFileBytes(shut + QStringLiteral("/f.stg"), whole));
    ASSERT_EQ(::chmod(QFile::encodeName(shut).constData(), 0444), 0);
    ASSERT_EQ(::symlink("loop", QFile::encodeName(dir.filePath(QStringLiteral("loop"))).constData()), 0);
    const std::pair<QString, int> unreachable[] = {
        {shut + QStringLiteral("/f.stg"), EACCES},
        {dir.filePath(QStringLiteral("f.stg/f.stg")), ENOTDIR},
        {dir.filePath(QStringLiteral("loop/f.stg")), ELOOP},
        {dir.filePath(QString(300, QLatin1Char('f')) + QStringLiteral(".stg")), ENAMETOOLONG},
    };
    testsupport::runWithoutFileRights([&] {
        ASSERT_TRUE(testsupport::accessRefused(QFile::encodeName(shut), X_OK));
        for (const auto& [path, error] : unreachable) {
            EXPECT_EQ(file.Open(path), 0);
            EXPECT_EQ(file.errorString(), QStringLiteral("файл не открывается: %1").arg(qt_error_string(error)))
                << path.toStdString();
        }
    });
    ::chmod(QFile::encodeName(shut).constData(), 0700);
}

TEST(CChmFileTable, readsATableWithoutItsSignatureAsHeaderlessVersionZero)
{
    // 112 bytes of zeros behind a broken signature: one version-0 record of zeros.
    StgStreams s = goodStreams();
    s.table = QByteArray(112, '\0');
    s.table->data()[0] = 0x12;
    COpenedChmFile file;
    ASSERT_EQ(file.OpenBytes(testsupport::buildStgFile(s)), 1);
    EXPECT_EQ(file.peakTable().peaks().size(), 1u);
}

// ---------------------------------------------------------------- mutations

namespace {

using Rng = std::mt19937;

int pick(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// One seeded change: random bytes, a 32-bit word set to a hostile value, a cut,
// an insertion or a deletion.
void mutate(QByteArray& bytes, Rng& rng)
{
    if (bytes.isEmpty()) {
        bytes.append(static_cast<char>(pick(rng, 0, 255)));
        return;
    }
    const int size = static_cast<int>(bytes.size());
    switch (pick(rng, 0, 4)) {
    case 0:
        for (int n = pick(rng, 1, 4); n > 0; --n)
            bytes[pick(rng, 0, size - 1)] = static_cast<char>(pick(rng, 0, 255));
        break;
    case 1: {
        static const std::uint32_t hostile[] = {0u, 1u, 2u, 0x7Fu, 0xFFu, 0xFFFEu, 0xFFFFu, 0x7FFFFFFFu,
                                                0x80000000u, 0x8000000Au, 0xFFFFFFFEu, 0xFFFFFFFFu};
        if (size < 4)
            break;
        putLe32(bytes, pick(rng, 0, size - 4), hostile[pick(rng, 0, 11)]);
        break;
    }
    case 2:
        bytes.truncate(pick(rng, 0, size - 1));
        break;
    case 3:
        bytes.insert(pick(rng, 0, size), QByteArray(pick(rng, 1, 16), static_cast<char>(pick(rng, 0, 255))));
        break;
    default:
        bytes.remove(pick(rng, 0, size - 1), pick(rng, 1, 16));
        break;
    }
}

// What an opened file must always satisfy, however damaged its streams were.
void expectSoundTable(const COpenedChmFile& file, qsizetype tableBytes)
{
    const auto& peaks = file.peakTable().peaks();
    const auto count = static_cast<std::int64_t>(peaks.size());
    EXPECT_LE(count, tableBytes / 29);
    for (std::int64_t i = 0; i < count; ++i) {
        const cmpeek& p = peaks[static_cast<size_t>(i)];
        EXPECT_EQ(p.index, static_cast<std::uint32_t>(i));
        EXPECT_TRUE(p.next == -1 || (p.next >= 0 && p.next < count));
        EXPECT_TRUE(p.previous == -1 || (p.previous >= 0 && p.previous < count));
    }
    EXPECT_EQ(file.peakTable().signal(), &file.signal());
}

} // namespace

TEST(CChmFileMutation, seededDamageNeverCrashesHangsOrBreaksTheLinks)
{
    StgPassport oldPassport = goodPassport();
    oldPassport.version = 1;
    oldPassport.wideStrings = false;
    oldPassport.shortTimes = true;
    StgTable headerless = goodTable(0);
    headerless.header = false;
    StgTable ansi = goodTable(3);
    ansi.wideStrings = false;
    const StgStreams bases[] = {goodStreams(), goodStreams(headerless, oldPassport), goodStreams(ansi),
                                goodStreams(goodTable(2), oldPassport), goodStreams(goodTable(1))};

    Rng rng(20240611u);
    int opened = 0;
    int passports = 0;
    for (int round = 0; round < 3000; ++round) {
        StgStreams s = bases[round % 5];
        std::optional<QByteArray>* all[] = {&s.rawData, &s.time, &s.table, &s.passport};
        // Mostly the table and the passport: their readers do the parsing.
        static const int weights[] = {0, 1, 2, 2, 2, 3, 3, 3};
        QByteArray& target = **all[weights[pick(rng, 0, 7)]];
        for (int n = pick(rng, 1, 3); n > 0; --n)
            mutate(target, rng);

        const QByteArray fileBytes = testsupport::buildStgFile(s);
        COpenedChmFile file;
        if (file.OpenBytes(fileBytes) == 1) {
            ++opened;
            expectSoundTable(file, s.table->size());
        }
        CPassport passport;
        passports += ReadPassportOnlyFromBytes(passport, fileBytes) ? 1 : 0;
        if (HasFailure())
            FAIL() << "after mutation round " << round;
    }
    // Whole-file damage reaches the compound-file reader as well.
    const QByteArray whole = testsupport::buildStgFile(bases[0]);
    for (int round = 0; round < 1000; ++round) {
        QByteArray bytes = whole;
        for (int n = pick(rng, 1, 3); n > 0; --n)
            mutate(bytes, rng);
        COpenedChmFile file;
        if (file.OpenBytes(bytes) == 1)
            expectSoundTable(file, bytes.size());
        CPassport passport;
        ReadPassportOnlyFromBytes(passport, bytes);
        if (HasFailure())
            FAIL() << "after whole-file round " << round;
    }
    // The damage must leave some files readable, or the rounds tested little.
    EXPECT_GT(opened, 100);
    EXPECT_GT(passports, 300);
}
