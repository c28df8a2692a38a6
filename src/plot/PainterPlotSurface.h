#pragma once

#include "plot/PlotSurface.h"

#include <QColor>
#include <QFont>
#include <QRect>

class CPlot;
class QPainter;

QColor ToQColor(PlotColour colour);

// Draws on a QPainter the way the Windows drawing interface would: no
// antialiasing of lines and shapes, one-pixel lines without their end point,
// right and bottom edges left out, font heights that include the internal
// leading. "Arial" falls back to the metric-compatible Liberation Sans. The
// painter's state is restored when the surface goes.
class PainterPlotSurface : public PlotSurface
{
public:
    explicit PainterPlotSurface(QPainter& painter);
    ~PainterPlotSurface() override;
    PainterPlotSurface(const PainterPlotSurface&) = delete;
    PainterPlotSurface& operator=(const PainterPlotSurface&) = delete;

    void Rectangle(const PlotRect& r) override;
    void Ellipse(const PlotRect& r) override;
    void FillRect(const PlotRect& r, PlotColour colour) override;
    void TextOut(int x, int y, unsigned align, const QString& text) override;
    PlotTextMetrics TextMetrics() override;
    PlotSize TextExtent(const QString& text) override;

    // The Qt font for a logical one.
    static QFont ToQFont(const PlotFont& font);

protected:
    void DrawLine(PlotPoint from, PlotPoint to) override;

private:
    enum class Shape { Rectangle, Ellipse };
    void DrawShape(Shape shape, const PlotRect& r);
    // The selected font and its metrics, made again only when it changes.
    const QFont& CurrentFont();

    QPainter& m_painter;
    PlotFont m_fontKey;
    QFont m_font;
    PlotTextMetrics m_metrics;
    bool m_fontReady = false;
};

// Paints the plot into rect of the painter. Off screen, the picture is made
// in an image of rect's size and copied in one go, so nothing outside rect
// is touched.
void PaintPlot(CPlot& plot, QPainter& painter, const QRect& rect, bool offScreen);
