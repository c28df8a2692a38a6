#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/QtPrint.h"
#include "ui/DirTreeCtrl.h"

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// A folder tree under a root whose path has several components.
class DirTreeCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = m_dir.filePath(QStringLiteral("лаборатория/Данные"));
        for (const char* folder : {"b/deep/deeper", "A", "c", "Data/x", "data/y", ".hidden"})
            ASSERT_TRUE(QDir().mkpath(root + QLatin1Char('/') + QString::fromUtf8(folder)));
        ASSERT_TRUE(testsupport::writeFileBytes(root + QStringLiteral("/file.stg"), "x"));
    }

    static QStringList childTexts(const QTreeWidgetItem* item)
    {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts.append(item->child(i)->text(0));
        return texts;
    }
    static bool holdsOnlyThePlaceholder(const QTreeWidgetItem* item)
    {
        return item->childCount() == 1 && item->child(0)->text(0).isEmpty();
    }

    QTemporaryDir m_dir;
    QString root;
    CDirTreeCtrl tree;
};

} // namespace

TEST_F(DirTreeCtrlTest, rootShowsItsFoldersSortedAndEachIsReadOnlyWhenOpened)
{
    ASSERT_TRUE(tree.DisplayTree(root, false));
    EXPECT_EQ(tree.m_strRoot, root + QLatin1Char('/'));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* top = tree.topLevelItem(0);
    EXPECT_EQ(top->text(0), root);
    EXPECT_TRUE(top->isExpanded());
    const QStringList folders = childTexts(top);
    // Files are not shown; names equal but for case stand together in either order.
    ASSERT_EQ(folders.size(), 6);
    EXPECT_EQ(folders.mid(0, 3), QStringList({".hidden", "A", "b"}));
    EXPECT_EQ(folders[3], QStringLiteral("c"));
    EXPECT_EQ(QStringList({folders[4].toLower(), folders[5].toLower()}), QStringList({"data", "data"}));
    for (int i = 0; i < top->childCount(); ++i)
        EXPECT_TRUE(holdsOnlyThePlaceholder(top->child(i))) << folders[i].toStdString();

    QTreeWidgetItem* b = top->child(2);
    b->setExpanded(true);
    EXPECT_EQ(childTexts(b), QStringList({"deep"}));
    EXPECT_TRUE(holdsOnlyThePlaceholder(b->child(0)));
    EXPECT_EQ(tree.GetItemPath(b->child(0)), root + QStringLiteral("/b/deep"));

    // Closed, the node forgets its folders; opened again it shows the new ones.
    b->setExpanded(false);
    EXPECT_TRUE(holdsOnlyThePlaceholder(b));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/b/added")));
    b->setExpanded(true);
    EXPECT_EQ(childTexts(b), QStringList({"added", "deep"}));

    // An empty folder opens to nothing.
    QTreeWidgetItem* c = top->child(3);
    c->setExpanded(true);
    EXPECT_EQ(c->childCount(), 0);
}

TEST_F(DirTreeCtrlTest, nestedPathUnderAMultiComponentRootIsSelected)
{
    ASSERT_TRUE(tree.DisplayTree(root, false));
    QSignalSpy changed(&tree, &QTreeWidget::currentItemChanged);
    const QString path = root + QStringLiteral("/b/deep/deeper");
    ASSERT_TRUE(tree.SetSelPath(path + QLatin1Char('/')));
    ASSERT_NE(tree.currentItem(), nullptr);
    EXPECT_EQ(tree.currentItem()->text(0), QStringLiteral("deeper"));
    EXPECT_EQ(tree.GetItemPath(tree.currentItem()), path);
    EXPECT_EQ(changed.count(), 1);

    // The root itself.
    ASSERT_TRUE(tree.SetSelPath(root));
    EXPECT_EQ(tree.GetItemPath(tree.currentItem()), root);
}

