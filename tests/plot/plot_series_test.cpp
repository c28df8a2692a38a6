#include <gtest/gtest.h>

#include "RecordQueries.h"
#include "plot/Plot.h"
#include "support/NumericCompare.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace record_queries;

namespace {

constexpr PlotColour kCurve = 0x737FFF;

// A series on its own in a 100 × 100 area at the origin whose data units are
// pixels (rows counted downward).
class SeriesOnUnitArea : public ::testing::Test
{
protected:
    PlotSeries& Make(std::vector<double> x, std::vector<double> y)
    {
        surface.records.clear();
        xs = std::move(x);
        ys = std::move(y);
        s = PlotSeries();
        s.plotRect = PlotRect{0, 0, 100, 100};
        s.xMax = 99.0;
        s.yMin = 99.0;
        s.count = int(xs.size());
        s.xValues = xs.data();
        s.yValues = ys.data();
        s.SetupTransforms();
        s.surface = &surface;
        return s;
    }
    std::vector<PlotPoint> LineEnds() const
    {
        std::vector<PlotPoint> ends;
        for (const PlotRecord& r : OfKind(surface.records, PlotRecord::Line))
            ends.push_back(r.to);
        return ends;
    }
    std::vector<double> xs;
    std::vector<double> ys;
    PlotSeries s;
    RecordingPlotSurface surface;
};

// A plot of fixed unit ranges with a one-point-marker series per call.
CPlot UnitPlot()
{
    CPlot plot;
    plot.autoscaleX = plot.autoscaleY = false;
    plot.fixedXMax = plot.fixedYMax = 1.0;
    return plot;
}

PlotSeries& AddSeries(CPlot& plot, const std::vector<double>& v, PlotColour colour)
{
    PlotSeries& s = plot.series[std::size_t(plot.AddSeries())];
    s.colour = colour;
    s.markerStyle = MarkerCircle;
    s.count = int(v.size());
    s.xValues = s.yValues = v.data();
    s.SetupTransforms();
    return s;
}

} // namespace

TEST_F(SeriesOnUnitArea, markersAroundThePointAndNoneWhenItLeavesTheArea)
{
    struct Case
    {
        int style;
        PlotRecord::Kind kind;
        std::size_t calls;
        PlotRect first;  // the shape's rectangle, or the first line's ends
    };
    for (const Case& c : std::vector<Case>{{MarkerCircle, PlotRecord::Ellipse, 1, {38, 48, 43, 53}},
                                           {MarkerSquare, PlotRecord::Rectangle, 1, {38, 48, 43, 53}},
                                           {MarkerDiagonalCross, PlotRecord::Line, 2, {38, 48, 43, 53}},
                                           {MarkerUprightCross, PlotRecord::Line, 2, {40, 48, 40, 53}},
                                           {MarkerNone, PlotRecord::Line, 0, {}}}) {
        Make({40.0, 100.0, -1.0, 50.0}, {50.0, 50.0, 50.0, 100.0}).markerStyle = c.style;
        s.markerSize = 2;
        s.DrawMarker();
        ASSERT_EQ(surface.records.size(), c.calls) << "style " << c.style;
        if (c.calls == 0)
            continue;
        const PlotRecord& r = surface.records[0];
        EXPECT_EQ(r.kind, c.kind);
        const PlotRect got = r.kind == PlotRecord::Line ? PlotRect{r.from.x, r.from.y, r.to.x, r.to.y} : r.rect;
        EXPECT_EQ(got, c.first);
    }
}

TEST_F(SeriesOnUnitArea, arrowNeedsAPartnerFarEnough)
{
    std::vector<double> tx = {40.0, 40.0, 40.0};
    std::vector<double> ty = {20.0, 47.0, 43.0};
    PlotSeries target;
    target.count = 3;
    target.xValues = tx.data();
    target.yValues = ty.data();

    Make({40.0, 40.0, 40.0, 40.0}, {50.0, 50.0, 50.0, 50.0}).markerStyle = MarkerArrow;
    s.markerSize = 2;
    s.DrawMarker();
    EXPECT_EQ(OfKind(surface.records, PlotRecord::Line).size(), 0u);
    EXPECT_EQ(OfKind(surface.records, PlotRecord::Ellipse).size(), 4u);

    surface.records.clear();
    s.partner = &target;  // which has no point 3
    s.DrawMarker();
    // 30 rows: shaft and head; 3 rows: shaft only; 7 rows: shaft without head.
    EXPECT_EQ(LineEnds(), (std::vector<PlotPoint>{{40, 20}, {38, 26}, {42, 26}, {40, 47}, {40, 43}}));
    EXPECT_EQ(OfKind(surface.records, PlotRecord::Line).front().from, (PlotPoint{40, 48}));
}

