#include "ui/DlgOutTable.h"

#include "data/GeneralSettings.h"

#include <QVBoxLayout>

#include <algorithm>
#include <cfloat>

CDlgOutTable::CDlgOutTable(QWidget* parent)
    : QWidget(parent)
    , m_grid(this)
{
    m_grid.setObjectName(QStringLiteral("grid"));
    // The grid fills the page and keeps its margin at the top left as the page grows.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 11, 11, 11);
    layout->addWidget(&m_grid);
}

QString CDlgOutTable::FormatCellValue(int precision, double value)
{
    if (value == -DBL_MAX)
        return QStringLiteral("---");
    // A huge digit count would only build a huge text of meaningless digits.
    return QString::asprintf("%.*f", std::min(precision, GeneralSettings::MaxDigits), value);
}

void CDlgOutTable::SetCellValue(int row, int column, int precision, double value)
{
    if (row < 0 || row >= m_grid.GetItemCount() || column < 0 || column >= m_grid.GetColumnCount())
        return;
    m_grid.SetItemText(row, column, FormatCellValue(precision, value));
}
