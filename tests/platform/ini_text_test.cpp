#include <gtest/gtest.h>

#include "platform/IniText.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QString>
#include <QVariant>

namespace {

// What Qt's own ini writer (QSettings::IniFormat, Qt 6.4) made of a profile
// with one value of every kind the program stores, byte for byte.
const char kWrittenByQt[] =
    "[General]\n"
    "EnableError=1\n"
    "WState=@ByteArray(\\x1\\0\\x2\\xff\\x7f abc\\0)\n"
    "\n"
    "[Components]\n"
    "Gas\\at=@@foo\n"
    "Gas\\empty=\n"
    "Gas\\%U041C%U0435%U0442%U0430%U043D=\" lead\"\n"
    "\n"
    "[RecentChrms]\n"
    "0=/home/\xC3\xBC/a b.stg\n"
    "\n"
    "[Settings]\n"
    "Chrms\\Folder0=\"C:\\\\data\\\\\\\"q\\\" = 5 ; x\\tz  \"\n"
    "General\\Methods\\x%20y=\"\xD0\x93\xD0\xA1;\xD0\x93\xD0\x94, \xD0\xBF\xD1\x80\xD0\xBE\xD0\xB1\xD0\xB0\"\n"
    "General\\qtySymInProg=3\n";

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(IniText, readsAProfileThatQtsIniWriterWrote)
{
    const QSettings::SettingsMap values = ReadIniText(QByteArray(kWrittenByQt));
    const QSettings::SettingsMap expected = {
        {u("EnableError"), u("1")},
        {u("WState"), QByteArray("\x01\x00\x02\xff\x7f abc\x00", 10)},
        {u("Components/Gas/at"), u("@foo")},
        {u("Components/Gas/empty"), QString()},
        {u("Components/Gas/Метан"), u(" lead")},
        {u("RecentChrms/0"), u("/home/ü/a b.stg")},
        {u("Settings/Chrms/Folder0"), u("C:\\data\\\"q\" = 5 ; x\tz  ")},
        {u("Settings/General/Methods/x y"), u("ГС;ГД, проба")},
        {u("Settings/General/qtySymInProg"), u("3")},
    };
    EXPECT_EQ(values, expected);
    EXPECT_EQ(values.value(u("WState")).typeId(), QMetaType::QByteArray);
}

TEST(IniText, everyTextAndKeyComesBackAsItWasWritten)
{
    const QString texts[] = {
        QString(), u(" lead"), u("trail "), u("\tboth\t"), u("a,b"), u("x;y"), u("k=v"), u("back\\slash"),
        u("quote\"in"), u("\"quoted\""), u("line\nbreak\rret"), u("\x01\x7f" "a1"), u("@at"), u("@@two"),
        u("@ByteArray(fake)"), u("@Invalid()"), u("Кириллица ü"), QString(QChar(0)) + u("7"),
        QString::fromUtf16(u"\u00A0nbsp\u2028"), QString::fromUtf16(u"\U0001F600"),
        QString(QChar(0xD800)) + u("lone"), u("#not a comment"), u("[not a section]"),
    };
    const QString keys[] = {
        u("WState"), u("Settings/General/qtySymInProg"), u("General/top"), u("general/lower"), u("%General/pct"),
        u("Компоненты/Метан"), u("a b/c=d"), u("sec/"), u("/lead"), u("x/y/z/w"), u("[x]/y"), u("sec//double"),
    };
    QSettings::SettingsMap values;
    int n = 0;
    for (const QString& key : keys) {
        for (const QString& text : texts)
            values.insert(key + u("/v") + QString::number(n++), text);
        values.insert(key, QByteArray("\x00\x01\x7f\x80\xff" "0a", 7));
    }
    values.insert(u("nothing"), QVariant());
    values.insert(u("bytes/empty"), QByteArray());

    const QSettings::SettingsMap back = ReadIniText(WriteIniText(values));
    ASSERT_EQ(back.size(), values.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        ASSERT_TRUE(back.contains(it.key()));
        EXPECT_EQ(back.value(it.key()), it.value());
        EXPECT_EQ(back.value(it.key()).typeId(), it.value().typeId());
    }
}

TEST(IniText, skipsWhatIsNoSectionAndNoValue)
{
    const QByteArray text = "\xEF\xBB\xBF; comment\r\n"
                            "# another\r\n"
                            "orphan=1\r\n"
                            "no equals sign\r\n"
                            "=no key\r\n"
                            "[Sec\r\n"
                            "  a  =  spaced value  \r\n"
                            "b=\"unterminated\r\n"
                            "c=\\x\r\n"
                            "[General]\n"
                            "d=\\101\\q\n";
    const QSettings::SettingsMap expected = {
        {u("orphan"), u("1")},
        {u("Sec/a"), u("spaced value")},
        {u("Sec/b"), u("unterminated")},
        {u("Sec/c"), u("x")},
        {u("d"), u("Aq")},
    };
    EXPECT_EQ(ReadIniText(text), expected);
}

TEST(IniText, qtsOwnIniReaderReadsWhatIsWritten)
{
    QSettings::SettingsMap values = {
        {u("WState"), QByteArray("\x00\x01\x7f\x80\xff" "0a", 7)},
        {u("EnableInfo"), u("0")},
        {u("General/top"), u("C:\\data, \"2\"; x=y")},
        {u("Settings/General/Methods/3 метод"), u(" Газ\tГС ")},
        {u("Settings/General/qtySymInProg"), u("3")},
        {u("Settings/at"), u("@at")},
        {u("RecentChrms/0"), u("/home/ü/line\nbreak\x01" "1")},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(u("written.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(WriteIniText(values));
    }
    QSettings qt(path, QSettings::IniFormat);
    EXPECT_EQ(qt.allKeys().size(), values.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(qt.value(it.key()), it.value()) << it.key().toStdString();
}
