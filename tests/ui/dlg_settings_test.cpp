#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cerrno>
#include <functional>
#include <memory>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>

#include "data/Settings.h"
#include "platform/Profile.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ProfileDir.h"
#include "support/QtRussianTexts.h"
#include "support/Screenshot.h"
#include "support/WithoutFileRights.h"
#include "ui/DlgSettings.h"
#include "ui/DlgSettingsTabChrms.h"
#include "ui/DlgSettingsTabGen.h"
#include "ui/GridCtrl.h"

using namespace profile_sections;

namespace {

class DlgSettingsTest : public testsupport::ProfileDirTest
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A dialog whose messages are collected instead of shown.
    std::unique_ptr<DlgSettings> openDialog()
    {
        auto dlg = std::make_unique<DlgSettings>(&settings);
        dlg->messageHook = [this](QWidget*, const QString& text) { messages << text; };
        return dlg;
    }

    // The widget named after a profile value. A name that is not there (a
    // misspelt value name) fails the test and yields a stand-in, so the test
    // goes on to fail its checks instead of crashing.
    template <typename T>
    T* child(QWidget* dlg, const char* name)
    {
        if (T* w = dlg->findChild<T*>(QString::fromLatin1(name)))
            return w;
        ADD_FAILURE() << "no widget named " << name;
        return new T(&m_standIns);
    }

    QLineEdit* edit(QWidget* dlg, const char* name) { return child<QLineEdit>(dlg, name); }

    Profile profile{iniPath()};
    CSettings settings{profile};
    QStringList messages;

private:
    QWidget m_standIns;
};

// What a failed save says: the profile's file and the system's reason.
QString unwrittenMessage(const QString& ini, int error)
{
    return QStringLiteral("Не удалось записать настройки в профиль программы %1: %2.\n"
                          "Они действуют до конца работы программы.")
        .arg(QDir::toNativeSeparators(ini), qt_error_string(error));
}

using CDlgSettingsTabGenTest = DlgSettingsTest;
using CDlgSettingsTabParamsTest = DlgSettingsTest;
using CDlgSettingsTabChrmsTest = DlgSettingsTest;

} // namespace

TEST_F(DlgSettingsTest, hasTheTitleAndThreeTabsInOrder)
{
    auto dlg = openDialog();
    dlg->show();
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("tavrin_dlg_settings.png"));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Настройки расчёта"));
    ASSERT_EQ(dlg->tabs()->count(), 3);
    EXPECT_EQ(dlg->tabs()->tabText(0), QStringLiteral("Общие настройки"));
    EXPECT_EQ(dlg->tabs()->tabText(1), QStringLiteral("Параметры"));
    EXPECT_EQ(dlg->tabs()->tabText(2), QStringLiteral("Настройки хрм."));
    EXPECT_EQ(dlg->tabs()->currentIndex(), 0);
    EXPECT_EQ(child<QPushButton>(dlg.get(), "okButton")->text(), QStringLiteral("Ок"));
    EXPECT_EQ(child<QPushButton>(dlg.get(), "cancelButton")->text(), QStringLiteral("Отмена"));
}

TEST_F(DlgSettingsTest, wholeTypeTableShowsOnASmallScreen)
{
    auto dlg = openDialog();
    dlg->show();
    QApplication::processEvents();
    EXPECT_LE(dlg->height(), 768 - 70);  // less a title bar and a task bar
    EXPECT_LE(dlg->width(), 1366 - 16);
    CGridCtrl* grid = dlg->generalPage()->typeGrid();
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), 0);
    for (int row = 0; row < grid->GetItemCount(); ++row)
        EXPECT_GE(grid->columnWidth(0), grid->fontMetrics().horizontalAdvance(grid->GetItemText(row, 0))) << row;
}

// Whether the page shows as much of a field or a cell as its view can hold.
bool inView(const QScrollArea* page, const QWidget* within, const QRect& rect)
{
    const QWidget* view = page->viewport();
    const QRect place(within->mapTo(view, rect.topLeft()), rect.size());
    return (view->rect() & place).size() == place.size().boundedTo(view->size());
}

