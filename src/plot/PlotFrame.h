#pragma once

#include "plot/PlotSurface.h"

#include <cstdint>

// Bits of PlotFrame::flags.
enum PlotFlag : std::uint32_t {
    PlotPolar = 1,  // x is an angle in radians, y a radius
    PlotLogX = 2,   // x values are drawn as log10
    PlotLogY = 4,
};

// The head that the plot and each of its series begin with: where they draw,
// the ranges they map with and the pen of a clipped line.
struct PlotFrame
{
    using MapFunction = int (*)(const PlotFrame& frame, double a, double b);

    std::uint32_t flags = 0;
    PlotRect plotRect;                 // set at the start of each drawing step
    PlotSurface* surface = nullptr;    // likewise
    bool autoscaleX = true;
    bool autoscaleY = true;
    // Effective ranges; for a logarithmic axis in log10 units.
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    double fixedXMin = 0.0;
    double fixedXMax = 0.0;
    double fixedYMin = 0.0;
    double fixedYMax = 0.0;
    int offsetX = 0;  // pixels added to every mapped position
    int offsetY = 0;
    // The point a line last went to, and whether it lay inside plotRect.
    int penX = 0;
    int penY = 0;
    int penInside = 1;
    MapFunction mapX = &PlotFrame::MapX;
    MapFunction mapY = &PlotFrame::MapY;

    // xMin falls on the column left, xMax on right - 1; halves round down.
    // An empty range maps everything to 0. b is ignored.
    static int MapX(const PlotFrame& frame, double a, double b);
    // yMin falls on the row bottom - 1, yMax on top. a is ignored.
    static int MapY(const PlotFrame& frame, double a, double b);
    // a is the angle in radians, b the radius.
    static int MapPolarX(const PlotFrame& frame, double a, double b);
    static int MapPolarY(const PlotFrame& frame, double a, double b);

    // A line from the pen point to the mapped (x, y), clipped to plotRect. A
    // segment that starts outside is drawn only when it ends inside; one
    // spanning more than 12 columns gets a dot at its end.
    void ClippedLineTo(double x, double y);
    // Cuts the segment from the pen point to q at the edges of plotRect,
    // moving both ends; returns whether q lay inside before.
    bool ClipSegment(PlotPoint& q);
};

// a × b / c rounded to the nearest integer (halves away from zero), with a
// 64-bit product; c must not be 0 and the quotient must fit.
int PlotMulDiv(int a, int b, int c);
