#include "plot/Plot.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Far more ticks than any axis has room for; guards against a step lost in
// the magnitude of the values.
constexpr std::size_t kMaxTicks = 10000;

PlotFont ArialFont(int height)
{
    PlotFont font;
    font.height = height;
    font.weight = 400;
    font.charSet = DefaultCharSet;
    font.face = QStringLiteral("Arial");
    return font;
}

} // namespace

CPlot::CPlot()
    : tickFont(ArialFont(12))
    , captionFont(ArialFont(12))
{
    captionFont.outPrecision = 7;    // TrueType only
    captionFont.quality = 2;         // proof quality
    captionFont.pitchAndFamily = 2;  // variable pitch
}

int CPlot::AddSeries()
{
    series.emplace_back();
    return int(series.size()) - 1;
}

CPlot::TickSpacing CPlot::NiceTickStep(double labelLength, double& min, double& max, double axisLength, bool snap,
                                       double offset)
{
    TickSpacing t;
    const double raw = (max - min) * labelLength / axisLength;
    if (!(raw > 0.0) || !std::isfinite(raw))
        return t;
    const int e = int(std::floor(std::log10(raw)));
    const double m = raw * std::pow(10.0, -e);
    const double mantissa = m > 7.5 ? 10.0 : m > 3.5 ? 5.0 : m > 2.6 ? 3.0 : m > 2.4 ? 2.5 : m > 1.5 ? 2.0 : 1.0;
    const double step = mantissa * std::pow(10.0, e);
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(m))
        return t;

    const bool snapEnds = snap && std::fabs(offset) < 1e-5;
    // An end within half a step of a multiple outside the range moves out to
    // it; otherwise the tick nearest inside, a hundredth of a step allowed.
    const double lo = min + offset;
    const double below = std::floor(lo / step) * step;
    if (step / 2 > lo - below && snapEnds) {
        t.first = below;
        min = std::floor(min / step) * step;
    } else {
        t.first = std::ceil(lo / step - 0.01) * step;
    }
    const double hi = max + offset;
    const double above = std::ceil(hi / step) * step;
    if (step / 2 > above - hi && snapEnds) {
        t.last = above;
        max = std::ceil(max / step) * step;
    } else {
        t.last = std::floor(hi / step + 0.01) * step;
    }
    t.step = step;
    return t;
}

std::vector<double> CPlot::TickValues(double step, double first, double last)
{
    std::vector<double> values;
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(first) || !std::isfinite(last))
        return values;
    const double unit = std::pow(10.0, std::floor(std::log10(step)) - 3);
    for (double t = first; t < last + step / 2 && values.size() < kMaxTicks;) {
        values.push_back(t);
        const double next = unit * std::ceil((t + step) / unit - 0.5);
        if (!(next > t))
            break;
        t = next;
    }
    return values;
}

QString CPlot::TickLabel(double value)
{
    // A first tick computed as ceil(-0.01) × step is -0.
    if (value == 0.0)
        value = 0.0;
    // QString::asprintf ignores the C locale, so "." is always the separator.
    return QString::asprintf("%.10g", value);
}

void CPlot::GetXRange(double& min, double& max)
{
    GetRange(true, min, max);
}

void CPlot::GetYRange(double& min, double& max)
{
    GetRange(false, min, max);
}

void CPlot::GetRange(bool forX, double& min, double& max)
{
    double& rangeMin = forX ? xMin : yMin;
    double& rangeMax = forX ? xMax : yMax;
    bool& cached = forX ? xRangeCached : yRangeCached;
    if (cached) {
        min = rangeMin;
        max = rangeMax;
        return;
    }
    if (series.empty()) {
        min = 0.0;
        max = 0.0;
        return;
    }
    double lo = DBL_MAX;
    double hi = -DBL_MAX;
    for (PlotSeries& s : series) {
        s.flags = flags;
        s.SetupTransforms();
        if (forX)
            s.GetXRange(lo, hi);
        else
            s.GetYRange(lo, hi);
    }
    if (lo > hi) {
        // No series holds a point to draw.
        lo = 0.0;
        hi = 1.0;
    }
    const double d = 1.0 / std::pow(10.0, forX ? xDecimals : yDecimals);
    if (lo == hi) {
        lo -= d / 2;
        hi += d / 2;
    } else {
        const double width = std::max(std::fabs(lo), std::fabs(hi)) * d;
        if (width > hi - lo) {
            const double centre = (lo + hi) / 2;
            lo = centre - width / 2;
            hi = centre + width / 2;
        }
    }
    rangeMin = min = lo;
    rangeMax = max = hi;
    cached = true;
}

void CPlot::TakeEffectiveRanges()
{
    double lo = 0.0;
    double hi = 0.0;
    if (autoscaleX) {
        GetXRange(lo, hi);
        xMin = lo;
        xMax = hi;
    } else {
        xMin = fixedXMin;
        xMax = fixedXMax;
    }
    if (autoscaleY) {
        GetYRange(lo, hi);
        yMin = lo;
        yMax = hi;
    } else {
        yMin = fixedYMin;
        yMax = fixedYMax;
    }
}

