#include <gtest/gtest.h>

#include "RecordQueries.h"
#include "plot/PlotSeries.h"

#include <cmath>
#include <vector>

using namespace record_queries;

TEST(PlotFrameMapping, endsFallOnTheFirstAndLastPixelAndHalvesRoundDown)
{
    // 100 × 50 pixels at (10, 20); x 0..99 and y 0..49 give a pixel a unit.
    PlotFrame f;
    f.plotRect = PlotRect{10, 20, 110, 70};
    f.xMax = 99.0;
    f.yMax = 49.0;
    struct Case
    {
        bool x;
        double value;
        int pixel;
    };
    for (const Case& c : std::vector<Case>{{true, 0.0, 10}, {true, 99.0, 109}, {true, 0.5, 10}, {true, 0.5000001, 11},
                                           {true, 1.5, 11}, {true, -0.5, 9}, {false, 0.0, 69}, {false, 49.0, 20},
                                           {false, 0.5, 69}, {false, 1.5, 68}, {false, -1.0, 70}})
        EXPECT_EQ(c.x ? PlotFrame::MapX(f, c.value, 1e9) : PlotFrame::MapY(f, 1e9, c.value), c.pixel) << c.value;

    EXPECT_EQ(PlotFrame::MapPolarX(f, std::acos(-1.0) / 2, 49.0), 10);
    EXPECT_EQ(PlotFrame::MapPolarY(f, std::acos(-1.0) / 2, 49.0), 20);
    EXPECT_EQ(PlotFrame::MapPolarX(f, 0.0, 99.0), 109);
    EXPECT_EQ(PlotFrame::MapX(f, std::nan(""), 0.0), 0);
    EXPECT_GT(PlotFrame::MapX(f, 1e300, 0.0), 1 << 27);

    f.offsetX = 3;
    f.offsetY = -2;
    EXPECT_EQ(PlotFrame::MapX(f, 0.0, 0.0), 13);
    EXPECT_EQ(PlotFrame::MapY(f, 0.0, 0.0), 67);
    f.xMax = f.xMin;  // an empty range maps everything to 0
    f.yMin = f.yMax;
    EXPECT_EQ(PlotFrame::MapX(f, 42.0, 0.0), 0);
    EXPECT_EQ(PlotFrame::MapY(f, 0.0, 42.0), 0);
}

TEST(PlotMulDiv, roundsHalvesAwayFromZero)
{
    struct Case
    {
        int a, b, c, expected;
    };
    for (const Case& k : std::vector<Case>{{7, 1, 2, 4}, {-7, 1, 2, -4}, {3, -1, 2, -2}, {5, 3, 4, 4}, {1, 1, 3, 0},
                                           {-2, 1, 3, -1}, {-51, 20, -100, 10}, {1 << 28, 1 << 28, 1 << 28, 1 << 28}})
        EXPECT_EQ(PlotMulDiv(k.a, k.b, k.c), k.expected) << k.a << "*" << k.b << "/" << k.c;
}

namespace {

// A straight line through points of a 100 × 100 area at the origin whose
// data units are pixels (the y range runs downward like the rows).
std::vector<PlotRecord> DrawLine(const std::vector<std::pair<double, double>>& points)
{
    std::vector<double> xs;
    std::vector<double> ys;
    for (const auto& [x, y] : points) {
        xs.push_back(x);
        ys.push_back(y);
    }
    RecordingPlotSurface surface;
    PlotSeries s;
    s.plotRect = PlotRect{0, 0, 100, 100};
    s.xMax = 99.0;
    s.yMin = 99.0;
    s.count = int(points.size());
    s.xValues = xs.data();
    s.yValues = ys.data();
    s.SetupTransforms();
    s.surface = &surface;
    s.DrawPolyline();
    return surface.records;
}

} // namespace

TEST(ClippedLine, segmentsAreCutAtTheEdgesOfThePlotArea)
{
    struct Case
    {
        const char* name;
        PlotPoint from, to;
        bool drawn;
        PlotPoint lineFrom, lineTo;
        bool dot;
    };
    const std::vector<Case> cases = {
        {"inside to inside", {10, 10}, {50, 60}, true, {10, 10}, {50, 60}, true},
        {"inside to right", {50, 50}, {150, 50}, true, {50, 50}, {99, 50}, true},
        {"inside to below", {50, 50}, {50, 300}, true, {50, 50}, {50, 99}, false},
        {"inside to above left", {20, 20}, {-20, -20}, true, {20, 20}, {0, 0}, true},
        {"left to inside", {-50, 50}, {30, 50}, true, {0, 50}, {30, 50}, true},
        {"below to inside", {20, 150}, {40, 50}, true, {30, 99}, {40, 50}, false},
        {"above to inside", {60, -40}, {60, 10}, true, {60, 0}, {60, 10}, false},
        {"outside across the area", {-50, 50}, {150, 50}, false, {}, {}, false},
        {"outside to outside", {-50, -50}, {-10, -80}, false, {}, {}, false},
        {"12 columns", {10, 10}, {22, 40}, true, {10, 10}, {22, 40}, false},
        {"13 columns back", {40, 10}, {27, 40}, true, {40, 10}, {27, 40}, true},
    };
    for (const Case& c : cases) {
        const std::vector<PlotRecord> records = DrawLine({{c.from.x, c.from.y}, {c.to.x, c.to.y}});
        const std::vector<PlotRecord> lines = OfKind(records, PlotRecord::Line);
        ASSERT_EQ(lines.size(), c.drawn ? 1u : 0u) << c.name;
        if (c.drawn) {
            EXPECT_EQ(lines[0].from, c.lineFrom) << c.name;
            EXPECT_EQ(lines[0].to, c.lineTo) << c.name;
        }
        const std::vector<PlotRecord> dots = OfKind(records, PlotRecord::Ellipse);
        ASSERT_EQ(dots.size(), c.dot ? 1u : 0u) << c.name;
        if (c.dot) {
            EXPECT_EQ(dots[0].rect, (PlotRect{c.lineTo.x - 2, c.lineTo.y - 2, c.lineTo.x + 3, c.lineTo.y + 3}));
        }
    }
}

TEST(ClippedLine, pointOnThePenPixelDrawsNothing)
{
    // 10.2 and 10.4 fall on column 10.
    const std::vector<PlotRecord> lines = OfKind(DrawLine({{10.0, 10.0}, {10.2, 10.0}, {10.4, 30.0}}), PlotRecord::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, (PlotPoint{10, 10}));
    EXPECT_EQ(lines[0].to, (PlotPoint{10, 30}));
}
