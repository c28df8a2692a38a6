#include "plot/PlotSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Finer sub-steps than this only repeat pixels.
constexpr int kMaxSplineSteps = 10000;

constexpr PlotColour kBandColour = 0xFFFFC2;
constexpr PlotColour kBandColourTag1 = 0xA2FFFF;
constexpr PlotColour kBandColourOther = 0xC5C5C5;
constexpr PlotColour kBandOverlapColour = 0xC5C5FF;

PlotSeries::Point operator+(PlotSeries::Point a, PlotSeries::Point b) { return {a.x + b.x, a.y + b.y}; }
PlotSeries::Point operator-(PlotSeries::Point a, PlotSeries::Point b) { return {a.x - b.x, a.y - b.y}; }
PlotSeries::Point operator*(double k, PlotSeries::Point a) { return {k * a.x, k * a.y}; }

} // namespace

PlotSeries::PlotSeries()
{
    SetupTransforms();
}

void PlotSeries::SetupTransforms()
{
    const bool polar = flags & PlotPolar;
    mapX = polar ? &PlotFrame::MapPolarX : &PlotFrame::MapX;
    mapY = polar ? &PlotFrame::MapPolarY : &PlotFrame::MapY;
    autoscaleX = true;
    autoscaleY = true;
    if (flags & PlotLogX)
        xAccessor = xValues ? &PlotSeries::Log10XFromArray : &PlotSeries::Log10XFromStep;
    else
        xAccessor = xValues ? &PlotSeries::XFromArray : &PlotSeries::XFromStep;
    if (flags & PlotLogY)
        yAccessor = yValues ? &PlotSeries::Log10YFromArray : &PlotSeries::Log10YFromStep;
    else
        yAccessor = yValues ? &PlotSeries::YFromArray : &PlotSeries::YFromStep;
}

// The array accessors may be applied to a partner series without arrays.
double PlotSeries::XFromArray(const PlotSeries& s, int i) { return s.xValues ? s.xValues[i] : kNaN; }
double PlotSeries::YFromArray(const PlotSeries& s, int i) { return s.yValues ? s.yValues[i] : kNaN; }
double PlotSeries::XFromStep(const PlotSeries& s, int i) { return s.xStart + i * s.xIncrement; }
double PlotSeries::YFromStep(const PlotSeries& s, int i) { return s.yStart + i * s.yIncrement; }
double PlotSeries::Log10XFromArray(const PlotSeries& s, int i) { return std::log10(XFromArray(s, i)); }
double PlotSeries::Log10YFromArray(const PlotSeries& s, int i) { return std::log10(YFromArray(s, i)); }
double PlotSeries::Log10XFromStep(const PlotSeries& s, int i) { return std::log10(XFromStep(s, i)); }
double PlotSeries::Log10YFromStep(const PlotSeries& s, int i) { return std::log10(YFromStep(s, i)); }

bool PlotSeries::PointAt(int i, double& x, double& y) const
{
    x = xAccessor(*this, i);
    y = yAccessor(*this, i);
    return std::isfinite(x) && std::isfinite(y);
}

std::vector<PlotSeries::Point> PlotSeries::DrawablePoints() const
{
    std::vector<Point> points;
    points.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        Point p;
        if (PointAt(i, p.x, p.y))
            points.push_back(p);
    }
    return points;
}

void PlotSeries::GetXRange(double& min, double& max) const
{
    if (markerStyle == MarkerBands)
        return;
    for (const Point& p : DrawablePoints()) {
        const double v = (flags & PlotPolar) ? p.y * std::cos(p.x) : p.x;
        min = std::min(min, v);
        max = std::max(max, v);
    }
}

void PlotSeries::GetYRange(double& min, double& max) const
{
    if (markerStyle == MarkerBands)
        return;
    for (const Point& p : DrawablePoints()) {
        const double v = (flags & PlotPolar) ? p.y * std::sin(p.x) : p.y;
        min = std::min(min, v);
        max = std::max(max, v);
    }
}

