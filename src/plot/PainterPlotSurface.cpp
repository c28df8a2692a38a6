#include "plot/PainterPlotSurface.h"

#include "plot/Plot.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr int kDefaultCellHeight = 12;

// The weights of the lower-case letters and the space by which the average
// character width of a font's metrics table was defined. The Windows
// interface reports that table's figure, which for Arial is this weighted
// average; measuring it keeps the layout with a metric-compatible stand-in
// whose table states another figure.
constexpr std::pair<char, int> kAverageWidthWeights[] = {
    {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
    {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
    {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166},
};

Qt::PenStyle ToQtPenStyle(int style)
{
    switch (style) {
    case PenDash: return Qt::DashLine;
    case PenDot: return Qt::DotLine;
    case PenDashDot: return Qt::DashDotLine;
    case PenDashDotDot: return Qt::DashDotDotLine;
    case PenNull: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

// Widths 0 and 1 are the one-pixel (cosmetic) pen; wider ones have round
// ends and joins.
QPen ToQPen(const PlotPen& pen)
{
    QPen q(ToQColor(pen.colour));
    q.setStyle(ToQtPenStyle(pen.style));
    if (pen.width <= 1) {
        q.setWidth(0);
    } else {
        q.setWidth(pen.width);
        q.setCapStyle(Qt::RoundCap);
        q.setJoinStyle(Qt::RoundJoin);
    }
    return q;
}

PlotRect Normalized(const PlotRect& r)
{
    return PlotRect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                    std::max(r.top, r.bottom)};
}

} // namespace

QColor ToQColor(PlotColour colour)
{
    return QColor(PlotRed(colour), PlotGreen(colour), PlotBlue(colour));
}

PainterPlotSurface::PainterPlotSurface(QPainter& painter)
    : m_painter(painter)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

PainterPlotSurface::~PainterPlotSurface()
{
    m_painter.restore();
}

QFont PainterPlotSurface::ToQFont(const PlotFont& font)
{
    QFont q;
    const QString face = font.face.isEmpty() ? QStringLiteral("Arial") : font.face;
    q.setFamilies({face, QStringLiteral("Liberation Sans")});
    q.setWeight(font.weight <= 0 ? QFont::Normal : QFont::Weight(std::clamp(font.weight, 1, 1000)));
    q.setHintingPreference(QFont::PreferFullHinting);
    int pixels = 0;
    if (font.height < 0) {
        pixels = -font.height;
    } else {
        // A positive height is the cell, ascent plus descent; Qt sizes the em.
        const int cell = font.height == 0 ? kDefaultCellHeight : font.height;
        QFont probe = q;
        probe.setPixelSize(1000);
        const QFontMetricsF metrics(probe);
        const double cellPerEm = (metrics.ascent() + metrics.descent()) / 1000.0;
        pixels = cellPerEm > 0.0 ? qRound(cell / cellPerEm) : cell;
    }
    q.setPixelSize(std::clamp(pixels, 1, 10000));
    return q;
}

const QFont& PainterPlotSurface::CurrentFont()
{
    if (m_fontReady && m_fontKey == Font())
        return m_font;
    m_fontKey = Font();
    m_font = ToQFont(m_fontKey);
    m_fontReady = true;
    const QFontMetrics metrics(m_font, m_painter.device());
    const QFontMetricsF exact(m_font, m_painter.device());
    m_metrics.ascent = metrics.ascent();
    m_metrics.height = metrics.ascent() + metrics.descent();
    double weighted = 0.0;
    for (const auto& [c, weight] : kAverageWidthWeights)
        weighted += weight * exact.horizontalAdvance(QLatin1Char(c));
    m_metrics.aveCharWidth = qRound(weighted / 1000.0);
    return m_font;
}

void PainterPlotSurface::DrawLine(PlotPoint from, PlotPoint to)
{
    const PlotPen& pen = Pen();
    if (pen.style == PenNull)
        return;
    if (pen.width > 1 || pen.style != PenSolid) {
        m_painter.setPen(ToQPen(pen));
        m_painter.drawLine(from.x, from.y, to.x, to.y);
        return;
    }
    // One pixel wide: every pixel of the run except the end point.
    const QColor colour = ToQColor(pen.colour);
    if (from.y == to.y) {
        if (from.x != to.x) {
            const int first = from.x < to.x ? from.x : to.x + 1;
            m_painter.fillRect(QRect(first, from.y, std::abs(to.x - from.x), 1), colour);
        }
        return;
    }
    if (from.x == to.x) {
        const int first = from.y < to.y ? from.y : to.y + 1;
        m_painter.fillRect(QRect(from.x, first, 1, std::abs(to.y - from.y)), colour);
        return;
    }
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    QPolygon pixels;
    pixels.reserve(std::max(dx, -dy));
    int error = dx + dy;
    for (QPoint p(from.x, from.y); p != QPoint(to.x, to.y);) {
        pixels.append(p);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.ry() += sy;
        }
    }
    QPen pointPen(colour);
    pointPen.setWidth(0);
    m_painter.setPen(pointPen);
    m_painter.drawPoints(pixels);
}

void PainterPlotSurface::DrawShape(Shape shape, const PlotRect& given)
{
    const PlotRect r = Normalized(given);
    if (r.Width() < 1 || r.Height() < 1)
        return;
    const PlotPen& pen = Pen();
    const PlotBrush& brush = Brush();
    // The outline runs through the last column and row inside r.
    const QRect outline(r.left, r.top, r.Width() - 1, r.Height() - 1);
    if (pen.style == PenNull) {
        // Without an outline the fill is one pixel smaller still.
        if (brush.hollow || outline.isEmpty())
            return;
        if (shape == Shape::Rectangle) {
            m_painter.fillRect(outline, ToQColor(brush.colour));
            return;
        }
        m_painter.setPen(Qt::NoPen);
    } else {
        m_painter.setPen(ToQPen(pen));
    }
    m_painter.setBrush(brush.hollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush.colour)));
    if (shape == Shape::Rectangle)
        m_painter.drawRect(outline);
    else
        m_painter.drawEllipse(outline);
}

