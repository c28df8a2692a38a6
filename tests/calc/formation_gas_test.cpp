#include <gtest/gtest.h>

#include "calc/FormationGas.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

#include <cmath>

// Expected numbers come from a short script outside the code that follows
// the hand formulas: mol % to volume (×10 dm3 per m3) and mass (M·V / 24.04),
// the degassing gas scaled by Vгд = Vdeg·Q / Vsampler, the condensate by
// mдк = Vdc·Q·ρ / Vsampler, its vapour volume mдк·24.04 / Mdc, the C12+ residue
// from 100 / M − Σ w/M, the mercaptan lumps as mole-weighted molar masses.
// The run: Q = 150 cm3/m3, sampler 500 cm3, 20 dm3 degassing gas, 400 cm3 of
// condensate of 0.72 g/cm3 and 120 g/mol; sampler 1500 g empty, 1814 g full,
// 1780 g after degassing; trap 200 g empty, 208 g with condensate.

using namespace calc_inputs;

namespace {

struct Named
{
    const char* name;
    double value;
};

struct Sulphur
{
    const char* name;
    double mean;
    double molConc;
};

class FormationGasTest : public ::testing::Test
{
protected:
    FormationGasTest()
    {
        gsAnalysis = Analysis({{"Водород", 0.01}, {"Гелий", 0.02}, {"Азот", 1.2}, {"Этан", 5.2},
                               {"Диоксид углерода", 0.9}, {"Пропан", 2.1}, {"2-Метилпропан", 0.45},
                               {"н-Бутан", 0.55}, {"Циклопентан", 0.01}, {"2-Метилбутан", 0.25},
                               {"н-Пентан", 0.2}, {"2,2-Диметилпропан", 0.005}, {"Группа С6", 0.3},
                               {"Группа С7", 0.15}, {"Группа С8", 0.08}, {"Группа С9", 0.04},
                               {"Группа С10", 0.015}, {"Группа С11", 0.005}, {"Группа С12", 0.002},
                               {"Метан", 88.5058}});
        gsSulphur = SulphurOf({{"Сульфид водорода", 0.003, 0.002}, {"Метантиол", 0.0016, 0.0008},
                               {"Этантиол", 0.001, 0.0004}});
        gsMethanol = Methanol(0.004);
        gdAnalysis = Analysis({{"Азот", 0.4}, {"Этан", 19.0}, {"Диоксид углерода", 2.1}, {"Пропан", 17.5},
                               {"2-Метилпропан", 4.2}, {"н-Бутан", 6.3}, {"Циклопентан", 0.1},
                               {"2-Метилбутан", 2.4}, {"н-Пентан", 2.2}, {"2,2-Диметилпропан", 0.05},
                               {"Группа С6", 2.3}, {"Группа С7", 1.1}, {"Группа С8", 0.45}, {"Группа С9", 0.12},
                               {"Группа С10", 0.03}, {"Группа С11", 0.01}, {"Метан", 41.707}});
        gdSulphur = SulphurOf({{"Сульфид водорода", 0.012, 0.01}, {"Метантиол", 0.006, 0.003}});
        gdMethanol = Methanol(0.02);
        dcGroups = Condensate({{"Сульфид водорода", 0.002}, {"Меркаптаны", 0.004}, {"Метанол", 0.003},
                               {"Метан", 0.04}, {"Этан", 0.35}, {"Пропан", 1.3}, {"2-Метилпропан", 0.9},
                               {"н-Бутан", 1.6}, {"Циклопентан", 0.12}, {"2-Метилбутан", 1.8}, {"н-Пентан", 2.0},
                               {"2,2-Диметилпропан", 0.02}, {"Группа С6", 11.5}, {"Группа С7", 14.2},
                               {"Группа С8", 13.6}, {"Группа С9", 10.9}, {"Группа С10", 8.7},
                               {"Группа С11", 7.4}, {"Группа С12", 25.561}});
        // Mole fractions of the condensate: 120 · mean / M.
        dcSulphur = SulphurOf({{"Сульфид водорода", 0.002, 0.00704184026758993},
                               {"Метантиол", 0.004, 0.009977343116672555}});

        SamplingParameters& p = settings.params;
        p.PgQkgn = 150;
        p.PgVol1 = 500;
        p.PgVol2 = 20;
        p.PgVol3 = 400;
        p.DcDensity = 0.72;
        p.DcAvg = 120;
        p.PgMpoempty = 1500;
        p.PgMpokgn = 1814;
        p.PgMpodc = 1780;
        p.PgMtrapempty = 200;
        p.PgMtrapdc = 208;
    }

