#include <gtest/gtest.h>

#include "calc/CalcData.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "platform/Profile.h"
#include "sampleset/SampleSet.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

#include <QTemporaryDir>

#include <memory>

// One whole sampling run as the laboratory delivers it: the generated set
// is scanned from its folder, given its roles by the laboratory's patterns
// and recalculated with the profile's settings and the cylinder database.
// The expected numbers come from a model of the set written outside the code:
// it renders the same signals, measures the peaks, and follows every stage's
// formulas by hand (calibration factors, normalisation and density, sulphur
// and methanol contents, the blank-subtracted condensate areas cut by the
// boiling-point scale, then both formation-gas methods).

using namespace calc_inputs;

namespace {

class SamplingRunTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        run = new Run;
        ASSERT_TRUE(run->dir.isValid());
        ASSERT_TRUE(sampleset::WriteSampleSet(run->dir.path(), &run->set));
        run->profile = std::make_unique<Profile>(run->set.profilePath);
        run->settings = std::make_unique<CSettings>(*run->profile);
        MixturesDatabase(run->set.mixturesPath).load(run->cylinders);
        for (const QString& folder : run->settings->folders.folders())
            ScanFolderForChromatograms(run->records, folder, run->cylinders);
        SortChromatograms(run->records);
        AssignCalculationTypes(run->records, run->settings->general);
        run->data.SetReferenceTables(run->tables.gas, run->tables.temp);
        run->data.Recalculate(&run->cylinders, &run->records, run->settings.get(), run->log);
    }
    static void TearDownTestSuite()
    {
        delete run;
        run = nullptr;
    }

    struct Run
    {
        QTemporaryDir dir;
        sampleset::WrittenSet set;
        std::unique_ptr<Profile> profile;
        std::unique_ptr<CSettings> settings;
        MixtureList cylinders;
        std::vector<ChromatogramRecord> records;
        ReferenceTables tables;
        MessageLog log;
        CalcData data;
    };
    static Run* run;

    const CalcData& data() const { return run->data; }
};

SamplingRunTest::Run* SamplingRunTest::run = nullptr;

template <typename Item, typename Value>
double Sum(const std::vector<Item>& items, Value Item::*value)
{
    double sum = 0.0;
    for (const Item& item : items)
        sum += item.*value;
    return sum;
}

} // namespace

TEST_F(SamplingRunTest, everyStageRunsWithoutAnError)
{
    EXPECT_EQ(run->records.size(), 30u);
    EXPECT_EQ(run->log.errors(), std::vector<QString>());
    EXPECT_EQ(run->log.warnings(), std::vector<QString>());
    EXPECT_EQ(run->log.infos(), std::vector<QString>());
}

TEST_F(SamplingRunTest, gasesFromCalibrationToTheirSulphurAndMethanol)
{
    EXPECT_REL_NEAR(Named(data().gs().calibrationResult.rows, "Метан").Kavr, 0.9996023186916139);
    EXPECT_REL_NEAR(Named(data().gd().calibrationResult.rows, "Метан").Kavr, 1.000435970645972);

    const GasAnalysisResult gs = data().GetGsAnalysisResult();
    EXPECT_REL_NEAR(gs.density, 0.7627768319047882);
    EXPECT_REL_NEAR(Named(gs.rows, "Метан").mean, 89.41097278607224);
    EXPECT_REL_NEAR(Named(gs.rows, "Этан").mean, 5.083470383575697);
    EXPECT_REL_NEAR(Named(gs.rows, "Группа С6").mean, 0.1101032722742612);
    const GasAnalysisResult gd = data().GetGdAnalysisResult();
    EXPECT_REL_NEAR(gd.density, 1.2229838321506228);
    EXPECT_REL_NEAR(Named(gd.rows, "Метан").mean, 54.23103828836105);
    EXPECT_REL_NEAR(Named(gd.rows, "Пропан").mean, 12.607223717903006);
    EXPECT_REL_NEAR(Named(gd.rows, "Группа С8").mean, 0.21016387596779537);

    const SulphurResult gsSulphur = data().GetGsSulphurResult();
    EXPECT_REL_NEAR(gsSulphur.molConcTotal, 0.002011954680238829);
    EXPECT_REL_NEAR(Named(gsSulphur.rows, "Сульфид водорода").mean, 0.0026307388776552984);
    EXPECT_REL_NEAR(data().GetGdSulphurResult().molConcTotal, 0.015666915872389435);
    const GasMethanolResult gsMethanol = data().GetGsMethanolResult();
    ASSERT_EQ(gsMethanol.rows.size(), 1u);
    EXPECT_REL_NEAR(gsMethanol.rows[0].mean, 0.2505618213228036);
    EXPECT_REL_NEAR(gsMethanol.methanol, 0.0187987834236321);
    EXPECT_REL_NEAR(data().GetGdMethanolResult().methanol, 0.15230385119530615);
}

