#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

#include "calc/CondensateC6C44.h"
#include "calc/SignalIntegration.h"
#include "support/CondensateRows.h"
#include "support/RecalculationFixture.h"

// Signals are sampled every 0.25 min from 0, so every time used falls on a
// whole sample. Expected values were worked out by hand: a triangle 0, h, 0
// over a baseline through its ends has the area 0.25·h.

using namespace calc_inputs;

namespace {

QString Alkane(int n)
{
    return QString(QChar(0x0421)) + QString::number(n);  // Cyrillic С
}

ChromatogramRecord SignalRecord(int role, const std::vector<float>& samples, std::vector<std::pair<double, double>> peaks,
                                double step = 0.25)
{
    ChromatogramRecord record;
    record.role = role;
    record.signal = CLattice(samples, 0.0, step);
    for (const auto& [from, to] : peaks) {
        record.peakTable.peaks().emplace_back();
        record.peakTable.peaks().back().startTime = from;
        record.peakTable.peaks().back().endTime = to;
    }
    return record;
}

// Group j spans samples 4 + 2j .. 6 + 2j (markers at 1.0, 1.5, .. 4.0 min)
// and holds a triangle of height h[j].
ChromatogramRecord GroupRecord(int role, const std::vector<float>& h, std::size_t n = 20)
{
    std::vector<float> y(n, 0.0f);
    std::vector<std::pair<double, double>> peaks;
    for (std::size_t j = 0; j < h.size(); ++j) {
        y[5 + 2 * j] = h[j];
        peaks.emplace_back((4 + 2 * j) * 0.25, (6 + 2 * j) * 0.25);
    }
    return SignalRecord(role, y, peaks);
}

// Markers С6 .. С12 at 1.0, 1.5, .. 4.0 min.
ChromatogramRecord MarkerRecord()
{
    return Record(33, "/lab/t.stg", {{Alkane(6)}, {Alkane(7)}, {Alkane(8)}, {Alkane(9)}, {Alkane(10)}, {Alkane(11)}, {Alkane(12)}});
}

// Markers Сn at the given times, boiling at 10·n °C.
TemperatureResult Curve(std::initializer_list<std::pair<int, double>> markers)
{
    TemperatureResult curve;
    for (const auto& [n, time] : markers)
        curve.rows.push_back({static_cast<std::uint32_t>(n), Alkane(n), Alkane(n), 10.0 * n, time});
    return curve;
}

class CondensateC6C44Test : public RecalculationTest
{
protected:
    // Both twins on the blocks of the last recalculation.
    std::pair<CondensateResult, CondensateResult> Run(const TemperatureResult& curve, const CondensateResult& c1c5 = {},
                                                      std::vector<std::pair<const char*, double>> sulphurMeans = {},
                                                      double methanol = 0.0)
    {
        SulphurResult sulphur;
        for (const auto& [name, mean] : sulphurMeans) {
            sulphur.rows.emplace_back();
            sulphur.rows.back().id = tables.gas.FindComponentByName(QString::fromUtf8(name))->id;
            sulphur.rows.back().name = QString::fromUtf8(name);
            sulphur.rows.back().mean = mean;
        }
        CondensateMethanolResult methanolResult;
        methanolResult.methanol = methanol;
        const CalcEnvironment env{log, tables.gas, tables.temp};
        return {fractions.Calculate(&data, &settings, c1c5, curve, sulphur, methanolResult, env),
                groups.Calculate(&data, &settings, c1c5, curve, sulphur, methanolResult, env)};
    }
    std::vector<QString> Errors(const char* prefix = "ДК С6С44") const { return Only(log.errors(), prefix); }

    CalcDcC6C44Fractions fractions;
    CalcDcC6C44Groups groups;
};

} // namespace

