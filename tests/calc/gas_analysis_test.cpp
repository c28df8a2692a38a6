#include <gtest/gtest.h>

#include "calc/GasAnalysis.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

// Expected numbers were worked out by hand: raw = area·Kavr, normalised to 100
// within each parallel, final = (100 − S − M)·norm / 100, range =
// |max − min|·n·100 / Σfinal, the limits of the accuracy tables, and the density
// ΣxM·P / (R·293.15·(1 − (Σx·b)²)) with the catalogue's molar masses and
// summation factors.

using namespace calc_inputs;

namespace {

PeakItem P(const char* name, double area)
{
    PeakItem item;
    item.name = QString::fromUtf8(name);
    item.area = area;
    return item;
}

CalibrationRow Factor(int id, const char* name, double Kavr)
{
    CalibrationRow row;
    row.id = id;
    row.name = QString::fromUtf8(name);
    row.Kavr = Kavr;
    return row;
}

struct Checked
{
    double mean, range, norm, uncertainty;
    bool ok;
};

void ExpectChecked(const GasAnalysisResult& result, std::initializer_list<Checked> rows)
{
    ASSERT_EQ(result.rows.size(), rows.size());
    std::size_t i = 0;
    for (const Checked& e : rows) {
        const GasAnalysisRow& row = result.rows[i++];
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_REL_NEAR(row.mean, e.mean);
        EXPECT_REL_NEAR(row.range, e.range);
        EXPECT_REL_NEAR(row.norm, e.norm);
        EXPECT_REL_NEAR(row.uncertainty, e.uncertainty);
        EXPECT_EQ(row.ok, e.ok);
    }
}

GasAnalysisResult Normalised(int nParallel, std::initializer_list<std::pair<int, std::vector<double>>> rows)
{
    GasAnalysisResult result;
    result.nParallel = nParallel;
    for (const auto& [id, conc] : rows) {
        GasAnalysisRow row;
        row.id = id;
        row.name = QString::number(id);
        row.normConc = conc;
        result.rows.push_back(row);
    }
    return result;
}

class GasAnalysisTest : public ::testing::Test
{
protected:
    ReferenceTables tables;
    CSettings settings;
    MessageLog log;
    CalcEnvironment env{log, tables.gas, tables.temp};
};

} // namespace

TEST_F(GasAnalysisTest, separatorGasOfThreeParallels)
{
    settings.general.QtyGsRegular = 1;
    settings.params.GsPressure = 101.325;
    const KnownPeakMap peaks = {
        {2, {P("Метан", 1000), P("Этан", 100), P("Азот", 250), P("Группа С6", 500), P("Аргон", 10)}},
        {3, {P("Метан", 1004), P("Этан", 97.5), P("Азот", 280), P("Группа С6", 510), P("Аргон", 10), P("Кислород", 3)}},
        {4, {P("Метан", 1000), P("Этан", 100), P("Азот", 250), P("Группа С6", 505), P("Аргон", 10)}},
        {5, {P("Метан", 1)}},  // a calibration run: not this calculator's
    };
    CalcGsAnalysis analysis;
    GasAnalysisResult r = analysis.Calculate(peaks, &settings,
                                             {Factor(1, "Метан", 0.08), Factor(2, "Этан", 0.05), Factor(88, "Азот", 0.004),
                                              Factor(9, "н-Гексан", 0.0002), Factor(87, "Аргон", 0.01), Factor(3, "Пропан", 0.01)},
                                             env);

    // Пропан has no peak: no row. н-Гексан's factor serves the merged group.
    EXPECT_EQ(Names(r.rows), QStringList({"Метан", "Этан", "Азот", "Группа С6", "Аргон"}));
    EXPECT_EQ(r.nParallel, 3);
    EXPECT_EQ(r.rows[3].id, 99);
    EXPECT_REL_NEAR(r.density, 0.7125025586613439);
    EXPECT_ALL_REL_NEAR(r.rows[0].rawConc, {80.0, 80.32, 80.0});
    EXPECT_ALL_REL_NEAR(r.rows[0].normConc, {92.80742459396753, 92.8372458591953, 92.80634795420008});
    EXPECT_ALL_REL_NEAR(r.rows[3].rawConc, {0.1, 0.102, 0.101});
    EXPECT_ALL_REL_NEAR(r.rows[0].finalConc, {0, 0, 0});  // until the check
    EXPECT_EQ(log.infos(), Texts({"ГС Анализ 2: Пик 'Кислород' не использован в расчете."}));

    CheckGsAnalysis(r, 0.5, 0.3, log);
    ExpectChecked(r, {
        {92.07447008670135, 0.03328905583317818, 0.5392339897110842, 1.8408526004621817, true},
        {5.699235599524134, 2.884727633539185, 2.867428017996118, 0.2988714000377691, false},
        {1.1952659007995259, 11.159709992562624, 10.761124505472313, 0.17838459896539724, false},
        {0.11608820476220705, 1.6121630268768905, 22.074399266852755, 0.03240069659737794, true},
        {0.11494020821280508, 0.36685144771239847, 0.0, 0.0, false},  // no table row
    });
    EXPECT_ALL_REL_NEAR(r.rows[1].finalConc, {5.7540603248259865, 5.589652900586011, 5.753993573160406});
    EXPECT_TRUE(log.errors().empty());
    EXPECT_EQ(log.warnings(), Texts({
        "ГС Анализ: Невозможно выполнить проверку по таблице 7.4 для компонента Аргон. Компонент отсутствует в таблице.",
    }));
}

