#include <gtest/gtest.h>

#include "calc/CalcData.h"
#include "support/CalcInputs.h"
#include "support/ColumnCaptions.h"
#include "tables/ResultTables.h"

#include <QLocale>
#include <QStringList>

#include <cfloat>
#include <cmath>
#include <tuple>

using testsupport::ColumnCaptions;

namespace {

const QStringList kCalibration3 = {"№", "Компонент", "Конц. мол. %", "К 1", "К 2", "К 3", "К ср.", "Отн. размах. %",
                                   "Норматив %", "Соответствие?"};
const QStringList kCalibration5 = {"№", "Компонент", "Конц. мол. %", "К 1", "К 2", "К 3", "К 4", "К 5", "К ср.",
                                   "Отн. размах. %", "Норматив %", "Соответствие?"};
const QStringList kCalibration5ByRule = {"№", "Компонент", "Конц. мол. %", "К 1", "К 2", "К 3", "K 4", "K 5", "К ср.",
                                         "Отн. размах. %", "Норматив %", "Соответствие?"};
const QStringList kAnalysis2 = {"№", "Компонент", "Конц. 1, мол. %", "Конц. 2, мол. %", "Конц. норм. 1, мол. %",
                                "Конц. норм. 2, мол. %", "Конц. скор. ср., мол.%", "Расхождение %", "Норматив %",
                                "Погрешность мол. %", "Соответствие?"};
const QStringList kAnalysis3 = {"№", "Компонент", "Конц. 1, мол. %", "Конц. 2, мол. %", "Конц. 3, мол. %",
                                "Конц. норм. 1, мол. %", "Конц. норм. 2, мол. %", "Конц. норм. 3, мол. %",
                                "Конц. скор. ср., мол.%", "Расхождение %", "Норматив %", "Погрешность мол. %",
                                "Соответствие?"};
const QStringList kAnalysis3ByRule = {"№", "Компонент", "Конц. 1, мол. %", "Конц. 2, мол. %", "Конц. 3 мол. %",
                                      "Конц. норм. 1, мол. %", "Конц. норм. 2, мол. %", "Конц. норм. 3 мол. %",
                                      "Конц. скор. ср., мол.%", "Расхождение %", "Норматив %", "Погрешность мол. %",
                                      "Соответствие?"};
const QStringList kSulphur2 = {"№", "Компонент", "Конц. 1, масс %", "Конц. 2, масс %", "Конц. ср., масс %",
                               "Расхождение %", "Норматив %", "Соответствие?", "Погрешность мас. %", "Конц., мол. %",
                               "Меркаптановая сера, мас. %"};
const QStringList kSulphur3 = {"№", "Компонент", "Конц. 1, масс %", "Конц. 2, масс %", "Конц. 3, масс %",
                               "Конц. ср., масс %", "Расхождение %", "Норматив %", "Соответствие?",
                               "Погрешность мас. %", "Конц., мол. %", "Меркаптановая сера, мас. %"};
const QStringList kMethanol2 = {"№", "Компонент", "Конц. 1, мг/дм3", "Конц. 2, мг/дм3", "Конц. ср., мг/дм3",
                                "Расхождение %", "Норматив %", "Соответствие?", "Погрешность мг/дм3", "Конц., мас. %",
                                "Конц., мол. %"};
const QStringList kMethanol3 = {"№", "Компонент", "Конц. 1, мг/дм3", "Конц. 2, мг/дм3", "Конц. 3, мг/дм3",
                                "Конц. ср., мг/дм3", "Расхождение %", "Норматив %", "Соответствие?",
                                "Погрешность мг/дм3", "Конц., мас. %", "Конц., мол. %"};
const QStringList kCondensate2 = {"№", "Компонент", "Конц. 1, мас.%", "Конц. 2, мас.%", "Конц. ср., мас. %",
                                  "Расхождение %", "Норматив %", "Погрешность %", "Соответствие?"};
const QStringList kCondensate3 = {"№", "Компонент", "Конц. 1, мас.%", "Конц. 2, мас.%", "Конц. 3, мас.%",
                                  "Конц. ср., мас. %", "Расхождение %", "Норматив %", "Погрешность %", "Соответствие?"};
const QStringList kDcMethanol2 = kMethanol2.mid(0, 10);
const QStringList kDcMethanol3 = kMethanol3.mid(0, 11);
const QStringList kMethod1 = {"Компоненты", "Ciгс, мол. доля %", "Viгс, дм3/м3 ГС", "Xiгс, масс. доля %",
                              "miгс, г/м3 ГС", "Ciгд, мол. доля %", "Viгд, дм3/м3 ГС", "Xiгд, масс. доля %",
                              "miгд, г/м3 ГС", "Ciдк, мол. доля %", "Viдк, дм3/м3 ГС", "Xiдк, масс. доля %",
                              "miдк, г/м3 ГС", "Ciкгн, мол. доля %", "Viкгн, дм3/м3 ГС", "Xiкгн, масс. доля %",
                              "miкгн, г/м3 ГС", "Ciпг, мол. доля %", "Viпг, дм3/м3 ГС", "Xiпг, масс. доля %",
                              "ГС газа, г/м3", "\"сухого\" газа, г/м3", "Пластового газа, г/м3"};
const QStringList kMethod2 = {"Компоненты", "Ciгс, мол. доля %", "Xiгс, масс. доля %", "miгс, г/м3 ГС",
                              "Ciгд, мол. доля %", "Xiгд, масс. доля %", "miгд, г/м3 ГС", "Ciдк, мол. доля %",
                              "Xiдк, масс. доля %", "miдк, г/м3 ГС", "Ciкгн, мол. доля %", "Xiкгн, масс. доля %",
                              "miкгн, г/м3 ГС", "Ciпг, мол. доля %", "Xiпг, масс. доля %", "miкпг, г/м3 ГС"};
const QStringList kCompFract = {"Компоненты, фракция (°C)", "Дегазированый конденсат", "КГН", "Пластовый газ"};

// One table under the column rule: its captions with the smaller count
// (selector 0), with the larger one as a set-up makes them, and with the
// larger one reached by the rule. No selector: the count never changes.
struct CaptionCase
{
    const char* name;
    ResultTable& (*table)(ResultTables&);
    int GeneralSettings::*selector;
    QStringList smaller;
    QStringList larger;
    QStringList largerByRule;
};

void PrintTo(const CaptionCase& c, std::ostream* out)
{
    *out << c.name;
}

class ColumnRuleTest : public ::testing::TestWithParam<CaptionCase>
{
};

} // namespace

