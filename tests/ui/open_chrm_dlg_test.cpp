#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "support/ChromatogramFiles.h"
#include "support/FileBytes.h"
#include "support/QtPrint.h"
#include "support/Screenshot.h"
#include "support/UtcZone.h"
#include "ui/DirTreeCtrl.h"
#include "ui/OpenChrmDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace testsupport;

namespace {

const QString kOpenDirType = QStringLiteral("OpenDirType");
const QString kLastOpenPath1 = QStringLiteral("LastOpenPath1");
const QString kLastOpenPath2 = QStringLiteral("LastOpenPath2");
const QString kMultiSelectMode = QStringLiteral("MultiSelectMode");
const std::int64_t kT = 1718000000; // 10.06.24 06:13:20 UTC

// A laboratory folder tree under a root of several components, and the
// chromatography software's settings of the user and of the machine.
class OpenChrmDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = m_dir.filePath(QStringLiteral("лаборатория/данные"));
        runs = root + QStringLiteral("/2024/Июнь");
        other = root + QStringLiteral("/2023");
        ASSERT_TRUE(QDir().mkpath(other));
        ASSERT_TRUE(QDir().mkpath(runs));
        write(runs + QStringLiteral("/gs1.stg"), QStringLiteral("ГС скв. 7"), QStringLiteral("ГАЗ-1"),
              QStringLiteral("Куст 5"), QStringLiteral("Сепаратор"), false, kT);
        write(runs + QStringLiteral("/gs2.stg"), QStringLiteral("ГС скв. 7 повтор"), QStringLiteral("газ-1"),
              QStringLiteral("Куст 5"), QStringLiteral("Сепаратор"), false, kT + 4);
        write(runs + QStringLiteral("/cal.STG"), QStringLiteral("Калибровка баллон 17"), QStringLiteral("ГАЗ-1"),
              QString(), QStringLiteral("Линия"), true, kT + 5);
        write(runs + QStringLiteral("/dk.stg"), QStringLiteral("ДК скв. 7"), QStringLiteral("Бензин"),
              QStringLiteral("Куст 6"), QString(), false, kT - 86400);
        ASSERT_TRUE(writeFileBytes(runs + QStringLiteral("/damaged.stg"), "not a chromatogram"));
        ASSERT_TRUE(setFileModified(runs + QStringLiteral("/damaged.stg"), kT - 2 * 86400));
        write(other + QStringLiteral("/old.stg"), QStringLiteral("Старая проба"), QStringLiteral("ГАЗ-1"), QString(),
              QString(), false, kT - 400 * 86400);

        user = std::make_unique<Profile>(m_dir.filePath(QStringLiteral("user.conf")));
        machine = std::make_unique<Profile>(m_dir.filePath(QStringLiteral("machine.conf")));
        machine->writeString(QString(), QStringLiteral("OpenPath"), root);
        user->writeString(QString(), kLastOpenPath2, runs);
    }

    static void write(const QString& path, const QString& sample, const QString& method, const QString& site,
                      const QString& point, bool calibration, std::int64_t time)
    {
        ASSERT_TRUE(writePassportFile(path, sample, method, site, point, calibration, time));
    }

    std::unique_ptr<COpenChrmDlg> open()
    {
        auto dlg = std::make_unique<COpenChrmDlg>(nullptr, user.get(), machine.get());
        dlg->show();
        return dlg;
    }

    static QStringList column(const COpenChrmDlg& dlg, int c)
    {
        QStringList texts;
        for (int r = 0; r < dlg.List()->topLevelItemCount(); ++r)
            texts.append(dlg.List()->topLevelItem(r)->text(c));
        return texts;
    }
    static QStringList entries(const QComboBox* box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
        return texts;
    }
    static void focusRow(COpenChrmDlg& dlg, int row, bool select)
    {
        QTreeWidget* list = dlg.List();
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                                select ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                                       : QItemSelectionModel::NoUpdate);
    }
    static QList<int> selectedRows(const COpenChrmDlg& dlg)
    {
        QList<int> rows;
        for (int r = 0; r < dlg.List()->topLevelItemCount(); ++r) {
            if (dlg.List()->topLevelItem(r)->isSelected())
                rows.append(r);
        }
        return rows;
    }

    UtcZone m_utc;
    QTemporaryDir m_dir;
    QString root;
    QString runs;
    QString other;
    std::unique_ptr<Profile> user;
    std::unique_ptr<Profile> machine;
};

} // namespace

