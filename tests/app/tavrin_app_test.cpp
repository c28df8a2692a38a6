#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "support/ChromatogramFiles.h"
#include "support/FileBytes.h"
#include "support/ProfileDir.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <functional>

namespace {

// Whether the process has its own handler of the signal in place, as /proc says.
bool catches(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ull << (signalNumber - 1));
    }
    return false;
}

// However slow the machine, within a bound far beyond any start.
bool waitUntil(const std::function<bool()>& condition)
{
    for (QDeadlineTimer bound(60000); !bound.hasExpired(); QThread::msleep(20)) {
        if (condition())
            return true;
    }
    return condition();
}

} // namespace

// A shutdown, a lost terminal or Ctrl+C ends the program as its close does:
// the list, the window rectangle and the filters are written, and the exit is
// a normal one, a second signal while it ends included. With a message box
// open at the start (a damaged cylinder database), the box's loop is left too.
TEST(tavrinAppTest, aSignalEndsTheProgramAsItsCloseDoes)
{
    struct Case { const char* name; int signalNumber; bool boxOpen; };
    const Case cases[] = {
        {"SIGTERM", SIGTERM, false},
        {"SIGHUP", SIGHUP, false},
        {"SIGINT", SIGINT, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString run = home.filePath(QStringLiteral("a.stg"));
        testsupport::ChromatogramFile file;
        file.sample = QStringLiteral("ГС скв. 41");
        file.method = QStringLiteral("ГАЗ-1");
        ASSERT_TRUE(testsupport::writeChromatogramFile(run, file));
        const QString conf = home.filePath(QStringLiteral("config/Quindle/tavrin.conf"));
        {
            // The file that is gone leaves the list the start writes.
            Profile profile(conf);
            profile.writeString(profile_sections::Recent, QStringLiteral("0"), run);
            profile.writeString(profile_sections::Recent, QStringLiteral("1"), home.filePath(QStringLiteral("gone.stg")));
            ASSERT_TRUE(profile.sync());
        }
        if (c.boxOpen) {
            // Five cylinders announced, none there.
            ASSERT_TRUE(testsupport::writeFileBytes(home.filePath(QStringLiteral("data/Morvane/Add/tavrin/MixturesData")),
                                                    QByteArray("\x05\0\0\0", 4)));
        }

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        // The signals as a terminal's program gets them, whatever this test
        // program was started with (a background job ignores SIGINT).
        program.setChildProcessModifier([] {
            sigset_t all;
            sigfillset(&all);
            sigprocmask(SIG_UNBLOCK, &all, nullptr);
            for (int s : {SIGTERM, SIGHUP, SIGINT})
                std::signal(s, SIG_DFL);
        });
        program.start(QStringLiteral(TAVRIN_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted()) << program.errorString().toStdString();
        ASSERT_TRUE(waitUntil([&] { return catches(program.processId(), c.signalNumber); }));
        if (!c.boxOpen) {
            ASSERT_TRUE(waitUntil([&] { return testsupport::storedChromatogramList(conf) == QStringList{run}; }));
        }
        ::kill(static_cast<pid_t>(program.processId()), c.signalNumber);
        ::kill(static_cast<pid_t>(program.processId()), c.signalNumber);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

        const QSettings::SettingsMap stored = testsupport::storedProfile(conf);
        EXPECT_EQ(testsupport::storedChromatogramList(conf), QStringList{run});
        EXPECT_EQ(stored.value(QStringLiteral("WState")).toByteArray().size(), 16);
        EXPECT_EQ(stored.value(QStringLiteral("EnableError")).toString(), QStringLiteral("1"));
    }
}