TEST_P(ColumnRuleTest, captionsFollowTheCountBothWaysAndOnlyOnce)
{
    const CaptionCase& c = GetParam();
    GeneralSettings general;
    {
        ResultTables tables;
        if (c.selector)
            general.*c.selector = 1;
        tables.Setup(general);
        EXPECT_EQ(ColumnCaptions(c.table(tables)), c.larger);
    }
    ResultTables tables;
    ResultTable& table = c.table(tables);
    if (c.selector)
        general.*c.selector = 0;
    tables.Setup(general);
    EXPECT_EQ(ColumnCaptions(table), c.smaller);
    for (int round = 0; round < 2; ++round) {
        if (c.selector)
            general.*c.selector = 1;
        EXPECT_EQ(table.UpdateConcColumns(general).empty(), !c.selector);
        EXPECT_TRUE(table.UpdateConcColumns(general).empty());
        EXPECT_EQ(ColumnCaptions(table), c.largerByRule);
        if (c.selector)
            general.*c.selector = 0;
        table.UpdateConcColumns(general);
        EXPECT_TRUE(table.UpdateConcColumns(general).empty());
        EXPECT_EQ(ColumnCaptions(table), c.smaller);
    }
    EXPECT_EQ(table.GetColumnText(-1), QString());
    EXPECT_EQ(table.GetColumnText(table.GetColumnCount()), QString());
}

