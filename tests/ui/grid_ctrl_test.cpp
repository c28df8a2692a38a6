#include "ui/GridCtrl.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace {

// Records every notification and answers each code as configured (0 otherwise).
class RecordingOwner : public GridNotifyHandler
{
public:
    std::intptr_t onGridNotify(const GridNotify& n) override
    {
        log.push_back(n);
        if (onNotify)
            onNotify(n);
        const auto it = answers.find(n.code);
        return it == answers.end() ? 0 : it->second;
    }

    int count(int code) const
    {
        int n = 0;
        for (const GridNotify& g : log)
            n += g.code == code ? 1 : 0;
        return n;
    }

    const GridNotify* last(int code) const
    {
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }

    std::vector<GridNotify> log;
    std::map<int, std::intptr_t> answers;
    std::function<void(const GridNotify&)> onNotify;
};

constexpr int kGridId = 1059;

void fill(CGridCtrl& grid, const std::vector<std::vector<QString>>& rows)
{
    for (const auto& cells : rows) {
        const int row = grid.AddRow();
        for (int c = 0; c < int(cells.size()); ++c)
            grid.SetItemText(row, c, cells[std::size_t(c)]);
    }
}

QStringList columnTexts(const CGridCtrl& grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid.GetItemCount(); ++r)
        texts << grid.GetItemText(r, column);
    return texts;
}

QPoint cellCentre(CGridCtrl& grid, int row, int column)
{
    return grid.visualRect(grid.model()->index(row, column)).center();
}

// A double click as the window system delivers it: press, release, double-click, release.
void doubleClick(CGridCtrl& grid, int row, int column)
{
    const QPoint pos = cellCentre(grid, row, column);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, pos);
}

// Types any text, Cyrillic included, one key per character.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// The running editor; ended ones linger hidden until the event loop deletes them.
CGridCtrlEditCell* openEditor(CGridCtrl& grid)
{
    for (CGridCtrlEditCell* edit : grid.findChildren<CGridCtrlEditCell*>())
        if (edit->isVisible())
            return edit;
    return nullptr;
}

// A shown, active window with one grid of three columns and four rows.
class CGridCtrlShownTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<QDialog>();
        auto* layout = new QVBoxLayout(window.get());
        grid = new CGridCtrl(window.get());
        layout->addWidget(grid);
        grid->setNotifyHandler(&owner, kGridId);
        grid->InsertColumn(0, QStringLiteral("№"), LVCFMT_LEFT, 40);
        grid->InsertColumn(1, QStringLiteral("Имя"), LVCFMT_LEFT, 120);
        grid->InsertColumn(2, QStringLiteral("Масса"), LVCFMT_RIGHT, 80);
        fill(*grid, {{"1", "Метан", "16.043"},
                     {"2", "Этан", "30.07"},
                     {"3", "Пропан", "44.097"},
                     {"4", "Азот", "28.014"}});
        window->resize(400, 300);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid->setFocus();
    }

    void TearDown() override
    {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Opens an editor on (row, column) the way the user does.
    CGridCtrlEditCell* editByMouse(int row, int column)
    {
        owner.answers[GN_BEGINEDIT] = 1;
        grid->m_bEditable = true;
        doubleClick(*grid, row, column);
        doubleClick(*grid, row, column);
        return openEditor(*grid);
    }

    void clickHeader(int column)
    {
        QHeaderView* header = grid->horizontalHeader();
        const QPoint inside(header->sectionViewportPosition(column) + 30, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, inside);
    }

    // Drags the header with the mouse from x to x + dx.
    void dragHeader(int x, int dx)
    {
        QHeaderView* header = grid->horizontalHeader();
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(x, y));
        QTest::mouseMove(header->viewport(), QPoint(x + dx, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(x + dx, y));
    }

    // The right border of a column, where the mouse grips it.
    int rightBorder(int column) const
    {
        const QHeaderView* header = grid->horizontalHeader();
        return header->sectionViewportPosition(column) + header->sectionSize(column) - 1;
    }

    RecordingOwner owner;
    std::unique_ptr<QDialog> window;
    CGridCtrl* grid = nullptr;
};

} // namespace

