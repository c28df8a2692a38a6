#pragma once

#include <gtest/gtest.h>

#include "platform/IniText.h"
#include "support/FileBytes.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Sections of the program's profile, spelt out here rather than taken from
// the code under test.
namespace profile_sections {
inline const QString General = QStringLiteral("Settings\\General");
inline const QString Methods = QStringLiteral("Settings\\General\\Methods");
inline const QString Params = QStringLiteral("Settings\\Params");
inline const QString Chrms = QStringLiteral("Settings\\Chrms");
inline const QString GasComponents = QStringLiteral("Components\\Gas");
inline const QString TempComponents = QStringLiteral("Components\\Temp");
inline const QString Recent = QStringLiteral("RecentChrms");
} // namespace profile_sections

namespace testsupport {

// A profile file as it is on disk: keys "Section/name", the root's bare.
inline QSettings::SettingsMap storedProfile(const QString& file)
{
    return ReadIniText(readFileBytes(file));
}

// The chromatogram list that file on disk holds, in its order.
inline QStringList storedChromatogramList(const QString& file)
{
    const QSettings::SettingsMap values = storedProfile(file);
    QStringList paths;
    for (int i = 0; values.contains(QStringLiteral("RecentChrms/%1").arg(i)); ++i)
        paths.append(values[QStringLiteral("RecentChrms/%1").arg(i)].toString());
    return paths;
}

// A test whose profile lives in a scratch folder of its own.
class ProfileDirTest : public ::testing::Test
{
protected:
    QString iniPath() const { return dir.filePath(QStringLiteral("tavrin.ini")); }
    QTemporaryDir dir;
};

} // namespace testsupport