TEST_F(DirTreeCtrlTest, exactNameIsTakenBeforeOneInAnotherLetterCase)
{
    ASSERT_TRUE(tree.DisplayTree(root, false));
    ASSERT_TRUE(tree.SetSelPath(root + QStringLiteral("/Data/x")));
    EXPECT_EQ(tree.GetItemPath(tree.currentItem()), root + QStringLiteral("/Data/x"));
    ASSERT_TRUE(tree.SetSelPath(root + QStringLiteral("/data/y")));
    EXPECT_EQ(tree.GetItemPath(tree.currentItem()), root + QStringLiteral("/data/y"));

    QTreeWidgetItem* top = tree.topLevelItem(0);
    QTreeWidgetItem* byOtherCase = tree.FindChildItem(top, QStringLiteral("B"));
    ASSERT_NE(byOtherCase, nullptr);
    EXPECT_EQ(byOtherCase->text(0), QStringLiteral("b"));
    EXPECT_EQ(tree.FindChildItem(top, QStringLiteral("absent")), nullptr);
    EXPECT_EQ(tree.FindChildItem(nullptr, root), top);
}

TEST_F(DirTreeCtrlTest, pathThatIsNoFolderUnderTheRootLeavesTheSelectionAlone)
{
    ASSERT_TRUE(tree.DisplayTree(root, false));
    ASSERT_TRUE(tree.SetSelPath(root + QStringLiteral("/c")));
    const QStringList refused = {
        root + QStringLiteral("/absent"),
        root + QStringLiteral("/file.stg"),
        m_dir.path(),                           // above the root
        root + QStringLiteral("-other"),        // the root's name is not a prefix of a component
        QString(),
        QStringLiteral("relative/path"),
    };
    for (const QString& path : refused) {
        EXPECT_FALSE(tree.FolderExists(path)) << path.toStdString();
        EXPECT_FALSE(tree.SetSelPath(path)) << path.toStdString();
        EXPECT_EQ(tree.GetItemPath(tree.currentItem()), root + QStringLiteral("/c"));
    }
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("-other")));
    EXPECT_FALSE(tree.SetSelPath(root + QStringLiteral("-other")));
}

TEST_F(DirTreeCtrlTest, wholeFileSystemStartsClosedAtTheTopAndFindsAnyFolder)
{
    ASSERT_TRUE(tree.DisplayTree(QString(), false));
    EXPECT_TRUE(tree.m_strRoot.isEmpty());
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("/"));
    EXPECT_TRUE(holdsOnlyThePlaceholder(tree.topLevelItem(0)));
    EXPECT_EQ(tree.GetItemPath(tree.topLevelItem(0)), QStringLiteral("/"));

    const QString path = root + QStringLiteral("/b/deep");
    ASSERT_TRUE(tree.SetSelPath(path));
    EXPECT_EQ(tree.GetItemPath(tree.currentItem()), path);
}

TEST_F(DirTreeCtrlTest, rebuildingStartsFromAnEmptyTree)
{
    ASSERT_TRUE(tree.DisplayTree(root, false));
    ASSERT_TRUE(tree.DisplayTree(root + QStringLiteral("/b"), false));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(childTexts(tree.topLevelItem(0)), QStringList({"deep"}));
    EXPECT_FALSE(tree.DisplayTree(root + QStringLiteral("/absent"), false));
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_FALSE(tree.m_strError.isEmpty());
}

TEST(DirTreeCtrlPaths, lastComponentOfAPath)
{
    const struct
    {
        const char* path;
        const char* expected;
    } cases[] = {
        {"/data/runs", "runs"}, {"/data/runs/", "runs"}, {"runs", "runs"}, {"/data", "data"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDirTreeCtrl::GetSubPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.expected)) << c.path;
}

// A deep folder with a long name in a narrow tree is read whole by scrolling
// sideways, not cut at the tree's edge.
TEST_F(DirTreeCtrlTest, aDeepFolderNameIsShownWholeWithAScrollBar)
{
    const QString name = QStringLiteral("Хроматограммы скважины 1205 за март 2024 года");
    const QString deep = root + QStringLiteral("/b/deep/deeper/") + name;
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(tree.DisplayTree(root, false));
    tree.resize(200, 300);
    tree.show();
    ASSERT_TRUE(tree.SetSelPath(deep));
    QTreeWidgetItem* item = tree.currentItem();
    ASSERT_TRUE(item && item->text(0) == name);
    QApplication::processEvents();
    EXPECT_GT(tree.horizontalScrollBar()->maximum(), 0);
    EXPECT_GE(tree.visualItemRect(item).width(), tree.fontMetrics().horizontalAdvance(name) + tree.iconSize().width());
}