#define TABLE(member) [](ResultTables& t) -> ResultTable& { return t.member; }

INSTANTIATE_TEST_SUITE_P(
    EveryTable, ColumnRuleTest,
    ::testing::Values(
        CaptionCase{"gsCalibration", TABLE(gs.calibration), &GeneralSettings::QtyGsCalib, kCalibration3, kCalibration5,
                    kCalibration5ByRule},
        CaptionCase{"gsAnalysis", TABLE(gs.analysis), &GeneralSettings::QtyGsRegular, kAnalysis2, kAnalysis3,
                    kAnalysis3ByRule},
        CaptionCase{"gsSulphur", TABLE(gs.sulphur), nullptr, kSulphur3, kSulphur3, kSulphur3},
        CaptionCase{"gsMethanol", TABLE(gs.methanol), &GeneralSettings::QtyGsMeth, kMethanol2, kMethanol3, kMethanol3},
        CaptionCase{"gdCalibration", TABLE(gd.calibration), &GeneralSettings::QtyGdCalib, kCalibration3, kCalibration5,
                    kCalibration5ByRule},
        CaptionCase{"gdAnalysis", TABLE(gd.analysis), &GeneralSettings::QtyGdRegular, kAnalysis2, kAnalysis3,
                    kAnalysis3ByRule},
        CaptionCase{"gdSulphur", TABLE(gd.sulphur), &GeneralSettings::QtyGdSss, kSulphur2, kSulphur3, kSulphur3},
        CaptionCase{"gdMethanol", TABLE(gd.methanol), &GeneralSettings::QtyGdMeth, kMethanol2, kMethanol3, kMethanol3},
        CaptionCase{"dcC1C5", TABLE(dc.c1c5), &GeneralSettings::QtyDcC1C5, kCondensate2, kCondensate3, kCondensate3},
        CaptionCase{"dcSulphur", TABLE(dc.sulphur), &GeneralSettings::QtyDcSss, kSulphur2, kSulphur3, kSulphur3},
        CaptionCase{"dcMethanol", TABLE(dc.methanol), &GeneralSettings::QtyDcMeth, kDcMethanol2, kDcMethanol3,
                    kDcMethanol3},
        CaptionCase{"dcFractions", TABLE(dc.fractions), &GeneralSettings::QtyDcC6C44, kCondensate2, kCondensate3,
                    kCondensate3},
        CaptionCase{"dcGroups", TABLE(dc.groups), &GeneralSettings::QtyDcC6C44, kCondensate2, kCondensate3, kCondensate3},
        CaptionCase{"pgMethod1", TABLE(pg.method1), nullptr, kMethod1, kMethod1, kMethod1},
        CaptionCase{"pgSulphur", TABLE(pg.sulphur), nullptr, kMethod1, kMethod1, kMethod1},
        CaptionCase{"pgMethod2", TABLE(pg.method2), nullptr, kMethod2, kMethod2, kMethod2},
        CaptionCase{"pgCompFract1", TABLE(pg.compFract1), nullptr, kCompFract, kCompFract, kCompFract},
        CaptionCase{"pgCompFract2", TABLE(pg.compFract2), nullptr, kCompFract, kCompFract, kCompFract}),
    [](const ::testing::TestParamInfo<CaptionCase>& info) { return std::string(info.param.name); });

TEST(ResultTablesTest, ruleCaptionsUseTheLatinKAndNoComma)
{
    EXPECT_EQ(kCalibration5ByRule[6].at(0).unicode(), 0x004B);
    EXPECT_EQ(kCalibration5[6].at(0).unicode(), 0x041A);
    EXPECT_FALSE(kAnalysis3ByRule[4].contains(QLatin1Char(',')));
}