TEST_F(SamplingRunTest, condensateFromItsLightEndToTheBoilingFractions)
{
    EXPECT_REL_NEAR(Named(data().GetDcC1C5Result().rows, "н-Пентан").mean, 1.915);
    const SulphurResult sulphur = data().GetDcSulphurResult();
    EXPECT_REL_NEAR(sulphur.molConcTotal, 0.019730722350361184);
    EXPECT_REL_NEAR(sulphur.mercaptanSulphurTotal, 0.0030063266899973146);
    EXPECT_REL_NEAR(data().GetDcMethanolResult().methanol, 0.0056146408839779);

    const TemperatureResult curve = data().GetCalibrationCurve();
    ASSERT_EQ(curve.rows.size(), 41u);
    EXPECT_REL_NEAR(curve.rows[0].retentionTime, 5.099609375);
    EXPECT_REL_NEAR(Named(curve.rows, "С12").retentionTime, 23.099609375);

    // The fractions share what the light end leaves: 92.48175207182321 %.
    const CondensateResult fractions = data().GetDcC6C44FractionsResult();
    EXPECT_FALSE(fractions.hasError);
    EXPECT_REL_NEAR(Sum(fractions.rows, &CondensateRow::mean), 100.0);
    EXPECT_ALL_REL_NEAR(Named(fractions.rows, "45 - 60").conc, {3.1613167028158675, 3.1731146624814723});
    EXPECT_REL_NEAR(Named(fractions.rows, "60 - 70").mean, 9.467948779457018);
    EXPECT_REL_NEAR(Named(fractions.rows, "250 - 260").mean, 2.118181153333196);
    EXPECT_ALL_REL_NEAR(Named(fractions.rows, "520 - 530").conc, {0.05188840829511864, 0.05319980620702098});

    const CondensateResult groups = data().GetDcC6C44GroupsResult();
    EXPECT_FALSE(groups.hasError);
    EXPECT_REL_NEAR(Sum(groups.rows, &CondensateRow::mean), 100.0);
    EXPECT_REL_NEAR(Named(groups.rows, "Группа С6").mean, 15.196816120640303);
    EXPECT_REL_NEAR(Named(groups.rows, "Группа С9").mean, 8.963128513805419);
    EXPECT_REL_NEAR(Named(groups.rows, "Группа С12").mean, 31.32368634054381);
}