TEST_F(OpenChrmDlgTest, opensTheRememberedFolderUnderTheConfiguredRootNewestFirst)
{
    auto dlg = open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Открытие хроматограммы"));
    EXPECT_FALSE(dlg->WholeFileSystemBox()->isChecked());
    ASSERT_EQ(dlg->Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(dlg->Tree()->topLevelItem(0)->text(0), root);
    ASSERT_NE(dlg->Tree()->currentItem(), nullptr);
    EXPECT_EQ(dlg->Tree()->GetItemPath(dlg->Tree()->currentItem()), runs);
    EXPECT_EQ(dlg->CurrentFolder(), runs);
    EXPECT_EQ(dlg->PathText()->text(), runs);

    EXPECT_EQ(column(*dlg, 2), QStringList({"cal", "gs2", "gs1", "dk", "damaged"}));
    EXPECT_EQ(column(*dlg, 1), QStringList({"Калибровка баллон 17", "ГС скв. 7 повтор", "ГС скв. 7", "ДК скв. 7", "????"}));
    EXPECT_EQ(column(*dlg, 0), QStringList({"10.06.24", "10.06.24", "10.06.24", "09.06.24", "08.06.24"}));

    EXPECT_EQ(entries(dlg->MethodBox()), QStringList({"* (любой)", "Бензин", "ГАЗ-1"}));
    EXPECT_EQ(entries(dlg->SiteBox()), QStringList({"* (любой)", "Куст 5", "Куст 6"}));
    EXPECT_EQ(entries(dlg->PointBox()), QStringList({"* (любая)", "Линия", "Сепаратор"}));
    for (const QComboBox* box : {dlg->MethodBox(), dlg->SiteBox(), dlg->PointBox()})
        EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(entries(dlg->TypeBox()), QStringList({"Любые", "Градуировочные", "Анализы"}));

    saveScreenshotIfAsked(dlg->grab(), QStringLiteral("open_chrm_dlg.png"));
}

TEST_F(OpenChrmDlgTest, filtersAndTypeNarrowTheList)
{
    auto dlg = open();
    // The method filter in one spelling shows the runs spelt the other way too.
    dlg->MethodBox()->setCurrentIndex(dlg->MethodBox()->findText(QStringLiteral("ГАЗ-1")));
    EXPECT_EQ(column(*dlg, 2), QStringList({"cal", "gs2", "gs1"}));
    dlg->PointBox()->setCurrentIndex(dlg->PointBox()->findText(QStringLiteral("Сепаратор")));
    EXPECT_EQ(column(*dlg, 2), QStringList({"gs2", "gs1"}));

    // A new type reads the folder again and resets the filters.
    dlg->TypeBox()->setCurrentIndex(OpenListCalibrations);
    EXPECT_EQ(column(*dlg, 2), QStringList({"cal"}));
    EXPECT_EQ(entries(dlg->SiteBox()), QStringList({"* (любой)"}));
    dlg->TypeBox()->setCurrentIndex(OpenListAnalyses);
    EXPECT_EQ(column(*dlg, 2), QStringList({"gs2", "gs1", "dk", "damaged"}));
}

TEST_F(OpenChrmDlgTest, focusedFileShowsItsPassportOrAReadError)
{
    auto dlg = open();
    focusRow(*dlg, 2, true);
    const QString text = dlg->Description()->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("ПРОБА: \tГС скв. 7\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Дата / Время анализа: 10.06.24   06:13:20"))) << text.toStdString();
    focusRow(*dlg, 4, true);
    EXPECT_EQ(dlg->Description()->toPlainText(), QStringLiteral("Ошибка чтения !!!"));
    // A new filter empties the box.
    dlg->MethodBox()->setCurrentIndex(1);
    EXPECT_TRUE(dlg->Description()->toPlainText().isEmpty());
}