TEST_F(SeriesOnUnitArea, overlappingBandsShowTheirCommonPartAndTakeNoRange)
{
    const std::vector<int> tags = {0, 1, 2};
    Make({10.0, 30.0, -50.0}, {40.0, 60.0, -20.0}).markerStyle = MarkerBands;
    s.tags = tags.data();
    s.DrawMarker();
    const std::vector<PlotRecord> rects = OfKind(surface.records, PlotRecord::Rectangle);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].rect, (PlotRect{10, 0, 40, 101}));
    EXPECT_EQ(rects[0].brush, PlotBrush::Solid(0xFFFFC2));
    EXPECT_EQ(rects[1].rect, (PlotRect{30, 0, 60, 101}));
    EXPECT_EQ(rects[1].brush, PlotBrush::Solid(0xA2FFFF));
    EXPECT_EQ(rects[2].rect, (PlotRect{30, 0, 40, 101}));
    EXPECT_EQ(rects[2].brush, PlotBrush::Solid(0xC5C5FF));
    EXPECT_EQ(rects[2].pen.style, PenNull);
    EXPECT_EQ(surface.Brush(), PlotBrush{});
    EXPECT_EQ(surface.Pen(), PlotPen{});

    double lo = 1e300;
    double hi = -1e300;
    s.GetXRange(lo, hi);
    EXPECT_EQ(lo, 1e300);
}

TEST_F(SeriesOnUnitArea, smoothCurvePassesThroughEveryPointAndEndsOnTheLast)
{
    struct Case
    {
        const char* name;
        std::vector<double> x, y;
    };
    for (const Case& c : std::vector<Case>{
             {"increasing x", {5.0, 20.0, 45.0, 60.0, 90.0}, {80.0, 30.0, 50.0, 10.0, 70.0}},
             {"decreasing x", {90.0, 60.0, 45.0, 20.0}, {70.0, 10.0, 50.0, 30.0}},
             {"turning x", {10.0, 50.0, 80.0, 50.0, 20.0}, {10.0, 20.0, 50.0, 80.0, 60.0}},
             {"repeated x", {10.0, 30.0, 30.0, 70.0}, {80.0, 60.0, 20.0, 10.0}},
             {"three points", {10.0, 50.0, 90.0}, {90.0, 10.0, 90.0}},
             {"three turning points", {10.0, 80.0, 20.0}, {10.0, 50.0, 90.0}},
         }) {
        Make(c.x, c.y).DrawSpline();
        const std::vector<PlotPoint> ends = LineEnds();
        ASSERT_FALSE(ends.empty()) << c.name;
        for (std::size_t i = 1; i < c.x.size(); ++i) {
            const PlotPoint p{int(c.x[i]), int(c.y[i])};
            EXPECT_NE(std::find(ends.begin(), ends.end(), p), ends.end()) << c.name << " point " << i;
        }
        EXPECT_EQ(ends.back(), (PlotPoint{int(c.x.back()), int(c.y.back())})) << c.name;
        EXPECT_EQ(OfKind(surface.records, PlotRecord::Line).front().from, (PlotPoint{int(c.x[0]), int(c.y[0])}));
    }
}

TEST_F(SeriesOnUnitArea, smoothCurveOverPointsOfOneParabolaStaysOnIt)
{
    // y = (x - 50)² / 25 through all five points, so every piece of the
    // curve is that parabola.
    Make({0.0, 20.0, 40.0, 60.0, 80.0}, {100.0, 36.0, 4.0, 4.0, 36.0}).splineSteps = 4;
    s.DrawSpline();
    const std::vector<PlotPoint> ends = LineEnds();
    for (PlotPoint p : ends)
        EXPECT_NEAR(p.y, (p.x - 50.0) * (p.x - 50.0) / 25.0, 1.0) << p.x;
    EXPECT_NE(std::find(ends.begin(), ends.end(), PlotPoint{5, 81}), ends.end());
}

