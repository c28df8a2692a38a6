#include <gtest/gtest.h>

#include "report/ReportGraph.h"
#include "report/ReportTransform.h"
#include "support/FileBytes.h"
#include "support/FakeGraphImage.h"
#include "support/WithoutFileRights.h"
#include "support/QtPrint.h"
#include "support/XmlTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>
#endif

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
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
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
    beside.Discard();  // what was committed stays
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

// A viewed report's graph folder that cannot be made names the temporary
// folder first, then the reason.
TEST_F(ReportGraphTest, aGraphFolderNotMadeNamesTheTemporaryFolderThenWhy)
{
    const QString absent = root.filePath(QStringLiteral("absent"));
    qputenv("TMPDIR", QFile::encodeName(absent));
    ReportGraphPlace place;
    EXPECT_EQ(Write(Curve(3), &image, place), QString());
    EXPECT_EQ(place.Error(), QStringLiteral("папка для графика не создаётся в %1: %2")
                                 .arg(QDir::toNativeSeparators(absent), qt_error_string(ENOENT)));
}

// Saved over a report that had a graph, one without a curve takes the old
// graph away once committed, and its folder too when nothing else is in it;
// discarded, it brings the old graph back.
TEST_F(ReportGraphTest, aReportWithoutAGraphTakesAnOldOneAway)
{
    const QStringList names = {"a", "b", "d", "e", "f"};
    for (const QString& name : names)
        ASSERT_TRUE(QDir(saved()).mkdir(name + QStringLiteral("_files")));
    for (const QString& file : {QStringLiteral("a_files/FormationGasGraph.png"), QStringLiteral("a_files/keep.txt"),
                                QStringLiteral("b_files/FormationGasGraph.png"), QStringLiteral("d_files/FormationGasGraph.png")}) {
        ASSERT_TRUE(testsupport::writeFileBytes(saved(file), "old graph"));
    }
    // A folder of the graph's name is no graph: it stays.
    ASSERT_TRUE(QDir(saved()).mkdir(QStringLiteral("e_files/FormationGasGraph.png")));
    ASSERT_TRUE(QFile::link(saved(QStringLiteral("nowhere")), saved(QStringLiteral("f_files/FormationGasGraph.png"))));
    for (const QString& name : names) {
        ReportGraphPlace place(saved(name + QStringLiteral(".html")));
        const QStringList before = Below(saved());
        EXPECT_EQ(Write(Curve(0), &image, place), QString());
        EXPECT_EQ(Below(saved()), before);  // nothing goes before Install
        ASSERT_TRUE(place.Install());
        name == QLatin1String("d") ? place.Discard() : place.Commit();
    }
    EXPECT_EQ(Below(saved()), QStringList({"a_files", "a_files/keep.txt", "d_files", "d_files/FormationGasGraph.png",
                                           "e_files", "e_files/FormationGasGraph.png"}));
    EXPECT_EQ(testsupport::readFileBytes(saved(QStringLiteral("d_files/FormationGasGraph.png"))), "old graph");

    // An old graph that may not be taken away, replaced or kept aside fails
    // the save with the system's reason, and the old report stays whole: a
    // read-only folder, a shared one whose sticky bit keeps another user's
    // graph, and, where links are refused, one that may not be read or is a
    // pipe. The system refuses a link to another user's graph too
    // (fs.protected_hardlinks): its copy comes back when the page then fails.
    // Another user's files are made only as root.
    enum Setup { ReadOnlyFolder, SharedFolder, OthersGraph, UnreadableGraph, PipeAsGraph };
    const QString refused = "изображение графика %1 не ставится на место: ";
    const struct {
        const char* what;
        Setup setup;
        int points;
        QString reason;
    } refusals[] = {
        {"read-only", ReadOnlyFolder, 0, "прежнее изображение графика %1 не убирается: " + qt_error_string(EACCES)},
        {"shared, without a graph", SharedFolder, 0, "прежнее изображение графика %1 не убирается: " + qt_error_string(EPERM)},
        {"shared, with a graph", SharedFolder, 3, refused + qt_error_string(EPERM)},
        {"another user's graph, the page refused", OthersGraph, 3, qt_error_string(EISDIR)},
        {"an unreadable old graph, links refused", UnreadableGraph, 3, refused + qt_error_string(EACCES)},
        {"a pipe as the old graph, links refused", PipeAsGraph, 3, refused + qt_error_string(EPERM)},
    };
    const auto links = qScopeGuard([] { SetHardLinksRefused(false); });
    const auto isPipe = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path), &st) == 0 && S_ISFIFO(st.st_mode);
    };
    const uid_t other = ::geteuid() == 65534 ? 65533 : 65534;
    int skipped = 0, linked = 0, n = 0;
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.what);
        const QString page = saved(QStringLiteral("c%1.html").arg(++n));
        const QString folder = saved(QStringLiteral("c%1_files").arg(n));
        const QString graph = folder + QStringLiteral("/FormationGasGraph.png");
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_TRUE(c.setup == OthersGraph ? QDir().mkdir(page) : testsupport::writeFileBytes(page, "old page"));
        ASSERT_TRUE(c.setup == PipeAsGraph ? ::mkfifo(QFile::encodeName(graph), 0644) == 0
                                           : testsupport::writeFileBytes(graph, "old graph"));
        const QByteArray name = QFile::encodeName(folder);
        const bool others = c.setup == SharedFolder || c.setup == OthersGraph;
        if (others && ::chown(QFile::encodeName(graph), other, other) != 0) {
            ++skipped;
            continue;
        }
        if (c.setup == SharedFolder) {
            ASSERT_TRUE(::chown(name, other, other) == 0 && ::chmod(name, 01777) == 0);
        } else if (c.setup == ReadOnlyFolder) {
            ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (c.setup == UnreadableGraph) {
            ASSERT_TRUE(QFile::setPermissions(graph, QFile::WriteOwner));  // the new graph gets them too
        }
        SetHardLinksRefused(c.setup == UnreadableGraph || c.setup == PipeAsGraph);
        const QStringList before = Below(saved());
        bool bound = false, ok = true, linkAllowed = false;
        QString error;
        testsupport::runWithoutFileRights([&] {
            // Another user's graph is linked aside only where the system allows it (fs.protected_hardlinks off).
            const QByteArray probe = name + "/probe";
            if (c.setup == OthersGraph && ::link(QFile::encodeName(graph), probe) == 0) {
                linkAllowed = ::unlink(probe) == 0;
                return;
            }
            bound = c.setup == ReadOnlyFolder    ? testsupport::accessRefused(name, W_OK)
                    : c.setup == UnreadableGraph ? testsupport::accessRefused(QFile::encodeName(graph), R_OK)
                                                 : true;
            ReportGraphPlace place(page);
            Write(Curve(c.points), &image, place);
            ok = WriteSavedReport(page, "new page", place, &error);
        });
        if (linkAllowed) {
            ++linked;
            continue;
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (c.setup == UnreadableGraph)
            QFile::setPermissions(graph, QFile::ReadOwner | QFile::WriteOwner);
        EXPECT_TRUE(bound);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, QString(c.reason).replace(QStringLiteral("%1"), QDir::toNativeSeparators(graph)));
        EXPECT_TRUE(c.setup == OthersGraph ? QFileInfo(page).isDir()
                                           : testsupport::readFileBytes(page) == QByteArray("old page"));
        EXPECT_TRUE(c.setup == PipeAsGraph ? isPipe(graph)
                                           : testsupport::readFileBytes(graph) == QByteArray("old graph"));
        EXPECT_EQ(Below(saved()), before);
    }
    if (skipped || linked)
        GTEST_SKIP() << skipped << " refusals need another user's files, which only root can make; " << linked
                     << " need links to them refused, which this system allows";
}

