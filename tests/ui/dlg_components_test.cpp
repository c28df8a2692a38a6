#include <gtest/gtest.h>

#include "data/GasComponents.h"
#include "data/Settings.h"
#include "data/TempComponents.h"
#include "platform/Profile.h"
#include "support/FileSizeLimit.h"
#include "support/ProfileDir.h"
#include "support/QtPrint.h"
#include "support/Screenshot.h"
#include "support/WithoutFileRights.h"
#include "ui/DlgComponents.h"
#include "ui/GridCtrl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <memory>
#include <optional>
#include <tuple>

namespace {

enum Column { ColumnNumber = 0, ColumnName = 1, ColumnSearchName = 2, ColumnValue = 3 };

// The dialog over tables of its own, with the search names of a scratch profile.
class DlgComponentsTest : public testsupport::ProfileDirTest
{
protected:
    void SetUp() override { profile = std::make_unique<Profile>(iniPath()); }

    std::unique_ptr<DlgComponents> open(int digits = 3)
    {
        settings.general.qtySymInProg = digits;
        auto dlg = std::make_unique<DlgComponents>(profile.get(), nullptr, gas, temp);
        dlg->settings = &settings;
        dlg->setMessageHook([this](QWidget*, const QString& text) { messages.append(text); });
        dlg->show();
        return dlg;
    }

    // Types the text into the cell as the operator does; false when the cell cannot be edited.
    static bool edit(CGridCtrl* grid, int row, int column, const QString& text)
    {
        CGridCtrlEditCell* cell = grid->StartEdit(row, column);
        if (!cell)
            return false;
        cell->setText(text);
        QTest::keyClick(cell, Qt::Key_Return);
        return true;
    }
    static int rowOf(const CGridCtrl* grid, const QString& name)
    {
        for (int r = 0; r < grid->GetItemCount(); ++r) {
            if (grid->GetItemText(r, ColumnName) == name)
                return r;
        }
        return -1;
    }

    std::unique_ptr<Profile> profile;
    CSettings settings;
    GasComponentTable gas;
    TempComponentTable temp;
    QStringList messages;
};

} // namespace

TEST_F(DlgComponentsTest, firstOpeningListsBothTablesWithTheirNumbers)
{
    auto dlg = open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Компоненты"));
    ASSERT_EQ(dlg->Tab()->count(), 2);
    EXPECT_EQ(dlg->Tab()->tabText(0), QStringLiteral("Газовые компоненты"));
    EXPECT_EQ(dlg->Tab()->tabText(1), QStringLiteral("Температурные компоненты"));
    EXPECT_EQ(dlg->Tab()->currentIndex(), 0);
    EXPECT_EQ(dlg->findChild<QPushButton*>(QStringLiteral("okButton"))->text(), QStringLiteral("Ок"));
    EXPECT_EQ(dlg->findChild<QPushButton*>(QStringLiteral("cancelButton"))->text(), QStringLiteral("Отмена"));

    const CGridCtrl* g = dlg->GasPage()->Grid();
    ASSERT_EQ(g->GetItemCount(), 120);
    const QStringList captions = {g->GetColumnText(0), g->GetColumnText(1), g->GetColumnText(2), g->GetColumnText(3)};
    EXPECT_EQ(captions, QStringList({"№", "Имя", "Имя для поиска", "Молярная масса"}));
    EXPECT_EQ(g->GetColumnWidth(1), 170);
    const QStringList first = {g->GetItemText(0, 1), g->GetItemText(1, 1), g->GetItemText(2, 1), g->GetItemText(3, 1),
                               g->GetItemText(4, 1)};
    EXPECT_EQ(first, QStringList({"1,2-Бутадиен", "1,3-Бутадиен", "1-Бутен", "1-Пентен", "2,2-Диметилбутан"}));
    EXPECT_EQ(g->GetItemText(118, 1), QStringLiteral("Этилциклогексан"));
    EXPECT_EQ(g->GetItemText(119, 1), QStringLiteral("Этилциклопентан"));
    EXPECT_EQ(rowOf(g, QStringLiteral("2-Метилпропан")), 35);
    EXPECT_EQ(g->GetItemText(35, 0), QStringLiteral("36"));
    EXPECT_EQ(g->GetItemText(35, 2), QStringLiteral("и-Бутан"));
    ASSERT_EQ(rowOf(g, QStringLiteral("Метан")), 44);
    EXPECT_EQ(g->GetItemText(44, 3), QStringLiteral("16.043"));

    const CGridCtrl* t = dlg->TempPage()->Grid();
    ASSERT_EQ(t->GetItemCount(), 45);
    EXPECT_EQ(t->GetColumnText(3), QStringLiteral("Температура"));
    EXPECT_EQ(t->GetItemText(0, 1), QStringLiteral("С1"));
    EXPECT_EQ(t->GetItemText(0, 3), QStringLiteral("-162.000"));
    EXPECT_EQ(t->GetItemText(3, 1), QStringLiteral("С4"));
    EXPECT_EQ(t->GetItemText(5, 1), QStringLiteral("2-метилпентан"));
    EXPECT_EQ(t->GetItemText(5, 3), QStringLiteral("60.300"));

    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("dlg_components.png"));
    dlg->Tab()->setCurrentIndex(1);
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("dlg_components_temp.png"));
}

