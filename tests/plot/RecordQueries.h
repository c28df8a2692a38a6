#pragma once

#include "plot/RecordingPlotSurface.h"

#include <QStringList>

#include <algorithm>
#include <vector>

// Picks calls out of a recording.
namespace record_queries {

inline std::vector<PlotRecord> OfKind(const std::vector<PlotRecord>& records, PlotRecord::Kind kind)
{
    std::vector<PlotRecord> picked;
    for (const PlotRecord& r : records)
        if (r.kind == kind)
            picked.push_back(r);
    return picked;
}

// Lines drawn with a visible pen of the colour.
inline std::vector<PlotRecord> LinesIn(const std::vector<PlotRecord>& records, PlotColour colour)
{
    std::vector<PlotRecord> picked;
    for (const PlotRecord& r : OfKind(records, PlotRecord::Line))
        if (r.pen.colour == colour && r.pen.style != PenNull)
            picked.push_back(r);
    return picked;
}

inline QStringList Texts(const std::vector<PlotRecord>& records)
{
    QStringList texts;
    for (const PlotRecord& r : OfKind(records, PlotRecord::Text))
        texts << r.text;
    return texts;
}

inline bool HasLine(const std::vector<PlotRecord>& records, PlotPoint from, PlotPoint to)
{
    return std::any_of(records.begin(), records.end(), [&](const PlotRecord& r) {
        return r.kind == PlotRecord::Line && r.from == from && r.to == to;
    });
}

} // namespace record_queries
