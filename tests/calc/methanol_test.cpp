#include <gtest/gtest.h>

#include "calc/Methanol.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

// Expected numbers were worked out by hand from the method's formulas: one
// parallel GsVol1·C / (GsVol2·K·1000) with K = P·293 / ((t + 273)·101.325),
// GdVol1·C / (GdVol2·1000), DcVol1·C / DcVol2; the mean over every parallel;
// mass % X·100 / (ρ·1000) for a gas (ρ in kg/m3) and X·100 / (ρ·1000000)
// for the condensate (ρ in g/cm3); mol % massConc·ρ·24.04 / 32.042; the
// spread n·|max − min|·100 / Σ; tables 7.10 (a − b·X) and 8.9 (constants).

using namespace calc_inputs;

namespace {

enum class Sample { Gs, Gd, Dc };

struct Params
{
    double vol1 = 0.0;      // GsVol1, GdVol1 or DcVol1
    double vol2 = 0.0;      // GsVol2, GdVol2 or DcVol2
    double pressure = 0.0;  // GsPressure
    double temp = 0.0;      // GsTemp
    double density = 0.0;   // the gas analysis's, or DcDensity
};

class MethanolTest : public ::testing::Test
{
protected:
    GasMethanolResult Gas(Sample sample, int count, const Params& p, const KnownPeakMap& peaks)
    {
        settings.general.QtyGsMeth = count;
        settings.general.QtyGdMeth = count;
        settings.params.GsVol1 = p.vol1;
        settings.params.GsVol2 = p.vol2;
        settings.params.GsPressure = p.pressure;
        settings.params.GsTemp = p.temp;
        settings.params.GdVol1 = p.vol1;
        settings.params.GdVol2 = p.vol2;
        return sample == Sample::Gs ? gs.Calculate(peaks, &settings, p.density, env)
                                    : gd.Calculate(peaks, &settings, p.density, env);
    }

    CondensateMethanolResult Condensate(int count, const Params& p, const KnownPeakMap& peaks)
    {
        settings.general.QtyDcMeth = count;
        settings.params.DcVol1 = p.vol1;
        settings.params.DcVol2 = p.vol2;
        settings.params.DcDensity = p.density;
        return dc.Calculate(peaks, &settings, env);
    }

    ReferenceTables tables;
    CSettings settings;
    MessageLog log;
    CalcEnvironment env{log, tables.gas, tables.temp};
    CalcGsMethanol gs;
    CalcGdMethanol gd;
    CalcDcMethanol dc;
};

} // namespace

TEST_F(MethanolTest, separatorGasContentIsReducedToTheMeterConditions)
{
    const GasMethanolResult r = Gas(Sample::Gs, 1, {50, 20, 100, 15, 0.75},
                                    {{13, {ConcPeak("Метанол", 123)}},
                                     {14, {ConcPeak("Метан", 1), ConcPeak("Метанол", 120)}},
                                     {15, {ConcPeak("метанол", 117)}}});
    ASSERT_EQ(r.rows.size(), 1u);
    const GasMethanolRow& row = r.rows[0];
    EXPECT_EQ(row.id, 75);
    EXPECT_EQ(row.name, QString("Метанол"));
    EXPECT_ALL_REL_NEAR(row.conc, {0.30625740614334473, 0.29878771331058024, 0.29131802047781574});
    EXPECT_ALL_REL_NEAR((std::vector<double>{row.mean, row.massConc, row.molConc, row.range, row.norm, row.uncertainty}),
                        {0.29878771331058024, 0.03983836177474403, 0.022417004643862266, 5.0, 12.423202075085324, 0.04636642801831123});
    EXPECT_TRUE(row.ok);
    EXPECT_REL_NEAR(r.methanol, 0.022417004643862266);  // a gas's share is by mole
    EXPECT_TRUE(log.errors().empty());
    EXPECT_EQ(log.infos(), Texts({"ГС Метанол 2: Пик 'Метан' не использован в расчете."}));
}

TEST_F(MethanolTest, degassingGasRunWithoutMethanolCountsAsZero)
{
    const GasMethanolResult r =
        Gas(Sample::Gd, 0, {40, 8, 0, 0, 1.1},
            {{27, {ConcPeak("Метанол", 50)}}, {28, {ConcPeak("Метан", 1)}}, {29, {ConcPeak("Метанол", 52)}}});
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.nParallel, 2);
    const GasMethanolRow& row = r.rows[0];
    EXPECT_ALL_REL_NEAR(row.conc, {0.25, 0.0});
    EXPECT_ALL_REL_NEAR((std::vector<double>{row.mean, row.massConc, row.molConc, row.range, row.norm, row.uncertainty}),
                        {0.125, 0.011363636363636364, 0.009378315960302103, 200.0, 38.8625, 0.06975});
    EXPECT_FALSE(row.ok);
    EXPECT_EQ(log.errors(), Texts({"ГД Метанол 2: Компонент Метанол не найден в наборе хромотограмм."}));
    EXPECT_EQ(log.infos(), Texts({"ГД Метанол 2: Пик 'Метан' не использован в расчете.",
                                  "ГД Метанол 3: Пик 'Метанол' не использован в расчете."}));
}