// ---- rows and their style records -------------------------------------------

TEST(CGridCtrlRows, everyRowGetsItsOwnDefaultStyleHoweverItIsAdded)
{
    CGridCtrl grid;
    grid.InsertColumn(0, "A");
    grid.InsertColumn(1, "B");
    EXPECT_EQ(grid.AddRow(), 0);
    EXPECT_EQ(grid.AddRow(), 1);
    EXPECT_EQ(grid.GetItemText(1, 1), QString());
    grid.GetRowStyle(1)->nTag = 11;
    EXPECT_EQ(grid.InsertItem(1, "middle"), 1);
    EXPECT_EQ(grid.InsertItem(99, "end"), 3);
    EXPECT_EQ(grid.InsertItem(-1, "bad"), -1);
    grid.insertRow(0); // straight through the table, bypassing AddRow
    EXPECT_EQ(columnTexts(grid, 0), QStringList({"", "", "middle", "", "end"}));
    for (int r = 0; r < 5; ++r) {
        const GridRowStyle* style = grid.GetRowStyle(r);
        ASSERT_NE(style, nullptr) << r;
        EXPECT_EQ(style->crText, 0xFF000000u);
        EXPECT_EQ(style->crBack, 0xFF000000u);
        EXPECT_EQ(style->nTag, r == 3 ? 11 : 0) << r;
    }
    EXPECT_NE(grid.GetRowStyle(0), grid.GetRowStyle(1));
    EXPECT_EQ(grid.GetRowStyle(5), nullptr);
    EXPECT_EQ(grid.GetRowStyle(-1), nullptr);
}

TEST(CGridCtrlRows, stylesStayWithTheirRowsWhenRowsAreRemoved)
{
    CGridCtrl grid;
    grid.InsertColumn(0, "A");
    fill(grid, {{"a"}, {"b"}, {"c"}});
    for (int r = 0; r < 3; ++r)
        grid.GetRowStyle(r)->nTag = 100 + r;
    GridRowStyle* third = grid.GetRowStyle(2);
    EXPECT_TRUE(grid.DeleteItem(1));
    EXPECT_FALSE(grid.DeleteItem(2));
    ASSERT_EQ(grid.GetItemCount(), 2);
    EXPECT_EQ(grid.GetRowStyle(1), third);
    EXPECT_EQ(grid.GetRowStyle(1)->nTag, 102);
    EXPECT_EQ(grid.GetRowStyle(2), nullptr);

    EXPECT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(grid.GetItemCount(), 0);
    EXPECT_EQ(grid.GetRowStyle(0), nullptr);
    EXPECT_EQ(grid.GetColumnCount(), 1);
    EXPECT_EQ(grid.AddRow(), 0);
    EXPECT_EQ(grid.GetRowStyle(0)->nTag, 0);
}

TEST(CGridCtrlRows, cellAccessOutsideTheTableIsRefused)
{
    CGridCtrl grid;
    grid.InsertColumn(0, "A");
    grid.AddRow();
    EXPECT_FALSE(grid.SetItemText(1, 0, "x"));
    EXPECT_FALSE(grid.SetItemText(0, 1, "x"));
    EXPECT_FALSE(grid.SetItemText(-1, 0, "x"));
    EXPECT_EQ(grid.GetItemText(0, 5), QString());
    EXPECT_EQ(grid.GetItemText(-1, 0), QString());
}

// ---- columns ----------------------------------------------------------------

