#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/TavrinDlg.h"
#include "data/MessageLog.h"
#include "platform/Profile.h"
#include "ui/DlgCalcInfo.h"
#include "ui/WindowPlacement.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Runs events until no widget of the window moves or changes size: Qt lays
// out nested widgets through posted events, round after round, and the user
// sees the window only once they have run.
void settle(QWidget& window)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QList<QRect> before;
    for (int round = 0; round < 50; ++round) {
        QList<QRect> now;
        for (const QWidget* w : window.findChildren<QWidget*>())
            now << QRect(w->mapTo(&window, QPoint()), w->size());
        if (now == before)
            return;
        before = now;
        QApplication::processEvents();
    }
    ADD_FAILURE() << "the layout does not settle";
}

// The whole window lies on its screen, title bar included, can be made as
// small as the screen's free area, and shows whole every button, field and
// list out of a scrolled area: every enclosing widget lets all of it through.
void expectWholeOnScreen(QWidget& window)
{
    const QRect room = window.screen()->availableGeometry();
    const QMargins frame = EstimatedFrame(window);
    EXPECT_TRUE(room.contains(window.geometry().marginsAdded(frame)));
    EXPECT_EQ(window.minimumSize().boundedTo(room.size().shrunkBy(frame)), window.minimumSize());
    const auto within = [&window](const QWidget* w) { return QRect(w->mapTo(&window, QPoint()), w->size()); };
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        QRect seen = within(control) & window.rect();
        bool scrolled = false;
        for (const QWidget* w = control->parentWidget(); w != &window; w = w->parentWidget()) {
            seen &= within(w);
            scrolled = scrolled || qobject_cast<const QAbstractScrollArea*>(w);
        }
        if (control->focusPolicy() != Qt::NoFocus && control->isVisibleTo(&window) && !scrolled) {
            EXPECT_EQ(seen, within(control)) << control->metaObject()->className();
        }
    }
    // A screen that holds the whole window leaves its pages nothing to scroll.
    if (window.sizeHint().boundedTo(room.size().shrunkBy(frame)) == window.sizeHint()) {
        for (const FittingScrollArea* page : window.findChildren<FittingScrollArea*>()) {
            if (page->isVisibleTo(&window)) {
                EXPECT_EQ(page->widget()->size().boundedTo(page->viewport()->size()), page->widget()->size());
            }
        }
    }
}

} // namespace

// Run once on each of the small screens the program is meant to fit, and on a large one.
TEST(WindowsFitTheScreenTest, everyWindowComesUpWholeOnTheScreen)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    Profile profile(dir.filePath(QStringLiteral("tavrin.conf")));
    MessageLog log;
    tavrinDlg main(profile, log, dir.filePath(QStringLiteral("MixturesData")));
    CAboutDlg about(&main);
    DlgCalcInfo info(profile);
    // The windows the main one opens are looked at while they run.
    const std::pair<QWidget*, const char*> windows[] = {
        {&main, nullptr},           {nullptr, "buttonAdd"},      {nullptr, "buttonComponents"},
        {nullptr, "buttonMixtures"}, {nullptr, "buttonSettings"}, {nullptr, "buttonReport"},
        {&about, nullptr},          {&info, nullptr}};
    for (const auto& [window, opener] : windows) {
        SCOPED_TRACE(opener ? opener : window->metaObject()->className());
        if (window) {
            window->show();
            settle(*window);
            expectWholeOnScreen(*window);
        } else {
            QTimer::singleShot(0, [] {
                QWidget* shown = QApplication::activeModalWidget();
                ASSERT_NE(shown, nullptr);
                settle(*shown);
                expectWholeOnScreen(*shown);
                shown->close();
            });
            main.findChild<QPushButton*>(opener)->click();
        }
    }
}
