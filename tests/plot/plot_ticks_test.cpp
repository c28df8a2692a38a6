#include <gtest/gtest.h>

#include "plot/Plot.h"
#include "support/NumericCompare.h"

#include <QStringList>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace {

QStringList Labels(const std::vector<double>& values)
{
    QStringList labels;
    for (double v : values)
        labels << CPlot::TickLabel(v);
    return labels;
}

} // namespace

TEST(NiceTickStep, mantissaSwitchesJustAboveEachThreshold)
{
    // raw step → nice step
    const std::vector<std::pair<double, double>> cases = {
        {1.0, 1.0},       {1.5, 1.0},  {1.5000001, 2.0}, {2.4, 2.0},        {2.4000001, 2.5}, {2.6, 2.5},
        {2.6000001, 3.0}, {3.5, 3.0},  {3.5000001, 5.0}, {7.5, 5.0},        {7.5000001, 10.0}, {9.99, 10.0},
        {0.75, 0.5},      {0.02, 0.02}, {30.0, 30.0},    {420.0, 500.0},
    };
    for (const auto& [raw, step] : cases) {
        double min = 0.0;
        double max = raw;
        EXPECT_REL_NEAR(CPlot::NiceTickStep(1.0, min, max, 1.0, false, 0.0).step, step);
    }
}

TEST(NiceTickStep, endsSnapOutToNearTicksOnlyWhenAskedAndWithoutOffset)
{
    struct Case
    {
        double min, max;
        bool snap;
        double offset;
        double step, first, last, newMin, newMax;
    };
    // Label 30 pixels on an axis of 300: the raw step is a tenth of the range.
    for (const Case& c : std::vector<Case>{{0.0, 1.0, false, 0.0, 0.1, 0.0, 1.0, 0.0, 1.0},
                                           {0.07, 0.93, false, 0.0, 0.1, 0.1, 0.9, 0.07, 0.93},
                                           {0.1009, 0.9, false, 0.0, 0.1, 0.1, 0.9, 0.1009, 0.9},
                                           {-3.0, 17.0, false, 0.0, 2.0, -2.0, 16.0, -3.0, 17.0},
                                           {0.04, 0.96, false, 0.0, 0.1, 0.1, 0.9, 0.04, 0.96},
                                           {0.04, 0.96, true, 0.0, 0.1, 0.0, 1.0, 0.0, 1.0},
                                           {0.07, 0.93, true, 0.0, 0.1, 0.1, 0.9, 0.07, 0.93},
                                           {0.04, 0.96, true, 2e-5, 0.1, 0.1, 0.9, 0.04, 0.96}}) {
        double min = c.min;
        double max = c.max;
        const CPlot::TickSpacing t = CPlot::NiceTickStep(30.0, min, max, 300.0, c.snap, c.offset);
        EXPECT_REL_NEAR(t.step, c.step);
        EXPECT_NEAR(t.first, c.first, 1e-12) << c.min << " snap " << c.snap;
        EXPECT_NEAR(t.last, c.last, 1e-12) << c.max << " snap " << c.snap;
        EXPECT_NEAR(min, c.newMin, 1e-12);
        EXPECT_NEAR(max, c.newMax, 1e-12);
    }
}

TEST(NiceTickStep, emptyOrUndefinedRangeGivesNoTicks)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [min, max, axis] : std::vector<std::tuple<double, double, double>>{
             {5.0, 5.0, 300.0}, {1.0, 0.0, 300.0}, {0.0, 1.0, 0.0}, {0.0, inf, 300.0}, {std::nan(""), 1.0, 300.0}}) {
        double lo = min;
        double hi = max;
        const CPlot::TickSpacing t = CPlot::NiceTickStep(30.0, lo, hi, axis, true, 0.0);
        EXPECT_EQ(t.step, 0.0) << min << ".." << max << " on " << axis;
        EXPECT_TRUE(CPlot::TickValues(t.step, t.first, t.last).empty());
    }
}

TEST(TickValues, sequencesCarryNoAccumulatedErrorAndEndWhenTheStepIsLost)
{
    double min = 0.0;
    double max = 1.0;
    const CPlot::TickSpacing t = CPlot::NiceTickStep(30.0, min, max, 300.0, false, 0.0);
    EXPECT_EQ(Labels(CPlot::TickValues(t.step, t.first, t.last)),
              QStringList({"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"}));
    EXPECT_EQ(Labels(CPlot::TickValues(2.5, -5.0, 5.0)), QStringList({"-5", "-2.5", "0", "2.5", "5"}));

    const std::vector<double> long_ = CPlot::TickValues(0.1, 0.0, 100.0);
    ASSERT_EQ(long_.size(), 1001u);
    EXPECT_EQ(CPlot::TickLabel(long_[333]), QStringLiteral("33.3"));
    EXPECT_EQ(CPlot::TickLabel(long_[1000]), QStringLiteral("100"));

    EXPECT_EQ(CPlot::TickValues(1.0, 1e20, 1e20 + 1e5).size(), 1u);
    EXPECT_LE(CPlot::TickValues(1e-300, 0.0, 1.0).size(), 10000u);
}

TEST(TickLabel, tenSignificantDigitsWithAPointWhateverTheLocale)
{
    for (const auto& [value, text] : std::vector<std::pair<double, const char*>>{{-0.0, "0"},
                                                                                {0.1 + 0.2, "0.3"},
                                                                                {1234567.25, "1234567.25"},
                                                                                {-2.5, "-2.5"},
                                                                                {12345678901.0, "1.23456789e+10"},
                                                                                {0.000123456789012, "0.000123456789"},
                                                                                {1e-5, "1e-05"}})
        EXPECT_EQ(CPlot::TickLabel(value), QString::fromLatin1(text));
}
