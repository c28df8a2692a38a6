#include "sampleset/SampleSet.h"

#include "data/ChromatogramFolders.h"
#include "data/GeneralSettings.h"
#include "data/SamplingParameters.h"
#include "platform/Profile.h"
#include "support/StgWriter.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace sampleset {

namespace {

QString T(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// 2024-03-12 08:00 UTC: the first run of the day; the runs follow 20 minutes apart.
constexpr std::int64_t kFirstRun = 1710230400;
constexpr std::int64_t kRunSpacing = 20 * 60;

// Every peak of the set is a bump of this half-width; the data system's
// window reaches a little beyond it on either side.
constexpr double kHalfWidth = 0.05;
constexpr double kWindow = 0.0625;

double HeightForArea(double area)
{
    return area * 35.0 / (32.0 * kHalfWidth);
}

// ---- gases -----------------------------------------------------------------

// Where a component leaves the gas column and how strongly the detector
// answers it (area per mol %).
struct GasPeak
{
    const char16_t* name;
    double time;
    double response;
};

constexpr std::array<GasPeak, 18> kGasColumn = {{
    {u"Гелий", 0.9, 0.6},         {u"Водород", 1.1, 0.9},    {u"Азот", 1.5, 0.8},
    {u"Метан", 1.9, 1.0},         {u"Диоксид углерода", 2.5, 1.1}, {u"Этан", 3.1, 1.9},
    {u"Пропан", 4.4, 2.8},        {u"и-Бутан", 5.3, 3.6},    {u"н-Бутан", 5.8, 3.7},
    {u"нео-Пентан", 6.2, 4.4},    {u"и-Пентан", 6.8, 4.5},   {u"н-Пентан", 7.2, 4.6},
    {u"2-Метилпентан", 8.0, 5.4}, {u"н-Гексан", 8.5, 5.4},   {u"Бензол", 8.9, 5.4},
    {u"н-Гептан", 9.6, 6.3},      {u"Толуол", 10.1, 6.3},    {u"н-Октан", 10.8, 7.2},
}};

const GasPeak& Column(const char16_t* name)
{
    for (const GasPeak& p : kGasColumn) {
        if (std::u16string_view(p.name) == std::u16string_view(name))
            return p;
    }
    return kGasColumn[0];  // the tables below name only listed components
}

struct Share
{
    const char16_t* name;
    double value;
};

// mol %, in order of the column.
const std::vector<Share>& GsCylinder()
{
    static const std::vector<Share> c = {
        {u"Гелий", 0.02}, {u"Водород", 0.01}, {u"Азот", 1.5}, {u"Метан", 88.15}, {u"Диоксид углерода", 1.0},
        {u"Этан", 5.0}, {u"Пропан", 2.5}, {u"и-Бутан", 0.6}, {u"н-Бутан", 0.6}, {u"нео-Пентан", 0.05},
        {u"и-Пентан", 0.2}, {u"н-Пентан", 0.2}, {u"н-Гексан", 0.1}, {u"н-Гептан", 0.05}, {u"н-Октан", 0.02},
    };
    return c;
}

const std::vector<Share>& GdCylinder()
{
    static const std::vector<Share> c = {
        {u"Азот", 5.0}, {u"Метан", 70.0}, {u"Диоксид углерода", 6.3}, {u"Этан", 10.0}, {u"Пропан", 5.0},
        {u"и-Бутан", 1.0}, {u"н-Бутан", 1.0}, {u"нео-Пентан", 0.1}, {u"и-Пентан", 0.5}, {u"н-Пентан", 0.5},
        {u"н-Гексан", 0.3}, {u"н-Гептан", 0.2}, {u"н-Октан", 0.1},
    };
    return c;
}

const std::vector<Share>& GsComposition()
{
    static const std::vector<Share> c = {
        {u"Гелий", 0.015}, {u"Водород", 0.006}, {u"Азот", 1.45}, {u"Метан", 89.35}, {u"Диоксид углерода", 0.92},
        {u"Этан", 5.08}, {u"Пропан", 1.92}, {u"и-Бутан", 0.36}, {u"н-Бутан", 0.41}, {u"нео-Пентан", 0.005},
        {u"и-Пентан", 0.12}, {u"н-Пентан", 0.10}, {u"2-Метилпентан", 0.04}, {u"н-Гексан", 0.05},
        {u"Бензол", 0.02}, {u"н-Гептан", 0.03}, {u"Толуол", 0.02}, {u"н-Октан", 0.015},
    };
    return c;
}

const std::vector<Share>& GdComposition()
{
    static const std::vector<Share> c = {
        {u"Азот", 0.45}, {u"Метан", 54.2}, {u"Диоксид углерода", 2.55}, {u"Этан", 17.4}, {u"Пропан", 12.6},
        {u"и-Бутан", 3.05}, {u"н-Бутан", 4.55}, {u"нео-Пентан", 0.06}, {u"и-Пентан", 1.52}, {u"н-Пентан", 1.38},
        {u"2-Метилпентан", 0.45}, {u"н-Гексан", 0.55}, {u"Бензол", 0.18}, {u"н-Гептан", 0.42},
        {u"Толуол", 0.18}, {u"н-Октан", 0.21},
    };
    return c;
}

// A gas run: each component's area is its share × response × the run's
// injection factor, spread by a permille or two per component and run.
ChromatogramPlan GasRun(const std::vector<Share>& shares, double injection, int run)
{
    ChromatogramPlan plan;
    plan.signal.minutes = 12.0;
    plan.signal.base = 0.05;
    plan.signal.drift = 0.0005;
    plan.signal.noise = 0.002;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        const GasPeak& column = Column(shares[i].name);
        const double spread = 1.0 + 0.001 * static_cast<double>((static_cast<int>(i) * 7 + run * 3) % 5 - 2);
        const double area = shares[i].value * column.response * injection * spread;
        plan.signal.bumps.push_back({column.time, kHalfWidth, HeightForArea(area)});
        plan.peaks.push_back({T(column.name), column.time - kWindow, column.time + kWindow, shares[i].value});
    }
    return plan;
}

// ---- sulphur compounds, methanol, light condensate ------------------------

// A component and its peak-table concentration in each parallel run; the
// bump's height follows the concentration.
struct Measured
{
    const char16_t* name;
    double time;
    std::array<double, 3> values;
};

ChromatogramPlan MeasuredRun(const std::vector<Measured>& components, int run, double minutes, double base,
                             double heightPerUnit)
{
    ChromatogramPlan plan;
    plan.signal.minutes = minutes;
    plan.signal.base = base;
    plan.signal.noise = 0.001;
    for (const Measured& m : components) {
        const double value = m.values[static_cast<std::size_t>(run)];
        plan.signal.bumps.push_back({m.time, kHalfWidth, value * heightPerUnit});
        plan.peaks.push_back({T(m.name), m.time - kWindow, m.time + kWindow, value});
    }
    return plan;
}

// mg/m3 of gas, mg/dm3 of condensate.
const std::vector<Measured> kGsSulphur = {
    {u"Сульфид водорода", 1.2, {20.1, 19.8, 20.3}}, {u"Карбонилсульфид", 1.6, {2.0, 2.1, 1.95}},
    {u"Метантиол", 2.4, {8.1, 7.9, 8.0}},           {u"Этантиол", 3.5, {3.05, 2.95, 3.0}},
};
const std::vector<Measured> kGdSulphur = {
    {u"Сульфид водорода", 1.2, {161.0, 158.0, 0.0}}, {u"Метантиол", 2.4, {60.5, 59.2, 0.0}},
    {u"Этантиол", 3.5, {25.2, 24.6, 0.0}},           {u"Диметилсульфид", 3.9, {12.1, 11.8, 0.0}},
};
const std::vector<Measured> kDcSulphur = {
    {u"Сульфид водорода", 1.2, {10.9, 10.7, 0.0}}, {u"Метантиол", 2.4, {21.8, 21.3, 0.0}},
    {u"Этантиол", 3.5, {14.5, 14.2, 0.0}},         {u"Диметилсульфид", 3.9, {7.3, 7.1, 0.0}},
    {u"Тиофен", 6.3, {5.05, 4.92, 0.0}},
};
// mg/dm3 of the absorber liquid or the water extract.
const std::vector<Measured> kGsMethanol = {{u"Метанол", 2.3, {124.0, 126.5, 0.0}}};
const std::vector<Measured> kGdMethanol = {{u"Метанол", 2.3, {410.0, 402.0, 0.0}}};
const std::vector<Measured> kDcMethanol = {{u"Метанол", 2.3, {80.5, 82.1, 0.0}}};
// mass % of the condensate.
const std::vector<Measured> kDcC1C5 = {
    {u"Метан", 1.0, {0.031, 0.029, 0.0}},       {u"Этан", 1.4, {0.26, 0.25, 0.0}},
    {u"Пропан", 2.1, {1.12, 1.10, 0.0}},        {u"и-Бутан", 2.9, {0.86, 0.84, 0.0}},
    {u"н-Бутан", 3.3, {1.52, 1.49, 0.0}},       {u"нео-Пентан", 3.6, {0.021, 0.020, 0.0}},
    {u"и-Пентан", 4.2, {1.71, 1.69, 0.0}},      {u"н-Пентан", 4.6, {1.93, 1.90, 0.0}},
    {u"Циклопентан", 5.3, {0.12, 0.118, 0.0}},
};

// ---- condensate C6-C44 ----------------------------------------------------

// Boiling temperatures, °C, of the n-alkanes С5 .. С44.
constexpr std::array<double, 40> kAlkaneBoiling = {
    36, 69, 98, 126, 151, 174, 196, 216, 235, 254, 271, 287, 302, 316, 330, 344, 356, 369, 380, 391,
    402, 412, 422, 430, 440, 449, 458, 466, 474, 481, 489, 496, 503, 509, 516, 522, 528, 534, 540, 545,
};
constexpr int kFirstCarbon = 5;

double Boiling(int carbon)
{
    return kAlkaneBoiling[static_cast<std::size_t>(carbon - kFirstCarbon)];
}

// The temperature-programmed column elutes by boiling point: 1.5 min plus a
// minute per 10 °C.
double RetentionOf(double boiling)
{
    return 1.5 + boiling / 10.0;
}

constexpr double kLongRun = 60.0;  // min
constexpr double kStartOfSample = 3.0;  // min: the solvent is out, nothing elutes yet

// The condensate by boiling point: for each carbon number three isomer
// peaks between the n-alkanes and the n-alkane itself (2 : 2 : 2 : 4); the
// amount falls by 0.835 from one carbon number to the next.
struct CondensatePeak
{
    double boiling;
    double height;
};

std::vector<CondensatePeak> CondensatePeaks()
{
    std::vector<CondensatePeak> peaks = {{28.0, 14.0}, {36.0, 17.0}};  // i- and n-pentane
    double amount = 120.0;
    for (int n = 6; n <= 44; ++n) {
        const double previous = Boiling(n - 1);
        const double current = Boiling(n);
        for (int j = 1; j <= 3; ++j)
            peaks.push_back({previous + (current - previous) * j / 4.0, 0.2 * amount});
        peaks.push_back({current, 0.4 * amount});
        amount *= 0.835;
    }
    return peaks;
}

// The data system's slices: one per carbon number, from the valley after
// the previous n-alkane to the valley after this one.
double SliceBound(int carbon)
{
    if (carbon < kFirstCarbon)
        return 18.0;
    if (carbon >= 44)
        return 547.0;
    return Boiling(carbon) + (Boiling(carbon + 1) - Boiling(carbon)) / 8.0;
}

QString SliceName(int carbon)
{
    static const std::array<const char16_t*, 8> alkanes = {u"н-Пентан", u"н-Гексан", u"н-Гептан", u"н-Октан",
                                                           u"н-Нонан",  u"н-Декан",  u"н-Ундекан", u"н-Додекан"};
    return carbon <= 12 ? T(alkanes[static_cast<std::size_t>(carbon - kFirstCarbon)]) : T(u"Группа С12");
}

SignalPlan LongRunSignal()
{
    SignalPlan s;
    s.minutes = kLongRun;
    s.base = 0.8;
    s.drift = 0.004;  // column bleed as the oven heats
    s.noise = 0.003;
    return s;
}

ChromatogramPlan CondensateRun(int run)
{
    static const std::array<double, 2> injection = {1.0, 0.985};
    ChromatogramPlan plan;
    plan.signal = LongRunSignal();
    const std::vector<CondensatePeak> peaks = CondensatePeaks();
    std::vector<double> sliceAmount(44 - kFirstCarbon + 1, 0.0);
    double total = 0.0;
    for (std::size_t j = 0; j < peaks.size(); ++j) {
        const double spread = 1.0 + 0.004 * static_cast<double>(static_cast<int>(j % 5) - 2) * run;
        const double height = peaks[j].height * injection[static_cast<std::size_t>(run)] * spread;
        plan.signal.bumps.push_back({RetentionOf(peaks[j].boiling), kHalfWidth, height});
        for (int n = kFirstCarbon; n <= 44; ++n) {
            if (peaks[j].boiling <= SliceBound(n)) {
                sliceAmount[static_cast<std::size_t>(n - kFirstCarbon)] += height;
                break;
            }
        }
        total += height;
    }
    for (int n = kFirstCarbon; n <= 44; ++n) {
        const double share = sliceAmount[static_cast<std::size_t>(n - kFirstCarbon)] * 100.0 / total;
        plan.peaks.push_back({SliceName(n), RetentionOf(SliceBound(n - 1)), RetentionOf(SliceBound(n)), share});
    }
    return plan;
}

ChromatogramPlan TemperatureRun()
{
    ChromatogramPlan plan;
    plan.signal = LongRunSignal();
    auto marker = [&plan](const QString& name, double boiling) {
        const double apex = RetentionOf(boiling);
        plan.signal.bumps.push_back({apex, kHalfWidth, 10.0});
        plan.peaks.push_back({name, apex - kWindow, apex + kWindow, 2.5});
    };
    marker(T(u"С5"), Boiling(5));
    marker(T(u"2-метилпентан"), 60.3);
    for (int n = 6; n <= 44; ++n)
        marker(T(u"С") + QString::number(n), Boiling(n));
    return plan;
}

// ---- the set ---------------------------------------------------------------

const QString kWell = QStringLiteral("скв. 1205");

struct Run
{
    QString fileName;
    QString sample;
    QString method;
    bool calibration;
    ChromatogramPlan plan;
};

} // namespace

