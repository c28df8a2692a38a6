#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "support/ProfileDir.h"
#include "support/QtPrint.h"
#include "ui/DlgCalcInfo.h"

#include <QAction>
#include <QMenu>

#include <memory>

namespace {

const QString kSection = QStringLiteral("TablesSettings\\CalcInfo");

class DlgCalcInfoTest : public testsupport::ProfileDirTest
{
protected:
    void SetUp() override { profile = std::make_unique<Profile>(iniPath()); }

    void store(int index, int id, int width, int visible)
    {
        const QString prefix = QString::number(index) + QLatin1Char('_');
        profile->writeInt(kSection, prefix + QStringLiteral("id"), id);
        profile->writeInt(kSection, prefix + QStringLiteral("width"), width);
        profile->writeInt(kSection, prefix + QStringLiteral("visible"), visible);
    }
    static std::vector<int> ids(const DlgCalcInfo& page)
    {
        std::vector<int> list;
        for (const ColumnLayout& r : page.Layout())
            list.push_back(r.nId);
        return list;
    }

    std::unique_ptr<Profile> profile;
};

const std::vector<int> kAllIds = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

} // namespace

TEST_F(DlgCalcInfoTest, pageNeverSetUpWritesAnEmptyLayoutWhenItGoes)
{
    std::make_unique<DlgCalcInfo>(*profile).reset();
    const Profile saved(iniPath());
    EXPECT_TRUE(saved.contains(kSection, QStringLiteral("qtyCols")));
    EXPECT_EQ(saved.readInt(kSection, QStringLiteral("qtyCols"), -1), 0);
}

TEST_F(DlgCalcInfoTest, firstSetUpShowsFifteenColumnsWithTheirDefaultWidths)
{
    DlgCalcInfo page(*profile);
    EXPECT_EQ(page.CreateColumnMenu(), nullptr); // nothing before the page is set up
    page.OnInitDialog();
    EXPECT_EQ(ids(page), kAllIds);
    const int widths[] = {30, 200, 60, 100, 80, 70, 120, 105, 105, 120, 115, 90, 100, 100, 100};
    const CGridCtrl* grid = page.Grid();
    ASSERT_EQ(grid->GetColumnCount(), 15);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(page.Layout()[static_cast<std::size_t>(i)].nWidth, widths[i]) << i;
        EXPECT_TRUE(page.Layout()[static_cast<std::size_t>(i)].bVisible) << i;
        EXPECT_EQ(grid->GetColumnWidth(i), widths[i]) << i;
    }
    EXPECT_EQ(grid->GetColumnText(0), QStringLiteral("№"));
    EXPECT_EQ(grid->GetColumnText(6), QStringLiteral("Абс. расш. н. моль%"));
    EXPECT_EQ(grid->GetColumnText(12), QStringLiteral("σk (табл. 4), %"));
    EXPECT_EQ(grid->GetColumnText(14), QStringLiteral("Соответствие"));

    std::unique_ptr<QMenu> menu(page.CreateColumnMenu());
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 15);
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("Пик"));
    EXPECT_TRUE(menu->actions()[1]->isChecked());
    EXPECT_EQ(menu->actions()[14]->data().toInt(), 4038);
}

TEST_F(DlgCalcInfoTest, hiddenColumnKeepsItsWidthAndAZeroWidthIsStoredAsTwo)
{
    {
        DlgCalcInfo page(*profile);
        page.OnInitDialog();
        page.OnColumnToggle(3);
        EXPECT_EQ(page.Grid()->GetColumnWidth(3), 0);
        GridNotify resized;
        resized.grid = page.Grid();
        resized.idFrom = DlgCalcInfo::IDC_GRID;
        resized.code = GN_COLUMNRESIZED;
        resized.nParam1 = 5;
        resized.nParam2 = 0;
        EXPECT_EQ(page.onGridNotify(resized), 1);
    }
    const Profile saved(iniPath());
    EXPECT_EQ(saved.readInt(kSection, QStringLiteral("qtyCols"), 0), 15);
    EXPECT_EQ(saved.readInt(kSection, QStringLiteral("3_width"), 0), 100);
    EXPECT_EQ(saved.readInt(kSection, QStringLiteral("3_visible"), 1), 0);
    EXPECT_EQ(saved.readInt(kSection, QStringLiteral("5_width"), 0), 2);
    EXPECT_EQ(saved.readInt(kSection, QStringLiteral("5_visible"), 0), 1);

    // The next run shows the column hidden, and showing it brings its width back.
    DlgCalcInfo page(*profile);
    page.OnInitDialog();
    EXPECT_EQ(page.Grid()->GetColumnWidth(3), 0);
    page.OnColumnToggle(3);
    EXPECT_EQ(page.Grid()->GetColumnWidth(3), 100);
}

TEST_F(DlgCalcInfoTest, storedLayoutInAnotherOrderIsPutIntoColumnOrder)
{
    profile->writeInt(kSection, QStringLiteral("qtyCols"), 5);
    store(0, 2, 61, 1);
    store(1, 0, 31, 0);
    store(2, -1, 99, 1); // a negative id is dropped
    store(3, 14, 77, 1);
    store(4, 1, 201, 1);
    DlgCalcInfo page(*profile);
    page.OnInitDialog();
    EXPECT_EQ(ids(page), kAllIds);
    EXPECT_EQ(page.Layout()[0].nWidth, 31);
    EXPECT_FALSE(page.Layout()[0].bVisible);
    EXPECT_EQ(page.Layout()[1].nWidth, 201);
    EXPECT_EQ(page.Layout()[2].nWidth, 61);
    EXPECT_EQ(page.Layout()[14].nWidth, 77);
    EXPECT_EQ(page.Grid()->GetColumnWidth(0), 0);
    EXPECT_EQ(page.Grid()->GetColumnWidth(2), 61);
    // A toggle of column 2 reaches the record of column 2.
    page.OnColumnToggle(2);
    EXPECT_FALSE(page.Layout()[2].bVisible);
    EXPECT_EQ(page.Grid()->GetColumnWidth(2), 0);
}

TEST_F(DlgCalcInfoTest, hugeStoredCountReadsOnlyTheRecordsThatAreThere)
{
    profile->writeInt(kSection, QStringLiteral("qtyCols"), 2000000000);
    store(0, 4, 44, 1);
    DlgCalcInfo page(*profile);
    page.LoadLayout();
    ASSERT_EQ(page.Layout().size(), 1u);
    EXPECT_EQ(page.Layout()[0].nId, 4);
}
