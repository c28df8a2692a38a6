#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "report/ReportSettings.h"
#include "support/ProfileDir.h"

namespace {

const QString kSection = QStringLiteral("ReportSettings");

const char* const kFlagNames[] = {"enableAssayList", "enableMixtureList", "enableGsResult", "enableGdResult",
                                  "enableDcResult",  "enablePgResult",    "enableSystemMsgs"};

bool ReportSettings::* const kFlags[] = {
    &ReportSettings::enableAssayList, &ReportSettings::enableMixtureList, &ReportSettings::enableGsResult,
    &ReportSettings::enableGdResult,  &ReportSettings::enableDcResult,    &ReportSettings::enablePgResult,
    &ReportSettings::enableSystemMsgs,
};

using ReportSettingsTest = testsupport::ProfileDirTest;

} // namespace

TEST_F(ReportSettingsTest, firstRunHasEmptyTextsAndEverySectionOn)
{
    Profile profile(iniPath());
    ReportSettings s;
    s.deviceNumber = QStringLiteral("x");
    s.enableGdResult = false;
    s.LoadSettings(profile);
    EXPECT_EQ(s.deviceNumber, QString());
    EXPECT_EQ(s.operatorName, QString());
    for (auto flag : kFlags)
        EXPECT_TRUE(s.*flag);
}

TEST_F(ReportSettingsTest, everyFlagIsReadFromItsOwnValue)
{
    for (int off = 0; off < 7; ++off) {
        Profile profile(iniPath());
        profile.deleteSection(kSection);
        for (int i = 0; i < 7; ++i)
            profile.writeInt(kSection, QString::fromLatin1(kFlagNames[i]), i == off ? 0 : 2);
        ReportSettings s;
        s.LoadSettings(profile);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(s.*kFlags[i], i != off) << kFlagNames[i] << " with " << kFlagNames[off] << " off";
    }
}

TEST_F(ReportSettingsTest, savedValuesSurviveAnotherRun)
{
    {
        Profile profile(iniPath());
        ReportSettings s;
        s.deviceNumber = QStringLiteral("Кристалл-2000 №17");
        s.operatorName = QStringLiteral("  Иванова И. И.  ");
        s.enableMixtureList = false;
        s.enableSystemMsgs = false;
        s.SaveSettings(profile);
        ASSERT_TRUE(profile.sync());
    }
    Profile profile(iniPath());
    EXPECT_EQ(profile.readString(kSection, QStringLiteral("DeviceNumber"), QString()),
              QStringLiteral("Кристалл-2000 №17"));
    EXPECT_EQ(profile.readString(kSection, QStringLiteral("Operator"), QString()),
              QStringLiteral("  Иванова И. И.  "));
    EXPECT_EQ(profile.readInt(kSection, QStringLiteral("enableMixtureList"), 7), 0);
    EXPECT_EQ(profile.readInt(kSection, QStringLiteral("enableAssayList"), 7), 1);
    EXPECT_EQ(profile.readInt(kSection, QStringLiteral("enableSystemMsgs"), 7), 0);

    ReportSettings s;
    s.LoadSettings(profile);
    EXPECT_EQ(s.operatorName, QStringLiteral("  Иванова И. И.  "));
    EXPECT_FALSE(s.enableMixtureList);
    EXPECT_TRUE(s.enablePgResult);
}

TEST_F(ReportSettingsTest, malformedFlagReadsAsOn)
{
    Profile profile(iniPath());
    profile.writeString(kSection, QStringLiteral("enableGsResult"), QStringLiteral("нет"));
    ReportSettings s;
    s.LoadSettings(profile);
    EXPECT_TRUE(s.enableGsResult);
}