TEST_F(OpenChrmDlgTest, jointSelectionTakesRunsLessThanFiveSecondsApart)
{
    auto dlg = open();
    // Rows: cal (t + 5), gs2 (t + 4), gs1 (t), dk, damaged.
    focusRow(*dlg, 2, true);
    EXPECT_EQ(selectedRows(*dlg), QList<int>({2}));

    QTest::mouseClick(dlg->JointSelectBox(), Qt::LeftButton);
    ASSERT_TRUE(dlg->JointSelectBox()->isChecked());
    focusRow(*dlg, 3, true);
    EXPECT_EQ(selectedRows(*dlg), QList<int>({3}));
    focusRow(*dlg, 2, true);
    EXPECT_EQ(selectedRows(*dlg), QList<int>({1, 2}));
    focusRow(*dlg, 1, true);
    EXPECT_EQ(selectedRows(*dlg), QList<int>({0, 1, 2}));
}

TEST_F(OpenChrmDlgTest, okReturnsTheSelectedFilesAndWritesTheFolders)
{
    auto dlg = open();
    ASSERT_TRUE(dlg->Tree()->SetSelPath(other));
    EXPECT_EQ(column(*dlg, 2), QStringList({"old"}));
    ASSERT_TRUE(dlg->Tree()->SetSelPath(runs));
    QTest::mouseClick(dlg->JointSelectBox(), Qt::LeftButton);
    focusRow(*dlg, 0, true);  // cal, with gs2 four seconds before it
    dlg->accept();

    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    // In list order; the file keeps its own spelling of the extension.
    EXPECT_EQ(dlg->m_files, QStringList({runs + QStringLiteral("/cal.STG"), runs + QStringLiteral("/gs2.stg")}));
    const Profile saved(m_dir.filePath(QStringLiteral("user.conf")));
    EXPECT_EQ(saved.readString(QString(), kLastOpenPath2, QString()), runs);
    EXPECT_EQ(saved.readString(QString(), kLastOpenPath1, QStringLiteral("absent")), QString());
    EXPECT_EQ(saved.readInt(QString(), kOpenDirType, -1), 0);
    EXPECT_EQ(saved.readInt(QString(), kMultiSelectMode, -1), 1);
}

// The focused row counts only while it is selected: a file clicked and
// Ctrl+clicked off again is not added, alone or among others.
TEST_F(OpenChrmDlgTest, openReturnsExactlyTheSelectedFiles)
{
    const struct {
        QList<int> clicked; // the first plainly, the rest with Ctrl
        QStringList files;
    } cases[] = {
        {{3, 3}, {}},
        {{0, 2, 3, 2}, {runs + QStringLiteral("/cal.STG"), runs + QStringLiteral("/dk.stg")}},
    };
    for (const auto& c : cases) {
        auto dlg = open();
        QTreeWidget* list = dlg->List();
        for (int i = 0; i < c.clicked.size(); ++i)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier,
                              list->visualItemRect(list->topLevelItem(c.clicked[i])).center());
        ASSERT_EQ(dlg->List()->currentItem(), dlg->List()->topLevelItem(c.clicked.back()));
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        EXPECT_EQ(dlg->m_files, c.files);
    }
    auto dlg = open();
    dlg->List()->setCurrentItem(nullptr);
    dlg->List()->clearSelection();
    dlg->accept();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(dlg->m_files.isEmpty());
}

TEST_F(OpenChrmDlgTest, cancelAfterChangingFoldersWritesNothing)
{
    auto dlg = open();
    ASSERT_TRUE(dlg->Tree()->SetSelPath(other));
    EXPECT_EQ(dlg->CurrentFolder(), other);
    QTest::mouseClick(dlg->JointSelectBox(), Qt::LeftButton);
    dlg->reject();
    dlg.reset();
    const Profile saved(m_dir.filePath(QStringLiteral("user.conf")));
    EXPECT_EQ(saved.readString(QString(), kLastOpenPath2, QString()), runs);
    EXPECT_FALSE(saved.contains(QString(), kMultiSelectMode));
    EXPECT_FALSE(saved.contains(QString(), kOpenDirType));
}