    const GasComponent& C(const char* name) const
    {
        const GasComponent* c = tables.gas.FindComponentByName(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }

    // A row of the component with its catalogue id and search name.
    template <typename Row>
    Row RowOf(const char* name) const
    {
        Row row;
        row.id = C(name).id;
        row.name = C(name).searchName;
        return row;
    }

    // A result of two parallels that holds only the components' means.
    template <typename Result>
    Result Means(std::initializer_list<Named> means) const
    {
        Result r;
        r.nParallel = 2;
        for (const Named& m : means) {
            auto row = RowOf<typename decltype(r.rows)::value_type>(m.name);
            row.mean = m.value;
            r.rows.push_back(row);
        }
        return r;
    }
    GasAnalysisResult Analysis(std::initializer_list<Named> means) const { return Means<GasAnalysisResult>(means); }
    CondensateResult Condensate(std::initializer_list<Named> means) const { return Means<CondensateResult>(means); }

    SulphurResult SulphurOf(std::initializer_list<Sulphur> compounds) const
    {
        SulphurResult r;
        r.nParallel = 2;
        for (const Sulphur& s : compounds) {
            SulphurRow row = RowOf<SulphurRow>(s.name);
            row.mean = s.mean;
            row.molConc = s.molConc;
            row.molarMass = C(s.name).molarMass;
            r.rows.push_back(row);
        }
        return r;
    }

    GasMethanolResult Methanol(double molConc) const
    {
        GasMethanolResult r;
        GasMethanolRow row = RowOf<GasMethanolRow>("Метанол");
        row.molConc = molConc;
        r.rows.push_back(row);
        r.methanol = molConc;
        return r;
    }

    CalcPgMethod1Result Method1()
    {
        return method1.Calculate(gsAnalysis, gsSulphur, gsMethanol, gdAnalysis, gdSulphur, gdMethanol, dcGroups,
                                 dcSulphur, dcMethanol, &settings, env);
    }

    ReferenceTables tables;
    CSettings settings;
    MessageLog log;
    CalcEnvironment env{log, tables.gas, tables.temp};
    CalcPgMethod1 method1;
    CalcPgMethod2 method2;

    GasAnalysisResult gsAnalysis, gdAnalysis;
    SulphurResult gsSulphur, gdSulphur, dcSulphur;
    GasMethanolResult gsMethanol, gdMethanol;
    CondensateResult dcGroups;
    CondensateMethanolResult dcMethanol;
};

std::vector<double> Values(const PgMethod1Item& i)
{
    return {i.GsMol, i.GsVol, i.GsMasF, i.GsMas, i.GdMol, i.GdVol, i.GdMasF, i.GdMas,
            i.DcMol, i.DcVol, i.DcMasF, i.DcMas, i.KgnMol, i.KgnVol, i.KgnMasF, i.KgnMas,
            i.PgMol, i.PgVol, i.PgMasF, i.PgGs, i.PgDry, i.PgPg};
}

std::vector<double> Values(const PgMethod2Item& i)
{
    return {i.GsMol, i.GsMasF, i.GsMas, i.GdMol, i.GdMasF, i.GdMas, i.DcMol, i.DcMasF, i.DcMas,
            i.KgnMol, i.KgnMasF, i.KgnMas, i.PgMol, i.PgMasF, i.PgGs};
}

template <typename Item>
std::vector<double> ColumnSums(const std::vector<Item>& items)
{
    std::vector<double> sums;
    for (const Item& item : items) {
        const std::vector<double> v = Values(item);
        sums.resize(v.size(), 0.0);
        for (std::size_t k = 0; k < v.size(); ++k)
            sums[k] += v[k];
    }
    return sums;
}

template <typename Item>
bool AllFinite(const std::vector<Item>& items)
{
    for (const Item& item : items) {
        for (double v : Values(item)) {
            if (!std::isfinite(v))
                return false;
        }
    }
    return true;
}

} // namespace

TEST_F(FormationGasTest, method1OfARealisticRunByHand)
{
    const CalcPgMethod1Result r = Method1();

    ASSERT_EQ(r.rows.size(), 23u);
    EXPECT_EQ(Names(r.rows).mid(9, 4), QStringList({"Пропан", "и-Бутан", "н-Бутан", "Циклопентан"}));
    EXPECT_EQ(r.rows[10].id, 4);
    EXPECT_EQ(r.nParallel, 0);
    EXPECT_FALSE(r.hasError);
    EXPECT_REL_NEAR(r.gsMercaptanMolarMass, 52.78266666666667);
    EXPECT_REL_NEAR(r.gsMolarMass, 18.925129266);
    EXPECT_REL_NEAR(r.gsDensity, 0.7872349944259567);
    EXPECT_REL_NEAR(r.gdMercaptanMolarMass, 48.109);
    EXPECT_REL_NEAR(r.gdMolarMass, 34.50745747999999);
    EXPECT_REL_NEAR(r.gdDensity, 1.4354183643926786);
    EXPECT_REL_NEAR(r.dcMercaptanMolarMass, 48.109);
    EXPECT_REL_NEAR(r.c12PlusMolarMass, 245.47137566185768);
    EXPECT_REL_NEAR(r.dcMolarMass, 120.0);
    EXPECT_REL_NEAR(r.pgDensity, 0.8621517811752547);
    EXPECT_REL_NEAR(r.pgMolarMass, 20.726128819453123);
    EXPECT_REL_NEAR(r.dryGasFactor, 1.0033023186971732);
    EXPECT_REL_NEAR(r.pgGasFactor, 0.9772221249343306);

    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Меркаптаны")),
                        {0.0012, 0.012, 0.0033468305082487468, 0.02634742096505824, 0.003, 0.00018,
                         0.004182487222759016, 0.00036021713810316136, 0.009977343116672555, 0.0017269583653786195,
                         0.004, 0.003456, 0.00818128074108757, 0.0019069583653786196, 0.004016541748679297,
                         0.0038162171381031615, 0.0013590187405188561, 0.01390695836537862, 0.003418954198846531,
                         0.030163638103161403, 0.03026324804924424, 0.029476574522921527});
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Метан")),
                        {88.5058, 885.058, 75.02715196513469, 590.6399955906821, 41.707, 2.50242,
                         19.39016809302173, 1.6699802021630616, 0.29919591098921644, 0.051787221841301495, 0.04,
                         0.03456, 10.958124064050066, 2.5542072218413017, 1.7940165972036761, 1.7045402021630616,
                         86.73942872589792, 887.6122072218413, 67.14040365046316, 592.3445357928452,
                         594.3006462285624, 578.8521859607239});
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Метанол")),
                        {0.004, 0.04, 0.006772371179004871, 0.0533144758735441, 0.02, 0.0012, 0.018571058165366756,
                         0.0015994342762063228, 0.011235253729480055, 0.001944687597528244, 0.003, 0.002592,
                         0.01349141782300352, 0.003144687597528244, 0.004411455152574443, 0.004191434276206323,
                         0.00421619432936844, 0.04314468759752824, 0.006518115364352357, 0.05750591014975042,
                         0.057695812992035904, 0.056196047712821794});
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Сульфид водорода")),
                        {0.002, 0.02, 0.003601771963717059, 0.028354409317803662, 0.01, 0.0006,
                         0.009876705642469723, 0.0008506322795341098, 0.007041840267589929, 0.0012188580482366056,
                         0.002, 0.001728, 0.007803310544672423, 0.0018188580482366057, 0.0027139923726637893,
                         0.00257863227953411, 0.0021321870825538295, 0.021818858048236606, 0.0035061636825972917,
                         0.03093304159733777, 0.031035192358965097, 0.030228452640432456});
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Группа С12")),
                        {0.002, 0.02, 0.01800146224692107, 0.14171381031613978, 0.0, 0.0, 0.0, 0.0,
                         12.495632094494395, 2.162843967971846, 25.561, 22.084704, 9.279087589115896,
                         2.162843967971846, 23.24399592925542, 22.084704, 0.2133123420781533, 2.182843967971846,
                         2.5192950610932163, 22.22641781031614, 22.29981652542233, 21.720147242275388});

    // Shares sum to 100; each phase's volume and mass totals are its own:
    // Vгд = 6 dm3 and its mass ρгд·Vгд, mдк = 86.4 g and its vapour volume.
    EXPECT_ALL_REL_NEAR(ColumnSums(r.rows),
                        {100, 1000, 100, 787.2349944259565, 100, 6.0, 100, 8.612510186356076, 100, 17.3088, 100,
                         86.4, 100, 23.3088, 100, 95.01251018635608, 100, 1023.3088, 100, 882.2475046123126,
                         885.1609670423287, 862.1517811752549});
    EXPECT_ALL_REL_NEAR(Values(r.c5PlusTotal),
                        {1.057, 10.57, 4.858016751577627, 38.24400790349418, 8.76, 0.5256, 20.96848081083255,
                         1.805912545757072, 89.57668516977692, 15.504649282666346, 95.801, 82.772064,
                         68.77337864955017, 16.03024928266635, 89.01772659186366, 84.57797654575707,
                         2.599435212779012, 26.60024928266635, 13.921488449346548, 122.82198444925126,
                         123.22758178492192, 120.02436063214861});
    EXPECT_EQ(r.c5PlusTotal.id, -1);
    EXPECT_TRUE(r.c5PlusTotal.name.isEmpty());
    EXPECT_TRUE(log.noMessages());
}

