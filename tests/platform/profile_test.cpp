#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QSettings>

#include <clocale>

#include "platform/Profile.h"

namespace {

class ProfileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("tavrin.conf")); }
};

} // namespace

TEST_F(ProfileTest, missingOrMalformedIntegersReadAsDefault)
{
    Profile p(file());
    EXPECT_EQ(p.readInt(QStringLiteral("Settings\\General"), QStringLiteral("x"), 7), 7);
    p.writeString(QStringLiteral("Settings\\General"), QStringLiteral("x"), QStringLiteral("12abc"));
    EXPECT_EQ(p.readInt(QStringLiteral("Settings\\General"), QStringLiteral("x"), 7), 7);
    p.writeInt(QStringLiteral("Settings\\General"), QStringLiteral("x"), -3);
    EXPECT_EQ(p.readInt(QStringLiteral("Settings\\General"), QStringLiteral("x"), 7), -3);
}

TEST_F(ProfileTest, doublesAreTenDecimalTextWhateverTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");  // ignored when the machine lacks it
    {
        Profile p(file());
        p.writeDouble(QStringLiteral("Settings\\Params"), QStringLiteral("GsPressure"), 1.25);
        EXPECT_EQ(p.readString(QStringLiteral("Settings\\Params"), QStringLiteral("GsPressure"), QString()),
                  QStringLiteral("1.2500000000"));
        EXPECT_DOUBLE_EQ(p.readDouble(QStringLiteral("Settings\\Params"), QStringLiteral("GsPressure"), 0.0), 1.25);
        p.writeString(QStringLiteral("Settings\\Params"), QStringLiteral("Bad"), QStringLiteral("1,5"));
        EXPECT_DOUBLE_EQ(p.readDouble(QStringLiteral("Settings\\Params"), QStringLiteral("Bad"), -1.0), -1.0);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST_F(ProfileTest, deletingASectionTakesItsSubSectionsButNotItsNeighbours)
{
    {
        Profile p(file());
        p.writeInt(QStringLiteral("Settings\\General"), QStringLiteral("a"), 1);
        p.writeInt(QStringLiteral("Settings\\General\\Methods"), QStringLiteral("b"), 2);
        p.writeInt(QStringLiteral("Settings\\Params"), QStringLiteral("c"), 3);
        p.writeInt(QString(), QStringLiteral("EnableError"), 0);
        p.deleteSection(QStringLiteral("Settings\\General"));
        ASSERT_TRUE(p.sync());
    }
    Profile again(file());
    EXPECT_FALSE(again.contains(QStringLiteral("Settings\\General"), QStringLiteral("a")));
    EXPECT_FALSE(again.contains(QStringLiteral("Settings\\General\\Methods"), QStringLiteral("b")));
    EXPECT_EQ(again.readInt(QStringLiteral("Settings\\Params"), QStringLiteral("c"), 0), 3);
    EXPECT_EQ(again.readInt(QString(), QStringLiteral("EnableError"), 1), 0);
}

TEST_F(ProfileTest, stringsWithCommasAndCyrillicSurvive)
{
    {
        Profile p(file());
        p.writeString(QStringLiteral("Settings\\Chrms"), QStringLiteral("f"), QStringLiteral("ГС;ГД, проба"));
        ASSERT_TRUE(p.sync());
    }
    Profile again(file());
    EXPECT_EQ(again.readString(QStringLiteral("Settings\\Chrms"), QStringLiteral("f"), QString()),
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
