#include "ui/DlgGraphPreview.h"

#include "calc/CalcData.h"
#include "plot/PainterPlotSurface.h"

#include <QEvent>
#include <QPainter>

namespace {

// The page is 338 × 90 dialog units of its 8-point dialog font, the graph
// 324 × 76 at (7, 7). On a result page the graph grows with the page,
// keeping its margin, so its captions are not cut off.
constexpr QSize kPageSize(507, 146);
constexpr QRect kGraphRect(11, 11, 486, 124);

constexpr PlotColour kCurveColour = PlotRgb(255, 127, 115);

} // namespace

DlgGraphPreview::DlgGraphPreview(QWidget* parent)
    : QWidget(parent)
    , m_graph(this)
{
    resize(kPageSize);
    m_graph.setObjectName(QStringLiteral("graph"));
    m_graph.setGeometry(kGraphRect);
    // The plot covers every pixel of the surface.
    m_graph.setAttribute(Qt::WA_OpaquePaintEvent);
    m_graph.installEventFilter(this);
    SetupCalibrationPlot(m_plot);
}

void DlgGraphPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int margin = kGraphRect.left();
    m_graph.setGeometry(rect().adjusted(margin, margin, -margin, -margin) | kGraphRect);
}

void DlgGraphPreview::LoadData()
{
    LoadCurve(m_pCalcData ? m_pCalcData->GetCalibrationCurve() : TemperatureResult{});
}

void DlgGraphPreview::LoadCurve(const TemperatureResult& result)
{
    // The series borrow the arrays about to be replaced.
    m_plot.series.clear();
    m_curve = LoadCalibrationCurve(result);
    m_seriesIndex = SetCalibrationSeries(m_plot, m_curve, kCurveColour);
    repaint();
}

int DlgGraphPreview::DrawTo(QPainter* painter) const
{
    return DrawCalibrationGraph(painter, m_curve);
}

bool DlgGraphPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_graph && event->type() == QEvent::Paint) {
        OnDrawItem();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DlgGraphPreview::OnDrawItem()
{
    QPainter painter(&m_graph);
    PaintPlot(m_plot, painter, m_graph.rect(), true);
}
