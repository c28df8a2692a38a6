#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>

#include "data/ChromatogramRecord.h"

namespace {

PeakItem item(const QString& name, double rt = 0.0)
{
    PeakItem p;
    p.name = name;
    p.retentionTime = rt;
    return p;
}

CalcChromatogram blockOver(std::vector<float> samples, double start = 0.0, double step = 1.0)
{
    CalcChromatogram block;
    block.signal = CLattice(std::move(samples), start, step);
    return block;
}

} // namespace

TEST(ChromatogramRecordPeaks, takesFirstMatchPerSlotIgnoringCyrillicCase)
{
    WorkingPeakMap peaks;
    peaks[2] = {item(QStringLiteral("Метан")), item(QStringLiteral("Этан"))};
    peaks[3] = {item(QStringLiteral("Этан"))};
    peaks[4] = {item(QStringLiteral("МЕТАН")), item(QStringLiteral("метан"))};

    bool notFound = true;
    const std::vector<PeakValue> values = TakePeaksByName(peaks, QStringLiteral("мЕтАн"), notFound);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_TRUE(values[0].has_value());
    EXPECT_FALSE(values[1].has_value());
    ASSERT_TRUE(values[2].has_value());
    EXPECT_EQ(values[2]->name, QStringLiteral("МЕТАН"));
    EXPECT_FALSE(notFound);
    EXPECT_EQ(peaks[2].size(), 1u);
    // The duplicate in slot 4 stays for a later call or the unused report.
    ASSERT_EQ(peaks[4].size(), 1u);
    EXPECT_EQ(peaks[4].front().name, QStringLiteral("метан"));

    bool stillMissing = true;
    const std::vector<PeakValue> none = TakePeaksByName(peaks, QStringLiteral("Пропан"), stillMissing);
    ASSERT_EQ(none.size(), 3u);
    for (const PeakValue& v : none)
        EXPECT_FALSE(v.has_value());
    EXPECT_TRUE(stillMissing);
}

TEST(ChromatogramRecordPeaks, reportsUnusedPeaksBySlotThenListOrder)
{
    WorkingPeakMap peaks;
    peaks[16] = {item(QStringLiteral("Азот"))};
    peaks[2] = {item(QStringLiteral("X1")), item(QStringLiteral("Гелий"))};
    peaks[3] = {};
    const std::vector<QString> texts = CollectUnusedPeakWarnings(peaks);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], QStringLiteral("ГС Анализ 1: Пик 'X1' не использован в расчете."));
    EXPECT_EQ(texts[1], QStringLiteral("ГС Анализ 1: Пик 'Гелий' не использован в расчете."));
    EXPECT_EQ(texts[2], QStringLiteral("ГД Анализ 1: Пик 'Азот' не использован в расчете."));
}

TEST(ChromatogramRecordPeaks, fractionIdsBecomeRangeTexts)
{
    EXPECT_EQ(FractionRangeText(1000000 + 60 * 1000 + 70), QStringLiteral("60 - 70"));
    EXPECT_EQ(FractionRangeText(1000000 + 45 * 1000 + 60), QStringLiteral("45 - 60"));
    EXPECT_EQ(FractionRangeText(1000000), QStringLiteral("???"));
    EXPECT_EQ(FractionRangeText(5), QStringLiteral("???"));
}