int CPlot::MeasureTickLabels(double step, double first, double last)
{
    int widest = 0;
    for (double v : TickValues(step, first, last))
        widest = std::max(widest, surface->TextExtent(TickLabel(v)).cx);
    return widest;
}

void CPlot::MeasureText()
{
    const int h = surface->TextMetrics().height;
    tickLength = std::max(h / 3, 1);
    tickGap = std::max(h / 6, 1);
    labelGap = std::max(h / 5, 1);
}

int CPlot::LayoutXTicks()
{
    const int w = plotRect.Width();
    const int ave = std::max(surface->TextMetrics().aveCharWidth, 1);
    const double offset = w > 1 ? (xMax - xMin) * offsetX / (w - 1) : 0.0;
    double labelLength = 6.0 * ave;
    double lo = xMin;
    double hi = xMax;
    int widest = 0;
    // Longer label room until a label and three characters fit between two ticks.
    for (;;) {
        lo = xMin;
        hi = xMax;
        const TickSpacing t = w > 1 ? NiceTickStep(labelLength, lo, hi, w, autoscaleX, offset) : TickSpacing{};
        xStep = t.step;
        xFirstTick = t.first;
        xLastTick = t.last;
        widest = MeasureTickLabels(xStep, xFirstTick, xLastTick);
        labelLength += ave;
        if (xStep == 0.0 || labelLength >= w)
            break;
        if (!(widest + 3 * ave > w * xStep / (xMax - xMin)))
            break;
    }
    xMin = lo;
    xMax = hi;
    return widest;
}

int CPlot::LayoutYTicks()
{
    const int h = plotRect.Height();
    const int fontHeight = surface->TextMetrics().height;
    const double offset = h > 1 ? (yMax - yMin) * offsetY / (h - 1) : 0.0;
    const TickSpacing t = h > 1 ? NiceTickStep(2.0 * fontHeight, yMin, yMax, h, autoscaleY, offset) : TickSpacing{};
    yStep = t.step;
    yFirstTick = t.first;
    yLastTick = t.last;
    return MeasureTickLabels(yStep, yFirstTick, yLastTick);
}

PlotSize CPlot::DrawAxisCaptions(PlotSurface& out, const PlotRect& r)
{
    out.SetTextColour(captionColour);
    PlotSize room;  // cx: the turned y caption's, cy: the x caption's
    PlotFont font = captionFont;
    if (!xCaption.isEmpty()) {
        font.escapement = font.orientation = 0;
        const PlotFont old = out.SelectFont(font);
        out.TextOut(r.right - margin - 1, r.bottom, AlignRight | AlignBottom, xCaption);
        room.cy = out.TextExtent(xCaption).cy;
        out.SelectFont(old);
    }
    if (!yCaption.isEmpty()) {
        // Reading upward, its end at the top.
        font.escapement = font.orientation = 900;
        const PlotFont old = out.SelectFont(font);
        out.TextOut(r.left, r.top + margin + 1, AlignRight | AlignTop, yCaption);
        room.cx = out.TextExtent(yCaption).cy;
        out.SelectFont(old);
    }
    return room;
}

void CPlot::Paint(PlotSurface& out, const PlotRect& rect)
{
    surface = &out;
    PlotRect r = rect;
    out.FillRect(r, imageBackground);
    r.bottom -= margin;
    r.left += margin;
    const PlotSize captions = DrawAxisCaptions(out, r);
    r.bottom -= captions.cy + captionSpacing;
    r.left += captions.cx + captionSpacing;

    const PlotFont oldFont = out.SelectFont(tickFont);
    const PlotTextMetrics metrics = out.TextMetrics();
    MeasureText();
    const int closed = (axisFlags & (AxisTicksAround | AxisClosedFrame)) ? 1 : 0;
    const int extra = (axisFlags & AxisTicksAround) ? tickGap + closed : closed;
    // Room for the top y label above its tick, the x labels below the axis
    // and the ticks outside a closed frame.
    PlotRect base = r;
    base.top += std::max(metrics.ascent, extra);
    base.left += 1 + tickGap + labelGap;
    base.right -= extra;
    base.bottom -= 1 + metrics.height + tickGap + labelGap;

    // The labels' widths depend on the ticks, the ticks on the room: shrink
    // until both agree. The area only shrinks, so this ends.
    PlotRect area = base;
    for (;;) {
        if (area.Width() < 1 || area.Height() < 1) {
            out.SelectFont(oldFont);
            // Ranges found for this paint must not outlive it.
            xRangeCached = yRangeCached = false;
            return;
        }
        plotRect = area;
        TakeEffectiveRanges();
        const int xLabels = LayoutXTicks();
        const int yLabels = LayoutYTicks();
        const int half = xLabels / 2;
        const int leftRoom = std::max(half - tickGap - labelGap, yLabels);
        PlotRect next = base;
        next.left = base.left + leftRoom;
        next.right = base.right - half - 1;
        next = next.Intersected(area);
        if (next == area)
            break;
        area = next;
    }
    out.SelectFont(oldFont);
    DrawPlot(out, area);
}

