#include <gtest/gtest.h>

#include "app/TavrinDlg.h"
#include "data/MessageLog.h"
#include "platform/Profile.h"
#include "sampleset/SampleSet.h"
#include "support/Screenshot.h"
#include "ui/DlgGraphPreview.h"
#include "ui/DlgOutTable.h"
#include "ui/DlgResultTabs.h"
#include "ui/GridCtrl.h"

#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

// The program as a laboratory meets it: the window opens on a whole sampling
// run found by the folder scan, and every result page shows its tables.

namespace {

TEST(MainWindowSampleSet, everyPageAndSubTabShowsTheWholeRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    sampleset::WrittenSet set;
    ASSERT_TRUE(sampleset::WriteSampleSet(dir.path(), &set));
    Profile profile(set.profilePath);
    MessageLog log;
    tavrinDlg dlg(profile, log, set.mixturesPath);

    EXPECT_EQ(dlg.ChromatogramList()->GetItemCount(), set.chromatograms.size());
    EXPECT_TRUE(log.errors().empty()) << log.errors().front().toStdString();
    EXPECT_TRUE(log.warnings().empty());

    ASSERT_EQ(dlg.ResultPages().size(), 4u);
    for (const DlgResultTab* page : dlg.ResultPages()) {
        QTabWidget* tabs = page->SubTabs();
        for (int t = 0; t < tabs->count(); ++t) {
            auto* table = qobject_cast<CDlgOutTable*>(tabs->widget(t));
            if (!table)
                continue;  // the calibration graph
            EXPECT_GT(table->m_grid.GetItemCount(), 0) << tabs->tabText(t).toStdString();
        }
    }

    // The calibration graph draws the temperature scale of the run.
    auto* condensate = qobject_cast<DlgTabDc*>(dlg.ResultPages()[2]);
    ASSERT_NE(condensate, nullptr);
    EXPECT_GE(condensate->Graph()->m_curve.x.size(), 2u);

    dlg.resize(1366, 768);
    dlg.show();
    for (int p = 0; p < 4; ++p) {
        dlg.ResultTabs()->setCurrentWidget(dlg.ResultPages()[p]);
        QTabWidget* tabs = dlg.ResultPages()[p]->SubTabs();
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            testsupport::saveScreenshotIfAsked(dlg.grab(), QStringLiteral("sample_set_page%1_tab%2.png").arg(p).arg(t));
        }
    }
}

} // namespace
