#include "calc/AccuracyTables.h"

#include <cstddef>
#include <limits>

namespace {

// One concentration range of a table: lo < X <= hi. Comparisons with NaN are
// false, so a NaN mean falls in no range.
struct AccuracyRange {
    double lo;
    double hi;

    constexpr bool Contains(double x) const { return lo < x && x <= hi; }
};

// A range that no X reaches, for a row the calculators never choose.
constexpr AccuracyRange kUnreached{std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity()};

template <typename Row>
struct RangedRow {
    AccuracyRange range;
    Row row;
};

// Each table is written once with its ranges beside its numbers, as printed.

constexpr RangedRow<AccuracyRow> kTable7_10Gs[] = {
    {{0.01, 0.1}, {25, 71, 6.2, 17, 17, 47}},
    {{0.1, 0.5}, {20, 15, 4.9, 3.8, 14, 11}},
    {{0.5, 5}, {13, 1.1, 3.2, 0.33, 9, 0.9}},
};

constexpr RangedRow<AccuracyRow> kTable7_7[] = {
    {{0.0001, 0.002}, {34, 3200, 7.5, 790, 21, 2200}},
    {{0.002, 0.05}, {28, 63, 6, 21, 17, 58}},
    {{0.05, 0.5}, {26, 9, 5, 2, 14, 5.5}},
};

// Row 0 is kept with the table although no range of the check selects it.
constexpr RangedRow<AccuracyRow> kTable8_1[] = {
    {kUnreached, {42, 222, 7, 37, 19, 102}},
    {{0.01, 0.5}, {20, 0, 3, 0, 8, 0}},
    {{0.5, 2.5}, {12, 0, 2, 0, 5.5, 0}},
    {{2.5, 5}, {10, 0, 1.5, 0, 4, 0}},
    {{5, 20}, {8, 0, 1.3, 0, 3.5, 0}},
    {{20, 70}, {5, 0, 1, 0, 3, 0}},
};

// Row 0's r3a looks mistyped but is kept as published.
constexpr RangedRow<AccuracyRow> kTable8_2[] = {
    {{0.0002, 0.001}, {0.00004, 0.64, 0.0000009, 0.13, 0.000025, 0.36}},
    {{0.001, 0.005}, {0.0004, 0.3, 0.00008, 0.06, 0.0002, 0.17}},
    {{0.005, 0.01}, {0.0008, 0.22, 0.0002, 0.04, 0.0006, 0.11}},
    {{0.01, 0.05}, {0.0007, 0.23, 0.0001, 0.05, 0.0003, 0.14}},
    {{0.05, 0.5}, {0.0035, 0.18, 0.0007, 0.04, 0.002, 0.11}},
};

constexpr RangedRow<AccuracyRow> kTable7_10Gd[] = {
    {{0.01, 0.1}, {145, 889, 36, 222, 100, 616}},
    {{0.1, 10}, {56, 1.6, 14, 0.4, 39, 1.1}},
    {{10, 150}, {41, 0.08, 10, 0.02, 28, 0.06}},
    {{150, 250}, {50, 0.14, 13, 0.04, 36, 0.11}},
};

constexpr RangedRow<AccuracyRow> kTable8_7[] = {
    {{0.005, 0.01}, {100, 4000, 17, 667, 47, 1848}},
    {{0.01, 0.1}, {62, 222, 10, 37, 28, 102}},
    {{0.1, 0.5}, {40, 0, 6, 0, 17, 0}},
    {{0.5, 1}, {32, 0, 5, 0, 14, 0}},
    {{1, 2}, {24, 0, 4, 0, 11, 0}},
    {{2, 5}, {20, 0, 3.5, 0, 10, 0}},
    {{5, 10}, {18, 0, 3, 0, 8, 0}},
    {{10, 35}, {14, 0, 2.5, 0, 7, 0}},
};

// Row 0's r2a looks mistyped but is kept as published.
constexpr RangedRow<AccuracyRow> kTable8_8[] = {
    {{0.0002, 0.001}, {0.00002, 0.54, 0.000004, 0.11, 0.0001, 0.31}},
    {{0.001, 0.005}, {0.00012, 0.44, 0.00002, 0.09, 0.00006, 0.25}},
    {{0.005, 0.01}, {0.0018, 0.1, 0.0004, 0.02, 0.001, 0.06}},
    {{0.01, 0.05}, {0.0002, 0.26, 0.00004, 0.05, 0.0001, 0.14}},
    {{0.05, 0.5}, {0.0035, 0.19, 0.0007, 0.04, 0.002, 0.11}},
};

constexpr RangedRow<ShortAccuracyRow> kTable8_9[] = {
    {{2, 1000}, {33, 8, 22}},
};

constexpr RangedRow<ShortAccuracyRow> kTableA_3[] = {
    {{0.01, 0.1}, {0.004, 0.0007, 0.002}},
    {{0.1, 0.5}, {0.02, 0.003, 0.008}},
    {{0.5, 2.5}, {0.04, 0.007, 0.02}},
    {{2.5, 6}, {0.3, 0.05, 0.14}},
};

template <typename Row, std::size_t N>
std::vector<Row> RowsOf(const RangedRow<Row> (&table)[N])
{
    std::vector<Row> rows;
    rows.reserve(N);
    for (const RangedRow<Row>& r : table)
        rows.push_back(r.row);
    return rows;
}

// The size check keeps a look-up made before the vectors are built (from
// another file's static initialiser) from reading an empty vector.
template <typename Row, std::size_t N>
const Row* FindRow(const std::vector<Row>& rows, const RangedRow<Row> (&table)[N], double x)
{
    for (std::size_t i = 0; i < N && i < rows.size(); ++i) {
        if (table[i].range.Contains(x))
            return &rows[i];
    }
    return nullptr;
}

} // namespace

