#include <gtest/gtest.h>

#include "data/ChromatogramList.h"
#include "support/ChromatogramFiles.h"
#include "support/FileBytes.h"
#include "support/WithoutFileRights.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

#include <climits>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::ChromatogramFile;
using testsupport::peak;
using testsupport::writeChromatogramFile;

static void PrintTo(const ListedCopy& copy, std::ostream* out)
{
    *out << copy.path.toStdString() << " = " << copy.listedPath.toStdString() << (copy.otherPeaks ? " other peaks" : "");
}

static void PrintTo(const ReplacedRun& run, std::ostream* out)
{
    *out << run.path.toStdString() << " held " << run.sample.toStdString() << " of " << run.analysisTime;
}

// The next folder listing fails with this error (0: none), as one on a network mount may.
static std::atomic<int> listingFault{0};
extern "C" dirent* readdir(DIR* dir)
{
    static const auto system = reinterpret_cast<dirent* (*)(DIR*)>(::dlsym(RTLD_NEXT, "readdir"));
    const int fault = listingFault.exchange(0);
    errno = fault ? fault : errno;
    return fault ? nullptr : system(dir);
}

namespace {

// Folders nested below top deeper than the longest path the system takes,
// made and removed relative to each other, as no path reaches the bottom.
struct FoldersBeyondTheLongestPath
{
    explicit FoldersBeyondTheLongestPath(const QString& top) : fds{::open(QFile::encodeName(top).constData(), O_DIRECTORY)}
    {
        while (fds.back() >= 0 && (fds.size() - 1) * name.size() < PATH_MAX)
            fds.push_back(::mkdirat(fds.back(), name, 0700) == 0 ? ::openat(fds.back(), name, O_DIRECTORY) : -1);
    }
    ~FoldersBeyondTheLongestPath()
    {
        for (auto fd = fds.rbegin(); fd != fds.rend(); ++fd)
            ::unlinkat(*fd, name, AT_REMOVEDIR), ::close(*fd);
    }
    const QByteArray name = QByteArray(250, 'd');
    std::vector<int> fds;
};

class ChromatogramListFiles : public ::testing::Test
{
protected:
    // A file with the given sample in the folder (created as needed), of a time of its own unless given.
    QString write(const QString& relativePath, const QString& sample = QStringLiteral("ГС скв. 7"),
                  bool calibration = false, std::optional<std::int64_t> time = {}, std::vector<float> samples = {},
                  const QString& method = QStringLiteral("ГАЗ-1"))
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        ChromatogramFile file;
        file.sample = sample;
        file.method = method;
        file.calibration = calibration;
        file.analysisTime = time.value_or(1700000000 + m_written++);
        file.samples = std::move(samples);
        EXPECT_TRUE(writeChromatogramFile(path, file));
        return path;
    }
    QString writeBytes(const QString& relativePath, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(relativePath);
        EXPECT_TRUE(testsupport::writeFileBytes(path, bytes));
        return path;
    }
    QStringList fileNames() const
    {
        QStringList names;
        for (const ChromatogramRecord& r : records)
            names.append(QFileInfo(r.path).fileName());
        return names;
    }

    QTemporaryDir m_dir;
    int m_written = 0;
    std::vector<ChromatogramRecord> records;
    MixtureList mixtures;
};

MixturePtr cylinder(int number, const QString& identifier, int type = MixtureKindGs)
{
    auto m = std::make_shared<MixtureData>();
    m->number = number;
    m->name = QStringLiteral("Баллон %1").arg(number);
    m->identifier = identifier;
    m->type = type;
    return m;
}

ChromatogramRecord inMemory(const QString& path, std::int64_t time, MixturePtr mixture = nullptr)
{
    ChromatogramRecord r;
    r.path = path;
    r.analysisTime = time;
    r.mixture = std::move(mixture);
    return r;
}

QStringList sortedPaths(std::vector<ChromatogramRecord> records)
{
    SortChromatograms(records);
    QStringList order;
    for (const ChromatogramRecord& r : records)
        order.append(r.path);
    return order;
}

} // namespace

