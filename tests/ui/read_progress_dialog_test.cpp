#include <gtest/gtest.h>

#include "ui/ReadProgressDialog.h"

#include <QProgressDialog>
#include <QWidget>

TEST(ReadProgressDialogTest, staysHiddenAtFirstAndACancelStopsTheReading)
{
    QWidget window;
    ReadProgressDialog progress(&window);
    const ReadProgress report = progress.progress();
    ASSERT_TRUE(report(0, 40));
    auto* dialog = window.findChild<QProgressDialog*>(QStringLiteral("readProgress"));
    ASSERT_NE(dialog, nullptr);
    // It waits out its minimum duration before it shows.
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->minimumDuration(), ReadProgressDialog::MinimumDuration);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Чтение хроматограмм..."));
    EXPECT_TRUE(report(10, 40));
    EXPECT_EQ(dialog->value(), 10);
    EXPECT_EQ(dialog->maximum(), 40);

    dialog->cancel();
    EXPECT_FALSE(report(20, 40));
}
