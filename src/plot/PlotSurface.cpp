#include "plot/PlotSurface.h"

#include <algorithm>
#include <utility>

PlotRect PlotRect::Intersected(const PlotRect& other) const
{
    const PlotRect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                     std::min(bottom, other.bottom)};
    return r.IsEmpty() ? PlotRect{} : r;
}

PlotPen PlotSurface::SelectPen(const PlotPen& pen)
{
    return std::exchange(m_pen, pen);
}

PlotBrush PlotSurface::SelectBrush(const PlotBrush& brush)
{
    return std::exchange(m_brush, brush);
}

PlotFont PlotSurface::SelectFont(const PlotFont& font)
{
    return std::exchange(m_font, font);
}

PlotColour PlotSurface::SetTextColour(PlotColour colour)
{
    return std::exchange(m_textColour, colour);
}

void PlotSurface::LineTo(int x, int y)
{
    const PlotPoint to{x, y};
    DrawLine(m_position, to);
    m_position = to;
}
