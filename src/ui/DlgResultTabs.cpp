#include "ui/DlgResultTabs.h"

#include "ui/DlgGraphPreview.h"

#include "calc/CalcData.h"
#include "data/Settings.h"
#include "ui/DlgOutTable.h"
#include "ui/GridCtrl.h"

#include <QHeaderView>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The description's width, widened where the caption or a cell would not
// fit: the widths were made for a narrower font than the ones found here.
void FitColumns(CGridCtrl& grid, const ResultTable& table)
{
    const std::vector<TableColumn>& columns = table.Columns();
    const QAbstractItemView& view = grid;  // the table view hides its public size hint
    for (int c = 0; c < grid.GetColumnCount() && c < static_cast<int>(columns.size()); ++c) {
        const int fitting = std::max(grid.horizontalHeader()->sectionSizeHint(c), view.sizeHintForColumn(c));
        grid.SetColumnWidth(c, std::max(columns[static_cast<std::size_t>(c)].width, fitting));
    }
}

} // namespace

DlgResultTab::DlgResultTab(QWidget* parent)
    : QWidget(parent)
    , m_tabSub(new QTabWidget(this))
{
    m_tabSub->setObjectName(QStringLiteral("tabSub"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabSub);
}

void DlgResultTab::SetData(const CalcData* calcData, const CSettings* settings)
{
    m_pCalcData = calcData;
    m_pSettings = settings;
}

CDlgOutTable* DlgResultTab::TablePage(const ResultTable& table) const
{
    for (const SubTable& sub : m_tables) {
        if (sub.table == &table)
            return sub.page;
    }
    return nullptr;
}

void DlgResultTab::AddTablePage(ResultTable& table)
{
    auto* page = new CDlgOutTable(m_tabSub);
    m_tabSub->addTab(page, table.SubTabCaption());
    m_tables.push_back({&table, page});
    ShowColumns(m_tables.back());
}

void DlgResultTab::AddPage(QWidget* page, const QString& caption)
{
    page->setParent(m_tabSub);
    m_tabSub->addTab(page, caption);
}

void DlgResultTab::ShowColumns(SubTable& sub)
{
    CGridCtrl& grid = sub.page->m_grid;
    while (grid.GetColumnCount() > 0)
        grid.DeleteColumn(grid.GetColumnCount() - 1);
    const std::vector<TableColumn>& columns = sub.table->Columns();
    for (std::size_t c = 0; c < columns.size(); ++c)
        grid.InsertColumn(static_cast<int>(c), columns[c].caption, LVCFMT_LEFT);
    FitColumns(grid, *sub.table);
    sub.page->m_nAnalysisCount = sub.table->AnalysisCount();
}

void DlgResultTab::FollowColumnRule(SubTable& sub)
{
    CGridCtrl& grid = sub.page->m_grid;
    const std::vector<ColumnChange> changes = sub.table->UpdateConcColumns(SettingsOrDefaults(m_pSettings).general);
    for (const ColumnChange& change : changes) {
        if (change.kind == ColumnChange::Delete)
            grid.DeleteColumn(change.column);
        else if (change.kind == ColumnChange::Insert)
            grid.InsertColumn(change.column, change.caption, LVCFMT_LEFT);
    }
    if (!changes.empty())
        FitColumns(grid, *sub.table);
    sub.page->m_nAnalysisCount = sub.table->AnalysisCount();
    // The header must say what the description says, whatever happened to it.
    bool same = grid.GetColumnCount() == sub.table->GetColumnCount();
    for (int c = 0; same && c < grid.GetColumnCount(); ++c)
        same = grid.GetColumnText(c) == sub.table->GetColumnText(c);
    if (!same)
        ShowColumns(sub);
}

void DlgResultTab::UpdateConcColumns()
{
    for (SubTable& sub : m_tables)
        FollowColumnRule(sub);
}

void DlgResultTab::FillTable(SubTable& sub)
{
    CGridCtrl& grid = sub.page->m_grid;
    grid.DeleteAllItems();
    if (!m_pCalcData)
        return;
    // The cells follow the counts of the settings; the captions must too.
    FollowColumnRule(sub);
    grid.setUpdatesEnabled(false);
    for (const TableRow& cells : sub.table->BuildRows(*m_pCalcData, SettingsOrDefaults(m_pSettings).general)) {
        const int row = grid.AddRow();
        if (row < 0)
            continue;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (!cells[c].isEmpty())
                grid.SetItemText(row, static_cast<int>(c), cells[c]);
        }
    }
    FitColumns(grid, *sub.table);
    grid.setUpdatesEnabled(true);
}

void DlgResultTab::FillAll()
{
    for (SubTable& sub : m_tables)
        FillTable(sub);
}

// ---- the four pages ----------------------------------------------------------

DlgTabGs::DlgTabGs(GasResultTables& tables, QWidget* parent)
    : DlgResultTab(parent)
{
    for (ResultTable* table : tables.All())
        AddTablePage(*table);
}

DlgTabGd::DlgTabGd(GasResultTables& tables, QWidget* parent)
    : DlgResultTab(parent)
{
    for (ResultTable* table : tables.All())
        AddTablePage(*table);
}

DlgTabDc::DlgTabDc(CondensateResultTables& tables, QWidget* parent)
    : DlgResultTab(parent)
{
    AddTablePage(tables.c1c5);
    m_graphPage = new DlgGraphPreview;
    AddPage(m_graphPage, QStringLiteral("Градуировочный график"));
    AddTablePage(tables.sulphur);
    AddTablePage(tables.methanol);
    AddTablePage(tables.fractions);
    AddTablePage(tables.groups);
}

void DlgTabDc::FillAll()
{
    DlgResultTab::FillAll();
    m_graphPage->m_pCalcData = Data();
    m_graphPage->LoadData();
}

DlgTabPg::DlgTabPg(FormationGasResultTables& tables, QWidget* parent)
    : DlgResultTab(parent)
{
    for (ResultTable* table : tables.All())
        AddTablePage(*table);
}