std::vector<float> RenderSignal(const SignalPlan& plan, double step)
{
    const auto count = static_cast<std::size_t>(std::llround(plan.minutes / step));
    std::vector<double> values(count);
    std::uint64_t state = plan.seed;
    for (std::size_t i = 0; i < count; ++i) {
        // A 64-bit linear congruential generator; its top 53 bits make a
        // uniform number in [0, 1).
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const double uniform = static_cast<double>(state >> 11) * 0x1.0p-53;
        const double t = static_cast<double>(i) * step;
        values[i] = plan.base + plan.drift * t;
        values[i] += plan.noise * (uniform - 0.5);
    }
    for (const Bump& bump : plan.bumps) {
        const double first = std::ceil((bump.apex - bump.halfWidth) / step);
        const double last = std::floor((bump.apex + bump.halfWidth) / step);
        for (double k = std::max(first, 0.0); k <= last && k < static_cast<double>(count); k += 1.0) {
            const double u = (k * step - bump.apex) / bump.halfWidth;
            const double w = 1.0 - u * u;
            if (w > 0.0)
                values[static_cast<std::size_t>(k)] += bump.height * (w * w * w);
        }
    }
    return std::vector<float>(values.begin(), values.end());
}

std::vector<ChromatogramPlan> SampleChromatograms()
{
    const QString gas = T(u"ГАЗ-ПГ");
    const QString gasSulphur = T(u"ССС-ГАЗ");
    const QString dcSulphur = T(u"ССС-ДК");
    const QString methanol = T(u"МЕТАНОЛ");
    const QString c1c5 = T(u"ДК-С1С5");
    const QString c6c44 = T(u"ДК-С6С44");
    const QString gs = T(u"ГС ") + kWell;
    const QString gd = T(u"ГД ") + kWell;
    const QString dc = T(u"ДК ") + kWell;

    std::vector<Run> runs;
    auto add = [&runs](const QString& file, const QString& sample, const QString& method, bool calibration,
                       ChromatogramPlan plan) { runs.push_back({file, sample, method, calibration, std::move(plan)}); };

    const std::array<double, 3> gsCalibration = {1.0, 1.0008, 0.9994};
    const std::array<double, 3> gdCalibration = {1.0, 0.9991, 1.0006};
    const std::array<double, 3> gsAnalysis = {1.0, 1.0015, 0.9988};
    const std::array<double, 2> gdAnalysis = {1.0, 0.9979};
    for (int r = 0; r < 3; ++r)
        add(QStringLiteral("gs_calibration_%1.stg").arg(r + 1), T(u"Калибровка баллон 7731"), gas, true,
            GasRun(GsCylinder(), gsCalibration[r], r));
    for (int r = 0; r < 3; ++r)
        add(QStringLiteral("gs_analysis_%1.stg").arg(r + 1), gs, gas, false, GasRun(GsComposition(), gsAnalysis[r], r));
    for (int r = 0; r < 3; ++r)
        add(QStringLiteral("gs_sulphur_%1.stg").arg(r + 1), gs, gasSulphur, false, MeasuredRun(kGsSulphur, r, 8.0, 0.1, 0.5));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("gs_methanol_%1.stg").arg(r + 1), gs, methanol, false, MeasuredRun(kGsMethanol, r, 5.0, 0.2, 0.08));
    for (int r = 0; r < 3; ++r)
        add(QStringLiteral("gd_calibration_%1.stg").arg(r + 1), T(u"Калибровка баллон 4410"), gas, true,
            GasRun(GdCylinder(), gdCalibration[r], r));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("gd_analysis_%1.stg").arg(r + 1), gd, gas, false, GasRun(GdComposition(), gdAnalysis[r], r));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("gd_sulphur_%1.stg").arg(r + 1), gd, gasSulphur, false, MeasuredRun(kGdSulphur, r, 8.0, 0.1, 0.05));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("gd_methanol_%1.stg").arg(r + 1), gd, methanol, false, MeasuredRun(kGdMethanol, r, 5.0, 0.2, 0.03));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("dc_c1c5_%1.stg").arg(r + 1), dc, c1c5, false, MeasuredRun(kDcC1C5, r, 8.0, 0.05, 20.0));
    {
        ChromatogramPlan blank;
        blank.signal = LongRunSignal();
        add(QStringLiteral("dc_blank.stg"), T(u"Холостая проба"), c6c44, false, blank);
    }
    add(QStringLiteral("dc_temperature.stg"), T(u"Смесь н-алканов С5-С44"), c6c44, false, TemperatureRun());
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("dc_c6c44_%1.stg").arg(r + 1), dc, c6c44, false, CondensateRun(r));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("dc_sulphur_%1.stg").arg(r + 1), dc, dcSulphur, false, MeasuredRun(kDcSulphur, r, 8.0, 0.1, 0.5));
    for (int r = 0; r < 2; ++r)
        add(QStringLiteral("dc_methanol_%1.stg").arg(r + 1), T(u"ДК ") + kWell + T(u" (водный экстракт)"), methanol,
            false, MeasuredRun(kDcMethanol, r, 5.0, 0.2, 0.25));

    std::vector<ChromatogramPlan> plans;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ChromatogramPlan plan = std::move(runs[i].plan);
        plan.fileName = runs[i].fileName;
        plan.sample = runs[i].sample;
        plan.method = runs[i].method;
        plan.calibration = runs[i].calibration;
        plan.analysisTime = kFirstRun + static_cast<std::int64_t>(i) * kRunSpacing;
        plan.signal.seed = 1000 + 7919 * static_cast<std::uint64_t>(i);
        plans.push_back(std::move(plan));
    }
    return plans;
}

