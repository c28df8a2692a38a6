#include <gtest/gtest.h>

#include "platform/SaveFile.h"
#include "report/ReportResultTables.h"
#include "report/ReportTransform.h"
#include "support/ColumnCaptions.h"
#include "support/ReportPage.h"
#include "support/SampleSetReport.h"
#include "support/XmlTree.h"

#include <QDir>

// The report of a whole sampling run through the real stylesheet: the
// document, the page it makes, and that page in a browser.

using testsupport::XPathCount;
using testsupport::XPathTexts;

namespace {

class ReportSampleSetTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        run = new testsupport::SampleSetReport;
        if (!run->Load())
            return;
        XMLWrapper doc;
        ReportDocument(run->Sources(), testsupport::SampleSetReport::Everything()).Build(doc);
        xml = new QByteArray(doc.ToXml());
        QString error;
        const std::optional<QByteArray> out = TransformReportToHtml(QStringLiteral(TAVRIN_REPORT_XSL), doc, &error);
        html = new QByteArray(out.value_or(QByteArray()));
        transformError = new QString(error);
    }
    static void TearDownTestSuite()
    {
        delete run;
        delete xml;
        delete html;
        delete transformError;
    }

    void SetUp() override
    {
        ASSERT_TRUE(xml) << run->error().toStdString();
        ASSERT_FALSE(html->isEmpty()) << transformError->toStdString();
        source = testsupport::ParseXml(*xml);
        page = testsupport::ParseXml(*html);
        ASSERT_TRUE(source);
        ASSERT_TRUE(page) << "the page is not well-formed";
    }

    // A whole run recalculated once for all the tests here.
    static testsupport::SampleSetReport* run;
    static QByteArray* xml;
    static QByteArray* html;
    static QString* transformError;
    testsupport::XmlDoc source;
    testsupport::XmlDoc page;
};

testsupport::SampleSetReport* ReportSampleSetTest::run = nullptr;
QByteArray* ReportSampleSetTest::xml = nullptr;
QByteArray* ReportSampleSetTest::html = nullptr;
QString* ReportSampleSetTest::transformError = nullptr;

} // namespace

TEST_F(ReportSampleSetTest, everyTableOfTheThreeSamplesInOrderWithTheScreensCaptions)
{
    const ReportTable ours[] = {ReportTable::GsCalibration, ReportTable::GsAnalysis, ReportTable::GsSulphur,
                                ReportTable::GsMethanol,    ReportTable::GdCalibration, ReportTable::GdAnalysis,
                                ReportTable::GdSulphur,     ReportTable::GdMethanol, ReportTable::DcC1C5,
                                ReportTable::DcSulphur,     ReportTable::DcMethanol, ReportTable::DcFractions,
                                ReportTable::DcGroups};
    const ResultTable* shown[] = {&run->tables().gs.calibration, &run->tables().gs.analysis,
                                  &run->tables().gs.sulphur,     &run->tables().gs.methanol,
                                  &run->tables().gd.calibration, &run->tables().gd.analysis,
                                  &run->tables().gd.sulphur,     &run->tables().gd.methanol,
                                  &run->tables().dc.c1c5,        &run->tables().dc.sulphur,
                                  &run->tables().dc.methanol,    &run->tables().dc.fractions,
                                  &run->tables().dc.groups};
    const QStringList titles = XPathTexts(source.get(), "/Document/calc_table/header_row[1]/column/label");
    ASSERT_GE(titles.size(), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(titles[i], ResultTableTitle(ours[i]));
        const QString table = QStringLiteral("/Document/calc_table[%1]").arg(i + 1);
        EXPECT_EQ(XPathTexts(source.get(), table + "/header_row[2]/column/label"),
                  testsupport::ColumnCaptions(*shown[i]))
            << i;
        // Every data row has a cell for every column of the screen's grid.
        const int rows = XPathCount(source.get(), table + "/fill_data[name[1] != '']");
        EXPECT_GT(rows, 0) << i;
        EXPECT_EQ(XPathCount(source.get(), table + QStringLiteral("/fill_data[name[1] != ''][count(*) = %1]")
                                                  .arg(shown[i]->GetColumnCount())),
                  rows)
            << i;
    }
    EXPECT_EQ(XPathTexts(source.get(), "/Document/num_device"), QStringList{QStringLiteral("Кристалл-5000 №17")});
    // The well and plant of the passports, not their separator.
    EXPECT_EQ(XPathTexts(source.get(), "/Document/station"), QStringList{QStringLiteral("скв. 1205, УКПГ-2")});
    EXPECT_EQ(XPathCount(source.get(), "/Document/files/fill_data"), run->Sources().records->size());
    EXPECT_EQ(XPathCount(source.get(), "/Document/mixtures/fill_data"), run->Sources().cylinders->size());
}

TEST_F(ReportSampleSetTest, stylesheetMakesAPageWithTheDocumentsTablesAndRows)
{
    EXPECT_TRUE(html->startsWith("<!DOCTYPE html")) << html->left(60).toStdString();
    EXPECT_EQ(XPathCount(page.get(), "//h:table[@class='list']"), 2);
    EXPECT_EQ(XPathCount(page.get(), "//h:table[@class='list'][1]/h:tbody/h:tr"),
              XPathCount(source.get(), "/Document/files/fill_data"));
    EXPECT_EQ(XPathCount(page.get(), "//h:table[@class='list'][2]/h:tbody/h:tr"),
              XPathCount(source.get(), "/Document/mixtures/fill_data"));
    testsupport::ExpectTablesOfTheDocument(source.get(), page.get(), QStringLiteral("h:"));
    // The totals rows of the three samples' tables, which come first.
    EXPECT_EQ(XPathCount(page.get(), "(//h:table[@class='calc'])[position() <= 13]//h:tr[@class='total']"),
              XPathCount(source.get(), "/Document/calc_table[position() <= 13]/fill_data[name[2] = 'Всего:']"));
    EXPECT_EQ(XPathTexts(page.get(), "//h:div[@class='messages']/h:p"), XPathTexts(source.get(), "//msg_str"));
}

TEST_F(ReportSampleSetTest, browserShowsTheSameTables)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("report.html"));
    ASSERT_TRUE(WriteFileAtomically(file, *html));
    const testsupport::BrowserPage browser = testsupport::RenderInChromium(file, dir.path(), 1600, 9000);
    if (!browser.available)
        GTEST_SKIP() << "chromium is not installed";
    ASSERT_TRUE(browser.ok) << browser.error.toStdString();
    const testsupport::XmlDoc shown = testsupport::ParseHtml(browser.dom);
    ASSERT_TRUE(shown);
    testsupport::ExpectTablesOfTheDocument(source.get(), shown.get(), QString());
    EXPECT_EQ(XPathCount(shown.get(), "//table[@class='list'][1]/tbody/tr"),
              XPathCount(source.get(), "/Document/files/fill_data"));
    EXPECT_TRUE(browser.png.startsWith("\x89PNG\r\n\x1a\n"));
    testsupport::KeepPictureIfAsked(browser.png, QStringLiteral("report_sample_set.png"));
}
