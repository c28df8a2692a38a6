#include <gtest/gtest.h>

#include <cfloat>
#include <new>

#include "support/AddressSpaceCap.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"
#include "support/RecalculationFixture.h"

using namespace calc_inputs;

namespace {

class CalcDataTest : public RecalculationTest
{
protected:
    const std::vector<PeakItem>& Known(int slot) const { return data.knownPeaks().at(slot); }
};

} // namespace

TEST_F(CalcDataTest, unknownPeaksAreReportedByRoleAndFile)
{
    const QString c10 = QString::fromUtf16(u"\u044110");  // Cyrillic lower-case "с10"
    records = {
        Record(0, "/lab/none.stg", {{"Х-пик", 1}}),
        Record(1, "/lab/blank.stg", {{"Х-пик", 1}}),
        Record(33, "C:\\chrom\\t.stg", {{c10, 5}, {"Метан", 3}, {"2-МЕТИЛПЕНТАН", 4}}),
        Record(2, "/lab/gs/a1.stg", {{"Метан", 100, 1.5}, {"Пик 7", 2}, {"", 1}, {"н-гексан", 10}}),
        Record(30, "d.stg", {{"Водород", 1}, {"Неон2", 1}}),
        Record(16, "/lab/gd.stg", {{"Неизв", 1}}),
    };
    records[1].isCalibration = records[2].isCalibration = true;  // marked, in roles that need no cylinder
    Recalculate();

    // Roles in ascending order, each file's peaks in table order.
    EXPECT_EQ(log.warnings(), Texts({
        "Неизвестный пик 'Пик 7' в файле a1.stg.",
        "Неизвестный пик '' в файле a1.stg.",
        "Неизвестный пик 'Неизв' в файле gd.stg.",
        "Неизвестный пик 'Неон2' в файле d.stg.",
        "Неизвестный пик 'Метан' в файле t.stg.",
        "ГС Анализ 2: нет хроматограммы, параллель учтена как 0.",
        "ГД Анализ 2: нет хроматограммы, параллель учтена как 0.",
        "ДК С1С5 2: нет хроматограммы, параллель учтена как 0.",
    }));
    EXPECT_EQ(data.knownPeaks().size(), 4u);  // none for the unassigned and the blank chromatogram
    EXPECT_EQ(Names(Known(2)), QStringList({"Метан", "н-гексан"}));  // known, but only exact names are merged
    EXPECT_TRUE(Known(16).empty());
    EXPECT_EQ(Names(Known(30)), QStringList({"Водород"}));
    EXPECT_EQ(Names(Known(33)), QStringList({c10, "2-МЕТИЛПЕНТАН"}));
    const PeakItem& methane = Known(2).front();
    EXPECT_EQ(methane.sortGroup, 0);
    EXPECT_ALL_REL_NEAR((std::vector<double>{methane.area, methane.concentration, methane.retentionTime,
                                             methane.startTime, methane.endTime}),
                        {100, 1.5, 1.0, 0.9, 1.1});
    EXPECT_EQ(data.chromatograms().size(), 6u);
    EXPECT_EQ(data.chromatograms().find(33)->second.record, &records[2]);
    // Nothing calibrates the analysis, so its peaks are all left over.
    EXPECT_EQ(log.infos(), Texts({"ГС Анализ 1: Пик 'Метан' не использован в расчете.",
                                  "ГС Анализ 1: Пик 'н-гексан' не использован в расчете.",
                                  "ДК С1С5 1: Пик 'Водород' не использован в расчете."}));
}

