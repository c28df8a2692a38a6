#include <gtest/gtest.h>

#include "data/ChromatogramFolderListing.h"
#include "support/ChromatogramFiles.h"
#include "support/FileBytes.h"
#include "support/QtPrint.h"
#include "support/StgWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <limits>

using namespace testsupport;

namespace {

// A folder of chromatograms with known passports, and files that are not.
class FolderListing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        write(QStringLiteral("a.stg"), QStringLiteral("Проба А"), QStringLiteral("ГАЗ-1"), QStringLiteral("Куст 5"),
              QStringLiteral("Сепаратор"), false, 1000);
        write(QStringLiteral("b.STG"), QStringLiteral("Калибровка Б"), QStringLiteral("газ-1"), QStringLiteral("куст 5"),
              QStringLiteral("Линия"), true, 3000);
        write(QStringLiteral("c.d.stg"), QStringLiteral("Проба В"), QStringLiteral("Бензин"), QString(), QString(), false,
              2000);
        ASSERT_TRUE(writeFileBytes(path(QStringLiteral("broken.stg")), "not a compound file"));
        ASSERT_TRUE(setFileModified(path(QStringLiteral("broken.stg")), 2500));
        ASSERT_TRUE(writeFileBytes(path(QStringLiteral("notes.txt")), "text"));
        write(QStringLiteral("e.stg.bak"), QStringLiteral("копия"), QString(), QString(), QString(), false, 9000);
        // A folder is never a chromatogram, whatever its name.
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("f.stg"))));
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }

    void write(const QString& name, const QString& sample, const QString& method, const QString& site,
               const QString& point, bool calibration, std::int64_t time)
    {
        ASSERT_TRUE(writePassportFile(path(name), sample, method, site, point, calibration, time));
    }

    static QStringList titles(const std::vector<OpenListItem>& items)
    {
        QStringList list;
        for (const OpenListItem& item : items)
            list.append(item.strTitle);
        return list;
    }

    QTemporaryDir m_dir;
};

StgStreams streamsWithPassport(const StgPassport& passport)
{
    return stgStreams({0, 1, 2, 1, 0}, 0.0f, 0.25f, 0.5f, StgTable(), passport);
}

} // namespace

TEST_F(FolderListing, listsEveryChromatogramNewestFirstWithItsPassport)
{
    const std::vector<OpenListItem> items = ReadFolderItems(folder(), OpenListAny);
    ASSERT_EQ(titles(items), QStringList({"b", "broken", "c.d", "a"}));

    const OpenListItem& b = items[0];
    EXPECT_EQ(b.strSample, QStringLiteral("Калибровка Б"));
    EXPECT_EQ(b.strMethod, QStringLiteral("газ-1"));
    EXPECT_EQ(b.strSite, QStringLiteral("куст 5"));
    EXPECT_EQ(b.strPoint, QStringLiteral("Линия"));
    EXPECT_EQ(b.tmAnalysis, 3000);
    // The file is found again under its own spelling.
    EXPECT_EQ(OpenListItemPath(folder(), b), path(QStringLiteral("b.STG")));
    EXPECT_EQ(OpenListItemPath(folder(), items[3]), path(QStringLiteral("a.stg")));

    // Unreadable: listed with question marks at the time it was last written.
    const OpenListItem& broken = items[1];
    EXPECT_EQ(broken.strSample, QStringLiteral("????"));
    EXPECT_TRUE(broken.strMethod.isEmpty());
    EXPECT_TRUE(broken.strSite.isEmpty());
    EXPECT_TRUE(broken.strPoint.isEmpty());
    EXPECT_EQ(broken.tmAnalysis, 2500);
}