TEST(ResultTablesTest, ruleSetsTheWidthsOfItsTables)
{
    ResultTables tables;
    GeneralSettings general;
    tables.Setup(general);
    EXPECT_EQ(tables.gs.sulphur.Columns()[8].width, 90);
    EXPECT_EQ(tables.dc.sulphur.Columns()[7].width, kAutoWidth);

    general.QtyGsCalib = 1;
    general.QtyDcC1C5 = 1;
    EXPECT_EQ(tables.gs.calibration.UpdateConcColumns(general),
              (std::vector<ColumnChange>{{ColumnChange::Insert, 6, "K 4", 80}, {ColumnChange::Insert, 7, "K 5", 80}}));
    EXPECT_EQ(tables.dc.c1c5.UpdateConcColumns(general),
              (std::vector<ColumnChange>{{ColumnChange::Insert, 4, "Конц. 3, мас.%", 90},
                                         {ColumnChange::Resize, 1, QString(), 120},
                                         {ColumnChange::Resize, 9, QString(), kAutoWidth}}));

    general.QtyDcC1C5 = 0;
    tables.dc.c1c5.UpdateConcColumns(general);
    EXPECT_EQ(tables.dc.c1c5.Columns()[1].width, 250);
    EXPECT_EQ(tables.dc.c1c5.AnalysisCount(), 2);
    EXPECT_EQ(tables.pg.method1.AnalysisCount(), 0);
}

TEST(ResultTablesTest, tablesTakeTheirSubTabsAndResultsFromTheCalculationData)
{
    // An empty calculation still shows every summary and label row.
    ResultTables tables;
    GeneralSettings general;
    tables.Setup(general);
    CalcData data;
    const std::vector<std::tuple<const ResultTable*, const char*, std::size_t>> expected = {
        {&tables.gs.calibration, "Калибровка", 0},
        {&tables.gd.analysis, "Анализ", 1},
        {&tables.gs.sulphur, "Серосодержащие", 1},
        {&tables.gd.methanol, "Метанол", 0},
        {&tables.dc.c1c5, "C1C5", 1},
        {&tables.dc.sulphur, "Серосодержащие", 1},
        {&tables.dc.methanol, "Метанол", 0},
        {&tables.dc.fractions, "C6-C44 Фракции", 1},
        {&tables.dc.groups, "C6-C44 Группы", 1},
        {&tables.pg.method1, "Способ 1", 5},
        {&tables.pg.sulphur, "Серосодержащие", 2},
        {&tables.pg.method2, "Способ 2", 4},
        {&tables.pg.compFract1, "Комп.-фракц. состав: Способ 1", 0},
        {&tables.pg.compFract2, "Комп.-фракц. состав: Способ 2", 0}};
    for (const auto& [table, caption, rows] : expected) {
        EXPECT_EQ(table->SubTabCaption(), QString::fromUtf8(caption));
        EXPECT_EQ(table->BuildRows(data, general).size(), rows) << caption;
    }
}

// ---- numbers and sums --------------------------------------------------------

struct FormatCase
{
    int precision;
    double value;
    const char* text;
};

TEST(ResultTablesTest, numbersShowWithTheDigitCountAndDashesForNoValue)
{
    const FormatCase cases[] = {
        {3, -DBL_MAX, "---"},  {3, std::nan(""), "---"}, {3, 0.0, "0.000"},       {2, 12.3456, "12.35"},
        {0, 2.6, "3"},         {1, -0.04, "-0.0"},       {-4, 1.5, "2"},          {99, 1.0, "1.000000000000000"},
        {3, 1234567.25, "1234567.250"}, {1, 1e20, "100000000000000000000.0"}, {2, HUGE_VAL, "inf"},
    };
    // A locale with a decimal comma changes nothing.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatTableValue(c.precision, c.value), QString::fromUtf8(c.text)) << c.precision << " " << c.value;
    QLocale::setDefault(before);
}