TEST_F(CalcDataTest, groupPeaksOfTheGasAnalysesAreMerged)
{
    records = {
        Record(2, "/lab/a.stg", {{"Метан", 100, 1}, {"н-Гексан", 10, 0.1}, {"Бензол", 5, 0.05}, {"Этан", 50, 0.5},
                                 {"н-Гептан", 7, 0.07}, {"н-Нонан", 3, 0.03}, {"н-Додекан", 2, 0.02}}),
        Record(17, "/lab/b.stg", {{QString::fromUtf16(u"\u04216+"), 4, 0.04}, {"Толуол", 6, 0.06}}),
        Record(30, "/lab/c.stg", {{"н-Гексан", 1}}),
        Record(5, "/lab/d.stg", {{"Бензол", 1}}),
        // A second instrument's runs in the same slots: what both measured is summed twice.
        Record(2, "/lab/b/a.stg", {{"Бензол", 1, 0.01}, {"н-Декан", 1}, {"н-Гексан", 20, 0.2}}),
        Record(17, "/lab/b/b.stg", {{"н-Гептан", 2}, {"Толуол", 3}}),
    };
    Recalculate();

    EXPECT_EQ(Names(Known(2)), QStringList({"Метан", "Этан", "Группа С6", "Группа С7", "Группа С9", "Группа С10", "Группа С12"}));
    const PeakItem& c6 = Named(Known(2), "Группа С6");
    EXPECT_REL_NEAR(c6.area, 36);
    EXPECT_REL_NEAR(c6.concentration, 0.36);
    EXPECT_EQ(c6.sortGroup, -1);
    EXPECT_EQ(c6.retentionTime, -DBL_MAX);
    EXPECT_EQ(c6.endTime, -DBL_MAX);
    EXPECT_REL_NEAR(Named(Known(2), "Группа С12").concentration, 0.02);
    EXPECT_EQ(Names(Known(17)), QStringList({"Группа С6", "Группа С7"}));
    EXPECT_REL_NEAR(Known(17)[1].area, 11);
    // One warning per slot and group, for the members in both runs only.
    EXPECT_EQ(log.warnings(), Texts({
        "ГС Анализ 1: Группа С6 просуммирована по хроматограммам /lab/a.stg, /lab/b/a.stg, компоненты н-Гексан, Бензол учтены в ней более одного раза.",
        "ГД Анализ 2: Группа С7 просуммирована по хроматограммам /lab/b.stg, /lab/b/b.stg, компонент Толуол учтен в ней более одного раза.",
        "ГС Анализ 2: нет хроматограммы, параллель учтена как 0.",
        "ГД Анализ 1: нет хроматограммы, параллель учтена как 0.",
        "ДК С1С5 2: нет хроматограммы, параллель учтена как 0.",
    }));
    // Condensate and calibration peaks are never merged.
    EXPECT_EQ(Names(Known(30)), QStringList({"н-Гексан"}));
    EXPECT_EQ(Names(Known(5)), QStringList({"Бензол"}));
}

