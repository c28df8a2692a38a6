#include <gtest/gtest.h>

#include "report/ReportText.h"
#include "support/UtcZone.h"

#include <QDateTime>
#include <QTimeZone>

#include <cfloat>
#include <cstdint>
#include <limits>

TEST(ReportTextTest, numbersTakeTheReportForm)
{
    // Expected texts are those of C's printf("%.*f"), worked out with python.
    const struct {
        double value;
        int precision;
        const char* text;
    } cases[] = {
        {0.0, 3, "0"},
        {-0.0, 3, "0"},
        {1e-9, 3, "0.000"},
        {-0.0004, 3, "-0.000"},
        {12.3456, 3, "12.346"},
        {-1.5, 3, "-1.500"},
        {2.5, 0, "2"},
        {0.125, 2, "0.12"},
        {1e20, 1, "100000000000000000000.0"},
        {DBL_MAX, 15,
          "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586327668781"
          "7154045895351438246423432132688946418276846754670353751698604991057655128207624549009038932894407586"
          "8508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184"
          "124858368.000000000000000"},
        {1.5, -1, "1.500000"},
        {123.0, 40, "123.000000000000000"},
        {-DBL_MAX, 3, "---"},
        {std::numeric_limits<double>::quiet_NaN(), 3, "---"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatReportNumber(c.value, c.precision), QString::fromLatin1(c.text)) << c.value;
        EXPECT_EQ(FormatReportNumberUtf8(c.value, c.precision), c.text) << c.value;
    }
}

TEST(ReportTextTest, timesInLocalTimeAndNeverFailing)
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
        {std::numeric_limits<std::int64_t>::max(), ""},
        {std::numeric_limits<std::int64_t>::min(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatReportTime(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

TEST(ReportTextTest, fileNameHasDayMonthYearAndTime)
{
    const struct {
        QDate date;
        QTime time;
        const char* name;
    } cases[] = {
        {QDate(2024, 3, 5), QTime(9, 15, 7), "ReportVorn_5032024_091507"},
        {QDate(2025, 1, 1), QTime(0, 0, 5), "ReportVorn_1012025_000005"},
        {QDate(2025, 11, 23), QTime(14, 7, 59), "ReportVorn_23112025_140759"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultReportFileName(QStringLiteral("ReportVorn"), QDateTime(c.date, c.time, QTimeZone::utc())),
                  QString::fromLatin1(c.name));
}
