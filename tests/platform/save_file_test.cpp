#include <gtest/gtest.h>

#include "platform/SaveFile.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/QtPrint.h"
#include "support/WithoutFileRights.h"

#include <QDir>
#include <QProcess>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

using testsupport::FileSizeLimit;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

QByteArray pattern(qsizetype size, char seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i % 251);
    return bytes;
}

} // namespace

// Each write meets a disk with room for `limit` bytes per file; the old file
// must come through every failure byte for byte, with nothing left beside it.
// A staged file put in place where hard links are refused copies the old one
// aside first, which must fit too.
TEST(SaveFile, writeAndCopyAreWholeOrNotAtAll)
{
    enum How { Write, Copy, CopyUnreadable, StagedWithoutLinks };
    struct Case { const char* name; qsizetype oldSize; qsizetype newSize; rlim_t limit; How how; };
    const Case cases[] = {
        {"fits", 1600, 1700, 4096, Write},
        {"cut inside the write buffer", 1600, 1700, 1000, Write},
        {"no room at all", 1600, 10, 0, Write},
        {"larger than the write buffer", 100, 40000, 20000, Write},
        {"no old file", -1, 1700, 1000, Write},
        {"copy that fits", 1600, 300000, 400000, Copy},
        {"copy cut after some pieces", 1600, 300000, 150000, Copy},
        {"copy of a source that fails to read", 1600, 0, 400000, CopyUnreadable},
        {"staged, the old file copied aside", 300000, 10, 400000, StagedWithoutLinks},
        {"staged, no room for the old file's copy", 300000, 10, 150000, StagedWithoutLinks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target"));
        const QString source = dir.filePath(QStringLiteral("source"));
        const QByteArray old = pattern(std::max<qsizetype>(c.oldSize, 0), 'o');
        const QByteArray fresh = pattern(c.newSize, 'n');
        if (c.oldSize >= 0) {
            ASSERT_TRUE(writeFileBytes(target, old));
        }
        if (c.how == Copy) {
            ASSERT_TRUE(writeFileBytes(source, fresh));
        }
        const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        const bool fits = c.how != CopyUnreadable && c.newSize <= static_cast<qsizetype>(c.limit)
                          && (c.how != StagedWithoutLinks || c.oldSize <= static_cast<qsizetype>(c.limit));

        QString error;
        bool ok = false;
        {
            FileSizeLimit disk(c.limit);
            ASSERT_TRUE(disk.active());
            if (c.how == StagedWithoutLinks) {
                SetHardLinksRefused(true);
                StagedFile staged(target);
                ok = staged.Write(fresh, &error) && staged.Install(&error);
                if (ok)
                    staged.Commit();
                SetHardLinksRefused(false);
            } else {
                ok = c.how == Write  ? WriteFileAtomically(target, fresh, &error)
                     : c.how == Copy ? CopyFileAtomically(source, target, &error)
                                     : CopyFileAtomically(QStringLiteral("/proc/self/mem"), target, &error);
            }
        }
        EXPECT_EQ(ok, fits);
        EXPECT_EQ(error, fits ? QString() : qt_error_string(c.how == CopyUnreadable ? EIO : EFBIG));
        if (fits) {
            EXPECT_EQ(readFileBytes(target), fresh);
        } else if (c.oldSize >= 0) {
            EXPECT_EQ(readFileBytes(target), old);
        } else {
            EXPECT_FALSE(QFile::exists(target));
        }
        QStringList after = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (fits && c.oldSize < 0)
            after.removeOne(QStringLiteral("target"));
        EXPECT_EQ(after, before);
    }
}

namespace {

// A line's value in the text of a status file of /proc, "" when there is none.
QString statusField(const QByteArray& status, const char* field)
{
    return QRegularExpression(QStringLiteral("^%1:\\s*(\\S+)").arg(QLatin1String(field)), QRegularExpression::MultilineOption)
        .match(QString::fromLatin1(status))
        .captured(1);
}

QString procStatus(const QString& file, const char* field)
{
    QFile status(file);
    return status.open(QIODevice::ReadOnly) ? statusField(status.readAll(), field) : QString();
}

bool hasFileSizeSignal(const QString& mask)
{
    return mask.toULongLong(nullptr, 16) & (1ull << (SIGXFSZ - 1));
}

} // namespace

// The test program's start has set the signal aside as the program's does;
// a program started after that (the viewer of a report) has it at its
// default, as exec leaves a caught signal and not an ignored one.
TEST(SaveFile, aProgramStartedLaterHasTheFileSizeSignalAtItsDefault)
{
    ASSERT_TRUE(hasFileSizeSignal(procStatus(QStringLiteral("/proc/self/status"), "SigCgt")));
    QProcess child;
    child.start(QStringLiteral("cat"), {QStringLiteral("/proc/self/status")});
    ASSERT_TRUE(child.waitForFinished()) << child.errorString().toStdString();
    const QString ignored = statusField(child.readAllStandardOutput(), "SigIgn");
    ASSERT_FALSE(ignored.isEmpty());
    EXPECT_FALSE(hasFileSizeSignal(ignored));
}

// The signal sent from outside to a thread asleep in a read does not fail
// that read: the read goes on and gets what comes later.
TEST(SaveFile, aFileSizeSignalFailsNoBlockingRead)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::atomic<pid_t> tid{0};
    std::atomic<bool> done{false};
    ssize_t got = 0;
    int error = 0;
    std::thread reader([&] {
        tid = static_cast<pid_t>(::syscall(SYS_gettid));
        char byte = 0;
        got = ::read(fds[0], &byte, 1);
        error = errno;
        done = true;
    });
    // Until the reader sleeps (in the read), once signalled with the signal handled.
    const auto waitAsleep = [&](bool handled) {
        for (QDeadlineTimer bound(30000); !bound.hasExpired() && !done; QThread::msleep(1)) {
            const QString task = QStringLiteral("/proc/self/task/%1/status").arg(tid.load());
            if (tid && procStatus(task, "State") == u"S" && !(handled && hasFileSizeSignal(procStatus(task, "SigPnd"))))
                return;
        }
    };
    waitAsleep(false);
    EXPECT_EQ(::pthread_kill(reader.native_handle(), SIGXFSZ), 0);
    waitAsleep(true);
    EXPECT_EQ(::write(fds[1], "x", 1), 1);
    reader.join();
    ::close(fds[0]);
    ::close(fds[1]);
    EXPECT_EQ(got, 1) << qt_error_string(error).toStdString();
}

