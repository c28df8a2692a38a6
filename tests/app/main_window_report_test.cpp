#include <gtest/gtest.h>

#include "app/TavrinDlg.h"
#include "data/MessageLog.h"
#include "platform/Profile.h"
#include "ui/DlgMixtures.h"
#include "ui/DlgReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

TEST(MainWindowReportTest, reportButtonOpensTheDialogOverTheWindowsDataAndExitKeepsTheChoices)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("tavrin.conf"));
    auto profile = std::make_unique<Profile>(ini);
    MessageLog log;
    auto dlg = std::make_unique<tavrinDlg>(*profile, log, dir.filePath(QStringLiteral("MixturesData")));
    const ReportSources& sources = dlg->Report()->Sources();
    EXPECT_EQ(sources.records, &dlg->Records());
    EXPECT_EQ(sources.calcData, &dlg->Results());
    EXPECT_EQ(sources.cylinders, &dlg->Mixtures()->Mixtures());
    EXPECT_EQ(sources.settings, &dlg->Settings());
    EXPECT_EQ(sources.log, &log);

    QPushButton* report = dlg->findChild<QPushButton*>(QStringLiteral("buttonReport"));
    ASSERT_TRUE(report && report->isEnabled());
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget();
        if (auto* modal = qobject_cast<DlgReport*>(shown)) {
            modal->findChild<QCheckBox*>(QStringLiteral("enableGdResult"))->setChecked(false);
            modal->accept();
        }
    });
    report->click();
    EXPECT_EQ(shown, dlg->Report());
    EXPECT_FALSE(profile->contains(QStringLiteral("ReportSettings"), QStringLiteral("enableGdResult")));

    dlg.reset();
    profile.reset();
    Profile stored(ini);
    EXPECT_EQ(stored.readInt(QStringLiteral("ReportSettings"), QStringLiteral("enableGdResult"), 1), 0);
    EXPECT_EQ(stored.readInt(QStringLiteral("ReportSettings"), QStringLiteral("enableGsResult"), 0), 1);
}