TEST_F(DlgComponentsTest, numbersFollowTheDigitsOfTheSettings)
{
    auto dlg = open(1);
    EXPECT_EQ(dlg->GasPage()->Grid()->GetItemText(44, 3), QStringLiteral("16.0"));
    EXPECT_EQ(dlg->TempPage()->Grid()->GetItemText(0, 3), QStringLiteral("-162.0"));
}

TEST_F(DlgComponentsTest, onlyTheSearchNameCanBeEditedOnEitherPage)
{
    auto dlg = open();
    for (CGridCtrl* grid : {dlg->GasPage()->Grid(), dlg->TempPage()->Grid()}) {
        for (int column : {ColumnNumber, ColumnName, ColumnValue})
            EXPECT_EQ(grid->StartEdit(2, column), nullptr) << "column " << column;
        EXPECT_NE(grid->StartEdit(2, ColumnSearchName), nullptr);
    }
}

TEST_F(DlgComponentsTest, gasSearchNameIsInForceAtOnceAndSortsAtTheNextOpening)
{
    auto dlg = open();
    CGridCtrl* grid = dlg->GasPage()->Grid();
    ASSERT_TRUE(edit(grid, 35, ColumnSearchName, QStringLiteral("изобутан")));
    ASSERT_NE(gas.FindComponentBySearchName(QStringLiteral("изобутан")), nullptr);
    EXPECT_EQ(gas.FindComponentBySearchName(QStringLiteral("изобутан"))->component->name, QStringLiteral("2-Метилпропан"));
    EXPECT_EQ(gas.FindComponentBySearchName(QStringLiteral("и-Бутан")), nullptr);
    EXPECT_EQ(grid->GetItemText(35, ColumnName), QStringLiteral("2-Метилпропан"));
    // A second edit in the same opening works on the component's new entry.
    ASSERT_TRUE(edit(grid, 35, ColumnSearchName, QStringLiteral("Изобутан")));
    EXPECT_EQ(gas.GetComponentSearchName(QStringLiteral("2-Метилпропан")), QStringLiteral("Изобутан"));

    // Cancel undoes nothing and writes the name at once; the next opening
    // sorts the row under its new name.
    const int id = gas.FindComponentByName(QStringLiteral("2-Метилпропан"))->id;
    const QString altName = QStringLiteral("%1_altName").arg(id);
    dlg->reject();
    EXPECT_EQ(Profile(iniPath()).readString(profile_sections::GasComponents, altName, QString()),
              QStringLiteral("Изобутан"));
    dlg->show();
    const int row = rowOf(dlg->GasPage()->Grid(), QStringLiteral("2-Метилпропан"));
    EXPECT_NE(row, 35);
    EXPECT_EQ(dlg->GasPage()->Grid()->GetItemText(row, ColumnSearchName), QStringLiteral("Изобутан"));
    EXPECT_TRUE(messages.isEmpty());

    // Leaving the program saves the changed name.
    dlg.reset();
    const Profile saved(iniPath());
    EXPECT_EQ(saved.readString(profile_sections::GasComponents, altName, QString()), QStringLiteral("Изобутан"));
}

