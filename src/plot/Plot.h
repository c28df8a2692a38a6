#pragma once

#include "plot/PlotFrame.h"
#include "plot/PlotSeries.h"

#include <QString>

#include <vector>

// Bits of CPlot::axisFlags.
enum PlotAxisFlag : int {
    AxisGridX = 1,       // vertical grid lines at the x ticks
    AxisGridY = 2,       // horizontal grid lines at the y ticks
    AxisTicksAround = 4, // ticks on the top and right edges too (closes the frame)
    AxisClosedFrame = 8,
};

// The program's x/y chart: ranges, round tick steps, the layout of labels
// and captions around the plot area, and the drawing of background, grid,
// series and axes onto any surface. The owner configures it by writing the
// fields.
class CPlot : public PlotFrame
{
public:
    CPlot();

    // Appends a default series and returns its index; references into series
    // do not survive the next call.
    int AddSeries();

    // Draws everything into rect of the surface.
    void Paint(PlotSurface& surface, const PlotRect& rect);

    // Step and first and last tick for an axis: labelLength and axisLength in
    // pixels, the range ends (moved out to the ticks when snapping and the
    // offset is 0), offset in data units. Gives step 0 (no ticks) when the
    // range or the axis is empty.
    struct TickSpacing
    {
        double step = 0.0;
        double first = 0.0;
        double last = 0.0;
    };
    static TickSpacing NiceTickStep(double labelLength, double& min, double& max, double axisLength, bool snap,
                                    double offset);
    // The tick values from first to last; each rounded to a thousandth of the
    // step's decade so that no error accumulates. Empty without a step.
    static std::vector<double> TickValues(double step, double first, double last);
    // "%.10g" with a decimal point; a negative zero shows as "0".
    static QString TickLabel(double value);

    int xDecimals = 3;
    int yDecimals = 3;
    std::vector<PlotSeries> series;
    PlotColour axisColour = 0x000000;
    PlotColour gridColour = 0xBFBFBF;
    PlotColour plotBackground = 0xFFFFFF;
    int axisPenWidth = 0;  // 2 or more also outlines the plot area
    int axisFlags = AxisGridX | AxisGridY | AxisClosedFrame;
    double xStep = 1.0;
    double yStep = 1.0;
    double xFirstTick = 0.0;
    double xLastTick = 0.0;
    double yFirstTick = 0.0;
    double yLastTick = 0.0;
    bool xRangeCached = false;
    bool yRangeCached = false;
    int tickLength = 4;
    int tickGap = 2;
    int labelGap = 2;
    PlotFont tickFont;
    PlotColour captionColour = 0x000000;
    PlotColour imageBackground = 0xFFFFFF;
    int captionSpacing = 2;
    int margin = 1;
    QString xCaption;  // an empty caption is not drawn
    QString yCaption;
    PlotFont captionFont;  // its escapement and orientation are set while drawing

    // The steps of Paint, open to the tests.
    void DrawPlot(PlotSurface& surface, const PlotRect& r);
    void GetXRange(double& min, double& max);
    void GetYRange(double& min, double& max);
    int LayoutXTicks();
    int LayoutYTicks();
    int MeasureTickLabels(double step, double first, double last);
    void MeasureText();
    PlotSize DrawAxisCaptions(PlotSurface& surface, const PlotRect& r);
    void DrawGrid();
    void DrawAxes();

private:
    void TakeEffectiveRanges();
    void GetRange(bool forX, double& min, double& max);
};
