#include "support/ReportPage.h"

#include "support/XmlTree.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace testsupport {

void ExpectTablesOfTheDocument(xmlDocPtr source, xmlDocPtr shown, const QString& h)
{
    const int tables = XPathCount(source, QStringLiteral("/Document/calc_table"));
    EXPECT_EQ(XPathCount(shown, QStringLiteral("//%1table[@class='calc']").arg(h)), tables);
    for (int t = 1; t <= tables; ++t) {
        const QString x = QStringLiteral("/Document/calc_table[%1]").arg(t);
        const QString table = QStringLiteral("(//%1table[@class='calc'])[%2]").arg(h).arg(t);
        const int rows = XPathCount(source, x + "/fill_data");
        EXPECT_EQ(XPathCount(shown, table + QStringLiteral("//%1tr").arg(h)),
                  XPathCount(source, x + "/header_row[column] | " + x + "/custom_row[cell]") + rows)
            << "table " << t;
        int widest = 0;
        for (int r = 1; r <= rows; ++r)
            widest = std::max(widest, XPathCount(source, x + QStringLiteral("/fill_data[%1]/*").arg(r)));
        for (int r = 1; r <= rows; ++r) {
            QStringList expected = XPathTexts(source, x + QStringLiteral("/fill_data[%1]/*").arg(r));
            // A row's cells from `sum_csss` on close the row; the gap stands before them.
            const QString closingPath =
                x + QStringLiteral("/fill_data[%1]/sum_csss/../*[not(following-sibling::sum_csss)]").arg(r);
            const int closing = XPathCount(source, closingPath);
            while (expected.size() < widest)
                expected.insert(expected.size() - closing, QString());
            EXPECT_EQ(XPathTexts(shown, table + QStringLiteral("/%1tbody/%1tr[%2]/%1td").arg(h).arg(r)), expected)
                << "table " << t << " row " << r;
        }
    }
}

BrowserPage RenderInChromium(const QString& page, const QString& workDir, int width, int height)
{
    BrowserPage out;
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        return out;
    out.available = true;
    const QString picture = QDir(workDir).filePath(QStringLiteral("chromium-page.png"));
    QFile::remove(picture);
    QProcess browser;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), workDir);
    browser.setProcessEnvironment(env);
    browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
                             "--user-data-dir=" + QDir(workDir).filePath(QStringLiteral("chromium-profile")),
                             "--dump-dom", "--screenshot=" + picture,
                             QStringLiteral("--window-size=%1,%2").arg(width).arg(height),
                             QUrl::fromLocalFile(page).toString()});
    // A bound against a browser that hangs, not a timing check.
    if (!browser.waitForFinished(180000)) {
        browser.kill();
        browser.waitForFinished();
        out.error = QStringLiteral("chromium did not finish");
        return out;
    }
    if (browser.exitStatus() != QProcess::NormalExit || browser.exitCode() != 0) {
        out.error = QString::fromLocal8Bit(browser.readAllStandardError());
        return out;
    }
    out.dom = browser.readAllStandardOutput();
    QFile png(picture);
    if (png.open(QIODevice::ReadOnly))
        out.png = png.readAll();
    out.ok = true;
    return out;
}

void KeepPictureIfAsked(const QByteArray& png, const QString& fileName)
{
    const QString folder = qEnvironmentVariable("TAVRIN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QFile file(QDir(folder).filePath(fileName));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(png);
}

} // namespace testsupport
