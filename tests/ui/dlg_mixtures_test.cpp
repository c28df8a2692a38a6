#include <gtest/gtest.h>

#include "data/Settings.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/MixturesArchiveBuilder.h"
#include "support/Screenshot.h"
#include "support/UtcZone.h"
#include "ui/DlgMixtures.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>

using testsupport::ArchiveCylinder;
using testsupport::buildMixturesArchive;
using testsupport::makeCylinder;
using testsupport::readFileBytes;
using testsupport::UtcZone;

namespace {

struct Message
{
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
};

std::vector<ArchiveCylinder> storedCylinders()
{
    std::vector<ArchiveCylinder> list;
    list.push_back(makeCylinder(1, QStringLiteral("Баллон ГС"), QStringLiteral("гс-5"), 1700000000, 1));
    list[0].components = {{1, QStringLiteral("Метан"), 95.26, 0.04},
                          {2, QStringLiteral("Азот"), 4.74, -1.0}};
    list.push_back(makeCylinder(2, QStringLiteral("Баллон ГД"), QStringLiteral("гд-2"), 0, 2));
    list.push_back(makeCylinder(3, QStringLiteral("Третий"), QStringLiteral("т3"), 0, 3));
    list.push_back(makeCylinder(4, QStringLiteral("Четвёртый"), QStringLiteral("ч4"), 0, 7));
    return list;
}

class DlgMixturesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("MixturesData"));
    }

    // A dialog whose messages are collected instead of shown.
    std::unique_ptr<DlgMixtures> create(const QString& path)
    {
        auto dlg = std::make_unique<DlgMixtures>(path, &m_settings);
        dlg->setMessageSink([this](QMessageBox::Icon icon, const QString& caption, const QString& text,
                                   QMessageBox::StandardButtons buttons) {
            m_messages.push_back({icon, caption, text, buttons});
            return answer ? answer() : QMessageBox::NoButton;
        });
        return dlg;
    }

    // A dialog over the stored cylinders, loaded and shown as the main window does.
    std::unique_ptr<DlgMixtures> open(const QByteArray& file, const QString& path = QString())
    {
        const QString p = path.isNull() ? m_path : path;
        if (!file.isNull()) {
            EXPECT_TRUE(testsupport::writeFileBytes(p, file));
        }
        auto dlg = create(p);
        dlg->LoadMixtures();
        dlg->show();
        QCoreApplication::processEvents();
        return dlg;
    }

    // How a failed write of the database begins; the reason follows.
    QString writeFailure() const
    {
        return QStringLiteral("Не удалось записать базу баллонов в файл\n") + QDir::toNativeSeparators(m_path)
               + QStringLiteral("\n\n");
    }

    static void click(CGridCtrl* grid, int row)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    static void edit(CGridCtrl* grid, int row, int column, const QString& text)
    {
        CGridCtrlEditCell* editor = grid->StartEdit(row, column);
        ASSERT_NE(editor, nullptr) << "edit refused at " << row << "," << column;
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    static void press(DlgMixtures& dlg, const char* button)
    {
        auto* b = dlg.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    static QStringList column(CGridCtrl* grid, int col)
    {
        QStringList out;
        for (int r = 0; r < grid->GetItemCount(); ++r)
            out << grid->GetItemText(r, col);
        return out;
    }

    QTemporaryDir m_dir;
    QString m_path;
    CSettings m_settings;
    std::vector<Message> m_messages;
    // The button chosen for each message; none unless a test says.
    std::function<QMessageBox::StandardButton()> answer;

};

} // namespace

TEST_F(DlgMixturesTest, opensWithTheStoredCylindersAndNoComposition)
{
    UtcZone utc;
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Смеси"));
    CGridCtrl* grid = dlg->MixturesGrid();
    ASSERT_EQ(grid->GetItemCount(), 4);
    EXPECT_EQ(column(grid, 0), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("Баллон ГС"));
    EXPECT_EQ(grid->GetItemText(0, 2), QStringLiteral("гс-5"));
    EXPECT_EQ(column(grid, 3), QStringList({QStringLiteral("ГС"), QStringLiteral("ГД"), QStringLiteral("ДК"), QString()}));
    EXPECT_EQ(grid->GetItemText(0, 4), QStringLiteral("14.11.2023   22:13"));
    EXPECT_EQ(grid->GetItemText(1, 4), QStringLiteral("01.01.1970   00:00"));
    EXPECT_EQ(dlg->ComponentsGrid()->GetItemCount(), 0);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(dlg->IsModified());
}

