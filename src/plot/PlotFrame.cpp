#include "plot/PlotFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Points far off the chart keep their direction but stay small enough for
// the integer arithmetic of the clipping.
constexpr double kFarPixel = 1 << 28;

int ToPixel(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, -kFarPixel, kFarPixel));
}

// Nearest integer, halves going down.
double RoundHalfDown(double t)
{
    return std::ceil(t - 0.5);
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

} // namespace

int PlotMulDiv(int a, int b, int c)
{
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t divisor = std::llabs(c);
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return int(((product < 0) != (c < 0)) ? -magnitude : magnitude);
}

int PlotFrame::MapX(const PlotFrame& f, double a, double)
{
    if (f.xMax == f.xMin)
        return 0;
    const double t = (a - f.xMin) / (f.xMax - f.xMin) * (f.plotRect.Width() - 1);
    return ToPixel(f.plotRect.left + f.offsetX + RoundHalfDown(t));
}

int PlotFrame::MapY(const PlotFrame& f, double, double b)
{
    if (f.yMax == f.yMin)
        return 0;
    const double t = (b - f.yMin) / (f.yMax - f.yMin) * (f.plotRect.Height() - 1);
    return ToPixel(f.plotRect.bottom - 1 + f.offsetY - RoundHalfDown(t));
}

int PlotFrame::MapPolarX(const PlotFrame& f, double a, double b)
{
    return MapX(f, b * std::cos(a), 0.0);
}

int PlotFrame::MapPolarY(const PlotFrame& f, double a, double b)
{
    return MapY(f, 0.0, b * std::sin(a));
}

bool PlotFrame::ClipSegment(PlotPoint& q)
{
    const bool inside = plotRect.Contains(q);
    PlotPoint pen{penX, penY};
    if (inside && plotRect.Contains(pen))
        return inside;

    // Top, then bottom: u is the upper end, d the lower.
    PlotPoint* u = q.y < pen.y ? &q : &pen;
    PlotPoint* d = u == &q ? &pen : &q;
    const int top = plotRect.top;
    if (Sign(d->y - top) * Sign(u->y - top) <= 0 && d->y != u->y) {
        u->x += PlotMulDiv(top - u->y, d->x - u->x, d->y - u->y);
        u->y = top;
    }
    const int lastRow = plotRect.bottom - 1;
    if (Sign(u->y - lastRow) * Sign(d->y - lastRow) <= 0 && u->y != d->y) {
        d->x += PlotMulDiv(lastRow - d->y, u->x - d->x, u->y - d->y);
        d->y = lastRow;
    }

    // Left, then right: r is the right end (the pen point on a tie), l the left.
    PlotPoint* r = q.x > pen.x ? &q : &pen;
    PlotPoint* l = r == &q ? &pen : &q;
    const int left = plotRect.left;
    if (Sign(r->x - left) * Sign(l->x - left) <= 0 && r->x != l->x) {
        l->y += PlotMulDiv(left - l->x, r->y - l->y, r->x - l->x);
        l->x = left;
    }
    const int lastColumn = plotRect.right - 1;
    if (Sign(l->x - lastColumn) * Sign(r->x - lastColumn) <= 0 && l->x != r->x) {
        r->y += PlotMulDiv(lastColumn - r->x, l->y - r->y, l->x - r->x);
        r->x = lastColumn;
    }

    penX = pen.x;
    penY = pen.y;
    return inside;
}

void PlotFrame::ClippedLineTo(double x, double y)
{
    const int px = mapX(*this, x, y);
    const int py = mapY(*this, x, y);
    if (px == penX && py == penY)
        return;
    PlotPoint q{px, py};
    const bool inside = ClipSegment(q);
    bool drawn = false;
    if (surface && (penInside || inside)) {
        if (!penInside)
            surface->MoveTo(penX, penY);
        surface->LineTo(q.x, q.y);
        drawn = true;
    }
    // Marks the ends of long segments so the points of a sparse line show.
    if (drawn && std::abs(q.x - penX) > 12)
        surface->Ellipse(PlotRect{q.x - 2, q.y - 2, q.x + 3, q.y + 3});
    penX = px;
    penY = py;
    penInside = inside;
}
