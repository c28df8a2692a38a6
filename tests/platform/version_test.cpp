#include <gtest/gtest.h>

#include <QStringList>

#include "platform/Version.h"

TEST(Version, hasThreeDottedNumbers)
{
    const QStringList parts = GetVersionString().split(QLatin1Char('.'));
    ASSERT_EQ(parts.size(), 3);
    for (const QString& p : parts) {
        bool ok = false;
        p.toInt(&ok);
        EXPECT_TRUE(ok) << p.toStdString();
    }
}