TEST_F(FormationGasTest, everyInputInErrorIsNamedAndTheResultStaysClean)
{
    for (auto* flagged : {&gsAnalysis.hasError, &gsSulphur.hasError, &gsMethanol.hasError, &gdAnalysis.hasError,
                          &gdSulphur.hasError, &gdMethanol.hasError, &dcGroups.hasError, &dcSulphur.hasError,
                          &dcMethanol.hasError})
        *flagged = true;
    const CalcPgMethod1Result r = Method1();

    EXPECT_EQ(log.errors(), Texts({
        "ПГ Способ 1: В расчете 'ГС Анализ' есть ошибки.",
        "ПГ Способ 1: В расчете 'ГС ССС' есть ошибки.",
        "ПГ Способ 1: В расчете 'ГС Метанол' есть ошибки.",
        "ПГ Способ 1: В расчете 'ГД Анализ' есть ошибки.",
        "ПГ Способ 1: В расчете 'ГД ССС' есть ошибки.",
        "ПГ Способ 1: В расчете 'ГД Метанол' есть ошибки.",
        "ПГ Способ 1: В расчете 'ДК С6С44 Гр.' есть ошибки.",
        "ПГ Способ 1: В расчете 'ДК ССС' есть ошибки.",
        "ПГ Способ 1: В расчете 'ДК Метанол' есть ошибки.",
    }));
    // The flagged inputs are used all the same.
    EXPECT_FALSE(r.hasError);
    EXPECT_EQ(r.nParallel, 0);
    EXPECT_REL_NEAR(r.pgMolarMass, 20.726128819453123);
}

