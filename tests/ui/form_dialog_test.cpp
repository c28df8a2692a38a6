#include <gtest/gtest.h>

#include "ui/FormDialog.h"

#include <climits>

namespace {

CFormDialog::CResizeAction action(int horizontal, int vertical)
{
    // left 100, top 50, right 200, bottom 150 of an initial client of 400 x 300.
    CFormDialog::CResizeAction a;
    a.left = 100;
    a.top = 50;
    a.right = 200;
    a.bottom = 150;
    a.horizontal = horizontal;
    a.vertical = vertical;
    return a;
}

} // namespace

TEST(FormDialogResize, eachModeMovesOrGrowsByItsShareOfTheChange)
{
    const QSize initial(400, 300);
    // Worked by hand: dx = 45, dy = -30.
    // share across: 45 * 100 / 400 = 11.25 -> 11; share down: -30 * 50 / 300 = -5;
    // growth across: 45 * 100 / 400 -> 11; growth down: -30 * 100 / 300 = -10.
    const struct
    {
        int horizontal;
        int vertical;
        QRect expected; // x, y, width, height
    } cases[] = {
        {0, 0, QRect(100, 50, 100, 100)},
        {1, 0, QRect(145, 50, 100, 100)},
        {2, 0, QRect(100, 50, 145, 100)},
        {3, 0, QRect(111, 50, 100, 100)},
        {4, 0, QRect(111, 50, 111, 100)},
        {0, 1, QRect(100, 20, 100, 100)},
        {0, 2, QRect(100, 50, 100, 70)},
        {0, 3, QRect(100, 45, 100, 100)},
        {0, 4, QRect(100, 45, 100, 90)},
        {2, 1, QRect(100, 20, 145, 100)},
        {7, -1, QRect(100, 50, 100, 100)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFormDialog::ResizedRect(action(c.horizontal, c.vertical), 45, -30, initial), c.expected)
            << "modes " << c.horizontal << ", " << c.vertical;
    }
}

TEST(FormDialogResize, productsAreRoundedHalfAwayFromZero)
{
    const struct
    {
        int a, b, c, expected;
    } cases[] = {
        {7, 1, 2, 4},   {-7, 1, 2, -4},  {7, -1, 2, -4}, {5, 1, 4, 1}, {6, 1, 4, 2}, {-6, 1, 4, -2},
        {45, 100, 400, 11}, {5, 0, 3, 0}, {1, 1, 0, -1}, {INT_MAX, 2, 1, -1},
        // The product is held on 64 bits.
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFormDialog::MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}
