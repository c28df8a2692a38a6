#include <gtest/gtest.h>

#include "data/TempComponents.h"
#include "platform/Profile.h"
#include "support/ProfileDir.h"

namespace {

const QString& kSection = profile_sections::TempComponents;

// Cyrillic С followed by a number, as the table spells its alkanes.
QString alkane(int n)
{
    return QString::fromUtf16(u"\u0421") + QString::number(n);
}

int idBySearchName(const TempComponentTable& table, const QString& text)
{
    const TempComponent* row = table.FindBySearchName(text);
    return row ? row->id : -1;
}

using TempComponentTableTest = testsupport::ProfileDirTest;

} // namespace

TEST_F(TempComponentTableTest, holdsFortyFiveMarkersWithTheirBoilingPoints)
{
    TempComponentTable table;
    table.Build(nullptr);
    ASSERT_EQ(table.size(), 45);
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(table.rows()[static_cast<std::size_t>(i)].id, i);

    const auto& rows = table.rows();
    EXPECT_EQ(rows[0].name, alkane(1));
    EXPECT_DOUBLE_EQ(rows[0].temperature, -162.0);
    EXPECT_EQ(rows[3].name, alkane(4));
    EXPECT_DOUBLE_EQ(rows[3].temperature, 0.0);
    EXPECT_EQ(rows[5].name, QStringLiteral("2-метилпентан"));
    EXPECT_DOUBLE_EQ(rows[5].temperature, 60.3);
    EXPECT_DOUBLE_EQ(rows[6].temperature, 69.0);
    EXPECT_DOUBLE_EQ(rows[44].temperature, 545.0);
    // Each alkane from С6 on carries the id of its carbon number.
    for (int n = 6; n <= 44; ++n)
        EXPECT_EQ(rows[static_cast<std::size_t>(n)].name, alkane(n));
    // Boiling points rise along the table.
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_GT(rows[i].temperature, rows[i - 1].temperature) << i;

    table.FillDefaultTempComponents();
    EXPECT_EQ(table.size(), 45);
}

TEST_F(TempComponentTableTest, matchesPeakNamesWithoutRegardToCase)
{
    TempComponentTable table;
    table.Build(nullptr);
    EXPECT_EQ(idBySearchName(table, QString::fromUtf16(u"\u0441") + QStringLiteral("10")), 10);  // с10
    EXPECT_EQ(idBySearchName(table, QStringLiteral("C10")), -1);                              // Latin C
    EXPECT_EQ(idBySearchName(table, QStringLiteral("2-Метилпентан")), 5);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("2-МЕТИЛПЕНТАН")), 5);
    EXPECT_EQ(idBySearchName(table, alkane(10) + QLatin1Char(' ')), -1);
    EXPECT_TRUE(table.IsKnownPeak(alkane(44)));
    EXPECT_FALSE(table.IsKnownPeak(QStringLiteral("Бензол")));
}

TEST_F(TempComponentTableTest, storedSearchNameReplacesTheBuiltInOneByIdBelowTheCount)
{
    {
        Profile profile(iniPath());
        profile.writeInt(kSection, QStringLiteral("qtyComps"), 2);
        profile.writeString(kSection, QStringLiteral("1_altName"), QStringLiteral("Этан"));
        profile.writeString(kSection, QStringLiteral("0_name"), QStringLiteral("Метан"));
        profile.writeString(kSection, QStringLiteral("0_altName"), QString());
        // Beyond the count: never looked at.
        profile.writeString(kSection, QStringLiteral("2_altName"), QStringLiteral("Пропан"));
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    TempComponentTable table;
    table.Build(&profile);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("ЭТАН")), 1);
    EXPECT_EQ(idBySearchName(table, alkane(2)), -1);
    EXPECT_TRUE(table.IsKnownPeak(alkane(2)));  // still known by its name
    EXPECT_EQ(table.rows()[0].name, QStringLiteral("Метан"));
    EXPECT_EQ(table.rows()[0].searchName, alkane(1));  // an empty value keeps the search name
    EXPECT_EQ(idBySearchName(table, QStringLiteral("Пропан")), -1);
    EXPECT_EQ(idBySearchName(table, alkane(3)), 2);
}

TEST_F(TempComponentTableTest, ignoresStoredValuesForIdsNoRowBears)
{
    {
        Profile profile(iniPath());
        profile.writeInt(kSection, QStringLiteral("qtyComps"), 50);
        profile.writeString(kSection, QStringLiteral("47_altName"), QStringLiteral("Лишний"));
        profile.writeString(kSection, QStringLiteral("47_name"), QStringLiteral("Лишний"));
        profile.writeString(kSection, QStringLiteral("44_altName"), QStringLiteral("Последний"));
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    TempComponentTable table;
    table.Build(&profile);
    EXPECT_EQ(table.size(), 45);
    EXPECT_FALSE(table.IsKnownPeak(QStringLiteral("Лишний")));
    EXPECT_EQ(idBySearchName(table, QStringLiteral("последний")), 44);
}

TEST_F(TempComponentTableTest, hugeStoredCountDoesNotStallTheStart)
{
    Profile profile(iniPath());
    profile.writeInt(kSection, QStringLiteral("qtyComps"), 2147483647);
    profile.writeString(kSection, QStringLiteral("7_altName"), QStringLiteral("н-Гептан"));
    TempComponentTable table;
    table.Build(&profile);
    EXPECT_EQ(idBySearchName(table, QStringLiteral("Н-ГЕПТАН")), 7);
}

TEST_F(TempComponentTableTest, searchNameChangeLastsForTheRunAndIsNeverWritten)
{
    Profile profile(iniPath());
    TempComponentTable table;
    table.Build(&profile);
    EXPECT_TRUE(table.SetSearchName(10, QStringLiteral("н-Декан")));
    EXPECT_EQ(idBySearchName(table, QStringLiteral("Н-ДЕКАН")), 10);
    EXPECT_EQ(idBySearchName(table, alkane(10)), -1);
    EXPECT_FALSE(table.SetSearchName(45, QStringLiteral("никто")));
    ASSERT_TRUE(profile.sync());
    EXPECT_FALSE(profile.contains(kSection, QStringLiteral("qtyComps")));
    EXPECT_FALSE(profile.contains(kSection, QStringLiteral("10_altName")));
}