TEST_F(OpenChrmDlgTest, wholeFileSystemOpensTheOtherRememberedFolderFromTheTop)
{
    user->writeInt(QString(), kOpenDirType, 1);
    user->writeString(QString(), kLastOpenPath1, other);
    auto dlg = open();
    EXPECT_TRUE(dlg->WholeFileSystemBox()->isChecked());
    ASSERT_EQ(dlg->Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(dlg->Tree()->topLevelItem(0)->text(0), QStringLiteral("/"));
    EXPECT_EQ(dlg->Tree()->GetItemPath(dlg->Tree()->currentItem()), other);
    EXPECT_EQ(column(*dlg, 2), QStringList({"old"}));

    // Back to the single root and its own remembered folder.
    QTest::mouseClick(dlg->WholeFileSystemBox(), Qt::LeftButton);
    EXPECT_EQ(dlg->Tree()->topLevelItem(0)->text(0), root);
    EXPECT_EQ(dlg->CurrentFolder(), runs);
    dlg->accept();
    const Profile saved(m_dir.filePath(QStringLiteral("user.conf")));
    EXPECT_EQ(saved.readInt(QString(), kOpenDirType, -1), 0);
    EXPECT_EQ(saved.readString(QString(), kLastOpenPath1, QString()), other);
    EXPECT_EQ(saved.readString(QString(), kLastOpenPath2, QString()), runs);
}

TEST_F(OpenChrmDlgTest, noRememberedFolderListsNothing)
{
    user->deleteValue(QString(), kLastOpenPath2);
    auto dlg = open();
    EXPECT_TRUE(dlg->CurrentFolder().isEmpty());
    EXPECT_EQ(dlg->List()->topLevelItemCount(), 0);
    EXPECT_EQ(entries(dlg->MethodBox()), QStringList({"* (любой)"}));
}

TEST_F(OpenChrmDlgTest, growingTheDialogGrowsTheListAndMovesTheRightHandControls)
{
    auto dlg = open();
    const QRect list = dlg->List()->geometry();
    const QRect site = dlg->SiteBox()->geometry();
    const QRect tree = dlg->Tree()->geometry();
    const QRect method = dlg->MethodBox()->geometry();
    dlg->resize(dlg->size() + QSize(100, 60));
    EXPECT_EQ(dlg->List()->geometry(), list.adjusted(0, 0, 100, 60));
    EXPECT_EQ(dlg->SiteBox()->geometry(), site.translated(100, 0));
    EXPECT_EQ(dlg->Tree()->geometry(), tree.adjusted(0, 0, 0, 60));
    EXPECT_EQ(dlg->MethodBox()->geometry(), method);
    // It cannot be made smaller than it opened.
    EXPECT_EQ(dlg->minimumSize(), dlg->size() - QSize(100, 60));
}

// A folder path longer than its label is shortened with "…" in the middle,
// so its beginning and its end stay visible; the tooltip shows it whole.
TEST_F(OpenChrmDlgTest, aLongFolderPathIsShortenedInTheMiddle)
{
    const QString deep =
        runs + QStringLiteral("/Скважина 41, куст 5, пробы с сепаратора первой ступени/2026/декабрь/серия");
    ASSERT_TRUE(QDir().mkpath(deep));
    user->writeString(QString(), kLastOpenPath2, deep);
    auto dlg = open();
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("open_chrm_long_path.png"));
    ElidedLabel* label = dlg->PathText();
    EXPECT_EQ(label->text(), deep);
    EXPECT_EQ(label->toolTip(), deep);
    const QString shown = label->shownText();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(deep.left(4))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/серия"))) << shown.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
    // What is painted is that text, not the whole path cut at the right.
    ElidedLabel painted(dlg.get());
    painted.setGeometry(label->geometry());
    painted.setText(shown);
    ASSERT_EQ(painted.shownText(), shown);
    EXPECT_EQ(label->grab().toImage(), painted.grab().toImage());
}
