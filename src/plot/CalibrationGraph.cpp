#include "plot/CalibrationGraph.h"

#include "plot/PainterPlotSurface.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kReportImageSide = 1000;

// A tenth of the extent on each side; a range with nothing between its ends
// is left to the plot, which centres a narrow one on the value.
void SetRange(bool& autoscale, double& fixedMin, double& fixedMax, double min, double max, bool logarithmic)
{
    const double margin = 0.1 * (max - min);
    const double lo = min - margin;
    const double hi = max + margin;
    if (lo < hi) {
        autoscale = false;
        fixedMin = logarithmic ? std::log10(std::max(lo, 0.0)) : lo;
        fixedMax = logarithmic ? std::log10(hi) : hi;
    } else {
        autoscale = true;
    }
}

void SetEmptyRanges(CPlot& plot)
{
    plot.autoscaleX = false;
    plot.autoscaleY = false;
    plot.fixedXMin = plot.fixedYMin = 0.0;
    plot.fixedXMax = plot.fixedYMax = 1.0;
    if (plot.flags & PlotLogX) {
        plot.fixedXMin = std::log10(plot.fixedXMin);
        plot.fixedXMax = std::log10(plot.fixedXMax);
    }
    if (plot.flags & PlotLogY) {
        plot.fixedYMin = std::log10(plot.fixedYMin);
        plot.fixedYMax = std::log10(plot.fixedYMax);
    }
}

PlotFont CalibrationFont(int height)
{
    PlotFont font;
    font.height = height;
    font.charSet = RussianCharSet;
    font.face = QStringLiteral("Arial");
    return font;
}

} // namespace

CalibrationCurve LoadCalibrationCurve(const TemperatureResult& result)
{
    CalibrationCurve curve;
    curve.x.reserve(result.rows.size());
    curve.y.reserve(result.rows.size());
    for (const TemperatureRow& row : result.rows) {
        curve.x.push_back(row.retentionTime);
        curve.y.push_back(row.temperature);
        curve.maxX = std::max(curve.maxX, row.retentionTime);
        curve.minX = std::min(curve.minX, row.retentionTime);
        curve.maxY = std::max(curve.maxY, row.temperature);
        curve.minY = std::min(curve.minY, row.temperature);
    }
    return curve;
}

QString CalibrationXCaption()
{
    return QStringLiteral("Время [мин]");
}

QString CalibrationYCaption()
{
    return QStringLiteral("Температура кипения [°C]");
}

void SetupCalibrationPlot(CPlot& plot)
{
    plot.captionFont = CalibrationFont(16);
    plot.axisFlags = AxisGridX | AxisGridY | AxisClosedFrame;
    plot.flags = 0;
    plot.xCaption = CalibrationXCaption();
    plot.yCaption = CalibrationYCaption();
    SetEmptyRanges(plot);
}

int SetCalibrationSeries(CPlot& plot, const CalibrationCurve& curve, PlotColour colour)
{
    plot.series.clear();
    if (curve.x.empty()) {
        SetEmptyRanges(plot);
        return -1;
    }
    const int index = plot.AddSeries();
    PlotSeries& s = plot.series[std::size_t(index)];
    s.colour = colour;
    s.penStyle = PenSolid;
    s.penWidth = 2;
    s.lineKind = LineStraight;
    s.markerStyle = MarkerCircle;
    s.markerSize = 2;
    s.count = int(std::min(curve.x.size(), curve.y.size()));
    s.xValues = curve.x.data();
    s.yValues = curve.y.data();
    s.SetupTransforms();
    SetRange(plot.autoscaleX, plot.fixedXMin, plot.fixedXMax, curve.minX, curve.maxX, plot.flags & PlotLogX);
    SetRange(plot.autoscaleY, plot.fixedYMin, plot.fixedYMax, curve.minY, curve.maxY, plot.flags & PlotLogY);
    return index;
}

int DrawCalibrationGraph(QPainter* painter, const CalibrationCurve& curve)
{
    if (!painter)
        return -1;
    CPlot plot;
    plot.xCaption = CalibrationXCaption();
    plot.yCaption = CalibrationYCaption();
    plot.captionColour = 0x000000;
    plot.axisColour = 0x000000;
    plot.captionFont = CalibrationFont(25);
    plot.tickFont = CalibrationFont(25);
    plot.axisPenWidth = 2;
    SetCalibrationSeries(plot, curve, 0x000000);
    PaintPlot(plot, *painter, QRect(0, 0, kReportImageSide, kReportImageSide), false);
    return 0;
}
