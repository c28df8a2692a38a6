#include <gtest/gtest.h>

#include <utility>

#include "data/LeadingNumber.h"
#include "data/Settings.h"
#include "platform/Profile.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ProfileDir.h"

using namespace profile_sections;

namespace {

using GeneralSettingsTest = testsupport::ProfileDirTest;
using SamplingParametersTest = testsupport::ProfileDirTest;
using ChromatogramFoldersTest = testsupport::ProfileDirTest;
using CSettingsTest = testsupport::ProfileDirTest;

} // namespace

// ---------------------------------------------------------------------------

TEST(SettingsLeadingNumberTest, readsAsFarAsTheTextIsANumber)
{
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("12abc")), 12.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("  2.5000000000")), 2.5);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("-.5")), -0.5);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("+7.")), 7.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("1e3x")), 1000.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("1e")), 1.0);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("2E-2")), 0.02);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("1,5")), 1.5);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("185,5")), 185.5);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral("1,5.5")), 1.5);
    EXPECT_DOUBLE_EQ(ParseLeadingDouble(QStringLiteral(" 95,5")), 95.5);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral(".")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("-")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QString()), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("1e999")), 0.0);
}

// ---------------------------------------------------------------------------

TEST_F(GeneralSettingsTest, emptyProfileGivesTheDefaults)
{
    Profile profile(iniPath());
    GeneralSettings g;
    g.LoadSettings(profile);
    EXPECT_EQ(g.qtySymInProg, 3);
    EXPECT_EQ(g.qtySymInReport, 3);
    EXPECT_EQ(g.enGsGradCorrect + g.enGsAnalysCorrect + g.enGdGradCorrect + g.enGdAnalysCorrect, 0);
    EXPECT_EQ(g.enBlankSubtraction, 0);
    EXPECT_EQ(g.TimeStartSample, 0.0);
    for (const auto& count : GeneralSettings::AnalysisCounts())
        EXPECT_EQ(g.*count.member, 0) << count.valueName;
    EXPECT_EQ(GeneralSettings::QtyGsSss, 3);
    ASSERT_EQ(g.typeRules.size(), 14);
    for (const TypeRule& rule : g.typeRules.rules()) {
        EXPECT_TRUE(rule.methodPattern.isEmpty());
        EXPECT_TRUE(rule.samplePattern.isEmpty());
        EXPECT_FALSE(rule.stored);
    }
}

TEST_F(GeneralSettingsTest, typeTableHasTheFourteenRolesWithTheirSlotsAndRuns)
{
    GeneralSettings g;
    const QStringList types = {
        QStringLiteral("Холостая"), QStringLiteral("ГС Анализ"), QStringLiteral("ГС Калибровка"),
        QStringLiteral("ГС ССС"), QStringLiteral("ГС Метанол"), QStringLiteral("ГД Анализ"),
        QStringLiteral("ГД Калибровка"), QStringLiteral("ГД ССС"), QStringLiteral("ГД Метанол"),
        QStringLiteral("ДК С1С5"), QStringLiteral("ДК Температурная"), QStringLiteral("ДК ССС"),
        QStringLiteral("ДК Метанол"), QStringLiteral("ДК С6С44")};
    ASSERT_EQ(g.typeRules.size(), 14);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(g.typeRules[i].type, types[i]) << i;

    const int firstSlots[14] = {1, 2, 5, 10, 13, 16, 19, 24, 27, 30, 33, 34, 37, 40};
    const int smaller[14] = {1, 2, 3, 3, 2, 2, 3, 2, 2, 2, 1, 2, 2, 2};
    const int larger[14] = {1, 3, 5, 3, 3, 3, 5, 3, 3, 3, 1, 3, 3, 3};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(TypeRuleTable::FirstSlot(i), firstSlots[i]) << i;
        EXPECT_EQ(TypeRuleTable::RunCount(i, g), smaller[i]) << i;
    }
    for (const auto& count : GeneralSettings::AnalysisCounts())
        g.*count.member = 1;
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(TypeRuleTable::RunCount(i, g), larger[i]) << i;
    // The larger runs of a role never reach into the next role's slots.
    for (int i = 0; i + 1 < 14; ++i)
        EXPECT_LE(firstSlots[i] + larger[i], firstSlots[i + 1]) << i;
    EXPECT_EQ(firstSlots[13] + larger[13] - 1, 42);

    g.typeRules.FillDefaultTypeRules();
    EXPECT_EQ(g.typeRules.size(), 14);
}

