#include <gtest/gtest.h>

#include "support/CalcInputs.h"
#include "tables/ResultTables.h"

#include <cfloat>

namespace {

using Rows = std::vector<TableRow>;

// The tables of the program, set up with the default counts; the row
// builders take n and the digit count from the test.
class AnalysisRowsTest : public ::testing::Test
{
protected:
    AnalysisRowsTest() { tables.Setup(GeneralSettings()); }
    ResultTables tables;
};

GasAnalysisResult TwoComponentAnalysis()
{
    GasAnalysisResult result;
    result.rows.push_back({1, "Метан", {10.0, 11.0, 12.0}, {10.5, 11.5, 12.5}, {}, 11.25, 0.5, 1.0, 0.25, true});
    result.rows.push_back({2, "Этан", {20.0, 21.5, 22.0}, {19.5, 21.0, 22.25}, {}, 20.75, 1.5, 2.0, 0.5, false});
    return result;
}

} // namespace

TEST_F(AnalysisRowsTest, gasAnalysisRowsAndTheirSumsForThreeAnalyses)
{
    const Rows rows = tables.gs.analysis.RowsOf(TwoComponentAnalysis(), 3, 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], TableRow({"1", "Метан", "10.000", "11.000", "12.000", "10.500", "11.500", "12.500", "11.250",
                                 "0.500", "1.000", "0.250", "Да"}));
    EXPECT_EQ(rows[1][0], QStringLiteral("2"));
    EXPECT_EQ(rows[1][12], QStringLiteral("Нет"));
    EXPECT_EQ(rows[2], TableRow({"", "Всего:", "30.000", "32.500", "34.000", "30.000", "32.500", "34.750", "32.000",
                                 "", "", "", ""}));
}

TEST_F(AnalysisRowsTest, gasAnalysisWithTwoAnalysesLeavesTheThirdValuesOut)
{
    const Rows rows = tables.gd.analysis.RowsOf(TwoComponentAnalysis(), 2, 2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], TableRow({"1", "Метан", "10.00", "11.00", "10.50", "11.50", "11.25", "0.50", "1.00", "0.25", "Да"}));
    EXPECT_EQ(rows[2], TableRow({"", "Всего:", "30.00", "32.50", "30.00", "32.50", "32.00", "", "", "", ""}));
}

TEST_F(AnalysisRowsTest, aShortSeriesLeavesItsCellsEmptyAndItsSumsShort)
{
    GasAnalysisResult result = TwoComponentAnalysis();
    result.rows[1].rawConc = {20.0};
    result.rows[1].normConc = {};
    const Rows rows = tables.gs.analysis.RowsOf(result, 3, 3);
    EXPECT_EQ(rows[1], TableRow({"2", "Этан", "20.000", "", "", "", "", "", "20.750", "1.500", "2.000", "0.500",
                                 "Нет"}));
    EXPECT_EQ(rows[2], TableRow({"", "Всего:", "30.000", "11.000", "12.000", "10.500", "11.500", "12.500", "32.000",
                                 "", "", "", ""}));
}

TEST_F(AnalysisRowsTest, calibrationShowsTheFirstNFactorsAndNoSummary)
{
    CalibrationResult result;
    result.rows.push_back({1, "Метан", {0.1, 0.2, 0.3, 0.4, 0.5}, {7.0, 8.0}, 85.5, 0.3, 2.0, 3.0, true, {}});
    result.rows.push_back({4, "Азот", {0.125, 0.25}, {}, 2.5, 0.1875, 3.0, 4.0, false, {}});
    EXPECT_EQ(tables.gd.calibration.RowsOf(result, 3, 3),
              Rows({{"1", "Метан", "85.500", "0.100", "0.200", "0.300", "0.300", "2.000", "3.000", "Да"},
                    {"2", "Азот", "2.500", "0.125", "0.250", "", "0.188", "3.000", "4.000", "Нет"}}));
    EXPECT_EQ(tables.gd.calibration.RowsOf(result, 5, 2)[0],
              TableRow({"1", "Метан", "85.50", "0.10", "0.20", "0.30", "0.40", "0.50", "0.30", "2.00", "3.00", "Да"}));
    EXPECT_TRUE(tables.gs.calibration.RowsOf(CalibrationResult(), 3, 3).empty());
}