TEST(CGridCtrlColumns, captionsAndCellsReadBackWithoutTheGridShown)
{
    CGridCtrl grid;
    EXPECT_EQ(grid.GetColumnCount(), 0);
    EXPECT_EQ(grid.GetColumnText(0), QString());
    grid.InsertColumn(0, QStringLiteral("Компонент"), LVCFMT_LEFT, 150);
    grid.InsertColumn(1, QStringLiteral("Среднее"), LVCFMT_RIGHT, 70);
    EXPECT_EQ(grid.InsertColumn(1, QStringLiteral("Ан. 1"), LVCFMT_CENTER, 70), 1);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetColumnText(0), QStringLiteral("Компонент"));
    EXPECT_EQ(grid.GetColumnText(1), QStringLiteral("Ан. 1"));
    EXPECT_EQ(grid.GetColumnText(2), QStringLiteral("Среднее"));
    EXPECT_EQ(grid.GetColumnText(3), QString());
    EXPECT_EQ(grid.GetColumnText(-1), QString());
    EXPECT_EQ(grid.GetColumnWidth(0), 150);
    fill(grid, {{QStringLiteral("Метан"), "93.500", "93.400"}});
    EXPECT_EQ(grid.GetItemText(0, 2), QStringLiteral("93.400"));
    EXPECT_TRUE(grid.DeleteColumn(1));
    EXPECT_EQ(grid.GetColumnText(1), QStringLiteral("Среднее"));
    EXPECT_EQ(grid.GetItemText(0, 1), QStringLiteral("93.400"));
    EXPECT_FALSE(grid.DeleteColumn(2));
}

TEST(CGridCtrlColumns, columnWithoutWidthIsAsWideAsItsHeading)
{
    CGridCtrl grid;
    grid.InsertColumn(0, QStringLiteral("Короткий"));
    grid.InsertColumn(1, QStringLiteral("Гораздо более длинный заголовок столбца"));
    const QFontMetrics fm(grid.horizontalHeader()->font());
    EXPECT_GE(grid.GetColumnWidth(0), fm.horizontalAdvance(QStringLiteral("Короткий")));
    EXPECT_GE(grid.GetColumnWidth(1),
              fm.horizontalAdvance(QStringLiteral("Гораздо более длинный заголовок столбца")));
    EXPECT_GT(grid.GetColumnWidth(1), grid.GetColumnWidth(0));
}

// ---- in-place editing -----------------------------------------------------