TEST_F(MethanolTest, condensateMassFractionTakesItsDensityInGramsPerCubicCentimetre)
{
    const CondensateMethanolResult r =
        Condensate(1, {10, 50, 0, 0, 0.72},
                   {{37, {ConcPeak("Метанол", 300)}}, {38, {ConcPeak("Метанол", 310)}}, {39, {ConcPeak("Метан", 1)}}});
    ASSERT_EQ(r.rows.size(), 1u);
    const CondensateMethanolRow& row = r.rows[0];
    EXPECT_ALL_REL_NEAR(row.conc, {60, 62, 0});
    EXPECT_ALL_REL_NEAR((std::vector<double>{row.mean, row.massConc, row.range, row.norm, row.uncertainty}),
                        {40.666666666666664, 0.005648148148148148, 152.45901639344262, 26.4, 13.42});
    EXPECT_FALSE(row.ok);
    EXPECT_REL_NEAR(r.methanol, 0.005648148148148148);  // the condensate's share is by mass
    EXPECT_EQ(log.errors(), Texts({"ДК Метанол 3: Компонент Метанол не найден в наборе хроматограмм."}));
    EXPECT_EQ(log.infos(), Texts({"ДК Метанол 3: Пик 'Метан' не использован в расчете."}));
}

TEST_F(MethanolTest, settingsNeverFilledInAreNamedAndNeverDivide)
{
    const char* outOfGs = "ГС Метанол: Невозможно выполнить проверку по таблице 7.10 для компонента Метанол. Концентрация вне диапазона.";
    struct Unset
    {
        Sample sample;
        Params params;
        double mean;
        std::vector<QString> errors;
    };
    const Unset cases[] = {
        {Sample::Gs, {50, 0, 100, 15, 0.75}, 0,
         Texts({"ГС Метанол: Не задан параметр 'Объём пробы газа сепарации, измеренный газовым счетчиком, дм3'.", outOfGs})},
        {Sample::Gs, {50, 20, 0, 15, 0.75}, 0, Texts({"ГС Метанол: Не задан параметр 'Атмосферное давление, кПа'.", outOfGs})},
        {Sample::Gs, {50, 20, 100, -273, 0.75}, 0,
         Texts({"ГС Метанол: Недопустимое значение параметра 'Температура газа в газовом счетчике, °С'.", outOfGs})},
        // The gas density is the analysis's, not a setting: nothing to name.
        {Sample::Gd, {40, 8, 0, 0, 0}, 1.525, {}},
        {Sample::Dc, {10, 50, 0, 0, 0}, 61, Texts({"ДК Метанол: Не задан параметр 'Плотность дегазированного конденсата, г/см3'."})},
        {Sample::Dc, {10, 0, 0, 0, 0.72}, 0,
         Texts({"ДК Метанол: Не задан параметр 'Объём дегазированного конденсата, взятый для анализа метанола, см3'.",
                "ДК Метанол: Невозможно выполнить проверку по таблице 8.9 для компонента Метанол. Концентрация вне диапазона."})},
    };
    for (const Unset& c : cases) {
        SCOPED_TRACE(&c - cases);
        log.ClearMessages();
        const int first = c.sample == Sample::Gs ? 13 : c.sample == Sample::Gd ? 27 : 37;
        const KnownPeakMap peaks = {{first, {ConcPeak("Метанол", 300)}}, {first + 1, {ConcPeak("Метанол", 310)}}};
        auto expect = [&](const auto& r) {
            ASSERT_EQ(r.rows.size(), 1u);
            EXPECT_REL_NEAR(r.rows[0].mean, c.mean);
            EXPECT_EQ(r.rows[0].massConc, 0.0);
            EXPECT_EQ(r.methanol, 0.0);
            EXPECT_EQ(r.hasError, !c.errors.empty());  // a setting named flags the result
        };
        if (c.sample == Sample::Dc)
            expect(Condensate(0, c.params, peaks));
        else
            expect(Gas(c.sample, 0, c.params, peaks));
        EXPECT_EQ(log.errors(), c.errors);
    }
}

TEST_F(MethanolTest, noMethanolPeakGivesNoRowAndNoWord)
{
    // Settings missing too: nothing needs them.
    const GasMethanolResult r = Gas(Sample::Gs, 1, {}, {{13, {ConcPeak("Метан", 1)}}, {14, {ConcPeak("Этан", 1)}}});
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.nParallel, 3);
    EXPECT_EQ(r.methanol, 0.0);
    EXPECT_FALSE(r.hasError);
    EXPECT_TRUE(log.noMessages());
}