TEST_F(CalcDataTest, separatorGasRunsFromCalibrationThroughTheCheck)
{
    settings.params.GsPressure = 100.0;
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 90.0}, {"Этан", 8.0}, {"н-Гексан", 0.2}, {"н-Бутан", 0.5}})};
    for (int slot : {5, 6, 7})
        records.push_back(Record(slot, "/lab/cal.stg", {{"Метан", 900}, {"Этан", 160}, {"н-Гексан", 100}, {"н-Бутан", 50}}, "Б-1"));
    records.push_back(Record(2, "/lab/gs1.stg", {{"Метан", 880}, {"Этан", 170}, {"н-Гексан", 60}, {"Бензол", 40},
                                                 {"н-Бутан", 45}, {"и-Пентан", 20}}));
    records.push_back(Record(3, "/lab/gs2.stg", {{"Метан", 890}, {"Этан", 165}, {"н-Гексан", 55}, {"Бензол", 40},
                                                 {"н-Бутан", 50}, {"и-Пентан", 25}}));
    records.back().leftOutOf = QStringLiteral("ДК С1С5"); // found a later type's slot: used, not named
    records.push_back(Record(35, "/lab/dc-s2.stg", {{"Сульфид водорода", 0, 10}}));
    records.push_back(Record(38, "/lab/dc-m2.stg", {{"Метанол", 0, 300}}));
    records.push_back(Record(0, "/lab/old/gs1.stg", {{"Метан", 870}}));
    records.back().leftOutOf = QStringLiteral("ГС Анализ");
    records.push_back(Record(0, "/lab/cal7790.stg", {{"Метан", 900}}, "Калибровка баллон 7790"));
    records.back().isCalibration = true;  // its cylinder is not in the database
    records.push_back(Record(0, "/lab/calДК.stg", {{"Метан", 900}}, "Калибровка Б-ДК"));
    records.back().isCalibration = true;
    records.back().mixture = Cylinder(MixtureKindDc, "Б-ДК", {{"Метан", 1.0}});  // no gas calibration takes it
    Recalculate();

    EXPECT_EQ(Names(data.gs().calibrationResult.rows),
              QStringList({"Метан", "Этан", "н-Бутан", "и-Пентан", "н-Пентан", "нео-Пентан", "н-Гексан", "Группа С7", "Группа С8"}));
    // Factors 0.1, 0.05, 0.01, 0.008 (derived) and 0.002 (н-Гексан, for the group of н-Гексан and Бензол).
    const GasAnalysisResult r = data.GetGsAnalysisResult();
    ASSERT_EQ(Names(r.rows), QStringList({"Метан", "Этан", "н-Бутан", "и-Пентан", "Группа С6"}));
    EXPECT_REL_NEAR(r.density, 0.7276407537622303);
    const std::vector<double> raw[] = {{88.0, 89.0}, {8.5, 8.25}, {0.45, 0.5}, {0.16, 0.2}, {0.2, 0.19}};
    const bool ok[] = {true, false, false, false, true};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_ALL_REL_NEAR(r.rows[i].rawConc, raw[i]);
        EXPECT_EQ(r.rows[i].ok, ok[i]) << r.rows[i].name.toStdString();
    }
    // The check ran with no sulphur or methanol share: final = normalised.
    EXPECT_ALL_REL_NEAR(r.rows[1].finalConc, {8.734970712157024, 8.406358263704911});
    EXPECT_REL_NEAR(r.rows[1].mean, 8.570664487930967);
    EXPECT_REL_NEAR(r.rows[1].range, 3.8341536868565758);
    EXPECT_REL_NEAR(r.rows[1].norm, 2.2857601307241415);  // two parallels: r2a − r2b·X
    EXPECT_REL_NEAR(r.rows[4].uncertainty, 0.05270075181107939);
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({"ГД Калибровка: Отсутствует ГД баллон."}));
    // A run left out and the condensate's missing parallels, in every run.
    const std::vector<QString> warnings = Texts({"ГС Анализ: Хроматограмма /lab/old/gs1.stg не использована в расчете, все параллели уже заняты.",
                                                 "Калибровка: В названии пробы 'Калибровка баллон 7790' калибровочной хроматограммы /lab/cal7790.stg не указан ни один баллон из базы.",
                                                 "Калибровка: В названии пробы 'Калибровка Б-ДК' калибровочной хроматограммы /lab/calДК.stg указан баллон Б-ДК, а не баллон ГС или ГД.",
                                                 "ДК ССС 1: нет хроматограммы, параллель учтена как 0.", "ДК Метанол 1: нет хроматограммы, параллель учтена как 0."});
    EXPECT_EQ(log.warnings(), warnings);
    EXPECT_TRUE(log.infos().empty());

    // Nothing carries over into a second run.
    const std::vector<QString> errors = log.errors();
    Recalculate();
    const GasAnalysisResult again = data.GetGsAnalysisResult();
    ASSERT_EQ(again.rows.size(), 5u);
    EXPECT_EQ(again.rows[4].rawConc, r.rows[4].rawConc);
    EXPECT_EQ(again.density, r.density);
    EXPECT_EQ(log.errors(), errors);
    EXPECT_EQ(log.warnings(), warnings);
    EXPECT_TRUE(log.infos().empty());
    EXPECT_EQ(Names(Known(2)), QStringList({"Метан", "Этан", "н-Бутан", "и-Пентан", "Группа С6"}));
}