TEST_F(CGridCtrlShownTest, firstDoubleClickOnAnUnfocusedRowOnlySelectsIt)
{
    owner.answers[GN_BEGINEDIT] = 1;
    grid->m_bEditable = true;
    doubleClick(*grid, 2, 1);
    EXPECT_EQ(openEditor(*grid), nullptr);
    EXPECT_EQ(owner.count(GN_BEGINEDIT), 0);
    EXPECT_EQ(grid->GetFirstSelectedRow(), 2);
    EXPECT_EQ(grid->currentRow(), 2);

    doubleClick(*grid, 2, 1);
    CGridCtrlEditCell* edit = openEditor(*grid);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(owner.count(GN_BEGINEDIT), 1);
    EXPECT_EQ(owner.last(GN_BEGINEDIT)->nParam1, 2);
    EXPECT_EQ(owner.last(GN_BEGINEDIT)->nParam2, 1);
    EXPECT_EQ(owner.last(GN_BEGINEDIT)->idFrom, kGridId);
    EXPECT_EQ(owner.last(GN_BEGINEDIT)->grid, grid);
    EXPECT_EQ(edit->m_nRow, 2);
    EXPECT_EQ(edit->m_nColumn, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("Пропан"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("Пропан"));
    EXPECT_TRUE(edit->hasFocus());
    const QRect cell = grid->visualRect(grid->model()->index(2, 1));
    EXPECT_EQ(edit->geometry(), cell.adjusted(0, -2, 0, 2));
}

TEST_F(CGridCtrlShownTest, editorTakesTheAlignmentOfItsColumn)
{
    CGridCtrlEditCell* edit = editByMouse(1, 2);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
}

TEST_F(CGridCtrlShownTest, gridThatIsNotEditableNeverEdits)
{
    owner.answers[GN_BEGINEDIT] = 1;
    doubleClick(*grid, 1, 1);
    doubleClick(*grid, 1, 1);
    doubleClick(*grid, 1, 1);
    EXPECT_EQ(openEditor(*grid), nullptr);
    EXPECT_EQ(owner.count(GN_BEGINEDIT), 0);
}

TEST_F(CGridCtrlShownTest, ownerRefusingTheEditGetsNoEditor)
{
    grid->m_bEditable = true;
    doubleClick(*grid, 1, 0);
    doubleClick(*grid, 1, 0);
    EXPECT_EQ(owner.count(GN_BEGINEDIT), 1);
    EXPECT_EQ(openEditor(*grid), nullptr);
    EXPECT_EQ(grid->StartEdit(1, 0), nullptr);
    EXPECT_EQ(grid->StartEdit(-1, 0), nullptr);
    EXPECT_EQ(grid->StartEdit(1, 3), nullptr);
    EXPECT_EQ(grid->StartEdit(4, 0), nullptr);
    EXPECT_EQ(owner.count(GN_BEGINEDIT), 2);
}

TEST_F(CGridCtrlShownTest, escapeDropsTheEditSilently)
{
    CGridCtrlEditCell* edit = editByMouse(0, 1);
    ASSERT_NE(edit, nullptr);
    QPointer<CGridCtrlEditCell> guard(edit);
    typeText(edit, QStringLiteral("Водород"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("Метан"));
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 0);
    EXPECT_TRUE(grid->hasFocus());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(CGridCtrlShownTest, enterWithTheTextUnchangedSendsNothing)
{
    CGridCtrlEditCell* edit = editByMouse(0, 1);
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    typeText(edit, QStringLiteral("н"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 0);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("Метан"));
}

TEST_F(CGridCtrlShownTest, caseOnlyChangeCountsAsAChange)
{
    owner.answers[GN_CELLCHANGED] = 1;
    CGridCtrlEditCell* edit = editByMouse(0, 1);
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("МЕТАН"));
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 1);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("МЕТАН"));
}

TEST_F(CGridCtrlShownTest, ownerRefusingTheChangeGetsTheOldTextBack)
{
    QString textSeenByOwner;
    owner.onNotify = [&](const GridNotify& n) {
        if (n.code == GN_CELLCHANGED)
            textSeenByOwner = n.grid->GetItemText(n.nParam1, n.nParam2);
    };
    CGridCtrlEditCell* edit = editByMouse(3, 2);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(owner.count(GN_CELLCHANGED), 1);
    EXPECT_EQ(owner.last(GN_CELLCHANGED)->nParam1, 3);
    EXPECT_EQ(owner.last(GN_CELLCHANGED)->nParam2, 2);
    EXPECT_EQ(textSeenByOwner, QStringLiteral("abc"));
    EXPECT_EQ(grid->GetItemText(3, 2), QStringLiteral("28.014"));
}

TEST_F(CGridCtrlShownTest, ownerAcceptingTheChangeKeepsTheNewText)
{
    owner.answers[GN_CELLCHANGED] = 1;
    CGridCtrlEditCell* edit = editByMouse(3, 2);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("28.0134"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 1);
    EXPECT_EQ(grid->GetItemText(3, 2), QStringLiteral("28.0134"));
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("44.097"));
}

TEST_F(CGridCtrlShownTest, arrowKeysInTheEditorLeaveTheGridRowsAlone)
{
    CGridCtrlEditCell* edit = editByMouse(1, 1);
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(openEditor(*grid), edit);
}

TEST_F(CGridCtrlShownTest, losingTheFocusCommitsTheEdit)
{
    owner.answers[GN_CELLCHANGED] = 1;
    auto* other = new QPushButton("x", window.get());
    window->layout()->addWidget(other);
    other->show();
    CGridCtrlEditCell* edit = editByMouse(1, 1);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("Этилен"));
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 1);
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("Этилен"));
}

