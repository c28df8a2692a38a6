#include <gtest/gtest.h>

#include "report/ReportTransform.h"
#include "report/XMLWrapper.h"
#include "support/ReportSamples.h"
#include "support/XmlTree.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <optional>

#include <libxml/xpath.h>
#include <sys/resource.h>
#include <csignal>

using testsupport::XPathCount;
using testsupport::XPathTexts;

namespace {

const QString kStylesheet = QStringLiteral(TAVRIN_REPORT_XSL);

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

int count(xmlDocPtr doc, const QString& expression)
{
    return XPathCount(doc, expression.toUtf8().constData());
}

QStringList texts(xmlDocPtr doc, const QString& expression)
{
    return XPathTexts(doc, expression.toUtf8().constData());
}

// A span as the page should carry it: only spans above 1 are written.
QString spanText(const QStringList& values)
{
    const int span = values.value(0).toInt();
    return span > 1 ? QString::number(span) : QString();
}

// The report that uses every element, made into HTML once for all tests.
class ReportHtmlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        xml = new XMLWrapper;
        testsupport::WriteEveryElementReport(*xml);
        QString error;
        const std::optional<QByteArray> out = TransformReportToHtml(kStylesheet, *xml, &error);
        html = new QByteArray(out.value_or(QByteArray()));
        ASSERT_TRUE(out) << error.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete xml;
        delete html;
    }

    void SetUp() override
    {
        source = testsupport::ParseXml(xml->ToXml());
        page = testsupport::ParseXml(*html);
        ASSERT_TRUE(source);
        ASSERT_TRUE(page) << "the page is not well-formed XML";
    }

    static XMLWrapper* xml;
    static QByteArray* html;
    testsupport::XmlDoc source;
    testsupport::XmlDoc page;
};

XMLWrapper* ReportHtmlTest::xml = nullptr;
QByteArray* ReportHtmlTest::html = nullptr;

} // namespace

TEST_F(ReportHtmlTest, pageIsXhtmlInUtf8WithTheTitleAndHeader)
{
    EXPECT_TRUE(html->startsWith("<!DOCTYPE html")) << html->left(80).toStdString();
    EXPECT_TRUE(html->contains("charset=UTF-8"));
    EXPECT_EQ(count(page.get(), "/h:html/h:head/h:style"), 1);
    EXPECT_EQ(texts(page.get(), "//h:h1"), QStringList{QStringLiteral("Отчёт")});
    EXPECT_EQ(texts(page.get(), "//h:p[@class='subject']"),
              QStringList{QStringLiteral("Газ Сепарации. Дегазированный Конденсат. Пластовый Газ.")});
    EXPECT_EQ(texts(page.get(), "//h:table[@class='head']//h:th"),
              QStringList({QStringLiteral("Пункт отбора:"), QStringLiteral("Номер прибора:"), QStringLiteral("Оператор:")}));
    EXPECT_EQ(texts(page.get(), "//h:table[@class='head']//h:td"),
              QStringList({QStringLiteral("Скв. 12, УКПГ-3"), QStringLiteral("ХГ-1000 №5"), QStringLiteral("Петров П. П.")}));
}

TEST_F(ReportHtmlTest, listsGetTheirColumnHeads)
{
    EXPECT_EQ(texts(page.get(), "//h:table[@class='list'][1]/h:thead//h:th"),
              QStringList({"№", "Проба", "Время анализа", "Тип расчёта"}));
    EXPECT_EQ(texts(page.get(), "//h:table[@class='list'][2]/h:thead//h:th"),
              QStringList({"№", "Баллон", "Идентификатор баллона", "Дата добавления в базу", "Тип"}));
    EXPECT_EQ(count(page.get(), "//h:table[@class='list'][1]/h:tbody/h:tr"), 3);
    EXPECT_EQ(texts(page.get(), "//h:table[@class='list'][2]/h:tbody/h:tr/h:td"),
              QStringList({"1", "ПГС-ГС 2024", "Бал 1", "01.02.24  10:00", "ГС"}));
}

