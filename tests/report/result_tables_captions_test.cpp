#include <gtest/gtest.h>

#include "report/ReportResultTables.h"
#include "report/ResultTablesCaptions.h"
#include "support/ColumnCaptions.h"
#include "support/RecalculationFixture.h"
#include "support/XmlTree.h"
#include "tables/ResultTables.h"

using namespace calc_inputs;

using testsupport::ColumnCaptions;

namespace {

QStringList Captions(const ReportCaptionSource& source, ReportTable which)
{
    QStringList out;
    for (int i = 0; i < source.GetColumnCount(which); ++i)
        out << source.GetColumnText(which, i);
    return out;
}

// Each report table and the page and sub-tab of the table it mirrors.
struct Mirror
{
    ReportTable table;
    int page;  // separator gas, degassing gas, condensate, formation gas
    int sub;
};

const Mirror kMirrors[] = {
    {ReportTable::GsCalibration, 0, 0}, {ReportTable::GsAnalysis, 0, 1},
    {ReportTable::GsSulphur, 0, 2},     {ReportTable::GsMethanol, 0, 3},
    {ReportTable::GdCalibration, 1, 0}, {ReportTable::GdAnalysis, 1, 1},
    {ReportTable::GdSulphur, 1, 2},     {ReportTable::GdMethanol, 1, 3},
    {ReportTable::DcC1C5, 2, 0},        {ReportTable::DcSulphur, 2, 1},
    {ReportTable::DcMethanol, 2, 2},    {ReportTable::DcFractions, 2, 3},
    {ReportTable::DcGroups, 2, 4},      {ReportTable::PgMethod1, 3, 0},
    {ReportTable::PgSulphur, 3, 1},     {ReportTable::PgMethod2, 3, 2},
    {ReportTable::PgCompositionMethod1, 3, 3}, {ReportTable::PgCompositionMethod2, 3, 4},
};

ResultTable& Shown(ResultTables& tables, const Mirror& m)
{
    const std::vector<ResultTable*> pages[] = {tables.gs.All(), tables.gd.All(), tables.dc.All(), tables.pg.All()};
    return *pages[m.page][static_cast<std::size_t>(m.sub)];
}

GeneralSettings Counts(int value)
{
    GeneralSettings g;
    for (int GeneralSettings::*count :
         {&GeneralSettings::QtyGsRegular, &GeneralSettings::QtyGsCalib, &GeneralSettings::QtyGsMeth,
          &GeneralSettings::QtyGdRegular, &GeneralSettings::QtyGdCalib, &GeneralSettings::QtyGdSss,
          &GeneralSettings::QtyGdMeth, &GeneralSettings::QtyDcC1C5, &GeneralSettings::QtyDcSss,
          &GeneralSettings::QtyDcMeth, &GeneralSettings::QtyDcC6C44})
        g.*count = value;
    return g;
}

} // namespace

TEST(ResultTablesCaptionsTest, everyReportTableReadsItsPagesTableAsItStandsNow)
{
    ResultTables tables;
    const ResultTablesCaptions captions(tables);
    for (const Mirror& m : kMirrors)
        EXPECT_EQ(captions.GetColumnCount(m.table), 0) << "before the pages are set up";

    tables.Setup(Counts(0));
    const qsizetype gsAnalysisColumns = Captions(captions, ReportTable::GsAnalysis).size();
    for (int value : {0, 1, 0, 1}) {
        // The pages follow a change of the counts by their column rule.
        for (const Mirror& m : kMirrors)
            Shown(tables, m).UpdateConcColumns(Counts(value));
        for (const Mirror& m : kMirrors) {
            const ResultTable& shown = Shown(tables, m);
            EXPECT_GT(shown.GetColumnCount(), 0);
            EXPECT_EQ(Captions(captions, m.table), ColumnCaptions(shown)) << shown.SubTabCaption().toStdString();
            EXPECT_EQ(captions.GetColumnText(m.table, shown.GetColumnCount()), QString());
            EXPECT_EQ(captions.GetColumnText(m.table, -1), QString());
        }
    }
    // Three analyses after the rule: the captions the rule inserted, not the set-up ones.
    EXPECT_EQ(Captions(captions, ReportTable::GsAnalysis).at(4), QStringLiteral("Конц. 3 мол. %"));
    EXPECT_EQ(captions.GetColumnCount(ReportTable::GsAnalysis), gsAnalysisColumns + 2);
}

using ReportOfARecalculationTest = RecalculationTest;

TEST_F(ReportOfARecalculationTest, everyDataRowHasOneElementPerGridColumn)
{
    settings.params.GsPressure = 100.0;
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 90.0}, {"Этан", 8.0}, {"н-Бутан", 0.5}})};
    for (int slot : {5, 6, 7})
        records.push_back(Record(slot, "/lab/cal.stg", {{"Метан", 900}, {"Этан", 160}, {"н-Бутан", 50}}));
    records.push_back(Record(2, "/lab/gs1.stg", {{"Метан", 880}, {"Этан", 170}, {"н-Бутан", 45}}));
    records.push_back(Record(3, "/lab/gs2.stg", {{"Метан", 890}, {"Этан", 165}, {"н-Бутан", 50}}));
    Recalculate();
    ASSERT_FALSE(data.GetGsAnalysisResult().rows.empty());

    ResultTables tables;
    tables.Setup(settings.general);
    const ResultTablesCaptions captions(tables);
    ReportSettings choice;
    choice.enableAssayList = choice.enableMixtureList = choice.enableSystemMsgs = false;
    choice.enableGdResult = choice.enableDcResult = choice.enablePgResult = false;
    XMLWrapper doc;
    ReportDocument({&settings, &records, &cylinders, &data, &log, &captions}, choice).Build(doc);
    const testsupport::XmlDoc parsed = testsupport::ParseXml(doc.ToXml());
    ASSERT_TRUE(parsed);

    const int calibrationRows = static_cast<int>(data.gs().calibrationResult.rows.size());
    const int analysisRows = static_cast<int>(data.GetGsAnalysisResult().rows.size());
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/calc_table/header_row[1]/column/label"),
              QStringList({ResultTableTitle(ReportTable::GsCalibration), ResultTableTitle(ReportTable::GsAnalysis)}));
    const struct {
        const ResultTable& shown;
        int dataRows;
        int totalsRows;
    } written[] = {{tables.gs.calibration, calibrationRows, 0}, {tables.gs.analysis, analysisRows, 1}};
    for (int t = 0; t < 2; ++t) {
        const QByteArray table = "/Document/calc_table[" + QByteArray::number(t + 1) + "]";
        const int columns = written[t].shown.GetColumnCount();
        EXPECT_EQ(testsupport::XPathTexts(parsed.get(), table + "/header_row[1]/column/cspan"),
                  QStringList{QString::number(columns)});
        EXPECT_EQ(testsupport::XPathTexts(parsed.get(), table + "/header_row[2]/column/label"),
                  ColumnCaptions(written[t].shown));
        EXPECT_EQ(testsupport::XPathCount(parsed.get(), table + "/fill_data"), written[t].dataRows + written[t].totalsRows);
        for (int r = 1; r <= written[t].dataRows; ++r) {
            const QByteArray row = table + "/fill_data[" + QByteArray::number(r) + "]";
            EXPECT_EQ(testsupport::XPathCount(parsed.get(), row + "/*"), columns) << t << " " << r;
            EXPECT_EQ(testsupport::XPathTexts(parsed.get(), row + "/*[1]"), QStringList{QString::number(r)});
        }
    }
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/calc_table[2]/fill_data[last()]/name"),
              QStringList({QString(), QStringLiteral("Всего:")}));
}