void PlotSeries::DrawMarker()
{
    if (!surface)
        return;
    if (markerStyle == MarkerBands) {
        DrawBands();
        return;
    }
    if (markerStyle < MarkerCircle || markerStyle > MarkerArrow)
        return;
    const int s = markerSize;
    PlotSurface& out = *surface;
    for (int i = 0; i < count; ++i) {
        double x = 0.0;
        double y = 0.0;
        if (!PointAt(i, x, y))
            continue;
        const int px = mapX(*this, x, y);
        const int py = mapY(*this, x, y);
        if (!plotRect.Contains(PlotPoint{px, py}))
            continue;
        switch (markerStyle) {
        case MarkerCircle:
            out.Ellipse(PlotRect{px - s, py - s, px + s + 1, py + s + 1});
            break;
        case MarkerDiagonalCross:
            out.MoveTo(px - s, py - s);
            out.LineTo(px + s + 1, py + s + 1);
            out.MoveTo(px + s, py - s);
            out.LineTo(px - s - 1, py + s + 1);
            break;
        case MarkerUprightCross:
            out.MoveTo(px, py - s);
            out.LineTo(px, py + s + 1);
            out.MoveTo(px - s, py);
            out.LineTo(px + s + 1, py);
            break;
        case MarkerSquare:
            out.Rectangle(PlotRect{px - s, py - s, px + s + 1, py + s + 1});
            break;
        case MarkerArrow: {
            out.Ellipse(PlotRect{px - s, py - s, px + s + 1, py + s + 1});
            // Without a partner point there is nothing to point at.
            if (!partner || i >= partner->count)
                break;
            const double partnerX = xAccessor(*partner, i);
            const double partnerY = yAccessor(*partner, i);
            if (!std::isfinite(partnerX) || !std::isfinite(partnerY))
                break;
            const int qx = mapX(*this, partnerX, partnerY);
            const int qy = mapY(*this, partnerX, partnerY);
            const int d = std::abs(py - qy);
            const int dir = py > qy ? 1 : -1;
            if (d >= s) {
                out.MoveTo(px, py - dir * s);
                out.LineTo(qx, qy);
            }
            if (d >= 4 * s) {
                out.MoveTo(qx, qy);
                out.LineTo(qx - 2, qy + 3 * s * dir);
                out.MoveTo(qx, qy);
                out.LineTo(qx + 2, qy + 3 * s * dir);
            }
            break;
        }
        default:
            break;
        }
    }
}

void PlotSeries::DrawBands()
{
    PlotSurface& out = *surface;
    const PlotPen oldPen = out.SelectPen(PlotPen{PenNull, 1, 0});
    const PlotBrush oldBrush = out.Brush();
    const int left = plotRect.left;
    const int right = plotRect.right;
    // How many visible bands fill each column from left to right - 1, counted
    // through a difference array, so overlaps cost no pairwise comparison.
    std::vector<int> cover(std::size_t(std::max(right - left, 0)) + 1, 0);
    for (int i = 0; i < count; ++i) {
        const double from = xAccessor(*this, i);
        const double to = yAccessor(*this, i);
        if (std::isnan(from) || std::isnan(to))
            continue;
        const int a = mapX(*this, from, 0.0);
        const int b = mapX(*this, to, 0.0);
        if (!((a > left || b > left) && (a < right || b < right)))
            continue;
        const int bandLeft = std::max(a, left);
        const int bandRight = std::min(b, right);
        const int tag = tags ? tags[i] : 0;
        const PlotColour colour = tag == 0 ? kBandColour : tag == 1 ? kBandColourTag1 : kBandColourOther;
        out.SelectBrush(PlotBrush::Solid(colour));
        out.Rectangle(PlotRect{bandLeft, plotRect.top, bandRight, plotRect.bottom + 1});
        // With the null pen the band fills the columns bandLeft to bandRight - 2.
        if (bandRight - 1 > bandLeft) {
            ++cover[std::size_t(bandLeft - left)];
            --cover[std::size_t(bandRight - 1 - left)];
        }
    }
    out.SelectBrush(PlotBrush::Solid(kBandOverlapColour));
    int depth = 0;
    int runStart = -1;
    for (int column = left; column <= right; ++column) {
        depth += cover[std::size_t(column - left)];
        if (depth >= 2 && runStart < 0) {
            runStart = column;
        } else if (depth < 2 && runStart >= 0) {
            out.Rectangle(PlotRect{runStart, plotRect.top, column + 1, plotRect.bottom + 1});
            runStart = -1;
        }
    }
    out.SelectBrush(oldBrush);
    out.SelectPen(oldPen);
}

void PlotSeries::StartLine(const Point& first)
{
    penX = mapX(*this, first.x, first.y);
    penY = mapY(*this, first.x, first.y);
    penInside = plotRect.Contains(PlotPoint{penX, penY});
    surface->MoveTo(penX, penY);
}

void PlotSeries::DrawPolyline()
{
    if (!surface)
        return;
    const std::vector<Point> points = DrawablePoints();
    if (points.empty())
        return;
    StartLine(points.front());
    for (std::size_t k = 1; k < points.size(); ++k)
        ClippedLineTo(points[k].x, points[k].y);
}

void PlotSeries::DrawSpline()
{
    if (!surface)
        return;
    const std::vector<Point> points = DrawablePoints();
    const int n = int(points.size());
    if (n < 3) {
        DrawPolyline();
        return;
    }
    const int steps = std::clamp(splineSteps, 1, kMaxSplineSteps);
    // Strictly monotonic x: y is a function of x and the curve is built on x.
    const double d = points[1].x - points[0].x;
    bool byX = d != 0.0;
    for (int k = 1; byX && k + 1 < n; ++k)
        byX = (points[k + 1].x - points[k].x) * d > 0.0;
    if (n == 3) {
        DrawThreePointCurve(points.data(), byX, steps);
        return;
    }
    for (int i = 1; i <= n - 3; ++i) {
        if (byX)
            DrawSmoothWindowByX(&points[std::size_t(i - 1)], i == 1, i == n - 3, steps);
        else
            DrawSmoothWindow(&points[std::size_t(i - 1)], i == 1, i == n - 3, steps);
    }
}

