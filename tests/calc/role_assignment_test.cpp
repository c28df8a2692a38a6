#include <gtest/gtest.h>

#include "data/ChromatogramSlot.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/GeneralSettings.h"
#include "support/LaboratoryTypeRules.h"

#include <initializer_list>
#include <memory>
#include <optional>

using namespace testsupport;

namespace {

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
    m->identifier = name;
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

// What a run should end with; the type name only where one is given.
struct Role
{
    const char* path;
    int slot;
    std::optional<QString> typeName;
};

void ExpectRoles(const std::vector<ChromatogramRecord>& records, std::initializer_list<Role> roles)
{
    for (const Role& e : roles) {
        SCOPED_TRACE(e.path);
        const ChromatogramRecord& r = byPath(records, QString::fromLatin1(e.path));
        EXPECT_EQ(r.role, e.slot);
        if (e.typeName) {
            EXPECT_EQ(r.typeName, *e.typeName);
        }
    }
}

// Matches every record against the one row of an otherwise empty table, for
// up to that many runs from its first slot on; gives the roles in record order.
std::vector<int> MatchOneRule(std::vector<ChromatogramRecord>& records, TypeRow row, const QString& method,
                              const QString& sample, int runs, int firstSlot)
{
    TypeRuleTable rules;
    rules.FillDefaultTypeRules();
    rules.SetMethodPattern(row, method);
    rules.SetSamplePattern(row, sample);
    std::vector<ChromatogramRecord*> candidates;
    for (ChromatogramRecord& r : records)
        candidates.push_back(&r);
    MatchTypeRule(candidates, runs, firstSlot, rules);
    std::vector<int> roles;
    for (const ChromatogramRecord& r : records)
        roles.push_back(r.role);
    return roles;
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
    // A fourth calibration run finds the calibration full; its sample fits
    // "ГС", yet a calibration mixture takes no analysis of the well.
    records.push_back(byPath(records, "k3"));
    records.back().path = QStringLiteral("k4");
    AssignCalculationTypes(records, laboratorySettings());

    // The calibration runs name their cylinder; of two analyses, the third run
    // stays without a role and a type name.
    ExpectRoles(records, {
        {"blank", SlotBlank, QStringLiteral("Холостая")},
        {"k1", SlotGsCalibration1, QStringLiteral("ГС Калибровка 1 (Баллон 7)")},
        {"k2", SlotGsCalibration2, {}},
        {"k3", SlotGsCalibration3, QStringLiteral("ГС Калибровка 3 (Баллон 7)")},
        {"g1", SlotGsAnalysis1, {}},
        {"g2", SlotGsAnalysis2, QStringLiteral("ГС Анализ 2")},
        {"g3", SlotNone, QString()},
        {"d1", SlotGdAnalysis1, {}},
        {"d2", SlotGdAnalysis2, {}},
        {"d3", SlotNone, {}},
        {"temp", SlotDcTemperature, QStringLiteral("ДК Температурная")},
        {"c1", SlotDcC1C5_1, {}},
        {"c2", SlotDcC1C5_2, {}},
        {"c3", SlotNone, {}},
    });
    // A run beyond a count keeps the calculation it was left out of.
    EXPECT_EQ(byPath(records, "g3").leftOutOf, QStringLiteral("ГС Анализ"));
    EXPECT_EQ(byPath(records, "c3").leftOutOf, QStringLiteral("ДК С1С5"));
    EXPECT_EQ(byPath(records, "k4").role, SlotNone);
    EXPECT_EQ(byPath(records, "k4").leftOutOf, QStringLiteral("ГС Калибровка"));
    EXPECT_EQ(byPath(records, "g2").leftOutOf, QString());
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

    // Five calibration slots, three runs: the runs keep slots 1 to 3.
    ExpectRoles(records, {
        {"g3", SlotGsAnalysis3, QStringLiteral("ГС Анализ 3")},
        {"d3", SlotGdAnalysis3, {}},
        {"c2", SlotDcC1C5_2, {}},
        {"c3", SlotDcC1C5_3, QStringLiteral("ДК С1С5 3")},
        {"k3", SlotGsCalibration3, {}},
    });
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
        EXPECT_EQ(r.leftOutOf, QString()) << r.path.toStdString();
    }
}