TEST_F(DlgMixturesTest, everyHeadingShowsWhole)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    for (CGridCtrl* grid : {dlg->MixturesGrid(), dlg->ComponentsGrid()}) {
        for (int c = 0; c < grid->columnCount(); ++c)
            EXPECT_GE(grid->columnWidth(c), grid->horizontalHeader()->sectionSizeHint(c)) << grid->GetColumnText(c).toStdString();
    }
}

TEST_F(DlgMixturesTest, clickingACylinderShowsItsCompositionWithTheSettingsDigits)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    click(dlg->MixturesGrid(), 0);
    EXPECT_EQ(dlg->SelectedMixture(), 0);
    CGridCtrl* comp = dlg->ComponentsGrid();
    ASSERT_EQ(comp->GetItemCount(), 2);
    EXPECT_EQ(column(comp, 1), QStringList({QStringLiteral("Метан"), QStringLiteral("Азот")}));
    EXPECT_EQ(column(comp, 2), QStringList({"95.260", "4.740"}));
    EXPECT_EQ(column(comp, 3), QStringList({"0.040", "---"}));
    testsupport::saveScreenshotIfAsked(dlg->grab(), QStringLiteral("tavrin_dlg_mixtures.png"));

    m_settings.general.qtySymInProg = 1;
    click(dlg->MixturesGrid(), 0);
    EXPECT_EQ(column(comp, 2), QStringList({"95.3", "4.7"}));

    // A cylinder without components shows the three placeholder rows.
    click(dlg->MixturesGrid(), 1);
    EXPECT_EQ(dlg->SelectedMixture(), 1);
    ASSERT_EQ(comp->GetItemCount(), 3);
    EXPECT_EQ(column(comp, 0), QStringList({"!!!!!", "!!!!!", "!!!!!"}));
    EXPECT_EQ(comp->GetItemText(1, 1), QStringLiteral("     Добавьте компоненты!  "));
    EXPECT_EQ(comp->GetItemText(1, 2), QStringLiteral("   ---   "));
    EXPECT_FALSE(dlg->IsModified());
}

TEST_F(DlgMixturesTest, addingACylinderAppendsSelectsAndMarksTheListChanged)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    press(*dlg, "buttonAddMixture");
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    ASSERT_EQ(dlg->Mixtures().size(), 5u);
    const MixtureData& added = *dlg->Mixtures().back();
    EXPECT_EQ(added.number, 5);
    EXPECT_EQ(added.name, QStringLiteral("Задайте имя баллона!"));
    EXPECT_EQ(added.identifier, QStringLiteral("---"));
    EXPECT_EQ(added.type, 0);
    EXPECT_GE(added.date, before);
    EXPECT_LE(added.date, after);
    EXPECT_TRUE(dlg->IsModified());
    EXPECT_EQ(dlg->SelectedMixture(), 4);
    EXPECT_EQ(dlg->MixturesGrid()->GetFirstSelectedRow(), 4);
    EXPECT_EQ(dlg->MixturesGrid()->GetItemText(4, 0), QStringLiteral("5"));
    EXPECT_EQ(dlg->ComponentsGrid()->GetItemText(0, 0), QStringLiteral("!!!!!"));

    press(*dlg, "buttonAddComponent");
    press(*dlg, "buttonAddComponent");
    ASSERT_EQ(added.components.size(), 2u);
    EXPECT_EQ(added.components[1].number, 2);
    EXPECT_EQ(added.components[1].name, QStringLiteral("Задайте имя и параметры компонента!"));
    EXPECT_EQ(added.components[1].concentration, -1.0);
    EXPECT_EQ(column(dlg->ComponentsGrid(), 2), QStringList({"---", "---"}));
}

