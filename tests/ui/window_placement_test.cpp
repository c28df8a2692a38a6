#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "ui/WindowPlacement.h"

#include <limits>

// The whole window, title bar included, is fitted into the room by the least
// move; the room's top bounds the top, its left the left.
TEST(WindowPlacementTest, theWholeFrameIsFittedIntoTheRoom)
{
    const QMargins frame(4, 24, 4, 4);
    const QRect laptop(0, 0, 1366, 768);
    const QRect monitor(1366, 100, 1280, 1024);
    constexpr int kMin = std::numeric_limits<int>::min();
    const struct {
        QRect inner;
        QRect room;
        QRect fitted;
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.inner));
        EXPECT_EQ(FitFrameInside(c.inner, frame, c.room), c.fitted);
    }
}