TEST(InterpolateLinear, runsAlongTheCurveAndBeyondBothEndsOverEveryPointGiven)
{
    const CalibrationPoints curve = {{69, 1.0}, {98, 1.5}, {126, 2.0}};
    const CalibrationPoints repeatedFirst = {{69, 1.0}, {69, 1.2}, {98, 1.5}};
    const CalibrationPoints repeatedLast = {{69, 1.0}, {98, 1.5}, {98, 1.7}};
    const std::tuple<CalibrationPoints, double, double> cases[] = {
        {curve, 69, 1.0}, {curve, 83.5, 1.25}, {curve, 112, 1.75},
        {curve, 40, 0.5}, {curve, 154, 2.5},                            // the end segments extended
        {{{98, 1.5}, {69, 1.0}, {126, 2.0}}, 100, 1.543859649122807},   // in the order given
        {repeatedFirst, 83.5, 1.35},                                    // from the later of the two
        {{{69, 1.0}, {98, 1.0}, {126, 2.0}}, 112, 1.5},                 // a repeated time keeps its point
        {repeatedLast, 98, 1.5},                                        // the first point at the temperature
        // Flat end segments give way to the nearest sloping one further in.
        {repeatedFirst, 40, 0.9}, {{{69, 1.0}, {69, 1.2}, {69, 1.3}, {98, 1.5}}, 40, 1.1},
        {repeatedLast, 154, 2.4655172413793105},
    };
    for (const auto& [points, x, expected] : cases)
        EXPECT_REL_NEAR(InterpolateLinear(points, x), expected);
    for (const CalibrationPoints& few : {CalibrationPoints{}, CalibrationPoints{{69, 1.0}, {69, 2.0}}})
        EXPECT_THROW(InterpolateLinear(few, 70), std::out_of_range);
}

TEST(CheckC6C44Row, table87VerdictsAtItsBounds)
{
    // mean, range, parallels, found, norm, uncertainty, ok
    const std::tuple<double, double, int, bool, double, double, bool> cases[] = {
        {0.005, 0, 2, false, 0, 0, false},
        {0.01, 28.5, 2, true, 28.52, 0.006, true},    // 1st row: 47 − 1848·X
        {0.01, 30, 3, true, 34.089, 0.006, true},     // 3.3·(17 − 667·X)
        {1.05, 9.523809523809524, 2, true, 11, 0.252, true},
        {35, 7, 2, true, 7, 4.9, true},               // 8th row; the limit itself passes
        {35, std::nextafter(7.0, 8.0), 2, true, 7, 4.9, false},
        {35.0001, 0, 2, false, 0, 0, false},
        {std::numeric_limits<double>::quiet_NaN(), 0, 2, false, 0, 0, false},
    };
    for (const auto& [mean, range, n, found, norm, u, ok] : cases) {
        CondensateRow row;
        row.mean = mean;
        row.range = range;
        EXPECT_EQ(CheckC6C44Row(row, n), found) << mean;
        EXPECT_ALL_REL_NEAR((std::vector<double>{row.norm, row.uncertainty}), {norm, u});
        EXPECT_EQ(row.ok, ok) << mean;
    }
}