namespace {

// Means on both sides of every bound of the three tables. The sampling
// parameters make one parallel's value its peak concentration; the runs are
// spread ±10 % (two) or ±5 % (three) around the mean.
struct BoundCase
{
    Sample sample;
    int nParallel;
    double mean;
    double range, norm, uncertainty;
    bool ok;
    bool outOfTable;
};

const BoundCase kBounds[] = {
    {Sample::Gs, 2, 0.0099, 20.0, 0.0, 0.0, false, true},
    {Sample::Gs, 3, 0.0101, 10.0, 19.89339, 0.0024525729, true, false},
    {Sample::Gs, 2, 0.099, 20.0, 12.347, 0.01779129, false, false},
    {Sample::Gs, 3, 0.101, 10.0, 14.90346, 0.01866985, true, false},
    {Sample::Gs, 2, 0.49, 20.0, 8.61, 0.061985, false, false},
    {Sample::Gs, 3, 0.51, 10.0, 10.00461, 0.0634389, true, false},
    {Sample::Gs, 2, 4.9, 20.0, 4.59, 0.37289, false, false},
    {Sample::Gs, 3, 5.1, 10.0, 0.0, 0.0, false, true},
    {Sample::Gd, 3, 0.0099, 10.0, 0.0, 0.0, false, true},
    {Sample::Gd, 2, 0.0101, 20.0, 93.7784, 0.0137381311, true, false},
    {Sample::Gd, 3, 0.099, 10.0, 46.2726, 0.05641911, true, false},
    {Sample::Gd, 2, 0.101, 20.0, 38.8889, 0.056396784, true, false},
    {Sample::Gd, 3, 9.9, 10.0, 33.132, 3.97584, true, false},
    {Sample::Gd, 2, 10.1, 20.0, 27.394, 4.059392, true, false},
    {Sample::Gd, 3, 149, 10.0, 23.166, 43.3292, true, false},
    {Sample::Gd, 2, 151, 20.0, 19.39, 43.5786, false, false},
    {Sample::Gd, 3, 249, 10.0, 10.032, 37.6986, true, false},
    {Sample::Gd, 2, 251, 20.0, 0.0, 0.0, false, true},
    {Sample::Dc, 2, 1.9, 20.0, 0.0, 0.0, false, true},
    {Sample::Dc, 3, 2.1, 10.0, 26.4, 0.693, true, false},
    {Sample::Dc, 2, 999, 20.0, 22.0, 329.67, true, false},
    {Sample::Dc, 3, 1001, 10.0, 0.0, 0.0, false, true},
};

class MethanolTableTest : public MethanolTest, public ::testing::WithParamInterface<BoundCase>
{
};

} // namespace

TEST_P(MethanolTableTest, meanChoosesTheRowOrFallsOutOfTheTable)
{
    const BoundCase& b = GetParam();
    const int first = b.sample == Sample::Gs ? 13 : b.sample == Sample::Gd ? 27 : 37;
    const std::vector<double> spread = b.nParallel == 2 ? std::vector<double>{1.1, 0.9} : std::vector<double>{1.05, 1.0, 0.95};
    KnownPeakMap peaks;
    for (std::size_t i = 0; i < spread.size(); ++i)
        peaks[first + static_cast<int>(i)] = {ConcPeak("Метанол", b.mean * spread[i])};
    const int count = b.nParallel == 3 ? 1 : 0;

    auto expect = [&](const auto& r, const char* outOfTable) {
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_REL_NEAR(r.rows[0].mean, b.mean);
        EXPECT_REL_NEAR(r.rows[0].range, b.range);
        EXPECT_REL_NEAR(r.rows[0].norm, b.norm);
        EXPECT_REL_NEAR(r.rows[0].uncertainty, b.uncertainty);
        EXPECT_EQ(r.rows[0].ok, b.ok);
        EXPECT_EQ(log.errors(), b.outOfTable ? Texts({outOfTable}) : std::vector<QString>{});
    };
    // 101.325 kPa and 20 °C make the meter's factor 1.
    if (b.sample == Sample::Gs)
        expect(Gas(b.sample, count, {1000, 1, 101.325, 20, 1}, peaks),
               "ГС Метанол: Невозможно выполнить проверку по таблице 7.10 для компонента Метанол. Концентрация вне диапазона.");
    else if (b.sample == Sample::Gd)
        expect(Gas(b.sample, count, {1000, 1, 0, 0, 1}, peaks),
               "ГД Метанол: Невозможно выполнить проверку по таблице 7.10 для компонента Метанол. Концентрация вне диапазона.");
    else
        expect(Condensate(count, {1, 1, 0, 0, 1}, peaks),
               "ДК Метанол: Невозможно выполнить проверку по таблице 8.9 для компонента Метанол. Концентрация вне диапазона.");
}

INSTANTIATE_TEST_SUITE_P(Bounds, MethanolTableTest, ::testing::ValuesIn(kBounds));
