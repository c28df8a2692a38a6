#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include "calc/AccuracyTables.h"

namespace {

void ExpectClose(double actual, double expected)
{
    const double tolerance = std::max(1e-12 * std::fabs(expected), 1e-15);
    EXPECT_NEAR(actual, expected, tolerance);
}

template <typename Row>
int IndexIn(const std::vector<Row>& table, const Row* row)
{
    return row ? static_cast<int>(row - table.data()) : -1;
}

template <typename Row>
using Lookup = const Row* (*)(double);

// bounds = {lowest bound, upper bound of row first, of row first+1, ...}.
// Checks the table holds exactly those rows, that the lowest bound and
// everything above the last bound fall in no row, and that each row starts
// just above its lower bound and ends on its upper one.
template <typename Row>
void ExpectRanges(const std::vector<Row>& table, Lookup<Row> lookup,
                  std::initializer_list<double> bounds, int first = 0)
{
    const std::vector<double> b(bounds);
    EXPECT_EQ(table.size(), first + b.size() - 1);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(IndexIn(table, lookup(b.front())), -1) << "at the lowest bound " << b.front();
    for (std::size_t k = 1; k < b.size(); ++k) {
        const int row = first + static_cast<int>(k) - 1;
        EXPECT_EQ(IndexIn(table, lookup(std::nextafter(b[k - 1], inf))), row) << "just above " << b[k - 1];
        EXPECT_EQ(IndexIn(table, lookup(b[k])), row) << "at " << b[k];
    }
    EXPECT_EQ(IndexIn(table, lookup(std::nextafter(b.back(), inf))), -1) << "just above " << b.back();
    EXPECT_EQ(lookup(0.0), nullptr);
    EXPECT_EQ(lookup(-1.0), nullptr);
    EXPECT_EQ(lookup(inf), nullptr);
    EXPECT_EQ(lookup(-inf), nullptr);
    EXPECT_EQ(lookup(std::numeric_limits<double>::quiet_NaN()), nullptr);
}

struct Expected {
    double u;          // as the table gives it
    double limit2;
    double limit3;
    double absoluteU;  // in the unit of X
};

AccuracyValues Read(const AccuracyRow& row, AccuracyForm form, double x) { return ReadAccuracyRow(row, form, x); }
AccuracyValues Read(const ShortAccuracyRow& row, AccuracyForm, double) { return ReadAccuracyRow(row); }

template <typename Row>
void ExpectReading(const Row* row, AccuracyForm form, double x, const Expected& e)
{
    ASSERT_NE(row, nullptr) << "no row for " << x;
    const AccuracyValues v = Read(*row, form, x);
    ExpectClose(v.u, e.u);
    ExpectClose(AcceptanceLimit(v, 2), e.limit2);
    ExpectClose(AcceptanceLimit(v, 3), e.limit3);
    ExpectClose(AbsoluteUncertainty(v, form, x), e.absoluteU);
}

} // namespace

TEST(AccuracyTablesRanges, chooseRowsOpenBelowClosedAbove)
{
    ExpectRanges(NormTable7_10Gs, &AccuracyRowGsMethanol, {0.01, 0.1, 0.5, 5});
    ExpectRanges(NormTable7_7, &AccuracyRowGsSulphur, {0.0001, 0.002, 0.05, 0.5});
    ExpectRanges(NormTable8_1, &AccuracyRowGdAnalysis, {0.01, 0.5, 2.5, 5, 20, 70}, 1);
    ExpectRanges(NormTable8_2, &AccuracyRowGdSulphur, {0.0002, 0.001, 0.005, 0.01, 0.05, 0.5});
    ExpectRanges(NormTable7_10Gd, &AccuracyRowGdMethanol, {0.01, 0.1, 10, 150, 250});
    ExpectRanges(NormTable8_7, &AccuracyRowC6C44, {0.005, 0.01, 0.1, 0.5, 1, 2, 5, 10, 35});
    ExpectRanges(NormTable8_8, &AccuracyRowDcSulphur, {0.0002, 0.001, 0.005, 0.01, 0.05, 0.5});
    ExpectRanges(NormTable8_9, &AccuracyRowDcMethanol, {2, 1000});
    ExpectRanges(NormTableA_3, &AccuracyRowDcC1C5, {0.01, 0.1, 0.5, 2.5, 6});
}

