#include <gtest/gtest.h>

#include "ui/DlgOutTable.h"

#include <cfloat>
#include <cmath>

namespace {

class CDlgOutTableCells : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page.m_grid.InsertColumn(0, QStringLiteral("№"), LVCFMT_LEFT, 30);
        page.m_grid.InsertColumn(1, QStringLiteral("Площадь"), LVCFMT_LEFT, 110);
        page.m_grid.AddRow();
    }
    QString cell() const { return page.m_grid.GetItemText(0, 1); }
    CDlgOutTable page;
};

} // namespace

TEST_F(CDlgOutTableCells, unsetValueShowsDashesButTheLargestNumberDoesNot)
{
    page.SetCellValue(0, 1, 3, -DBL_MAX);
    EXPECT_EQ(cell(), QStringLiteral("---"));
    page.SetCellValue(0, 1, 0, DBL_MAX);
    EXPECT_TRUE(cell().startsWith(QStringLiteral("17976931348623157")));
    EXPECT_FALSE(cell().contains(QLatin1Char('.')));
}

TEST_F(CDlgOutTableCells, numbersTakeTheDigitCountWithADecimalPoint)
{
    page.SetCellValue(0, 1, 3, 0.0);
    EXPECT_EQ(cell(), QStringLiteral("0.000"));
    page.SetCellValue(0, 1, 2, 1234.5678);
    EXPECT_EQ(cell(), QStringLiteral("1234.57"));
    page.SetCellValue(0, 1, 0, 2.6);
    EXPECT_EQ(cell(), QStringLiteral("3"));
    page.SetCellValue(0, 1, 1, -0.04);
    EXPECT_EQ(cell(), QStringLiteral("-0.0"));
}

TEST_F(CDlgOutTableCells, notANumberIsFormattedNotTakenForUnset)
{
    page.SetCellValue(0, 1, 3, std::nan(""));
    EXPECT_NE(cell(), QStringLiteral("---"));
    EXPECT_TRUE(cell().contains(QStringLiteral("nan"), Qt::CaseInsensitive));
}

TEST_F(CDlgOutTableCells, hugeDigitCountIsCut)
{
    page.SetCellValue(0, 1, 1000000000, 1.0);
    EXPECT_EQ(cell(), QStringLiteral("1.000000000000000"));
}

TEST_F(CDlgOutTableCells, cellOutsideTheGridChangesNothing)
{
    page.SetCellValue(0, 1, 3, 5.0);
    page.SetCellValue(1, 1, 3, 7.0);
    page.SetCellValue(0, 2, 3, 7.0);
    page.SetCellValue(-1, 0, 3, 7.0);
    EXPECT_EQ(page.m_grid.GetItemCount(), 1);
    EXPECT_EQ(page.m_grid.GetColumnCount(), 2);
    EXPECT_EQ(cell(), QStringLiteral("5.000"));
    EXPECT_EQ(page.m_grid.GetItemText(0, 0), QString());
}