TEST_F(DlgMixturesTest, deletingCylinderTwoOfFourRenumbersTheRestEverywhere)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    const MixturePtr matched = FindMixtureForSample(QStringLiteral("Градуировка ГД-2"), dlg->Mixtures());
    click(dlg->MixturesGrid(), 1);
    press(*dlg, "buttonDeleteMixture");
    // A record matched to the deleted cylinder still holds a live one.
    ASSERT_NE(matched, nullptr);
    EXPECT_EQ(matched->name, QStringLiteral("Баллон ГД"));
    EXPECT_EQ(FindMixtureForSample(QStringLiteral("Градуировка ГД-2"), dlg->Mixtures()), nullptr);
    ASSERT_EQ(dlg->Mixtures().size(), 3u);
    EXPECT_EQ(dlg->Mixtures()[1]->name, QStringLiteral("Третий"));
    EXPECT_EQ(dlg->Mixtures()[1]->number, 2);
    EXPECT_EQ(dlg->Mixtures()[2]->number, 3);
    EXPECT_EQ(column(dlg->MixturesGrid(), 0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(dlg->SelectedMixture(), -1);
    EXPECT_EQ(dlg->ComponentsGrid()->GetItemCount(), 0);

    // Nothing is selected now: the command does nothing.
    press(*dlg, "buttonDeleteMixture");
    EXPECT_EQ(dlg->Mixtures().size(), 3u);

    dlg.reset(); // saves, as at the end of the program
    MixtureList saved;
    MixturesDatabase db(m_path);
    ASSERT_EQ(db.load(saved).status, MixturesDatabase::LoadStatus::Loaded);
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[1]->number, 2);
    EXPECT_EQ(saved[1]->name, QStringLiteral("Третий"));
    EXPECT_EQ(saved[2]->number, 3);
    EXPECT_EQ(saved[2]->name, QStringLiteral("Четвёртый"));
}

TEST_F(DlgMixturesTest, keysMoveTheSelectionAndDeleteEntries)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    CGridCtrl* grid = dlg->MixturesGrid();
    click(grid, 1);
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(dlg->SelectedMixture(), 0);
    EXPECT_EQ(dlg->ComponentsGrid()->GetItemCount(), 2);
    QTest::keyClick(grid, Qt::Key_Up); // already at the top
    EXPECT_EQ(dlg->SelectedMixture(), 0);

    click(dlg->ComponentsGrid(), 0);
    EXPECT_EQ(dlg->SelectedComponent(), 0);
    QTest::keyClick(dlg->ComponentsGrid(), Qt::Key_Delete);
    const MixtureData& first = *dlg->Mixtures()[0];
    ASSERT_EQ(first.components.size(), 1u);
    EXPECT_EQ(first.components[0].name, QStringLiteral("Азот"));
    EXPECT_EQ(first.components[0].number, 1);
    EXPECT_EQ(dlg->SelectedComponent(), -1);
    EXPECT_EQ(column(dlg->ComponentsGrid(), 0), QStringList({"1"}));

    click(grid, 2);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(dlg->SelectedMixture(), 3);
    QTest::keyClick(grid, Qt::Key_Down); // already at the bottom
    EXPECT_EQ(dlg->SelectedMixture(), 3);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(dlg->Mixtures().size(), 3u);
    EXPECT_EQ(dlg->Mixtures().back()->name, QStringLiteral("Третий"));

    // Any key that moves the highlight chooses what it highlights.
    click(grid, 0);
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(dlg->SelectedMixture(), 2);
    QTest::keyClick(grid, Qt::Key_PageUp);
    QTest::keyClick(dlg->ComponentsGrid(), Qt::Key_Down);
    QTest::keyClick(dlg->ComponentsGrid(), Qt::Key_Delete);
    EXPECT_TRUE(first.components.empty());
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(dlg->Mixtures().back()->name, QStringLiteral("Баллон ГД"));
}

