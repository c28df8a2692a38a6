#include <gtest/gtest.h>

#include "platform/CompoundFile.h"
#include "support/CfbWriter.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

// Cross-checks against libgsf's command-line tool, an independent reader and
// writer of compound files.

using testsupport::CfbOptions;
using testsupport::CfbStream;
using testsupport::patternBytes;

namespace {

QString gsfTool()
{
    return QStandardPaths::findExecutable(QStringLiteral("gsf"));
}

// Standard output of a gsf run; fails the test when gsf does not end cleanly.
// gsf prints names in the charset of its locale, so it always runs under
// UTF-8 (C.UTF-8 is built into the C library), whatever this machine's
// locale is; its output is read as UTF-8.
QByteArray runGsf(const QStringList& arguments)
{
    QProcess gsf;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    gsf.setProcessEnvironment(environment);
    gsf.start(gsfTool(), arguments);
    EXPECT_TRUE(gsf.waitForFinished(60000));
    EXPECT_EQ(gsf.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gsf.exitCode(), 0) << gsf.readAllStandardError().toStdString();
    return gsf.readAllStandardOutput();
}

// "gsf list" prints a line per entry: its kind ("f" or "d"), for files a date,
// then the size and the name as the last two fields.
QMap<QString, qint64> gsfListing(const QString& path)
{
    QMap<QString, qint64> files;
    const QList<QByteArray> lines = runGsf({QStringLiteral("list"), path}).split('\n');
    for (const QByteArray& line : lines) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() >= 3 && fields.first() == QLatin1String("f"))
            files.insert(fields.last(), fields[fields.size() - 2].toLongLong());
    }
    return files;
}

QList<CfbStream> sampleStreams()
{
    return {{QStringLiteral("Raw_data"), patternBytes(20000, 1)},
            {QStringLiteral("Time"), patternBytes(12, 2)},
            {QStringLiteral("Table"), patternBytes(4095, 3)},
            {QStringLiteral("Passport"), patternBytes(4096, 4)},
            {QStringLiteral("Паспорт"), patternBytes(333, 5)},
            {QStringLiteral("Empty"), QByteArray()}};
}

void expectGsfReadsBack(const QString& path, const QList<CfbStream>& streams)
{
    const QMap<QString, qint64> listing = gsfListing(path);
    EXPECT_EQ(listing.size(), streams.size());
    for (const CfbStream& s : streams) {
        SCOPED_TRACE(s.name.toStdString());
        EXPECT_EQ(listing.value(s.name, -1), s.data.size());
        if (!s.data.isEmpty()) {
            EXPECT_TRUE(runGsf({QStringLiteral("cat"), path, s.name}) == s.data);
        }
    }
}

} // namespace

TEST(CompoundFileGsf, gsfReadsWhatTheTestWriterWrites)
{
    if (gsfTool().isEmpty())
        GTEST_SKIP() << "gsf is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<CfbStream> streams = sampleStreams();
    for (int major : {3, 4}) {
        SCOPED_TRACE(major);
        CfbOptions options;
        options.majorVersion = major;
        const QString path = dir.filePath(QStringLiteral("v%1.stg").arg(major));
        ASSERT_TRUE(testsupport::writeCompoundFile(path, streams, options));
        expectGsfReadsBack(path, streams);
    }
    CfbOptions difat;
    difat.minimumFatSectors = 237;
    const QString path = dir.filePath(QStringLiteral("difat.stg"));
    ASSERT_TRUE(testsupport::writeCompoundFile(path, streams, difat));
    expectGsfReadsBack(path, streams);
}

TEST(CompoundFileGsf, readsWhatGsfWrites)
{
    if (gsfTool().isEmpty())
        GTEST_SKIP() << "gsf is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("in")));
    // A 7.5 MB stream makes gsf need DIFAT sectors as well.
    QList<CfbStream> streams = sampleStreams();
    streams.append({QStringLiteral("Big"), patternBytes(7'864'320, 6)});
    QStringList arguments = {QStringLiteral("createole"), dir.filePath(QStringLiteral("gsf.stg"))};
    for (const CfbStream& s : streams) {
        const QString path = dir.filePath(QStringLiteral("in/") + s.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(s.data), s.data.size());
        arguments.append(path);
    }
    runGsf(arguments);

    CompoundFile cf;
    ASSERT_TRUE(cf.open(dir.filePath(QStringLiteral("gsf.stg")))) << cf.errorString().toStdString();
    EXPECT_EQ(cf.streamNames().size(), streams.size());
    for (const CfbStream& s : streams) {
        SCOPED_TRACE(s.name.toStdString());
        EXPECT_EQ(cf.streamSize(s.name), s.data.size());
        QByteArray got;
        ASSERT_TRUE(cf.readStream(s.name, got)) << cf.errorString().toStdString();
        EXPECT_TRUE(got == s.data);
    }
}