TEST_F(CondensateC6C44Test, groupsLieBetweenMarkersAndShareWhatC1C5Leaves)
{
    records = {Record(30, "/lab/l1.stg", {{"Метан", 0, 5.0}}), Record(31, "/lab/l2.stg", {{"Метан", 0, 5.0}}), MarkerRecord(),
               GroupRecord(40, {2, 4, 6, 8, 10, 12, 8}), GroupRecord(41, {3, 4, 6, 8, 10, 12, 7})};
    Recalculate();
    // Areas 0.25·h, 12.5 in each parallel, shared out of 100 − 5.
    CondensateResult r = data.GetDcC6C44GroupsResult();
    EXPECT_FALSE(r.hasError);
    ASSERT_EQ(r.rows.size(), 8u);
    ExpectCondensateRows(r, 0, {{"Метан", {5, 5}, 5, 0, 0, 0, true},
                                {"Группа С6", {3.8, 5.7}, 4.75, 40, 10, 0.95, false},
                                {"Группа С7", {7.6, 7.6}, 7.6, 0, 8, 1.368, true},
                                {"Группа С8", {11.4, 11.4}, 11.4, 0, 7, 1.596, true}});
    ExpectCondensateRows(r, 7, {{"Группа С12", {15.2, 13.3}, 14.25, 13.333333333333334, 7, 1.995, false}});
    EXPECT_TRUE(Errors("ДК С6С44 Гр").empty());
    EXPECT_EQ(data.GetDcC6C44FractionsResult().rows.size(), 1u + 48u);

    // A parallel whose total area is 0, infinite, or not a number (an infinite
    // sample on the bound of two groups under one peak gives inf - inf) is
    // reported and left at 0.
    constexpr float kInf = std::numeric_limits<float>::infinity();
    std::vector<float> onBound(20, 0.0f);
    onBound[6] = kInf;
    for (const ChromatogramRecord& second : {SignalRecord(41, std::vector<float>(20, 0.0f), {}),
                                             GroupRecord(41, {3, kInf, 6, 8}), SignalRecord(41, onBound, {{0.5, 4.5}})}) {
        records[4] = second;
        Recalculate();
        r = data.GetDcC6C44GroupsResult();
        EXPECT_TRUE(r.hasError);
        ExpectCondensateRows(r, 1, {{"Группа С6", {3.8, 0}, 1.9, 200, 11, 0.456, false}});
        EXPECT_EQ(Errors("ДК С6С44 Гр"), Texts({"ДК С6С44 Гр.: Невозможно нормировать группы, суммарная площадь равна нулю: ДК С6С44 2."}));
        ASSERT_FALSE(Errors("ДК С6С44 Фр.").empty());
        EXPECT_EQ(Errors("ДК С6С44 Фр.")[0], QString("ДК С6С44 Фр.: Невозможно нормировать фракции, суммарная площадь равна нулю: ДК С6С44 2."));
    }

    // A third parallel that is not there stops both before any row.
    settings.general.QtyDcC6C44 = 1;
    Recalculate();
    EXPECT_EQ(Errors(), Texts({"ДК С6С44 Фр.: Невозможно рассчитать фракции, отсутствует хроматограмма: ДК С6С44 3.",
                               "ДК С6С44 Гр.: Невозможно рассчитать группы, отсутствует хроматограмма: ДК С6С44 3."}));
    EXPECT_TRUE(data.GetDcC6C44GroupsResult().rows.empty());
    data.ResetCalcState();
    EXPECT_TRUE(data.dc().groups.chromatograms().empty() && data.dc().fractions.chromatograms().empty());
}

TEST_F(CondensateC6C44Test, fractionsFollowTheCurveAndShareWhatSulphurAndMethanolLeave)
{
    // Peaks 0,1,2,3,2,1,0 | 0,2,b,2,0 | 0,3,6,3,0 | 0,3,5,3,0 on samples 2..8, 8..12, 12..16, 16..20 of 100:
    // the cuts from 280 °C on run past the end.
    for (const auto& [role, b] : {std::pair{40, 4.0f}, {41, 6.0f}}) {
        std::vector<float> y(100, 0.0f);
        const float shape[] = {0, 1, 2, 3, 2, 1, 0, 2, b, 2, 0, 3, 6, 3, 0, 3, 5, 3, 0};
        std::copy(std::begin(shape), std::end(shape), y.begin() + 2);
        records.push_back(SignalRecord(role, y, {{0.5, 2.0}, {2.0, 3.0}, {3.0, 4.0}, {4.0, 5.0}}));
    }
    Recalculate();
    log.ClearMessages();
    TemperatureResult line;  // 40 °C at 0 min, 540 °C at 50 min: 10 °C is four samples
    line.rows = {{0, "Т1", "Т1", 40, 0.0}, {1, "Т2", "Т2", 540, 50.0}};
    const CondensateResult r = Run(line, {}, {{"Сульфид водорода", 0.2}, {"Метантиол", 0.05}, {"Этантиол", 0.05}}, 0.2).first;

    EXPECT_FALSE(r.hasError);
    ASSERT_EQ(r.rows.size(), 3u + 48u);
    // Areas 2.25, 2 (2.5), 3, 2.75 of totals 10 (10.5), shared out of 100 − 0.5.
    ExpectCondensateRows(r, 0, {
        {"Сульфид водорода", {0.2, 0.2}, 0.2, 0, 0, 0, true},
        {"Меркаптаны", {0.1, 0.1}, 0.1, 0, 0, 0, true},
        {"Метанол", {0.2, 0.2}, 0.2, 0, 0, 0, true},
        {"45 - 60", {22.3875, 21.321428571428573}, 21.854464285714286, 4.878048780487795, 7, 3.0596250000000005, true},
        {"60 - 70", {19.9, 23.69047619047619}, 21.795238095238094, 17.391304347826093, 7, 3.0513333333333335, false},
        {"70 - 80", {29.85, 28.428571428571427}, 29.139285714285712, 4.878048780487815, 7, 4.0795, true},
        {"80 - 90", {27.3625, 26.05952380952381}, 26.711011904761904, 4.878048780487805, 7, 3.7395416666666668, true},
        {"90 - 100", {0, 0}, 0, 0, 0, 0, false},
    });
    EXPECT_EQ(r.rows.back().name, QString("520 - 530"));
    const std::vector<QString> errors = Errors("ДК С6С44 Фр");
    ASSERT_EQ(errors.size(), 44u);  // every empty fraction
    EXPECT_EQ(errors[0], QString("ДК С6С44 Фр : Невозможно выполнить проверку по таблице 8.7 для фракции 90 - 100.Концентрация вне диапазона."));

    // Both twins keep the mercaptans without hydrogen sulphide; a faulty curve stops right after the light rows.
    TemperatureResult faulty;
    faulty.hasError = true;
    CondensateResult c1c5;
    c1c5.rows = {{1, "Метан", {}, 2.0, 0, 0, 0, true}};
    const auto [f, g] = Run(faulty, c1c5, {{"Метантиол", 0.05}});
    EXPECT_EQ(Names(f.rows), QStringList({"Меркаптаны", "Метан"}));
    EXPECT_EQ(Names(g.rows), Names(f.rows));
}

