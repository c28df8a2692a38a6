#pragma once

#include "tables/ResultTables.h"

#include <QWidget>

#include <vector>

class CalcData;
class CDlgOutTable;
class CSettings;
class DlgGraphPreview;
class QTabWidget;

// A result tab page: sub-tabs of table pages, each showing one table
// description. The description decides captions, widths and cell texts;
// the page only repeats them on its grids, so a report that reads the
// descriptions sees what the screen shows.
class DlgResultTab : public QWidget
{
    Q_OBJECT
public:
    explicit DlgResultTab(QWidget* parent = nullptr);

    // The main window's calculation data and settings; not owned. Without
    // calculation data the tables stay empty; without settings the defaults
    // are read.
    void SetData(const CalcData* calcData, const CSettings* settings);

    // Refills every table from the calculation data, in sub-tab order.
    virtual void FillAll();
    // Fits the per-analysis columns of every table to the analysis counts
    // of the settings.
    void UpdateConcColumns();

    QTabWidget* SubTabs() const { return m_tabSub; }
    // The page that shows the table; null when this page does not.
    CDlgOutTable* TablePage(const ResultTable& table) const;

protected:
    // The table as the next sub-tab; the first sub-tab is the one shown.
    void AddTablePage(ResultTable& table);
    // A page that is not a table, as the next sub-tab.
    void AddPage(QWidget* page, const QString& caption);
    const CalcData* Data() const { return m_pCalcData; }

private:
    struct SubTable
    {
        ResultTable* table;
        CDlgOutTable* page;
    };

    void ShowColumns(SubTable& sub);
    void FollowColumnRule(SubTable& sub);
    void FillTable(SubTable& sub);

    const CalcData* m_pCalcData = nullptr;
    const CSettings* m_pSettings = nullptr;
    QTabWidget* m_tabSub = nullptr;
    std::vector<SubTable> m_tables;
};

// Separator gas: calibration, analysis, sulphur compounds, methanol.
class DlgTabGs final : public DlgResultTab
{
    Q_OBJECT
public:
    explicit DlgTabGs(GasResultTables& tables, QWidget* parent = nullptr);
};

// Degassing gas: the same tables on the degassing-gas results.
class DlgTabGd final : public DlgResultTab
{
    Q_OBJECT
public:
    explicit DlgTabGd(GasResultTables& tables, QWidget* parent = nullptr);
};

// Degassed condensate: C1-C5, the calibration graph, sulphur compounds,
// methanol, C6-C44 fractions and groups.
class DlgTabDc final : public DlgResultTab
{
    Q_OBJECT
public:
    explicit DlgTabDc(CondensateResultTables& tables, QWidget* parent = nullptr);

    // The tables, then the calibration graph.
    void FillAll() override;

    DlgGraphPreview* Graph() const { return m_graphPage; }

private:
    DlgGraphPreview* m_graphPage = nullptr;
};

// Formation gas: methods 1 and 2, sulphur compounds, the two
// component-fraction compositions.
class DlgTabPg final : public DlgResultTab
{
    Q_OBJECT
public:
    explicit DlgTabPg(FormationGasResultTables& tables, QWidget* parent = nullptr);
};
