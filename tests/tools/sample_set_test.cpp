#include <gtest/gtest.h>

#include "WholePathInput.h"
#include "calc/RoleAssignment.h"
#include "data/ChmFile.h"
#include "data/ChromatogramList.h"
#include "data/Settings.h"
#include "platform/Profile.h"
#include "sampleset/SampleSet.h"
#include "support/CalcInputs.h"
#include "support/FileBytes.h"
#include "support/NumericCompare.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

using namespace calc_inputs;

namespace {

sampleset::SignalPlan Plan(double samples, double base, double drift, double noise, std::uint64_t seed)
{
    sampleset::SignalPlan s;
    s.minutes = samples * sampleset::kStep;
    s.base = base;
    s.drift = drift;
    s.noise = noise;
    s.seed = seed;
    return s;
}

std::vector<double> Widened(const std::vector<float>& samples)
{
    return std::vector<double>(samples.begin(), samples.end());
}

class SampleSetTest : public ::testing::Test
{
protected:
    // Written under a relative name, as "tavrin_sampleset mydemo" is: the
    // profile must name the folder from wherever the program starts.
    void SetUp() override
    {
        const QString here = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        QString error;
        const bool written = sampleset::WriteSampleSet(QStringLiteral("mydemo"), &set, &error);
        QDir::setCurrent(here);
        ASSERT_TRUE(written) << error.toStdString();
    }

    QTemporaryDir dir;
    sampleset::WrittenSet set;
};

} // namespace

TEST(SampleSignal, bumpsAndNoiseAsTheFormulasSay)
{
    // (1 − u²)³ at u = −1, −0.5, 0, 0.5 of a bump 8 high on a base of 1.
    sampleset::SignalPlan bump = Plan(4, 1.0, 0.0, 0.0, 1);
    bump.bumps.push_back({2 * sampleset::kStep, 2 * sampleset::kStep, 8.0});
    EXPECT_ALL_REL_NEAR(Widened(sampleset::RenderSignal(bump)), {1.0, 4.375, 9.0, 4.375});
    // At twice the step: the same curve at every other time.
    EXPECT_ALL_REL_NEAR(Widened(sampleset::RenderSignal(bump, 2 * sampleset::kStep)), {1.0, 9.0});

    // Base 2, drift 0.5 per minute and noise 0.01 wide from seed 7, worked
    // out with the generator's recurrence outside the code.
    EXPECT_ALL_REL_NEAR(Widened(sampleset::RenderSignal(Plan(3, 2.0, 0.5, 0.01, 7))),
                        {1.9999321699142456, 2.005044937133789, 2.005042314529419});
}

TEST_F(SampleSetTest, everyRoleGetsItsFilesFromTheLaboratorysPatterns)
{
    Profile profile(set.profilePath);
    const CSettings settings(profile);
    MixtureList cylinders;
    EXPECT_EQ(MixturesDatabase(set.mixturesPath).load(cylinders).status, MixturesDatabase::LoadStatus::Loaded);
    ASSERT_EQ(cylinders.size(), 3u);
    EXPECT_EQ(cylinders[0]->type, MixtureKindGs);
    EXPECT_EQ(cylinders[1]->type, MixtureKindGd);
    EXPECT_EQ(cylinders[2]->type, MixtureKindDc);

    // The profile names the folder to scan, and the scan finds every file.
    ASSERT_EQ(settings.folders.folders().size(), 1);
    std::vector<ChromatogramRecord> records;
    EXPECT_EQ(ScanFolderForChromatograms(records, settings.folders.folders().first(), cylinders), 30);
    SortChromatograms(records);
    AssignCalculationTypes(records, settings.general);

    std::vector<int> roles;
    for (const ChromatogramRecord& r : records)
        roles.push_back(r.role);
    std::sort(roles.begin(), roles.end());
    EXPECT_EQ(roles, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 16, 17, 19, 20, 21, 24, 25, 27,
                                       28, 30, 31, 33, 34, 35, 37, 38, 40, 41}));
    EXPECT_EQ(settings.general.enBlankSubtraction, 1);
    EXPECT_EQ(settings.general.TimeStartSample, 3.0);
    EXPECT_EQ(settings.params.DcAvg, 122.0);
    EXPECT_EQ(settings.params.PgVol1, 500.0);
    EXPECT_EQ(settings.params.PgMtrapdc, 218.2);
}