TEST_F(ReportHtmlTest, everyResultTableWithEveryRow)
{
    const int tables = count(source.get(), "/Document/calc_table");
    ASSERT_EQ(tables, 6);
    EXPECT_EQ(count(page.get(), "//h:table"), tables + 3);
    ASSERT_EQ(count(page.get(), "//h:table[@class='calc']"), tables);
    for (int t = 1; t <= tables; ++t) {
        const QString table = QStringLiteral("/Document/calc_table[%1]").arg(t);
        const int rows = count(source.get(), table + "/header_row[column]") + count(source.get(), table + "/fill_data")
                         + count(source.get(), table + "/custom_row[cell]");
        EXPECT_EQ(count(page.get(), QStringLiteral("(//h:table[@class='calc'])[%1]//h:tr").arg(t)), rows) << t;
    }
    // Title, captions, three components and the totals; and the formation-gas
    // table: title, three header rows, two components, totals, C5+ and three
    // custom rows.
    EXPECT_EQ(count(page.get(), "(//h:table[@class='calc'])[1]//h:tr"), 6);
    EXPECT_EQ(count(page.get(), "(//h:table[@class='calc'])[4]//h:tr"), 11);
}

TEST_F(ReportHtmlTest, cellsStandInDocumentOrderAndShortRowsArePadded)
{
    const int tables = count(source.get(), "/Document/calc_table");
    for (int t = 1; t <= tables; ++t) {
        const QString table = QStringLiteral("/Document/calc_table[%1]").arg(t);
        const int rows = count(source.get(), table + "/fill_data");
        int widest = 0;
        for (int r = 1; r <= rows; ++r)
            widest = std::max(widest, count(source.get(), table + QStringLiteral("/fill_data[%1]/*").arg(r)));
        for (int r = 1; r <= rows; ++r) {
            QStringList expected = texts(source.get(), table + QStringLiteral("/fill_data[%1]/*").arg(r));
            while (expected.size() < widest)
                expected << QString();
            const QString row = QStringLiteral("(//h:table[@class='calc'])[%1]/h:tbody/h:tr[%2]/h:td").arg(t).arg(r);
            EXPECT_EQ(texts(page.get(), row), expected) << "table " << t << " row " << r;
        }
    }
    // The gas-analysis totals row: seven values, then four empty cells.
    EXPECT_EQ(count(page.get(), "(//h:table[@class='calc'])[1]/h:tbody/h:tr[4]/h:td[@class='e']"), 4);
    EXPECT_EQ(count(page.get(), "(//h:table[@class='calc'])[1]/h:tbody/h:tr[@class='total']"), 1);
    // A value that is not set shows as the screen shows it.
    EXPECT_GE(count(page.get(), "//h:td[. = '---']"), 3);
}