TEST_F(FormationGasTest, zeroParametersLeaveTheFormationGasEqualToTheSeparatorGas)
{
    settings.params = SamplingParameters();
    const CalcPgMethod1Result r = Method1();

    // Of the parameters left at 0 only the two that cannot be 0 are named.
    EXPECT_EQ(log.errors(), Texts({"ПГ Способ 1: Не задан параметр 'Объём пробоотборника, в который отобрана проба КГН, см3'.",
                                   "ПГ Способ 1: Не задан параметр 'Средняя молярная масса дегазированного конденсата, г/моль'."}));
    EXPECT_TRUE(r.hasError);
    EXPECT_TRUE(AllFinite(r.rows));
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Метан")),
                        {88.5058, 885.058, 75.02715196513469, 590.6399955906821, 41.707, 0.0, 19.39016809302173,
                         0.0, 0.3419211156548353, 0.0, 0.04, 0.0, 0.0, 0.0, 0.0, 0.0, 88.5058, 885.058,
                         75.02715196513469, 590.6399955906821, 596.9497544957018, 590.6399955906822});
    EXPECT_EQ(r.c12PlusMolarMass, 0.0);
    EXPECT_EQ(r.dcMolarMass, 0.0);
    EXPECT_REL_NEAR(r.pgMolarMass, 18.925129266);
    EXPECT_REL_NEAR(r.pgGasFactor, 1.0);
    EXPECT_REL_NEAR(r.dryGasFactor, 1.0106829184479955);
    for (const PgMethod1Item& item : r.rows) {
        SCOPED_TRACE(item.name.toStdString());
        EXPECT_REL_NEAR(item.PgMol, item.GsMol);
        EXPECT_REL_NEAR(item.PgMasF, item.GsMasF);
    }

    log.ClearMessages();
    const CalcPgMethod2Result r2 = method2.Calculate(r, method1.CalcSulphurSummary(gsSulphur, gdSulphur, dcSulphur, r, tables.gas),
                                                     &settings, env);
    EXPECT_EQ(log.errors(), Texts({"ПГ Способ 2: Не задан параметр 'Объём пробоотборника, в который отобрана проба КГН, см3'.",
                                   "ПГ Способ 2: Не задан параметр 'Средняя молярная масса дегазированного конденсата, г/моль'."}));
    EXPECT_TRUE(r2.hasError);
    EXPECT_TRUE(AllFinite(r2.rows));
    EXPECT_EQ(r2.kgnMolarMass, 0.0);
    EXPECT_EQ(r2.kgnC12PlusMolarMass, 0.0);
    EXPECT_REL_NEAR(r2.pgMolarMass, 18.92512926600001);
}

TEST_F(FormationGasTest, emptyInputsGiveTheTwentyThreeComponentsWithZeros)
{
    settings.params = SamplingParameters();
    const CalcPgMethod1Result r = method1.Calculate({}, {}, {}, {}, {}, {}, {}, {}, {}, nullptr, env);

    EXPECT_EQ(Names(r.rows), QStringList({"Меркаптаны", "Водород", "Гелий", "Метан", "Азот", "Этан", "Метанол",
                                          "Сульфид водорода", "Диоксид углерода", "Пропан", "и-Бутан", "н-Бутан",
                                          "Циклопентан", "и-Пентан", "н-Пентан", "нео-Пентан", "Группа С6",
                                          "Группа С7", "Группа С8", "Группа С9", "Группа С10", "Группа С11",
                                          "Группа С12"}));
    for (const PgMethod1Item& item : r.rows)
        EXPECT_ALL_REL_NEAR(Values(item), std::vector<double>(22, 0.0));
    EXPECT_EQ(method1.c5PlusComponents().size(), 11u);
    EXPECT_EQ(r.pgMolarMass, 0.0);
    EXPECT_EQ(r.dryGasFactor, 0.0);
    EXPECT_FALSE(r.hasError);  // nothing measured: nothing to name
    EXPECT_TRUE(log.noMessages());

    const PgSulphurResult summary = method1.CalcSulphurSummary({}, {}, {}, r, tables.gas);
    const CalcPgMethod2Result r2 = method2.Calculate(CalcPgMethod1Result(), summary, nullptr, env);
    EXPECT_TRUE(summary.rows.empty());
    EXPECT_TRUE(r2.rows.empty());
    EXPECT_EQ(r2.pgMolarMass, 0.0);
    // 23 rows of nothing measured: no parameter named
    EXPECT_FALSE(method2.Calculate(r, summary, nullptr, env).hasError);
    EXPECT_TRUE(log.noMessages());
}

