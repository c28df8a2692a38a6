#pragma once

#include <QString>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "data/GeneralSettings.h"

class CalcData;

// Column width that means "as wide as the caption".
inline constexpr int kAutoWidth = -1;

// One column of a result table: its caption and its width in pixels.
struct TableColumn
{
    QString caption;
    int width = kAutoWidth;
};

// One step by which a header follows the analysis-count rule; a grid that
// repeats the steps in order ends with the table's columns.
struct ColumnChange
{
    enum Kind { Delete, Insert, Resize };
    Kind kind = Delete;
    int column = 0;
    QString caption;         // Insert only
    int width = kAutoWidth;  // Insert and Resize

    friend bool operator==(const ColumnChange&, const ColumnChange&) = default;
};

// The captions of a table as its header shows them now; the report copies
// its caption rows through this.
class TableCaptions
{
public:
    virtual int GetColumnCount() const = 0;
    // The empty text for a column that does not exist.
    virtual QString GetColumnText(int column) const = 0;

protected:
    ~TableCaptions() = default;
};

// The cells of one row, one text per column; an empty text is an empty cell.
using TableRow = std::vector<QString>;

// How many analyses a table's per-analysis columns show: `smaller` when the
// selector of the general settings is 0, else `larger`; without a selector
// always `larger`.
struct AnalysisCountRule
{
    int GeneralSettings::*selector = nullptr;
    int smaller = 0;
    int larger = 0;

    int Count(const GeneralSettings& general) const;
};

// The description of one result table, free of any widget: its sub-tab
// caption, its columns as the settings make them, the column rule that
// follows a change of the analysis count, and the rows it shows for a
// calculation. A page displays it; the report reads its captions.
class ResultTable : public TableCaptions
{
public:
    explicit ResultTable(QString subTabCaption);
    virtual ~ResultTable() = default;
    ResultTable(const ResultTable&) = delete;
    ResultTable& operator=(const ResultTable&) = delete;

    const QString& SubTabCaption() const { return m_subTabCaption; }
    const std::vector<TableColumn>& Columns() const { return m_columns; }
    int GetColumnCount() const override;
    QString GetColumnText(int column) const override;

    // The analysis count the per-analysis columns show now; 0 on a table
    // without them.
    int AnalysisCount() const { return m_nAnalysisCount; }
    // The count the settings ask for; 0 on a table without per-analysis columns.
    virtual int AnalysisCountFor(const GeneralSettings& general) const;

    // The columns for the count the settings give now.
    void Setup(const GeneralSettings& general);
    // Brings the columns to the count the settings give now and returns the
    // steps taken; none when the count is unchanged.
    std::vector<ColumnChange> UpdateConcColumns(const GeneralSettings& general);

    // The rows for the results as they stand, numbers with the screen digit count.
    virtual std::vector<TableRow> BuildRows(const CalcData& data, const GeneralSettings& general) const = 0;

protected:
    // Column index of the rule that stands for the last column at the time
    // the step is taken.
    static constexpr int kLastColumn = -1;

    struct ColumnRule
    {
        std::vector<ColumnChange> fewer;    // when the count falls
        std::vector<ColumnChange> more;     // when it rises
        std::vector<ColumnChange> further;  // after either
    };

    virtual std::vector<TableColumn> InitialColumns(int n) const = 0;
    virtual ColumnRule CountRule() const { return {}; }

private:
    ColumnChange Apply(ColumnChange change);

    QString m_subTabCaption;
    std::vector<TableColumn> m_columns;
    int m_nAnalysisCount = 0;
};

// A table that shows one result of CalcData.
template <typename Result>
class ResultTableOf : public ResultTable
{
public:
    using Source = Result (*)(const CalcData&);

    ResultTableOf(QString subTabCaption, Source source)
        : ResultTable(std::move(subTabCaption))
        , m_source(source)
    {
    }

    std::vector<TableRow> BuildRows(const CalcData& data, const GeneralSettings& general) const override
    {
        return RowsOf(m_source(data), AnalysisCountFor(general), general.qtySymInProg);
    }

    // The rows for a result with n per-analysis values and the digit count.
    virtual std::vector<TableRow> RowsOf(const Result& result, int n, int precision) const = 0;

private:
    Source m_source;
};

// A number as the result tables show it: "---" for the unset value (the most
// negative finite double) and for a NaN, else "%.*f" with "." as the decimal
// point. The digit count is taken within 0..GeneralSettings::MaxDigits.
QString FormatTableValue(int precision, double value);

// Sums as the summary rows show them: an unset or NaN value among the
// summands leaves the sum unset, so it shows "---".
class TableSum
{
public:
    void Add(double value);
    double Value() const { return m_value; }

private:
    double m_value = 0.0;
};

// Fills one row column by column.
class RowCells
{
public:
    RowCells(std::size_t columnCount, int precision);

    RowCells& Text(int column, const QString& text);
    RowCells& Number(int column, double value);
    // Values 0 .. n-1 of a series into columns first .. first+n-1; a column
    // whose value the series lacks stays empty.
    RowCells& Series(int first, const std::vector<double>& values, int n);
    RowCells& Verdict(int column, bool ok);  // "Да" / "Нет"
    RowCells& Ordinal(int column, std::size_t index);  // index + 1

    TableRow Take() { return std::move(m_cells); }

private:
    TableRow m_cells;
    int m_precision;
};

// Per-analysis sums of a series over rows: sum k adds value k of every row
// that holds one.
template <typename Row>
std::vector<TableSum> SeriesSums(const std::vector<Row>& rows, std::vector<double> Row::*series, int n)
{
    std::vector<TableSum> sums(static_cast<std::size_t>(std::max(n, 0)));
    for (const Row& row : rows) {
        const std::vector<double>& values = row.*series;
        for (std::size_t k = 0; k < sums.size() && k < values.size(); ++k)
            sums[k].Add(values[k]);
    }
    return sums;
}

template <typename Row>
TableSum ColumnSum(const std::vector<Row>& rows, double Row::*field)
{
    TableSum sum;
    for (const Row& row : rows)
        sum.Add(row.*field);
    return sum;
}