TEST_F(CondensateC6C44Test, boundsAfterARepeatedMarkerComeFromItsLaterPeak)
{
    // Two "С10" peaks at 174 °C. The expected times and shares were worked out
    // in python3 by walking the points in order (the bound at 180 °C from
    // (174, 14.658) and (196, 16.931)), cutting samples every 1/64 min and
    // summing them by the trapezoidal rule; passing over the second С10 would
    // give 33.07 % for 170 - 180 instead of 39.31 %.
    const std::tuple<int, double, double> markers[] = {{6, 69, 3.215},    {7, 98, 5.874},    {8, 126, 8.932},
                                                       {9, 151, 11.806},  {10, 174, 14.392}, {10, 174, 14.658},
                                                       {11, 196, 16.931}, {12, 216, 19.012}};
    TemperatureResult curve;
    CalibrationPoints points;
    for (const auto& [n, temperature, time] : markers) {
        curve.rows.push_back({static_cast<std::uint32_t>(n), Alkane(n), Alkane(n), temperature, time});
        points.emplace_back(temperature, time);
    }
    const std::pair<double, double> bounds[] = {{170, 13.942260869565217}, {180, 15.277909090909091},
                                                {190, 16.31109090909091}, {200, 17.3472}};
    for (const auto& [temperature, time] : bounds)
        EXPECT_REL_NEAR(InterpolateLinear(points, temperature), time);

    // One parabolic peak from 13 to 17.5 min (samples 832 .. 1120) in both parallels.
    std::vector<float> y(1280, 0.0f);
    for (int i = 833; i < 1120; ++i)
        y[static_cast<std::size_t>(i)] = static_cast<float>((i - 832) * (1120 - i) / 20736.0);
    for (int role : {40, 41})
        records.push_back(SignalRecord(role, y, {{13.0, 17.5}}, 1.0 / 64));
    Recalculate();
    const CondensateResult r = Run(curve).first;
    ASSERT_FALSE(r.hasError);
    const std::pair<const char*, double> shares[] = {{"160 - 170", 11.212268225889973}, {"170 - 180", 39.30855882864573},
                                                     {"180 - 190", 31.85699316977459},  {"190 - 200", 17.26890001212839},
                                                     {"200 - 210", 0.35327976356131296}};
    for (const auto& [name, share] : shares) {
        const qsizetype at = Names(r.rows).indexOf(QString::fromUtf8(name));
        ASSERT_GE(at, 0) << name;
        EXPECT_ALL_REL_NEAR(r.rows[static_cast<std::size_t>(at)].conc, {share, share});
    }
}