TEST_F(FormationGasTest, hydrogenSulphideAndMercaptansComeFromTheSulphurAnalysis)
{
    struct Case
    {
        const char* what;
        bool sulphurRows;      // the separator-gas sulphur analysis found anything
        double gsH2S;          // expected GsMol of hydrogen sulphide
        double gsMercaptans;   // expected GsMol of the mercaptans
        double lumpMolarMass;  // gsMercaptanMolarMass
        std::vector<QString> infos;
    };
    const Case cases[] = {
        {"sulphur analysis first, the analysis row is left", true, 0.002, 0.0012, 52.78266666666667,
         Texts({"ГС Анализ: Компонент 'Сульфид водорода' не использован в расчёте."})},
        {"no sulphur rows: the analysis gives H2S, no mercaptans", false, 0.0031, 0.0, 0.0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.ClearMessages();
        GasAnalysisResult analysis = gsAnalysis;
        GasAnalysisRow h2s;
        h2s.id = C("Сульфид водорода").id;
        h2s.name = C("Сульфид водорода").searchName;
        h2s.mean = 0.0031;
        analysis.rows.push_back(h2s);
        const SulphurResult sulphur = c.sulphurRows ? gsSulphur : SulphurResult();

        const CalcPgMethod1Result r = method1.Calculate(analysis, sulphur, gsMethanol, gdAnalysis, gdSulphur, gdMethanol,
                                                        dcGroups, dcSulphur, dcMethanol, &settings, env);
        EXPECT_REL_NEAR(calc_inputs::Named(r.rows, "Сульфид водорода").GsMol, c.gsH2S);
        EXPECT_REL_NEAR(calc_inputs::Named(r.rows, "Меркаптаны").GsMol, c.gsMercaptans);
        EXPECT_REL_NEAR(r.gsMercaptanMolarMass, c.lumpMolarMass);
        EXPECT_EQ(log.infos(), c.infos);
    }
}

TEST_F(FormationGasTest, rowsNoStepUsesAreReportedListByList)
{
    GasAnalysisRow oxygen;
    oxygen.id = C("Кислород").id;
    oxygen.name = C("Кислород").searchName;
    gsAnalysis.rows.insert(gsAnalysis.rows.begin(), oxygen);
    gsAnalysis.rows.push_back(gsAnalysis.rows.back());  // a second "Метан"
    gsMethanol.rows.push_back(gsMethanol.rows.front());
    GasAnalysisRow argon;
    argon.id = C("Аргон").id;
    argon.name = C("Аргон").searchName;
    gdAnalysis.rows.push_back(argon);
    gdMethanol.rows.push_back(gdMethanol.rows.front());
    CondensateRow fraction;
    fraction.id = 1045060;
    fraction.name = QStringLiteral("45 - 60");
    dcGroups.rows.insert(dcGroups.rows.begin(), fraction);

    const CalcPgMethod1Result r = Method1();
    EXPECT_EQ(log.infos(), Texts({
        "ГС Анализ: Компонент 'Кислород' не использован в расчёте.",
        "ГС Анализ: Компонент 'Метан' не использован в расчёте.",
        "ГС Метанол: Компонент 'Метанол' не использован в расчёте.",
        "ГД Анализ: Компонент 'Аргон' не использован в расчёте.",
        "ГД Метанол: Компонент 'Метанол' не использован в расчёте.",
        "ДК С6С44 Гр.: Компонент '45 - 60' не использован в расчёте.",
    }));
    EXPECT_TRUE(log.errors().empty());
    // The first row of an id is the one used.
    EXPECT_REL_NEAR(calc_inputs::Named(r.rows, "Метан").GsMol, 88.5058);
}

TEST_F(FormationGasTest, componentListIsKeptAndItemsFollowTheSearchNames)
{
    Method1();
    const GasComponentList first = method1.componentOrder();
    ASSERT_EQ(first.size(), 23u);
    ASSERT_NE(tables.gas.SetSearchName(C("Этан").id, QStringLiteral("Этан-2")), nullptr);

    const CalcPgMethod1Result r = Method1();
    EXPECT_EQ(method1.componentOrder(), first);
    EXPECT_EQ(r.rows[5].name, QStringLiteral("Этан-2"));
    EXPECT_REL_NEAR(r.rows[5].GsMol, 5.2);
}

TEST_F(FormationGasTest, anotherCatalogueRebuildsTheComponentListsThoughTheFirstIsGone)
{
    CalcPgMethod1Result r;
    const std::unique_ptr<GasComponentTable> second =
        RunOnSecondCatalogue({u"Метан", u"Этан", u"Группа С8"}, {u"Аргон", u"Группа С7", u"Метан"}, [&](const GasComponentTable& gas) {
            r = method1.Calculate({}, {}, {}, {}, {}, {}, {}, {}, {}, nullptr, CalcEnvironment{log, gas, tables.temp});
        });
    EXPECT_EQ(Names(r.rows), QStringList({"Метан", "Группа С7"}));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].id, 3);
    EXPECT_EQ(r.rows[1].id, 2);
    EXPECT_EQ(method1.c5PlusComponents(), GasComponentList{second->FindComponentByName("Группа С7")});
}

