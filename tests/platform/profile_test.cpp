#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include <cerrno>
#include <clocale>

#include <unistd.h>

#include "platform/Profile.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ProfileDir.h"
#include "support/QtRussianTexts.h"
#include "support/WithoutFileRights.h"

using ProfileTest = testsupport::ProfileDirTest;
using namespace profile_sections;

TEST_F(ProfileTest, missingOrMalformedIntegersReadAsDefault)
{
    Profile p(iniPath());
    EXPECT_EQ(p.readInt(General, QStringLiteral("x"), 7), 7);
    p.writeString(General, QStringLiteral("x"), QStringLiteral("12abc"));
    EXPECT_EQ(p.readInt(General, QStringLiteral("x"), 7), 7);
    p.writeInt(General, QStringLiteral("x"), -3);
    EXPECT_EQ(p.readInt(General, QStringLiteral("x"), 7), -3);
}

TEST_F(ProfileTest, doublesAreTenDecimalTextWhateverTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");  // ignored when the machine lacks it
    {
        Profile p(iniPath());
        p.writeDouble(Params, QStringLiteral("GsPressure"), 1.25);
        EXPECT_EQ(p.readString(Params, QStringLiteral("GsPressure"), QString()),
                  QStringLiteral("1.2500000000"));
        EXPECT_DOUBLE_EQ(p.readDouble(Params, QStringLiteral("GsPressure"), 0.0), 1.25);
        p.writeString(Params, QStringLiteral("Bad"), QStringLiteral("1,5"));
        EXPECT_DOUBLE_EQ(p.readDouble(Params, QStringLiteral("Bad"), -1.0), -1.0);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST_F(ProfileTest, deletingASectionTakesItsSubSectionsButNotItsNeighbours)
{
    {
        Profile p(iniPath());
        p.writeInt(General, QStringLiteral("a"), 1);
        p.writeInt(Methods, QStringLiteral("b"), 2);
        p.writeInt(Params, QStringLiteral("c"), 3);
        p.writeInt(QString(), QStringLiteral("EnableError"), 0);
        p.deleteSection(General);
        ASSERT_TRUE(p.sync());
    }
    Profile again(iniPath());
    EXPECT_FALSE(again.contains(General, QStringLiteral("a")));
    EXPECT_FALSE(again.contains(Methods, QStringLiteral("b")));
    EXPECT_EQ(again.readInt(Params, QStringLiteral("c"), 0), 3);
    EXPECT_EQ(again.readInt(QString(), QStringLiteral("EnableError"), 1), 0);
}

TEST_F(ProfileTest, stringsWithCommasAndCyrillicSurvive)
{
    {
        Profile p(iniPath());
        p.writeString(Chrms, QStringLiteral("f"), QStringLiteral("ГС;ГД, проба"));
        ASSERT_TRUE(p.sync());
    }
    Profile again(iniPath());
    EXPECT_EQ(again.readString(Chrms, QStringLiteral("f"), QString()),
              QStringLiteral("ГС;ГД, проба"));
}

TEST_F(ProfileTest, defaultProfileFollowsTheRedirectedUserScope)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    {
        Profile p;
        p.writeInt(QString(), QStringLiteral("WState"), 5);
        ASSERT_TRUE(p.sync());
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Quindle/tavrin.conf"))));
}

TEST_F(ProfileTest, queriedStringIsTheTextValueOrTheDefault)
{
    Profile p(iniPath());
    p.writeString(QString(), QStringLiteral("text"), QStringLiteral("/home/лаборант/хроматограммы"));
    p.writeString(QString(), QStringLiteral("empty"), QString());
    p.writeBinary(QString(), QStringLiteral("binary"), QByteArray("\x01\x02", 2));
    p.writeString(QString(), QStringLiteral("zero inside"), QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd"));
    p.writeString(QString(), QStringLiteral("zero first"), QString(QChar(u'\0')) + QStringLiteral("cd"));
    p.writeString(QString(), QStringLiteral("comma"), QStringLiteral("a, b"));
    p.writeString(QStringLiteral("Sub"), QStringLiteral("below"), QStringLiteral("x"));
    ASSERT_TRUE(p.sync());

    const Profile again(iniPath());
    const struct
    {
        const char* name;
        QString expected;
    } cases[] = {
        {"text", QStringLiteral("/home/лаборант/хроматограммы")},
        {"missing", QStringLiteral("умолч")},
        {"empty", QStringLiteral("умолч")},
        {"binary", QStringLiteral("умолч")},
        {"zero inside", QStringLiteral("ab")},
        {"zero first", QStringLiteral("умолч")},
        {"comma", QStringLiteral("a, b")},
        {"below", QStringLiteral("умолч")}, // only the key's own values count
    };
    for (const auto& c : cases) {
        QString result = QStringLiteral("old");
        RegQueryString(result, again, QString::fromLatin1(c.name), QStringLiteral("умолч"));
        EXPECT_EQ(result, c.expected) << c.name;
    }
    QString result = QStringLiteral("old");
    RegQueryString(result, again, QStringLiteral("missing"));
    EXPECT_TRUE(result.isEmpty());
}

TEST_F(ProfileTest, anotherApplicationsUserSettingsDoNotShowTheMachineOnes)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir.filePath(QStringLiteral("machine")));
    {
        Profile machine(ProfileScope::System, QStringLiteral("Quindle"), QStringLiteral("Morvane"));
        machine.writeString(QString(), QStringLiteral("OpenPath"), QStringLiteral("/data"));
        machine.writeInt(QString(), QStringLiteral("OpenDirType"), 1);
        ASSERT_TRUE(machine.sync());
        Profile user(ProfileScope::User, QStringLiteral("Quindle"), QStringLiteral("Morvane"));
        user.writeString(QString(), QStringLiteral("LastOpenPath2"), QStringLiteral("/data/2024"));
        ASSERT_TRUE(user.sync());
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("user/Quindle/Morvane.conf"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("machine/Quindle/Morvane.conf"))));

    const Profile user(ProfileScope::User, QStringLiteral("Quindle"), QStringLiteral("Morvane"));
    const Profile machine(ProfileScope::System, QStringLiteral("Quindle"), QStringLiteral("Morvane"));
    EXPECT_FALSE(user.contains(QString(), QStringLiteral("OpenPath")));
    EXPECT_EQ(user.readInt(QString(), QStringLiteral("OpenDirType"), 0), 0);
    EXPECT_EQ(user.readString(QString(), QStringLiteral("LastOpenPath2"), QString()), QStringLiteral("/data/2024"));
    EXPECT_EQ(machine.readString(QString(), QStringLiteral("OpenPath"), QString()), QStringLiteral("/data"));
}

