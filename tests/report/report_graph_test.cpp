#include <gtest/gtest.h>

#include "report/ReportGraph.h"
#include "support/FakeGraphImage.h"
#include "support/XmlTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

namespace {

TemperatureResult Curve(int points)
{
    TemperatureResult curve;
    for (int i = 0; i < points; ++i)
        curve.rows.push_back(TemperatureRow{});
    return curve;
}

class ReportGraphTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        // A blank and a "#" in the temporary folder's name, which a file URL must encode.
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("tmp dir #1")));
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("saved")));
        oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp()));
    }
    void TearDown() override { oldTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmp); }

    QString tmp() const { return root.filePath(QStringLiteral("tmp dir #1")); }
    QString saved(const QString& name = {}) const { return QDir(root.filePath(QStringLiteral("saved"))).filePath(name); }

    // The `path` of the graph that one report writes; empty without a graph.
    QString Write(const TemperatureResult& curve, const ReportGraphImage* image, ReportGraphPlace& place)
    {
        XMLWrapper doc;
        EXPECT_TRUE(doc.InitDocument());
        WriteDcGraph(doc, curve, image, place);
        const testsupport::XmlDoc written = testsupport::ParseXml(doc.ToXml());
        EXPECT_EQ(testsupport::XPathCount(written.get(), "/Document/*"), testsupport::XPathCount(written.get(), "/Document/graph"));
        return testsupport::XPathTexts(written.get(), "/Document/graph/path").value(0);
    }

    // Every file and folder below a folder, by relative path.
    static QStringList Below(const QString& folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(folder).relativeFilePath(it.next());
        found.sort();
        return found;
    }

    // The file a graph's path names, when it is a proper file URL.
    static QString Named(const QString& path)
    {
        const QUrl url(path, QUrl::StrictMode);
        EXPECT_TRUE(url.isValid() && url.isLocalFile()) << path.toStdString();
        EXPECT_TRUE(path.startsWith(QStringLiteral("file:///")) && !path.startsWith(QStringLiteral("file:////")));
        EXPECT_FALSE(path.contains(QLatin1Char(' ')) || path.contains(QLatin1Char('#')) || path.contains(QLatin1Char('\\')));
        EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile()) << path.toStdString();
        return url.toLocalFile();
    }

    QTemporaryDir root;
    QByteArray oldTmp;
    testsupport::FakeGraphImage image;
};

} // namespace

TEST_F(ReportGraphTest, viewedGraphGetsAFreshTemporaryFolderAndASavedOneGoesBesideTheReport)
{
    ReportGraphPlace first, second, beside(saved(QStringLiteral("отчёт 5 #2.html")));
    const QString a = Named(Write(Curve(3), &image, first));
    const QString b = Named(Write(Curve(3), &image, second));
    const QRegularExpression fresh(QStringLiteral("^zqv[^/]+\\.tmp\\.cat/FormationGasGraph\\.png$"));
    for (const QString& file : {a, b})
        EXPECT_TRUE(fresh.match(QDir(tmp()).relativeFilePath(file)).hasMatch()) << file.toStdString();
    EXPECT_NE(QFileInfo(a).path(), QFileInfo(b).path());
    EXPECT_EQ(Below(tmp()).size(), 4);

    // The saved report names its graph relative to itself, encoded as a
    // browser saves a page with its files, so the two can move together.
    const QString relative = Write(Curve(2), &image, beside);
    EXPECT_EQ(relative, QStringLiteral("%D0%BE%D1%82%D1%87%D1%91%D1%82%205%20%232_files/FormationGasGraph.png"));
    const QString c = QUrl::fromLocalFile(saved(QStringLiteral("отчёт 5 #2.html"))).resolved(QUrl(relative)).toLocalFile();
    EXPECT_EQ(c, saved(QStringLiteral("отчёт 5 #2_files/FormationGasGraph.png")));
    // Written beside it under another name, it takes its place only when installed.
    EXPECT_FALSE(QFileInfo::exists(c));
    ASSERT_TRUE(beside.Install());
    beside.Commit();
    EXPECT_TRUE(QFileInfo(c).isFile());
    EXPECT_EQ(Below(saved()), QStringList({"отчёт 5 #2_files", "отчёт 5 #2_files/FormationGasGraph.png"}));
    ASSERT_EQ(image.paths.size(), 3);
    EXPECT_EQ(image.paths.mid(0, 2), QStringList({a, b}));
    EXPECT_EQ(QFileInfo(image.paths[2]).path(), QFileInfo(c).path());
}

TEST_F(ReportGraphTest, noCurveNoPainterOrAFailedImageLeavesNoGraphFileOrFolder)
{
    const struct {
        const char* what;
        int points;
        bool painter;
        bool fails;
    } cases[] = {
        {"no curve", 0, true, false},
        {"no painter", 4, false, false},
        {"image not written", 4, true, true},
    };
    for (const auto& c : cases) {
        for (bool save : {false, true}) {
            image.fail = c.fails;
            image.paths.clear();
            ReportGraphPlace place = save ? ReportGraphPlace(saved(QStringLiteral("r.html"))) : ReportGraphPlace();
            EXPECT_EQ(Write(Curve(c.points), c.painter ? &image : nullptr, place), QString()) << c.what;
            EXPECT_EQ(image.paths.size(), c.fails ? 1 : 0) << c.what;
            EXPECT_TRUE(Below(tmp()).isEmpty() && Below(saved()).isEmpty()) << c.what << " save " << save;
        }
    }
}