TEST_F(ChromatogramListFiles, addsTheFilesPassportAndPeaksInRetentionOrder)
{
    ChromatogramFile file;
    file.sample = QStringLiteral("ГД скв. 12");
    file.method = QStringLiteral("ГАЗ-2");
    file.samplingSpot = QStringLiteral("Сепаратор 1");
    file.samplingPoint = QStringLiteral("Скв. 12");
    file.analysisTime = 1650000000;
    // Listed in the table late peak first.
    file.peaks = {peak(1.5, 2.5, 4.0, QStringLiteral("Этан")), peak(0.25, 1.25, 90.0, QStringLiteral("Метан"))};
    const QString path = m_dir.filePath(QStringLiteral("run.stg"));
    ASSERT_TRUE(writeChromatogramFile(path, file));

    ASSERT_EQ(AddChromatogram(records, path, mixtures), 0);
    ASSERT_EQ(records.size(), 1u);
    const ChromatogramRecord& r = records[0];
    EXPECT_EQ(r.number, 1);
    EXPECT_EQ(r.path, path);
    EXPECT_EQ(r.sample, QStringLiteral("ГД скв. 12"));
    EXPECT_EQ(r.method, QStringLiteral("ГАЗ-2"));
    EXPECT_EQ(r.samplingPoint, QStringLiteral("Скв. 12"));
    EXPECT_EQ(r.analysisTime, 1650000000);
    EXPECT_EQ(r.role, 0);
    EXPECT_FALSE(r.isCalibration);
    EXPECT_EQ(r.mixture, nullptr);
    EXPECT_EQ(r.signal.size(), 13);
    ASSERT_EQ(r.peaks.size(), 2u);
    EXPECT_EQ(r.peaks[0].name, QStringLiteral("Метан"));
    EXPECT_DOUBLE_EQ(r.peaks[0].area, 2.0);
    EXPECT_DOUBLE_EQ(r.peaks[0].retentionTime, 0.75);
    EXPECT_EQ(r.peaks[1].name, QStringLiteral("Этан"));
    EXPECT_DOUBLE_EQ(r.peaks[1].area, 1.25);

    // The next file's ordinal follows.
    EXPECT_EQ(AddChromatogram(records, write(QStringLiteral("second.stg")), mixtures), 1);
    EXPECT_EQ(records[1].number, 2);
}

TEST_F(ChromatogramListFiles, listedPathIsNotReadAgain)
{
    const QString path = write(QStringLiteral("a/x.stg"));
    ASSERT_EQ(AddChromatogram(records, path, mixtures), 0);
    ASSERT_TRUE(QFile::remove(path));
    // Another spelling of the same path; the file is gone, so reading it would fail.
    EXPECT_EQ(AddChromatogram(records, m_dir.filePath(QStringLiteral("a/./../a/x.stg")), mixtures), 0);
    EXPECT_EQ(records.size(), 1u);
}

// A folder reached through a link and by its own path: the path that comes
// first keeps the row, at the start, in "Добавить" and in "Пересчитать".
TEST_F(ChromatogramListFiles, fileReachedThroughALinkedFolderIsListedOnceUnderItsFirstPath)
{
    const QString real = write(QStringLiteral("real/g1.stg"), QStringLiteral("g1"));
    write(QStringLiteral("real/g2.stg"), QStringLiteral("g2"));
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("real")), m_dir.filePath(QStringLiteral("link"))));
    const QString linked = m_dir.filePath(QStringLiteral("link/g1.stg"));
    // The link first, then the real path first.
    for (const auto& [first, second] : {std::pair(linked, real), std::pair(real, linked)}) {
        SCOPED_TRACE(first.toStdString());
        records.clear();
        // The recent list names one path, the scan finds the other.
        const QString scanned = QFileInfo(second).path();
        EXPECT_EQ(AddChromatograms(records, QStringList{first} + CollectChromatogramPaths(scanned), mixtures), 2);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].path, first);
        EXPECT_EQ(records[1].path, scanned + QStringLiteral("/g2.stg"));
        EXPECT_EQ(AddChromatogram(records, second, mixtures), 0);
        EXPECT_EQ(RereadChromatograms(records, mixtures), 0);
    }

    // A listed file turned into a link to another listed one since: the
    // re-read keeps the row above.
    const QString other = write(QStringLiteral("other.stg"), QStringLiteral("other"));
    ASSERT_EQ(AddChromatogram(records, other, mixtures), 2);
    ASSERT_TRUE(QFile::link(other, m_dir.filePath(QStringLiteral("other-link.stg"))));
    EXPECT_EQ(FindChromatogram(records, m_dir.filePath(QStringLiteral("other-link.stg"))), 2);
    ASSERT_TRUE(QFile::remove(other));
    ASSERT_TRUE(QFile::link(real, other));
    ListReading reading;
    EXPECT_EQ(RereadChromatograms(records, mixtures, {}, &reading), 1);
    EXPECT_TRUE(reading.unread.empty() && reading.copies.empty());
    EXPECT_EQ(fileNames(), QStringList({"g1.stg", "g2.stg"}));
}