TEST_F(DlgSettingsTest, onASmallScreenTabStopsOnFieldsAndThePageFollowsTheArrowsAndARefusal)
{
    auto dlg = openDialog();
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    // As short as on a screen at 150 % text, where the page holds a few rows of the table.
    dlg->setMinimumSize(1, 1);
    dlg->resize(dlg->width(), 420);
    auto* general = qobject_cast<QScrollArea*>(dlg->tabs()->widget(0));
    ASSERT_NE(general, nullptr);
    ASSERT_GT(general->verticalScrollBar()->maximum(), 0);

    // Tab stops on fields only, never on a page's scroll area.
    QWidget* first = edit(dlg.get(), "qtySymInProg");
    first->setFocus();
    for (int stops = 0; stops == 0 || QApplication::focusWidget() != first; ++stops) {
        ASSERT_LT(stops, 100);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QApplication::focusWidget() && !qobject_cast<QScrollArea*>(QApplication::focusWidget()));
    }

    // The arrows move the highlight through the type table; the page keeps it in view.
    CGridCtrl* grid = dlg->generalPage()->typeGrid();
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
        for (int step = 1; step < grid->rowCount(); ++step) {
            QTest::keyClick(grid, key);
            EXPECT_TRUE(inView(general, grid->viewport(), grid->visualRect(grid->currentIndex()))) << grid->currentRow();
        }
    }

    // A refused field lying out of view is scrolled into it.
    general->verticalScrollBar()->setValue(general->verticalScrollBar()->maximum());
    general->horizontalScrollBar()->setValue(general->horizontalScrollBar()->maximum());
    QLineEdit* digits = edit(dlg.get(), "qtySymInProg");
    ASSERT_FALSE(inView(general, digits, digits->rect()));
    digits->setText(QStringLiteral("много"));
    dlg->accept();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(inView(general, digits, digits->rect()));
}

// The pages show the tab pane's colour, as a bare pane does, not the
// window's grey of a scroll area's own background.
TEST_F(DlgSettingsTest, pagesShowTheTabPanesColour)
{
    auto dlg = openDialog();
    dlg->show();
    for (int i = 0; i < dlg->tabs()->count(); ++i) {
        dlg->tabs()->setCurrentIndex(i);
        auto* area = static_cast<QScrollArea*>(dlg->tabs()->widget(i));
        // A corner of the page's margin, where no control lies.
        const QPoint spot = area->widget()->mapTo(dlg.get(), QPoint(2, 2));
        const QColor shown = dlg->grab().toImage().pixelColor(spot);
        area->hide();
        const QColor pane = dlg->grab().toImage().pixelColor(spot);
        ASSERT_NE(pane, dlg->palette().color(QPalette::Window));  // else the test tells nothing
        EXPECT_EQ(shown, pane) << i;
    }
}

