#include <gtest/gtest.h>

#include "calc/ChromatogramSlot.h"
#include "report/ReportDocument.h"
#include "report/ReportGraph.h"
#include "support/RecalculationFixture.h"
#include "support/XmlTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// Writes a few bytes in place of a picture, or fails; notes every call.
class FakeGraphImage : public ReportGraphImage
{
public:
    bool fail = false;
    mutable QStringList paths;
    mutable std::vector<std::size_t> points;

    bool WriteGraphImage(const TemperatureResult& curve, const QString& path) const override
    {
        paths << path;
        points.push_back(curve.rows.size());
        QFile file(path);
        return !fail && file.open(QIODevice::WriteOnly) && file.write("png") == 3;
    }
};

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
        return url.toLocalFile();
    }

    QTemporaryDir root;
    QByteArray oldTmp;
    FakeGraphImage image;
};

} // namespace

TEST_F(ReportGraphTest, viewedGraphGoesToAFreshTemporaryFolderEachTime)
{
    ReportGraphPlace first, second;
    const QString a = Named(Write(Curve(3), &image, first));
    const QString b = Named(Write(Curve(3), &image, second));
    EXPECT_EQ(image.paths, QStringList({a, b}));
    const QStringList made = Below(tmp());
    ASSERT_EQ(made.size(), 4) << made.join(' ').toStdString();
    for (const QString& file : {a, b}) {
        const QString relative = QDir(tmp()).relativeFilePath(file);
        EXPECT_TRUE(made.contains(relative));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^zqv[^/]+\\.tmp\\.cat/FormationGasGraph\\.png$")).match(relative).hasMatch())
            << relative.toStdString();
    }
    EXPECT_NE(QFileInfo(a).path(), QFileInfo(b).path());
}

TEST_F(ReportGraphTest, savedGraphGoesBesideTheReportAndKeepsWhatTheFolderHeld)
{
    ReportGraphPlace beside(saved(QStringLiteral("отчёт 5 #2.html")));
    EXPECT_EQ(Named(Write(Curve(2), &image, beside)), saved(QStringLiteral("отчёт 5 #2_files/FormationGasGraph.png")));
    // Saved again under the same name, into the folder that is there.
    QFile other(saved(QStringLiteral("отчёт 5 #2_files/other.png")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    ReportGraphPlace again(saved(QStringLiteral("отчёт 5 #2.html")));
    EXPECT_FALSE(Write(Curve(2), &image, again).isEmpty());
    EXPECT_EQ(Below(saved()), QStringList({"отчёт 5 #2_files", "отчёт 5 #2_files/FormationGasGraph.png",
                                           "отчёт 5 #2_files/other.png"}));
    EXPECT_TRUE(Below(tmp()).isEmpty());
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

TEST_F(ReportGraphTest, discardRemovesOnlyWhatTheReportMade)
{
    ReportGraphPlace fresh(saved(QStringLiteral("a.html")));
    EXPECT_FALSE(Write(Curve(1), &image, fresh).isEmpty());
    fresh.Discard();
    EXPECT_TRUE(Below(saved()).isEmpty());

    ReportGraphPlace temporary;
    EXPECT_FALSE(Write(Curve(1), &image, temporary).isEmpty());
    temporary.Discard();
    EXPECT_TRUE(Below(tmp()).isEmpty());

    // An image of an earlier report in a folder of its own stays.
    ReportGraphPlace earlier(saved(QStringLiteral("b.html")));
    EXPECT_FALSE(Write(Curve(1), &image, earlier).isEmpty());
    ReportGraphPlace later(saved(QStringLiteral("b.html")));
    EXPECT_FALSE(Write(Curve(1), &image, later).isEmpty());
    later.Discard();
    EXPECT_EQ(Below(saved()), QStringList({"b_files", "b_files/FormationGasGraph.png"}));
}

using ReportGraphDocumentTest = calc_inputs::RecalculationTest;

TEST_F(ReportGraphDocumentTest, condensateSectionDrawsTheCurveOfTheLastCalculationWhereTheOwnerSays)
{
    const QString c = QString(QChar(0x0421));  // Cyrillic С
    records = {calc_inputs::Record(SlotDcTemperature, "/lab/t.stg", {{c + "6"}, {c + "7"}, {c + "8"}})};
    Recalculate();
    ASSERT_EQ(data.GetCalibrationCurve().rows.size(), 3u);

    QTemporaryDir dir;
    FakeGraphImage image;
    ReportGraphPlace place(dir.filePath(QStringLiteral("r.html")));
    ReportSettings dcOnly;
    dcOnly.enableAssayList = dcOnly.enableMixtureList = dcOnly.enableGsResult = dcOnly.enableGdResult = false;
    dcOnly.enablePgResult = dcOnly.enableSystemMsgs = false;
    ReportSources sources{&settings, &records, &cylinders, &data, &log, nullptr, &image, &place};
    XMLWrapper doc;
    ReportDocument(sources, dcOnly).Build(doc);
    EXPECT_EQ(image.points, std::vector<std::size_t>{3});
    EXPECT_EQ(image.paths, QStringList{dir.filePath(QStringLiteral("r_files/FormationGasGraph.png"))});
    const testsupport::XmlDoc written = testsupport::ParseXml(doc.ToXml());
    EXPECT_EQ(QUrl(testsupport::XPathTexts(written.get(), "/Document/graph/path").value(0)).toLocalFile(), image.paths.value(0));

    // Without results there is no graph.
    sources.calcData = nullptr;
    XMLWrapper none;
    ReportDocument(sources, dcOnly).Build(none);
    EXPECT_EQ(image.paths.size(), 1);
}