TEST_F(GasAnalysisTest, degassingGasOfTwoParallels)
{
    settings.params.GdPressure = 99.8;
    settings.params.GsPressure = 50.0;  // not this gas's
    const KnownPeakMap peaks = {
        {16, {P("Метан", 6000), P("Этан", 300), P("Пропан", 400), P("Азот", 300), P("н-Бутан", 200),
              P("Диоксид углерода", 650), P("Водород", 5)}},
        {17, {P("Метан", 6040), P("Этан", 317), P("Пропан", 421), P("Азот", 318), P("н-Бутан", 205),
              P("Диоксид углерода", 650), P("Водород", 5)}},
        {18, {P("Метан", 1)}},  // more runs than parallels
    };
    CalcGdAnalysis analysis;
    GasAnalysisResult r = analysis.Calculate(
        peaks, &settings,
        {Factor(1, "Метан", 0.01), Factor(2, "Этан", 0.05), Factor(3, "Пропан", 0.02), Factor(88, "Азот", 0.01),
         Factor(5, "н-Бутан", 0.005), Factor(90, "Диоксид углерода", 0.02), Factor(77, "Водород", 0.001)},
        env);

    EXPECT_EQ(r.nParallel, 2);
    EXPECT_REL_NEAR(r.density, 1.021695329726664);
    EXPECT_ALL_REL_NEAR(r.rows[1].rawConc, {15.0, 15.85});
    EXPECT_ALL_REL_NEAR(r.rows[1].normConc, {14.999250037498125, 15.557518649391442});
    EXPECT_EQ(log.infos(), Texts({"ГД Анализ 3: Пик 'Метан' не использован в расчете."}));

    CheckGdAnalysis(r, 0.4, 0.1, log);
    ExpectChecked(r, {
        {59.343010911880796, 1.193078112896626, 3.0, 2.96715054559404, true},        // 20 < X ≤ 70
        {15.20199242172756, 3.6539767513627304, 3.5, 1.216159393738205, false},      // 5 < X ≤ 20
        {8.091451971865482, 3.258993624998995, 3.5, 0.6473161577492386, true},
        {3.045281680262277, 3.9688231924046486, 4.0, 0.30452816802622773, true},     // 2.5 < X ≤ 5
        {0.9980027077120819, 0.6117128142275077, 5.5, 0.11976032492544982, true},    // 0.5 < X ≤ 2.5
        {12.81533133296221, 1.8574931272754307, 3.5, 1.0252265066369768, true},
        {0.00492897358960085, 1.8574931272754345, 0.0, 0.0, false},                  // below every row
    });
    EXPECT_EQ(log.errors(), Texts({
        "ГД Анализ: Невозможно выполнить проверку по таблице 8.1 для компонента Водород. Концентрация вне диапазона.",
    }));
}