TEST_F(AnalysisRowsTest, sulphurSummaryTakesTheResultsOwnTotals)
{
    SulphurResult result;
    result.rows.push_back({5, "Сероводород", {1.0, 2.0, 3.0}, 2.0, 0.5, 0.25, 12.0, 20.0, 0.1, 34.08, true});
    result.rows.push_back({6, "Метилмеркаптан", {0.5, 0.75, 1.0}, 0.75, 0.125, 0.0625, 30.0, 20.0, 0.05, 48.1, false});
    result.molConcTotal = 9.5;
    result.mercaptanSulphurTotal = 4.25;
    const Rows rows = tables.dc.sulphur.RowsOf(result, 2, 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], TableRow({"1", "Сероводород", "1.000", "2.000", "2.000", "12.000", "20.000", "Да", "0.100",
                                 "0.500", "0.250"}));
    EXPECT_EQ(rows[1][7], QStringLiteral("Нет"));
    EXPECT_EQ(rows[2], TableRow({"", "Всего:", "1.500", "2.750", "2.750", "", "", "", "", "9.500", "4.250"}));
}

TEST_F(AnalysisRowsTest, emptySulphurResultStillShowsItsSummary)
{
    SulphurResult result;
    result.molConcTotal = 0.75;
    result.mercaptanSulphurTotal = 0.125;
    EXPECT_EQ(tables.gs.sulphur.RowsOf(result, 3, 3),
              Rows({{"", "Всего:", "0.000", "0.000", "0.000", "0.000", "", "", "", "", "0.750", "0.125"}}));
}

TEST_F(AnalysisRowsTest, methanolRowsHaveNoSummary)
{
    GasMethanolResult gas;
    gas.rows.push_back({9, "Метанол", {1.5, 2.5, 3.5}, 2.0, 0.004, 0.003, 4.0, 10.0, 0.2, true});
    EXPECT_EQ(tables.gs.methanol.RowsOf(gas, 2, 3),
              Rows({{"1", "Метанол", "1.500", "2.500", "2.000", "4.000", "10.000", "Да", "0.200", "0.004", "0.003"}}));
    EXPECT_TRUE(tables.gd.methanol.RowsOf(GasMethanolResult(), 3, 3).empty());

    CondensateMethanolResult condensate;
    condensate.rows.push_back({9, "Метанол", {240.0, 260.0, 250.0}, 250.0, 0.031, 8.0, 10.0, 12.0, false});
    EXPECT_EQ(tables.dc.methanol.RowsOf(condensate, 3, 2),
              Rows({{"1", "Метанол", "240.00", "260.00", "250.00", "250.00", "8.00", "10.00", "Нет", "12.00", "0.03"}}));
}

TEST_F(AnalysisRowsTest, condensateSummarySumsTheMeans)
{
    CondensateResult result;
    result.rows.push_back({1, "Метан", {39.0, 41.0}, 40.0, 2.0, 3.0, 0.4, true});
    result.rows.push_back({2, "Этан", {59.0, 61.0}, 60.0, 2.0, 3.0, 0.6, true});
    const Rows rows = tables.dc.c1c5.RowsOf(result, 2, 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], TableRow({"1", "Метан", "39.000", "41.000", "40.000", "2.000", "3.000", "0.400", "Да"}));
    EXPECT_EQ(rows[2], TableRow({"", "Всего:", "98.000", "102.000", "100.000", "", "", "", ""}));
    EXPECT_EQ(tables.dc.groups.RowsOf(CondensateResult(), 3, 1),
              Rows({{"", "Всего:", "0.0", "0.0", "0.0", "0.0", "", "", "", ""}}));
}

TEST_F(AnalysisRowsTest, unsetValuesShowDashesAndSpoilTheirSums)
{
    CondensateResult result;
    result.rows.push_back({1, "С6", {1.0, -DBL_MAX}, -DBL_MAX, 1.0, 2.0, 0.1, true});
    result.rows.push_back({2, "С7", {2.0, 3.0}, 2.5, 1.0, 2.0, 0.1, true});
    const Rows rows = tables.dc.fractions.RowsOf(result, 2, 3);
    EXPECT_EQ(rows[0][3], QStringLiteral("---"));
    EXPECT_EQ(rows[0][4], QStringLiteral("---"));
    EXPECT_EQ(rows[2], TableRow({"", "Всего:", "3.000", "---", "---", "", "", "", ""}));
}
