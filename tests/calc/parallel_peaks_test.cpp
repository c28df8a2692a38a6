#include <gtest/gtest.h>

#include "data/ChromatogramSlot.h"
#include "calc/ParallelPeaks.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

#include <cmath>
#include <limits>

namespace {

ParallelPeak present(double concentration)
{
    return {true, calc_inputs::ConcPeak("Метанол", concentration)};
}

} // namespace

TEST(ParallelSpread, absoluteAsItIsRelativeInPercentOfTheMean)
{
    struct Case
    {
        std::vector<double> conc;
        AccuracyForm form;
        double expected;
    };
    // Relative: (max − min) / mean × 100, the mean being sum / n.
    const Case cases[] = {
        {{1.0, 1.5, 1.25}, AccuracyForm::Absolute, 0.5},
        {{1.0, 1.5, 1.25}, AccuracyForm::Relative, 40.0},  // 0.5 / 1.25 × 100
        {{2.0, 3.0}, AccuracyForm::Relative, 40.0},        // 1 / 2.5 × 100
        {{-1.0, 1.0}, AccuracyForm::Absolute, 2.0},
        {{-1.0, 1.0}, AccuracyForm::Relative, 0.0},        // they sum to 0
        {{0.0, 0.0, 0.0}, AccuracyForm::Relative, 0.0},
        {{}, AccuracyForm::Absolute, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.conc.size());
        EXPECT_REL_NEAR(ParallelSpread(c.conc, c.form), c.expected);
    }
}

TEST(ParallelConcentrations, reportsARunWithoutThePeakAndPassesOverAMissingRun)
{
    MessageLog log;
    const std::vector<ParallelPeak> values = {present(8.0), {true, std::nullopt}, {false, std::nullopt}, present(2.0)};
    const std::vector<double> conc =
        ParallelConcentrations(values, SlotGsMethanol1, QStringLiteral("%1: нет %2."), QStringLiteral("Метанол"), log,
                               [](double c) { return c / 4.0; });
    EXPECT_ALL_REL_NEAR(conc, {2.0, 0.0, 0.0, 0.5});
    ASSERT_EQ(log.errors().size(), 1u);
    EXPECT_EQ(log.errors().front(), QStringLiteral("%1: нет Метанол.").arg(ChromatogramSlotName(SlotGsMethanol1 + 1)));
}