TEST_F(GasAnalysisTest, parallelsFollowTheirSlotsAndMissingPeaksCountAsZero)
{
    settings.general.QtyGsRegular = 1;
    settings.params.GsPressure = 100.0;
    const KnownPeakMap peaks = {{2, {P("Метан", 900), P("Азот", 1000)}}, {3, {P("Метан", 950), P("Группа С6", 5000)}}};
    CalcGsAnalysis analysis;
    GasAnalysisResult r = analysis.Calculate(
        peaks, &settings, {Factor(1, "Метан", 0.1), Factor(88, "Азот", 0.01), Factor(9, "н-Гексан", 0.001)}, env);

    EXPECT_ALL_REL_NEAR(r.rows[0].normConc, {90, 95, 0});
    EXPECT_ALL_REL_NEAR(r.rows[1].normConc, {10, 0, 0});
    EXPECT_ALL_REL_NEAR(r.rows[2].normConc, {0, 5, 0});
    EXPECT_REL_NEAR(r.density, 0.5036510429205617);
    // The run missing altogether gives no message; a group is named by its alkane.
    EXPECT_EQ(log.errors(), Texts({"ГС Анализ 2: Компонент Азот не найден в наборе хромотограмм.",
                                   "ГС Анализ 1: Компонент н-Гексан не найден в наборе хромотограмм."}));

    log.ClearMessages();
    CheckGsAnalysis(r, 0.0, 0.0, log);
    ExpectChecked(r, {{61.666666666666664, 154.05405405405406, 1.342, 2.41425, false},
                      {3.3333333333333335, 300.0, 9.35, 0.43333333333333335, false},
                      {1.6666666666666667, 300.0, 0.0, 0.0, false}});
    EXPECT_EQ(log.errors(), Texts({
        "ГС Анализ: Невозможно выполнить проверку по таблице 7.4 для компонента Группа С6. Концентрация вне диапазона.",
    }));

    // A gap: the third run's value stays the third entry.
    r = analysis.Calculate({{2, {P("Метан", 900)}}, {4, {P("Метан", 950)}}}, &settings, {Factor(1, "Метан", 0.1)}, env);
    EXPECT_ALL_REL_NEAR(r.rows[0].rawConc, {90, 0, 95});
}

TEST_F(GasAnalysisTest, nitrogenIsCorrectedRunByRun)
{
    settings.general.QtyGsRegular = 1;
    settings.general.enGsAnalysCorrect = 1;
    const KnownPeakMap peaks = {
        {2, {P("Метан", 1000), P("АЗОТ", 300), P("Кислород", 10)}},
        {3, {P("Метан", 1000), P("Азот", 280)}},
        {4, {P("Метан", 1000), P("Азот", 30), P("кислород", 20)}},
    };
    const std::vector<CalibrationRow> factors = {Factor(88, "Азот", 0.004), Factor(89, "Кислород", 0.01)};
    CalcGsAnalysis analysis;
    GasAnalysisResult r = analysis.Calculate(peaks, &settings, factors, env);

    // Run 1: (300 − 3.73·10)·0.004; run 2 has no oxygen; run 3 would go negative and counts 0.
    EXPECT_ALL_REL_NEAR(r.rows[0].rawConc, {1.0508, 1.12, 0.0});
    EXPECT_ALL_REL_NEAR(r.rows[1].rawConc, {0.1, 0.0, 0.2});  // oxygen keeps its area
    EXPECT_EQ(log.errors(), Texts({"ГС Анализ 2: Компонент Кислород не найден в наборе хромотограмм."}));
    EXPECT_EQ(log.warnings(), Texts({
        "ГС Анализ: Площадь пика Азота в хроматограмме ГС Анализ 3 после коррекции меньше нуля и принята равной нулю.",
    }));
    EXPECT_EQ(log.infos()[0], QString("Проведена коррекция Азота по СТО Газпром 5.40 - 2011 п. 7.3.4.2."));

    settings.general.QtyGdRegular = 1;
    settings.general.enGdAnalysCorrect = 1;
    CalcGdAnalysis gd;
    log.ClearMessages();
    gd.Calculate({{16, {P("Азот", 300)}}}, &settings, factors, env);
    EXPECT_EQ(Except(log.warnings(), "ГД Анализ "), Texts({"ГД Анализ: Коррекция Азота не произведена (не найден пик Кислорода)."}));
    log.ClearMessages();
    gd.Calculate({{16, {P("Кислород", 10)}}}, &settings, factors, env);
    EXPECT_EQ(Except(log.warnings(), "ГД Анализ "), Texts({"ГД Анализ: Коррекция Азота не произведена (не найден пик Азота)."}));

    GasComponentTable noOxygen;
    noOxygen.AddGasComponent("N2", "Азот", 0.0173, 28.0135);
    noOxygen.RebuildSearchIndex();
    log.ClearMessages();
    r = gd.Calculate({{16, {P("Азот", 300)}}}, &settings, factors, {log, noOxygen, tables.temp});
    EXPECT_EQ(log.errors(), Texts({"Компонент Кислород или Азот не найден в списке компонентов."}));
    EXPECT_ALL_REL_NEAR(r.rows[0].rawConc, {1.2, 0.0, 0.0});
}