TEST_F(CondensateC6C44Test, stoppingErrorsKeepTheRowsMadeSoFar)
{
    records = {GroupRecord(40, {1, 1, 1, 1, 1, 1, 1}), GroupRecord(41, {1, 1, 1, 1, 1, 1, 1})};
    Recalculate();
    CondensateResult heavy;
    heavy.nParallel = 2;
    AddResultRow(heavy, 1, "Метан", 100.5);
    TemperatureResult faulty = Curve({{6, 1.0}, {7, 1.5}});
    faulty.hasError = true;
    std::vector<QString> markers;  // one marker twice: С7 .. С12 missing
    for (int n = 7; n <= 12; ++n)
        markers.push_back("ДК С6С44 Гр.: Время выхода " + Alkane(n) + " не задано.");
    // c1c5, curve, fraction error, group errors, fraction rows, group rows
    const std::tuple<CondensateResult, TemperatureResult, const char*, std::vector<QString>, QStringList, QStringList> cases[] = {
        {heavy, Curve({{6, 1.0}, {7, 1.5}}), "ДК С6С44 Фр: Невозможно рассчитать фракции, сумма концентраций: С1-С5 + ССС + Метанол > 100%",
         Texts({"ДК С6С44 Гр.: Невозможно рассчитать группы, сумма концентраций: С1-С5 + ССС + Метанол > 100%"}), {"Метан"}, {"Метан"}},
        {{}, faulty, "ДК С6С44 Фр: Невозможно рассчитать фракции, ошибка в градуировочном графике",
         Texts({"ДК С6С44 Гр.: Невозможно рассчитать группы, ошибка в градуировочном графике."}), {}, {}},
        // No segment of the curve is left: the fractions keep their first row.
        {{}, Curve({{6, 1.0}, {6, 1.5}}), "ДК С6С44 Фр: Невозможно рассчитать фракции, недостаточно точек для аппроксимации",
         markers, {"45 - 60"}, {}},
    };
    for (const auto& [c1c5, curve, fractionError, groupErrors, fractionRows, groupRows] : cases) {
        log.ClearMessages();
        const auto [f, g] = Run(curve, c1c5);
        EXPECT_EQ(Errors("ДК С6С44 Фр"), Texts({fractionError}));
        EXPECT_EQ(Errors("ДК С6С44 Гр"), groupErrors);
        EXPECT_TRUE(f.hasError && g.hasError);
        EXPECT_EQ(Names(f.rows), fractionRows);
        EXPECT_EQ(Names(g.rows), groupRows);
    }
    // Two markers make a curve for the fractions but leave five groups unbounded.
    log.ClearMessages();
    const auto [f, g] = Run(Curve({{6, 1.0}, {7, 1.5}}));
    EXPECT_FALSE(f.hasError);
    EXPECT_TRUE(g.hasError && g.rows.empty());
    EXPECT_EQ(Errors("ДК С6С44 Гр").size(), 5u);
}

