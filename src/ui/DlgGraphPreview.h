#pragma once

#include "calc/CondensateRow.h"
#include "plot/CalibrationGraph.h"
#include "plot/Plot.h"

#include <QWidget>

class CalcData;
class QPainter;

// The calibration graph of the condensate temperature scale: retention time
// against boiling temperature, one circle per marker, joined in row order. A
// sub-page of the degassed-condensate result page; the report draws the same
// curve through DrawTo.
class DlgGraphPreview : public QWidget
{
    Q_OBJECT
public:
    explicit DlgGraphPreview(QWidget* parent = nullptr);

    // Rebuilds the curve from m_pCalcData (none without it) and repaints.
    void LoadData();
    // The same from a given temperature-scale result.
    void LoadCurve(const TemperatureResult& result);
    // The graph of the last load into the square (0, 0)-(1000, 1000) of the
    // painter; 0, or -1 without a painter.
    int DrawTo(QPainter* painter) const;

    QWidget m_graph;  // the drawing surface; keeps its place and size
    CPlot m_plot;
    int m_seriesIndex = -1;
    CalibrationCurve m_curve;  // borrowed by the series until the next load
    const CalcData* m_pCalcData = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDrawItem();
};