void CPlot::DrawPlot(PlotSurface& out, const PlotRect& r)
{
    surface = &out;
    plotRect = r;
    const PlotFont oldFont = out.SelectFont(tickFont);
    TakeEffectiveRanges();
    LayoutXTicks();
    LayoutYTicks();

    // A null pen leaves the area unframed; a wide axis pen frames it.
    const PlotPen areaPen{axisPenWidth >= 2 ? PenSolid : PenNull, std::max(axisPenWidth, 1), 0x000000};
    PlotPen oldPen = out.SelectPen(areaPen);
    PlotBrush oldBrush = out.SelectBrush(PlotBrush::Solid(plotBackground));
    out.Rectangle(r);
    out.SelectBrush(oldBrush);
    out.SelectPen(oldPen);

    DrawGrid();
    for (PlotSeries& s : series) {
        if (s.hidden)
            continue;
        s.autoscaleX = s.autoscaleY = false;
        s.fixedXMin = s.xMin = xMin;
        s.fixedXMax = s.xMax = xMax;
        s.fixedYMin = s.yMin = yMin;
        s.fixedYMax = s.yMax = yMax;
        s.surface = &out;
        s.plotRect = r;
        oldPen = out.SelectPen(PlotPen{s.penStyle, s.penWidth, s.colour});
        s.DrawMarker();
        if (s.count > 1) {
            if (s.lineKind == LineStraight)
                s.DrawPolyline();
            else if (s.lineKind == LineSmooth)
                s.DrawSpline();
        }
        out.SelectPen(oldPen);
        // Closed markers of the later series are hollow.
        out.SelectBrush(PlotBrush::Hollow());
        // Bands would hide the grid.
        if (s.markerStyle == MarkerBands)
            DrawGrid();
    }
    DrawAxes();

    xRangeCached = yRangeCached = false;
    out.SelectFont(oldFont);
}

void CPlot::DrawGrid()
{
    PlotSurface& out = *surface;
    const PlotRect& r = plotRect;
    const PlotPen oldPen = out.SelectPen(PlotPen{PenSolid, 0, gridColour});
    const bool around = axisFlags & AxisTicksAround;
    if (axisFlags & AxisGridX) {
        const int top = around ? r.top + tickLength : r.top;
        for (double v : TickValues(xStep, xFirstTick, xLastTick)) {
            const int px = MapX(*this, v, 0.0);
            out.MoveTo(px, top);
            out.LineTo(px, r.bottom - tickLength);
        }
    }
    if (axisFlags & AxisGridY) {
        const int right = around ? r.right - tickLength : r.right;
        for (double v : TickValues(yStep, yFirstTick, yLastTick)) {
            const int py = MapY(*this, 0.0, v);
            out.MoveTo(right - 1, py);
            out.LineTo(r.left - 1 + tickLength, py);
        }
    }
    out.SelectPen(oldPen);
}

void CPlot::DrawAxes()
{
    PlotSurface& out = *surface;
    const PlotRect& r = plotRect;
    const PlotPen oldPen = out.SelectPen(PlotPen{PenSolid, axisPenWidth, axisColour});
    const bool around = axisFlags & AxisTicksAround;
    out.MoveTo(r.left - 1, r.top - 1);
    out.LineTo(r.left - 1, r.bottom);
    out.LineTo(r.right, r.bottom);
    if (axisFlags & (AxisTicksAround | AxisClosedFrame)) {
        out.LineTo(r.right, r.top - 1);
        out.LineTo(r.left - 1, r.top - 1);
    }

    MeasureText();
    out.SetTextColour(axisColour);
    for (double v : TickValues(xStep, xFirstTick, xLastTick)) {
        const int px = MapX(*this, v, 0.0);
        if (around) {
            out.MoveTo(px, r.top - tickGap - 1);
            out.LineTo(px, r.top + tickLength);
        }
        out.MoveTo(px, r.bottom - tickLength);
        out.LineTo(px, r.bottom + 1 + tickGap);
        out.TextOut(px, r.bottom + 1 + tickGap + labelGap, AlignCenter | AlignTop, TickLabel(v));
    }
    for (double v : TickValues(yStep, yFirstTick, yLastTick)) {
        const int py = MapY(*this, 0.0, v);
        if (around) {
            out.MoveTo(r.right + tickGap, py);
            out.LineTo(r.right - tickLength - 1, py);
        }
        out.MoveTo(r.left - 1 + tickLength, py);
        out.LineTo(r.left - tickGap - 2, py);
        // The label's baseline on the tick.
        out.TextOut(r.left - tickGap - 2 - labelGap + 1, py, AlignRight | AlignBaseline, TickLabel(v));
    }
    out.SelectPen(oldPen);
}
