#include "plot/RecordingPlotSurface.h"

#include <cstdlib>

PlotRecord RecordingPlotSurface::Record(PlotRecord::Kind kind) const
{
    PlotRecord record;
    record.kind = kind;
    record.pen = Pen();
    record.brush = Brush();
    record.font = Font();
    return record;
}

void RecordingPlotSurface::DrawLine(PlotPoint from, PlotPoint to)
{
    PlotRecord record = Record(PlotRecord::Line);
    record.from = from;
    record.to = to;
    records.push_back(record);
}

void RecordingPlotSurface::Rectangle(const PlotRect& r)
{
    PlotRecord record = Record(PlotRecord::Rectangle);
    record.rect = r;
    records.push_back(record);
}

void RecordingPlotSurface::Ellipse(const PlotRect& r)
{
    PlotRecord record = Record(PlotRecord::Ellipse);
    record.rect = r;
    records.push_back(record);
}

void RecordingPlotSurface::FillRect(const PlotRect& r, PlotColour colour)
{
    PlotRecord record = Record(PlotRecord::Fill);
    record.rect = r;
    record.colour = colour;
    records.push_back(record);
}

void RecordingPlotSurface::TextOut(int x, int y, unsigned align, const QString& text)
{
    PlotRecord record = Record(PlotRecord::Text);
    record.from = PlotPoint{x, y};
    record.colour = TextColour();
    record.align = align;
    record.text = text;
    records.push_back(record);
}

PlotTextMetrics RecordingPlotSurface::TextMetrics()
{
    const int h = Font().height == 0 ? 12 : std::abs(Font().height);
    return PlotTextMetrics{h, h * 3 / 4, h / 2};
}

PlotSize RecordingPlotSurface::TextExtent(const QString& text)
{
    const PlotTextMetrics m = TextMetrics();
    return PlotSize{int(text.size()) * m.aveCharWidth, m.height};
}