TEST(SaveFile, copyOfAMissingFileFailsWithoutTouchingTheTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target"));
    ASSERT_TRUE(writeFileBytes(target, "old"));
    QString error;
    EXPECT_FALSE(CopyFileAtomically(dir.filePath(QStringLiteral("missing")), target, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFileBytes(target), QByteArray("old"));
}

// Refused for its rights, a file is named by the caller's message; the reason
// is the system's, without the name again. A staged file in a folder that may
// not be written is refused the same way.
TEST(SaveFile, aReadOnlyFileOrFolderIsRefusedWithTheSystemsReason)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target"));
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(writeFileBytes(target, "old") && QFile::setPermissions(target, QFile::ReadOwner));
    ASSERT_TRUE(QDir().mkdir(locked) && QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    bool bound = false, written = true, staged = true;
    QString error, stagedError;
    testsupport::runWithoutFileRights([&] {
        bound = testsupport::accessRefused(QFile::encodeName(target), W_OK);
        written = WriteFileAtomically(target, "new", &error);
        staged = StagedFile(locked + QStringLiteral("/page.html")).Write("new", &stagedError);
    });
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(bound);
    EXPECT_FALSE(written || staged);
    EXPECT_EQ(error, qt_error_string(EACCES));
    EXPECT_EQ(stagedError, qt_error_string(EACCES));
    EXPECT_EQ(readFileBytes(target), QByteArray("old"));
    EXPECT_EQ(QDir(locked).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}