MixtureList SampleCylinders()
{
    auto cylinder = [](std::int32_t number, const char16_t* name, const char16_t* identifier, std::int32_t type,
                       const std::vector<Share>& shares) {
        auto m = std::make_shared<MixtureData>();
        m->number = number;
        m->name = T(name);
        m->identifier = T(identifier);
        m->date = 1704096000;  // 2024-01-01, when the cylinders were certified
        m->type = type;
        std::int32_t k = 1;
        for (const Share& s : shares) {
            MixCompData c;
            c.number = k++;
            c.name = T(s.name);
            c.concentration = s.value;
            c.uncertainty = s.value * 0.02;
            m->components.push_back(c);
        }
        return m;
    };
    return {
        cylinder(1, u"ПГС ГС-7731", u"7731", MixtureKindGs, GsCylinder()),
        cylinder(2, u"ПГС ГД-4410", u"4410", MixtureKindGd, GdCylinder()),
        cylinder(3, u"Стандарт ДК-2206", u"2206", MixtureKindDc,
                 {{u"н-Пентан", 15.0}, {u"н-Гексан", 25.0}, {u"н-Гептан", 30.0}, {u"н-Октан", 30.0}}),
    };
}

void ApplySampleSettings(GeneralSettings& general)
{
    TypeRuleTable& t = general.typeRules;
    const QString gas = T(u"ГАЗ-ПГ");
    const QString c6c44 = T(u"ДК-С6С44");
    const struct
    {
        int row;
        QString method;
        QString sample;
    } rules[] = {
        {0, c6c44, T(u"Холост")},          {1, gas, T(u"ГС")},
        {2, gas, T(u"Калибр")},            {3, T(u"ССС-ГАЗ"), T(u"ГС")},
        {4, T(u"МЕТАНОЛ"), T(u"ГС")},      {5, gas, T(u"ГД")},
        {6, gas, T(u"Калибр")},            {7, T(u"ССС-ГАЗ"), T(u"ГД")},
        {8, T(u"МЕТАНОЛ"), T(u"ГД")},      {9, T(u"ДК-С1С5"), T(u"ДК")},
        {10, c6c44, T(u"алкан")},          {11, T(u"ССС-ДК"), T(u"ДК")},
        {12, T(u"МЕТАНОЛ"), T(u"ДК")},     {13, c6c44, T(u"ДК")},
    };
    for (const auto& rule : rules) {
        t.SetMethodPattern(rule.row, rule.method);
        t.SetSamplePattern(rule.row, rule.sample);
    }
    general.QtyGsRegular = 1;  // three separator-gas analyses, two of everything else
    general.enBlankSubtraction = 1;
    general.TimeStartSample = kStartOfSample;
}