void PainterPlotSurface::Rectangle(const PlotRect& r)
{
    DrawShape(Shape::Rectangle, r);
}

void PainterPlotSurface::Ellipse(const PlotRect& r)
{
    DrawShape(Shape::Ellipse, r);
}

void PainterPlotSurface::FillRect(const PlotRect& r, PlotColour colour)
{
    if (r.IsEmpty())
        return;
    m_painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(colour));
}

PlotTextMetrics PainterPlotSurface::TextMetrics()
{
    CurrentFont();
    return m_metrics;
}

PlotSize PainterPlotSurface::TextExtent(const QString& text)
{
    const QFontMetrics metrics(CurrentFont(), m_painter.device());
    return PlotSize{metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()};
}

void PainterPlotSurface::TextOut(int x, int y, unsigned align, const QString& text)
{
    const QFont& font = CurrentFont();
    const QFontMetrics metrics(font, m_painter.device());
    const int width = metrics.horizontalAdvance(text);
    int dx = 0;
    switch (align & AlignHorizontalMask) {
    case AlignRight: dx = -width; break;
    case AlignCenter: dx = -width / 2; break;
    default: break;
    }
    int dy = 0;  // from the reference point to the baseline
    switch (align & AlignVerticalMask) {
    case AlignBottom: dy = -metrics.descent(); break;
    case AlignBaseline: dy = 0; break;
    default: dy = metrics.ascent(); break;
    }
    m_painter.setFont(font);
    m_painter.setPen(ToQColor(TextColour()));
    const int escapement = Font().escapement;
    if (escapement == 0) {
        m_painter.drawText(x + dx, y + dy, text);
        return;
    }
    m_painter.save();
    m_painter.translate(x, y);
    m_painter.rotate(-escapement / 10.0);
    m_painter.drawText(dx, dy, text);
    m_painter.restore();
}

void PaintPlot(CPlot& plot, QPainter& painter, const QRect& rect, bool offScreen)
{
    if (rect.isEmpty())
        return;
    if (!offScreen) {
        PainterPlotSurface surface(painter);
        plot.Paint(surface, PlotRect{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1});
        return;
    }
    QImage image(rect.size(), QImage::Format_RGB32);
    {
        QPainter imagePainter(&image);
        PainterPlotSurface surface(imagePainter);
        plot.Paint(surface, PlotRect{0, 0, rect.width(), rect.height()});
    }
    painter.drawImage(rect.topLeft(), image);
}
