#include <gtest/gtest.h>

#include "support/NumericCompare.h"
#include "support/RecalculationFixture.h"

using namespace calc_inputs;

using CondensateTemperatureTest = RecalculationTest;

TEST_F(CondensateTemperatureTest, markersBecomePointsInPeakOrder)
{
    const QString c = QString(QChar(0x0421));  // Cyrillic С
    ASSERT_TRUE(tables.temp.SetSearchName(1, "Этан"));  // С2 is now matched by another name
    // Apexes at 1.0, 1.5, 2.0, ...; the first is a lower-case с10.
    records = {Record(33, "/lab/t.stg", {{QChar(0x0441) + QString("10")}, {c + "6"}, {"2-Метилпентан"}, {c + "2"}, {"ЭТАН"}, {c + "6"}})};
    Recalculate();

    const TemperatureResult r = data.GetCalibrationCurve();
    EXPECT_FALSE(r.hasError);
    EXPECT_EQ(r.nParallel, 1);
    const std::tuple<std::uint32_t, QString, QString, double, double> expected[] = {
        {10, c + "10", c + "10", 174, 1.0}, {6, c + "6", c + "6", 69, 1.5}, {5, "2-метилпентан", "2-метилпентан", 60.3, 2.0},
        {1, c + "2", "Этан", -89, 3.0}, {6, c + "6", c + "6", 69, 3.5},  // a repeated marker is a second point
    };
    ASSERT_EQ(r.rows.size(), std::size(expected));
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const TemperatureRow& row = r.rows[i];
        EXPECT_EQ(std::tie(row.id, row.name, row.searchName), std::tie(std::get<0>(expected[i]), std::get<1>(expected[i]), std::get<2>(expected[i])));
        EXPECT_ALL_REL_NEAR((std::vector<double>{row.temperature, row.retentionTime}), {std::get<3>(expected[i]), std::get<4>(expected[i])});
    }
    // Known by its name, but no longer matched by its search name.
    EXPECT_EQ(Only(log.infos(), "ДК"), std::vector<QString>{"ДК Температурная: Пик '" + c + "2' не использован в расчете."});

    records = {Record(33, "/lab/t.stg", {})};  // present but without markers: no error
    Recalculate();
    EXPECT_FALSE(data.GetCalibrationCurve().hasError);
    EXPECT_TRUE(data.GetCalibrationCurve().rows.empty());

    records.clear();
    Recalculate();
    EXPECT_TRUE(data.GetCalibrationCurve().hasError);
    EXPECT_EQ(Only(log.errors(), "ДК Т"), Texts({"ДК Температурная: Температурная хроматограмма не задана."}));
}
