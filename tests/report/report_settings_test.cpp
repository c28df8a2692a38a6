#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "report/ReportSettings.h"
#include "support/ProfileDir.h"

using ReportSettingsTest = testsupport::ProfileDirTest;

TEST_F(ReportSettingsTest, defaultsEachFlagFromItsOwnValueAndTextsAsTyped)
{
    const QString section = QStringLiteral("ReportSettings");
    const char* const names[] = {"enableAssayList", "enableMixtureList", "enableGsResult", "enableGdResult",
                                 "enableDcResult",  "enablePgResult",    "enableSystemMsgs"};
    bool ReportSettings::* const flags[] = {
        &ReportSettings::enableAssayList, &ReportSettings::enableMixtureList, &ReportSettings::enableGsResult,
        &ReportSettings::enableGdResult,  &ReportSettings::enableDcResult,    &ReportSettings::enablePgResult,
        &ReportSettings::enableSystemMsgs};
    Profile profile(iniPath());
    ReportSettings s;
    s.deviceNumber = QStringLiteral("x");
    s.LoadSettings(profile);
    EXPECT_EQ(s.deviceNumber, QString());
    for (auto flag : flags)
        EXPECT_TRUE(s.*flag);

    s.operatorName = QStringLiteral("  Иванова И. И.  ");
    s.enableMixtureList = false;
    s.SaveSettings(profile);
    EXPECT_EQ(profile.readString(section, QStringLiteral("Operator"), {}), QStringLiteral("  Иванова И. И.  "));
    EXPECT_EQ(profile.readString(section, QStringLiteral("DeviceNumber"), QStringLiteral("?")), QString());
    EXPECT_EQ(profile.readInt(section, QStringLiteral("enableMixtureList"), 7), 0);
    EXPECT_EQ(profile.readInt(section, QStringLiteral("enableSystemMsgs"), 7), 1);

    // Any non-zero number, or a text that is no number, turns a section on.
    for (int off = 0; off < 7; ++off) {
        for (int i = 0; i < 7; ++i)
            profile.writeString(section, QString::fromLatin1(names[i]), i == off ? "0" : i % 2 ? "2" : "да");
        s.LoadSettings(profile);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(s.*flags[i], i != off) << names[i] << " with " << names[off] << " off";
    }
    EXPECT_EQ(s.operatorName, QStringLiteral("  Иванова И. И.  "));
}