// Where the folder named from a page's name less its ending holds another
// page's graph, the page's whole name names its folder: a save replaces or
// removes only a graph its own page shows.
TEST_F(ReportGraphTest, aSaveLeavesTheGraphAnotherPageShows)
{
    // A page shows its graph by the address the document gives; a graph holds its page's name.
    const auto save = [&](const QString& name, int points) {
        image.bytes = name.toUtf8();
        ReportGraphPlace place(saved(name));
        const QByteArray shown = Write(Curve(points), &image, place).toUtf8();
        return WriteSavedReport(saved(name), shown, place);
    };
    const auto graph = [&](const QString& folder) { return testsupport::readFileBytes(saved(folder + "/FormationGasGraph.png")); };
    EXPECT_TRUE(save("Отчёт.html", 3) && save("Отчёт.htm", 3) && save("Отчёт.HTM", 0));
    EXPECT_EQ(graph("Отчёт_files"), "Отчёт.html");
    EXPECT_EQ(graph("Отчёт.htm_files"), "Отчёт.htm");
    // Saved again under its own name, a page keeps its folder, or takes it away without a graph.
    EXPECT_TRUE(save("Отчёт.html", 3) && save("Отчёт.htm", 0));
    EXPECT_EQ(Below(saved()), QStringList({"Отчёт.HTM", "Отчёт.htm", "Отчёт.html", "Отчёт_files",
                                           "Отчёт_files/FormationGasGraph.png"}));

    // Both folders a page may take show other pages' graphs: its graph is
    // refused, and without one it takes nothing away.
    EXPECT_TRUE(save("Б.htm", 3) && save("Б.html.html", 3));
    ReportGraphPlace place(saved(QStringLiteral("Б.html")));
    EXPECT_EQ(Write(Curve(3), &image, place), QString());
    EXPECT_EQ(place.Error(), QStringLiteral("папки графика %1 и %2 заняты графиками других отчётов")
                                 .arg(saved(QStringLiteral("Б_files")), saved(QStringLiteral("Б.html_files"))));
    EXPECT_TRUE(save("Б.html", 0));
    EXPECT_EQ(graph("Б_files"), "Б.htm");
    EXPECT_EQ(graph("Б.html_files"), "Б.html.html");

    // An earlier build named the folder from the name cut at its last dot and
    // kept a dotted name without ".html": such a page's graph stays too, and
    // its address is found past the first piece read of a long page.
    const QByteArray address = "%D0%9F%D0%93%20%D1%81%D0%BA%D0%B2_files/FormationGasGraph.png";
    ASSERT_TRUE(QDir().mkpath(saved(QStringLiteral("ПГ скв_files"))));
    ASSERT_TRUE(testsupport::writeFileBytes(saved(QStringLiteral("ПГ скв. 1205")), QByteArray(65530, ' ') + address));
    ASSERT_TRUE(testsupport::writeFileBytes(saved(QStringLiteral("ПГ скв_files/FormationGasGraph.png")), "ПГ скв. 1205"));
    EXPECT_TRUE(save("ПГ скв.html", 3) && save("ПГ скв.html", 0));
    EXPECT_EQ(graph("ПГ скв_files"), "ПГ скв. 1205");

    // A pipe named like a page is no page: the save neither waits on it nor leaves it the folder.
    ASSERT_EQ(mkfifo(QFile::encodeName(saved(QStringLiteral("Ф.html"))).constData(), 0600), 0);
    EXPECT_TRUE(save("Ф.htm", 3));
    EXPECT_EQ(graph("Ф_files"), "Ф.htm");
}