TEST_F(CalcDataTest, surplusAndSharedRunsAreNeverWrittenPastTheParallels)
{
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 90.0}, {"н-Бутан", 0.5}})};
    records = {
        Record(5, "/lab/c1a.stg", {{"Метан", 900}, {"н-Бутан", 50}}),
        Record(5, "/lab/c1b.stg", {{"Метан", 800}, {"н-Бутан", 40}}),  // a second record in the same slot
        Record(6, "/lab/c2.stg", {{"Метан", 900}, {"н-Бутан", 50}}),
        Record(7, "/lab/c3.stg", {{"Метан", 900}, {"н-Бутан", 50}}),
        Record(8, "/lab/c4.stg", {{"Метан", 100}, {"н-Бутан", 10}}),   // beyond three runs
        Record(2, "/lab/a1.stg", {{"Метан", 1000}}),
        Record(3, "/lab/a2.stg", {{"Метан", 950}}),
        Record(4, "/lab/a3.stg", {{"Метан", 5}}),                      // beyond two parallels
    };
    Recalculate();

    const CalibrationRow& methane = data.gs().calibrationResult.rows.at(0);
    EXPECT_EQ(methane.name, QString("Метан"));
    EXPECT_ALL_REL_NEAR(methane.K, {0.1, 0.1, 0.1});
    const GasAnalysisResult analysis = data.GetGsAnalysisResult();
    ASSERT_EQ(analysis.rows.size(), 1u);
    EXPECT_ALL_REL_NEAR(analysis.rows[0].rawConc, {100, 95});
    EXPECT_EQ(log.infos(), Texts({
        "ГС Калибровка 1: Пик 'Метан' не использован в расчете.",
        "ГС Калибровка 1: Пик 'н-Бутан' не использован в расчете.",
        "ГС Калибровка 4: Пик 'Метан' не использован в расчете.",
        "ГС Калибровка 4: Пик 'н-Бутан' не использован в расчете.",
        "ГС Анализ 3: Пик 'Метан' не использован в расчете.",
    }));
}

TEST_F(CalcDataTest, aRunThatFailsLeavesNoResultOfTheRunBefore)
{
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 90.0}}), Cylinder(MixtureKindGd, "Б-2", {{"Метан", 80.0}})};
    for (int slot : {5, 6, 7, 19, 20, 21})
        records.push_back(Record(slot, "/lab/cal.stg", {{"Метан", 900}}));
    for (int slot : {2, 3, 16, 17})
        records.push_back(Record(slot, "/lab/gas.stg", {{"Метан", 1000}}));
    Recalculate();
    ASSERT_FALSE(data.gs().calibrationResult.rows.empty());
    ASSERT_FALSE(data.GetGsAnalysisResult().rows.empty());
    ASSERT_FALSE(data.gd().calibrationResult.rows.empty());
    ASSERT_FALSE(data.GetGdAnalysisResult().rows.empty());

    ASSERT_FALSE(data.GetPgMethod1Result().rows.empty());

    // A blank and two С6-С44 runs too long to subtract: the condensate stage
    // fails for want of memory after the gas stages have run. The samples
    // are only reserved, never touched.
    settings.general.enBlankSubtraction = 1;
    records.reserve(records.size() + 3);
    for (int slot : {1, 40, 41}) {
        records.push_back(Record(slot, "/lab/huge.stg", {}));
        records.back().signal.setStep(1.0 / 600.0);
        records.back().signal.samples().resize(64u << 20);
    }
    {
        testsupport::AddressSpaceCap cap(128ull << 20);
        if (!cap.active())
            GTEST_SKIP() << "the address space cannot be limited here";
        EXPECT_THROW(Recalculate(), std::bad_alloc);
    }
    // The gas results are this run's; nothing of the run before is left.
    EXPECT_FALSE(data.GetGsAnalysisResult().rows.empty());
    EXPECT_TRUE(data.GetDcC6C44FractionsResult().rows.empty());
    EXPECT_TRUE(data.GetDcC6C44GroupsResult().rows.empty());
    EXPECT_TRUE(data.GetPgMethod1Result().rows.empty());
    EXPECT_TRUE(data.GetPgMethod2Result().rows.empty());
    EXPECT_TRUE(data.GetPgCompFract1Result().rows.empty());
}