// A row's identity is the file's when it was read: a run moved into a dated
// folder takes its new path in its own row, and a new file given a deleted
// run's inode is another file.
TEST_F(ChromatogramListFiles, fileThatTookAListedRowsIdentityAtAnotherPathIsAdded)
{
    const QString listed = write(QStringLiteral("a.stg"), QStringLiteral("a"));
    ASSERT_EQ(AddChromatograms(records, {listed, write(QStringLiteral("c.stg"), QStringLiteral("c"))}, mixtures), 2);
    const QString moved = m_dir.filePath(QStringLiteral("07.12.2026/a.stg"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("07.12.2026") && QFile::rename(listed, moved));
    EXPECT_EQ(FindChromatogram(records, moved), -1);
    EXPECT_EQ(AddChromatograms(records, {moved}, mixtures), 1);
    ASSERT_EQ(records.size(), 2u); // not a second row counting the run again
    EXPECT_EQ(records[0].path + " " + QString::number(records[0].number), moved + " 1");
    EXPECT_EQ(RereadChromatograms(records, mixtures), 0);
    records.pop_back();

    // Deleted, then a new run written that the file system gave the deleted one's inode.
    ASSERT_TRUE(QFile::remove(moved));
    const QString next = write(QStringLiteral("b.stg"), QStringLiteral("b"));
    records[0].identity = ReadFileIdentity(next);
    EXPECT_EQ(FindChromatogram(records, next), -1);
    EXPECT_EQ(AddChromatogram(records, next, mixtures), 1);

    // Written over in place by another run, the listed file is the same file
    // still but holds the run no more: a copy of the run takes the row.
    records.clear();
    const QString kept = write(QStringLiteral("d.stg"), QStringLiteral("d")), copy = m_dir.filePath(QStringLiteral("d-copy.stg"));
    ASSERT_TRUE(QFile::copy(kept, copy));
    ASSERT_EQ(AddChromatogram(records, kept, mixtures), 0);
    const FileIdentity before = ReadFileIdentity(kept);
    ASSERT_TRUE(testsupport::writeFileBytes(kept, testsupport::readFileBytes(next)) && SameFile(ReadFileIdentity(kept), before));
    ListReading reading;
    EXPECT_EQ(AddChromatograms(records, {copy}, mixtures, {}, &reading), 1);
    EXPECT_TRUE(reading.copies.empty());
    EXPECT_EQ(fileNames(), QStringList{"d-copy.stg"});
}

// One injection is one row, whichever way its copies come: the start's scan,
// "Добавить" of a folder of copies or of one, two copies in one "Добавить".
TEST_F(ChromatogramListFiles, copyOfAListedRunIsLeftOutAndNamedWithBothPaths)
{
    const QString run = write(QStringLiteral("runs/a.stg"), QStringLiteral("a"));
    write(QStringLiteral("runs/b.stg"), QStringLiteral("b"));
    const QString copy = m_dir.filePath(QStringLiteral("copies/a.stg")), copy2 = m_dir.filePath(QStringLiteral("copies/a2.stg"));
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("copies"))) && QFile::copy(run, copy) && QFile::copy(run, copy2));
    // The same injection worked up again and saved under another name: another peak table.
    ChromatogramFile reworked;
    reworked.sample = QStringLiteral("a");
    reworked.method = QStringLiteral("ГАЗ-1");
    reworked.analysisTime = 1700000000;
    reworked.peaks = {peak(0.25, 1.25, 90.0, QStringLiteral("Метан"))};
    const QString again = m_dir.filePath(QStringLiteral("copies/a-again.stg"));
    ASSERT_TRUE(writeChromatogramFile(again, reworked));
    ListReading reading;
    EXPECT_EQ(AddChromatograms(records, QStringList{run} + CollectChromatogramPaths(m_dir.path()), mixtures, {}, &reading), 2);
    EXPECT_EQ(fileNames(), QStringList({"a.stg", "b.stg"}));
    const ListedCopies both = {{again, run, true}, {copy, run}, {copy2, run}};
    EXPECT_EQ(reading.copies, both);
    EXPECT_EQ(AddChromatograms(records, {again, copy, copy2}, mixtures, {}, &(reading = {})), 0);
    EXPECT_EQ(reading.copies, both);
    EXPECT_EQ(AddChromatogram(records, copy2, mixtures), 0);

    records.clear();
    EXPECT_EQ(AddChromatograms(records, {copy, copy2}, mixtures, {}, &(reading = {})), 1);
    EXPECT_EQ(reading.copies, ListedCopies({{copy2, copy}}));
}

// The listed path names a file all along: the moved run, not a new run
// written under its name, is the row's. Chosen, the new run is a row of its
// own; chosen first, it takes the row and the run that left is named.
TEST_F(ChromatogramListFiles, runMovedWhileANewRunTookItsNameTakesTheNewPathInItsOwnRow)
{
    const QString old = m_dir.filePath(QStringLiteral("runs/a.stg")), moved = m_dir.filePath(QStringLiteral("runs/sub/a.stg"));
    ListReading reading;
    for (const bool nameFirst : {true, false}) {
        SCOPED_TRACE(nameFirst);
        records.clear();
        QDir(m_dir.filePath(QStringLiteral("runs"))).removeRecursively();
        write(QStringLiteral("runs/a.stg"), QStringLiteral("a"), false, 1700000000);
        ASSERT_EQ(AddChromatograms(records, {old, write(QStringLiteral("runs/c.stg"), QStringLiteral("c"))}, mixtures), 2);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(moved).path()) && QFile::rename(old, moved));
        write(QStringLiteral("runs/a.stg"), QStringLiteral("a"), false, 1700000900); // re-injected: a time of its own
        EXPECT_EQ(FindChromatogram(records, moved), -1); // the listed path names another file now
        EXPECT_EQ(AddChromatograms(records, nameFirst ? QStringList{old, moved} : QStringList{moved, old}, mixtures, {},
                                   &(reading = {})), 2);
        QStringList rows;
        for (const ChromatogramRecord& r : records)
            rows.append(QStringLiteral("%1 %2 %3 %4").arg(r.number).arg(QFileInfo(r.path).fileName(), r.sample).arg(r.analysisTime));
        const QString newRun = "a.stg a 1700000900", movedRun = "a.stg a 1700000000";
        EXPECT_EQ(rows, QStringList({"1 " + (nameFirst ? newRun : movedRun), "2 c.stg c " + QString::number(records[1].analysisTime),
                                     "3 " + (nameFirst ? movedRun : newRun)}));
        EXPECT_EQ(records[0].path, nameFirst ? old : moved);
        std::vector<ReplacedRun> replaced;
        if (nameFirst)
            replaced.push_back({old, QStringLiteral("a"), 1700000000});
        EXPECT_EQ(reading.replaced, replaced);
        EXPECT_TRUE(reading.copies.empty());
    }

    // A copy of the run written under the row's path after a move: the path still holds the run.
    const QString again = m_dir.filePath(QStringLiteral("runs/sub/b.stg"));
    ASSERT_TRUE(QFile::rename(moved, again) && QFile::copy(again, moved));
    EXPECT_EQ(AddChromatograms(records, {again}, mixtures, {}, &(reading = {})), 0);
    EXPECT_EQ(reading.copies, ListedCopies({{again, moved}}));
}

