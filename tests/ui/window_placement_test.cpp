#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "ui/WindowPlacement.h"

#include <limits>

// The whole window, title bar included, is fitted into the room by the least
// move, at no less than its minimum size; the room's top bounds the top, its
// left the left.
TEST(WindowPlacementTest, theWholeFrameIsFittedIntoTheRoom)
{
    const QMargins frame(4, 24, 4, 4);
    const QRect laptop(0, 0, 1366, 768);
    const QRect monitor(1366, 100, 1280, 1024);
    const QSize least(990, 560);
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const struct {
        QRect inner;
        QRect room;
        QRect fitted;
        QSize least = QSize();
    } cases[] = {
        {QRect(100, 50, 1100, 600), laptop, QRect(100, 50, 1100, 600)},
        {QRect(100, 10, 1100, 600), laptop, QRect(100, 24, 1100, 600)},
        {QRect(500, 400, 1100, 600), laptop, QRect(262, 164, 1100, 600)},
        {QRect(1000000000, 1000000000, 1147483647, 1147483647), laptop, QRect(4, 24, 1358, 740)},
        {QRect(kMin, kMin, -1 - kMin, -1 - kMin), laptop, QRect(4, 24, 1358, 740)},
        {QRect(kMin, kMin, 1100, 600), laptop, QRect(4, 24, 1100, 600)},
        {QRect(1500, 300, 800, 600), monitor, QRect(1500, 300, 800, 600)},
        {QRect(1300, 50, 800, 600), monitor, QRect(1370, 124, 800, 600)},
        {QRect(2300, 900, 800, 600), monitor, QRect(1842, 520, 800, 600)},
        {QRect(100, 50, 1100, 600), laptop, QRect(100, 50, 1100, 600), least},
        {QRect(100, 500, 1100, 200), laptop, QRect(100, 204, 1100, 560), least},
        {QRect(1316, 718, 50, 50), laptop, QRect(372, 204, 990, 560), least},
        // By its corners: Qt's own (x, y, width, height) would overflow there.
        {QRect(QPoint(kMax, kMax), QPoint(kMax, kMax)), laptop, QRect(372, 204, 990, 560), least},
        {QRect(kMin, kMin, 1, 1), laptop, QRect(4, 24, 990, 560), least},
        // A minimum size larger than the room: the title bar's corner on the room's.
        {QRect(2000, 900, 100, 100), monitor, QRect(1370, 124, 1300, 1100), QSize(1300, 1100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.inner));
        EXPECT_EQ(FitFrameInside(c.inner, frame, c.room, c.least), c.fitted);
    }
}
