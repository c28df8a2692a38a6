#include <gtest/gtest.h>

#include "calc/SulphurCompounds.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

// Expected numbers were worked out by hand: conc = C / (ρ·10000); the mean
// over every parallel; molConc = mean·ρ·24.04 / M (gas) or mean·DcAvg / M
// (condensate); mercaptan sulphur mean·32.06 / M; the spread |max − min|·300 / Σ
// for the separator gas (table 7.7, a − b·X) and |max − min| for the others
// (tables 8.2 and 8.8, a + b·X).

using namespace calc_inputs;

namespace {

enum class Sample { Gs, Gd, Dc };

class SulphurTest : public ::testing::Test
{
protected:
    SulphurTest() { settings.params.DcAvg = 120.0; }

    SulphurResult Run(Sample sample, const KnownPeakMap& peaks, double density)
    {
        if (sample == Sample::Gs)
            return gs.Calculate(peaks, &settings, density, env);
        if (sample == Sample::Gd)
            return gd.Calculate(peaks, &settings, density, env);
        settings.params.DcDensity = density;
        return dc.Calculate(peaks, &settings, env);
    }

    ReferenceTables tables;
    CSettings settings;
    MessageLog log;
    CalcEnvironment env{log, tables.gas, tables.temp};
    CalcGsSulphur gs;
    CalcGdSulphur gd;
    CalcDcSulphur dc;
};

// A mean on either side of every bound; with ρ 1 the runs are spread ±10 %
// (two) or ±5 % (three) around it.
struct Bound
{
    Sample sample;
    int nParallel;
    double mean, range, norm, uncertainty;
    bool ok, outOfTable;
};

const Bound kBounds[] = {
    {Sample::Gs, 3, 9e-05, 10.0, 0.0, 0.0, false, true},
    {Sample::Gs, 3, 0.00011, 10.0, 24.46323, 3.70128e-05, true, false},
    {Sample::Gs, 3, 0.0019, 10.0, 19.7967, 0.00053048, true, false},
    {Sample::Gs, 3, 0.0021, 10.0, 19.65447, 0.0005852217, true, false},
    {Sample::Gs, 3, 0.049, 10.0, 16.4043, 0.01220737, true, false},
    {Sample::Gs, 3, 0.051, 10.0, 16.1634, 0.01302591, true, false},
    {Sample::Gs, 3, 0.49, 10.0, 13.266, 0.105791, true, false},
    {Sample::Gs, 3, 0.51, 10.0, 0.0, 0.0, false, true},
    {Sample::Gd, 2, 0.00019, 3.8e-05, 0.0, 0.0, false, true},
    {Sample::Gd, 3, 0.00021, 2.1e-05, 9.306e-05, 0.0001744, true, false},
    {Sample::Gd, 2, 0.00099, 0.000198, 0.0003814, 0.0006736, true, false},
    {Sample::Gd, 3, 0.0011, 0.00011, 0.0004818, 0.00073, true, false},
    {Sample::Gd, 2, 0.0049, 0.00098, 0.001033, 0.00187, true, false},
    {Sample::Gd, 3, 0.0051, 0.00051, 0.0013332, 0.001922, true, false},
    {Sample::Gd, 2, 0.0099, 0.00198, 0.001689, 0.002978, false, false},
    {Sample::Gd, 3, 0.011, 0.0011, 0.002145, 0.00323, true, false},
    {Sample::Gd, 2, 0.049, 0.0098, 0.00716, 0.01197, false, false},
    {Sample::Gd, 3, 0.051, 0.0051, 0.009042, 0.01268, true, false},
    {Sample::Gd, 2, 0.49, 0.098, 0.0559, 0.0917, false, false},
    {Sample::Gd, 3, 0.51, 0.051, 0.0, 0.0, false, true},
    {Sample::Dc, 3, 0.00019, 1.9e-05, 0.0, 0.0, false, true},
    {Sample::Dc, 2, 0.00021, 4.2e-05, 0.0001651, 0.0001334, true, false},
    {Sample::Dc, 3, 0.00099, 9.9e-05, 0.00037257, 0.0005546, true, false},
    {Sample::Dc, 2, 0.0011, 0.00022, 0.000335, 0.000604, true, false},
    {Sample::Dc, 3, 0.0049, 0.00049, 0.0015213, 0.002276, true, false},
    {Sample::Dc, 2, 0.0051, 0.00102, 0.001306, 0.00231, true, false},
    {Sample::Dc, 3, 0.0099, 0.00099, 0.0019734, 0.00279, true, false},
    {Sample::Dc, 2, 0.011, 0.0022, 0.00164, 0.00306, false, false},
    {Sample::Dc, 3, 0.049, 0.0049, 0.008217, 0.01294, true, false},
    {Sample::Dc, 2, 0.051, 0.0102, 0.00761, 0.01319, false, false},
    {Sample::Dc, 3, 0.49, 0.049, 0.06699, 0.0966, true, false},
    {Sample::Dc, 2, 0.51, 0.102, 0.0, 0.0, false, true},
};

class SulphurTableTest : public SulphurTest, public ::testing::WithParamInterface<Bound>
{
};

} // namespace

