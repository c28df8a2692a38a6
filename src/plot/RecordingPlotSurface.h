#pragma once

#include "plot/PlotSurface.h"

#include <vector>

// One drawing call as a surface received it, with the state it drew in.
struct PlotRecord
{
    enum Kind { Line, Rectangle, Ellipse, Fill, Text };
    Kind kind = Line;
    PlotPoint from;  // a line's start; a text's reference point
    PlotPoint to;    // a line's end, not painted
    PlotRect rect;
    PlotPen pen;
    PlotBrush brush;
    PlotColour colour = 0;  // of a fill or a text
    PlotFont font;
    unsigned align = 0;
    QString text;
};

// A surface that draws nothing and keeps every call, with metrics simple
// enough to work layouts out by hand: a font of height h (12 when 0) has the
// cell height |h|, the ascent |h| × 3 / 4 and every character |h| / 2 wide.
class RecordingPlotSurface : public PlotSurface
{
public:
    void Rectangle(const PlotRect& r) override;
    void Ellipse(const PlotRect& r) override;
    void FillRect(const PlotRect& r, PlotColour colour) override;
    void TextOut(int x, int y, unsigned align, const QString& text) override;
    PlotTextMetrics TextMetrics() override;
    PlotSize TextExtent(const QString& text) override;

    std::vector<PlotRecord> records;

protected:
    void DrawLine(PlotPoint from, PlotPoint to) override;

private:
    PlotRecord Record(PlotRecord::Kind kind) const;
};