// A re-injection has its own time; runs without a time differ by their signals.
TEST_F(ChromatogramListFiles, reinjectionAndTimelessRunsOfAnotherSignalAreRowsOfTheirOwn)
{
    write(QStringLiteral("r1.stg"), QStringLiteral("ГС"), false, 1700000000);
    write(QStringLiteral("r2.stg"), QStringLiteral("ГС"), false, 1700000600);
    std::vector<float> signal(200, 1.0f), other = signal;
    other[1] = 2.0f; // one sample apart, one a print of a few samples may pass over
    const QString timeless = write(QStringLiteral("t1.stg"), QStringLiteral("ГС"), false, 0, signal);
    write(QStringLiteral("t2.stg"), QStringLiteral("ГС"), false, 0, other);
    const QString same = write(QStringLiteral("t3.stg"), QStringLiteral("ГС"), false, 0, signal);
    // Apart beyond the first quarter and between the samples a print takes.
    other = signal;
    other[199] = 2.0f;
    write(QStringLiteral("t4.stg"), QStringLiteral("ГС"), false, 0, other);
    // One injection worked up by two methods.
    write(QStringLiteral("t5.stg"), QStringLiteral("ГС"), false, 0, signal, QStringLiteral("ГАЗ-2"));
    ListReading reading;
    EXPECT_EQ(AddChromatograms(records, CollectChromatogramPaths(m_dir.path()), mixtures, {}, &reading), 6);
    EXPECT_EQ(fileNames(), QStringList({"r1.stg", "r2.stg", "t1.stg", "t2.stg", "t4.stg", "t5.stg"}));
    EXPECT_EQ(reading.copies, ListedCopies({{same, timeless}}));
}

TEST_F(ChromatogramListFiles, pathsThatDifferInLetterCaseAreDifferentFiles)
{
    ASSERT_EQ(AddChromatogram(records, write(QStringLiteral("a.stg"), QStringLiteral("первая")), mixtures), 0);
    ASSERT_EQ(AddChromatogram(records, write(QStringLiteral("A.stg"), QStringLiteral("вторая")), mixtures), 1);
    EXPECT_EQ(records[1].sample, QStringLiteral("вторая"));
}

TEST_F(ChromatogramListFiles, unreadableFileAddsNothing)
{
    const QByteArray bytes = testsupport::readFileBytes(write(QStringLiteral("good.stg")));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(AddChromatogram(records, writeBytes(QStringLiteral("text.stg"), "not a chromatogram"), mixtures), -1);
    EXPECT_EQ(AddChromatogram(records, writeBytes(QStringLiteral("cut.stg"), bytes.left(bytes.size() / 2)), mixtures),
              -1);
    EXPECT_EQ(AddChromatogram(records, m_dir.filePath(QStringLiteral("missing.stg")), mixtures), -1);
    EXPECT_TRUE(records.empty());
}

TEST_F(ChromatogramListFiles, calibrationRunTakesTheFirstCylinderNamedInItsSample)
{
    mixtures = {cylinder(1, QStringLiteral("баллон-9")), cylinder(2, QStringLiteral("баллон-17")),
                cylinder(3, QStringLiteral("БАЛЛОН-17"))};
    ASSERT_EQ(AddChromatogram(records, write(QStringLiteral("k.stg"), QStringLiteral("Калибровка Баллон-17"), true),
                              mixtures),
              0);
    EXPECT_TRUE(records[0].isCalibration);
    ASSERT_NE(records[0].mixture, nullptr);
    EXPECT_EQ(records[0].mixture->number, 2);

    // An analysis is never matched, whatever its sample says.
    ASSERT_EQ(AddChromatogram(records, write(QStringLiteral("g.stg"), QStringLiteral("Баллон-17"), false), mixtures),
              1);
    EXPECT_EQ(records[1].mixture, nullptr);

    // A calibration run that names no cylinder keeps none.
    ASSERT_EQ(AddChromatogram(records, write(QStringLiteral("n.stg"), QStringLiteral("Калибровка"), true), mixtures),
              2);
    EXPECT_TRUE(records[2].isCalibration);
    EXPECT_EQ(records[2].mixture, nullptr);
}

