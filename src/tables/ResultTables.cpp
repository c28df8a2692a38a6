#include "tables/ResultTables.h"

#include "calc/CalcData.h"

namespace {

AnalysisCountRule Selected(int GeneralSettings::*selector, int smaller, int larger)
{
    return {selector, smaller, larger};
}

} // namespace

ResultTables::ResultTables()
    : gs{GasCalibrationTable(Selected(&GeneralSettings::QtyGsCalib, 3, 5),
                             [](const CalcData& d) { return d.gs().calibrationResult; }),
         GasAnalysisTable(Selected(&GeneralSettings::QtyGsRegular, 2, 3),
                          [](const CalcData& d) { return d.GetGsAnalysisResult(); }),
         // The separator gas always has three sulphur-compound analyses.
         SulphurTable(SulphurTable::Gas, AnalysisCountRule{nullptr, GeneralSettings::QtyGsSss, GeneralSettings::QtyGsSss},
                      [](const CalcData& d) { return d.GetGsSulphurResult(); }),
         GasMethanolTable(Selected(&GeneralSettings::QtyGsMeth, 2, 3),
                          [](const CalcData& d) { return d.GetGsMethanolResult(); })}
    , gd{GasCalibrationTable(Selected(&GeneralSettings::QtyGdCalib, 3, 5),
                             [](const CalcData& d) { return d.gd().calibrationResult; }),
         GasAnalysisTable(Selected(&GeneralSettings::QtyGdRegular, 2, 3),
                          [](const CalcData& d) { return d.GetGdAnalysisResult(); }),
         SulphurTable(SulphurTable::Gas, Selected(&GeneralSettings::QtyGdSss, 2, 3),
                      [](const CalcData& d) { return d.GetGdSulphurResult(); }),
         GasMethanolTable(Selected(&GeneralSettings::QtyGdMeth, 2, 3),
                          [](const CalcData& d) { return d.GetGdMethanolResult(); })}
    , dc{CondensateTable(QStringLiteral("C1C5"), 150, Selected(&GeneralSettings::QtyDcC1C5, 2, 3),
                         [](const CalcData& d) { return d.GetDcC1C5Result(); }),
         SulphurTable(SulphurTable::Condensate, Selected(&GeneralSettings::QtyDcSss, 2, 3),
                      [](const CalcData& d) { return d.GetDcSulphurResult(); }),
         CondensateMethanolTable(Selected(&GeneralSettings::QtyDcMeth, 2, 3),
                                 [](const CalcData& d) { return d.GetDcMethanolResult(); }),
         // "C" is Latin in both C6-C44 captions and in "C1C5".
         CondensateTable(QStringLiteral("C6-C44 Фракции"), 120, Selected(&GeneralSettings::QtyDcC6C44, 2, 3),
                         [](const CalcData& d) { return d.GetDcC6C44FractionsResult(); }),
         CondensateTable(QStringLiteral("C6-C44 Группы"), 120, Selected(&GeneralSettings::QtyDcC6C44, 2, 3),
                         [](const CalcData& d) { return d.GetDcC6C44GroupsResult(); })}
    , pg{PgMethod1Table([](const CalcData& d) { return d.GetPgMethod1Result(); }),
         PgSulphurTable([](const CalcData& d) { return d.pg().sulphurSummary; }),
         PgMethod2Table([](const CalcData& d) { return d.GetPgMethod2Result(); }),
         CompFractTable(QStringLiteral("Комп.-фракц. состав: Способ 1"),
                        [](const CalcData& d) { return d.GetPgCompFract1Result(); }),
         CompFractTable(QStringLiteral("Комп.-фракц. состав: Способ 2"),
                        [](const CalcData& d) { return d.GetPgCompFract2Result(); })}
{
}

void ResultTables::Setup(const GeneralSettings& general)
{
    for (const std::vector<ResultTable*>& page : {gs.All(), gd.All(), dc.All(), pg.All()}) {
        for (ResultTable* table : page)
            table->Setup(general);
    }
}