void PlotSeries::DrawSmoothWindow(const Point* w, bool firstWindow, bool lastWindow, int steps)
{
    const Point p0 = w[0], p1 = w[1], p2 = w[2], p3 = w[3];
    // The parabola through P1, P2, P3 at τ = 0, 1, 2 and the one through P0,
    // P1, P2 at τ = -1, 0, 1.
    const Point lin123 = 2.0 * p2 - 1.5 * p1 - 0.5 * p3;
    const Point sq123 = 0.5 * (p1 + p3) - p2;
    const Point lin012 = 0.5 * (p2 - p0);
    const Point sq012 = 0.5 * (p0 + p2) - p1;
    const Point cubic = 0.5 * (p3 - 3.0 * p2 + 3.0 * p1 - p0);
    if (firstWindow) {
        StartLine(p0);
        for (int s = 0; s < steps; ++s) {
            const double t = double(s) / steps - 1.0;
            const Point p = p1 + t * lin012 + t * t * sq012;
            ClippedLineTo(p.x, p.y);
        }
    }
    for (int s = 0; s < steps; ++s) {
        const double t = double(s) / steps;
        const Point p = p1 + t * lin123 + t * t * sq123 + t * (t - 1.0) * (t - 1.0) * cubic;
        ClippedLineTo(p.x, p.y);
    }
    if (lastWindow) {
        for (int s = 0; s < steps; ++s) {
            const double t = 1.0 + double(s) / steps;
            const Point p = p1 + t * lin123 + t * t * sq123;
            ClippedLineTo(p.x, p.y);
        }
        ClippedLineTo(p3.x, p3.y);
    }
}

void PlotSeries::DrawSmoothWindowByX(const Point* w, bool firstWindow, bool lastWindow, int steps)
{
    const double x0 = w[0].x, x1 = w[1].x, x2 = w[2].x, x3 = w[3].x;
    const double y0 = w[0].y, y1 = w[1].y, y2 = w[2].y;
    const double h0 = x1 - x0, h1 = x2 - x1, h2 = x3 - x2;
    const double dy0 = y1 - y0, dy1 = y2 - y1, dy2 = w[3].y - y2;
    // y1 + c(t - x1) + a(t - x1)² runs through P0, P1, P2; y2 + dd(t - x2) +
    // b(t - x2)² through P1, P2, P3. c and dd are their slopes at x1 and x2.
    const double a = (h0 * dy1 - h1 * dy0) / (h0 * h1 * (x2 - x0));
    const double c = dy1 / h1 - a * h1;
    const double b = (h1 * dy2 - h2 * dy1) / (h1 * h2 * (x3 - x1));
    const double dd = dy2 / h2 - b * h2;
    if (firstWindow) {
        StartLine(w[0]);
        for (int s = 0; s < steps; ++s) {
            const double t = x0 + s * h0 / steps;
            ClippedLineTo(t, y1 + c * (t - x1) + a * (t - x1) * (t - x1));
        }
    }
    // A cubic Hermite span: from P1 to P2 with the slopes c and dd.
    for (int s = 0; s < steps; ++s) {
        const double u = double(s) / steps;
        const double u2 = u * u, u3 = u2 * u;
        const double y = (2 * u3 - 3 * u2 + 1) * y1 + (u3 - 2 * u2 + u) * h1 * c + (3 * u2 - 2 * u3) * y2
                         + (u3 - u2) * h1 * dd;
        ClippedLineTo(x1 + s * h1 / steps, y);
    }
    if (lastWindow) {
        for (int s = 0; s < steps; ++s) {
            const double t = x2 + s * h2 / steps;
            ClippedLineTo(t, y2 + dd * (t - x2) + b * (t - x2) * (t - x2));
        }
        ClippedLineTo(w[3].x, w[3].y);
    }
}

void PlotSeries::DrawThreePointCurve(const Point* w, bool byX, int steps)
{
    // The parabola through the three points, drawn over both spans.
    const Point p0 = w[0], p1 = w[1], p2 = w[2];
    StartLine(p0);
    if (byX) {
        const double h0 = p1.x - p0.x, h1 = p2.x - p1.x;
        const double a = (h0 * (p2.y - p1.y) - h1 * (p1.y - p0.y)) / (h0 * h1 * (p2.x - p0.x));
        const double c = (p2.y - p1.y) / h1 - a * h1;
        const auto curve = [&](double t) { return p1.y + c * (t - p1.x) + a * (t - p1.x) * (t - p1.x); };
        for (int s = 0; s < steps; ++s) {
            const double t = p0.x + s * h0 / steps;
            ClippedLineTo(t, curve(t));
        }
        for (int s = 0; s < steps; ++s) {
            const double t = p1.x + s * h1 / steps;
            ClippedLineTo(t, curve(t));
        }
    } else {
        const Point lin = 0.5 * (p2 - p0);
        const Point sq = 0.5 * (p0 + p2) - p1;
        for (int s = -steps; s < steps; ++s) {
            const double t = double(s) / steps;
            const Point p = p1 + t * lin + t * t * sq;
            ClippedLineTo(p.x, p.y);
        }
    }
    ClippedLineTo(p2.x, p2.y);
}