TEST_F(SampleSetTest, aSecondSetIsTheSameByteForByte)
{
    QTemporaryDir other;
    sampleset::WrittenSet again;
    ASSERT_TRUE(sampleset::WriteSampleSet(other.path(), &again));
    ASSERT_EQ(again.chromatograms.size(), set.chromatograms.size());
    for (int i = 0; i < set.chromatograms.size(); ++i) {
        SCOPED_TRACE(set.chromatograms[i].toStdString());
        const QByteArray bytes = testsupport::readFileBytes(set.chromatograms[i]);
        EXPECT_GT(bytes.size(), 0);
        EXPECT_EQ(bytes, testsupport::readFileBytes(again.chromatograms[i]));
    }
    EXPECT_EQ(testsupport::readFileBytes(set.mixturesPath), testsupport::readFileBytes(again.mixturesPath));
}

TEST_F(SampleSetTest, theWholePathFuzzSeedWritesTheSetByteForByte)
{
    // The seed goes through its bytes, so the decoder must take back what the encoder wrote.
    QTemporaryDir other;
    wholepath::Written again;
    const QByteArray seed = wholepath::Encode(wholepath::SampleSetInput());
    ASSERT_TRUE(wholepath::Write(wholepath::Decode(seed), other.path(), &again));
    EXPECT_EQ(QDir(again.chromatogramFolder).entryList(QDir::Files).size(), set.chromatograms.size());
    for (const QString& path : set.chromatograms) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(testsupport::readFileBytes(QDir(again.chromatogramFolder).filePath(QFileInfo(path).fileName())),
                  testsupport::readFileBytes(path));
    }
    EXPECT_EQ(testsupport::readFileBytes(again.mixturesPath), testsupport::readFileBytes(set.mixturesPath));
    const QString profile = QString::fromUtf8(testsupport::readFileBytes(again.profilePath));
    EXPECT_EQ(QString(profile).replace(other.path(), QDir(dir.path()).filePath(QStringLiteral("mydemo"))),
              QString::fromUtf8(testsupport::readFileBytes(set.profilePath)));

    // The seeds' own set is sampled eight times less often: the same peaks,
    // measured on an eighth of the samples to nearly the same areas.
    QTemporaryDir coarse;
    ASSERT_TRUE(wholepath::Write(wholepath::Decode(wholepath::Encode(wholepath::SampleSetInput(wholepath::kCoarseStep))),
                                 coarse.path(), &again));
    for (const QString& path : set.chromatograms) {
        SCOPED_TRACE(path.toStdString());
        CChmFile fine;
        CChmFile sparse;
        ASSERT_EQ(fine.Open(path), 1);
        ASSERT_EQ(sparse.Open(QDir(again.chromatogramFolder).filePath(QFileInfo(path).fileName())), 1);
        EXPECT_EQ(sparse.signal().step(), wholepath::kCoarseStep);
        EXPECT_EQ(sparse.signal().size(), fine.signal().size() / 8);
        const std::vector<cmpeek>& peaks = fine.peakTable().peaks();
        ASSERT_EQ(sparse.peakTable().peaks().size(), peaks.size());
        // A boundary between samples moves by up to a sample: a share of the largest peak, not of each.
        double largest = 0.0;
        for (const cmpeek& p : peaks)
            largest = std::max(largest, std::fabs(p.area));
        for (std::size_t i = 0; i < peaks.size(); ++i) {
            EXPECT_EQ(sparse.peakTable().peaks()[i].name, peaks[i].name);
            EXPECT_NEAR(sparse.peakTable().peaks()[i].area, peaks[i].area, 0.01 * largest) << i;
        }
    }
}

TEST(SampleSetFolder, aFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(testsupport::writeFileBytes(blocker, "x"));
    QString error;
    EXPECT_FALSE(sampleset::WriteSampleSet(QDir(blocker).filePath(QStringLiteral("set")), nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
}

