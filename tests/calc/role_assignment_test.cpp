#include <gtest/gtest.h>

#include "calc/ChromatogramSlot.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/GeneralSettings.h"

#include <memory>

namespace {

// Rows of the type table.
enum Row {
    Blank = 0, GsAnalysis = 1, GsCalibration = 2, GsSulphur = 3, GsMethanol = 4, GdAnalysis = 5,
    GdCalibration = 6, GdSulphur = 7, GdMethanol = 8, DcC1C5 = 9, DcTemperature = 10,
};

ChromatogramRecord record(const QString& path, const QString& sample, const QString& method,
                          std::int64_t time, MixturePtr mixture = nullptr)
{
    ChromatogramRecord r;
    r.path = path;
    r.sample = sample;
    r.method = method;
    r.analysisTime = time;
    r.isCalibration = mixture != nullptr;
    r.mixture = std::move(mixture);
    return r;
}

MixturePtr cylinder(int number, const QString& name, int type)
{
    auto m = std::make_shared<MixtureData>();
    m->number = number;
    m->name = name;
    m->type = type;
    return m;
}

const ChromatogramRecord& byPath(const std::vector<ChromatogramRecord>& records, const QString& path)
{
    for (const ChromatogramRecord& r : records)
        if (r.path == path)
            return r;
    static const ChromatogramRecord none;
    ADD_FAILURE() << "no record " << path.toStdString();
    return none;
}

// A laboratory's table: gases measured by "ГАЗ-1", condensate by its own methods.
GeneralSettings laboratorySettings()
{
    GeneralSettings g;
    TypeRuleTable& t = g.typeRules;
    t.SetMethodPattern(Blank, QStringLiteral("ГАЗ-1"));
    t.SetSamplePattern(Blank, QStringLiteral("Холост"));
    t.SetMethodPattern(GsCalibration, QStringLiteral("ГАЗ-1"));
    t.SetSamplePattern(GsCalibration, QStringLiteral("Калибр"));
    t.SetMethodPattern(GsAnalysis, QStringLiteral("ГАЗ-1"));
    t.SetSamplePattern(GsAnalysis, QStringLiteral("ГС"));
    t.SetMethodPattern(GdCalibration, QStringLiteral("ГАЗ-1"));
    t.SetSamplePattern(GdCalibration, QStringLiteral("Калибр"));
    t.SetMethodPattern(GdAnalysis, QStringLiteral("ГАЗ-1"));
    t.SetSamplePattern(GdAnalysis, QStringLiteral("ГД"));
    t.SetMethodPattern(DcTemperature, QStringLiteral("ДК-Темп"));
    t.SetSamplePattern(DcTemperature, QStringLiteral("алкан"));
    t.SetMethodPattern(DcC1C5, QStringLiteral("ДК-С1С5"));
    t.SetSamplePattern(DcC1C5, QStringLiteral("ДК"));
    return g;
}

// A day's work, added in no particular order. The calibration samples name
// a ГСО cylinder, so they also fit the separator-gas analysis rule ("ГС").
// The condensate runs c2 and c3 carry the same analysis time.
std::vector<ChromatogramRecord> laboratoryDay()
{
    const MixturePtr gsCylinder = cylinder(2, QStringLiteral("Баллон 7"), MixtureKindGs);
    const QString gas = QStringLiteral("ГАЗ-1");
    return {
        record("g3", QStringLiteral("ГС скв. 41"), gas, 3200),
        record("k2", QStringLiteral("Калибровка ГСО-12"), gas, 2100, gsCylinder),
        record("blank", QStringLiteral("Холостая проба"), gas, 1000),
        record("c2", QStringLiteral("ДК скв. 41"), QStringLiteral("ДК-С1С5"), 6100),
        record("g1", QStringLiteral("ГС скв. 41"), gas, 3000),
        record("k1", QStringLiteral("Калибровка ГСО-12"), gas, 2000, gsCylinder),
        record("d1", QStringLiteral("ГД скв. 41"), gas, 4000),
        record("temp", QStringLiteral("Смесь алканов"), QStringLiteral("ДК-Темп"), 5000),
        record("c3", QStringLiteral("ДК скв. 41"), QStringLiteral("ДК-С1С5"), 6100),
        record("d2", QStringLiteral("ГД скв. 41"), gas, 4100),
        record("g2", QStringLiteral("ГС скв. 41"), gas, 3100),
        record("k3", QStringLiteral("Калибровка ГСО-12"), gas, 2200, gsCylinder),
        record("c1", QStringLiteral("ДК скв. 41"), QStringLiteral("ДК-С1С5"), 6000),
        record("d3", QStringLiteral("ГД скв. 41"), gas, 4200),
    };
}

QStringList paths(const std::vector<ChromatogramRecord>& records)
{
    QStringList list;
    for (const ChromatogramRecord& r : records)
        list.append(r.path);
    return list;
}

} // namespace

