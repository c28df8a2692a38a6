#pragma once

#include "tables/AnalysisTables.h"
#include "tables/FormationGasTables.h"

#include <vector>

// The tables of a gas page (separator or degassing gas), in sub-tab order.
struct GasResultTables
{
    GasCalibrationTable calibration;
    GasAnalysisTable analysis;
    SulphurTable sulphur;
    GasMethanolTable methanol;

    std::vector<ResultTable*> All() { return {&calibration, &analysis, &sulphur, &methanol}; }
    std::vector<const ResultTable*> All() const { return {&calibration, &analysis, &sulphur, &methanol}; }
};

// The tables of the degassed-condensate page, in sub-tab order; the
// calibration graph stands between C1-C5 and the sulphur compounds.
struct CondensateResultTables
{
    CondensateTable c1c5;
    SulphurTable sulphur;
    CondensateMethanolTable methanol;
    CondensateTable fractions;
    CondensateTable groups;

    std::vector<ResultTable*> All() { return {&c1c5, &sulphur, &methanol, &fractions, &groups}; }
    std::vector<const ResultTable*> All() const { return {&c1c5, &sulphur, &methanol, &fractions, &groups}; }
};

// The tables of the formation-gas page, in sub-tab order.
struct FormationGasResultTables
{
    PgMethod1Table method1;
    PgSulphurTable sulphur;
    PgMethod2Table method2;
    CompFractTable compFract1;
    CompFractTable compFract2;

    std::vector<ResultTable*> All() { return {&method1, &sulphur, &method2, &compFract1, &compFract2}; }
    std::vector<const ResultTable*> All() const { return {&method1, &sulphur, &method2, &compFract1, &compFract2}; }
};

// Every result table of the main window, each bound to its result in
// CalcData and to its analysis-count setting. The pages show them and the
// report reads their captions; both must see the same object.
class ResultTables
{
public:
    ResultTables();
    ResultTables(const ResultTables&) = delete;
    ResultTables& operator=(const ResultTables&) = delete;

    GasResultTables gs;
    GasResultTables gd;
    CondensateResultTables dc;
    FormationGasResultTables pg;

    // Every table's columns for the counts the settings give now. Later
    // changes of the counts reach the tables through the pages' column rule.
    void Setup(const GeneralSettings& general);
};