TEST(PgResultHeads, aCopyCarriesTheRowsTheParallelsAndTheErrorFlag)
{
    CalcResult<PgMethod1Item> head;
    head.rows.resize(2);
    head.rows[0].name = QStringLiteral("Метан");
    head.rows[0].PgPg = 1.5;
    head.rows[1].name = QStringLiteral("Этан");
    head.nParallel = 3;
    head.hasError = true;
    CalcPgMethod1Result method1;
    PgSulphurResult sulphur;
    static_cast<CalcResult<PgMethod1Item>&>(method1) = head;
    static_cast<CalcResult<PgMethod1Item>&>(sulphur) = head;
    for (const CalcResult<PgMethod1Item>& copy : {CopyPgMethod1Rows(method1), CopyPgSulphurRows(sulphur)}) {
        EXPECT_EQ(Names(copy.rows), QStringList({"Метан", "Этан"}));
        EXPECT_EQ(copy.rows[0].PgPg, 1.5);
        EXPECT_EQ(copy.nParallel, 3);
        EXPECT_TRUE(copy.hasError);
    }
}

TEST(C12PlusMolarMass, residueOfTheMeanMolarMass)
{
    struct Item
    {
        std::int32_t id;
        double w;
        double m;
    };
    const std::function<double(const Item&)> w = [](const Item& i) { return i.w; };
    const std::function<double(const Item&)> m = [](const Item& i) { return i.m; };
    constexpr std::int32_t c12 = 105;
    struct Case
    {
        const char* what;
        std::vector<Item> items;
        double x;
        double expected;
    };
    const Case cases[] = {
        // 100/80 − (40/50 + 30/100) = 0.15 moles left for 30 %.
        {"sum of the ratios", {{1, 40, 50}, {2, 30, 100}, {c12, 30, 0}}, 80, 200.0},
        {"no mean molar mass", {{1, 40, 50}, {c12, 30, 0}}, 0, 0.0},
        {"no C12 item", {{1, 40, 50}, {2, 60, 100}}, 80, 0.0},
        {"nothing left for C12", {{1, 70, 50}, {c12, 30, 0}}, 80, 0.0},
        // Zero fractions and zero molar masses add no moles: 100/80 − 40/50 = 0.45.
        {"zeros skipped", {{1, 40, 50}, {2, 0, 100}, {3, 30, 0}, {c12, 30, 0}}, 80, 66.66666666666667},
        // The last C12 item counts.
        {"last C12", {{1, 40, 50}, {c12, 10, 0}, {c12, 30, 0}}, 80, 66.66666666666667},
        {"C12 alone", {{c12, 100, 0}}, 250, 250.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_REL_NEAR(CalcC12PlusMolarMass<Item>(c.items, w, m, c.x, c12), c.expected);
    }
}

TEST_F(FormationGasTest, sulphurSummarySetsOutEachCompound)
{
    const CalcPgMethod1Result r = Method1();
    const PgSulphurResult s = method1.CalcSulphurSummary(gsSulphur, gdSulphur, dcSulphur, r, tables.gas);

    EXPECT_EQ(Names(s.rows), QStringList({"Сульфид водорода", "Метантиол", "Этантиол"}));
    EXPECT_EQ(s.nParallel, 0);
    EXPECT_FALSE(s.hasError);
    EXPECT_ALL_REL_NEAR(std::vector<double>({s.sumGsVol, s.sumGsMas, s.sumGdVol, s.sumGdMas, s.sumDcMas, s.sumDcVol,
                                             s.sumKgnVol, s.sumKgnMas, s.sumPgVol, s.sumPgGs, s.sumPgDry, s.sumPgPg}),
                        {1000, 787.2349944259565, 6.0, 8.612510186356076, 86.4, 17.3088, 23.3088, 95.01251018635608,
                         1023.3088, 882.2475046123126, 885.1609670423287, 862.1517811752549});
    EXPECT_ALL_REL_NEAR(Values(s.rows[0]),
                        {0.002, 0.02, 0.003, 0.023617049832778698, 0.01, 0.0006, 0.012, 0.001033501222362729,
                         0.00704184026758993, 0.0012188580482366059, 0.002, 0.001728, 0.007803310544672423,
                         0.0018188580482366057, 0.0029064606512830397, 0.0027615012223627293, 0.0021321870825538295,
                         0.021818858048236606, 0.002989926400158309, 0.026378551055141426, 0.02646566143749516,
                         0.025777703714794032});
    EXPECT_ALL_REL_NEAR(Values(s.rows[1]),
                        {0.0008, 0.008, 0.0016, 0.012595759910815305, 0.003, 0.00018, 0.006, 0.0005167506111813645,
                         0.009977343116672555, 0.0017269583653786195, 0.004, 0.003456, 0.00818128074108757,
                         0.0019069583653786196, 0.004181292130256608, 0.003972750611181365, 0.0009681298905451236,
                         0.00990695836537862, 0.0018779889356873155, 0.01656851052199667, 0.01662322502407777,
                         0.0161911150593024});
    // Only in the separator gas.
    EXPECT_ALL_REL_NEAR(Values(s.rows[2]),
                        {0.0004, 0.004, 0.001, 0.007872349944259565, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                         0.00039088884997373223, 0.004, 0.000892306286286287, 0.007872349944259565,
                         0.007898346952671184, 0.007693034540755992});
}

TEST_F(FormationGasTest, sulphurSummaryFollowsTheCompoundListAndCatalogueNames)
{
    // Rows in another order and under other search names, one compound only
    // in the condensate.
    ASSERT_NE(tables.gas.SetSearchName(C("Метантиол").id, QStringLiteral("MeSH")), nullptr);
    const SulphurResult dc = SulphurOf({{"Карбонилсульфид", 0.01, 0.02}, {"Метантиол", 0.004, 0.01}});
    const CalcPgMethod1Result r = Method1();
    const PgSulphurResult s = method1.CalcSulphurSummary({}, {}, dc, r, tables.gas);

    EXPECT_EQ(Names(s.rows), QStringList({"Метантиол", "Карбонилсульфид"}));
    const PgMethod1Item& cos = s.rows[1];
    EXPECT_EQ(cos.id, 83);
    EXPECT_REL_NEAR(cos.molarMass, 60.076);
    EXPECT_REL_NEAR(cos.DcVol, 0.02 * 17.3088 / 100);
    EXPECT_REL_NEAR(cos.DcMas, 0.01 * 86.4 / 100);
    EXPECT_REL_NEAR(cos.KgnVol, cos.DcVol);
    EXPECT_REL_NEAR(cos.PgVol, cos.KgnVol);
    EXPECT_EQ(cos.GsMol + cos.GsVol + cos.GdMol + cos.GdVol, 0.0);
    EXPECT_TRUE(log.noMessages());
}

TEST_F(FormationGasTest, method2OfARealisticRunByHand)
{
    const CalcPgMethod1Result r1 = Method1();
    const CalcPgMethod2Result r = method2.Calculate(
        r1, method1.CalcSulphurSummary(gsSulphur, gdSulphur, dcSulphur, r1, tables.gas), &settings, env);

    ASSERT_EQ(Names(r.rows), Names(r1.rows));
    EXPECT_EQ(r.nParallel, 0);
    EXPECT_FALSE(r.hasError);
    EXPECT_ALL_REL_NEAR(std::vector<double>({r.gsMolarMass, r.gsDensity, r.gdMolarMass, r.gdDensity, r.c12PlusMolarMass,
                                             r.dcMolarMass, r.kgnMercaptanMolarMass, r.kgnC12PlusMolarMass,
                                             r.kgnMolarMass, r.pgDensity, r.pgMolarMass, r.pgMercaptanMolarMass,
                                             r.pgC12PlusMolarMass}),
                        {18.925129266, 0.7872349944259567, 34.50745747999999, 1.4354183643926786,
                         245.47137566185768, 120.0, 48.109, 245.47137566185745, 99.57315710600761,
                         0.8621517811752545, 20.726128819453116, 52.14180131618293, 295.7837132818901});
    // With one mercaptan in every phase the unstable condensate's C12+ is the
    // condensate's.
    EXPECT_REL_NEAR(r.kgnC12PlusMolarMass, r.c12PlusMolarMass);

    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Меркаптаны")),
                        {0.0012, 0.0033468305082487468, 0.026347420965058235, 0.003, 0.004182487222759016,
                         0.00032623400337520307, 0.009977343116672555, 0.004, 0.003456, 0.008310237572017506,
                         0.004015110406980046, 0.0037822340033752035, 0.001358738972212342, 0.003418250371152518,
                         0.030129654968433436});
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Метан")),
                        {88.5058, 75.02715196513469, 590.639995590682, 41.707, 19.39016809302173, 1.5124331112556946,
                         0.29919591098921644, 0.04, 0.03456, 10.192815679211293, 1.6422432178935185,
                         1.5469931112556945, 86.79629393672398, 67.18442000224934, 592.1869887019377});
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Группа С12")),
                        {0.002, 0.01800146224692107, 0.14171381031613975, 0, 0, 0, 12.495632094494395, 25.561,
                         22.084704, 9.510034682934746, 23.444484076433117, 22.084704, 0.17669453667724755,
                         2.5216173570226035, 22.22641781031614});
    // mкгн = 94.2 g, mдк = 86.4 g, mгд = 7.8 g.
    EXPECT_ALL_REL_NEAR(ColumnSums(r.rows),
                        {100, 100, 787.2349944259565, 100, 100, 7.8, 100, 100, 86.4, 100, 100, 94.2, 100, 100,
                         881.4349944259566});
    EXPECT_TRUE(log.noMessages());
}