void ApplySampleParameters(SamplingParameters& p)
{
    p.GsPressure = 101.3;
    p.GsVol1 = 100.0;
    p.GsVol2 = 50.0;
    p.GsTemp = 20.0;
    p.GdPressure = 101.3;
    p.GdVol1 = 50.0;
    p.GdVol2 = 10.0;
    p.DcDensity = 0.724;
    p.DcAvg = 122.0;
    p.DcVol1 = 50.0;
    p.DcVol2 = 100.0;
    p.PgQkgn = 185.0;
    p.PgVol1 = 500.0;
    p.PgVol2 = 24.0;
    p.PgVol3 = 405.0;
    p.PgMpokgn = 1848.0;
    p.PgMpoempty = 1520.0;
    p.PgMpodc = 1805.0;
    p.PgMtrapdc = 218.2;
    p.PgMtrapempty = 210.0;
}

testsupport::StgTable SampleTable(const ChromatogramPlan& plan)
{
    testsupport::StgTable table;
    for (const PeakPlan& p : plan.peaks)
        table.peaks.append(testsupport::peak(p.start, p.end, p.concentration, p.name));
    return table;
}

testsupport::StgPassport SamplePassport(const ChromatogramPlan& plan)
{
    testsupport::StgPassport passport;
    passport.sample = plan.sample;
    passport.method = plan.method;
    passport.calibrationFlag = plan.calibration ? 1u : 0u;
    passport.analysisTime = plan.analysisTime;
    passport.samplingTime = kFirstRun - 24 * 3600;
    passport.samplingSpot = T(u"Сепаратор С-1");
    passport.samplingPoint = kWell + T(u", УКПГ-2");
    passport.operatorName = T(u"Лаборант");
    passport.duration = plan.signal.minutes;
    return passport;
}

