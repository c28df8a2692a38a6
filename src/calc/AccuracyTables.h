#pragma once

#include <optional>
#include <vector>

// Accuracy tables of "СТО Газпром 5.40 2011": per concentration range, the
// uncertainty and the repeatability figures that the calculators check the
// parallel runs against. Constant data, filled before main() and never changed.

// Three linear functions of the mean concentration X; a table reads them
// either as a − b·X or as a + b·X (see AccuracyForm).
struct AccuracyRow {
    double Ua;   // uncertainty U
    double Ub;
    double r3a;  // repeatability standard deviation; three runs accept 3.3 times it
    double r3b;
    double r2a;  // repeatability limit of two runs
    double r2b;
};

// The same three quantities as constants.
struct ShortAccuracyRow {
    double U;
    double r3;
    double r2;
};

// How the numbers of a table are read.
enum class AccuracyForm {
    Relative,  // a − b·X, each value in percent of X
    Absolute,  // a + b·X, each value in the unit of X
};

extern const std::vector<AccuracyRow> NormTable7_10Gs;      // 7.10, separator gas; ГС methanol
extern const std::vector<AccuracyRow> NormTable7_7;         // ГС sulphur compounds
extern const std::vector<AccuracyRow> NormTable8_1;         // ГД analysis check
extern const std::vector<AccuracyRow> NormTable8_2;         // ГД sulphur compounds
extern const std::vector<AccuracyRow> NormTable7_10Gd;      // 7.10, degassing gas; ГД methanol
extern const std::vector<AccuracyRow> NormTable8_7;         // ДК С6-С44 fractions and groups
extern const std::vector<AccuracyRow> NormTable8_8;         // ДК sulphur compounds
extern const std::vector<ShortAccuracyRow> NormTable8_9;    // ДК methanol
extern const std::vector<ShortAccuracyRow> NormTableA_3;    // ДК C1-C5

inline constexpr AccuracyForm NormForm7_10Gs = AccuracyForm::Relative;
inline constexpr AccuracyForm NormForm7_7 = AccuracyForm::Relative;
inline constexpr AccuracyForm NormForm8_1 = AccuracyForm::Relative;
inline constexpr AccuracyForm NormForm8_2 = AccuracyForm::Absolute;
inline constexpr AccuracyForm NormForm7_10Gd = AccuracyForm::Relative;
inline constexpr AccuracyForm NormForm8_7 = AccuracyForm::Relative;
inline constexpr AccuracyForm NormForm8_8 = AccuracyForm::Absolute;
inline constexpr AccuracyForm NormForm8_9 = AccuracyForm::Relative;
inline constexpr AccuracyForm NormFormA_3 = AccuracyForm::Absolute;

// Row look-ups by the mean concentration X: the row of the table whose range
// holds X (lower bound excluded, upper included), or nullptr when X lies in no
// range (NaN included); the calculator then reports the concentration as out
// of range. The returned pointer points into the table.
const AccuracyRow* AccuracyRowGsMethanol(double x);   // NormTable7_10Gs
const AccuracyRow* AccuracyRowGsSulphur(double x);    // NormTable7_7
const AccuracyRow* AccuracyRowGdAnalysis(double x);   // NormTable8_1; its row 0 is never chosen
const AccuracyRow* AccuracyRowGdSulphur(double x);    // NormTable8_2
const AccuracyRow* AccuracyRowGdMethanol(double x);   // NormTable7_10Gd
const AccuracyRow* AccuracyRowC6C44(double x);        // NormTable8_7
const AccuracyRow* AccuracyRowDcSulphur(double x);    // NormTable8_8
const ShortAccuracyRow* AccuracyRowDcMethanol(double x);  // NormTable8_9
const ShortAccuracyRow* AccuracyRowDcC1C5(double x);      // NormTableA_3

// A row read at X: uncertainty u, repeatability standard deviation s and the
// two-run limit r, in percent of X for a relative table, else in the unit of X.
struct AccuracyValues {
    double u = 0.0;
    double s = 0.0;
    double r = 0.0;
};

AccuracyValues ReadAccuracyRow(const AccuracyRow& row, AccuracyForm form, double x);
AccuracyValues ReadAccuracyRow(const ShortAccuracyRow& row);
// The same for the row a lookup found; nothing when it found none.
std::optional<AccuracyValues> ReadFoundAccuracyRow(const AccuracyRow* row, AccuracyForm form, double x);
std::optional<AccuracyValues> ReadFoundAccuracyRow(const ShortAccuracyRow* row);

// The limit the spread of n runs is held to: r for two runs, otherwise 3.3·s.
// Same unit as the values (relative spread for a relative table).
double AcceptanceLimit(const AccuracyValues& values, int nParallel);

// The uncertainty in the unit of X: u·0.01·X for a relative table, u as it is
// for an absolute one.
double AbsoluteUncertainty(const AccuracyValues& values, AccuracyForm form, double x);
