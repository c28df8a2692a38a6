#pragma once

#include "plot/PlotFrame.h"

#include <vector>

enum PlotMarkerStyle : int {
    MarkerNone = 0,
    MarkerCircle = 1,
    MarkerDiagonalCross = 2,
    MarkerUprightCross = 3,
    MarkerSquare = 4,
    MarkerArrow = 5,  // a circle with an arrow to the partner's point
    MarkerBands = 6,  // point i is the x interval from x(i) to y(i)
};

enum PlotLineKind : int {
    LineStraight = 1,
    LineSmooth = 2,
};

// One data set of a plot. The value arrays are borrowed: the owner keeps them
// alive and unchanged while the plot is painted.
struct PlotSeries : PlotFrame
{
    using Accessor = double (*)(const PlotSeries& series, int i);

    PlotColour colour = 0;
    int count = 0;
    const double* xValues = nullptr;  // null: generated from xStart, xIncrement
    const double* yValues = nullptr;
    const int* tags = nullptr;        // band kinds, one per point
    const PlotSeries* partner = nullptr;
    double xStart = 0.0;
    double xIncrement = 1.0;
    double yStart = 0.0;
    double yIncrement = 1.0;
    int markerStyle = MarkerNone;
    int penStyle = PenSolid;
    int penWidth = 0;
    int markerSize = 4;  // half-size in pixels
    int lineKind = LineStraight;
    int splineSteps = 20;
    Accessor xAccessor = &PlotSeries::XFromStep;
    Accessor yAccessor = &PlotSeries::YFromStep;
    int hidden = 0;

    PlotSeries();

    // Chooses the mapping pair and the accessors from flags and the arrays;
    // call after setting either.
    void SetupTransforms();

    static double XFromArray(const PlotSeries& s, int i);
    static double YFromArray(const PlotSeries& s, int i);
    static double XFromStep(const PlotSeries& s, int i);
    static double YFromStep(const PlotSeries& s, int i);
    static double Log10XFromArray(const PlotSeries& s, int i);
    static double Log10YFromArray(const PlotSeries& s, int i);
    static double Log10XFromStep(const PlotSeries& s, int i);
    static double Log10YFromStep(const PlotSeries& s, int i);

    // Widen min and max by the extent of the drawable points; bands and an
    // empty series leave them as they are.
    void GetXRange(double& min, double& max) const;
    void GetYRange(double& min, double& max) const;

    void DrawMarker();
    void DrawPolyline();
    // Three points or more; fewer are joined straight.
    void DrawSpline();

    struct Point
    {
        double x = 0.0;
        double y = 0.0;
    };
    // The transformed points that have a place on the chart: a point whose
    // transformed value is not finite (a non-positive value on a logarithmic
    // axis among them) is left out.
    std::vector<Point> DrawablePoints() const;

private:
    bool PointAt(int i, double& x, double& y) const;
    void DrawBands();
    void StartLine(const Point& first);
    void DrawSmoothWindow(const Point* window, bool firstWindow, bool lastWindow, int steps);
    void DrawSmoothWindowByX(const Point* window, bool firstWindow, bool lastWindow, int steps);
    void DrawThreePointCurve(const Point* points, bool byX, int steps);
};