TEST(RoleAssignmentCalibration, runServesOnlyTheCalibrationOfItsCylindersGas)
{
    GeneralSettings settings = laboratorySettings();
    const QString gas = QStringLiteral("ГАЗ-1");
    std::vector<ChromatogramRecord> records = {
        record("gd", QStringLiteral("Калибровка 3"), gas, 100, cylinder(1, QStringLiteral("Баллон ГД"), MixtureKindGd)),
        record("dc", QStringLiteral("Калибровка 4"), gas, 200, cylinder(2, QStringLiteral("Баллон ДК"), MixtureKindDc)),
        record("none", QStringLiteral("Калибровка ГС"), gas, 300),
        record("unmarked", QStringLiteral("Калибровка баллон 7790-ГД"), gas, 400),
        record("taken", QStringLiteral("Калибровка Г-5"), gas, 500),
        record("temp", QStringLiteral("Смесь алканов"), QStringLiteral("ДК-Темп"), 600),
        record("blank", QStringLiteral("Холостая"), gas, 700),
    };
    for (int i : {2, 5, 6})
        records[i].isCalibration = true;  // calibration runs without a cylinder
    AssignCalculationTypes(records, settings, {cylinder(1, "7731", MixtureKindGs), cylinder(2, "7790", MixtureKindGs),
                                               cylinder(3, "7790-ГД", MixtureKindGd), cylinder(4, "Г-5", MixtureKindGd)});

    EXPECT_EQ(records[0].role, SlotGdCalibration1);
    EXPECT_EQ(records[0].typeName, QStringLiteral("ГД Калибровка 1 (Баллон ГД)"));
    // Neither gas's calibration takes a condensate cylinder's run.
    EXPECT_EQ(records[1].role, SlotNone);
    // A calibration mixture is no sample of the well, though "ГС" fits its
    // sample; the blank and the temperature scale still take such runs.
    EXPECT_EQ(records[2].role, SlotNone);
    EXPECT_EQ(records[2].typeName, QString());
    EXPECT_EQ(records[5].role, SlotDcTemperature);
    EXPECT_EQ(records[6].role, SlotBlank);
    // A run its passport does not mark shows the cylinder its sample names
    // among those of the slot's gas, though a longer one of the other gas
    // is named too; a run naming none of them, the first of its gas.
    EXPECT_EQ(records[3].typeName, QStringLiteral("ГС Калибровка 1 (7790)"));
    EXPECT_EQ(records[4].typeName, QStringLiteral("ГС Калибровка 2 (7731)"));
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
    std::vector<ChromatogramRecord> records = {
        record("a1", QStringLiteral("Метанол"), QStringLiteral("М-1"), 1),
        record("b1", QStringLiteral("Метанол"), QStringLiteral("М-2"), 2),
        record("a2", QStringLiteral("Метанол"), QStringLiteral("М-1"), 3),
        record("b2", QStringLiteral("Метанол"), QStringLiteral("М-2"), 4),
        // Fits both tokens; the first token's family is full, and the second is not tried.
        record("a3", QStringLiteral("Метанол"), QStringLiteral("М-1 и М-2"), 5),
    };
    EXPECT_EQ(MatchOneRule(records, GsMethanolRow, QStringLiteral("М-1;М-2"), QStringLiteral("Метанол"), 2,
                           SlotGsMethanol1),
              (std::vector<int>{SlotGsMethanol1, SlotGsMethanol1, SlotGsMethanol2, SlotGsMethanol2, SlotNone}));
    EXPECT_EQ(records[3].typeName, QStringLiteral("ГС Метанол 2"));
}

TEST(RoleAssignmentRule, blankTokenMatchesEveryNameAndMatchingHeedsLetterCase)
{
    std::vector<ChromatogramRecord> records = {
        record("any", QStringLiteral("Проба 5"), QStringLiteral("Метод ССС"), 1),
        record("lower", QStringLiteral("Проба 6"), QStringLiteral("метод ссс"), 2),
    };
    EXPECT_EQ(MatchOneRule(records, GsSulphurRow, QStringLiteral("ССС"), QStringLiteral("Сера; ;Тиолы"), 3,
                           SlotGsSulphur1),
              (std::vector<int>{SlotGsSulphur1, SlotNone}));
}