TEST(RoleAssignmentSplit, keepsBlankTokensBetweenSeparatorsButNoEmptyRuns)
{
    EXPECT_EQ(SplitRuleText(QStringLiteral("A; ;B"), QStringLiteral(";,")),
              (std::vector<QString>{QStringLiteral("A"), QString(), QStringLiteral("B")}));
    EXPECT_EQ(SplitRuleText(QStringLiteral(";;A,,B;"), QStringLiteral(";,")),
              (std::vector<QString>{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(SplitRuleText(QStringLiteral("  Газ 1 ,\tГаз 2\t"), QStringLiteral(";,")),
              (std::vector<QString>{QStringLiteral("Газ 1"), QStringLiteral("Газ 2")}));
    EXPECT_TRUE(SplitRuleText(QString(), QStringLiteral(";,")).empty());
    EXPECT_TRUE(SplitRuleText(QStringLiteral(";,;"), QStringLiteral(";,")).empty());
}

TEST(RoleAssignmentDay, givesEveryRunItsRoleWithTheSmallerAnalysisCounts)
{
    std::vector<ChromatogramRecord> records = laboratoryDay();
    SortChromatograms(records);
    // No cylinder first, by time (c2 before c3 as added), then the cylinder's runs.
    EXPECT_EQ(paths(records), QStringList({"blank", "g1", "g2", "g3", "d1", "d2", "d3", "temp", "c1", "c2", "c3",
                                           "k1", "k2", "k3"}));
    AssignCalculationTypes(records, laboratorySettings());

    EXPECT_EQ(byPath(records, "blank").role, SlotBlank);
    EXPECT_EQ(byPath(records, "blank").typeName, QStringLiteral("Холостая"));
    // The calibration runs name their cylinder.
    EXPECT_EQ(byPath(records, "k1").role, SlotGsCalibration1);
    EXPECT_EQ(byPath(records, "k1").typeName, QStringLiteral("ГС Калибровка 1 (Баллон 7)"));
    EXPECT_EQ(byPath(records, "k2").role, SlotGsCalibration2);
    EXPECT_EQ(byPath(records, "k3").role, SlotGsCalibration3);
    EXPECT_EQ(byPath(records, "k3").typeName, QStringLiteral("ГС Калибровка 3 (Баллон 7)"));
    // Two analyses: the third run stays without a role and a type name.
    EXPECT_EQ(byPath(records, "g1").role, SlotGsAnalysis1);
    EXPECT_EQ(byPath(records, "g2").role, SlotGsAnalysis2);
    EXPECT_EQ(byPath(records, "g2").typeName, QStringLiteral("ГС Анализ 2"));
    EXPECT_EQ(byPath(records, "g3").role, SlotNone);
    EXPECT_EQ(byPath(records, "g3").typeName, QString());
    EXPECT_EQ(byPath(records, "d1").role, SlotGdAnalysis1);
    EXPECT_EQ(byPath(records, "d2").role, SlotGdAnalysis2);
    EXPECT_EQ(byPath(records, "d3").role, SlotNone);
    EXPECT_EQ(byPath(records, "temp").role, SlotDcTemperature);
    EXPECT_EQ(byPath(records, "temp").typeName, QStringLiteral("ДК Температурная"));
    EXPECT_EQ(byPath(records, "c1").role, SlotDcC1C5_1);
    EXPECT_EQ(byPath(records, "c2").role, SlotDcC1C5_2);
    EXPECT_EQ(byPath(records, "c3").role, SlotNone);
}

TEST(RoleAssignmentDay, largerAnalysisCountsFillTheThirdSlots)
{
    GeneralSettings settings = laboratorySettings();
    settings.QtyGsRegular = 1;
    settings.QtyGdRegular = 1;
    settings.QtyDcC1C5 = 1;
    settings.QtyGsCalib = 1;
    std::vector<ChromatogramRecord> records = laboratoryDay();
    SortChromatograms(records);
    AssignCalculationTypes(records, settings);

    EXPECT_EQ(byPath(records, "g3").role, SlotGsAnalysis3);
    EXPECT_EQ(byPath(records, "g3").typeName, QStringLiteral("ГС Анализ 3"));
    EXPECT_EQ(byPath(records, "d3").role, SlotGdAnalysis3);
    EXPECT_EQ(byPath(records, "c2").role, SlotDcC1C5_2);
    EXPECT_EQ(byPath(records, "c3").role, SlotDcC1C5_3);
    EXPECT_EQ(byPath(records, "c3").typeName, QStringLiteral("ДК С1С5 3"));
    // Five calibration slots, three runs: the runs keep slots 1 to 3.
    EXPECT_EQ(byPath(records, "k3").role, SlotGsCalibration3);
}

TEST(RoleAssignmentDay, aReassignmentForgetsTheRolesOfAnEarlierTable)
{
    std::vector<ChromatogramRecord> records = laboratoryDay();
    SortChromatograms(records);
    AssignCalculationTypes(records, laboratorySettings());
    ASSERT_EQ(byPath(records, "g1").role, SlotGsAnalysis1);

    // The default table has every pattern empty: no run gets a role.
    AssignCalculationTypes(records, GeneralSettings());
    for (const ChromatogramRecord& r : records) {
        EXPECT_EQ(r.role, SlotNone) << r.path.toStdString();
        EXPECT_EQ(r.typeName, QString()) << r.path.toStdString();
    }
}

TEST(RoleAssignmentCalibration, runServesOnlyTheCalibrationOfItsCylindersGas)
{
    GeneralSettings settings = laboratorySettings();
    std::vector<ChromatogramRecord> records = {
        record("gd", QStringLiteral("Калибровка 3"), QStringLiteral("ГАЗ-1"), 100,
               cylinder(1, QStringLiteral("Баллон ГД"), MixtureKindGd)),
        record("dc", QStringLiteral("Калибровка 4"), QStringLiteral("ГАЗ-1"), 200,
               cylinder(2, QStringLiteral("Баллон ДК"), MixtureKindDc)),
        record("none", QStringLiteral("Калибровка ГС"), QStringLiteral("ГАЗ-1"), 300),
    };
    records[2].isCalibration = true;  // a calibration run without a cylinder
    AssignCalculationTypes(records, settings);

    EXPECT_EQ(records[0].role, SlotGdCalibration1);
    EXPECT_EQ(records[0].typeName, QStringLiteral("ГД Калибровка 1 (Баллон ГД)"));
    // Neither gas's calibration takes a condensate cylinder's run.
    EXPECT_EQ(records[1].role, SlotNone);
    // Without a cylinder the run is no calibration, but other families may take it.
    EXPECT_EQ(records[2].role, SlotGsAnalysis1);
    EXPECT_EQ(records[2].typeName, QStringLiteral("ГС Анализ 1"));
}

TEST(RoleAssignmentCalibration, runFittingBothCalibrationAndAnalysisBecomesACalibration)
{
    const MixturePtr gs = cylinder(4, QStringLiteral("Баллон 4"), MixtureKindGs);
    std::vector<ChromatogramRecord> records = {
        record("k", QStringLiteral("Калибровка ГС"), QStringLiteral("ГАЗ-1"), 100, gs),
        record("g", QStringLiteral("ГС скв. 2"), QStringLiteral("ГАЗ-1"), 200),
    };
    AssignCalculationTypes(records, laboratorySettings());
    EXPECT_EQ(records[0].role, SlotGsCalibration1);
    EXPECT_EQ(records[1].role, SlotGsAnalysis1);
}

TEST(RoleAssignmentRule, eachMethodTokenCountsItsOwnRuns)
{
    TypeRuleTable rules;
    rules.FillDefaultTypeRules();
    rules.SetMethodPattern(GsMethanol, QStringLiteral("М-1;М-2"));
    rules.SetSamplePattern(GsMethanol, QStringLiteral("Метанол"));
    std::vector<ChromatogramRecord> records = {
        record("a1", QStringLiteral("Метанол"), QStringLiteral("М-1"), 1),
        record("b1", QStringLiteral("Метанол"), QStringLiteral("М-2"), 2),
        record("a2", QStringLiteral("Метанол"), QStringLiteral("М-1"), 3),
        record("b2", QStringLiteral("Метанол"), QStringLiteral("М-2"), 4),
        // Fits both tokens; the first token's family is full, and the second is not tried.
        record("a3", QStringLiteral("Метанол"), QStringLiteral("М-1 и М-2"), 5),
    };
    std::vector<ChromatogramRecord*> candidates;
    for (ChromatogramRecord& r : records)
        candidates.push_back(&r);
    MatchTypeRule(candidates, 2, SlotGsMethanol1, rules);

    EXPECT_EQ(records[0].role, SlotGsMethanol1);
    EXPECT_EQ(records[1].role, SlotGsMethanol1);
    EXPECT_EQ(records[2].role, SlotGsMethanol2);
    EXPECT_EQ(records[3].role, SlotGsMethanol2);
    EXPECT_EQ(records[3].typeName, QStringLiteral("ГС Метанол 2"));
    EXPECT_EQ(records[4].role, SlotNone);
}

TEST(RoleAssignmentRule, blankTokenMatchesEveryNameAndMatchingHeedsLetterCase)
{
    TypeRuleTable rules;
    rules.FillDefaultTypeRules();
    rules.SetMethodPattern(GsSulphur, QStringLiteral("ССС"));
    rules.SetSamplePattern(GsSulphur, QStringLiteral("Сера; ;Тиолы"));
    std::vector<ChromatogramRecord> records = {
        record("any", QStringLiteral("Проба 5"), QStringLiteral("Метод ССС"), 1),
        record("lower", QStringLiteral("Проба 6"), QStringLiteral("метод ссс"), 2),
    };
    std::vector<ChromatogramRecord*> candidates = {&records[0], &records[1]};
    MatchTypeRule(candidates, 3, SlotGsSulphur1, rules);

    EXPECT_EQ(records[0].role, SlotGsSulphur1);
    EXPECT_EQ(records[1].role, SlotNone);
}
