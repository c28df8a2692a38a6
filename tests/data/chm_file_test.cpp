#include <gtest/gtest.h>

#include "data/ChmFile.h"
#include "support/StgWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

using testsupport::StgPassport;
using testsupport::peak;
using testsupport::StgStreams;
using testsupport::StgTable;

namespace {

// Samples 0,0,2,4,2,0,0 every 0.25 min from 0: a triangle of area 2 between
// 0.25 and 1.25 min, then a flat stretch.
StgStreams goodStreams()
{
    StgTable table;
    table.peaks = {peak(0.25, 1.25, 12.5, QStringLiteral("Метан")),
                   peak(1.25, 1.5, 3.0, QStringLiteral("Этан"))};
    StgPassport passport;
    passport.sample = QStringLiteral("ГС 1");
    passport.method = QStringLiteral("Газ");
    passport.calibrationFlag = 1;
    passport.samplingPoint = QStringLiteral("П-2");
    passport.analysisTime = 1700000000;
    return testsupport::stgStreams({0, 0, 2, 4, 2, 0, 0}, 0.0f, 0.25f, 0.5f, table, passport);
}

class CChmFileOpen : public ::testing::Test
{
protected:
    QString write(const StgStreams& streams, const QString& name = QStringLiteral("c.stg"))
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(testsupport::writeStgFile(path, streams));
        return path;
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(CChmFileOpen, readsSignalPeaksAndPassport)
{
    const QString path = write(goodStreams());
    std::unique_ptr<CChmFile> file(new COpenedChmFile);
    ASSERT_EQ(file->Open(path), 1);

    const CLattice& s = file->signal();
    ASSERT_EQ(s.size(), 7);
    EXPECT_EQ(s.at(3), 4.0f);
    EXPECT_EQ(s.start(), 0.0);
    EXPECT_EQ(s.step(), 0.25);
    EXPECT_EQ(file->secondStep(), 0.25);

    const auto& peaks = file->peakTable().peaks();
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_EQ(peaks[0].name, QStringLiteral("Метан"));
    EXPECT_DOUBLE_EQ(peaks[0].area, 2.0);
    EXPECT_DOUBLE_EQ(peaks[0].height, 4.0);
    EXPECT_DOUBLE_EQ(peaks[0].apexTime, 0.75);
    EXPECT_EQ(peaks[0].concentration, 12.5);
    EXPECT_DOUBLE_EQ(peaks[1].area, 0.0);
    EXPECT_EQ(file->peakTable().signal(), &file->signal());

    const CPassport& p = file->passport();
    EXPECT_EQ(p.sample, QStringLiteral("ГС 1"));
    EXPECT_EQ(p.method, QStringLiteral("Газ"));
    EXPECT_EQ(p.calibrationFlag, 1u);
    EXPECT_EQ(p.samplingPoint, QStringLiteral("П-2"));
    EXPECT_EQ(p.analysisTime, 1700000000);
    EXPECT_EQ(p.filePath, path);
}

TEST_F(CChmFileOpen, takesTheStepsAsSinglePrecisionDifferences)
{
    StgStreams streams = goodStreams();
    streams.time = testsupport::timeStream(0.1f, 0.35f, 100.0f);
    streams.table = testsupport::tableStream(StgTable());
    COpenedChmFile file;
    ASSERT_EQ(file.Open(write(streams)), 1);
    EXPECT_EQ(file.signal().start(), 0.10000000149011612);
    // 0.35f - 0.1f is 0.2499999925494194 in double but rounds to 0.25 in single.
    EXPECT_EQ(file.signal().step(), 0.25);
    EXPECT_EQ(file.secondStep(), 99.6500015258789);
}

TEST_F(CChmFileOpen, aShortTimeStreamGivesUnitStepsFromZero)
{
    StgStreams streams = goodStreams();
    streams.time = streams.time->left(8);
    COpenedChmFile file;
    ASSERT_EQ(file.Open(write(streams)), 1);
    EXPECT_EQ(file.signal().start(), 0.0);
    EXPECT_EQ(file.signal().step(), 1.0);
    EXPECT_EQ(file.secondStep(), 1.0);
    // Sample times are now 0, 1, 2 ... minutes: the second peak has no sample inside.
    EXPECT_DOUBLE_EQ(file.peakTable().peaks()[1].apexTime, 1.375);
}

TEST_F(CChmFileOpen, ignoresTrailingBytesOfTheSignal)
{
    StgStreams streams = goodStreams();
    streams.rawData = testsupport::rawDataStream({1.0f, 2.0f}) + QByteArray("\x01\x02", 2);
    ASSERT_EQ(streams.rawData->size(), 10);
    COpenedChmFile file;
    ASSERT_EQ(file.Open(write(streams)), 1);
    EXPECT_EQ(file.signal().size(), 2);
    EXPECT_EQ(file.signal().at(1), 2.0f);
}

TEST_F(CChmFileOpen, refusesAFileMissingAnyOfItsStreams)
{
    for (int missing = 0; missing < 4; ++missing) {
        SCOPED_TRACE(missing);
        StgStreams streams = goodStreams();
        std::optional<QByteArray>* all[] = {&streams.rawData, &streams.time, &streams.table, &streams.passport};
        all[missing]->reset();
        COpenedChmFile file;
        EXPECT_EQ(file.Open(write(streams, QStringLiteral("m%1.stg").arg(missing))), 0);
    }
}

TEST_F(CChmFileOpen, refusesPeaksOnASignalOfFewerThanTwoSamples)
{
    StgStreams streams = goodStreams();
    streams.rawData = testsupport::rawDataStream({5.0f});
    COpenedChmFile file;
    EXPECT_EQ(file.Open(write(streams)), 0);

    // Without peaks there is nothing to measure and the file opens.
    streams.table = testsupport::tableStream(StgTable());
    COpenedChmFile empty;
    EXPECT_EQ(empty.Open(write(streams, QStringLiteral("e.stg"))), 1);
    EXPECT_EQ(empty.signal().size(), 1);
}

TEST_F(CChmFileOpen, aFailedOpenLeavesWhatWasReadBefore)
{
    COpenedChmFile file;
    ASSERT_EQ(file.Open(write(goodStreams())), 1);
    StgStreams bad = goodStreams();
    bad.rawData = testsupport::rawDataStream({9, 9, 9, 9});
    bad.passport = bad.passport->left(30);
    EXPECT_EQ(file.Open(write(bad, QStringLiteral("bad.stg"))), 0);
    EXPECT_EQ(file.signal().size(), 7);
    EXPECT_EQ(file.peakTable().peaks().size(), 2u);
    EXPECT_EQ(file.passport().sample, QStringLiteral("ГС 1"));
    EXPECT_EQ(file.peakTable().signal(), &file.signal());
}

TEST_F(CChmFileOpen, refusesFilesThatAreNotCompoundFiles)
{
    const QString path = m_dir.filePath(QStringLiteral("plain.stg"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, '\0'));
    f.close();
    COpenedChmFile file;
    EXPECT_EQ(file.Open(path), 0);
    EXPECT_EQ(file.Open(m_dir.filePath(QStringLiteral("none.stg"))), 0);
    EXPECT_EQ(file.OpenBytes(QByteArray()), 0);
}

