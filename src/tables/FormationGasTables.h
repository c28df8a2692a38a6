#pragma once

#include "calc/PgResults.h"
#include "tables/ResultTable.h"

// The formation-gas tables have no per-analysis columns and no column rule.

// Method 1: the 22 values of every component, their sums, the C5+ row and
// the molar masses and densities.
class PgMethod1Table final : public ResultTableOf<CalcPgMethod1Result>
{
public:
    explicit PgMethod1Table(Source source);
    std::vector<TableRow> RowsOf(const CalcPgMethod1Result& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
};

// The sulphur compounds in the formation gas: the method-1 columns, the sums
// of the compounds and the column totals of the whole method-1 result.
class PgSulphurTable final : public ResultTableOf<PgSulphurResult>
{
public:
    explicit PgSulphurTable(Source source);
    std::vector<TableRow> RowsOf(const PgSulphurResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
};

// Method 2: 15 values per component, without volumes.
class PgMethod2Table final : public ResultTableOf<CalcPgMethod2Result>
{
public:
    explicit PgMethod2Table(Source source);
    std::vector<TableRow> RowsOf(const CalcPgMethod2Result& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
};

// A component-fraction composition: condensate, unstable condensate and
// formation gas, no summary row.
class CompFractTable final : public ResultTableOf<CompFractResult>
{
public:
    CompFractTable(QString subTabCaption, Source source);
    std::vector<TableRow> RowsOf(const CompFractResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
};