TEST_F(FolderListing, typeChoiceKeepsCalibrationsOrAnalysesAndCountsUnreadableFilesAsAnalyses)
{
    const struct
    {
        int type;
        QStringList expected;
    } cases[] = {
        {OpenListAny, {"b", "broken", "c.d", "a"}},
        {OpenListCalibrations, {"b"}},
        {OpenListAnalyses, {"broken", "c.d", "a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(titles(ReadFolderItems(folder(), c.type)), c.expected) << "type " << c.type;
}

TEST_F(FolderListing, emptyOrMissingFolderListsNothing)
{
    EXPECT_TRUE(ReadFolderItems(QString(), OpenListAny).empty());
    EXPECT_TRUE(ReadFolderItems(path(QStringLiteral("absent")), OpenListAny).empty());
    EXPECT_TRUE(ReadFolderItems(path(QStringLiteral("f.stg")), OpenListAny).empty());
}

TEST(FolderListingDamage, fileWithoutAReadablePassportIsListedAsUnreadable)
{
    StgPassport good;
    good.sample = QStringLiteral("Проба");
    good.analysisTime = 4000;
    StgPassport badSignature = good;
    badSignature.signature = 0x12345678u;
    StgPassport futureVersion = good;
    futureVersion.version = 4;
    StgStreams noPassport = streamsWithPassport(good);
    noPassport.passport.reset();
    StgStreams shortPassport = streamsWithPassport(good);
    shortPassport.passport->chop(10);
    const QByteArray whole = buildStgFile(streamsWithPassport(good));

    const struct
    {
        const char* defect;
        QByteArray bytes;
    } cases[] = {
        {"no Passport stream", buildStgFile(noPassport)},
        {"passport cut short", buildStgFile(shortPassport)},
        {"unknown passport signature", buildStgFile(streamsWithPassport(badSignature))},
        {"passport of a later version", buildStgFile(streamsWithPassport(futureVersion))},
        {"compound file cut short", whole.left(whole.size() / 2)},
        {"empty file", QByteArray()},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(writeFileBytes(dir.filePath(QStringLiteral("x.stg")), c.bytes));
        ASSERT_TRUE(writeFileBytes(dir.filePath(QStringLiteral("y.stg")), whole));
        const std::vector<OpenListItem> items = ReadFolderItems(dir.path(), OpenListAny);
        ASSERT_EQ(items.size(), 2u) << c.defect;
        // The good file is newer (4000 s after 1970) only if the damaged one's
        // time is the file's own, which is today.
        EXPECT_EQ(items[0].strTitle, QStringLiteral("x")) << c.defect;
        EXPECT_EQ(items[0].strSample, QStringLiteral("????")) << c.defect;
        EXPECT_EQ(items[1].strSample, QStringLiteral("Проба")) << c.defect;
    }
}

TEST(FolderListingDamage, passportIsListedEvenWhenTheSignalCannotBeRead)
{
    StgPassport passport;
    passport.sample = QStringLiteral("Без сигнала");
    StgStreams streams = streamsWithPassport(passport);
    streams.rawData.reset();
    streams.time.reset();
    QTemporaryDir dir;
    ASSERT_TRUE(writeStgFile(dir.filePath(QStringLiteral("x.stg")), streams));
    const std::vector<OpenListItem> items = ReadFolderItems(dir.path(), OpenListAny);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].strSample, QStringLiteral("Без сигнала"));
}

TEST(FolderListingFilters, filterBoxesHoldEachTextOnceSortedWithTheirNoFilterEntry)
{
    std::vector<OpenListItem> items(5);
    items[0].strMethod = QStringLiteral("ГАЗ-1");
    items[1].strMethod = QStringLiteral("газ-1");
    items[2].strMethod = QString();
    items[3].strMethod = QStringLiteral("Бензин");
    items[4].strMethod = QStringLiteral("азот");
    EXPECT_EQ(FilterChoices(items, &OpenListItem::strMethod, QStringLiteral("* (любой)")),
              QStringList({"* (любой)", "азот", "Бензин", "ГАЗ-1"}));
    EXPECT_EQ(FilterChoices(items, &OpenListItem::strPoint, QStringLiteral("* (любая)")), QStringList({"* (любая)"}));
}

TEST(FolderListingFilters, eachFilterThatIsOnMustHoldTheFieldInAnyLetterCase)
{
    OpenListItem item;
    item.strMethod = QStringLiteral("ГАЗ-1");
    item.strSite = QStringLiteral("Куст 5");
    item.strPoint = QStringLiteral("Сепаратор");
    OpenListItem unreadable;
    unreadable.strSample = QStringLiteral("????");

    // A filter is on when its text is given.
    auto filter = [](const char16_t* method, const char16_t* site, const char16_t* point) {
        OpenListFilter f;
        f.methodOn = method != nullptr;
        f.siteOn = site != nullptr;
        f.pointOn = point != nullptr;
        f.method = f.methodOn ? QString::fromUtf16(method) : QStringLiteral("ГАЗ-2");
        f.site = f.siteOn ? QString::fromUtf16(site) : QStringLiteral("x");
        f.point = f.pointOn ? QString::fromUtf16(point) : QStringLiteral("y");
        return f;
    };
    const struct
    {
        const char* what;
        OpenListFilter filter;
        bool item;
        bool unreadable;
    } cases[] = {
        {"all off, whatever their texts", filter(nullptr, nullptr, nullptr), true, true},
        {"method in lower case", filter(u"газ-1", nullptr, nullptr), true, false},
        {"other method", filter(u"ГАЗ-2", nullptr, nullptr), false, false},
        {"site and point", filter(nullptr, u"КУСТ 5", u"сепаратор"), true, false},
        {"point differs", filter(nullptr, u"Куст 5", u"Линия"), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PassesFilter(item, c.filter), c.item) << c.what;
        EXPECT_EQ(PassesFilter(unreadable, c.filter), c.unreadable) << c.what;
    }
}

TEST(FolderListingJointSelection, takesRunsLessThanFiveSecondsFromTheFocusedOneEitherSide)
{
    const std::int64_t t = 1700000000;
    const std::vector<std::int64_t> times = {t, t + 4, t + 5, t - 4, t - 5, t, t + 9};
    EXPECT_EQ(JointSelection(times, 0), std::vector<int>({1, 3, 5}));
    // Measured from the focused run alone: t + 9 is 5 s from t + 4 and stays out.
    EXPECT_EQ(JointSelection(times, 1), std::vector<int>({0, 2, 5}));
    EXPECT_EQ(JointSelection(times, 6), std::vector<int>({2}));
    EXPECT_TRUE(JointSelection(times, -1).empty());
    EXPECT_TRUE(JointSelection(times, 7).empty());
}

TEST(FolderListingJointSelection, extremeTimesFromDamagedPassportsDoNotWrapRound)
{
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
    EXPECT_TRUE(JointSelection({highest, lowest}, 0).empty());
    EXPECT_TRUE(JointSelection({lowest, highest}, 0).empty());
    EXPECT_EQ(JointSelection({highest, highest - 4}, 0), std::vector<int>({1}));
}
