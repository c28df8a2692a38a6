#include <gtest/gtest.h>

#include "plot/PainterPlotSurface.h"

#include <QImage>
#include <QPainter>

#include <vector>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

PlotFont Arial(int height, int escapement = 0)
{
    return PlotFont{height, escapement, 0, 0, 0, 0, 0, 0, QStringLiteral("Arial")};
}

// A white image and a surface on it that draws black with a one-pixel pen.
class PainterSurface : public ::testing::Test
{
protected:
    template <typename Draw>
    void Paint(Draw draw)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterPlotSurface surface(painter);
        surface.SelectPen(PlotPen{PenSolid, 0, 0x000000});
        surface.SelectBrush(PlotBrush::Hollow());
        draw(surface);
    }
    bool Black(int x, int y) const { return image.pixelColor(x, y) == QColor(0, 0, 0); }
    QRect InkBounds(int* blackPixels = nullptr) const
    {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != kWhite)
                    bounds |= QRect(x, y, 1, 1);
                if (blackPixels)
                    *blackPixels += Black(x, y);
            }
        return bounds;
    }
    QImage image{40, 40, QImage::Format_RGB32};
};

} // namespace

TEST(PlotColourToQt, storedAsBlueGreenRed)
{
    EXPECT_EQ(ToQColor(0x737FFF), QColor(255, 127, 115));
    EXPECT_EQ(ToQColor(PlotRgb(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(PlotRgb(255, 127, 115), 0x737FFFu);
}

TEST_F(PainterSurface, linesLeaveOutTheirEndPointInEveryDirection)
{
    struct Case
    {
        PlotPoint from, to;
        int pixels;
    };
    for (const Case& c : std::vector<Case>{{{2, 2}, {6, 2}, 4},
                                           {{6, 4}, {2, 4}, 4},
                                           {{30, 2}, {30, 9}, 7},
                                           {{32, 9}, {32, 2}, 7},
                                           {{2, 10}, {6, 14}, 4},
                                           {{16, 14}, {10, 10}, 6},
                                           {{20, 20}, {20, 20}, 0}}) {
        Paint([&](PlotSurface& s) {
            s.MoveTo(c.from.x, c.from.y);
            s.LineTo(c.to.x, c.to.y);
        });
        int black = 0;
        InkBounds(&black);
        EXPECT_EQ(black, c.pixels) << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(Black(c.from.x, c.from.y), c.pixels > 0);
        EXPECT_FALSE(Black(c.to.x, c.to.y));
    }
}

TEST_F(PainterSurface, shapesLeaveOutTheirRightColumnAndBottomRow)
{
    Paint([](PlotSurface& s) {
        s.SelectBrush(PlotBrush::Solid(0x0000FF));
        s.Rectangle(PlotRect{2, 2, 8, 8});
        s.FillRect(PlotRect{20, 2, 23, 5}, 0x000000);
        s.Ellipse(PlotRect{30, 30, 35, 35});
        s.SelectPen(PlotPen{PenNull, 1, 0});
        s.Rectangle(PlotRect{2, 20, 6, 24});
    });
    EXPECT_EQ(InkBounds(), QRect(2, 2, 33, 33));
    EXPECT_TRUE(Black(2, 2) && Black(7, 7) && Black(2, 7));
    EXPECT_EQ(image.pixelColor(8, 5), kWhite);
    EXPECT_EQ(image.pixelColor(5, 8), kWhite);
    EXPECT_EQ(image.pixelColor(4, 4), kRed);
    EXPECT_TRUE(Black(22, 4));
    EXPECT_EQ(image.pixelColor(23, 4), kWhite);
    EXPECT_EQ(image.pixelColor(22, 5), kWhite);
    EXPECT_EQ(image.pixelColor(35, 32), kWhite);
    EXPECT_TRUE(Black(34, 32));
    // Without an outline the inside is one pixel smaller again.
    EXPECT_EQ(image.pixelColor(4, 22), kRed);
    EXPECT_EQ(image.pixelColor(5, 22), kWhite);
    EXPECT_EQ(image.pixelColor(4, 23), kWhite);
}

TEST_F(PainterSurface, fontHeightIsTheCellWithItsLeading)
{
    QPainter painter(&image);
    PainterPlotSurface surface(painter);
    for (const auto& [height, cell] : std::vector<std::pair<int, int>>{{12, 12}, {16, 16}, {25, 25}, {-11, 12}}) {
        surface.SelectFont(Arial(height));
        const PlotTextMetrics m = surface.TextMetrics();
        EXPECT_EQ(m.height, cell) << height;
        EXPECT_GT(m.ascent, m.height / 2) << height;
        EXPECT_LT(m.ascent, m.height) << height;
        EXPECT_EQ(surface.TextExtent(QStringLiteral("0.5")).cy, cell);
    }
    // Arial's average width: 904/2048 of an 11-pixel em.
    surface.SelectFont(Arial(12));
    EXPECT_EQ(surface.TextMetrics().aveCharWidth, 5);
}

TEST_F(PainterSurface, textStandsOnItsReferencePointAsAligned)
{
    struct Case
    {
        unsigned align;
        int escapement;
        bool inkRight, inkBelow;  // of the reference point (40, 40)
    };
    image = QImage(80, 80, QImage::Format_RGB32);
    for (const Case& c : std::vector<Case>{{AlignLeft | AlignTop, 0, true, true},
                                           {AlignRight | AlignBaseline, 0, false, false},
                                           {AlignRight | AlignBottom, 0, false, false},
                                           {AlignRight | AlignTop, 900, true, true}}) {
        Paint([&](PlotSurface& s) {
            s.SelectFont(Arial(25, c.escapement));
            s.TextOut(40, 40, c.align, QStringLiteral("7"));
        });
        const QRect ink = InkBounds();
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(c.inkRight ? ink.left() >= 39 : ink.right() <= 40) << c.align;
        EXPECT_TRUE(c.inkBelow ? ink.top() >= 39 : ink.bottom() <= 40) << c.align;
        // Turned text is taller than wide.
        EXPECT_EQ(ink.height() > ink.width(), c.escapement == 0) << c.align;
    }
}