const std::vector<AccuracyRow> NormTable7_10Gs = RowsOf(kTable7_10Gs);
const std::vector<AccuracyRow> NormTable7_7 = RowsOf(kTable7_7);
const std::vector<AccuracyRow> NormTable8_1 = RowsOf(kTable8_1);
const std::vector<AccuracyRow> NormTable8_2 = RowsOf(kTable8_2);
const std::vector<AccuracyRow> NormTable7_10Gd = RowsOf(kTable7_10Gd);
const std::vector<AccuracyRow> NormTable8_7 = RowsOf(kTable8_7);
const std::vector<AccuracyRow> NormTable8_8 = RowsOf(kTable8_8);
const std::vector<ShortAccuracyRow> NormTable8_9 = RowsOf(kTable8_9);
const std::vector<ShortAccuracyRow> NormTableA_3 = RowsOf(kTableA_3);

const AccuracyRow* AccuracyRowGsMethanol(double x) { return FindRow(NormTable7_10Gs, kTable7_10Gs, x); }
const AccuracyRow* AccuracyRowGsSulphur(double x) { return FindRow(NormTable7_7, kTable7_7, x); }
const AccuracyRow* AccuracyRowGdAnalysis(double x) { return FindRow(NormTable8_1, kTable8_1, x); }
const AccuracyRow* AccuracyRowGdSulphur(double x) { return FindRow(NormTable8_2, kTable8_2, x); }
const AccuracyRow* AccuracyRowGdMethanol(double x) { return FindRow(NormTable7_10Gd, kTable7_10Gd, x); }
const AccuracyRow* AccuracyRowC6C44(double x) { return FindRow(NormTable8_7, kTable8_7, x); }
const AccuracyRow* AccuracyRowDcSulphur(double x) { return FindRow(NormTable8_8, kTable8_8, x); }
const ShortAccuracyRow* AccuracyRowDcMethanol(double x) { return FindRow(NormTable8_9, kTable8_9, x); }
const ShortAccuracyRow* AccuracyRowDcC1C5(double x) { return FindRow(NormTableA_3, kTableA_3, x); }

AccuracyValues ReadAccuracyRow(const AccuracyRow& row, AccuracyForm form, double x)
{
    if (form == AccuracyForm::Absolute)
        return {row.Ua + row.Ub * x, row.r3a + row.r3b * x, row.r2a + row.r2b * x};
    return {row.Ua - row.Ub * x, row.r3a - row.r3b * x, row.r2a - row.r2b * x};
}

AccuracyValues ReadAccuracyRow(const ShortAccuracyRow& row)
{
    return {row.U, row.r3, row.r2};
}

std::optional<AccuracyValues> ReadFoundAccuracyRow(const AccuracyRow* row, AccuracyForm form, double x)
{
    if (!row)
        return std::nullopt;
    return ReadAccuracyRow(*row, form, x);
}

std::optional<AccuracyValues> ReadFoundAccuracyRow(const ShortAccuracyRow* row)
{
    if (!row)
        return std::nullopt;
    return ReadAccuracyRow(*row);
}

double AcceptanceLimit(const AccuracyValues& values, int nParallel)
{
    return nParallel == 2 ? values.r : 3.3 * values.s;
}

double AbsoluteUncertainty(const AccuracyValues& values, AccuracyForm form, double x)
{
    return form == AccuracyForm::Relative ? values.u * 0.01 * x : values.u;
}
