#include <gtest/gtest.h>

#include "RecordQueries.h"
#include "plot/Plot.h"
#include "support/NumericCompare.h"

#include <QStringList>

#include <vector>

using namespace record_queries;

// The recording surface's 12-pixel fonts: cell 12, ascent 9, every character
// 6 wide; so ticks 4 long, tick gap 2, label gap 2.

namespace {

constexpr PlotColour kGrid = 0xBFBFBF;
constexpr PlotColour kBlack = 0x000000;

class EmptyPlot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plot.autoscaleX = plot.autoscaleY = false;
        plot.fixedXMin = plot.fixedYMin = 0.0;
        plot.fixedXMax = plot.fixedYMax = 1.0;
    }
    CPlot plot;
    RecordingPlotSurface surface;
};

PlotRect PlotArea(const std::vector<PlotRecord>& records)
{
    const std::vector<PlotRecord> rects = OfKind(records, PlotRecord::Rectangle);
    return rects.empty() ? PlotRect{} : rects.front().rect;
}

} // namespace

TEST_F(EmptyPlot, fixedUnitRangesLayOutElevenTicksOnEachAxis)
{
    plot.Paint(surface, PlotRect{0, 0, 400, 300});
    const std::vector<PlotRecord>& r = surface.records;
    EXPECT_EQ(r.front().kind, PlotRecord::Fill);
    EXPECT_EQ(r.front().rect, (PlotRect{0, 0, 400, 300}));

    const PlotRect area = PlotArea(r);
    EXPECT_EQ(area, (PlotRect{26, 9, 389, 280}));
    EXPECT_EQ(OfKind(r, PlotRecord::Rectangle).front().pen.style, PenNull);
    EXPECT_EQ(OfKind(r, PlotRecord::Rectangle).front().brush, PlotBrush::Solid(0xFFFFFF));

    const QStringList labels = {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"};
    EXPECT_EQ(Texts(r), labels + labels);
    EXPECT_EQ(plot.xMin, 0.0);
    EXPECT_EQ(plot.xMax, 1.0);

    // Grid lines stop at the ticks; 0.5 is at column 207 and row 144.
    const std::vector<PlotRecord> grid = LinesIn(r, kGrid);
    EXPECT_EQ(grid.size(), 22u);
    EXPECT_TRUE(HasLine(grid, {26, 9}, {26, 276}));
    EXPECT_TRUE(HasLine(grid, {207, 9}, {207, 276}));
    EXPECT_TRUE(HasLine(grid, {388, 144}, {29, 144}));
    EXPECT_TRUE(HasLine(grid, {388, 9}, {29, 9}));

    // The closed frame just outside the area, then the ticks.
    const std::vector<PlotRecord> axes = LinesIn(r, kBlack);
    ASSERT_EQ(axes.size(), 4u + 22u);
    EXPECT_EQ(axes[0].from, (PlotPoint{25, 8}));
    EXPECT_EQ(axes[0].to, (PlotPoint{25, 280}));
    EXPECT_EQ(axes[1].to, (PlotPoint{389, 280}));
    EXPECT_EQ(axes[3].to, (PlotPoint{25, 8}));
    EXPECT_TRUE(HasLine(axes, {135, 276}, {135, 283}));
    EXPECT_TRUE(HasLine(axes, {29, 198}, {22, 198}));

    const std::vector<PlotRecord> texts = OfKind(r, PlotRecord::Text);
    EXPECT_EQ(texts[0].from, (PlotPoint{26, 285}));
    EXPECT_EQ(texts[0].align, unsigned(AlignCenter | AlignTop));
    EXPECT_EQ(texts[10].from, (PlotPoint{388, 285}));
    EXPECT_EQ(texts[11].from, (PlotPoint{21, 279}));
    EXPECT_EQ(texts[11].align, unsigned(AlignRight | AlignBaseline));
    EXPECT_EQ(texts[21].from, (PlotPoint{21, 9}));
}

TEST_F(EmptyPlot, captionsTakeTheirRoomAndLabelsThatCrowdWidenTheStep)
{
    plot.xCaption = QStringLiteral("x caption");
    plot.yCaption = QStringLiteral("y");
    plot.captionColour = 0x0000FF;
    plot.Paint(surface, PlotRect{0, 0, 400, 300});
    const std::vector<PlotRecord> texts = OfKind(surface.records, PlotRecord::Text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, QStringLiteral("x caption"));
    EXPECT_EQ(texts[0].from, (PlotPoint{398, 299}));
    EXPECT_EQ(texts[0].align, unsigned(AlignRight | AlignBottom));
    EXPECT_EQ(texts[0].colour, 0x0000FFu);
    EXPECT_EQ(texts[1].text, QStringLiteral("y"));
    EXPECT_EQ(texts[1].from, (PlotPoint{1, 2}));
    EXPECT_EQ(texts[1].align, unsigned(AlignRight | AlignTop));
    EXPECT_EQ(texts[1].font.escapement, 900);

    EXPECT_EQ(PlotArea(surface.records), (PlotRect{38, 9, 389, 268}));
    // 351 columns give "0.1" and three characters only 35 pixels: steps of 0.2.
    EXPECT_EQ(Texts(surface.records).mid(2, 6), QStringList({"0", "0.2", "0.4", "0.6", "0.8", "1"}));
    EXPECT_EQ(Texts(surface.records).size(), 2 + 6 + 11);
}

TEST_F(EmptyPlot, ticksAroundCrossTheFrameOnAllFourEdges)
{
    plot.axisFlags = AxisGridX | AxisGridY | AxisTicksAround;
    plot.axisPenWidth = 2;  // which also frames the plot area
    plot.DrawPlot(surface, PlotRect{26, 9, 389, 280});
    EXPECT_EQ(OfKind(surface.records, PlotRecord::Rectangle).front().pen, (PlotPen{PenSolid, 2, 0x000000}));
    const std::vector<PlotRecord> grid = LinesIn(surface.records, kGrid);
    EXPECT_TRUE(HasLine(grid, {207, 13}, {207, 276}));
    EXPECT_TRUE(HasLine(grid, {384, 144}, {29, 144}));
    const std::vector<PlotRecord> axes = LinesIn(surface.records, kBlack);
    EXPECT_TRUE(HasLine(axes, {207, 6}, {207, 13}));
    EXPECT_TRUE(HasLine(axes, {207, 276}, {207, 283}));
    EXPECT_TRUE(HasLine(axes, {391, 144}, {384, 144}));
    EXPECT_TRUE(HasLine(axes, {29, 144}, {22, 144}));
    EXPECT_EQ(axes[3].to, (PlotPoint{25, 8}));
}

TEST_F(EmptyPlot, rectangleTooSmallForTheLabelsShowsBackgroundAndCaptionsOnly)
{
    plot.xCaption = QStringLiteral("t");
    plot.Paint(surface, PlotRect{0, 0, 30, 30});
    ASSERT_EQ(surface.records.size(), 2u);
    EXPECT_EQ(surface.records[0].kind, PlotRecord::Fill);
    EXPECT_EQ(surface.records[1].text, QStringLiteral("t"));
}

TEST(PlotAutoscale, noSeriesGivesNoTicksAndEmptySeriesZeroToOne)
{
    CPlot plot;
    RecordingPlotSurface surface;
    plot.Paint(surface, PlotRect{0, 0, 400, 300});
    EXPECT_TRUE(Texts(surface.records).isEmpty());
    EXPECT_EQ(plot.xMax, 0.0);
    EXPECT_EQ(LinesIn(surface.records, kBlack).size(), 4u);
    EXPECT_FALSE(plot.xRangeCached);

    plot.AddSeries();
    double lo = -1.0;
    double hi = -1.0;
    plot.GetXRange(lo, hi);
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 1.0);
}

