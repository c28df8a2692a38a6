#include <gtest/gtest.h>

#include "report/ReportTransform.h"
#include "report/XMLWrapper.h"
#include "support/ReportSamples.h"
#include "support/XmlTree.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using testsupport::XPathCount;
using testsupport::XPathTexts;

namespace {

// The report page as a real browser reads it: headless Chromium, in a
// profile folder of its own, run once for the DOM and once for a picture.
class ReportBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            GTEST_SKIP() << "chromium is not installed";
        ASSERT_TRUE(dir.isValid());
        testsupport::WriteEveryElementReport(doc);
        page = dir.filePath(QStringLiteral("report.html"));
        QString error;
        ASSERT_TRUE(TransformReport(QStringLiteral(TAVRIN_REPORT_XSL), page, doc, &error)) << error.toStdString();
    }

    // Runs the browser on the page; its standard output, or a failure.
    QByteArray run(const QStringList& extra)
    {
        QStringList args{QStringLiteral("--headless"),
                         QStringLiteral("--no-sandbox"),
                         QStringLiteral("--disable-gpu"),
                         QStringLiteral("--no-first-run"),
                         QStringLiteral("--disable-extensions"),
                         QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("profile"))};
        args << extra << QUrl::fromLocalFile(page).toString();
        QProcess browser;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        browser.setProcessEnvironment(env);
        browser.start(chromium, args);
        // A bound against a browser that hangs, not a timing check.
        if (!browser.waitForFinished(180000)) {
            browser.kill();
            browser.waitForFinished();
            ADD_FAILURE() << "chromium did not finish";
            return {};
        }
        EXPECT_EQ(browser.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(browser.exitCode(), 0) << browser.readAllStandardError().toStdString();
        return browser.readAllStandardOutput();
    }

    QString chromium;
    QTemporaryDir dir;
    XMLWrapper doc;
    QString page;
};

} // namespace

TEST_F(ReportBrowserTest, browserBuildsEveryTableRowAndCell)
{
    const QByteArray dom = run({QStringLiteral("--dump-dom")});
    const testsupport::XmlDoc shown = testsupport::ParseHtml(dom);
    ASSERT_TRUE(shown) << dom.left(400).toStdString();
    const testsupport::XmlDoc source = testsupport::ParseXml(doc.ToXml());
    ASSERT_TRUE(source);

    const int tables = XPathCount(source.get(), "/Document/calc_table");
    EXPECT_EQ(XPathCount(shown.get(), "//table"), tables + 3);
    for (int t = 1; t <= tables; ++t) {
        const QByteArray table = QStringLiteral("/Document/calc_table[%1]").arg(t).toUtf8();
        const int rows = XPathCount(source.get(), table + "/header_row[column]")
                         + XPathCount(source.get(), table + "/fill_data")
                         + XPathCount(source.get(), table + "/custom_row[cell]");
        const QByteArray shownRows = QStringLiteral("(//table[@class='calc'])[%1]//tr").arg(t).toUtf8();
        EXPECT_EQ(XPathCount(shown.get(), shownRows.constData()), rows) << "table " << t;
    }
    // The first data row of the first result table, cell by cell.
    EXPECT_EQ(XPathTexts(shown.get(), "(//table[@class='calc'])[1]/tbody/tr[1]/td"),
              XPathTexts(source.get(), "/Document/calc_table[1]/fill_data[1]/*"));
    EXPECT_EQ(XPathTexts(shown.get(), "(//table[@class='calc'])[4]/thead/tr[2]/th[1]/@rowspan"), QStringList{"3"});
    EXPECT_EQ(XPathTexts(shown.get(), "//table[@class='list'][1]/tbody/tr[1]/td[2]"),
              QStringList{QStringLiteral("<b>&x</b>")});
    EXPECT_EQ(XPathCount(shown.get(), "//b"), 0);
    EXPECT_EQ(XPathTexts(shown.get(), "//title"),
              QStringList{QStringLiteral("Отчёт. Газ Сепарации. Дегазированный Конденсат. Пластовый Газ.")});
}

TEST_F(ReportBrowserTest, browserDrawsThePage)
{
    const QString picture = dir.filePath(QStringLiteral("report.png"));
    run({QStringLiteral("--hide-scrollbars"), QStringLiteral("--window-size=1500,2600"),
         QStringLiteral("--screenshot=") + picture});
    QFile png(picture);
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_GT(png.size(), 10000);
    const QString folder = qEnvironmentVariable("TAVRIN_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QFile::remove(QDir(folder).filePath(QStringLiteral("report.png")));
        QFile::copy(picture, QDir(folder).filePath(QStringLiteral("report.png")));
    }
}