TEST_F(FormationGasTest, method2WeighingsAndTheirGuards)
{
    struct Case
    {
        const char* what;
        double sampler;         // PgVol1
        double samplerFull;     // PgMpokgn
        double methaneGdMas;    // GdMas of "Метан"
        double methaneKgnMasF;  // KgnMasF of "Метан"
        double kgnMolarMass;
        double methanePgGs;
    };
    const Case cases[] = {
        // Without a sampler volume nothing of the condensate is weighed; the
        // separator gas keeps its mass.
        {"no sampler volume", 0.0, 1814, 0.0, 0.0, 0.0, 590.639995590682},
        // A full sampler lighter than after degassing: mгд = −5.4 g, shown as is.
        {"inconsistent weighings", 500, 1770, -1.0470690770231748, -1.2500112062014503, 143.74137104075157,
         590.639995590682 + 0.03456 - 1.0470690770231748},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.params.PgVol1 = c.sampler;
        settings.params.PgMpokgn = c.samplerFull;
        const CalcPgMethod1Result r1 = Method1();
        const CalcPgMethod2Result r = method2.Calculate(
            r1, method1.CalcSulphurSummary(gsSulphur, gdSulphur, dcSulphur, r1, tables.gas), &settings, env);
        const PgMethod2Item& methane = calc_inputs::Named(r.rows, "Метан");
        EXPECT_TRUE(AllFinite(r.rows));
        EXPECT_REL_NEAR(methane.GsMas, 590.639995590682);
        EXPECT_REL_NEAR(methane.GdMas, c.methaneGdMas);
        EXPECT_REL_NEAR(methane.KgnMasF, c.methaneKgnMasF);
        EXPECT_REL_NEAR(methane.PgGs, c.methanePgGs);
        EXPECT_REL_NEAR(r.kgnMolarMass, c.kgnMolarMass);
    }
    // Without a sampler: every КГН value 0, the formation gas is the separator gas.
    settings.params.PgVol1 = 0.0;
    const CalcPgMethod1Result r1 = Method1();
    const CalcPgMethod2Result r = method2.Calculate(
        r1, method1.CalcSulphurSummary(gsSulphur, gdSulphur, dcSulphur, r1, tables.gas), &settings, env);
    for (const PgMethod2Item& item : r.rows) {
        SCOPED_TRACE(item.name.toStdString());
        EXPECT_EQ(item.KgnMol + item.KgnMasF + item.KgnMas + item.DcMas + item.GdMas, 0.0);
        EXPECT_REL_NEAR(item.PgGs, item.GsMas);
    }
    EXPECT_EQ(r.kgnC12PlusMolarMass, 0.0);
    EXPECT_REL_NEAR(r.pgC12PlusMolarMass, 170.34000000204483);
    EXPECT_REL_NEAR(r.pgMolarMass, 18.92512926600001);
}

