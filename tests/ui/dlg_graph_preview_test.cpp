#include <gtest/gtest.h>

#include "calc/CalcData.h"
#include "support/CalcInputs.h"
#include "support/ImagePixels.h"
#include "support/Screenshot.h"
#include "ui/DlgGraphPreview.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <vector>

using testsupport::CountColour;

namespace {

const QColor kSalmon(255, 127, 115);

// n-Alkanes C6 to C20: retention times (min) of a temperature-programmed run
// and boiling points (°C).
TemperatureResult Alkanes()
{
    return calc_inputs::TemperatureCurve({
        {3.2, 68.7},   {5.1, 98.4},   {7.6, 125.7},  {10.3, 150.8}, {13.0, 174.1},
        {15.6, 195.9}, {18.0, 216.3}, {20.3, 235.4}, {22.5, 253.6}, {24.5, 270.6},
        {26.4, 286.9}, {28.2, 302.2}, {29.9, 316.3}, {31.5, 329.9}, {33.0, 343.8},
    });
}

} // namespace

TEST(DlgGraphPreview, showsTheCurveInItsSalmonColourWithinTheGraph)
{
    DlgGraphPreview page;
    page.show();
    page.LoadCurve(Alkanes());
    const QPixmap picture = page.grab();
    testsupport::saveScreenshotIfAsked(picture, QStringLiteral("tavrin_calibration_graph.png"));
    const QImage graph = page.m_graph.grab().toImage();
    EXPECT_EQ(graph.size(), QSize(486, 124));
    EXPECT_GT(CountColour(graph, kSalmon), 100);
    // Only the graph is painted; the page around it is not.
    const QImage whole = picture.toImage();
    EXPECT_EQ(CountColour(whole.copy(0, 0, 11, whole.height()), kSalmon), 0);
}

TEST(DlgGraphPreview, reloadingReplacesTheCurveAndNoDataShowsEmptyAxes)
{
    CalcData data;  // never calculated: no calibration points
    DlgGraphPreview page;
    page.show();
    page.LoadCurve(Alkanes());
    page.LoadCurve(Alkanes());
    EXPECT_EQ(page.m_plot.series.size(), 1u);
    EXPECT_EQ(page.m_seriesIndex, 0);

    page.m_pCalcData = &data;
    page.LoadData();
    EXPECT_TRUE(page.m_plot.series.empty());
    EXPECT_EQ(page.m_seriesIndex, -1);
    testsupport::saveScreenshotIfAsked(page.grab(), QStringLiteral("tavrin_calibration_graph_empty.png"));
    const QImage graph = page.m_graph.grab().toImage();
    EXPECT_GT(CountColour(graph, QColor(191, 191, 191)), 100);
    EXPECT_GT(CountColour(graph, QColor(0, 0, 0)), 100);
    EXPECT_EQ(CountColour(graph, kSalmon), 0);

    page.m_pCalcData = nullptr;
    page.LoadCurve(Alkanes());
    page.LoadData();
    EXPECT_TRUE(page.m_plot.series.empty());
}

TEST(DlgGraphPreview, drawToPaintsTheLastLoadInBlackAndKeepsThePainter)
{
    DlgGraphPreview page;
    EXPECT_EQ(page.DrawTo(nullptr), -1);
    page.LoadCurve(Alkanes());

    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(10, 20, 30));
    EXPECT_EQ(page.DrawTo(&painter), 0);
    EXPECT_EQ(painter.pen().color(), QColor(10, 20, 30));
    painter.end();
    testsupport::saveScreenshotIfAsked(QPixmap::fromImage(image), QStringLiteral("tavrin_calibration_report.png"));
    EXPECT_EQ(CountColour(image, kSalmon), 0);
    EXPECT_GT(CountColour(image.copy(300, 300, 400, 400), Qt::black), 200);
}