TEST_F(DlgSettingsTest, showsWhatTheProfileHoldsWhenOpened)
{
    // Written after the settings were built: the dialog must reload first.
    profile.writeInt(General, QStringLiteral("qtySymInProg"), 4);
    profile.writeInt(General, QStringLiteral("QtyGdCalib"), 1);
    profile.writeString(General, QStringLiteral("TimeStartSample"), QStringLiteral("2.1234567000"));
    profile.writeString(Params, QStringLiteral("GsPressure"), QStringLiteral("101.3250000000"));
    profile.writeString(Methods, QStringLiteral("2_sample"), QStringLiteral("Калибровка"));
    profile.writeInt(Chrms, QStringLiteral("qtyFolders"), 1);
    profile.writeString(Chrms, QStringLiteral("folder_0"), QStringLiteral("/srv/chrom"));
    profile.writeInt(Chrms, QStringLiteral("enAutoOpen"), 0);

    auto dlg = openDialog();
    EXPECT_EQ(edit(dlg.get(), "qtySymInProg")->text(), QStringLiteral("4"));
    EXPECT_EQ(edit(dlg.get(), "qtySymInReport")->text(), QStringLiteral("3"));
    // The start time shows unrounded.
    EXPECT_EQ(edit(dlg.get(), "TimeStartSample")->text(), QStringLiteral("2.1234567"));
    EXPECT_EQ(edit(dlg.get(), "GsPressure")->text(), QStringLiteral("101.325"));
    EXPECT_EQ(edit(dlg.get(), "PgMtrapempty")->text(), QStringLiteral("0"));
    EXPECT_TRUE(child<QRadioButton>(dlg.get(), "QtyGdCalib_1")->isChecked());
    EXPECT_EQ(child<QRadioButton>(dlg.get(), "QtyGdCalib_1")->text(), QStringLiteral("5"));
    EXPECT_TRUE(child<QRadioButton>(dlg.get(), "QtyGsRegular_0")->isChecked());
    EXPECT_EQ(child<QRadioButton>(dlg.get(), "QtyGsRegular_0")->text(), QStringLiteral("2"));
    EXPECT_FALSE(child<QCheckBox>(dlg.get(), "enAutoOpen")->isChecked());

    CGridCtrl* grid = dlg->generalPage()->typeGrid();
    ASSERT_EQ(grid->GetItemCount(), 14);
    EXPECT_EQ(grid->GetColumnText(0), QStringLiteral("Тип"));
    EXPECT_EQ(grid->GetColumnText(1), QStringLiteral("Методика содержит"));
    EXPECT_EQ(grid->GetColumnText(2), QStringLiteral("Проба содержит"));
    EXPECT_EQ(grid->GetItemText(2, 0), QStringLiteral("ГС Калибровка"));
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("Калибровка"));
    EXPECT_EQ(grid->GetItemText(13, 0), QStringLiteral("ДК С6С44"));

    QTreeWidget* list = dlg->foldersPage()->folderList();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("1"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("/srv/chrom"));
}

TEST_F(DlgSettingsTest, okTakesEveryPageAndRewritesTheProfile)
{
    auto dlg = openDialog();
    edit(dlg.get(), "qtySymInProg")->setText(QStringLiteral(" 5 "));
    edit(dlg.get(), "qtySymInReport")->setText(QStringLiteral("0"));
    child<QCheckBox>(dlg.get(), "enGdAnalysCorrect")->setChecked(true);
    child<QCheckBox>(dlg.get(), "enBlankSubtraction")->setChecked(true);
    edit(dlg.get(), "TimeStartSample")->setText(QStringLiteral("2.1234567"));
    child<QRadioButton>(dlg.get(), "QtyDcSss_1")->setChecked(true);
    edit(dlg.get(), "GsPressure")->setText(QStringLiteral("101,325"));  // a decimal comma as typed in Russia
    edit(dlg.get(), "PgMpodc")->setText(QStringLiteral("-0.5"));
    child<QCheckBox>(dlg.get(), "enAutoOpen")->setChecked(false);

    dlg->accept();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(messages.isEmpty());

    EXPECT_EQ(settings.general.qtySymInProg, 5);
    EXPECT_EQ(settings.general.qtySymInReport, 0);
    EXPECT_EQ(settings.general.enGdAnalysCorrect, 1);
    EXPECT_EQ(settings.general.enGsGradCorrect, 0);
    EXPECT_EQ(settings.general.enBlankSubtraction, 1);
    EXPECT_DOUBLE_EQ(settings.general.TimeStartSample, 2.1234567);
    EXPECT_EQ(settings.general.QtyDcSss, 1);
    EXPECT_EQ(settings.general.QtyDcMeth, 0);
    EXPECT_DOUBLE_EQ(settings.params.GsPressure, 101.325);
    EXPECT_EQ(settings.params.PgMpodc, -0.5);
    EXPECT_EQ(settings.folders.enAutoOpen, 0);

    // Every page is written; how each value is stored is the settings' own test.
    Profile stored(iniPath());
    EXPECT_EQ(stored.readInt(General, QStringLiteral("qtySymInProg"), 0), 5);
    EXPECT_EQ(stored.readInt(General, QStringLiteral("QtyDcSss"), 0), 1);
    EXPECT_EQ(stored.readString(Params, QStringLiteral("PgMpodc"), QString()), QStringLiteral("-0.5000000000"));
    EXPECT_EQ(stored.readInt(Chrms, QStringLiteral("enAutoOpen"), 1), 0);
    EXPECT_EQ(stored.readInt(Chrms, QStringLiteral("qtyFolders"), -1), 0);
}