// The corrected nitrogen area below, at and above zero; the oxygen of 20 stands
// for 3.73·20 = 74.6 of nitrogen that came with air.
TEST_F(GasAnalysisTest, correctedNitrogenBelowZeroCountsZeroAndZeroItselfIsValid)
{
    struct Case { const char* name; double nitrogen; double expectedRaw; bool warned; };
    const Case cases[] = {
        {"above zero", 100.0, 0.1016, false},  // (100 − 74.6)·0.004
        {"exactly zero", 3.73 * 20.0, 0.0, false},
        {"below zero", 50.0, 0.0, true},
    };
    settings.general.enGdAnalysCorrect = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.ClearMessages();
        CalcGdAnalysis analysis;
        const GasAnalysisResult r = analysis.Calculate(
            {{16, {P("Метан", 1000), P("Азот", c.nitrogen), P("Кислород", 20)}}, {17, {P("Метан", 1000)}}}, &settings,
            {Factor(1, "Метан", 0.01), Factor(88, "Азот", 0.004)}, env);
        ASSERT_EQ(Names(r.rows), QStringList({"Метан", "Азот"}));
        EXPECT_ALL_REL_NEAR(r.rows[1].rawConc, {c.expectedRaw, 0.0});
        // Methane is 10 of 10 + raw nitrogen in run 1.
        EXPECT_REL_NEAR(r.rows[0].normConc[0], 1000.0 / (10.0 + c.expectedRaw));
        EXPECT_EQ(log.warnings(), c.warned ? Texts({"ГД Анализ: Площадь пика Азота в хроматограмме ГД Анализ 1 после "
                                                    "коррекции меньше нуля и принята равной нулю."})
                                           : std::vector<QString>{});
        EXPECT_EQ(log.infos().front(), QString("Проведена коррекция Азота по СТО Газпром 5.40 - 2011 п. 7.3.4.2."));
    }
}

TEST_F(GasAnalysisTest, noFactorsGiveNoRowsAndNoDensity)
{
    CalcGsAnalysis analysis;
    const GasAnalysisResult r = analysis.Calculate({{2, {P("Метан", 1000)}}}, nullptr, {}, env);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.nParallel, 2);
    EXPECT_EQ(r.density, 0.0);
    // SM = 0.9·16.043 + 0.1·30.07, SB = 0.9·0.0436 + 0.1·0.0894; names in any case, unknown ones add nothing.
    EXPECT_REL_NEAR(analysis.CalcDensity({{"метан", 0.9}, {"Этан", 0.1}, {"Нечто", 0.5}}, 100.0, tables.gas),
                    0.7174161459611736);
}

TEST(GasAnalysisCheck, limitsFollowTheParallelCountAndTheRangeBounds)
{
    MessageLog log;
    // Separator gas, two parallels around 50 % methane: r2a − r2b·50 = 1.4.
    GasAnalysisResult two = Normalised(2, {{1, {49.5, 50.5}}, {1, {49.7, 50.3}}});
    CheckGsAnalysis(two, 0.0, 0.0, log);
    ExpectChecked(two, {{50.0, 2.0, 1.4, 2.325, false}, {50.0, 1.2, 1.4, 2.325, true}});

    // Both bounds of a table row belong to it.
    GasAnalysisResult bounds = Normalised(3, {{1, {45, 45, 45}}, {1, {95, 95, 95}}, {1, {95.000001, 95.000001, 95.000001}}});
    CheckGsAnalysis(bounds, 0.0, 0.0, log);
    EXPECT_REL_NEAR(bounds.rows[0].norm, 1.782);
    EXPECT_REL_NEAR(bounds.rows[1].norm, 0.462);
    EXPECT_EQ(bounds.rows[2].norm, 0.0);
    EXPECT_EQ(log.errors(), Texts({
        "ГС Анализ: Невозможно выполнить проверку по таблице 7.4 для компонента 1. Концентрация вне диапазона.",
    }));

    // Degassing gas: 0.5 tops the first row used, 0.01 lies below them all, 70 tops the last.
    log.ClearMessages();
    GasAnalysisResult gd = Normalised(2, {{0, {0.5, 0.5}}, {0, {0.01, 0.01}}});
    CheckGdAnalysis(gd, 0.0, 0.0, log);
    ExpectChecked(gd, {{0.5, 0.0, 8.0, 0.1, true}, {0.01, 0.0, 0.0, 0.0, false}});
    GasAnalysisResult top = Normalised(3, {{0, {70, 70, 70}}});
    CheckGdAnalysis(top, 0.0, 0.0, log);
    ExpectChecked(top, {{70.0, 0.0, 3.3, 3.5, true}});
    EXPECT_EQ(log.errors().size(), 1u);

    // Sulphur and methanol taking the whole gas leave nothing in range.
    log.ClearMessages();
    GasAnalysisResult all = Normalised(2, {{0, {90, 91}}, {0, {9, 10}}});
    CheckGdAnalysis(all, 60.0, 40.0, log);
    ExpectChecked(all, {{0.0, 0.0, 0.0, 0.0, false}, {0.0, 0.0, 0.0, 0.0, false}});
    EXPECT_EQ(log.errors().size(), 2u);
}