TEST_F(ReportHtmlTest, spansOfHeaderColumnsAndCustomCellsAreKept)
{
    const int tables = count(source.get(), "/Document/calc_table");
    int checked = 0;
    for (int t = 1; t <= tables; ++t) {
        const QString table = QStringLiteral("/Document/calc_table[%1]").arg(t);
        const QString html = QStringLiteral("(//h:table[@class='calc'])[%1]").arg(t);
        const struct {
            QString xmlCells;
            QString htmlCells;
            QString xmlRows;
        } parts[] = {
            {"/header_row[column]", "/h:thead/h:tr", "column"},
            {"/custom_row[cell]", "/h:tbody/h:tr[@class='custom']", "cell"},
        };
        for (const auto& part : parts) {
            const int rows = count(source.get(), table + part.xmlCells);
            for (int r = 1; r <= rows; ++r) {
                const QString xmlRow = QStringLiteral("%1%2[%3]/%4").arg(table, part.xmlCells).arg(r).arg(part.xmlRows);
                const QString htmlRow = QStringLiteral("%1%2[%3]/*").arg(html, part.htmlCells).arg(r);
                const int cells = count(source.get(), xmlRow);
                ASSERT_EQ(count(page.get(), htmlRow), cells) << xmlRow.toStdString();
                for (int c = 1; c <= cells; ++c) {
                    const QString x = QStringLiteral("%1[%2]").arg(xmlRow).arg(c);
                    const QString h = QStringLiteral("(%1)[%2]").arg(htmlRow).arg(c);
                    EXPECT_EQ(texts(page.get(), h + "/@rowspan").value(0), spanText(texts(source.get(), x + "/rspan")))
                        << x.toStdString();
                    // A title row spans the table as the grid did.
                    EXPECT_EQ(texts(page.get(), h + "/@colspan").value(0), spanText(texts(source.get(), x + "/cspan")))
                        << x.toStdString();
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 60);
    EXPECT_EQ(texts(page.get(), "(//h:table[@class='calc'])[4]/h:thead/h:tr[2]/h:th[1]/@rowspan"), QStringList{"3"});
    EXPECT_EQ(texts(page.get(), "(//h:table[@class='calc'])[4]/h:tbody/h:tr[@class='custom'][1]/h:td[@class='l']"),
              QStringList{QStringLiteral("Мол. масса, г/моль")});
}

TEST_F(ReportHtmlTest, fontSizeGoesToItsOwnTableOnly)
{
    EXPECT_EQ(texts(page.get(), "//h:table[@style]/@style"), QStringList{"font-size: 9pt"});
    EXPECT_EQ(count(page.get(), "(//h:table[@class='calc'])[4][@style]"), 1);
}

TEST_F(ReportHtmlTest, markupInDataComesOutAsText)
{
    EXPECT_EQ(texts(page.get(), "//h:table[@class='list'][1]/h:tbody/h:tr[1]/h:td[2]"),
              QStringList{QStringLiteral("<b>&x</b>")});
    EXPECT_EQ(count(page.get(), "//h:b"), 0);
    EXPECT_TRUE(html->contains("&lt;b&gt;&amp;x&lt;/b&gt;"));
}

TEST_F(ReportHtmlTest, graphAndMessagesFollowTheirPlaces)
{
    EXPECT_EQ(texts(page.get(), "//h:img/@src"), texts(source.get(), "/Document/graph/path"));
    // The graph stands after the third table, as in the document.
    EXPECT_EQ(count(page.get(), "//h:div[@class='graph']/preceding-sibling::h:table[@class='calc']"), 3);
    EXPECT_EQ(texts(page.get(), "//h:div[@class='messages']/h:p"), texts(source.get(), "/Document/msg_head/table_msg/msg_str"));
    EXPECT_EQ(texts(page.get(), "//h:div[@class='messages']/h:p[@class='kind']"),
              QStringList({QStringLiteral("Ошибки!"), QStringLiteral("Предупреждения!")}));
}

TEST(ReportHtmlEmptyTest, headerOnlyReportIsAPageToo)
{
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    for (const char* name : {"name", "station", "num_device", "operator"})
        doc.AddText(nullptr, name, QString());
    QString error;
    const std::optional<QByteArray> html = TransformReportToHtml(kStylesheet, doc, &error);
    ASSERT_TRUE(html) << error.toStdString();
    const testsupport::XmlDoc page = testsupport::ParseXml(*html);
    ASSERT_TRUE(page);
    EXPECT_EQ(count(page.get(), "//h:table"), 1);
    EXPECT_EQ(count(page.get(), "//h:p[@class='subject'] | //h:h2"), 0);
    EXPECT_EQ(texts(page.get(), "//h:title"), QStringList{QStringLiteral("Отчёт")});
}

// ---------------------------------------------------------------------------

namespace {

class ReportTransformTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        testsupport::WriteEveryElementReport(doc);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString stylesheet(const QByteArray& text)
    {
        const QString p = path("style.xsl");
        EXPECT_TRUE(writeFile(p, text));
        return p;
    }
    // A small stylesheet whose one template holds `body`.
    QString stylesheetWith(const QByteArray& body, const char* version = "1.0")
    {
        return stylesheet(QByteArray("<xsl:stylesheet version=\"") + version
                          + "\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                            "<xsl:template match=\"/\"><html>"
                          + body + "</html></xsl:template></xsl:stylesheet>");
    }

    QTemporaryDir dir;
    XMLWrapper doc;
};

} // namespace

TEST_F(ReportTransformTest, realStylesheetWritesTheWholePage)
{
    const QString out = path("report.html");
    ASSERT_TRUE(TransformReport(kStylesheet, out, doc));
    EXPECT_EQ(readFile(out), TransformReportToHtml(kStylesheet, doc).value_or("?"));
}

TEST_F(ReportTransformTest, unusableStylesheetWritesNothingAndKeepsTheOldFile)
{
    const QString out = path("report.html");
    ASSERT_TRUE(writeFile(out, "old"));
    const struct {
        const char* what;
        QString xsl;
    } cases[] = {
        {"missing", path("absent.xsl")},
        {"not XML", stylesheet("<xsl:stylesheet")},
        {"XML but no stylesheet", stylesheet("<html/>")},
        {"unknown instruction", stylesheetWith("<xsl:nonsense/>")},
        {"stops itself", stylesheetWith("<xsl:message terminate=\"yes\">stop</xsl:message>")},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(TransformReport(c.xsl, out, doc, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(readFile(out), QByteArray("old")) << c.what;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);
}

TEST_F(ReportTransformTest, stylesheetMayNotWriteFilesOrMakeFolders)
{
    const QString out = path("report.html");
    const QString side = path("side.html");
    const QString folder = path("made");
    const struct {
        const char* what;
        QByteArray body;
    } cases[] = {
        {"file", "<xsl:document href=\"" + side.toUtf8() + "\"><p>x</p></xsl:document>"},
        {"folder", "<xsl:document href=\"" + folder.toUtf8() + "/deeper/x.html\"><p>x</p></xsl:document>"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(TransformReport(stylesheetWith(c.body, "1.1"), out, doc)) << c.what;
        EXPECT_FALSE(QFileInfo::exists(out)) << c.what;
    }
    EXPECT_FALSE(QFileInfo::exists(side));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(ReportTransformTest, stylesheetMayNotReachTheNetwork)
{
    // Refused before any connection is tried, so no network is needed.
    const QString out = path("report.html");
    EXPECT_FALSE(TransformReport(
        stylesheetWith("<xsl:copy-of select=\"document('http://127.0.0.1:9/data.xml')\"/>"), out, doc));
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(ReportTransformTest, writeFailureLeavesNoPartialFile)
{
    const QByteArray html = TransformReportToHtml(kStylesheet, doc).value_or(QByteArray());
    ASSERT_GT(html.size(), 3 * 4096);
    EXPECT_FALSE(WriteReportFile(path("absent/folder/report.html"), html));
    EXPECT_FALSE(QFileInfo::exists(path("absent")));

    // A full disk: the size limit works for root too. The signal it raises
    // is ignored so that the write only fails.
    const QString out = path("full.html");
    ASSERT_TRUE(writeFile(out, "old"));
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteReportFile(out, html);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(out), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(ReportFilesTest, stylesheetIsLookedForBesideTheExecutable)
{
    EXPECT_EQ(QFileInfo(GetReportXslPath()).absolutePath(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(QFileInfo(GetReportXslPath()).fileName(), QStringLiteral("Report.xsl"));
}

TEST(ReportFilesTest, everyViewGetsAFileOfItsOwn)
{
    const QString first = CreateReportViewFile();
    const QString second = CreateReportViewFile();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    const QRegularExpression name(QStringLiteral("^zqv.+\\.tmp\\.html$"));
    for (const QString& f : {first, second}) {
        EXPECT_TRUE(name.match(QFileInfo(f).fileName()).hasMatch()) << f.toStdString();
        EXPECT_EQ(QFileInfo(f).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        EXPECT_EQ(QFileInfo(f).size(), 0);
        QFile::remove(f);
    }
}