TEST(ChromatogramRecordPeaks, buildsItemsOrderedByGroupAndRetentionKeepingTies)
{
    CPeeksTable table;
    table.peaks().resize(4);
    const char* names[] = {"b", "a", "c", "d"};
    const double apex[] = {2.0, 1.0, 2.0, 0.5};
    for (int i = 0; i < 4; ++i) {
        table.peaks()[i].name = QString::fromLatin1(names[i]);
        table.peaks()[i].apexTime = apex[i];
        table.peaks()[i].area = 10.0 * (i + 1);
    }
    ChromatogramRecord record;
    PeakItem group = item(QStringLiteral("Группа С6"), 9.0);
    group.sortGroup = -1;
    record.peaks.push_back(group);
    BuildPeakItems(record, table);
    ASSERT_EQ(record.peaks.size(), 5u);
    QStringList order;
    for (const PeakItem& p : record.peaks)
        order << p.name;
    EXPECT_EQ(order, (QStringList{QStringLiteral("Группа С6"), QStringLiteral("d"), QStringLiteral("a"),
                                  QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_DOUBLE_EQ(record.peaks[3].area, 10.0);
}

TEST(CalcChromatogramBaseline, dropsTheOutlierOutsideOneDeviation)
{
    // Mean 2.8, population deviation 3.6: the band (-0.8, 6.4) keeps the four ones.
    CalcChromatogram block = blockOver({1, 1, 1, 1, 10, 50, 50});
    block.ComputeBaselineLevel(1e-9, 5.0);
    EXPECT_DOUBLE_EQ(block.baselineLevel, 1.0);
}

TEST(CalcChromatogramBaseline, bandIsOnePopulationDeviationWide)
{
    // Window 0, 0, 1, 1, 2 (samples 1 to 5): mean 0.8; the population deviation
    // sqrt(2.8 / 5) = 0.748 keeps only the ones, level 1.0. The sample
    // deviation sqrt(2.8 / 4) = 0.837 would also keep the zeros, level 0.5.
    CalcChromatogram block = blockOver({7, 0, 0, 1, 1, 2, 7}, 0.0, 0.25);
    block.ComputeBaselineLevel(0.25, 1.5);
    EXPECT_DOUBLE_EQ(block.baselineLevel, 1.0);
}

TEST(CalcChromatogramBaseline, clipsAWindowReachingPastTheEnd)
{
    // Samples 7, 8, 9: mean 8, deviation 0.816; only 8 lies inside the band.
    CalcChromatogram block = blockOver({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    block.ComputeBaselineLevel(7.0, 20.0);
    EXPECT_DOUBLE_EQ(block.baselineLevel, 8.0);
}

TEST(CalcChromatogramBaseline, windowWithNothingLeftIsNotANumber)
{
    CalcChromatogram after = blockOver({1, 2, 3});
    after.ComputeBaselineLevel(15.0, 20.0);
    EXPECT_TRUE(std::isnan(after.baselineLevel));

    CalcChromatogram before = blockOver({1, 2, 3}, 5.0);
    before.ComputeBaselineLevel(1.0, 2.0);
    EXPECT_TRUE(std::isnan(before.baselineLevel));

    // The default window ends at 1 s absolute: a signal starting later has none.
    CalcChromatogram late = blockOver({1, 2, 3}, 0.02, 0.001);
    late.ComputeBaselineLevel(0.0, 0.0);
    EXPECT_TRUE(std::isnan(late.baselineLevel));

    CalcChromatogram zeroStep = blockOver({1, 2, 3}, 0.0, 0.0);
    zeroStep.ComputeBaselineLevel(1.0, 2.0);
    EXPECT_TRUE(std::isnan(zeroStep.baselineLevel));
}

TEST(CalcChromatogramBaseline, flatWindowGivesItsValue)
{
    CalcChromatogram block = blockOver({3, 3, 3, 3});
    block.ComputeBaselineLevel(1e-9, 4.0);
    EXPECT_DOUBLE_EQ(block.baselineLevel, 3.0);
}

TEST(CalcChromatogramBaseline, initUsesTheFiveSecondsBeforeTheStartTime)
{
    ChromatogramRecord record;
    std::vector<float> samples(20);
    for (int i = 0; i < 20; ++i)
        samples[i] = static_cast<float>(i);
    record.signal = CLattice(samples, 0.0, 1.0);
    CalcChromatogram block;
    // T = 10 min: window [9.9167, 10) holds sample 9 alone.
    block.Init(record, 10.0);
    EXPECT_EQ(block.record, &record);
    EXPECT_EQ(block.signal.size(), 20);
    EXPECT_DOUBLE_EQ(block.baselineLevel, 9.0);

    // T at or below 5 s: the default window [start, 1 s) holds no sample at a 1-minute step.
    block.Init(record, 0.05);
    EXPECT_TRUE(std::isnan(block.baselineLevel));

    // At a 0.001-minute step it holds samples 0..15: mean 7.5, deviation 4.61, band keeps 3..12.
    record.signal = CLattice(samples, 0.0, 0.001);
    block.Init(record, 0.0);
    EXPECT_DOUBLE_EQ(block.baselineLevel, 7.5);
}
