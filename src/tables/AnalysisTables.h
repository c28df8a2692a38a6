#pragma once

#include "calc/CondensateRow.h"
#include "calc/GasAnalysis.h"
#include "calc/GasCalibration.h"
#include "calc/Methanol.h"
#include "calc/SulphurCompounds.h"
#include "tables/ResultTable.h"

// A table with per-analysis columns, whose count follows a selector of the
// general settings.
template <typename Result>
class AnalysisTable : public ResultTableOf<Result>
{
public:
    AnalysisTable(QString subTabCaption, AnalysisCountRule count, typename ResultTableOf<Result>::Source source)
        : ResultTableOf<Result>(std::move(subTabCaption), source)
        , m_count(count)
    {
    }

    int AnalysisCountFor(const GeneralSettings& general) const override { return m_count.Count(general); }

private:
    AnalysisCountRule m_count;
};

// The calibration of a gas: certified concentration and one factor K per run.
class GasCalibrationTable final : public AnalysisTable<CalibrationResult>
{
public:
    GasCalibrationTable(AnalysisCountRule count, Source source);
    std::vector<TableRow> RowsOf(const CalibrationResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
    ColumnRule CountRule() const override;
};

// The analysis of a gas: the concentrations and the normalised ones of every
// analysis, with a summary row.
class GasAnalysisTable final : public AnalysisTable<GasAnalysisResult>
{
public:
    GasAnalysisTable(AnalysisCountRule count, Source source);
    std::vector<TableRow> RowsOf(const GasAnalysisResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
    ColumnRule CountRule() const override;
};

// The sulphur compounds of a gas or of the condensate, with a summary row
// that takes the result's own totals.
class SulphurTable final : public AnalysisTable<SulphurResult>
{
public:
    // The condensate's table sizes its verdict column to the caption and
    // widens its name column when the count changes.
    enum Kind { Gas, Condensate };

    SulphurTable(Kind kind, AnalysisCountRule count, Source source);
    std::vector<TableRow> RowsOf(const SulphurResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
    ColumnRule CountRule() const override;

private:
    Kind m_kind;
};

// The methanol of a gas, mg/dm3.
class GasMethanolTable final : public AnalysisTable<GasMethanolResult>
{
public:
    GasMethanolTable(AnalysisCountRule count, Source source);
    std::vector<TableRow> RowsOf(const GasMethanolResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
    ColumnRule CountRule() const override;
};

// A composition of the degassed condensate, mass %: C1-C5, the C6-C44
// fractions or groups, with a summary row.
class CondensateTable final : public AnalysisTable<CondensateResult>
{
public:
    CondensateTable(QString subTabCaption, int nameWidth, AnalysisCountRule count, Source source);
    std::vector<TableRow> RowsOf(const CondensateResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
    ColumnRule CountRule() const override;

private:
    int m_nameWidth;
};

// The methanol of the degassed condensate, mg/dm3.
class CondensateMethanolTable final : public AnalysisTable<CondensateMethanolResult>
{
public:
    CondensateMethanolTable(AnalysisCountRule count, Source source);
    std::vector<TableRow> RowsOf(const CondensateMethanolResult& result, int n, int precision) const override;

protected:
    std::vector<TableColumn> InitialColumns(int n) const override;
    ColumnRule CountRule() const override;
};