TEST_F(ProfileTest, aHandWrittenValueWithACommaIsQueriedUnchanged)
{
    // The native notation reads an unquoted comma as a list of two texts.
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir.path());
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Quindle"))));
    ASSERT_TRUE(testsupport::writeFileBytes(dir.filePath(QStringLiteral("Quindle/Morvane.conf")),
                                            QByteArrayLiteral("[General]\nOpenPath=/data/a,b\n")));
    const Profile machine(ProfileScope::System, QStringLiteral("Quindle"), QStringLiteral("Morvane"));
    QString result;
    RegQueryString(result, machine, QStringLiteral("OpenPath"), QStringLiteral("умолч"));
    EXPECT_EQ(result, QStringLiteral("/data/a,b"));
}

TEST_F(ProfileTest, fullDiskKeepsTheStoredProfileAndTheValuesInForce)
{
    Profile p(iniPath());
    for (int i = 0; i < 40; ++i)
        p.writeString(Chrms, QStringLiteral("folder_%1").arg(i), QStringLiteral("/srv/chromatograms/%1").arg(i));
    ASSERT_TRUE(p.sync());
    const QByteArray stored = testsupport::readFileBytes(iniPath());
    ASSERT_GT(stored.size(), 1000);

    p.writeString(Chrms, QStringLiteral("folder_40"), QStringLiteral("/srv/new"));
    {
        // Qt's "Unknown error" for a write cut short, in Russian when it can be, is no reason.
        testsupport::QtRussianTexts qtTexts;
        testsupport::FileSizeLimit fullDisk(1000);
        ASSERT_TRUE(fullDisk.active());
        EXPECT_FALSE(p.sync());
    }
    EXPECT_EQ(p.writeError(), qt_error_string(EFBIG));
    EXPECT_EQ(testsupport::readFileBytes(iniPath()), stored);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("tavrin.ini")});
    EXPECT_EQ(p.readString(Chrms, QStringLiteral("folder_40"), QString()), QStringLiteral("/srv/new"));

    // Once there is room again the next write takes everything.
    EXPECT_TRUE(p.sync());
    Profile again(iniPath());
    EXPECT_EQ(again.readString(Chrms, QStringLiteral("folder_40"), QString()), QStringLiteral("/srv/new"));
    EXPECT_EQ(again.readString(Chrms, QStringLiteral("folder_0"), QString()), QStringLiteral("/srv/chromatograms/0"));
}

// The reason for a profile file that may not be written is the system's
// alone: the message that gives it names the file already.
TEST_F(ProfileTest, aReadOnlyFileIsRefusedWithTheSystemsReason)
{
    const QByteArray stored("[General]\nx=1\n");
    ASSERT_TRUE(testsupport::writeFileBytes(iniPath(), stored));
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFile::ReadOwner));
    bool bound = false, synced = true;
    QString why;
    testsupport::runWithoutFileRights([&] {
        bound = testsupport::accessRefused(QFile::encodeName(iniPath()), W_OK);
        Profile p(iniPath());
        p.writeInt(QString(), QStringLiteral("x"), 2);
        synced = p.sync();
        why = p.writeError();
    });
    ASSERT_TRUE(bound);
    EXPECT_FALSE(synced);
    EXPECT_EQ(why, qt_error_string(EACCES));
    EXPECT_EQ(testsupport::readFileBytes(iniPath()), stored);
}

TEST_F(ProfileTest, readsTheValuesOfAProfileWrittenBefore)
{
    ASSERT_TRUE(testsupport::writeFileBytes(iniPath(), QByteArrayLiteral(
        "[General]\nEnableError=0\nWState=@ByteArray(\\0\\0\\0\\x14\\0\\0\\0\\x1e)\n\n"
        "[Settings]\nGeneral\\qtySymInProg=4\nParams\\GsPressure=101.3250000000\n")));
    Profile p(iniPath());
    EXPECT_EQ(p.readInt(QString(), QStringLiteral("EnableError"), 1), 0);
    EXPECT_EQ(p.readBinary(QString(), QStringLiteral("WState")), QByteArray("\0\0\0\x14\0\0\0\x1e", 8));
    EXPECT_EQ(p.readInt(General, QStringLiteral("qtySymInProg"), 3), 4);
    EXPECT_DOUBLE_EQ(p.readDouble(Params, QStringLiteral("GsPressure"), 0.0), 101.325);
}