TEST_F(DlgSettingsTest, textThatIsNotANumberKeepsTheDialogOpenAndSavesNothing)
{
    auto dlg = openDialog();
    dlg->show();
    edit(dlg.get(), "qtySymInProg")->setText(QStringLiteral("6"));
    edit(dlg.get(), "GdVol1")->setText(QStringLiteral("12abc"));

    dlg->accept();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Суммарный объём раствора сернокислого натрия")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Газ дегазации")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Введите число, например 1.5 или 1,5.")));
    EXPECT_EQ(dlg->tabs()->currentIndex(), 1);  // the page of the refused field
    // Nothing was taken, not even the valid field, and nothing written.
    EXPECT_EQ(settings.general.qtySymInProg, 3);
    EXPECT_FALSE(profile.contains(General, QStringLiteral("qtySymInProg")));
    EXPECT_FALSE(profile.contains(Params, QStringLiteral("GdVol1")));

    edit(dlg.get(), "GdVol1")->setText(QStringLiteral("12"));
    dlg->accept();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(settings.general.qtySymInProg, 6);
    EXPECT_EQ(settings.params.GdVol1, 12.0);
}

TEST_F(DlgSettingsTest, refusesDigitCountsThatAreNotWholeOrNegativeButKeepsLargeOnes)
{
    auto dlg = openDialog();
    // A fraction or a negative count, in either field.
    const std::tuple<const char*, const char*, const char*> refused[] = {
        {"qtySymInReport", "3.5", "В отчете"}, {"qtySymInProg", "-1", "В программе"}, {"qtySymInReport", "-1", "В отчете"}};
    for (const auto& [name, text, caption] : refused) {
        QLineEdit* digits = edit(dlg.get(), name);
        digits->setText(QString::fromUtf8(text));
        dlg->tabs()->setCurrentIndex(2);
        messages.clear();
        dlg->accept();
        ASSERT_EQ(messages.size(), 1) << name << text;
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(caption) + QStringLiteral("»"))) << name << text;
        EXPECT_TRUE(messages[0].contains(QStringLiteral("Введите целое число.")));
        EXPECT_EQ(dlg->tabs()->currentIndex(), 0);
        digits->setText(QStringLiteral("3"));
    }

    // Twenty digits are no reason to refuse; the next complaint is the start
    // time's, which holds both decimal marks.
    edit(dlg.get(), "qtySymInReport")->setText(QStringLiteral("20"));
    edit(dlg.get(), "TimeStartSample")->setText(QStringLiteral("1,5.0"));
    messages.clear();
    dlg->accept();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Начало выхода пробы")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Введите число, например 1.5 или 1,5.")));
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(profile.contains(General, QStringLiteral("qtySymInReport")));

    edit(dlg.get(), "TimeStartSample")->setText(QStringLiteral("1,5"));
    dlg->accept();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(settings.general.qtySymInReport, 20);
    EXPECT_EQ(settings.general.TimeStartSample, 1.5);
    EXPECT_EQ(profile.readInt(General, QStringLiteral("qtySymInReport"), 0), 20);
}