TEST_P(SulphurTableTest, meanChoosesTheRowOrFallsOutOfTheTable)
{
    const Bound& b = GetParam();
    const int first = b.sample == Sample::Gs ? 10 : b.sample == Sample::Gd ? 24 : 34;
    const std::vector<double> spread = b.nParallel == 2 ? std::vector<double>{1.1, 0.9} : std::vector<double>{1.05, 1.0, 0.95};
    KnownPeakMap peaks;
    for (std::size_t i = 0; i < spread.size(); ++i)
        peaks[first + static_cast<int>(i)] = {ConcPeak("Сульфид водорода", b.mean * spread[i] * 10000)};
    settings.general.QtyGdSss = settings.general.QtyDcSss = b.nParallel == 3 ? 1 : 0;

    const SulphurResult r = Run(b.sample, peaks, 1.0);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.nParallel, b.nParallel);
    EXPECT_REL_NEAR(r.rows[0].mean, b.mean);
    EXPECT_REL_NEAR(r.rows[0].range, b.range);
    EXPECT_REL_NEAR(r.rows[0].norm, b.norm);
    EXPECT_REL_NEAR(r.rows[0].uncertainty, b.uncertainty);
    EXPECT_EQ(r.rows[0].ok, b.ok);
    const char* texts[] = {
        "ГС CCC: Невозможно выполнить проверку по таблице 7.7 для компонента Сульфид водорода. Концентрация вне диапазона.",
        "ГД ССС: Невозможно выполнить проверку по таблице 8.2 для компонента Сульфид водорода. Концентрация вне диапазона.",
        "ДК ССС: Невозможно выполнить проверку по таблице 8.8 для компонента Сульфид водорода. Концентрация вне диапазона.",
    };
    EXPECT_EQ(log.errors(), b.outOfTable ? Texts({texts[static_cast<int>(b.sample)]}) : std::vector<QString>{});
}

INSTANTIATE_TEST_SUITE_P(Bounds, SulphurTableTest, ::testing::ValuesIn(kBounds));

TEST_F(SulphurTest, separatorGasRowsFollowTheCompoundListAndKeepEachRunInPlace)
{
    // The second run is not there; the third lacks methanethiol.
    const KnownPeakMap peaks = {{10, {ConcPeak("Метан", 5), ConcPeak("Метантиол", 16), ConcPeak("сульфид водорода", 80)}},
                                {12, {ConcPeak("Сульфид водорода", 72)}}};
    SulphurResult r = Run(Sample::Gs, peaks, 0.8);

    ASSERT_EQ(Names(r.rows), QStringList({"Сульфид водорода", "Метантиол"}));
    EXPECT_EQ(r.rows[0].id, 79);
    EXPECT_REL_NEAR(r.rows[0].molarMass, 34.082);
    EXPECT_ALL_REL_NEAR(r.rows[0].conc, {0.01, 0.0, 0.009});
    EXPECT_ALL_REL_NEAR(r.rows[1].conc, {0.002, 0.0, 0.0});
    const double expected[2][7] = {
        // mean, molConc, mercaptan sulphur, range, norm, uncertainty, ok
        {0.006333333333333333, 0.0035738121784715297, 0.0, 157.89473684210526, 19.3611, 0.0017480633333333332, 0},
        {0.0006666666666666666, 0.00026650592058312026, 0.00044426891711183634, 300.0, 23.012, 0.00021244444444444444, 0},
    };
    for (std::size_t i = 0; i < 2; ++i) {
        const SulphurRow& row = r.rows[i];
        EXPECT_ALL_REL_NEAR((std::vector<double>{row.mean, row.molConc, row.mercaptanSulphur, row.range, row.norm,
                                                 row.uncertainty, row.ok ? 1.0 : 0.0}),
                            std::vector<double>(expected[i], expected[i] + 7));
    }
    EXPECT_REL_NEAR(r.molConcTotal, 0.00384031809905465);
    EXPECT_REL_NEAR(r.mercaptanSulphurTotal, 0.00044426891711183634);
    EXPECT_EQ(log.errors(), Texts({"ГС ССС 3: Компонент Метантиол не найден в наборе хроматограмм."}));
    EXPECT_EQ(log.infos(), Texts({"ГС ССС 1: Пик 'Метан' не использован в расчете."}));

    // An analysis without rows gives no density: nothing is counted, every compound falls out of the table.
    log.ClearMessages();
    r = Run(Sample::Gs, peaks, 0.0);
    EXPECT_ALL_REL_NEAR(r.rows[0].conc, {0, 0, 0});
    EXPECT_EQ(r.molConcTotal, 0.0);
    EXPECT_EQ(log.errors(), Texts({
        "ГС CCC: Невозможно выполнить проверку по таблице 7.7 для компонента Сульфид водорода. Концентрация вне диапазона.",
        "ГС ССС 3: Компонент Метантиол не найден в наборе хроматограмм.",
        "ГС CCC: Невозможно выполнить проверку по таблице 7.7 для компонента Метантиол. Концентрация вне диапазона.",
    }));
}