TEST_F(CGridCtrlShownTest, enterAndEscapeInTheEditorDoNotCloseTheDialog)
{
    auto* ok = new QPushButton("OK", window.get());
    ok->setDefault(true);
    window->layout()->addWidget(ok);
    QObject::connect(ok, &QPushButton::clicked, window.get(), &QDialog::accept);
    QSignalSpy finished(window.get(), &QDialog::finished);
    auto* shortcut = new QAction(window.get());
    shortcut->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Delete)});
    window->addAction(shortcut);
    QSignalSpy triggered(shortcut, &QAction::triggered);
    owner.answers[GN_CELLCHANGED] = 1;

    CGridCtrlEditCell* edit = editByMouse(0, 1);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("qw"));
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("q"));

    edit = grid->StartEdit(1, 1);
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window->isVisible());

    edit = grid->StartEdit(2, 1);
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(triggered.count(), 0);
}

TEST_F(CGridCtrlShownTest, scrollingTheGridCommitsTheEdit)
{
    for (int i = 0; i < 60; ++i)
        fill(*grid, {{QString::number(i + 5), "x", "1"}});
    owner.answers[GN_CELLCHANGED] = 1;
    CGridCtrlEditCell* edit = editByMouse(1, 1);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("Этилен"));
    QScrollBar* bar = grid->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 1);
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("Этилен"));
    EXPECT_EQ(openEditor(*grid), nullptr);
}

TEST_F(CGridCtrlShownTest, deletingRowsUnderAnOpenEditDropsIt)
{
    owner.answers[GN_CELLCHANGED] = 1;
    CGridCtrlEditCell* edit = editByMouse(1, 1);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("Этилен"));
    grid->DeleteItem(0);
    grid->setFocus();
    EXPECT_EQ(owner.count(GN_CELLCHANGED), 0);
    EXPECT_EQ(columnTexts(*grid, 1), QStringList({"Этан", "Пропан", "Азот"}));
}

TEST_F(CGridCtrlShownTest, gridDestroyedDuringAnEditNotifiesNobody)
{
    owner.answers[GN_CELLCHANGED] = 1;
    CGridCtrlEditCell* edit = editByMouse(1, 1);
    ASSERT_NE(edit, nullptr);
    typeText(edit, QStringLiteral("z"));
    const std::size_t before = owner.log.size();
    delete grid;
    grid = nullptr;
    EXPECT_EQ(owner.log.size(), before);
}

// ---- selection and context menu -------------------------------------------

TEST_F(CGridCtrlShownTest, rowSelectionIsReportedOncePerRow)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 1, 0));
    ASSERT_EQ(owner.count(GN_ROWSELECTED), 1);
    EXPECT_EQ(owner.last(GN_ROWSELECTED)->nParam1, 1);
    EXPECT_EQ(owner.last(GN_ROWSELECTED)->nParam2, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 1, 2));
    EXPECT_EQ(owner.count(GN_ROWSELECTED), 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 3, 2));
    ASSERT_EQ(owner.count(GN_ROWSELECTED), 2);
    EXPECT_EQ(owner.last(GN_ROWSELECTED)->nParam1, 3);
    EXPECT_EQ(grid->GetFirstSelectedRow(), 3);

    grid->SetSelectedRow(1);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->GetFirstSelectedRow(), 1);
    EXPECT_EQ(grid->GetNextSelectedRow(1), 3);
    EXPECT_EQ(grid->GetNextSelectedRow(3), -1);
}

