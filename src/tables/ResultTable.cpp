#include "tables/ResultTable.h"

#include <cfloat>
#include <cmath>

int AnalysisCountRule::Count(const GeneralSettings& general) const
{
    if (!selector)
        return larger;
    return general.*selector == 0 ? smaller : larger;
}

ResultTable::ResultTable(QString subTabCaption)
    : m_subTabCaption(std::move(subTabCaption))
{
}

int ResultTable::GetColumnCount() const
{
    return static_cast<int>(m_columns.size());
}

QString ResultTable::GetColumnText(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return QString();
    return m_columns[static_cast<std::size_t>(column)].caption;
}

int ResultTable::AnalysisCountFor(const GeneralSettings&) const
{
    return 0;
}

void ResultTable::Setup(const GeneralSettings& general)
{
    m_nAnalysisCount = AnalysisCountFor(general);
    m_columns = InitialColumns(m_nAnalysisCount);
}

std::vector<ColumnChange> ResultTable::UpdateConcColumns(const GeneralSettings& general)
{
    const int count = AnalysisCountFor(general);
    std::vector<ColumnChange> done;
    if (count == m_nAnalysisCount)
        return done;
    const ColumnRule rule = CountRule();
    for (const ColumnChange& change : count < m_nAnalysisCount ? rule.fewer : rule.more)
        done.push_back(Apply(change));
    for (const ColumnChange& change : rule.further)
        done.push_back(Apply(change));
    m_nAnalysisCount = count;
    return done;
}

ColumnChange ResultTable::Apply(ColumnChange change)
{
    if (change.column == kLastColumn)
        change.column = GetColumnCount() - 1;
    const auto at = static_cast<std::size_t>(std::clamp(change.column, 0, GetColumnCount()));
    switch (change.kind) {
    case ColumnChange::Delete:
        if (at < m_columns.size())
            m_columns.erase(m_columns.begin() + static_cast<std::ptrdiff_t>(at));
        break;
    case ColumnChange::Insert:
        m_columns.insert(m_columns.begin() + static_cast<std::ptrdiff_t>(at), TableColumn{change.caption, change.width});
        break;
    case ColumnChange::Resize:
        if (at < m_columns.size())
            m_columns[at].width = change.width;
        break;
    }
    return change;
}

QString FormatTableValue(int precision, double value)
{
    if (value == -DBL_MAX || std::isnan(value))
        return QStringLiteral("---");
    // The same text as "%.*f", without parsing a format for every cell.
    return QString::number(value, 'f', std::clamp(precision, 0, GeneralSettings::MaxDigits));
}

void TableSum::Add(double value)
{
    if (m_value == -DBL_MAX)
        return;
    if (value == -DBL_MAX || std::isnan(value))
        m_value = -DBL_MAX;
    else
        m_value += value;
}

RowCells::RowCells(std::size_t columnCount, int precision)
    : m_cells(columnCount)
    , m_precision(precision)
{
}

RowCells& RowCells::Text(int column, const QString& text)
{
    if (column >= 0 && static_cast<std::size_t>(column) < m_cells.size())
        m_cells[static_cast<std::size_t>(column)] = text;
    return *this;
}

RowCells& RowCells::Number(int column, double value)
{
    return Text(column, FormatTableValue(m_precision, value));
}

RowCells& RowCells::Series(int first, const std::vector<double>& values, int n)
{
    for (int k = 0; k < n && static_cast<std::size_t>(k) < values.size(); ++k)
        Number(first + k, values[static_cast<std::size_t>(k)]);
    return *this;
}

RowCells& RowCells::Verdict(int column, bool ok)
{
    return Text(column, ok ? QStringLiteral("Да") : QStringLiteral("Нет"));
}

RowCells& RowCells::Ordinal(int column, std::size_t index)
{
    return Text(column, QString::number(index + 1));
}