TEST_F(DlgSettingsTest, cancelEscapeAndTheCloseBoxSaveNothingAndPutPatternsAndFoldersBack)
{
    profile.writeString(Methods, QStringLiteral("1_sample"), QStringLiteral("ГС"));
    profile.writeInt(Chrms, QStringLiteral("qtyFolders"), 1);
    profile.writeString(Chrms, QStringLiteral("folder_0"), QStringLiteral("/data/old"));
    const std::function<void(DlgSettings&)> cancels[] = {
        [this](DlgSettings& d) { QTest::mouseClick(child<QPushButton>(&d, "cancelButton"), Qt::LeftButton); },
        [](DlgSettings& d) { QTest::keyClick(d.tabs()->tabBar(), Qt::Key_Escape); },
        [](DlgSettings& d) { d.close(); }};
    for (const auto& cancel : cancels) {
        auto dlg = openDialog();
        dlg->show();
        edit(dlg.get(), "qtySymInProg")->setText(QStringLiteral("7"));
        dlg->generalPage()->onGridNotify(GridNotify{});  // a stray notice changes nothing
        CGridCtrl* grid = dlg->generalPage()->typeGrid();
        for (const auto& [row, column, text] : {std::tuple{1, 2, "ZZZ"}, std::tuple{4, 1, "Метанол"}}) {
            grid->SetItemText(row, column, QString::fromUtf8(text));
            GridNotify changed{grid, CDlgSettingsTabGen::TypeGridId, GN_CELLCHANGED, row, column};
            EXPECT_EQ(dlg->generalPage()->onGridNotify(changed), 1);
        }
        EXPECT_EQ(settings.general.typeRules[1].samplePattern, QStringLiteral("ZZZ"));  // at once, as the grid shows
        dlg->foldersPage()->folderPicker = [](QWidget*) { return QStringLiteral("/data/new"); };
        dlg->foldersPage()->OnBnClickedAdd();

        cancel(*dlg);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(settings.general.qtySymInProg, 3);
        EXPECT_EQ(settings.general.typeRules[1].samplePattern, QStringLiteral("ГС"));
        EXPECT_TRUE(settings.general.typeRules[4].methodPattern.isEmpty());
        EXPECT_FALSE(settings.general.typeRules[4].stored);
        EXPECT_EQ(settings.folders.folders(), QStringList{QStringLiteral("/data/old")});
        ASSERT_TRUE(profile.sync());
        EXPECT_FALSE(profile.contains(Methods, QStringLiteral("4_method")));
        EXPECT_EQ(profile.readString(Chrms, QStringLiteral("folder_0"), QString()), QStringLiteral("/data/old"));
    }
}

TEST_F(DlgSettingsTest, modalRunEndsWithOkThroughTheButton)
{
    DlgSettings dlg(&settings);
    dlg.messageHook = [this](QWidget*, const QString& text) { messages << text; };
    QTimer::singleShot(0, &dlg, [this, &dlg] {
        edit(&dlg, "DcDensity")->setText(QStringLiteral("0.75"));
        QTest::mouseClick(child<QPushButton>(&dlg, "okButton"), Qt::LeftButton);
    });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(settings.params.DcDensity, 0.75);
    EXPECT_EQ(profile.readString(Params, QStringLiteral("DcDensity"), QString()), QStringLiteral("0.7500000000"));
}

