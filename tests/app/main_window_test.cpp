#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "platform/Version.h"

TEST(MainWindow, titleCarriesTheVersion)
{
    MainWindow w;
    w.show();
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("ver. ") + GetVersionString()));
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Ворнель")));
}
