#include <gtest/gtest.h>

#include "calc/CalcData.h"
#include "data/Settings.h"
#include "support/CalcInputs.h"
#include "support/ColumnCaptions.h"
#include "support/Screenshot.h"
#include "ui/DlgOutTable.h"
#include "ui/DlgResultTabs.h"
#include "ui/GridCtrl.h"

#include <QStringList>
#include <QTabWidget>

#include <cfloat>
#include <tuple>

using testsupport::ColumnCaptions;

namespace {

// Results as a laboratory day might leave them, for the pages to show.
struct SyntheticResults
{
    CalibrationResult calibration;
    GasAnalysisResult analysis;
    SulphurResult sulphur;
    GasMethanolResult methanol;
    CondensateResult c1c5;
    CondensateMethanolResult dcMethanol;
    CalcPgMethod1Result method1;
    PgSulphurResult pgSulphur;
    CalcPgMethod2Result method2;
    CompFractResult compFract;
};

const QStringList kGasNames = {"Метан", "Этан", "Пропан", "изо-Бутан", "н-Бутан", "нео-Пентан",
                               "изо-Пентан", "н-Пентан", "Азот", "Диоксид углерода", "Гелий", "Водород"};
const QStringList kSulphurNames = {"Сероводород", "Метилмеркаптан", "Этилмеркаптан", "изо-Пропилмеркаптан"};

std::vector<double> Series(double base, int n)
{
    std::vector<double> values;
    for (int k = 0; k < n; ++k)
        values.push_back(base * (1.0 + 0.01 * k));
    return values;
}

SyntheticResults MakeResults()
{
    SyntheticResults r;
    for (int i = 0; i < kGasNames.size(); ++i) {
        const double c = 90.0 / (1 << i) + 0.123;
        r.calibration.rows.push_back({i, kGasNames[i], Series(0.0012 * (i + 1), 5), {}, c, 0.0012 * (i + 1), 1.25, 2.5, i % 3 != 0, {}});
        r.analysis.rows.push_back({i, kGasNames[i], Series(c, 3), Series(c * 0.99, 3), {}, c, 0.8, 1.5, 0.05, i != 2});
        r.c1c5.rows.push_back({i, kGasNames[i], Series(c / 10, 3), c / 10, 0.3, 0.5, 0.02, true});
        r.method1.rows.push_back({i, kGasNames[i], 16.0, c, c * 10, c, c, c, c, c, c, c, c, c, c, c, c, c, c, c, c,
                                  c, 1234.5678 / (i + 1), c, -DBL_MAX});
        r.method2.rows.push_back({i, kGasNames[i], 16.0, c, c, c, c, c, c, c, c, c, c, c, c, c, c, c});
        r.compFract.rows.push_back({i, kGasNames[i], c, c / 2, c / 3});
    }
    r.c1c5.rows.back().ok = false;
    for (int i = 0; i < kSulphurNames.size(); ++i) {
        r.sulphur.rows.push_back({i, kSulphurNames[i], Series(0.0021, 3), 0.0021, 0.0011, 0.0009, 12.5, 20.0, 0.0003, 34.1, i != 1});
        r.pgSulphur.rows.push_back({i, kSulphurNames[i], 34.1, 0.001});
    }
    r.sulphur.molConcTotal = 0.0044;
    r.sulphur.mercaptanSulphurTotal = 0.0027;
    r.methanol.rows.push_back({1, QStringLiteral("Метанол"), Series(12.5, 3), 12.5, 0.0016, 0.0009, 3.2, 10.0, 0.8, true});
    r.dcMethanol.rows.push_back({1, QStringLiteral("Метанол"), Series(250.0, 3), 250.0, 0.031, 3.2, 10.0, 12.0, true});
    r.method1.gsMolarMass = 19.123;
    return r;
}

const SyntheticResults& Results()
{
    static const SyntheticResults results = MakeResults();
    return results;
}

#define FROM(field) [](const CalcData&) { return Results().field; }

// The program's tables bound to the results above instead of CalcData's.
struct SyntheticTables
{
    GasResultTables gas{GasCalibrationTable({&GeneralSettings::QtyGsCalib, 3, 5}, FROM(calibration)),
                        GasAnalysisTable({&GeneralSettings::QtyGsRegular, 2, 3}, FROM(analysis)),
                        SulphurTable(SulphurTable::Gas, {nullptr, 3, 3}, FROM(sulphur)),
                        GasMethanolTable({&GeneralSettings::QtyGsMeth, 2, 3}, FROM(methanol))};
    CondensateResultTables dc{
        CondensateTable("C1C5", 150, {&GeneralSettings::QtyDcC1C5, 2, 3}, FROM(c1c5)),
        SulphurTable(SulphurTable::Condensate, {&GeneralSettings::QtyDcSss, 2, 3}, FROM(sulphur)),
        CondensateMethanolTable({&GeneralSettings::QtyDcMeth, 2, 3}, FROM(dcMethanol)),
        CondensateTable("C6-C44 Фракции", 120, {&GeneralSettings::QtyDcC6C44, 2, 3}, FROM(c1c5)),
        CondensateTable("C6-C44 Группы", 120, {&GeneralSettings::QtyDcC6C44, 2, 3}, FROM(c1c5))};
    FormationGasResultTables pg{PgMethod1Table(FROM(method1)), PgSulphurTable(FROM(pgSulphur)),
                                PgMethod2Table(FROM(method2)),
                                CompFractTable("Комп.-фракц. состав: Способ 1", FROM(compFract)),
                                CompFractTable("Комп.-фракц. состав: Способ 2", FROM(compFract))};