TEST(PlotSeriesDrawing, oneSeriesPointIsAMarkerAndTwoSmoothPointsAStraightSegment)
{
    struct Case
    {
        int lineKind;
        std::vector<double> v;
        std::size_t lines;
    };
    for (const Case& c : std::vector<Case>{
             {LineStraight, {0.2}, 0}, {LineSmooth, {0.2}, 0}, {LineSmooth, {0.2, 0.21}, 1}, {0, {0.2, 0.21}, 0}}) {
        CPlot plot = UnitPlot();
        AddSeries(plot, c.v, kCurve).lineKind = c.lineKind;
        RecordingPlotSurface surface;
        plot.DrawPlot(surface, PlotRect{26, 9, 389, 280});
        EXPECT_EQ(LinesIn(surface.records, kCurve).size(), c.lines);
        EXPECT_EQ(OfKind(surface.records, PlotRecord::Ellipse).size(), c.v.size());
    }
}

TEST(PlotSeriesDrawing, laterSeriesDrawHollowMarkersAndHiddenOnesNothing)
{
    const std::vector<double> v = {0.5};
    CPlot plot = UnitPlot();
    for (PlotColour colour : {1u, 2u, 3u})
        AddSeries(plot, v, colour).penWidth = 2;
    plot.series[1].hidden = 1;
    RecordingPlotSurface surface;
    plot.DrawPlot(surface, PlotRect{26, 9, 389, 280});
    const std::vector<PlotRecord> markers = OfKind(surface.records, PlotRecord::Ellipse);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].pen, (PlotPen{PenSolid, 2, 1}));
    EXPECT_EQ(markers[0].brush, PlotBrush::Solid(0xFFFFFF));
    EXPECT_EQ(markers[1].pen.colour, 3u);
    EXPECT_TRUE(markers[1].brush.hollow);
    EXPECT_EQ(markers[0].rect, (PlotRect{203, 140, 212, 149}));  // in the plot's ranges and area
}

TEST(PlotSeriesDrawing, nonPositiveValuesOnALogarithmicAxisAreSkipped)
{
    const std::vector<double> x = {1.0, 2.0, 3.0, 4.0, 5.0};
    const std::vector<double> y = {10.0, 0.0, -5.0, 1000.0, 100.0};
    CPlot plot;
    plot.flags = PlotLogY;
    PlotSeries& s = plot.series.emplace_back();
    s.colour = kCurve;
    s.count = 5;
    s.xValues = x.data();
    s.yValues = y.data();
    double lo = 0.0;
    double hi = 0.0;
    plot.GetYRange(lo, hi);
    EXPECT_REL_NEAR(lo, 1.0);
    EXPECT_REL_NEAR(hi, 3.0);
    plot.GetXRange(lo, hi);
    EXPECT_REL_NEAR(lo, 1.0);
    EXPECT_REL_NEAR(hi, 5.0);
    RecordingPlotSurface surface;
    plot.DrawPlot(surface, PlotRect{26, 9, 389, 280});
    EXPECT_EQ(LinesIn(surface.records, kCurve).size(), 2u);
}

TEST(PlotSeriesRange, polarPointsGiveTheExtentOfTheirCartesianPlaces)
{
    double lo = 0.0;
    double hi = 0.0;
    const std::vector<double> angle = {0.0, std::acos(-1.0) / 2, std::acos(-1.0)};
    const std::vector<double> radius = {2.0, 3.0, 1.0};
    PlotSeries polar;
    polar.flags = PlotPolar;
    polar.count = 3;
    polar.xValues = angle.data();
    polar.yValues = radius.data();
    polar.SetupTransforms();
    polar.GetXRange(lo = 1e300, hi = -1e300);
    EXPECT_REL_NEAR(lo, -1.0);
    EXPECT_REL_NEAR(hi, 2.0);
    polar.GetYRange(lo = 1e300, hi = -1e300);
    EXPECT_NEAR(lo, 0.0, 1e-12);
    EXPECT_REL_NEAR(hi, 3.0);
}
