#include <gtest/gtest.h>

#include "data/MainDialogProfile.h"
#include "platform/Profile.h"
#include "support/ProfileDir.h"

using MainDialogProfileTest = testsupport::ProfileDirTest;
using profile_sections::Recent;

TEST_F(MainDialogProfileTest, recentListSurvivesARestartInOrder)
{
    {
        Profile p(iniPath());
        SaveRecentChromatograms(p, {QStringLiteral("/data/б.stg"), QStringLiteral("/data/a,b.stg"),
                                    QStringLiteral("/data/c.stg")});
        p.sync();
    }
    Profile p(iniPath());
    EXPECT_EQ(LoadRecentChromatograms(p),
              QStringList({QStringLiteral("/data/б.stg"), QStringLiteral("/data/a,b.stg"), QStringLiteral("/data/c.stg")}));
    EXPECT_EQ(p.readString(Recent, QStringLiteral("0"), QString()), QStringLiteral("/data/б.stg"));
}

TEST_F(MainDialogProfileTest, recentListStopsAtTheFirstGap)
{
    Profile p(iniPath());
    p.writeString(Recent, QStringLiteral("0"), QStringLiteral("/a.stg"));
    p.writeString(Recent, QStringLiteral("1"), QStringLiteral("/b.stg"));
    p.writeString(Recent, QStringLiteral("3"), QStringLiteral("/d.stg"));
    EXPECT_EQ(LoadRecentChromatograms(p), QStringList({"/a.stg", "/b.stg"}));
    p.writeString(Recent, QStringLiteral("1"), QString());
    EXPECT_EQ(LoadRecentChromatograms(p), QStringList({"/a.stg"}));
}

TEST_F(MainDialogProfileTest, savingAShorterListLeavesNoOldPathBehind)
{
    Profile p(iniPath());
    SaveRecentChromatograms(p, {"/a.stg", "/b.stg", "/c.stg"});
    SaveRecentChromatograms(p, {"/z.stg"});
    EXPECT_EQ(LoadRecentChromatograms(p), QStringList({"/z.stg"}));
    EXPECT_FALSE(p.contains(Recent, QStringLiteral("1")));

    SaveRecentChromatograms(p, {});
    EXPECT_FALSE(p.contains(Recent, QStringLiteral("0")));
    EXPECT_TRUE(LoadRecentChromatograms(p).isEmpty());
}

TEST_F(MainDialogProfileTest, windowRectangleIsSixteenBytesOfEdges)
{
    {
        Profile p(iniPath());
        SaveWindowState(p, QRect(10, 20, 100, 200));
        p.sync();
    }
    Profile p(iniPath());
    // left 10, top 20, right 110, bottom 220, little-endian.
    EXPECT_EQ(p.readBinary(QString(), QStringLiteral("WState")).toHex(),
              QByteArray("0a000000140000006e000000dc000000"));
    EXPECT_EQ(LoadWindowState(p), QRect(10, 20, 100, 200));

    // Negative edges (a window on a monitor left of the main one) come back too.
    SaveWindowState(p, QRect(-1280, -5, 640, 480));
    EXPECT_EQ(LoadWindowState(p), QRect(-1280, -5, 640, 480));
}

TEST_F(MainDialogProfileTest, malformedWindowRectangleIsIgnored)
{
    Profile p(iniPath());
    EXPECT_FALSE(LoadWindowState(p).has_value());
    p.writeBinary(QString(), QStringLiteral("WState"), QByteArray::fromHex("0a000000140000006e000000dc0000"));
    EXPECT_FALSE(LoadWindowState(p).has_value());
    p.writeBinary(QString(), QStringLiteral("WState"), QByteArray::fromHex("0a000000140000006e000000dc00000000"));
    EXPECT_FALSE(LoadWindowState(p).has_value());
    // Right edge left of the left edge: no area.
    p.writeBinary(QString(), QStringLiteral("WState"), QByteArray::fromHex("6e000000140000000a000000dc000000"));
    EXPECT_FALSE(LoadWindowState(p).has_value());
    // Edges so far apart that the width does not fit an int.
    p.writeBinary(QString(), QStringLiteral("WState"), QByteArray::fromHex("00000080000000006e000000dc000000"));
    EXPECT_FALSE(LoadWindowState(p).has_value());
    // Text where bytes belong.
    p.writeString(QString(), QStringLiteral("WState"), QStringLiteral("0123456789abcdef"));
    EXPECT_FALSE(LoadWindowState(p).has_value());
}
