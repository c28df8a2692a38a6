#include <gtest/gtest.h>

#include "plot/CalibrationGraph.h"
#include "support/CalcInputs.h"
#include "support/ImagePixels.h"
#include "support/NumericCompare.h"

#include <QImage>
#include <QPainter>

#include <cfloat>
#include <vector>

using calc_inputs::TemperatureCurve;
using testsupport::CountColour;

namespace {

const std::vector<std::pair<double, double>> kAlkanes = {
    {3.2, 68.7}, {7.6, 125.7}, {13.0, 174.1}, {18.0, 216.3}, {22.5, 253.6}, {26.4, 286.9}, {33.0, 343.8},
};

} // namespace

TEST(CalibrationCurve, pointsInRowOrderWithTheirExtent)
{
    const CalibrationCurve c = LoadCalibrationCurve(TemperatureCurve({{5.0, 98.4}, {3.2, 68.7}, {9.0, 150.8}}));
    EXPECT_ALL_REL_NEAR(c.x, {5.0, 3.2, 9.0});
    EXPECT_ALL_REL_NEAR(c.y, {98.4, 68.7, 150.8});
    EXPECT_EQ(c.minX, 3.2);
    EXPECT_EQ(c.maxX, 9.0);
    EXPECT_EQ(c.minY, 68.7);
    EXPECT_EQ(c.maxY, 150.8);

}

TEST(CalibrationSeries, rangesFromTheCurveWithATenthToSpare)
{
    struct Case
    {
        std::vector<std::pair<double, double>> points;
        bool autoX, autoY;
        double xLo, xHi, yLo, yHi;  // of the fixed ranges
    };
    for (const Case& c : std::vector<Case>{
             {kAlkanes, false, false, 0.22, 35.98, 41.19, 371.31},
             {{{2.0, -40.0}, {4.0, 60.0}}, false, false, 1.8, 4.2, -50.0, 70.0},
             {{{7.5, 100.0}, {7.5, 200.0}}, true, false, 0.0, 1.0, 90.0, 210.0},
             {{{1.0, 150.0}, {6.0, 150.0}}, false, true, 0.5, 6.5, 0.0, 1.0},
         }) {
        CPlot plot;
        SetupCalibrationPlot(plot);
        const CalibrationCurve curve = LoadCalibrationCurve(TemperatureCurve(c.points));
        EXPECT_EQ(SetCalibrationSeries(plot, curve, 0x737FFF), 0);
        ASSERT_EQ(plot.series.size(), 1u);
        EXPECT_EQ(plot.autoscaleX, c.autoX);
        EXPECT_EQ(plot.autoscaleY, c.autoY);
        if (!c.autoX) {
            EXPECT_REL_NEAR(plot.fixedXMin, c.xLo);
            EXPECT_REL_NEAR(plot.fixedXMax, c.xHi);
        }
        if (!c.autoY) {
            EXPECT_REL_NEAR(plot.fixedYMin, c.yLo);
            EXPECT_REL_NEAR(plot.fixedYMax, c.yHi);
        }
        const PlotSeries& s = plot.series[0];
        EXPECT_EQ(s.count, int(c.points.size()));
        EXPECT_EQ(s.xValues, curve.x.data());
        EXPECT_EQ(s.colour, 0x737FFFu);
    }
}

TEST(CalibrationSeries, emptyCurveLeavesEmptyAxesFromZeroToOne)
{
    CPlot plot;
    SetupCalibrationPlot(plot);
    const CalibrationCurve first = LoadCalibrationCurve(TemperatureCurve(kAlkanes));
    SetCalibrationSeries(plot, first, 0x737FFF);
    EXPECT_EQ(SetCalibrationSeries(plot, CalibrationCurve{}, 0x737FFF), -1);
    EXPECT_TRUE(plot.series.empty());
    EXPECT_FALSE(plot.autoscaleX);
    EXPECT_FALSE(plot.autoscaleY);
    EXPECT_EQ(plot.fixedXMin, 0.0);
    EXPECT_EQ(plot.fixedXMax, 1.0);
    EXPECT_EQ(plot.fixedYMin, 0.0);
    EXPECT_EQ(plot.fixedYMax, 1.0);

}

TEST(CalibrationReportImage, curveIsBlackInsideThePlotAreaOfAWhiteSquare)
{
    const CalibrationCurve curve = LoadCalibrationCurve(TemperatureCurve(kAlkanes));
    EXPECT_EQ(DrawCalibrationGraph(nullptr, curve), -1);

    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    EXPECT_EQ(DrawCalibrationGraph(&painter, curve), 0);
    painter.end();
    // The middle of the square holds only the grid and the curve.
    const QImage middle = image.copy(250, 250, 500, 500);
    EXPECT_GT(CountColour(middle, QColor(0, 0, 0)), 300);
    EXPECT_GT(CountColour(middle, QColor(191, 191, 191)), 300);
}