TEST_F(GeneralSettingsTest, everyValueSurvivesASaveAndLoad)
{
    GeneralSettings saved;
    saved.qtySymInProg = 5;
    saved.qtySymInReport = 2;
    saved.enGsGradCorrect = 1;
    saved.enGsAnalysCorrect = 0;
    saved.enGdGradCorrect = 0;
    saved.enGdAnalysCorrect = 1;
    saved.enBlankSubtraction = 1;
    saved.TimeStartSample = 2.1234567;
    saved.QtyGsCalib = 1;
    saved.QtyGdSss = 1;
    saved.QtyDcC6C44 = 1;
    saved.typeRules.SetMethodPattern(1, QStringLiteral("Газ; ГС-2, проба"));
    saved.typeRules.SetSamplePattern(1, QStringLiteral("ГС"));
    {
        Profile profile(iniPath());
        saved.SaveSettings(profile);
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    // Start time is kept to its ten stored decimals, not rounded further.
    EXPECT_EQ(profile.readString(General, QStringLiteral("TimeStartSample"), QString()),
              QStringLiteral("2.1234567000"));
    EXPECT_EQ(profile.readInt(General, QStringLiteral("QtyGsCalib"), -1), 1);
    EXPECT_EQ(profile.readInt(General, QStringLiteral("QtyGsRegular"), -1), 0);

    GeneralSettings loaded;
    loaded.LoadSettings(profile);
    EXPECT_EQ(loaded.qtySymInProg, 5);
    EXPECT_EQ(loaded.qtySymInReport, 2);
    EXPECT_EQ(loaded.enGsGradCorrect, 1);
    EXPECT_EQ(loaded.enGsAnalysCorrect, 0);
    EXPECT_EQ(loaded.enGdGradCorrect, 0);
    EXPECT_EQ(loaded.enGdAnalysCorrect, 1);
    EXPECT_EQ(loaded.enBlankSubtraction, 1);
    EXPECT_DOUBLE_EQ(loaded.TimeStartSample, 2.1234567);
    EXPECT_EQ(loaded.QtyGsRegular, 0);
    EXPECT_EQ(loaded.QtyGsCalib, 1);
    EXPECT_EQ(loaded.QtyGdSss, 1);
    EXPECT_EQ(loaded.QtyDcC6C44, 1);
    EXPECT_EQ(loaded.QtyDcMeth, 0);
    EXPECT_EQ(loaded.typeRules[1].methodPattern, QStringLiteral("Газ; ГС-2, проба"));
    EXPECT_EQ(loaded.typeRules[1].samplePattern, QStringLiteral("ГС"));
    EXPECT_TRUE(loaded.typeRules[1].stored);
    EXPECT_FALSE(loaded.typeRules[2].stored);
}

TEST_F(GeneralSettingsTest, startTimeIsTenDecimalTextAndReadsAsFarAsItIsANumber)
{
    Profile profile(iniPath());
    GeneralSettings g;
    g.TimeStartSample = 0.1;
    g.SaveSettings(profile);
    EXPECT_EQ(profile.readString(General, QStringLiteral("TimeStartSample"), QString()),
              QStringLiteral("0.1000000000"));

    const std::pair<QString, double> stored[] = {
        {QStringLiteral("2.5000000000"), 2.5}, {QStringLiteral("3.5мин"), 3.5}, {QStringLiteral("скоро"), 0.0},
        {QStringLiteral("2,75"), 2.75}};
    for (const auto& [text, value] : stored) {
        profile.writeString(General, QStringLiteral("TimeStartSample"), text);
        g.LoadSettings(profile);
        EXPECT_DOUBLE_EQ(g.TimeStartSample, value) << text.toStdString();
    }
}

TEST_F(GeneralSettingsTest, analysisCountOtherThanZeroOrOneReadsAsOne)
{
    Profile profile(iniPath());
    profile.writeInt(General, QStringLiteral("QtyGsRegular"), 7);
    profile.writeInt(General, QStringLiteral("QtyGsCalib"), -1);
    profile.writeString(General, QStringLiteral("QtyGsMeth"), QStringLiteral("два"));
    profile.writeInt(General, QStringLiteral("QtyGdRegular"), 1);
    GeneralSettings g;
    g.LoadSettings(profile);
    EXPECT_EQ(g.QtyGsRegular, 1);
    EXPECT_EQ(g.QtyGsCalib, 1);
    EXPECT_EQ(g.QtyGsMeth, 0);  // not a number: the default
    EXPECT_EQ(g.QtyGdRegular, 1);
    EXPECT_EQ(TypeRuleTable::RunCount(1, g), 3);
    EXPECT_EQ(TypeRuleTable::RunCount(2, g), 5);
}

TEST_F(GeneralSettingsTest, digitCountsAreKeptAsStored)
{
    Profile profile(iniPath());
    profile.writeInt(General, QStringLiteral("qtySymInProg"), -2);
    profile.writeInt(General, QStringLiteral("qtySymInReport"), 1000000000);
    GeneralSettings g;
    g.LoadSettings(profile);
    EXPECT_EQ(g.qtySymInProg, -2);
    EXPECT_EQ(g.qtySymInReport, 1000000000);
    // Saved back unchanged: only the formatting limits the digits.
    g.SaveSettings(profile);
    EXPECT_EQ(profile.readInt(General, QStringLiteral("qtySymInReport"), 0), 1000000000);
    profile.writeString(General, QStringLiteral("qtySymInProg"), QStringLiteral("4.5"));
    g.LoadSettings(profile);
    EXPECT_EQ(g.qtySymInProg, 3);
}

TEST_F(GeneralSettingsTest, patternSetOnOneSideWritesBothValuesOfItsRow)
{
    Profile profile(iniPath());
    GeneralSettings g;
    g.typeRules.SetSamplePattern(3, QStringLiteral("ССС"));
    g.SaveSettings(profile);
    EXPECT_TRUE(profile.contains(Methods, QStringLiteral("3_method")));
    EXPECT_EQ(profile.readString(Methods, QStringLiteral("3_method"), QStringLiteral("x")), QString());
    EXPECT_EQ(profile.readString(Methods, QStringLiteral("3_sample"), QString()), QStringLiteral("ССС"));
    // Rows never given a pattern write nothing.
    EXPECT_FALSE(profile.contains(Methods, QStringLiteral("0_method")));
    EXPECT_FALSE(profile.contains(Methods, QStringLiteral("13_sample")));
}

TEST_F(GeneralSettingsTest, clearingAPatternKeepsTheRowMarkedSoTheEmptyTextIsSaved)
{
    Profile profile(iniPath());
    GeneralSettings g;
    g.typeRules.SetMethodPattern(5, QStringLiteral("Дегаз"));
    g.typeRules.SetMethodPattern(5, QString());
    EXPECT_TRUE(g.typeRules[5].stored);
    g.typeRules.SetSamplePattern(6, QString());
    EXPECT_FALSE(g.typeRules[6].stored);
    g.SaveSettings(profile);
    EXPECT_TRUE(profile.contains(Methods, QStringLiteral("5_method")));
    EXPECT_EQ(profile.readString(Methods, QStringLiteral("5_method"), QStringLiteral("x")), QString());
    EXPECT_FALSE(profile.contains(Methods, QStringLiteral("6_method")));
}

TEST_F(GeneralSettingsTest, reloadKeepsPatternsInMemoryWhereTheProfileHoldsNone)
{
    Profile profile(iniPath());
    profile.writeString(Methods, QStringLiteral("1_method"), QStringLiteral("Старая"));
    GeneralSettings g;
    g.LoadSettings(profile);
    g.typeRules.SetMethodPattern(1, QStringLiteral("Новая"));
    g.typeRules.SetSamplePattern(2, QStringLiteral("Калибр"));
    g.LoadSettings(profile);
    EXPECT_EQ(g.typeRules[1].methodPattern, QStringLiteral("Старая"));
    EXPECT_EQ(g.typeRules[2].samplePattern, QStringLiteral("Калибр"));
}

TEST_F(GeneralSettingsTest, saveDeletesBothSectionsBeforeWriting)
{
    Profile profile(iniPath());
    profile.writeInt(General, QStringLiteral("Obsolete"), 1);
    profile.writeString(Methods, QStringLiteral("7_method"), QString());
    profile.writeString(Methods, QStringLiteral("7_sample"), QString());
    profile.writeString(Methods, QStringLiteral("20_sample"), QStringLiteral("вне таблицы"));
    profile.writeInt(Params, QStringLiteral("GsPressure"), 5);
    GeneralSettings g;
    g.LoadSettings(profile);
    EXPECT_FALSE(g.typeRules[7].stored);
    g.SaveSettings(profile);
    ASSERT_TRUE(profile.sync());

    Profile again(iniPath());
    EXPECT_FALSE(again.contains(General, QStringLiteral("Obsolete")));
    EXPECT_FALSE(again.contains(Methods, QStringLiteral("7_method")));
    EXPECT_FALSE(again.contains(Methods, QStringLiteral("20_sample")));
    EXPECT_TRUE(again.contains(General, QStringLiteral("QtyDcC6C44")));
    EXPECT_EQ(again.readInt(Params, QStringLiteral("GsPressure"), 0), 5);  // neighbours untouched
}

// ---------------------------------------------------------------------------

TEST_F(SamplingParametersTest, emptyProfileGivesZeroesAndThreeDigits)
{
    Profile profile(iniPath());
    SamplingParameters p;
    p.GsPressure = 99.0;
    p.LoadSettings(profile);
    EXPECT_EQ(p.qtySymInProg, 3);
    EXPECT_EQ(p.qtySymInReport, 3);
    for (const auto& field : SamplingParameters::Fields())
        EXPECT_EQ(p.*field.member, 0.0) << field.valueName;
}

TEST_F(SamplingParametersTest, everyParameterRoundTripsUnderItsOwnName)
{
    SamplingParameters saved;
    int k = 1;
    for (const auto& field : SamplingParameters::Fields())
        saved.*field.member = k++ + 0.25;  // 1.25, 2.25, ... 20.25
    saved.qtySymInProg = 7;
    saved.qtySymInReport = 9;
    {
        Profile profile(iniPath());
        saved.SaveSettings(profile);
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    EXPECT_EQ(profile.readString(Params, QStringLiteral("GsPressure"), QString()), QStringLiteral("1.2500000000"));
    EXPECT_EQ(profile.readString(Params, QStringLiteral("DcDensity"), QString()), QStringLiteral("8.2500000000"));
    EXPECT_EQ(profile.readString(Params, QStringLiteral("PgMtrapempty"), QString()), QStringLiteral("20.2500000000"));
    SamplingParameters loaded;
    loaded.LoadSettings(profile);
    EXPECT_EQ(loaded.GsPressure, 1.25);
    EXPECT_EQ(loaded.GsTemp, 4.25);
    EXPECT_EQ(loaded.GdVol2, 7.25);
    EXPECT_EQ(loaded.DcVol2, 11.25);
    EXPECT_EQ(loaded.PgQkgn, 12.25);
    EXPECT_EQ(loaded.PgMpoempty, 17.25);
    EXPECT_EQ(loaded.PgMtrapempty, 20.25);
    EXPECT_EQ(loaded.qtySymInProg, 7);
    EXPECT_EQ(loaded.qtySymInReport, 9);
}

TEST_F(SamplingParametersTest, valuesAreKeptToTenDecimals)
{
    Profile profile(iniPath());
    SamplingParameters p;
    p.GsPressure = 101.325;
    p.PgVol1 = 0.00000000001;
    p.DcAvg = -3.5;
    p.SaveSettings(profile);
    EXPECT_EQ(profile.readString(Params, QStringLiteral("GsPressure"), QString()), QStringLiteral("101.3250000000"));
    EXPECT_EQ(profile.readString(Params, QStringLiteral("PgVol1"), QString()), QStringLiteral("0.0000000000"));
    SamplingParameters loaded;
    loaded.LoadSettings(profile);
    EXPECT_DOUBLE_EQ(loaded.GsPressure, 101.325);
    EXPECT_EQ(loaded.PgVol1, 0.0);
    EXPECT_EQ(loaded.DcAvg, -3.5);

    profile.writeString(Params, QStringLiteral("GdVol1"), QStringLiteral("12abc"));
    profile.writeString(Params, QStringLiteral("GdVol2"), QStringLiteral("abc"));
    loaded.LoadSettings(profile);
    EXPECT_EQ(loaded.GdVol1, 12.0);
    EXPECT_EQ(loaded.GdVol2, 0.0);

    // Typed into the file by hand with a decimal comma, which the ini notation leaves
    // unquoted, or in quotes that keep the blanks before it.
    const QString hand = dir.filePath(QStringLiteral("hand.conf"));
    ASSERT_TRUE(testsupport::writeFileBytes(
        hand, QByteArrayLiteral("[Settings]\nParams\\PgQkgn=185,5\nParams\\GsTemp=\" 95,5\"\n")));
    loaded.LoadSettings(Profile(hand));
    EXPECT_DOUBLE_EQ(loaded.PgQkgn, 185.5);
    EXPECT_DOUBLE_EQ(loaded.GsTemp, 95.5);
}

TEST_F(SamplingParametersTest, saveReplacesTheWholeSection)
{
    Profile profile(iniPath());
    profile.writeString(Params, QStringLiteral("Leftover"), QStringLiteral("1"));
    profile.writeInt(General, QStringLiteral("qtySymInProg"), 6);
    SamplingParameters p;
    p.SaveSettings(profile);
    ASSERT_TRUE(profile.sync());
    Profile again(iniPath());
    EXPECT_FALSE(again.contains(Params, QStringLiteral("Leftover")));
    EXPECT_TRUE(again.contains(Params, QStringLiteral("PgMtrapempty")));
    EXPECT_EQ(again.readInt(General, QStringLiteral("qtySymInProg"), 0), 6);
}

// ---------------------------------------------------------------------------

TEST_F(ChromatogramFoldersTest, addsEachFolderOnceComparingCleanedPathsWithCase)
{
    ChromatogramFolders f;
    EXPECT_TRUE(f.AddFolder(QStringLiteral("/data/run")));
    EXPECT_FALSE(f.AddFolder(QStringLiteral("/data/run/")));
    EXPECT_FALSE(f.AddFolder(QStringLiteral("/data/./x/../run")));
    EXPECT_TRUE(f.AddFolder(QStringLiteral("/data/Run")));
    EXPECT_FALSE(f.AddFolder(QString()));
    EXPECT_EQ(f.folders(), (QStringList{QStringLiteral("/data/run"), QStringLiteral("/data/Run")}));
}

TEST_F(ChromatogramFoldersTest, removesTheSelectedFoldersAndKeepsTheOrderOfTheRest)
{
    ChromatogramFolders f;
    for (const char* path : {"/a", "/b", "/c", "/d", "/e"})
        f.AddFolder(QString::fromLatin1(path));
    f.RemoveFolders({3, 1, 3, 9, -1});
    EXPECT_EQ(f.folders(), (QStringList{QStringLiteral("/a"), QStringLiteral("/c"), QStringLiteral("/e")}));
    f.RemoveAll();
    EXPECT_TRUE(f.folders().isEmpty());
}

TEST_F(ChromatogramFoldersTest, emptyStoredFolderIsDroppedAndTheRestRenumberedOnSave)
{
    Profile profile(iniPath());
    profile.writeInt(Chrms, QStringLiteral("enAutoOpen"), 0);
    profile.writeInt(Chrms, QStringLiteral("qtyFolders"), 3);
    profile.writeString(Chrms, QStringLiteral("folder_0"), QStringLiteral("/srv/хроматограммы"));
    profile.writeString(Chrms, QStringLiteral("folder_1"), QString());
    profile.writeString(Chrms, QStringLiteral("folder_2"), QStringLiteral("/srv/b,c"));
    profile.writeString(Chrms, QStringLiteral("folder_3"), QStringLiteral("/srv/beyond"));
    ChromatogramFolders f;
    f.LoadSettings(profile);
    EXPECT_EQ(f.enAutoOpen, 0);
    EXPECT_EQ(f.folders(), (QStringList{QStringLiteral("/srv/хроматограммы"), QStringLiteral("/srv/b,c")}));

    f.SaveSettings(profile);
    ASSERT_TRUE(profile.sync());
    Profile again(iniPath());
    EXPECT_EQ(again.readInt(Chrms, QStringLiteral("qtyFolders"), -1), 2);
    EXPECT_EQ(again.readString(Chrms, QStringLiteral("folder_0"), QString()), QStringLiteral("/srv/хроматограммы"));
    EXPECT_EQ(again.readString(Chrms, QStringLiteral("folder_1"), QString()), QStringLiteral("/srv/b,c"));
    EXPECT_FALSE(again.contains(Chrms, QStringLiteral("folder_2")));
    EXPECT_FALSE(again.contains(Chrms, QStringLiteral("folder_3")));
    EXPECT_EQ(again.readInt(Chrms, QStringLiteral("enAutoOpen"), -1), 0);
}

TEST_F(ChromatogramFoldersTest, reloadAppendsOnlyStoredFoldersNotInMemory)
{
    Profile profile(iniPath());
    profile.writeInt(Chrms, QStringLiteral("qtyFolders"), 2);
    profile.writeString(Chrms, QStringLiteral("folder_0"), QStringLiteral("/one"));
    profile.writeString(Chrms, QStringLiteral("folder_1"), QStringLiteral("/two"));
    ChromatogramFolders f;
    f.LoadSettings(profile);
    EXPECT_EQ(f.enAutoOpen, 1);
    f.AddFolder(QStringLiteral("/three"));
    f.RemoveFolders({0});
    f.LoadSettings(profile);
    EXPECT_EQ(f.folders(), (QStringList{QStringLiteral("/two"), QStringLiteral("/three"), QStringLiteral("/one")}));
}

TEST_F(ChromatogramFoldersTest, negativeOrHugeStoredCountIsHarmless)
{
    Profile profile(iniPath());
    profile.writeInt(Chrms, QStringLiteral("qtyFolders"), -4);
    profile.writeString(Chrms, QStringLiteral("folder_0"), QStringLiteral("/x"));
    ChromatogramFolders f;
    f.LoadSettings(profile);
    EXPECT_TRUE(f.folders().isEmpty());

    profile.writeInt(Chrms, QStringLiteral("qtyFolders"), 2147483647);
    f.LoadSettings(profile);
    EXPECT_EQ(f.folders(), QStringList{QStringLiteral("/x")});
}

// ---------------------------------------------------------------------------

TEST_F(CSettingsTest, loadsEveryPageOnConstructionAndSavesThemAll)
{
    {
        Profile profile(iniPath());
        profile.writeInt(General, QStringLiteral("qtySymInProg"), 4);
        profile.writeString(Params, QStringLiteral("GsPressure"), QStringLiteral("99.5000000000"));
        profile.writeInt(Chrms, QStringLiteral("qtyFolders"), 1);
        profile.writeString(Chrms, QStringLiteral("folder_0"), QStringLiteral("/data"));
        profile.writeString(Methods, QStringLiteral("13_sample"), QStringLiteral("С6"));
        ASSERT_TRUE(profile.sync());
    }
    {
        Profile profile(iniPath());
        CSettings settings(profile);
        EXPECT_EQ(settings.GetGeneral().qtySymInProg, 4);
        EXPECT_EQ(settings.GetParams().GsPressure, 99.5);
        EXPECT_EQ(settings.GetFolders().folders(), QStringList{QStringLiteral("/data")});
        EXPECT_EQ(settings.general.typeRules[13].samplePattern, QStringLiteral("С6"));

        settings.general.QtyDcSss = 1;
        settings.params.PgVol3 = 12.5;
        settings.folders.AddFolder(QStringLiteral("/more"));
        EXPECT_TRUE(settings.SaveSettings());
    }
    Profile profile(iniPath());
    CSettings again(profile);
    EXPECT_EQ(again.general.QtyDcSss, 1);
    EXPECT_EQ(again.params.PgVol3, 12.5);
    EXPECT_EQ(again.folders.folders(), (QStringList{QStringLiteral("/data"), QStringLiteral("/more")}));
    EXPECT_EQ(again.general.typeRules[13].samplePattern, QStringLiteral("С6"));
}

TEST_F(CSettingsTest, withoutAProfileHoldsDefaultsAndCannotSave)
{
    CSettings settings;
    EXPECT_EQ(settings.general.qtySymInProg, 3);
    EXPECT_EQ(settings.folders.enAutoOpen, 1);
    EXPECT_EQ(settings.general.typeRules.size(), 14);
    settings.LoadSettings();
    EXPECT_FALSE(settings.SaveSettings());
}

TEST_F(CSettingsTest, valuesThatCouldNotBeWrittenOutliveAReload)
{
    Profile profile(iniPath());
    CSettings settings(profile);
    settings.general.qtySymInProg = 7;
    settings.params.GsPressure = 101.5;
    {
        testsupport::FileSizeLimit fullDisk(0);
        ASSERT_TRUE(fullDisk.active());
        EXPECT_FALSE(settings.SaveSettings());
    }
    // Whatever the profile says meanwhile, the values in force stay.
    profile.writeInt(General, QStringLiteral("qtySymInProg"), 2);
    settings.LoadSettings();
    EXPECT_EQ(settings.general.qtySymInProg, 7);
    EXPECT_EQ(settings.params.GsPressure, 101.5);

    // Once written, the profile is read again.
    ASSERT_TRUE(settings.SaveSettings());
    profile.writeInt(General, QStringLiteral("qtySymInProg"), 2);
    settings.LoadSettings();
    EXPECT_EQ(settings.general.qtySymInProg, 2);
}