TEST_F(ChromatogramListFiles, removingRowsTwoAndFiveOfFiveKeepsTheOthersRenumbered)
{
    for (int i = 1; i <= 5; ++i)
        ASSERT_GE(AddChromatogram(records, write(QStringLiteral("f%1.stg").arg(i)), mixtures), 0);

    // Any order, a duplicate and positions out of range.
    EXPECT_EQ(RemoveChromatograms(records, {4, 1, 4, -1, 9}), 2);
    EXPECT_EQ(fileNames(), QStringList({"f1.stg", "f3.stg", "f4.stg"}));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].number, 1);
    EXPECT_EQ(records[1].number, 2);
    EXPECT_EQ(records[2].number, 3);
    EXPECT_EQ(RemoveChromatograms(records, {}), 0);
}

TEST(ChromatogramListSort, runsWithoutCylinderComeFirstThenEachCylinderInTimeOrder)
{
    const MixturePtr two = cylinder(2, QStringLiteral("x"));
    const MixturePtr one = cylinder(1, QStringLiteral("y"));
    std::vector<ChromatogramRecord> records = {
        inMemory("k2-late", 50, two), inMemory("a-late", 300), inMemory("k1", 10, one),
        inMemory("a-tie-first", 200), inMemory("k2-early", 5, two), inMemory("a-early", 100),
        inMemory("a-tie-second", 200),
    };
    const QStringList expected = {"a-early", "a-tie-first", "a-tie-second", "a-late", "k1", "k2-early", "k2-late"};
    EXPECT_EQ(sortedPaths(records), expected);
    std::reverse(records.begin(), records.end()); // runs of one time go by path, not by the order added
    EXPECT_EQ(sortedPaths(records), expected);
}

TEST_F(ChromatogramListFiles, scanWalksSubfoldersButDatedAndHiddenOnesNamesWhatItCannotOpenAndSkipsUnreadableFiles)
{
    // The configured folder's own name may hold a dot.
    const QString root = m_dir.filePath(QStringLiteral("run.2024"));
    write(QStringLiteral("run.2024/a.stg"), QStringLiteral("a"));
    write(QStringLiteral("run.2024/sub/b.STG"), QStringLiteral("b"));
    write(QStringLiteral("run.2024/sub/deeper/c.stg"), QStringLiteral("c"));
    write(QStringLiteral("run.2024/12.03.2024/d.stg"), QStringLiteral("d"));
    write(QStringLiteral("run.2024/скв. 1205/w.stg"), QStringLiteral("w"));
    write(QStringLiteral("run.2024/.hidden/h.stg"), QStringLiteral("h"));
    write(QStringLiteral("run.2024/sub/e.stg.bak"), QStringLiteral("e"));
    writeBytes(QStringLiteral("run.2024/sub/broken.stg"), "garbage");
    writeBytes(QStringLiteral("run.2024/notes.txt"), "text");
    // A link back to the top must not make the scan endless; one out of the tree is followed.
    ASSERT_TRUE(QFile::link(root, m_dir.filePath(QStringLiteral("run.2024/sub/deeper/loop"))));
    write(QStringLiteral("outside/f.stg"), QStringLiteral("f"));
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("outside")), m_dir.filePath(QStringLiteral("run.2024/linked"))));
    // Names from another system: named, with the reason; a file of another kind is not.
    // A name may mix UTF-8 letters with such bytes.
    const testsupport::Cp1251Entry file(root, QStringLiteral("ГС_анализ_2.stg"), false),
        folder(root, QStringLiteral("Архив"), true), notes(root, QStringLiteral("заметки.txt"), false),
        mixed(root, QStringLiteral("Проба_").toUtf8() + "\xC3\xD1.stg", false);
    ASSERT_FALSE(file.path().isEmpty() || folder.path().isEmpty() || notes.path().isEmpty() || mixed.path().isEmpty());
    // A folder below that may not be listed is named with the system's reason, so is one beyond the longest path.
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("run.2024/deep"))));
    const FoldersBeyondTheLongestPath deep(m_dir.filePath(QStringLiteral("run.2024/deep")));
    ASSERT_GE(deep.fds.back(), 0);
    const QString locked = m_dir.filePath(QStringLiteral("run.2024/locked"));
    ASSERT_TRUE(QDir().mkpath(locked) && ::chmod(QFile::encodeName(locked).constData(), 0) == 0);

    // So is a configured one, but not one that is not there (a drive out today).
    // A configured path that is a file is named too, though the walk of its folder takes it for a file.
    UnreadChromatograms unread, configured;
    QStringList leftOut;
    testsupport::runWithoutFileRights([&] {
        ASSERT_TRUE(testsupport::accessRefused(QFile::encodeName(locked), R_OK));
        EXPECT_EQ(CollectChromatogramPaths(root, &unread, &leftOut).size(), 5);
        CollectChromatogramPaths(locked, &configured);
        CollectChromatogramPaths(m_dir.filePath(QStringLiteral("run.2024/notes.txt")), &configured);
        CollectChromatogramPaths(m_dir.filePath(QStringLiteral("absent")), &configured);
    });
    const auto named = [](const UnreadChromatograms& list) {
        QStringList texts;
        for (const UnreadChromatogram& u : list)
            texts.append((u.folder ? "folder " : "file ") + QString(u.path).replace(QRegularExpression("(/d{250})+$"), "/…") + ": " + u.reason);
        return texts;
    };
    EXPECT_EQ(named(configured), QStringList({"folder " + locked + ": " + qt_error_string(EACCES),
                                              "folder " + root + "/notes.txt: " + qt_error_string(ENOTDIR)}));
    EXPECT_EQ(named(unread), QStringList({"folder " + root + "/\\xC0\\xF0\\xF5\\xE8\\xE2: имя папки не в кодировке UTF-8, папку по нему не открыть",
                                          "file " + root + "/\\xC3\\xD1_\\xE0\\xED\\xE0\\xEB\\xE8\\xE7_2.stg: имя файла не в кодировке UTF-8, файл по нему не открыть",
                                          "folder " + root + "/deep/…: " + qt_error_string(ENAMETOOLONG),
                                          "folder " + locked + ": " + qt_error_string(EACCES),
                                          "file " + root + "/Проба_\\xC3\\xD1.stg: имя файла не в кодировке UTF-8, файл по нему не открыть"}));
    // The folders left out for a dot in their names are told, but a hidden one.
    EXPECT_EQ(leftOut, QStringList({root + "/12.03.2024", root + "/скв. 1205"}));

    EXPECT_EQ(ScanFolderForChromatograms(records, root, mixtures), 4);
    QStringList names = fileNames();
    names.sort();
    EXPECT_EQ(names, QStringList({"a.stg", "b.STG", "c.stg", "f.stg"}));

    // A second scan finds only listed files.
    EXPECT_EQ(ScanFolderForChromatograms(records, root, mixtures), 0);
    EXPECT_EQ(ScanFolderForChromatograms(records, m_dir.filePath(QStringLiteral("absent")), mixtures), 0);
    EXPECT_EQ(ScanFolderForChromatograms(records, QString(), mixtures), 0);

    // A listing cut short is not taken for a whole one.
    listingFault = EIO;
    EXPECT_TRUE(CollectChromatogramPaths(m_dir.filePath(QStringLiteral("outside")), &(unread = {})).isEmpty());
    EXPECT_EQ(named(unread), QStringList{"folder " + m_dir.filePath(QStringLiteral("outside")) + ": " + qt_error_string(EIO)});
}