#ifdef __linux__
namespace {

// Whether a system call changes names in a folder: a step of a save.
bool namesStep(unsigned long long nr)
{
    for (long step : {
#ifdef SYS_rename
             long(SYS_rename), long(SYS_link), long(SYS_unlink), long(SYS_rmdir), long(SYS_mkdir),
#endif
             long(SYS_renameat), long(SYS_renameat2), long(SYS_linkat), long(SYS_unlinkat), long(SYS_mkdirat)})
        if (nr == static_cast<unsigned long long>(step))
            return true;
    return false;
}

// Runs work in a child that is killed as it enters its step-th step. The
// result: 1 killed there, 0 finished before it, -1 not traceable here.
template <typename Work>
int KilledAtStep(int step, Work work)
{
    const pid_t child = fork();
    if (child == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            _exit(77);
        raise(SIGSTOP);
        work();
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return waitpid(child, &status, 0), -1;
    ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int seen = 0;
    int pass = 0;
    for (;;) {
        ptrace(PTRACE_SYSCALL, child, nullptr, pass);
        pass = 0;
        if (waitpid(child, &status, 0) != child || WIFEXITED(status) || WIFSIGNALED(status))
            return WIFEXITED(status) && WEXITSTATUS(status) == 77 ? -1 : 0;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            pass = WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info);
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY && namesStep(info.entry.nr) && ++seen == step) {
            // Stopped on entry, the call never runs.
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return 1;
        }
    }
}

} // namespace

// A save over an old report, killed at each step, also where hard links are
// refused, and one whose page fails after its graph was put in place (a
// folder of the page's name), undone: the graph's name always holds a whole
// graph, and a new page never stands beside the old graph.
TEST_F(ReportGraphTest, aSaveKilledAtAnyStepLeavesAWholeGraph)
{
    const QString page = saved(QStringLiteral("r.html"));
    const QString graph = saved(QStringLiteral("r_files/FormationGasGraph.png"));
    image.bytes = "new graph";
    const auto links = qScopeGuard([] { SetHardLinksRefused(false); });
    for (int run = 0, step = 1; run < 4; ++step) {
        ASSERT_LT(step, 40);
        const bool refused = run % 2, pageFails = run / 2;
        SCOPED_TRACE(testing::Message() << "step " << step << (refused ? ", hard links refused" : "")
                                        << (pageFails ? ", the page refused" : ""));
        SetHardLinksRefused(refused);
        ASSERT_TRUE(QDir(saved()).removeRecursively() && QDir().mkpath(saved(QStringLiteral("r_files"))));
        ASSERT_TRUE(pageFails ? QDir().mkdir(page) : testsupport::writeFileBytes(page, "old page"));
        ASSERT_TRUE(testsupport::writeFileBytes(graph, "old graph"));
        const int killed = KilledAtStep(step, [&] {
            ReportGraphPlace place(page);
            Write(Curve(3), &image, place);
            WriteSavedReport(page, "new page", place);
        });
        if (killed < 0)
            GTEST_SKIP() << "no tracing of a child here";
        const QByteArray shown = testsupport::readFileBytes(graph);
        EXPECT_TRUE(shown == "old graph" || shown == "new graph") << shown.constData();
        const QByteArray text = testsupport::readFileBytes(page);
        EXPECT_TRUE(pageFails ? QFileInfo(page).isDir() : text == "old page" || (text == "new page" && shown == "new graph"))
            << text.constData();
        if (!killed) {
            EXPECT_GT(step, 3);
            EXPECT_TRUE(!pageFails || shown == "old graph");
            EXPECT_EQ(Below(saved()), QStringList({"r.html", "r_files", "r_files/FormationGasGraph.png"}));
            ++run;
            step = 0;
        }
    }
}
#endif