// A profile that cannot be written is named in a box with the system's
// reason, or with none where none can be found, as the dialog closes after
// an edit; the name stays in force for the rest of the run, and once the box
// closes the keyboard is back in the main window. Without an edit nothing is
// told. The dialog's thread gives up a super-user's rights, so root is
// refused too.
TEST_F(DlgComponentsTest, aSearchNameThatCouldNotBeWrittenIsToldAndStaysInForce)
{
    // A file-size limit (else a read-only folder), an edit, the reason told.
    const std::tuple<bool, bool, QString> cases[] = {
        {false, true, qt_error_string(EACCES)}, {true, true, QStringLiteral("Причина неизвестна")}, {false, false, {}}};
    QWidget mainWindow;
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    QTimer closer;  // each box is closed as soon as it shows
    QObject::connect(&closer, &QTimer::timeout, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages << box->windowTitle() << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(10);
    for (const auto& [sizeLimit, edited, why] : cases) {
        SCOPED_TRACE(why.toStdString());
        messages.clear();
        const QString folder = dir.filePath(QString::number(sizeLimit) + QString::number(edited));
        const QString ini = folder + QStringLiteral("/tavrin.conf");
        ASSERT_TRUE(QDir().mkpath(folder));
        Profile profile(ini);
        GasComponentTable gas;
        DlgComponents dlg(&profile, &mainWindow, gas, temp);
        dlg.show();
        if (edited) {
            ASSERT_TRUE(edit(dlg.GasPage()->Grid(), rowOf(dlg.GasPage()->Grid(), QStringLiteral("Аммиак")),
                             ColumnSearchName, QStringLiteral("NH3")));
        }
        if (!sizeLimit)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const auto restore = qScopeGuard(
            [&folder] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        {
            const testsupport::WithoutFileRights withoutRights;
            std::optional<testsupport::FileSizeLimit> disk;
            if (sizeLimit)
                ASSERT_TRUE(disk.emplace(8).active());
            else
                ASSERT_TRUE(testsupport::accessRefused(QFile::encodeName(folder), W_OK));
            dlg.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        }
        EXPECT_FALSE(dlg.isVisible());
        const QString told = QStringLiteral("Не удалось записать имена для поиска в профиль программы %1: %2.\n"
                                            "Они действуют до конца работы программы.")
                                 .arg(QDir::toNativeSeparators(ini), why);
        EXPECT_EQ(messages, edited ? QStringList({QStringLiteral("Компоненты"), told}) : QStringList());
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &mainWindow; }, 1000));
        if (edited) {
            ASSERT_NE(gas.FindComponentBySearchName(QStringLiteral("nh3")), nullptr);
            EXPECT_EQ(gas.FindComponentBySearchName(QStringLiteral("nh3"))->component->name, QStringLiteral("Аммиак"));
        }
    }
}

TEST_F(DlgComponentsTest, searchNameTakenByAnotherRowIsRefusedWithAMessage)
{
    auto dlg = open();
    CGridCtrl* g = dlg->GasPage()->Grid();
    const int methane = rowOf(g, QStringLiteral("Метан"));
    ASSERT_TRUE(edit(g, methane, ColumnSearchName, QStringLiteral("этан")));
    EXPECT_EQ(g->GetItemText(methane, ColumnSearchName), QStringLiteral("Метан"));
    EXPECT_EQ(gas.GetComponentSearchName(QStringLiteral("Метан")), QStringLiteral("Метан"));
    EXPECT_EQ(gas.FindComponentBySearchName(QStringLiteral("Этан"))->component->name, QStringLiteral("Этан"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Этан"))) << messages[0].toStdString();

    CGridCtrl* t = dlg->TempPage()->Grid();
    ASSERT_TRUE(edit(t, 1, ColumnSearchName, QStringLiteral("с1")));
    EXPECT_EQ(t->GetItemText(1, ColumnSearchName), QStringLiteral("С2"));
    EXPECT_EQ(temp.FindBySearchName(QStringLiteral("С2"))->name, QStringLiteral("С2"));
    EXPECT_EQ(messages.size(), 2);
    EXPECT_FALSE(dlg->TempPage()->EditEntries()[1].modified);
}

TEST_F(DlgComponentsTest, temperatureSearchNameLastsForTheRunOnly)
{
    auto dlg = open();
    ASSERT_TRUE(edit(dlg->TempPage()->Grid(), 1, ColumnSearchName, QStringLiteral("Этан")));
    ASSERT_NE(temp.FindBySearchName(QStringLiteral("ЭТАН")), nullptr);
    EXPECT_EQ(temp.FindBySearchName(QStringLiteral("ЭТАН"))->id, 1);
    const TempEditEntry& entry = dlg->TempPage()->EditEntries()[1];
    EXPECT_TRUE(entry.modified);
    EXPECT_TRUE(entry.searchNameEdited);
    EXPECT_FALSE(entry.nameEdited);
    dlg.reset();
    const Profile saved(iniPath());
    EXPECT_FALSE(saved.contains(profile_sections::TempComponents, QStringLiteral("1_altName")));
}

TEST_F(DlgComponentsTest, enterInsideAPageKeepsTheDialogOpenAndTheButtonsEndIt)
{
    auto dlg = open();
    QTest::keyClick(dlg->GasPage()->Grid(), Qt::Key_Return);
    QTest::keyClick(dlg->TempPage(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    dlg->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    dlg->show();
    dlg->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
}