TEST(ChromatogramListSort, manyRunsOfEqualTimeGoByPath)
{
    const MixturePtr one = cylinder(1, QStringLiteral("y"));
    std::vector<ChromatogramRecord> records;
    QStringList expected;
    for (int i = 0; i < 40; ++i) {
        const QString path = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        records.push_back(inMemory(path, 500, i % 2 ? one : nullptr));
        expected.append(path);
    }
    // Without cylinder (even numbers) first, each half in path order, not the order added.
    std::stable_partition(expected.begin(), expected.end(), [](const QString& p) { return p.toInt() % 2 == 0; });
    std::reverse(records.begin(), records.end());
    EXPECT_EQ(sortedPaths(records), expected);
}

TEST(ChromatogramListSort, cylinderNumbersNearTheTopOfTheRangeStillSortBehindRunsWithoutCylinder)
{
    // -1000 is 4294966296 taken as unsigned: plus 1000 it would wrap to 0 in 32 bits.
    const MixturePtr wrapping = cylinder(-1000, QStringLiteral("x"));
    const MixturePtr last = cylinder(-1, QStringLiteral("y"));
    const MixturePtr two = cylinder(2, QStringLiteral("z"));
    std::vector<ChromatogramRecord> records = {
        inMemory("k-last", 1, last), inMemory("k-wrap", 2, wrapping), inMemory("a", 500), inMemory("k2", 3, two),
    };
    EXPECT_EQ(sortedPaths(records), QStringList({"a", "k2", "k-wrap", "k-last"}));
}