TEST(PlotAutoscale, rangesFromTheDataAreWidenedToAThousandth)
{
    struct Case
    {
        std::vector<double> values;
        double min, max;
    };
    for (const Case& c : std::vector<Case>{{{5.0}, 4.9995, 5.0005},
                                           {{5.0, 5.0, 5.0}, 4.9995, 5.0005},
                                           {{1000.0, 1000.2}, 999.5999, 1000.6001},
                                           {{-3.0, 1.0, 7.0}, -3.0, 7.0}}) {
        CPlot plot;
        PlotSeries& s = plot.series.emplace_back();
        s.count = int(c.values.size());
        s.xValues = s.yValues = c.values.data();
        double lo = 0.0;
        double hi = 0.0;
        plot.GetXRange(lo, hi);
        EXPECT_REL_NEAR(lo, c.min);
        EXPECT_REL_NEAR(hi, c.max);
    }
}

TEST(PlotAutoscale, snappedRangeCarriesTheTicksAndIsFoundAgainAtTheNextPaint)
{
    const std::vector<double> v = {0.04, 0.5, 0.96};
    CPlot plot;
    PlotSeries& s = plot.series.emplace_back();
    s.count = 3;
    s.xValues = s.yValues = v.data();
    RecordingPlotSurface surface;
    plot.DrawPlot(surface, PlotRect{26, 9, 389, 280});
    EXPECT_EQ(plot.xMin, 0.0);
    EXPECT_REL_NEAR(plot.xMax, 1.0);
    EXPECT_FALSE(plot.xRangeCached);
    EXPECT_EQ(Texts(surface.records).front(), QStringLiteral("0"));
    EXPECT_EQ(Texts(surface.records).size(), 22);

    plot.series.front().count = 2;  // the data changed: 0.04 .. 0.5
    RecordingPlotSurface again;
    plot.DrawPlot(again, PlotRect{26, 9, 389, 280});
    EXPECT_REL_NEAR(plot.xMax, 0.5);
}