TEST_F(CGridCtrlShownTest, contextMenuKeyGivesAPointInsideTheTopLeftCorner)
{
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(30, 30), grid->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(grid, &key);
    ASSERT_EQ(owner.count(GN_CONTEXTMENU), 1);
    const QPoint expected = grid->mapToGlobal(grid->contentsRect().topLeft()) + QPoint(5, 5);
    EXPECT_EQ(owner.last(GN_CONTEXTMENU)->nParam1, expected.x());
    EXPECT_EQ(owner.last(GN_CONTEXTMENU)->nParam2, expected.y());

    const QPoint at = grid->viewport()->mapToGlobal(QPoint(40, 20));
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(40, 20), at);
    QApplication::sendEvent(grid->viewport(), &mouse);
    ASSERT_EQ(owner.count(GN_CONTEXTMENU), 2);
    EXPECT_EQ(owner.last(GN_CONTEXTMENU)->nParam1, at.x());
    EXPECT_EQ(owner.last(GN_CONTEXTMENU)->nParam2, at.y());
}

// ---- row colours --------------------------------------------------------------

TEST_F(CGridCtrlShownTest, rowsShowTheirOwnColoursAndSelectedOnesTheHighlight)
{
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(200, 0, 200));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(128, 128, 128));
    grid->setPalette(palette);
    grid->DeleteAllItems();
    fill(*grid, {{"", "", ""}, {"", "", ""}, {"", "", ""}});
    grid->GetRowStyle(0)->crBack = 0x000000FFu; // red, as 0x00BBGGRR
    grid->GetRowStyle(1)->crBack = 0x00FF0000u; // blue
    grid->GetRowStyle(2)->crBack = 0x00FF0000u;
    grid->clearSelection();
    grid->SetSelectedRow(2);
    // Another window takes the activation, so the grid paints as inactive.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    ASSERT_FALSE(grid->isActiveWindow());

    const QImage image = grid->viewport()->grab().toImage();
    auto colourAt = [&](int row) {
        return image.pixelColor(grid->visualRect(grid->model()->index(row, 1)).center());
    };
    EXPECT_EQ(colourAt(0), QColor(255, 0, 0));
    EXPECT_EQ(colourAt(1), QColor(0, 0, 255));
    EXPECT_EQ(colourAt(2), QColor(200, 0, 200));
}

// ---- sorting ----------------------------------------------------------------