// Numbers a file holds out of order (hand-made, damaged, another program's)
// choose nothing: the highlighted or edited row is the entry, and the
// numbers shown and written are the positions.
TEST_F(DlgMixturesTest, aDatabaseStoredOutOfOrderIsWorkedByTheRow)
{
    std::vector<ArchiveCylinder> stored = storedCylinders();
    stored.resize(3);
    stored[0].number = stored[0].components[0].number = 2;
    stored[1].number = stored[0].components[1].number = 1;
    stored[2].number = 7;
    auto dlg = open(buildMixturesArchive(stored));
    CGridCtrl* grid = dlg->MixturesGrid();
    CGridCtrl* comp = dlg->ComponentsGrid();
    EXPECT_EQ(column(grid, 0), QStringList({"1", "2", "3"}));
    edit(grid, 2, 1, QStringLiteral("Седьмой"));
    EXPECT_EQ(dlg->Mixtures()[2]->name, QStringLiteral("Седьмой"));
    // Written back with nothing deleted, each cylinder and each component
    // bears its own position.
    ASSERT_TRUE(dlg->SaveMixtures());
    MixtureList written;
    MixturesDatabase(m_path).load(written);
    ASSERT_EQ(written.size(), 3u);
    ASSERT_EQ(written[0]->components.size(), 2u);
    EXPECT_EQ(QList<int>({written[0]->number, written[1]->number, written[2]->number}), QList<int>({1, 2, 3}));
    EXPECT_EQ(QList<int>({written[0]->components[0].number, written[0]->components[1].number}), QList<int>({1, 2}));
    click(grid, 0);
    EXPECT_EQ(column(comp, 0), QStringList({"1", "2"}));
    EXPECT_EQ(column(comp, 1), QStringList({QStringLiteral("Метан"), QStringLiteral("Азот")}));
    click(comp, 0);
    QTest::keyClick(comp, Qt::Key_Delete);
    click(grid, 1);
    QTest::keyClick(grid, Qt::Key_Delete);

    dlg.reset();
    MixtureList saved;
    MixturesDatabase(m_path).load(saved);
    ASSERT_EQ(saved.size(), 2u);
    ASSERT_EQ(saved[0]->components.size(), 1u);
    EXPECT_EQ(saved[0]->components[0].name, QStringLiteral("Азот"));
    EXPECT_EQ(saved[1]->name, QStringLiteral("Седьмой"));
    EXPECT_EQ(QList<int>({saved[0]->number, saved[0]->components[0].number, saved[1]->number}), QList<int>({1, 1, 2}));
}

TEST_F(DlgMixturesTest, editingCylinderCellsChangesNameIdentifierAndExactType)
{
    UtcZone utc;
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    CGridCtrl* grid = dlg->MixturesGrid();
    EXPECT_EQ(grid->StartEdit(0, 0), nullptr); // "№" is not editable
    EXPECT_EQ(grid->StartEdit(0, 4), nullptr); // nor the date

    edit(grid, 1, 1, QStringLiteral("Новое имя"));
    edit(grid, 1, 2, QStringLiteral("НИ-1"));
    edit(grid, 1, 3, QStringLiteral("ДК"));
    const MixtureData& m = *dlg->Mixtures()[1];
    EXPECT_EQ(m.name, QStringLiteral("Новое имя"));
    EXPECT_EQ(m.identifier, QStringLiteral("НИ-1"));
    EXPECT_EQ(m.type, 3);
    EXPECT_TRUE(dlg->IsModified());

    // A kind typed in lower case is no kind; the cell keeps the text until refilled.
    edit(grid, 1, 3, QStringLiteral("гс"));
    EXPECT_EQ(m.type, 0);
    EXPECT_EQ(grid->GetItemText(1, 3), QStringLiteral("гс"));
    click(grid, 0);
    click(dlg->ComponentsGrid(), 1);
    press(*dlg, "buttonResetDate");
    EXPECT_EQ(grid->GetFirstSelectedRow(), 0);
    EXPECT_EQ(dlg->SelectedComponent(), 1);
    press(*dlg, "buttonAddComponent");
    EXPECT_EQ(dlg->ComponentsGrid()->GetItemCount(), 3);
    EXPECT_EQ(dlg->SelectedComponent(), 1);
    EXPECT_EQ(grid->GetItemText(1, 3), QString());
    EXPECT_NE(grid->GetItemText(0, 4), QStringLiteral("14.11.2023   22:13"));
}