    void Setup(const GeneralSettings& general)
    {
        for (const std::vector<ResultTable*>& page : {gas.All(), dc.All(), pg.All()}) {
            for (ResultTable* table : page)
                table->Setup(general);
        }
    }
};

class DlgResultTabTest : public ::testing::Test
{
protected:
    DlgResultTabTest() { tables.Setup(settings.general); }

    // The grid shows exactly the table's captions and rows.
    static void ExpectShows(const DlgResultTab& page, ResultTable& table, const CalcData& data,
                            const GeneralSettings& general)
    {
        const CGridCtrl& grid = page.TablePage(table)->m_grid;
        EXPECT_EQ(ColumnCaptions(grid), ColumnCaptions(table));
        const std::vector<TableRow> rows = table.BuildRows(data, general);
        ASSERT_EQ(grid.GetItemCount(), static_cast<int>(rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                EXPECT_EQ(grid.GetItemText(static_cast<int>(r), static_cast<int>(c)), rows[r][c]) << r << ", " << c;
        }
    }

    CSettings settings;
    CalcData data;
    SyntheticTables tables;
};

} // namespace

TEST_F(DlgResultTabTest, fillAfterACountChangedUnseenBringsTheCaptionsAlong)
{
    DlgTabGs gs(tables.gas);
    gs.SetData(&data, &settings);
    settings.general.QtyGsRegular = 1;
    gs.FillAll();
    ExpectShows(gs, tables.gas.analysis, data, settings.general);
    EXPECT_EQ(ColumnCaptions(gs.TablePage(tables.gas.analysis)->m_grid).at(4), QStringLiteral("Конц. 3 мол. %"));
}

TEST_F(DlgResultTabTest, everyPageShowsItsTablesAndDrawsItselfAtLaptopSize)
{
    settings.general.QtyGsCalib = 1;
    settings.general.QtyGsRegular = 1;
    settings.general.qtySymInProg = 2;
    tables.Setup(settings.general);
    DlgTabGs gs(tables.gas);
    DlgTabDc dc(tables.dc);
    DlgTabPg pg(tables.pg);
    gs.FillAll();
    EXPECT_EQ(gs.TablePage(tables.gas.analysis)->m_grid.GetItemCount(), 0);

    const std::vector<std::tuple<DlgResultTab*, std::vector<ResultTable*>, QString>> pages = {
        {&gs, tables.gas.All(), "gs"}, {&dc, tables.dc.All(), "dc"}, {&pg, tables.pg.All(), "pg"}};
    for (const auto& [page, list, name] : pages) {
        page->SetData(&data, &settings);
        page->FillAll();
        page->FillAll();
        for (ResultTable* table : list)
            ExpectShows(*page, *table, data, settings.general);
        // The tab area of a maximised window on a 1366 x 768 screen.
        page->resize(1350, 430);
        page->show();
        for (int i = 0; i < page->SubTabs()->count(); ++i) {
            page->SubTabs()->setCurrentIndex(i);
            const QPixmap picture = page->grab();
            EXPECT_FALSE(picture.isNull());
            testsupport::saveScreenshotIfAsked(picture, QStringLiteral("tavrin_result_%1_%2.png").arg(name).arg(i));
        }
    }
    EXPECT_EQ(gs.TablePage(tables.gas.analysis)->m_grid.GetItemCount(), 13);
    EXPECT_EQ(gs.TablePage(tables.gas.analysis)->m_grid.GetItemText(0, 2), QStringLiteral("90.12"));
}
