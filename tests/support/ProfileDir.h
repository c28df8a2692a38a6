#pragma once

#include <gtest/gtest.h>

#include <QString>
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

// A test whose profile lives in a scratch folder of its own.
class ProfileDirTest : public ::testing::Test
{
protected:
    QString iniPath() const { return dir.filePath(QStringLiteral("tavrin.ini")); }
    QTemporaryDir dir;
};

} // namespace testsupport