TEST_F(SulphurTest, condensateMolesComeFromItsMeanMolarMassAndNeedItsDensity)
{
    const KnownPeakMap peaks = {{34, {ConcPeak("Сульфид водорода", 1.65), ConcPeak("Этантиол", 75)}},
                                {35, {ConcPeak("Сульфид водорода", 1.5), ConcPeak("Этантиол", 73.5)}},
                                {36, {ConcPeak("Сульфид водорода", 1)}}};  // beyond two parallels
    SulphurResult r = Run(Sample::Dc, peaks, 0.75);

    EXPECT_EQ(r.nParallel, 2);
    ASSERT_EQ(Names(r.rows), QStringList({"Сульфид водорода", "Этантиол"}));
    EXPECT_ALL_REL_NEAR(r.rows[1].conc, {0.01, 0.0098});
    EXPECT_REL_NEAR(r.rows[0].molConc, 0.0007393932280969427);
    EXPECT_REL_NEAR(r.rows[1].molConc, 0.019121197489135683);
    EXPECT_REL_NEAR(r.mercaptanSulphurTotal, 0.005108546595847417);
    EXPECT_REL_NEAR(r.molConcTotal, 0.019860590717232625);
    EXPECT_TRUE(log.errors().empty());
    EXPECT_FALSE(r.hasError);
    EXPECT_EQ(log.infos(), Texts({"ДК ССС 3: Пик 'Сульфид водорода' не использован в расчете."}));

    // A density and a molar mass never filled in are named once and flag the
    // result; nothing divides by them.
    log.ClearMessages();
    settings.params.DcAvg = 0.0;
    r = Run(Sample::Dc, peaks, 0.0);
    EXPECT_TRUE(r.hasError);
    EXPECT_ALL_REL_NEAR(r.rows[1].conc, {0, 0});
    EXPECT_EQ(r.mercaptanSulphurTotal, 0.0);
    EXPECT_EQ(log.errors(), Texts({
        "ДК ССС: Не задан параметр 'Плотность дегазированного конденсата, г/см3'.",
        "ДК ССС: Не задан параметр 'Средняя молярная масса дегазированного конденсата, г/моль'.",
        "ДК ССС: Невозможно выполнить проверку по таблице 8.8 для компонента Сульфид водорода. Концентрация вне диапазона.",
        "ДК ССС: Невозможно выполнить проверку по таблице 8.8 для компонента Этантиол. Концентрация вне диапазона.",
    }));
    // Without the molar mass alone the mass % stand and every mole % is 0.
    log.ClearMessages();
    r = Run(Sample::Dc, peaks, 0.75);
    EXPECT_ALL_REL_NEAR(r.rows[1].conc, {0.01, 0.0098});
    EXPECT_EQ(r.molConcTotal, 0.0);
    EXPECT_EQ(log.errors(), Texts({"ДК ССС: Не задан параметр 'Средняя молярная масса дегазированного конденсата, г/моль'."}));
    EXPECT_TRUE(r.hasError);
    // With no compound found there is nothing to name.
    log.ClearMessages();
    EXPECT_FALSE(Run(Sample::Dc, {{34, {ConcPeak("Метан", 1)}}}, 0.0).hasError);
    EXPECT_TRUE(log.errors().empty());
}
