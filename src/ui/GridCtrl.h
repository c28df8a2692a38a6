#pragma once

#include <QItemSelection>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

#include <cstdint>

class CGridCtrl;

// A colour as the profile and the owners keep it: 0x00BBGGRR, or CLR_DEFAULT
// for the list's own colour.
using COLORREF = std::uint32_t;
constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

// Column alignment of InsertColumn.
enum GridColumnFormat { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };

// The style record every row carries; the owner may keep anything in nTag.
struct GridRowStyle
{
    COLORREF crText = CLR_DEFAULT;
    COLORREF crBack = CLR_DEFAULT;
    std::intptr_t nTag = 0;
};

enum GridNotifyCode : int {
    GN_CELLCHANGED = 23426,
    GN_BEGINEDIT = 23427,
    GN_ROWSELECTED = 23428,
    GN_CONTEXTMENU = 23429,
    GN_GETSORTTYPE = 23430,
    GN_COLUMNDRAGGED = 23431,
    GN_BEGINCOLUMNTRACK = 23432,
    GN_COLUMNRESIZED = 23433,
};

struct GridNotify
{
    CGridCtrl* grid = nullptr;
    int idFrom = 0;
    int code = 0;
    int nParam1 = 0;
    int nParam2 = 0;
};

// The owner of a grid answers its notifications; a grid without an owner,
// or an owner that ignores a code, answers 0.
class GridNotifyHandler
{
public:
    virtual ~GridNotifyHandler() = default;
    virtual std::intptr_t onGridNotify(const GridNotify& notify) = 0;
};

class CGridCtrlEditCell;

// The one table control of the program: a report-view list with grid lines
// and full-row selection, a style record per row, in-place editing that the
// owner allows cell by cell, and sorting only when the owner asks for it.
class CGridCtrl : public QTableWidget
{
    Q_OBJECT
public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    void setNotifyHandler(GridNotifyHandler* handler, int controlId);

    // Whether a double click on the focused row may start an in-place edit.
    bool m_bEditable = false;

    // Columns. width -1: sized to the heading.
    int InsertColumn(int column, const QString& heading, int format = LVCFMT_LEFT, int width = -1);
    bool DeleteColumn(int column);
    int GetColumnCount() const;
    QString GetColumnText(int column) const;
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    // Rows. Every row carries a GridRowStyle owned by the grid.
    int AddRow();
    int InsertItem(int row, const QString& text);
    bool DeleteItem(int row);
    bool DeleteAllItems();
    int GetItemCount() const;
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    GridRowStyle* GetRowStyle(int row);
    const GridRowStyle* GetRowStyle(int row) const;

    // Selection and focus.
    void SetSelectedRow(int row);   // focused and selected
    int GetFirstSelectedRow() const; // -1 when none
    void EnsureVisible(int row);

    // Next selected row after `after` (-1: from the top); -1 when none.
    int GetNextSelectedRow(int after) const;

    CGridCtrlEditCell* StartEdit(int row, int column);
    // Ends the running in-place edit as Enter does; nothing without one.
    void commitEdit();
    bool SortByColumn(int column, bool ascending);
    // The order of two rows by m_nSortColumn, m_nSortType and m_bAscending:
    // negative, 0 or positive.
    static int CompareItems(int row1, int row2, const CGridCtrl* grid);

    int m_nSortColumn = -1;
    bool m_bAscending = true;
    int m_nSortType = 0;

protected:
    std::intptr_t notifyOwner(int code, int param1, int param2);
    // Commits or drops the running in-place edit.
    void endEdit(int row, int column, const QString* newText);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class CGridCtrlEditCell;
    void dropEdit();
    void onColumnClicked(int column);
    void onColumnMoved(int logical, int oldVisual, int newVisual);
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void applySortIndicator();
    struct Impl;
    Impl* d;
};

// The in-place editor of one cell. Enter and Escape end the edit and never
// reach the dialog around the grid.
class CGridCtrlEditCell : public QLineEdit
{
    Q_OBJECT
public:
    CGridCtrlEditCell(CGridCtrl* grid, int row, int column, const QString& text);

    int m_nRow;
    int m_nColumn;
    QString m_strText;
    bool m_bCancel = false;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class CGridCtrl;
    void finish();
    QPointer<CGridCtrl> m_grid;
    bool m_finished = false;
};
