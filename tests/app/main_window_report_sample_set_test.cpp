#include <gtest/gtest.h>

#include "app/TavrinDlg.h"
#include "data/MessageLog.h"
#include "platform/Profile.h"
#include "sampleset/SampleSet.h"
#include "support/QtPrint.h"
#include "support/XmlTree.h"
#include "ui/DlgReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

// The report of a whole sampling run as a reader's browser shows it: every
// formation-gas table, and the calibration graph loaded from its file.

namespace {

// Leaves in the DOM what the browser made of the page's one image, once the
// page and its image have loaded.
const QByteArray kImageProbe = R"(<script>
function probe() {
  var images = document.getElementsByTagName('img');
  var text = images.length + ' ' + (images.length ? images[0].complete + ' ' + images[0].naturalWidth + 'x' + images[0].naturalHeight : '');
  document.body.setAttribute('data-images', text);
}
if (document.readyState === 'complete') probe(); else window.addEventListener('load', probe);
</script>)";

TEST(MainWindowReportSampleSet, browserShowsEveryFormationGasTableAndLoadsTheGraph)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("tmp")));
    // The viewed report and its graph go to a temporary folder of the test's own.
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("tmp"))));

    sampleset::WrittenSet set;
    ASSERT_TRUE(sampleset::WriteSampleSet(dir.filePath(QStringLiteral("set")), &set));
    Profile profile(set.profilePath);
    MessageLog log;
    tavrinDlg dlg(profile, log, set.mixturesPath);
    DlgReport* report = dlg.Report();
    report->SetStylesheetPath(QStringLiteral(TAVRIN_REPORT_XSL));
    QString page;
    report->openFileHook = [&page](const QString& path) { return page = path, true; };
    const bool written = report->BuildReport(false);
    oldTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmp);
    ASSERT_TRUE(written);

    // A saved report with a blank, a "#" and Cyrillic in its name, moved with
    // its files to another folder; the folder it was saved in is gone.
    const QString name = QStringLiteral("Отчёт скв. 41 #1");
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("сохранён")) && QDir(dir.path()).mkpath(QStringLiteral("перенесён")));
    report->saveFileNameHook = [&](QWidget*, const QString&) { return dir.filePath("сохранён/" + name + ".html"); };
    ASSERT_TRUE(report->BuildReport(true));
    for (const QString& part : {name + ".html", name + "_files"})
        ASSERT_TRUE(QDir(dir.path()).rename("сохранён/" + part, "перенесён/" + part));
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("сохранён"))).removeRecursively());

    for (const QString& shownPage : {page, dir.filePath("перенесён/" + name + ".html")}) {
        SCOPED_TRACE(shownPage.toStdString());
        QFile file(shownPage);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray html = file.readAll();
        const QStringList titles = {"Пластовый газ - Способ 1", "Пластовый газ - Cеросодержащие соединения",
                                    "Пластовый газ - Способ 2", "Пластовый газ - Компонентно-фракционный состав: Способ 1",
                                    "Пластовый газ - Компонентно-фракционный состав: Способ 2"};

        ASSERT_GT(html.lastIndexOf("</body>"), 0);
        html.insert(html.lastIndexOf("</body>"), kImageProbe);
        // Beside the page, so an address relative to it still holds.
        const QString probed = QFileInfo(shownPage).dir().filePath(QStringLiteral("probed.html"));
        QFile out(probed);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(html) == html.size());
        out.close();

        QProcess browser;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        browser.setProcessEnvironment(env);
        QStringList args = {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
                            "--allow-file-access-from-files", "--virtual-time-budget=10000",
                            "--user-data-dir=" + dir.filePath(QStringLiteral("profile")), "--dump-dom"};
        const QString keep = qEnvironmentVariable("TAVRIN_SCREENSHOT_DIR");
        if (!keep.isEmpty())
            args << "--screenshot=" + QDir(keep).filePath(QStringLiteral("sample_set_report.png")) << "--window-size=1600,4400";
        browser.start(chromium, args << QUrl::fromLocalFile(probed).toString());
        // A bound against a browser that hangs, not a timing check.
        ASSERT_TRUE(browser.waitForFinished(180000)) << "chromium did not finish";
        ASSERT_EQ(browser.exitCode(), 0) << browser.readAllStandardError().toStdString();
        const testsupport::XmlDoc shown = testsupport::ParseHtml(browser.readAllStandardOutput());
        ASSERT_TRUE(shown);
        EXPECT_EQ(testsupport::XPathTexts(shown.get(), "//body/@data-images"), QStringList{"1 true 1000x1000"});
        EXPECT_EQ(testsupport::XPathTexts(shown.get(), "//table[@class='calc']/thead/tr[1]/th[starts-with(., 'Пластовый газ')]"),
                  titles);
    }
}

} // namespace
