#pragma once

#include "ui/GridCtrl.h"

#include <QWidget>

// A page that shows one read-only table: the chromatogram-information page of
// the main window and every table of the result pages. Numbers reach the grid
// only through SetCellValue, so they all look alike.
class CDlgOutTable : public QWidget
{
    Q_OBJECT
public:
    explicit CDlgOutTable(QWidget* parent = nullptr);

    // The number as the grids show it: "---" for the unset value (the most
    // negative finite double, compared exactly), else "%.*f" with the digit
    // count; a NaN is formatted like any number. Digit counts above
    // GeneralSettings::MaxDigits are taken as that many.
    static QString FormatCellValue(int precision, double value);
    // Writes the formatted number into the cell; a cell that does not exist
    // leaves the grid unchanged.
    void SetCellValue(int row, int column, int precision, double value);

    CGridCtrl m_grid;
    // How many analyses the per-analysis columns show now; the owning page keeps it.
    int m_nAnalysisCount = 0;
};
