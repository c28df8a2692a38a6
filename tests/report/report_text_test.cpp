#include <gtest/gtest.h>

#include "report/ReportText.h"
#include "support/UtcZone.h"

#include <QDateTime>
#include <QTimeZone>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

struct NumberCase
{
    const char* what;
    double value;
    int precision;
    const char* text;
};

// Expected texts are those of C's printf("%.*f"), worked out with python.
const NumberCase kNumberCases[] = {
    {"zero", 0.0, 3, "0"},
    {"negative zero", -0.0, 3, "0"},
    {"zero without digits", 0.0, 0, "0"},
    {"zero with many digits", 0.0, 12, "0"},
    {"tiny value keeps its digits", 1e-9, 3, "0.000"},
    {"rounds down", 0.0004, 3, "0.000"},
    {"rounds up", 12.3456, 3, "12.346"},
    {"negative", -1.5, 3, "-1.500"},
    {"small negative keeps its sign", -0.0004, 3, "-0.000"},
    {"exact half to even", 2.5, 0, "2"},
    {"binary half to even", 0.125, 2, "0.12"},
    {"large", 1e20, 1, "100000000000000000000.0"},
    {"negative digit count means six", 1.5, -1, "1.500000"},
    {"digit count limited to fifteen", 123.0, 40, "123.000000000000000"},
    {"unset value", -DBL_MAX, 3, "---"},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), 3, "---"},
    {"largest double", DBL_MAX, 0,
     "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586327668781"
     "7154045895351438246423432132688946418276846754670353751698604991057655128207624549009038932894407586"
     "8508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184"
     "124858368"},
};

class ReportNumberTest : public ::testing::TestWithParam<NumberCase>
{
};

} // namespace

TEST_P(ReportNumberTest, writesTheReportForm)
{
    const NumberCase& c = GetParam();
    EXPECT_EQ(FormatReportNumber(c.value, c.precision), QString::fromLatin1(c.text)) << c.what;
    EXPECT_EQ(FormatReportNumberUtf8(c.value, c.precision), c.text) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Forms, ReportNumberTest, ::testing::ValuesIn(kNumberCases));

TEST(ReportTimeTest, writesDayMonthYearAndTimeInLocalTime)
{
    testsupport::UtcZone utc;
    const struct {
        std::int64_t seconds;
        const char* text;
    } cases[] = {
        {0, "01.01.70  00:00"},
        {1709630107, "05.03.24  09:15"},
        {951782400, "29.02.00  00:00"},
        {-1, "31.12.69  23:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatReportTime(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

TEST(ReportTimeTest, timeBeyondTheCalendarGivesEmptyText)
{
    EXPECT_EQ(FormatReportTime(std::numeric_limits<std::int64_t>::max()), QString());
    EXPECT_EQ(FormatReportTime(std::numeric_limits<std::int64_t>::min()), QString());
}

TEST(ReportFileNameTest, dayWithoutZeroMonthWithZeroFourDigitYear)
{
    const QTimeZone utc = QTimeZone::utc();
    const struct {
        QDateTime at;
        const char* name;
    } cases[] = {
        {QDateTime(QDate(2024, 3, 5), QTime(9, 15, 7), utc), "ReportVorn_5032024_091507"},
        {QDateTime(QDate(2025, 1, 1), QTime(0, 0, 5), utc), "ReportVorn_1012025_000005"},
        {QDateTime(QDate(2025, 11, 23), QTime(14, 7, 59), utc), "ReportVorn_23112025_140759"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultReportFileName(QStringLiteral("ReportVorn"), c.at), QString::fromLatin1(c.name));
}