TEST_F(FormationGasTest, withoutSulphurCompoundsTheMercaptansHaveNoMolarMass)
{
    gsSulphur = gdSulphur = dcSulphur = SulphurResult();
    const CalcPgMethod1Result r1 = Method1();
    const PgSulphurResult summary = method1.CalcSulphurSummary(gsSulphur, gdSulphur, dcSulphur, r1, tables.gas);
    const CalcPgMethod2Result r = method2.Calculate(r1, summary, &settings, env);

    EXPECT_TRUE(summary.rows.empty());
    EXPECT_EQ(r1.gsMercaptanMolarMass + r1.gdMercaptanMolarMass + r1.dcMercaptanMolarMass, 0.0);
    EXPECT_REL_NEAR(r1.c12PlusMolarMass, 245.27553137673763);
    EXPECT_EQ(r.kgnMercaptanMolarMass + r.pgMercaptanMolarMass, 0.0);
    EXPECT_REL_NEAR(r.kgnC12PlusMolarMass, 245.19549983308525);
    EXPECT_REL_NEAR(r.pgC12PlusMolarMass, 295.41320705863313);
    EXPECT_REL_NEAR(r.pgMolarMass, 20.72539793451218);
    // The condensate's mercaptan lump keeps its mass but, without a molar
    // mass, no mole share.
    EXPECT_ALL_REL_NEAR(Values(calc_inputs::Named(r.rows, "Меркаптаны")),
                        {0, 0, 0, 0, 0, 0, 0, 0.004, 0.003456, 0, 0.0036687898089171975, 0.003456, 0,
                         0.0003921122390678881, 0.003456});
}