TEST_F(CalcDataTest, noChromatogramsStillRunEveryStage)
{
    EXPECT_TRUE(data.GetGsAnalysisResult().rows.empty());  // before the first run
    EXPECT_EQ(data.GetGsAnalysisResult().nParallel, 0);

    data.Recalculate(nullptr, nullptr, nullptr, log);
    EXPECT_TRUE(data.chromatograms().empty());
    EXPECT_TRUE(data.knownPeaks().empty());
    EXPECT_EQ(data.GetGsAnalysisResult().nParallel, 2);
    EXPECT_EQ(data.GetGdAnalysisResult().density, 0.0);
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({"ГС Калибровка: Отсутствует ГС баллон.", "ГД Калибровка: Отсутствует ГД баллон."}));
    EXPECT_TRUE(log.warnings().empty());
    EXPECT_TRUE(log.infos().empty());
}

TEST_F(CalcDataTest, baselineIsMeasuredBeforeTheSampleStartOnlyWithBlankSubtraction)
{
    // 1, 2, 3 repeated up to 0.4 min, then 4, 5, 6; a sample every 0.001 min.
    std::vector<float> samples;
    for (int i = 0; i < 600; ++i)
        samples.push_back(static_cast<float>((i < 400 ? 1 : 4) + i % 3));
    records = {Record(40, "/lab/c6.stg", {})};
    records[0].signal = CLattice(samples, 0.0, 0.001);
    settings.general.TimeStartSample = 0.5;

    Recalculate();  // from the start to 1 s: 16 samples whose band holds only the 2s
    EXPECT_REL_NEAR(data.chromatograms().find(40)->second.baselineLevel, 2.0);
    settings.general.enBlankSubtraction = 1;
    Recalculate();  // the 5 s before 0.5 min: the band holds only the 5s
    EXPECT_REL_NEAR(data.chromatograms().find(40)->second.baselineLevel, 5.0);
}

TEST_F(CalcDataTest, formationGasStagesRunLastOnTheResultsOfTheOthers)
{
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 90.0}, {"Этан", 10.0}})};
    for (int slot : {5, 6, 7})
        records.push_back(Record(slot, "/lab/cal.stg", {{"Метан", 900}, {"Этан", 100}}));
    for (int slot : {2, 3})
        records.push_back(Record(slot, "/lab/gs.stg", {{"Метан", 600}, {"Этан", 200}}));
    Recalculate();

    // Factors 0.1 and 0.1: 75 % methane and 25 % ethane, the formation gas
    // without sampling parameters is the separator gas.
    const CalcPgMethod1Result m1 = data.GetPgMethod1Result();
    ASSERT_EQ(m1.rows.size(), 23u);
    EXPECT_REL_NEAR(m1.rows[3].GsMol, 75.0);
    EXPECT_REL_NEAR(m1.rows[5].PgMol, 25.0);
    EXPECT_REL_NEAR(m1.gsMolarMass, (75 * 16.043 + 25 * 30.07) / 100);
    EXPECT_TRUE(data.pg().sulphurSummary.rows.empty());
    const CalcPgMethod2Result m2 = data.GetPgMethod2Result();
    EXPECT_EQ(Names(m2.rows), Names(m1.rows));
    EXPECT_REL_NEAR(m2.rows[3].PgMasF, 75 * 16.043 * 100 / (75 * 16.043 + 25 * 30.07));
    const CompFractResult f1 = data.GetPgCompFract1Result();
    const CompFractResult f2 = data.GetPgCompFract2Result();
    ASSERT_EQ(f1.rows.size(), 64u);
    ASSERT_EQ(f2.rows.size(), 64u);
    EXPECT_REL_NEAR(f1.rows[3].pg, 75 * 16.043 * 100 / (75 * 16.043 + 25 * 30.07));
    EXPECT_REL_NEAR(f2.rows[5].pg, 25 * 30.07 * 100 / (75 * 16.043 + 25 * 30.07));
    EXPECT_TRUE(log.infos().empty());
}