TEST_F(DlgMixturesTest, componentNumbersMustBeNumbersInFull)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    click(dlg->MixturesGrid(), 0);
    CGridCtrl* comp = dlg->ComponentsGrid();
    const MixtureData& m = *dlg->Mixtures()[0];

    edit(comp, 0, 2, QStringLiteral("1,5"));
    EXPECT_EQ(m.components[0].concentration, 1.5);
    EXPECT_EQ(comp->GetItemText(0, 2), QStringLiteral("1,5"));
    edit(comp, 1, 3, QStringLiteral(" 0.25 "));
    EXPECT_EQ(m.components[1].uncertainty, 0.25);
    edit(comp, 1, 1, QStringLiteral("Гелий"));
    EXPECT_EQ(m.components[1].name, QStringLiteral("Гелий"));
    EXPECT_TRUE(m_messages.empty());

    for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("12abc")}) {
        m_messages.clear();
        edit(comp, 0, 2, bad);
        EXPECT_EQ(m.components[0].concentration, 1.5) << bad.toStdString();
        EXPECT_EQ(comp->GetItemText(0, 2), QStringLiteral("1,5")) << bad.toStdString();
        ASSERT_EQ(m_messages.size(), 1u) << bad.toStdString();
        EXPECT_TRUE(m_messages[0].text.contains(bad));
    }

    // A negative value is kept and shows as "---" at the next filling.
    edit(comp, 0, 3, QStringLiteral("-2"));
    EXPECT_EQ(m.components[0].uncertainty, -2.0);
    click(dlg->MixturesGrid(), 0);
    EXPECT_EQ(comp->GetItemText(0, 2), QStringLiteral("1.500"));
    EXPECT_EQ(comp->GetItemText(0, 3), QStringLiteral("---"));
}

TEST_F(DlgMixturesTest, placeholderRowsChangeNothing)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    click(dlg->MixturesGrid(), 2);
    CGridCtrl* comp = dlg->ComponentsGrid();
    ASSERT_EQ(comp->GetItemText(1, 0), QStringLiteral("!!!!!"));
    edit(comp, 1, 2, QStringLiteral("7"));
    EXPECT_TRUE(dlg->Mixtures()[2]->components.empty());
    EXPECT_EQ(comp->GetItemText(1, 2), QStringLiteral("7"));
    // Neither the key nor the button deletes from a cylinder without components.
    for (int row : {0, 1}) {
        click(comp, row);
        ASSERT_EQ(dlg->SelectedComponent(), -1) << row;
        QTest::keyClick(comp, Qt::Key_Delete);
        press(*dlg, "buttonDeleteComponent");
    }
    EXPECT_FALSE(dlg->IsModified());
}