TEST_F(DlgSettingsTest, refusalShowsAWarningBoxByDefault)
{
    DlgSettings dlg(&settings);
    dlg.show();
    edit(&dlg, "GsTemp")->setText(QStringLiteral("тепло"));
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->close();
    });
    dlg.accept();
    EXPECT_TRUE(shown.contains(QStringLiteral("Температура газа в газовом счетчике")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Введите число, например 1.5 или 1,5.")));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(DlgSettingsTest, enterAndEscapeInsideAPageNeitherSaveNorClose)
{
    auto dlg = openDialog();
    dlg->show();
    QLineEdit* digits = edit(dlg.get(), "qtySymInProg");
    digits->setText(QStringLiteral("2"));
    QWidget* pageKeys[] = {digits, edit(dlg.get(), "GsPressure"), dlg->generalPage()->typeGrid(),
                           child<QCheckBox>(dlg.get(), "enAutoOpen"), dlg->foldersPage()->folderList()};
    for (QWidget* w : pageKeys) {
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(dlg->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(settings.general.qtySymInProg, 3);
    EXPECT_FALSE(profile.contains(General, QStringLiteral("qtySymInProg")));

    // Outside the pages the keys keep their meaning.
    QTest::keyClick(dlg->tabs()->tabBar(), Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(settings.general.qtySymInProg, 2);
}

TEST_F(DlgSettingsTest, settingsThatCouldNotBeWrittenStayInForceUntilTheEnd)
{
    ASSERT_TRUE(profile.sync());
    {
        auto dlg = openDialog();
        edit(dlg.get(), "qtySymInProg")->setText(QStringLiteral("5"));
        edit(dlg.get(), "GsPressure")->setText(QStringLiteral("99.5"));
        // Room for part of the file: Qt then has only "Unknown error", here in Russian when it can be.
        testsupport::QtRussianTexts qtTexts;
        testsupport::FileSizeLimit fullDisk(100);
        ASSERT_TRUE(fullDisk.active());
        dlg->accept();
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
    }
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], unwrittenMessage(iniPath(), EFBIG));
    EXPECT_EQ(settings.general.qtySymInProg, 5);
    EXPECT_EQ(QFileInfo(iniPath()).size(), 0);

    // The next opening shows them, and leaving it with Cancel keeps them.
    auto again = openDialog();
    EXPECT_EQ(edit(again.get(), "qtySymInProg")->text(), QStringLiteral("5"));
    EXPECT_EQ(edit(again.get(), "GsPressure")->text(), QStringLiteral("99.5"));
    again->reject();
    EXPECT_EQ(settings.general.qtySymInProg, 5);
    EXPECT_EQ(settings.params.GsPressure, 99.5);
}

// A profile in a folder that may not be written: the message says which file
// and why, and the file stays as it was. The dialog's thread gives up a
// super-user's rights, so the refusal is seen as root too.
TEST_F(DlgSettingsTest, aProfileInAReadOnlyFolderIsNamedWithTheReason)
{
    const QString folder = dir.filePath(QStringLiteral("ro"));
    const QString ini = folder + QStringLiteral("/tavrin.conf");
    ASSERT_TRUE(QDir().mkpath(folder) && testsupport::writeFileBytes(ini, "[Settings]\n"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto restore = qScopeGuard(
        [&folder] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    const testsupport::WithoutFileRights withoutRights;
    ASSERT_TRUE(testsupport::accessRefused(QFile::encodeName(folder), W_OK));
    Profile unwritable(ini);
    CSettings unsaved(unwritable);
    DlgSettings dlg(&unsaved);
    dlg.messageHook = [this](QWidget*, const QString& text) { messages << text; };
    dlg.accept();
    EXPECT_EQ(messages, QStringList{unwrittenMessage(ini, EACCES)});
    EXPECT_EQ(testsupport::readFileBytes(ini), QByteArray("[Settings]\n"));
}

// ---------------------------------------------------------------------------

TEST_F(CDlgSettingsTabGenTest, onlyThePatternColumnsOfTheTypeGridCanBeEdited)
{
    auto dlg = openDialog();
    dlg->show();
    CGridCtrl* grid = dlg->generalPage()->typeGrid();
    EXPECT_TRUE(grid->m_bEditable);
    EXPECT_EQ(grid->StartEdit(1, 0), nullptr);
    EXPECT_EQ(grid->GetItemText(1, 0), QStringLiteral("ГС Анализ"));

    CGridCtrlEditCell* cell = grid->StartEdit(1, 2);
    ASSERT_NE(cell, nullptr);
    cell->setText(QStringLiteral("ГС; сепар"));
    QTest::keyClick(cell, Qt::Key_Return);
    // Enter ends the cell edit only; the dialog stays.
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("ГС; сепар"));
    EXPECT_EQ(settings.general.typeRules[1].samplePattern, QStringLiteral("ГС; сепар"));
    EXPECT_TRUE(settings.general.typeRules[1].stored);

    cell = grid->StartEdit(1, 1);
    ASSERT_NE(cell, nullptr);
    cell->setText(QStringLiteral("Анализ"));
    QTest::keyClick(cell, Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(settings.general.typeRules[1].methodPattern.isEmpty());

    dlg->accept();
    EXPECT_EQ(profile.readString(Methods, QStringLiteral("1_sample"), QString()), QStringLiteral("ГС; сепар"));
    EXPECT_TRUE(profile.contains(Methods, QStringLiteral("1_method")));
    EXPECT_FALSE(profile.contains(Methods, QStringLiteral("0_method")));
}

TEST_F(CDlgSettingsTabGenTest, startTimeIsEditableOnlyWithBlankSubtraction)
{
    auto dlg = openDialog();
    QCheckBox* blank = child<QCheckBox>(dlg.get(), "enBlankSubtraction");
    QLineEdit* start = edit(dlg.get(), "TimeStartSample");
    EXPECT_FALSE(blank->isChecked());
    EXPECT_FALSE(start->isEnabled());
    blank->setChecked(true);
    EXPECT_TRUE(start->isEnabled());
    // Ticking alone changes no setting until OK.
    EXPECT_EQ(settings.general.enBlankSubtraction, 0);
    blank->setChecked(false);
    EXPECT_FALSE(start->isEnabled());
}

TEST_F(CDlgSettingsTabParamsTest, everyParameterFieldReachesItsOwnSetting)
{
    auto dlg = openDialog();
    double value = 1.5;
    for (const auto& field : SamplingParameters::Fields()) {
        edit(dlg.get(), field.valueName)->setText(QString::number(value));
        value += 1.0;
    }
    dlg->accept();
    ASSERT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(settings.params.GsPressure, 1.5);
    EXPECT_EQ(settings.params.GdPressure, 5.5);
    EXPECT_EQ(settings.params.DcDensity, 8.5);
    EXPECT_EQ(settings.params.PgQkgn, 12.5);
    EXPECT_EQ(settings.params.PgMtrapempty, 20.5);
    EXPECT_EQ(profile.readString(Params, QStringLiteral("DcAvg"), QString()), QStringLiteral("9.5000000000"));
    // The second copy of the digit counts goes back as it was.
    EXPECT_EQ(profile.readInt(Params, QStringLiteral("qtySymInProg"), 0), 3);
}

TEST_F(CDlgSettingsTabChrmsTest, addsRemovesAndRenumbersFolders)
{
    auto dlg = openDialog();
    CDlgSettingsTabChrms* page = dlg->foldersPage();
    QStringList answers = {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/b/"), QString(),
                           QStringLiteral("/c"), QStringLiteral("/d"), QStringLiteral("/e")};
    page->folderPicker = [&answers](QWidget*) { return answers.takeFirst(); };
    for (int i = 0; i < 7; ++i)
        QTest::mouseClick(child<QPushButton>(dlg.get(), "addFolder"), Qt::LeftButton);
    QTreeWidget* list = page->folderList();
    ASSERT_EQ(list->topLevelItemCount(), 5);  // the repeat and the cancelled pick add nothing

    list->topLevelItem(1)->setSelected(true);
    list->topLevelItem(3)->setSelected(true);
    QTest::mouseClick(child<QPushButton>(dlg.get(), "removeFolder"), Qt::LeftButton);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const QStringList expected = {QStringLiteral("/a"), QStringLiteral("/c"), QStringLiteral("/e")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list->topLevelItem(i)->text(0), QString::number(i + 1));
        EXPECT_EQ(list->topLevelItem(i)->text(1), expected[i]);
    }
    EXPECT_EQ(settings.folders.folders(), expected);

    // Nothing selected: nothing removed.
    list->clearSelection();
    QTest::mouseClick(child<QPushButton>(dlg.get(), "removeFolder"), Qt::LeftButton);
    EXPECT_EQ(list->topLevelItemCount(), 3);

    dlg->accept();
    EXPECT_EQ(profile.readInt(Chrms, QStringLiteral("qtyFolders"), 0), 3);
    EXPECT_EQ(profile.readString(Chrms, QStringLiteral("folder_2"), QString()), QStringLiteral("/e"));

    auto again = openDialog();
    QTest::mouseClick(child<QPushButton>(again.get(), "removeAllFolders"), Qt::LeftButton);
    EXPECT_EQ(again->foldersPage()->folderList()->topLevelItemCount(), 0);
    EXPECT_TRUE(settings.folders.folders().isEmpty());
}
