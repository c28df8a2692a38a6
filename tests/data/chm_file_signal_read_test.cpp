#include <gtest/gtest.h>

#include "data/ChmFile.h"
#include "support/CfbWriter.h"
#include "support/ScatteredChain.h"
#include "support/StgWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <numeric>
#include <vector>

// Opening a file reads "Raw_data" straight into the signal, a chunk at a
// time; these tests check that every sample lands where it belongs, whatever
// the length and however the stream's sectors lie in the file.

namespace {

// 140 000 samples, more than two of the chunks the reader takes at a time,
// each different from its neighbours; no peaks, so nothing but the signal
// depends on them.
std::vector<float> longSignal()
{
    std::vector<float> y(140000);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] = static_cast<float>(i) * 0.25f - 1000.0f;
    return y;
}

QByteArray stgBytes(const QByteArray& rawData, bool scatter)
{
    const testsupport::StgStreams s =
        testsupport::stgStreams({}, 0.0f, 0.5f, 1.0f, testsupport::StgTable(), testsupport::StgPassport());
    testsupport::CfbLayout layout;
    QByteArray file = testsupport::buildCompoundFile({{QStringLiteral("Raw_data"), rawData},
                                                      {QStringLiteral("Time"), *s.time},
                                                      {QStringLiteral("Table"), *s.table},
                                                      {QStringLiteral("Passport"), *s.passport}},
                                                     {}, &layout);
    if (scatter) {
        // Sectors 510 .. 514 (bytes 261120 .. 263679, around the end of the
        // first chunk at byte 262144) in reverse order, and the last two swapped.
        const int sectors = int((rawData.size() + 511) / 512);
        std::vector<int> order(static_cast<size_t>(sectors));
        std::iota(order.begin(), order.end(), 0);
        std::reverse(order.begin() + 510, order.begin() + 515);
        std::swap(order[size_t(sectors) - 1], order[size_t(sectors) - 2]);
        testsupport::scatterStreamChain(file, layout, 0, order);
    }
    return file;
}

void expectSamples(const CChmFile& file, const std::vector<float>& want)
{
    const SampleVector& got = file.signal().samples();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "sample " << i;
}

} // namespace

TEST(CChmFileSignalRead, readsALongSignalWithTrailingBytesSampleForSample)
{
    const std::vector<float> y = longSignal();
    const QByteArray raw = testsupport::rawDataStream(y) + QByteArray("\x7F\x7F\x7F", 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.stg"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(stgBytes(raw, false));
    out.close();

    COpenedChmFile file;
    ASSERT_EQ(file.Open(path), 1);
    expectSamples(file, y);
    EXPECT_EQ(file.signal().samples()[139999], 33999.75f);
}

TEST(CChmFileSignalRead, readsASignalWhoseSectorsAreOutOfOrder)
{
    const std::vector<float> y = longSignal();
    COpenedChmFile file;
    ASSERT_EQ(file.OpenBytes(stgBytes(testsupport::rawDataStream(y), true)), 1);
    expectSamples(file, y);
}

TEST(CChmFileSignalRead, anEmptySignalWithoutPeaksOpens)
{
    COpenedChmFile empty;
    ASSERT_EQ(empty.OpenBytes(stgBytes(QByteArray(), false)), 1);
    EXPECT_EQ(empty.signal().size(), 0);
    COpenedChmFile threeBytes;
    ASSERT_EQ(threeBytes.OpenBytes(stgBytes(QByteArray("\x01\x02\x03", 3), false)), 1);
    EXPECT_EQ(threeBytes.signal().size(), 0);
}