TEST_F(DlgMixturesTest, cancelUndoesNothingAndTheChangesAreSavedAtTheEnd)
{
    auto dlg = open(buildMixturesArchive(storedCylinders()));
    click(dlg->MixturesGrid(), 0);
    click(dlg->ComponentsGrid(), 0);
    edit(dlg->MixturesGrid(), 0, 1, QStringLiteral("Переименован"));
    EXPECT_TRUE(dlg->isVisible());
    const QSize fitted = dlg->size();
    press(*dlg, "buttonCancel");
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(dlg->IsModified());

    // Opened again, after a smaller screen cut it: the whole size fitted
    // afresh, the same list, the composition empty until a click.
    dlg->resize(fitted / 2);
    dlg->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg->size(), fitted);
    EXPECT_EQ(dlg->MixturesGrid()->GetItemText(0, 1), QStringLiteral("Переименован"));
    EXPECT_EQ(dlg->ComponentsGrid()->GetItemCount(), 0);
    // Nothing is chosen until the user chooses again: the commands do nothing.
    const QByteArray before = WriteMixturesArchive(dlg->Mixtures());
    for (const char* command :
         {"buttonDeleteMixture", "buttonResetDate", "buttonAddComponent", "buttonDeleteComponent"})
        press(*dlg, command);
    QTest::keyClick(dlg->MixturesGrid(), Qt::Key_Delete);
    EXPECT_EQ(WriteMixturesArchive(dlg->Mixtures()), before);
    // Enter presses the focused button, and elsewhere, with no cell being
    // edited, ends the dialog as "Ок" does; Escape ends it as "Отмена".
    auto* addMixture = dlg->findChild<QPushButton*>(QStringLiteral("buttonAddMixture"));
    addMixture->setFocus();
    QTest::keyClick(addMixture, Qt::Key_Return);
    EXPECT_EQ(dlg->Mixtures().size(), 5u);
    ASSERT_TRUE(dlg->isVisible());
    QTest::keyClick(dlg->MixturesGrid(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    dlg->show();
    QCoreApplication::processEvents();
    dlg->MixturesGrid()->setFocus();
    QTest::keyClick(dlg->MixturesGrid(), Qt::Key_Return);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(dlg->IsModified()); // never cleared

    dlg.reset();
    MixtureList saved;
    MixturesDatabase(m_path).load(saved);
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(saved[0]->name, QStringLiteral("Переименован"));
}

// The edits are in force whichever way the dialog closes, so each way writes
// them at once, a cell still being edited included (a bad number in it is
// told as at Enter); on a full disk it says so and leaves them for the end.
TEST_F(DlgMixturesTest, everyWayOfClosingWritesTheListAtOnce)
{
    const std::pair<const char*, std::function<void(DlgMixtures&)>> ways[] = {
        {"Ок", [](DlgMixtures& d) { press(d, "buttonOk"); }},
        {"Отмена", [](DlgMixtures& d) { press(d, "buttonCancel"); }},
        {"Escape", [](DlgMixtures& d) { QTest::keyClick(d.MixturesGrid(), Qt::Key_Escape); }},
        {"close box", [](DlgMixtures& d) { d.close(); }},
    };
    const std::pair<bool, QString> cells[] = {{false, "88,9"}, {true, "88,9"}, {false, "88,9 т"}};
    for (const auto& [full, typed] : cells) {
        for (const auto& [name, close] : ways) {
            SCOPED_TRACE(std::string(name) + " with " + typed.toStdString() + (full ? " on a full disk" : ""));
            const bool number = typed == QStringLiteral("88,9");
            m_messages.clear();
            const QByteArray stored = buildMixturesArchive(storedCylinders());
            auto dlg = open(stored);
            press(*dlg, "buttonAddMixture");
            click(dlg->MixturesGrid(), 0);
            CGridCtrlEditCell* methane = dlg->ComponentsGrid()->StartEdit(0, 2);
            ASSERT_NE(methane, nullptr);
            methane->setText(typed);
            std::optional<testsupport::FileSizeLimit> fullDisk;
            if (full)
                fullDisk.emplace(100);
            ASSERT_TRUE(!fullDisk || fullDisk->active());
            close(*dlg);
            fullDisk.reset();
            QCoreApplication::processEvents();
            EXPECT_FALSE(dlg->isVisible());
            EXPECT_EQ(dlg->Mixtures()[0]->components[0].concentration, number ? 88.9 : 95.26);
            EXPECT_EQ(dlg->HasUnsavedChanges(), full);
            EXPECT_EQ(readFileBytes(m_path), full ? stored : WriteMixturesArchive(dlg->Mixtures()));
            ASSERT_EQ(m_messages.size(), full || !number ? 1u : 0u);
            if (full) {
                EXPECT_EQ(m_messages[0].text, writeFailure() + qt_error_string(EFBIG) + QStringLiteral("."));
            } else if (!number) {
                EXPECT_EQ(m_messages[0].text, QStringLiteral("«88,9 т» — не число. Введите число, например 1.5 или 1,5."));
            }
            dlg.reset();  // with room again, the end writes them without asking
            EXPECT_EQ(m_messages.size(), full || !number ? 1u : 0u);
            MixtureList saved;
            MixturesDatabase(m_path).load(saved);
            ASSERT_EQ(saved.size(), 5u);
            EXPECT_EQ(saved[0]->components[0].concentration, number ? 88.9 : 95.26);
        }
    }
}

// At the end a failed write asks whether to try again, as often as it fails
// and the answer is yes.
TEST_F(DlgMixturesTest, aFailedWriteAtTheEndAsksToTryAgain)
{
    using B = QMessageBox::StandardButton;
    struct Case { const char* name; std::vector<B> answers; int roomAfterAnswer; bool written; bool ask = true; };
    const Case cases[] = {
        {"yes after room was made", {B::Yes}, 0, true},
        {"yes on a disk still full, then no", {B::Yes, B::No}, -1, false},
        {"no at once", {B::No}, -1, false},
        // Ending on a signal: tried once, nobody asked.
        {"not asked", {}, -1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        auto dlg = open(buildMixturesArchive(storedCylinders()));
        press(*dlg, "buttonAddMixture");
        dlg->SetAskAtExit(c.ask);
        std::optional<testsupport::FileSizeLimit> fullDisk;
        fullDisk.emplace(100);
        ASSERT_TRUE(fullDisk->active());
        answer = [&] {
            const std::size_t asked = m_messages.size() - 1;
            if (static_cast<int>(asked) == c.roomAfterAnswer)
                fullDisk.reset();
            return asked < c.answers.size() ? c.answers[asked] : B::No;
        };
        dlg.reset();
        fullDisk.reset();
        answer = nullptr;

        EXPECT_EQ(m_messages.size(), c.answers.size());
        for (const Message& m : m_messages) {
            EXPECT_EQ(m.buttons, QMessageBox::Yes | QMessageBox::No);
            EXPECT_TRUE(m.text.startsWith(writeFailure())) << m.text.toStdString();
            EXPECT_TRUE(m.text.endsWith(QStringLiteral("Повторить запись?")));
        }
        MixtureList saved;
        MixturesDatabase(m_path).load(saved);
        EXPECT_EQ(saved.size(), c.written ? 5u : 4u);
    }
}

TEST_F(DlgMixturesTest, anUnchangedListIsNotWritten)
{
    const QByteArray withTail = buildMixturesArchive(storedCylinders()) + QByteArrayLiteral("tail");
    auto dlg = open(withTail);
    click(dlg->MixturesGrid(), 0);
    press(*dlg, "buttonOk");
    dlg.reset();
    EXPECT_EQ(readFileBytes(m_path), withTail);
}

TEST_F(DlgMixturesTest, aFailedSaveIsReportedWithThePathAndKeepsTheList)
{
    const QString blocker = m_dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(testsupport::writeFileBytes(blocker, QByteArrayLiteral("x")));
    const QString badPath = blocker + QStringLiteral("/MixturesData");
    auto dlg = open(QByteArray(), badPath);
    press(*dlg, "buttonAddMixture");
    EXPECT_FALSE(dlg->SaveMixtures());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(m_messages[0].text.contains(QDir::toNativeSeparators(badPath)));
    EXPECT_EQ(dlg->Mixtures().size(), 1u);
    m_messages.clear();
    dlg.reset(); // tries once more at the end and says so again
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(readFileBytes(blocker), QByteArrayLiteral("x"));
}

TEST_F(DlgMixturesTest, aDamagedDatabaseIsReportedAndKeptAsACopy)
{
    const QByteArray whole = buildMixturesArchive(storedCylinders());
    const QByteArray damaged = whole.left(whole.size() - 2);
    auto dlg = open(damaged);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].caption, QStringLiteral("Ошибка чтения списка баллонов"));
    EXPECT_TRUE(m_messages[0].text.contains(QDir::toNativeSeparators(m_path)));
    EXPECT_EQ(dlg->Mixtures().size(), 3u);
    EXPECT_EQ(dlg->MixturesGrid()->GetItemCount(), 3);

    click(dlg->MixturesGrid(), 2);
    press(*dlg, "buttonResetDate");
    dlg.reset();
    EXPECT_EQ(readFileBytes(m_dir.filePath(QStringLiteral("MixturesData.bak"))), damaged);
}

TEST_F(DlgMixturesTest, anEmptyPathIsReportedWithPlaceholderRows)
{
    auto dlg = create(QString());
    dlg->LoadMixtures();
    EXPECT_TRUE(m_messages.empty());
    dlg->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].caption, QStringLiteral("Ошибка чтения списка баллонов"));
    EXPECT_EQ(m_messages[0].text, QStringLiteral("Не задан путь к .db базе данных с баллонами"));
    // A plain question box: no icon, OK and Cancel.
    EXPECT_EQ(m_messages[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(m_messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    CGridCtrl* grid = dlg->MixturesGrid();
    ASSERT_EQ(grid->GetItemCount(), 3);
    EXPECT_EQ(column(grid, 0), QStringList({"!!!!!", "!!!!!", "!!!!!"}));
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("    Не задан путь к .db базе данных с баллонами!!!  "));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("   ---   "));

    edit(grid, 1, 1, QStringLiteral("x"));
    EXPECT_FALSE(dlg->IsModified());
    click(grid, 1);
    EXPECT_EQ(dlg->SelectedMixture(), -1);
    dlg.reset();
    EXPECT_EQ(m_messages.size(), 1u);
}
