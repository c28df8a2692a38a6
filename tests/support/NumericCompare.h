#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <sstream>
#include <vector>

// The one fuzzy comparison of the numeric tests: a relative tolerance, with
// an absolute floor so that values near zero compare too. Expected values
// are worked out by hand, outside the code under test.
namespace numeric_compare {

inline constexpr double kRelativeTolerance = 1e-9;
inline constexpr double kAbsoluteFloor = 1e-12;

inline bool Near(double actual, double expected, double relative = kRelativeTolerance,
                 double absolute = kAbsoluteFloor)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    if (std::isinf(expected))
        return actual == expected;
    const double tolerance = std::max(relative * std::fabs(expected), absolute);
    return std::fabs(actual - expected) <= tolerance;
}

inline ::testing::AssertionResult AssertNear(const char* actualText, const char* expectedText,
                                             double actual, double expected)
{
    if (Near(actual, expected))
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    out.precision(17);
    out << actualText << " is " << actual << ", expected " << expectedText << " = " << expected
        << " (relative tolerance " << kRelativeTolerance << ")";
    return ::testing::AssertionFailure() << out.str();
}

inline ::testing::AssertionResult AssertAllNear(const char* actualText, const char* expectedText,
                                                const std::vector<double>& actual,
                                                const std::vector<double>& expected)
{
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << actualText << " has " << actual.size() << " values, "
                                             << expectedText << " " << expected.size();
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!Near(actual[i], expected[i])) {
            std::ostringstream out;
            out.precision(17);
            out << actualText << "[" << i << "] is " << actual[i] << ", expected " << expected[i];
            return ::testing::AssertionFailure() << out.str();
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace numeric_compare

#define EXPECT_REL_NEAR(actual, expected) \
    EXPECT_PRED_FORMAT2(::numeric_compare::AssertNear, actual, expected)
// EXPECT_ALL_REL_NEAR(values, {1.0, 2.5}): every value and the count.
#define EXPECT_ALL_REL_NEAR(actual, ...) \
    EXPECT_PRED_FORMAT2(::numeric_compare::AssertAllNear, actual, std::vector<double>(__VA_ARGS__))