TEST(AccuracyTablesRanges, gdAnalysisNeverChoosesTheFirstRowOfItsTable)
{
    // The row stays in the table with its numbers, but no mean reaches it.
    ExpectClose(NormTable8_1[0].Ua, 42);
    ExpectClose(NormTable8_1[0].r2b, 102);
    for (double x : {0.0001, 0.005, 0.01, 70.5, 100.0})
        EXPECT_EQ(AccuracyRowGdAnalysis(x), nullptr) << x;
}

TEST(AccuracyTablesValues, keepTheTwoSuspectCoefficientsAsPublished)
{
    ExpectClose(NormTable8_2[0].r3a, 0.0000009);
    ExpectClose(NormTable8_8[0].r2a, 0.0001);
}

TEST(AccuracyTablesValues, relativeTablesReadAMinusBXInPercentOfX)
{
    ExpectReading(AccuracyRowGsMethanol(0.3), NormForm7_10Gs, 0.3, {15.5, 10.7, 12.408, 0.0465});
    ExpectReading(AccuracyRowGsSulphur(0.001), NormForm7_7, 0.001, {30.8, 18.8, 22.143, 0.000308});
    ExpectReading(AccuracyRowGdAnalysis(10), NormForm8_1, 10, {8, 3.5, 4.29, 0.8});
    ExpectReading(AccuracyRowGdMethanol(5), NormForm7_10Gd, 5, {48, 33.5, 39.6, 2.4});
    ExpectReading(AccuracyRowGdMethanol(200), NormForm7_10Gd, 200, {22, 14, 16.5, 44});
    ExpectReading(AccuracyRowC6C44(0.05), NormForm8_7, 0.05, {50.9, 22.9, 26.895, 0.02545});
    ExpectReading(AccuracyRowC6C44(1.05), NormForm8_7, 1.05, {24, 11, 13.2, 0.252});
}

TEST(AccuracyTablesValues, absoluteTablesReadAPlusBXInTheUnitOfX)
{
    ExpectReading(AccuracyRowGdSulphur(0.02), NormForm8_2, 0.02, {0.0053, 0.0031, 0.00363, 0.0053});
    ExpectReading(AccuracyRowGdSulphur(0.0005), NormForm8_2, 0.0005, {0.00036, 0.000205, 0.00021747, 0.00036});
    ExpectReading(AccuracyRowDcSulphur(0.0005), NormForm8_8, 0.0005, {0.00029, 0.000255, 0.0001947, 0.00029});
}

TEST(AccuracyTablesValues, shortRowsAreConstants)
{
    // Table 8.9 is relative: U 33 % of X.
    ExpectReading(AccuracyRowDcMethanol(50), NormForm8_9, 50, {33, 22, 26.4, 16.5});
    // Table A.3 is absolute.
    ExpectReading(AccuracyRowDcC1C5(3), NormFormA_3, 3, {0.3, 0.14, 0.165, 0.3});
    ExpectReading(AccuracyRowDcC1C5(0.05), NormFormA_3, 0.05, {0.004, 0.002, 0.00231, 0.004});
}

TEST(AccuracyTablesValues, anyCountButTwoUsesThreePointThreeTimesS)
{
    const AccuracyValues v{10, 2, 7};
    ExpectClose(AcceptanceLimit(v, 2), 7);
    ExpectClose(AcceptanceLimit(v, 3), 6.6);
    ExpectClose(AcceptanceLimit(v, 5), 6.6);
    ExpectClose(AcceptanceLimit(v, 1), 6.6);
}
