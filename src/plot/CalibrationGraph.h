#pragma once

#include "calc/CondensateRow.h"
#include "plot/Plot.h"

#include <QString>

#include <cfloat>
#include <vector>

class QPainter;

// The points of the condensate temperature scale as the graph draws them:
// retention time (min) against boiling temperature (°C), in row order.
struct CalibrationCurve
{
    std::vector<double> x;
    std::vector<double> y;
    double maxX = -DBL_MAX;
    double maxY = -DBL_MAX;
    double minX = DBL_MAX;
    double minY = DBL_MAX;
};

CalibrationCurve LoadCalibrationCurve(const TemperatureResult& result);

QString CalibrationXCaption();
QString CalibrationYCaption();

// The look of the graph on its page: captions, their font, the grid, and
// the empty ranges 0 to 1.
void SetupCalibrationPlot(CPlot& plot);

// Makes the curve the plot's only series, circles joined by straight lines,
// and sets the ranges with a tenth of the extent to spare on each side; an
// empty curve leaves no series and the ranges 0 to 1. The series borrows the
// curve's arrays. Returns the series' index, -1 for an empty curve.
int SetCalibrationSeries(CPlot& plot, const CalibrationCurve& curve, PlotColour colour);

// The report's picture of the curve: black, larger lettering, a framed plot
// area, into the square (0, 0)-(1000, 1000) of the painter, whose state is
// kept. Returns 0, or -1 without a painter.
int DrawCalibrationGraph(QPainter* painter, const CalibrationCurve& curve);