TEST_F(ChromatogramListFiles, namedPipeIsSkippedWithoutWaitingForAWriter)
{
    const QString root = m_dir.filePath(QStringLiteral("pipes"));
    write(QStringLiteral("pipes/a.stg"), QStringLiteral("a"));
    const QString pipe = m_dir.filePath(QStringLiteral("pipes/p.stg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    // Whenever a reader waits on the pipe, this writer releases it and says
    // so; it stops when the calls under test have returned.
    std::atomic<bool> done{false};
    std::atomic<bool> readerWaited{false};
    std::thread writer([&] {
        const QByteArray name = QFile::encodeName(pipe);
        while (!done) {
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                readerWaited = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    const int added = ScanFolderForChromatograms(records, root, mixtures);
    const int addedPipe = AddChromatogram(records, pipe, mixtures);
    done = true;
    writer.join();

    EXPECT_FALSE(readerWaited);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(addedPipe, -1);
    EXPECT_EQ(fileNames(), QStringList({"a.stg"}));
}

TEST_F(ChromatogramListFiles, batchReadOnAllCoresKeepsThePathOrderAndSkipsListedAndUnreadableFiles)
{
    const MixturePtr one = cylinder(1, QStringLiteral("баллон-1"));
    mixtures = {one};
    QStringList paths;
    QStringList expected;
    for (int i = 0; i < 60; ++i) {
        const QString name = QStringLiteral("f%1.stg").arg(59 - i, 2, 10, QLatin1Char('0'));
        const bool calibration = i % 7 == 0;
        paths.append(write(name, calibration ? QStringLiteral("Баллон-1 к%1").arg(i) : QStringLiteral("проба %1").arg(i),
                           calibration, 1700000000 + i));
        expected.append(name);
    }
    ASSERT_EQ(AddChromatogram(records, paths[10], mixtures), 0);
    expected.removeAt(10);
    expected.prepend(QStringLiteral("f49.stg"));
    // Already listed, twice in the batch, unreadable, missing: each adds nothing.
    paths.insert(20, paths[5]);
    paths.insert(30, writeBytes(QStringLiteral("broken.stg"), "garbage"));
    paths.append(m_dir.filePath(QStringLiteral("absent.stg")));

    int reports = 0;
    ListReading reading;
    const int added = AddChromatograms(records, paths, mixtures, [&reports](int done, int total) {
        EXPECT_GE(done, 0);
        EXPECT_LE(done, total);
        ++reports;
        return true;
    }, &reading);
    const UnreadChromatograms& unread = reading.unread;
    EXPECT_EQ(added, 59);
    // Only the unreadable and the missing file failed, each named once with why.
    ASSERT_EQ(unread.size(), 2u);
    EXPECT_EQ(unread[0].path + ": " + unread[0].reason, paths[30] + ": это не файл хроматограммы");
    EXPECT_EQ(unread[1].path + ": " + unread[1].reason, paths.last() + ": файл не найден");
    EXPECT_GE(reports, 1);
    EXPECT_EQ(fileNames(), expected);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(records[i].mixture, records[i].isCalibration ? one : nullptr) << records[i].path.toStdString();
    }
}

TEST_F(ChromatogramListFiles, readingStoppedBeforeItBeginsAddsNothing)
{
    const QStringList paths = {write(QStringLiteral("a.stg")), write(QStringLiteral("b.stg"))};
    ListReading reading;
    EXPECT_EQ(AddChromatograms(records, paths, mixtures, [](int, int) { return false; }, &reading), 0);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(reading.leftUnread, paths);
    // A listed file among them is not one left unread: it stays listed; one chosen twice is read once.
    const QString listed = write(QStringLiteral("c.stg"));
    ASSERT_EQ(AddChromatogram(records, listed, mixtures), 0);
    EXPECT_EQ(AddChromatograms(records, QStringList{listed, paths[0]} + paths, mixtures, [](int, int) { return false; }, &reading), 0);
    EXPECT_EQ(reading.leftUnread, paths);
}

TEST_F(ChromatogramListFiles, rereadingTakesChangesDropsVanishedFilesAndRenumbers)
{
    const QStringList paths = {write(QStringLiteral("a.stg"), QStringLiteral("a")),
                               write(QStringLiteral("b.stg"), QStringLiteral("b")),
                               write(QStringLiteral("c.stg"), QStringLiteral("c"), true),
                               write(QStringLiteral("d.stg"), QStringLiteral("d"))};
    ASSERT_EQ(AddChromatograms(records, paths, mixtures), 4);
    ASSERT_TRUE(QFile::remove(paths[0]));
    write(QStringLiteral("b.stg"), QStringLiteral("b changed"));
    // Overwritten with a copy of the run above: that row keeps the run.
    ASSERT_TRUE(QFile::remove(paths[3]) && QFile::copy(paths[2], paths[3]));
    // The calibration run finds the cylinder added since.
    const MixturePtr one = cylinder(1, QStringLiteral("c"));
    mixtures = {one};

    ListReading reading;
    EXPECT_EQ(RereadChromatograms(records, mixtures, {}, &reading), 2);
    EXPECT_EQ(reading.copies, ListedCopies({{paths[3], paths[2]}}));
    // Each file that holds another run now names the run that left.
    EXPECT_EQ(reading.replaced, std::vector<ReplacedRun>({{paths[1], QStringLiteral("b"), 1700000001},
                                                          {paths[3], QStringLiteral("d"), 1700000003}}));
    ASSERT_EQ(reading.unread.size(), 1u);
    EXPECT_EQ(reading.unread[0].path + ": " + reading.unread[0].reason, paths[0] + ": файл не найден");
    ASSERT_EQ(fileNames(), QStringList({"b.stg", "c.stg"}));
    EXPECT_EQ(records[0].sample, QStringLiteral("b changed"));
    EXPECT_EQ(records[0].number, 1);
    EXPECT_EQ(records[1].number, 2);
    EXPECT_EQ(records[1].mixture, one);
}

TEST_F(ChromatogramListFiles, rereadingStoppedBeforeItBeginsKeepsEveryRecord)
{
    const QStringList paths = {write(QStringLiteral("a.stg"), QStringLiteral("a")),
                               write(QStringLiteral("b.stg"), QStringLiteral("b"))};
    ASSERT_EQ(AddChromatograms(records, paths, mixtures), 2);
    ASSERT_TRUE(QFile::remove(paths[0]));
    write(QStringLiteral("b.stg"), QStringLiteral("b changed"));

    EXPECT_EQ(RereadChromatograms(records, mixtures, [](int, int) { return false; }), 0);
    ASSERT_EQ(fileNames(), QStringList({"a.stg", "b.stg"}));
    EXPECT_EQ(records[1].sample, QStringLiteral("b"));
}

TEST_F(ChromatogramListFiles, batchesReadOneAfterAnotherGiveTheSameRecords)
{
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        ChromatogramFile file;
        file.sample = QStringLiteral("проба %1").arg(i);
        file.analysisTime = 1700000000 + i;
        file.peaks = {peak(1.5, 2.5, i, QStringLiteral("Этан")), peak(0.25, 1.25, 90.0, QStringLiteral("Метан"))};
        paths.append(m_dir.filePath(QStringLiteral("r%1.stg").arg(i)));
        ASSERT_TRUE(writeChromatogramFile(paths.back(), file));
    }
    ASSERT_EQ(AddChromatograms(records, paths, mixtures), 12);
    for (int round = 0; round < 25; ++round) {
        ASSERT_EQ(RereadChromatograms(records, mixtures, [](int, int) { return true; }), 0);
        ASSERT_EQ(records.size(), 12u);
        for (int i = 0; i < 12; ++i) {
            const ChromatogramRecord& r = records[static_cast<std::size_t>(i)];
            ASSERT_EQ(r.sample, QStringLiteral("проба %1").arg(i)) << "round " << round;
            ASSERT_EQ(r.number, i + 1);
            ASSERT_EQ(r.analysisTime, 1700000000 + i);
            ASSERT_EQ(r.signal.size(), 13);
            ASSERT_EQ(r.peaks.size(), 2u);
            ASSERT_DOUBLE_EQ(r.peaks[0].area, 2.0);
            ASSERT_DOUBLE_EQ(r.peaks[1].area, 1.25);
            ASSERT_EQ(r.peaks[1].concentration, i);
        }
    }
}

TEST_F(ChromatogramListFiles, rereadingStoppedMidwayKeepsTheRecordsOfFilesNotBegun)
{
    QStringList paths;
    for (int i = 0; i < 40; ++i)
        paths.append(write(QStringLiteral("s%1.stg").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("old %1").arg(i)));
    ASSERT_EQ(AddChromatograms(records, paths, mixtures), 40);
    for (int i = 0; i < 40; ++i)
        write(QStringLiteral("s%1.stg").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("new %1").arg(i));

    int reports = 0;
    QStringList leftOld;
    ListReading reading;
    EXPECT_EQ(RereadChromatograms(records, mixtures, [&reports](int, int) { return ++reports == 1; }, &reading), 0);
    const QStringList& leftUnread = reading.leftUnread;
    ASSERT_EQ(records.size(), 40u);
    int renewed = 0;
    for (int i = 0; i < 40; ++i) {
        const ChromatogramRecord& r = records[static_cast<std::size_t>(i)];
        EXPECT_EQ(QFileInfo(r.path).fileName(), QStringLiteral("s%1.stg").arg(i, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(r.number, i + 1);
        const bool isNew = r.sample == QStringLiteral("new %1").arg(i);
        EXPECT_TRUE(isNew || r.sample == QStringLiteral("old %1").arg(i)) << r.sample.toStdString();
        renewed += isNew ? 1 : 0;
        if (!isNew)
            leftOld.append(r.path);
    }
    EXPECT_EQ(leftUnread, leftOld);
    // The calling thread reads one file before it reports again; the stop
    // then ends the batch, so not every file is read anew.
    EXPECT_GE(renewed, 1);
    EXPECT_EQ(reports, 2);
}

TEST_F(ChromatogramListFiles, aReportThatFailsIsPassedOnWithNothingAdded)
{
    QStringList paths;
    for (int i = 0; i < 20; ++i)
        paths.append(write(QStringLiteral("t%1.stg").arg(i)));
    int calls = 0;
    EXPECT_THROW(AddChromatograms(records, paths, mixtures,
                                  [&calls](int, int) {
                                      if (++calls == 2)
                                          throw std::runtime_error("the dialog is gone");
                                      return true;
                                  }),
                 std::runtime_error);
    EXPECT_TRUE(records.empty());
    // The pool's threads are free for the next batch.
    EXPECT_EQ(AddChromatograms(records, paths, mixtures), 20);
}

TEST_F(ChromatogramListFiles, readingEndsWhileEveryThreadOfThePoolIsBusy)
{
    QStringList paths;
    for (int i = 0; i < 16; ++i)
        paths.append(write(QStringLiteral("b%1.stg").arg(i, 2, 10, QLatin1Char('0'))));
    QThreadPool* pool = QThreadPool::globalInstance();
    std::atomic<int> busy{0};
    std::atomic<bool> release{false};
    for (int t = 0; t < pool->maxThreadCount(); ++t) {
        pool->start([&] {
            ++busy;
            while (!release.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (busy.load() < pool->maxThreadCount() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    EXPECT_EQ(AddChromatograms(records, paths, mixtures, [](int, int) { return true; }), 16);
    release = true;
    pool->waitForDone();
    ASSERT_EQ(records.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(QFileInfo(records[static_cast<std::size_t>(i)].path).fileName(),
                  QStringLiteral("b%1.stg").arg(i, 2, 10, QLatin1Char('0')));
}