QString ChromatogramFolderName()
{
    return QStringLiteral("chromatograms");
}

QString MixturesFileName()
{
    return QStringLiteral("MixturesData");
}

QString ProfileFileName()
{
    return QStringLiteral("tavrin.conf");
}

bool WriteSampleSet(const QString& folder, WrittenSet* written, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // The profile keeps the folder to scan: relative, it would name another
    // folder once the program is started elsewhere.
    const QDir root(QDir(folder).absolutePath());
    const QString stgFolder = root.filePath(ChromatogramFolderName());
    if (!QDir().mkpath(stgFolder))
        return fail(QStringLiteral("cannot make the folder %1").arg(stgFolder));

    WrittenSet set;
    set.folder = root.absolutePath();
    for (const ChromatogramPlan& plan : SampleChromatograms()) {
        const QString path = QDir(stgFolder).filePath(plan.fileName);
        const std::vector<float> samples = RenderSignal(plan.signal);
        const auto step = static_cast<float>(kStep);
        if (!testsupport::writeStgFile(path, testsupport::stgStreams(samples, 0.0f, step, 2.0f * step, SampleTable(plan),
                                                                     SamplePassport(plan))))
            return fail(QStringLiteral("cannot write %1").arg(path));
        set.chromatograms.append(path);
    }

    set.mixturesPath = root.filePath(MixturesFileName());
    QFile mixtures(set.mixturesPath);
    const QByteArray archive = WriteMixturesArchive(SampleCylinders());
    if (!mixtures.open(QIODevice::WriteOnly | QIODevice::Truncate) || mixtures.write(archive) != archive.size())
        return fail(QStringLiteral("cannot write %1").arg(set.mixturesPath));
    mixtures.close();

    set.profilePath = root.filePath(ProfileFileName());
    QFile::remove(set.profilePath);
    {
        Profile profile(set.profilePath);
        GeneralSettings general;
        ApplySampleSettings(general);
        general.SaveSettings(profile);
        SamplingParameters params;
        ApplySampleParameters(params);
        params.SaveSettings(profile);
        ChromatogramFolders folders;
        folders.AddFolder(stgFolder);
        folders.SaveSettings(profile);
        if (!profile.sync())
            return fail(QStringLiteral("cannot write %1").arg(set.profilePath));
    }
    if (written)
        *written = set;
    return true;
}

} // namespace sampleset