TEST(CondensateC6C44Ranges, oneRangeAtATimeAndAllTogetherGiveTheHandAreas)
{
    // Samples every 0.25 min; peaks on samples 2..8, 8..12, 12..16, 16..20
    // over zero baselines; 10 °C of the curve is four samples.
    std::vector<float> y(100, 0.0f);
    const float shape[] = {0, 1, 2, 3, 2, 1, 0, 2, 4, 2, 0, 3, 6, 3, 0, 3, 5, 3, 0};
    std::copy(std::begin(shape), std::end(shape), y.begin() + 2);
    const CLattice samples(y, 0.0, 0.25);
    CPeeksTable table;
    for (const auto& [from, to] : {std::pair{0.5, 2.0}, {2.0, 3.0}, {3.0, 4.0}, {4.0, 5.0}}) {
        table.peaks().emplace_back();
        table.peaks().back().startTime = from;
        table.peaks().back().endTime = to;
    }
    const BaselineIntegrator signal(samples, BuildBaselineSegments(samples, table));
    const CalibrationPoints line = {{40, 0.0}, {540, 50.0}};

    // low °C, high °C, hand area: a sample on a common bound belongs to the later peak.
    const std::tuple<int, int, double> cuts[] = {{45, 60, 2.25}, {60, 70, 2.0}, {70, 80, 3.0}, {80, 90, 2.75}, {90, 100, 0.0}};
    CondensateResult areas;
    areas.nParallel = 2;
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    for (const auto& [low, high, area] : cuts) {
        AccumulateCut(areas, line, signal, 1, low, high);
        ranges.emplace_back(SampleIndex(samples, InterpolateLinear(line, low)), SampleIndex(samples, InterpolateLinear(line, high)));
    }
    // start, end (min), hand area; the last one runs to the end of the signal.
    const std::tuple<double, double, double> groups[] = {{1.0, 2.0, 1.75}, {2.0, 4.0, 5.0}, {4.0, kSignalEnd, 2.75}};
    for (const auto& [start, end, area] : groups) {
        EXPECT_REL_NEAR(IntegrateRange(signal, start, end), area);
        ranges.emplace_back(SampleIndex(samples, start), end == kSignalEnd ? samples.size() - 1 : SampleIndex(samples, end));
    }

    ASSERT_EQ(areas.rows.size(), std::size(cuts));
    const std::vector<double> together = signal.IntegratedAreas(ranges);
    ASSERT_EQ(together.size(), std::size(cuts) + std::size(groups));
    for (std::size_t c = 0; c < std::size(cuts); ++c) {
        SCOPED_TRACE(areas.rows[c].name.toStdString());
        ASSERT_EQ(areas.rows[c].conc.size(), 2u);
        EXPECT_EQ(areas.rows[c].conc[0], 0.0);  // the other parallel's place is left alone
        EXPECT_REL_NEAR(areas.rows[c].conc[1], std::get<2>(cuts[c]));
        EXPECT_EQ(together[c], areas.rows[c].conc[1]);  // to the bit
    }
    for (std::size_t g = 0; g < std::size(groups); ++g)
        EXPECT_REL_NEAR(together[std::size(cuts) + g], std::get<2>(groups[g]));
}

TEST_F(CondensateC6C44Test, everySubtractedSampleHasTheBitsOfThePlainDoubleSubtraction)
{
    settings.general.enBlankSubtraction = 1;
    settings.general.TimeStartSample = 1.0;  // each level is that chromatogram's sample 3
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, -0.0f, 0.0f, 1e-40f, 3.4e38f, -3.4e38f};
    std::mt19937 random(20250611);
    std::uniform_real_distribution<float> level(-5.0f, 5.0f);
    auto signal = [&](std::size_t n) {
        std::vector<float> y(n);
        for (std::size_t i = 0; i < n; ++i)
            y[i] = i != 3 && random() % 4 == 0 ? odd[random() % std::size(odd)] : level(random);
        return y;
    };
    // Lengths on both sides of every multiple of 4 and 8, the blank shorter, as long and longer.
    const std::pair<std::size_t, std::size_t> lengths[] = {{4, 4}, {9, 7}, {16, 16}, {17, 30}, {23, 24}, {40, 33}, {67, 67}};
    for (const auto& [n, blankLength] : lengths) {
        const std::vector<float> blank = signal(blankLength);
        const std::vector<float> first = signal(n);
        const std::vector<float> second = signal(n);
        records = {SignalRecord(1, blank, {}), SignalRecord(40, first, {{0.0, 0.5}}), SignalRecord(41, second, {}),
                   MarkerRecord()};
        Recalculate();
        for (const CondensateC6C44Calculator* twin : {static_cast<const CondensateC6C44Calculator*>(&data.dc().fractions),
                                                      static_cast<const CondensateC6C44Calculator*>(&data.dc().groups)}) {
            ASSERT_EQ(twin->chromatograms().size(), 2u);
            for (std::size_t k = 0; k < 2; ++k) {
                const std::vector<float>& y = k == 0 ? first : second;
                const double shift = static_cast<double>(y[3]) - static_cast<double>(blank[3]);
                const SampleVector& got = twin->chromatograms()[k].signal.samples();
                ASSERT_EQ(got.size(), std::min(n, blankLength));
                for (std::size_t i = 0; i < got.size(); ++i) {
                    const double v = (static_cast<double>(y[i]) - static_cast<double>(blank[i])) - shift;
                    const float expected = static_cast<float>(std::max(0.0, v));
                    ASSERT_EQ(std::bit_cast<std::uint32_t>(got[i]), std::bit_cast<std::uint32_t>(expected))
                        << "length " << n << ", parallel " << k << ", sample " << i << ": " << y[i] << " - " << blank[i];
                }
            }
        }
        // The records keep their own samples (NaN included, so compared as bits).
        const SampleVector& kept = records[1].signal.samples();
        EXPECT_TRUE(std::equal(kept.begin(), kept.end(), first.begin(), first.end(), [](float a, float b) {
            return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
        }));
    }
}