TEST_F(SamplingRunTest, formationGasByMethod1)
{
    const CalcPgMethod1Result r = data().GetPgMethod1Result();
    ASSERT_EQ(r.rows.size(), 23u);
    for (double PgMethod1Item::*share : {&PgMethod1Item::GsMol, &PgMethod1Item::GsMasF, &PgMethod1Item::GdMol,
                                         &PgMethod1Item::GdMasF, &PgMethod1Item::DcMol, &PgMethod1Item::DcMasF,
                                         &PgMethod1Item::KgnMol, &PgMethod1Item::KgnMasF, &PgMethod1Item::PgMol,
                                         &PgMethod1Item::PgMasF})
        EXPECT_REL_NEAR(Sum(r.rows, share), 100.0);
    // Per m3 of separator gas: 8.88 dm3 of degassing gas, 108.4914 g of condensate.
    EXPECT_REL_NEAR(Sum(r.rows, &PgMethod1Item::GdVol), 8.88);
    EXPECT_REL_NEAR(Sum(r.rows, &PgMethod1Item::DcMas), 108.4914);
    EXPECT_REL_NEAR(r.gsMolarMass, 18.311652156697853);
    EXPECT_REL_NEAR(r.gdMolarMass, 29.225202895927442);
    EXPECT_REL_NEAR(r.gsMercaptanMolarMass, 52.45620749464074);
    EXPECT_REL_NEAR(r.dcMercaptanMolarMass, 56.304147049614045);
    EXPECT_REL_NEAR(r.c12PlusMolarMass, 235.82024413995228);
    EXPECT_GT(r.c12PlusMolarMass, 150.0);
    EXPECT_LT(r.c12PlusMolarMass, 400.0);
    EXPECT_REL_NEAR(r.pgMolarMass, 20.55728012472417);
    EXPECT_REL_NEAR(r.dryGasFactor, 0.9936117068947325);
    EXPECT_REL_NEAR(r.pgGasFactor, 0.970630524306992);
    EXPECT_REL_NEAR(r.c5PlusTotal.PgGs, 119.38614835855302);
    EXPECT_REL_NEAR(Named(r.rows, "Метан").PgMol, 87.25718141157141);
    EXPECT_REL_NEAR(Named(r.rows, "Группа С12").DcMol, 16.205096163323468);
    EXPECT_REL_NEAR(Named(r.rows, "Группа С12").PgMasF, 3.8573667652556587);

    const PgSulphurResult& summary = data().pg().sulphurSummary;
    EXPECT_EQ(Names(summary.rows), QStringList({"Сульфид водорода", "Метантиол", "Карбонилсульфид", "Этантиол",
                                                "Диметилсульфид", "Тиофен"}));
    EXPECT_REL_NEAR(summary.sumPgGs, 881.0027127459938);
    EXPECT_REL_NEAR(summary.rows[0].PgMol, 0.001581618591575907);
}

TEST_F(SamplingRunTest, formationGasByMethod2AndBothCompositions)
{
    const CalcPgMethod2Result r = data().GetPgMethod2Result();
    ASSERT_EQ(r.rows.size(), 23u);
    for (double PgMethod2Item::*share : {&PgMethod2Item::KgnMol, &PgMethod2Item::KgnMasF, &PgMethod2Item::PgMol,
                                         &PgMethod2Item::PgMasF})
        EXPECT_REL_NEAR(Sum(r.rows, share), 100.0);
    // Weighed: 121.36 g of unstable condensate, 108.484 g of it degassed.
    EXPECT_REL_NEAR(Sum(r.rows, &PgMethod2Item::KgnMas), 121.36);
    EXPECT_REL_NEAR(Sum(r.rows, &PgMethod2Item::DcMas), 108.484);
    EXPECT_REL_NEAR(r.kgnMolarMass, 91.26241008852381);
    EXPECT_REL_NEAR(r.kgnMercaptanMolarMass, 55.889466050896374);
    EXPECT_REL_NEAR(r.kgnC12PlusMolarMass, 235.8199445319157);
    // The unstable condensate's residue is the condensate's, to the mercaptans' part.
    EXPECT_NEAR(r.kgnC12PlusMolarMass / data().GetPgMethod1Result().c12PlusMolarMass, 1.0, 1e-5);
    EXPECT_REL_NEAR(r.pgC12PlusMolarMass, 195.49926877427578);
    EXPECT_REL_NEAR(r.pgMolarMass, 20.55728012472418);
    EXPECT_REL_NEAR(Named(r.rows, "Метан").PgMol, 87.1422000056465);

    const CompFractResult f1 = data().GetPgCompFract1Result();
    const CompFractResult f2 = data().GetPgCompFract2Result();
    ASSERT_EQ(f1.rows.size(), 64u);
    ASSERT_EQ(f2.rows.size(), 64u);
    const CompFractRecord& f1Cut = Named(f1.rows, "60 - 70");
    EXPECT_ALL_REL_NEAR(std::vector<double>({f1Cut.dc, f1Cut.kgn, f1Cut.pg}),
                        {9.467948779457018, 8.6700992187634, 1.2522845303101637});
    const CompFractRecord& f2Cut = Named(f2.rows, "60 - 70");
    EXPECT_ALL_REL_NEAR(std::vector<double>({f2Cut.dc, f2Cut.kgn, f2Cut.pg}),
                        {9.467948779457018, 8.532580760468063, 1.2508009336426549});
    EXPECT_REL_NEAR(Named(f1.rows, "Метан").pg, 68.09592285033003);
    EXPECT_REL_NEAR(Named(f2.rows, "Метан").kgn, 3.1853206145206863);
    EXPECT_REL_NEAR(Named(f2.rows, "Метан").pg, 68.00619080970687);
}