TEST_F(CGridCtrlShownTest, headerClickWithoutASortAnswerKeepsTheOrderButFlipsTheDirection)
{
    const QStringList before = columnTexts(*grid, 1);
    QHeaderView* header = grid->horizontalHeader();
    clickHeader(1);
    ASSERT_EQ(owner.count(GN_GETSORTTYPE), 1);
    EXPECT_EQ(owner.last(GN_GETSORTTYPE)->nParam1, 1);
    EXPECT_EQ(owner.last(GN_GETSORTTYPE)->nParam2, 1);
    EXPECT_EQ(grid->m_nSortColumn, 1);
    EXPECT_TRUE(grid->m_bAscending);
    EXPECT_EQ(grid->m_nSortType, 0);
    EXPECT_EQ(columnTexts(*grid, 1), before);
    EXPECT_FALSE(header->isSortIndicatorShown());

    clickHeader(1);
    EXPECT_EQ(owner.last(GN_GETSORTTYPE)->nParam2, 0);
    EXPECT_FALSE(grid->m_bAscending);
    EXPECT_EQ(columnTexts(*grid, 1), before);

    clickHeader(2);
    EXPECT_EQ(grid->m_nSortColumn, 2);
    EXPECT_TRUE(grid->m_bAscending);
    EXPECT_EQ(columnTexts(*grid, 1), before);
    EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST_F(CGridCtrlShownTest, numericSortOrdersByTheLeadingNumber)
{
    grid->DeleteAllItems();
    fill(*grid, {{"a", "10"}, {"b", "9"}, {"c", "1.5abc"}, {"d", "-2e1x"}, {"e", "abc"}, {"f", " 3."}});
    for (int r = 0; r < 6; ++r)
        grid->GetRowStyle(r)->nTag = r;
    owner.answers[GN_GETSORTTYPE] = 2;
    EXPECT_TRUE(grid->SortByColumn(1, true));
    EXPECT_EQ(grid->m_nSortType, 2);
    EXPECT_EQ(columnTexts(*grid, 1), QStringList({"-2e1x", "abc", "1.5abc", " 3.", "9", "10"}));
    EXPECT_EQ(columnTexts(*grid, 0), QStringList({"d", "e", "c", "f", "b", "a"}));
    EXPECT_EQ(grid->GetRowStyle(0)->nTag, 3);
    EXPECT_EQ(grid->GetRowStyle(5)->nTag, 0);
    EXPECT_TRUE(grid->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 1);
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

    EXPECT_TRUE(grid->SortByColumn(1, false));
    EXPECT_EQ(columnTexts(*grid, 1), QStringList({"10", "9", " 3.", "1.5abc", "abc", "-2e1x"}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST_F(CGridCtrlShownTest, headerArrowMovesOnlyWithARealSort)
{
    owner.answers[GN_GETSORTTYPE] = 2;
    ASSERT_TRUE(grid->SortByColumn(2, true));
    owner.answers[GN_GETSORTTYPE] = 0;
    clickHeader(1);
    clickHeader(2);
    clickHeader(2);
    EXPECT_EQ(owner.count(GN_GETSORTTYPE), 4);
    const QHeaderView* header = grid->horizontalHeader();
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(columnTexts(*grid, 2), QStringList({"16.043", "28.014", "30.07", "44.097"}));
}

TEST_F(CGridCtrlShownTest, numericSortReadsDecimalPointsWhateverTheLocale)
{
    grid->DeleteAllItems();
    const QString tinyWithoutExponent = "0." + QString(400, u'0') + "1";
    const QString hugeWithoutExponent = "1" + QString(400, u'0');
    fill(*grid, {{"a", "1,9"}, {"b", "1.5"}, {"c", "1e400"}, {"d", "-1e400"}, {"e", "1e-400"},
                 {"f", tinyWithoutExponent}, {"g", "-" + hugeWithoutExponent}, {"h", "-0.5"}});
    owner.answers[GN_GETSORTTYPE] = 2;
    EXPECT_TRUE(grid->SortByColumn(1, true));
    // "1,9" reads as 1; the overflowing ones as infinities, the vanishing ones as 0.
    EXPECT_EQ(columnTexts(*grid, 0), QStringList({"d", "g", "h", "e", "f", "a", "b", "c"}));
}

TEST_F(CGridCtrlShownTest, textSortIgnoresCaseIncludingCyrillic)
{
    grid->DeleteAllItems();
    // By code point the capitals would come first: 3, 4, 2, 1.
    fill(*grid, {{"1", QStringLiteral("бета")}, {"2", QStringLiteral("альфа")}, {"3", QStringLiteral("БЕТ")},
                 {"4", QStringLiteral("Гамма")}});
    owner.answers[GN_GETSORTTYPE] = 1;
    EXPECT_TRUE(grid->SortByColumn(1, true));
    EXPECT_EQ(columnTexts(*grid, 0), QStringList({"2", "3", "1", "4"}));
}

TEST_F(CGridCtrlShownTest, selectionAndFocusFollowTheirRowsThroughASort)
{
    grid->clearSelection();
    grid->SetSelectedRow(0); // "Метан" 16.043
    owner.log.clear();
    owner.answers[GN_GETSORTTYPE] = 2;
    EXPECT_TRUE(grid->SortByColumn(2, false));
    EXPECT_EQ(columnTexts(*grid, 2), QStringList({"44.097", "30.07", "28.014", "16.043"}));
    EXPECT_EQ(grid->GetFirstSelectedRow(), 3);
    EXPECT_EQ(grid->GetNextSelectedRow(3), -1);
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(owner.count(GN_ROWSELECTED), 0);
}

TEST(CGridCtrlSorting, emptyGridOrHeaderWithoutClicksDoesNotSort)
{
    CGridCtrl grid;
    RecordingOwner owner;
    grid.setNotifyHandler(&owner, 1);
    grid.InsertColumn(0, "A");
    EXPECT_FALSE(grid.SortByColumn(0, true));
    EXPECT_EQ(grid.m_nSortColumn, -1);
    fill(grid, {{"b"}, {"a"}});
    grid.horizontalHeader()->setSectionsClickable(false);
    owner.answers[GN_GETSORTTYPE] = 1;
    EXPECT_FALSE(grid.SortByColumn(0, true));
    EXPECT_EQ(owner.count(GN_GETSORTTYPE), 0);
    EXPECT_EQ(columnTexts(grid, 0), QStringList({"b", "a"}));
}

// ---- column resizing and dragging --------------------------------------------

TEST_F(CGridCtrlShownTest, resizingAColumnAsksFirstAndReportsTheNewWidth)
{
    dragHeader(rightBorder(1), 30);
    ASSERT_EQ(owner.count(GN_BEGINCOLUMNTRACK), 1);
    EXPECT_EQ(owner.last(GN_BEGINCOLUMNTRACK)->nParam1, 1);
    EXPECT_EQ(owner.last(GN_BEGINCOLUMNTRACK)->nParam2, 0);
    ASSERT_EQ(owner.count(GN_COLUMNRESIZED), 1);
    EXPECT_EQ(owner.last(GN_COLUMNRESIZED)->nParam1, 1);
    EXPECT_EQ(owner.last(GN_COLUMNRESIZED)->nParam2, 150);
    EXPECT_EQ(grid->GetColumnWidth(1), 150);
}

TEST_F(CGridCtrlShownTest, ownerCanForbidResizing)
{
    owner.answers[GN_BEGINCOLUMNTRACK] = 1;
    dragHeader(rightBorder(1), 30);
    EXPECT_EQ(owner.count(GN_BEGINCOLUMNTRACK), 1);
    EXPECT_EQ(owner.count(GN_COLUMNRESIZED), 0);
    EXPECT_EQ(grid->GetColumnWidth(1), 120);
}

TEST_F(CGridCtrlShownTest, hiddenColumnCannotBeResizedAndSendsNothing)
{
    grid->SetColumnWidth(1, 0);
    ASSERT_EQ(grid->GetColumnWidth(1), 0);
    QHeaderView* header = grid->horizontalHeader();
    // Column 1 now sits, zero wide, on the border between columns 0 and 2.
    const int border = header->sectionViewportPosition(2);
    dragHeader(border + 1, 40);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(border + 1, header->height() / 2));
    EXPECT_EQ(grid->GetColumnWidth(1), 0);
    EXPECT_EQ(grid->GetColumnWidth(0), 40);
    EXPECT_EQ(owner.count(GN_BEGINCOLUMNTRACK), 0);
    EXPECT_EQ(owner.count(GN_COLUMNRESIZED), 0);
}

TEST_F(CGridCtrlShownTest, draggedColumnMovesBackWhenTheOwnerCancels)
{
    QHeaderView* header = grid->horizontalHeader();
    owner.answers[GN_COLUMNDRAGGED] = 1;
    header->moveSection(0, 2);
    ASSERT_EQ(owner.count(GN_COLUMNDRAGGED), 1);
    EXPECT_EQ(owner.last(GN_COLUMNDRAGGED)->nParam1, 0);
    EXPECT_EQ(owner.last(GN_COLUMNDRAGGED)->nParam2, 2);
    EXPECT_EQ(header->visualIndex(0), 0);
    EXPECT_EQ(header->visualIndex(2), 2);

    owner.answers[GN_COLUMNDRAGGED] = 0;
    header->moveSection(0, 2);
    EXPECT_EQ(owner.count(GN_COLUMNDRAGGED), 2);
    EXPECT_EQ(header->visualIndex(0), 2);
    EXPECT_EQ(grid->GetColumnText(0), QStringLiteral("№"));
}