TEST_F(CondensateC6C44Test, theBlankIsSubtractedLessTheDifferenceOfTheBaselineLevels)
{
    settings.general.enBlankSubtraction = 1;
    settings.general.TimeStartSample = 1.0;  // the level is that of sample 3 alone
    const ChromatogramRecord peaks = GroupRecord(40, {2, 4, 6, 8, 10, 12, 8});
    std::vector<float> blank(18);
    std::vector<float> sample(20);
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const float b = 1.0f + 0.5f * static_cast<float>(i % 3);
        if (i < blank.size())
            blank[i] = b;
        sample[i] = b + 2.0f + peaks.signal.samples()[i];  // levels 3 and 1
    }
    records = {SignalRecord(40, sample, {}), SignalRecord(41, sample, {}), MarkerRecord()};
    records[0].peakTable = records[1].peakTable = peaks.peakTable;
    for (int blanks : {0, 2}) {  // one blank, no more and no less
        records.insert(records.begin(), blanks, SignalRecord(1, blank, {}));
        Recalculate();
        EXPECT_EQ(Errors(), Texts({"ДК С6С44 Фр.: Необходимо задать одну холостую хроматограмму.",
                                   "ДК С6С44 Гр.: Необходимо задать одну холостую хроматограмму."}));
        EXPECT_TRUE(data.GetDcC6C44GroupsResult().hasError && data.GetDcC6C44GroupsResult().rows.empty());
    }
    records.erase(records.begin());
    Recalculate();

    // Cut to the blank's 18 samples, the last peak ends at the last sample and
    // С12 keeps no area: the other six share 100 % as 2:4:6:8:10:12.
    const SampleVector& subtracted = data.dc().groups.chromatograms().at(1).signal.samples();
    EXPECT_EQ(std::vector<float>(subtracted.begin(), subtracted.end()),
              std::vector<float>(peaks.signal.samples().begin(), peaks.signal.samples().begin() + 18));
    const CondensateResult r = data.GetDcC6C44GroupsResult();
    EXPECT_FALSE(r.hasError);
    ExpectCondensateRows(r, 0, {{"Группа С6", {4.761904761904762, 4.761904761904762}, 4.761904761904762, 0, 10, 0.9523809523809524, true}});
    EXPECT_EQ(r.rows.at(6).conc, (std::vector<double>{0, 0}));
    EXPECT_EQ(Errors("ДК С6С44 Гр"), Texts({"ДК С6С44 Гр.: Невозможно выполнить проверку по таблице 8.7 для фракции Группа С12. Концентрация вне диапазона."}));

    // A blank whose level window lies before its start has no level: nothing is subtracted.
    records[0].signal.setStart(5.0);
    Recalculate();
    EXPECT_EQ(data.dc().groups.chromatograms().at(1).signal.size(), 20);
    EXPECT_TRUE(data.GetDcC6C44FractionsResult().hasError && data.GetDcC6C44GroupsResult().hasError);
    std::vector<QString> expected, levelErrors;
    for (const QString twin : {"Фр", "Гр"}) {
        for (int parallel : {1, 2})
            expected.push_back(QString("ДК С6С44 %1.: Невозможно вычесть холостую хроматограмму, не определен уровень базовой линии: ДК С6С44 %2.").arg(twin).arg(parallel));
    }
    std::copy_if(log.errors().begin(), log.errors().end(), std::back_inserter(levelErrors),
                 [](const QString& e) { return e.contains(QStringLiteral("вычесть")); });
    EXPECT_EQ(levelErrors, expected);
}
