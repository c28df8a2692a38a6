#include <gtest/gtest.h>

#include "data/Settings.h"
#include "report/ReportResultTables.h"
#include "support/XmlTree.h"

#include <QRegularExpression>

#include <cfloat>
#include <functional>
#include <limits>

using testsupport::SameXmlTree;

namespace {

const double kUnset = -DBL_MAX;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The expected documents are written without the data-type marks: every
// leaf gets dt:dt="string", and a leaf written <x i4> gets dt:dt="i4".
QByteArray Typed(QString xml)
{
    xml.replace(QRegularExpression(QStringLiteral("<(\\w+) i4>")), QStringLiteral("<\\1 dt:dt=\"i4\">"));
    xml.replace(QRegularExpression(QStringLiteral("<(\\w+)>([^<]*)</\\1>")), QStringLiteral("<\\1 dt:dt=\"string\">\\2</\\1>"));
    xml.replace(QRegularExpression(QStringLiteral("<(\\w+)/>")), QStringLiteral("<\\1 dt:dt=\"string\"/>"));
    return (QStringLiteral("<Document xmlns:dt=\"urn:tavrin:report-datatypes\">") + xml + QStringLiteral("</Document>"))
        .toUtf8();
}

// A table as the frame writes it, over a grid of the two captions below.
QString Table(const char* title, const char* rows)
{
    return QStringLiteral("<calc_table><header_row><column><cspan i4>2</cspan><label>%1</label></column></header_row>"
                          "<header_row><column><label>№</label></column><column><label>Компонент</label></column>"
                          "</header_row>%2</calc_table>")
        .arg(QString::fromUtf8(title), QString::fromUtf8(rows));
}

CalibrationRow Calibration(const char* name, std::vector<double> k, double concMol, double mean, double range,
                           double norm, bool ok)
{
    CalibrationRow r;
    r.name = QString::fromUtf8(name);
    r.K = std::move(k);
    r.conc_mol = concMol;
    r.Kavr = mean;
    r.Rk = range;
    r.norm = norm;
    r.ok = ok;
    return r;
}

GasAnalysisRow Analysis(const char* name, std::vector<double> raw, std::vector<double> normalised, double mean,
                        double range, double norm, double uncertainty, bool ok)
{
    GasAnalysisRow r;
    r.name = QString::fromUtf8(name);
    r.rawConc = std::move(raw);
    r.normConc = std::move(normalised);
    // Not part of the report: a value here must not show.
    r.finalConc = {777.0, 777.0, 777.0};
    r.mean = mean;
    r.range = range;
    r.norm = norm;
    r.uncertainty = uncertainty;
    r.ok = ok;
    return r;
}

SulphurRow Sulphur(const char* name, std::vector<double> conc, double mean, double range, double norm,
                   double uncertainty, double molConc, double mercaptan, bool ok)
{
    SulphurRow r;
    r.name = QString::fromUtf8(name);
    r.conc = std::move(conc);
    r.mean = mean;
    r.range = range;
    r.norm = norm;
    r.uncertainty = uncertainty;
    r.molConc = molConc;
    r.mercaptanSulphur = mercaptan;
    r.molarMass = 777.0;
    r.ok = ok;
    return r;
}

GasMethanolRow GasMethanol(std::vector<double> conc, double mean, double range, double norm, double uncertainty,
                           double massConc, double molConc, bool ok)
{
    GasMethanolRow r;
    r.name = QStringLiteral("Метанол");
    r.conc = std::move(conc);
    std::tie(r.mean, r.range, r.norm, r.uncertainty, r.massConc, r.molConc, r.ok) =
        std::tuple(mean, range, norm, uncertainty, massConc, molConc, ok);
    return r;
}

CondensateRow Condensate(const char* name, std::vector<double> conc, double mean, double range, double norm,
                         double uncertainty, bool ok)
{
    CondensateRow r;
    r.name = QString::fromUtf8(name);
    r.conc = std::move(conc);
    std::tie(r.mean, r.range, r.norm, r.uncertainty, r.ok) = std::tuple(mean, range, norm, uncertainty, ok);
    return r;
}

template <typename Result, typename Row>
Result Of(std::vector<Row> rows)
{
    Result result;
    result.rows = std::move(rows);
    // The tables take their width from the settings, never from here.
    result.nParallel = 1;
    return result;
}

struct TableCase
{
    const char* what;
    std::function<void(GeneralSettings&)> settings;
    std::function<void(XMLWrapper&, ReportDocument&)> write;
    QString expected;
};

class ReportResultTablesTest : public ::testing::Test
{
protected:
    ReportResultTablesTest()
    {
        for (int t = static_cast<int>(ReportTable::GsCalibration); t <= static_cast<int>(ReportTable::DcGroups); ++t)
            captions.SetCaptions(static_cast<ReportTable>(t), {QStringLiteral("№"), QStringLiteral("Компонент")});
    }

    QByteArray Write(const TableCase& c)
    {
        settings.general = GeneralSettings();
        if (c.settings)
            c.settings(settings.general);
        ReportDocument report({&settings, nullptr, nullptr, nullptr, nullptr, &captions}, ReportSettings{});
        XMLWrapper doc;
        EXPECT_TRUE(doc.InitDocument());
        c.write(doc, report);
        return doc.ToXml();
    }

    CSettings settings;
    ReportCaptionTable captions;
};

} // namespace

TEST_F(ReportResultTablesTest, everyRowKindWithItsTotalsRow)
{
    const TableCase cases[] = {
        {"separator-gas calibration, five runs, no totals; a short series and unset values give ---",
         [](GeneralSettings& g) {
             g.QtyGsCalib = 1;
             g.qtySymInReport = 2;
         },
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GsCalibration,
                              Of<CalibrationResult>(std::vector{
                                  Calibration("Метан", {1.5, 1.25, 2.0, 0.126, 3.0}, 90.5, 1.576, 12.5, 15.0, true),
                                  Calibration("Этан", {0.5, 0.25, 0.75}, 0.0, kUnset, kNaN, 0.0, false)}));
         },
         Table("Газ сепарации -  Калибровка",
               "<fill_data><name i4>1</name><name>Метан</name><conc_mol>90.50</conc_mol><K>1.50</K><K>1.25</K>"
               "<K>2.00</K><K>0.13</K><K>3.00</K><Kavr>1.58</Kavr><Rk>12.50</Rk><norm>15.00</norm><ok>Да</ok></fill_data>"
               "<fill_data><name i4>2</name><name>Этан</name><conc_mol>0</conc_mol><K>0.50</K><K>0.25</K><K>0.75</K>"
               "<K>---</K><K>---</K><Kavr>---</Kavr><Rk>---</Rk><norm>0</norm><ok>Нет</ok></fill_data>")},
        {"degassing-gas calibration, three runs of five",
         [](GeneralSettings& g) { g.qtySymInReport = 1; },
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GdCalibration,
                              Of<CalibrationResult>(std::vector{
                                  Calibration("Пропан", {1.0, 2.0, 3.0, 4.0, 5.0}, 2.5, 2.0, 100.0, 50.0, false)}));
         },
         Table("Газ дегазации - Калибровка",
               "<fill_data><name i4>1</name><name>Пропан</name><conc_mol>2.5</conc_mol><K>1.0</K><K>2.0</K>"
               "<K>3.0</K><Kavr>2.0</Kavr><Rk>100.0</Rk><norm>50.0</norm><ok>Нет</ok></fill_data>")},
        {"separator-gas analysis, two analyses, totals of both series and the mean",
         nullptr,
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GsAnalysis,
                              Of<GasAnalysisResult>(std::vector{
                                  Analysis("Метан", {90.0, 91.0, 92.0}, {90.5, 91.5}, 90.75, 1.1, 2.0, 0.25, true),
                                  Analysis("Этан", {9.0, 8.5}, {9.5, 8.5}, 9.0, 5.5556, 3.0, 0.05, false)}));
         },
         Table("Газ сепарации - Анализ",
               "<fill_data><name i4>1</name><name>Метан</name><conc>90.000</conc><conc>91.000</conc>"
               "<conc_norm>90.500</conc_norm><conc_norm>91.500</conc_norm><conc_avg>90.750</conc_avg>"
               "<check>1.100</check><norm>2.000</norm><presision>0.250</presision><ok>Да</ok></fill_data>"
               "<fill_data><name i4>2</name><name>Этан</name><conc>9.000</conc><conc>8.500</conc>"
               "<conc_norm>9.500</conc_norm><conc_norm>8.500</conc_norm><conc_avg>9.000</conc_avg>"
               "<check>5.556</check><norm>3.000</norm><presision>0.050</presision><ok>Нет</ok></fill_data>"
               "<fill_data><name/><name>Всего:</name><conc>99.000</conc><conc>99.500</conc>"
               "<conc_norm>100.000</conc_norm><conc_norm>100.000</conc_norm><conc_avg>99.750</conc_avg></fill_data>")},
        {"degassing-gas analysis, three analyses: a missing or unset summand leaves its sum unset",
         [](GeneralSettings& g) {
             g.QtyGdRegular = 1;
             g.qtySymInReport = 1;
         },
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GdAnalysis,
                              Of<GasAnalysisResult>(std::vector{
                                  Analysis("Азот", {1.0, 2.0}, {1.0, 2.0, 3.0}, kUnset, 0.0, 0.0, 0.0, true),
                                  Analysis("Гелий", {3.0, 4.0, 5.0}, {kNaN, 1.0, 1.0}, 2.0, 0.0, 0.0, 0.0, true)}));
         },
         Table("Газ дегазации - Анализ",
               "<fill_data><name i4>1</name><name>Азот</name><conc>1.0</conc><conc>2.0</conc><conc>---</conc>"
               "<conc_norm>1.0</conc_norm><conc_norm>2.0</conc_norm><conc_norm>3.0</conc_norm><conc_avg>---</conc_avg>"
               "<check>0</check><norm>0</norm><presision>0</presision><ok>Да</ok></fill_data>"
               "<fill_data><name i4>2</name><name>Гелий</name><conc>3.0</conc><conc>4.0</conc><conc>5.0</conc>"
               "<conc_norm>---</conc_norm><conc_norm>1.0</conc_norm><conc_norm>1.0</conc_norm><conc_avg>2.0</conc_avg>"
               "<check>0</check><norm>0</norm><presision>0</presision><ok>Да</ok></fill_data>"
               "<fill_data><name/><name>Всего:</name><conc>4.0</conc><conc>6.0</conc><conc>---</conc>"
               "<conc_norm>---</conc_norm><conc_norm>3.0</conc_norm><conc_norm>4.0</conc_norm>"
               "<conc_avg>---</conc_avg></fill_data>")},
        {"separator-gas sulphur compounds: always three analyses; the result's own totals",
         [](GeneralSettings& g) { g.QtyGdSss = g.QtyDcSss = 0; },
         [](XMLWrapper& doc, ReportDocument& report) {
             SulphurResult r = Of<SulphurResult>(std::vector{
                 Sulphur("Сероводород", {0.1, 0.2, 0.3}, 0.2, 10.0, 20.0, 0.01, 0.15, 0.0, true),
                 Sulphur("Метилмеркаптан", {0.05, 0.07, 0.06}, 0.06, 33.3334, 20.0, 0.006, 0.04, 0.04, false)});
             r.molConcTotal = 0.1912;
             r.mercaptanSulphurTotal = 0.0407;
             WriteResultTable(doc, report, ReportTable::GsSulphur, r);
         },
         Table("Газ сепарации - Cеросодержащие соединения",
               "<fill_data><name i4>1</name><name>Сероводород</name><conc>0.100</conc><conc>0.200</conc>"
               "<conc>0.300</conc><conc_avg>0.200</conc_avg><check>10.000</check><norm>20.000</norm><ok>Да</ok>"
               "<presision>0.010</presision><Csss>0.150</Csss><Xsrsh>0</Xsrsh></fill_data>"
               "<fill_data><name i4>2</name><name>Метилмеркаптан</name><conc>0.050</conc><conc>0.070</conc>"
               "<conc>0.060</conc><conc_avg>0.060</conc_avg><check>33.333</check><norm>20.000</norm><ok>Нет</ok>"
               "<presision>0.006</presision><Csss>0.040</Csss><Xsrsh>0.040</Xsrsh></fill_data>"
               "<fill_data><name/><name>Всего:</name><conc>0.150</conc><conc>0.270</conc><conc>0.360</conc>"
               "<conc_avg>0.260</conc_avg><sum_csss>0.191</sum_csss><Xsrsh>0.041</Xsrsh></fill_data>")},
        {"condensate sulphur compounds, two analyses",
         nullptr,
         [](XMLWrapper& doc, ReportDocument& report) {
             SulphurResult r = Of<SulphurResult>(
                 std::vector{Sulphur("Этилмеркаптан", {0.5, 1.5, 9.0}, 1.0, 1.0, 0.5, 0.25, 2.0, 0.75, false)});
             r.molConcTotal = kUnset;
             r.mercaptanSulphurTotal = 0.0;
             WriteResultTable(doc, report, ReportTable::DcSulphur, r);
         },
         Table("Дегазированный конденсат -  Cеросодержащие соединения",
               "<fill_data><name i4>1</name><name>Этилмеркаптан</name><conc>0.500</conc><conc>1.500</conc>"
               "<conc_avg>1.000</conc_avg><check>1.000</check><norm>0.500</norm><ok>Нет</ok>"
               "<presision>0.250</presision><Csss>2.000</Csss><Xsrsh>0.750</Xsrsh></fill_data>"
               "<fill_data><name/><name>Всего:</name><conc>0.500</conc><conc>1.500</conc>"
               "<conc_avg>1.000</conc_avg><sum_csss>---</sum_csss><Xsrsh>0</Xsrsh></fill_data>")},
        {"separator-gas methanol: mass and mol concentrations last, no totals",
         [](GeneralSettings& g) { g.qtySymInReport = 4; },
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GsMethanol,
                              Of<GasMethanolResult>(
                                  std::vector{GasMethanol({12.5, 13.5}, 13.0, 7.6923, 10.0, 1.3, 0.0021, 0.0017, true)}));
         },
         Table("Газ сепарации - Метанол",
               "<fill_data><name i4>1</name><name>Метанол</name><conc>12.5000</conc><conc>13.5000</conc>"
               "<conc_avg>13.0000</conc_avg><check>7.6923</check><norm>10.0000</norm><ok>Да</ok>"
               "<presision>1.3000</presision><Csss>0.0021</Csss><Xsrsh>0.0017</Xsrsh></fill_data>")},
        {"degassing-gas methanol, three analyses",
         [](GeneralSettings& g) { g.QtyGdMeth = 1; },
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GdMethanol,
                              Of<GasMethanolResult>(
                                  std::vector{GasMethanol({1.0, 2.0, 3.0}, 2.0, -1.5, 0.0, 0.0, 0.0, 0.0, false)}));
         },
         Table("Газ дегазации - Метанол",
               "<fill_data><name i4>1</name><name>Метанол</name><conc>1.000</conc><conc>2.000</conc><conc>3.000</conc>"
               "<conc_avg>2.000</conc_avg><check>-1.500</check><norm>0</norm><ok>Нет</ok>"
               "<presision>0</presision><Csss>0</Csss><Xsrsh>0</Xsrsh></fill_data>")},
        {"condensate C1-C5, three analyses: K, Kavr and Rk, totals as conc and conc_avg",
         [](GeneralSettings& g) {
             g.QtyDcC1C5 = 1;
             g.qtySymInReport = 2;
         },
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::DcC1C5,
                              Of<CondensateResult>(std::vector{
                                  Condensate("Пропан", {1.5, 1.52, 1.51}, 1.51, 0.02, 0.1, 0.05, true),
                                  Condensate("н-Бутан", {2.0, 2.5, 3.0}, 2.5, 1.0, 0.5, 0.1, false)}));
         },
         Table("Дегазированный конденсат -  С1-С5",
               "<fill_data><name i4>1</name><name>Пропан</name><K>1.50</K><K>1.52</K><K>1.51</K><Kavr>1.51</Kavr>"
               "<Rk>0.02</Rk><norm>0.10</norm><presision>0.05</presision><ok>Да</ok></fill_data>"
               "<fill_data><name i4>2</name><name>н-Бутан</name><K>2.00</K><K>2.50</K><K>3.00</K><Kavr>2.50</Kavr>"
               "<Rk>1.00</Rk><norm>0.50</norm><presision>0.10</presision><ok>Нет</ok></fill_data>"
               "<fill_data><name/><name>Всего:</name><conc>3.50</conc><conc>4.02</conc><conc>4.51</conc>"
               "<conc_avg>4.01</conc_avg></fill_data>")},
        {"condensate methanol: mass concentration last, no totals",
         nullptr,
         [](XMLWrapper& doc, ReportDocument& report) {
             CondensateMethanolRow r;
             r.name = QStringLiteral("Метанол");
             r.conc = {100.0, 110.0};
             std::tie(r.mean, r.range, r.norm, r.uncertainty, r.massConc, r.ok) =
                 std::tuple(105.0, 9.5238, 15.0, 10.5, 0.0126, true);
             WriteResultTable(doc, report, ReportTable::DcMethanol, Of<CondensateMethanolResult>(std::vector{r}));
         },
         Table("Дегазированный конденсат - Метанол",
               "<fill_data><name i4>1</name><name>Метанол</name><conc>100.000</conc><conc>110.000</conc>"
               "<conc_avg>105.000</conc_avg><check>9.524</check><norm>15.000</norm><ok>Да</ok>"
               "<presision>10.500</presision><Csss>0.013</Csss></fill_data>")},
        {"C6-C44 fractions and groups: one setting for both, the counter restarts in each",
         [](GeneralSettings& g) { g.QtyDcC6C44 = 0; },
         [](XMLWrapper& doc, ReportDocument& report) {
             const CondensateResult r = Of<CondensateResult>(
                 std::vector{Condensate("28 - 60", {4.0, 5.0, 6.0}, 4.5, 22.2222, 30.0, 0.5, true)});
             WriteResultTable(doc, report, ReportTable::DcFractions, r);
             WriteResultTable(doc, report, ReportTable::DcGroups, r);
         },
         [] {
             const char* rows = "<fill_data><name i4>1</name><name>28 - 60</name><K>4.000</K><K>5.000</K>"
                                "<Kavr>4.500</Kavr><Rk>22.222</Rk><norm>30.000</norm><presision>0.500</presision>"
                                "<ok>Да</ok></fill_data><fill_data><name/><name>Всего:</name><conc>4.000</conc>"
                                "<conc>5.000</conc><conc_avg>4.500</conc_avg></fill_data>";
             return Table("Дегазированный конденсат - С6-С44 Фракции", rows) + Table("Дегазированный конденсат - С6-С44 Группы", rows);
         }()},
        {"no rows, or a result of another kind: no trace",
         nullptr,
         [](XMLWrapper& doc, ReportDocument& report) {
             WriteResultTable(doc, report, ReportTable::GsAnalysis, GasAnalysisResult());
             WriteResultTable(doc, report, ReportTable::DcSulphur, SulphurResult());
             const CondensateResult r = Of<CondensateResult>(std::vector{Condensate("Пропан", {1.0}, 1.0, 0, 0, 0, true)});
             WriteResultTable(doc, report, ReportTable::GsAnalysis, r);
             WriteResultTable(doc, report, ReportTable::PgMethod1, r);
         },
         QString()},
    };
    for (const TableCase& c : cases)
        EXPECT_TRUE(SameXmlTree(Write(c), Typed(c.expected))) << c.what;
}

TEST(ReportResultTableTitleTest, titlesAndAnalysisCountsOfEveryTable)
{
    GeneralSettings zeros;
    GeneralSettings ones;
    for (int GeneralSettings::*count :
         {&GeneralSettings::QtyGsRegular, &GeneralSettings::QtyGsCalib, &GeneralSettings::QtyGsMeth,
          &GeneralSettings::QtyGdRegular, &GeneralSettings::QtyGdCalib, &GeneralSettings::QtyGdSss,
          &GeneralSettings::QtyGdMeth, &GeneralSettings::QtyDcC1C5, &GeneralSettings::QtyDcSss,
          &GeneralSettings::QtyDcMeth, &GeneralSettings::QtyDcC6C44}) {
        zeros.*count = 0;
        ones.*count = 1;
    }
    const struct {
        ReportTable table;
        const char* title;
        int whenZero;
        int whenSet;
    } cases[] = {
        {ReportTable::GsCalibration, "Газ сепарации -  Калибровка", 3, 5},
        {ReportTable::GsAnalysis, "Газ сепарации - Анализ", 2, 3},
        {ReportTable::GsSulphur, "Газ сепарации - Cеросодержащие соединения", 3, 3},
        {ReportTable::GsMethanol, "Газ сепарации - Метанол", 2, 3},
        {ReportTable::GdCalibration, "Газ дегазации - Калибровка", 3, 5},
        {ReportTable::GdAnalysis, "Газ дегазации - Анализ", 2, 3},
        {ReportTable::GdSulphur, "Газ дегазации - Cеросодержащие соединения", 2, 3},
        {ReportTable::GdMethanol, "Газ дегазации - Метанол", 2, 3},
        {ReportTable::DcC1C5, "Дегазированный конденсат -  С1-С5", 2, 3},
        {ReportTable::DcSulphur, "Дегазированный конденсат -  Cеросодержащие соединения", 2, 3},
        {ReportTable::DcMethanol, "Дегазированный конденсат - Метанол", 2, 3},
        {ReportTable::DcFractions, "Дегазированный конденсат - С6-С44 Фракции", 2, 3},
        {ReportTable::DcGroups, "Дегазированный конденсат - С6-С44 Группы", 2, 3},
        {ReportTable::PgMethod1, "", 0, 0},
        {ReportTable::PgCompositionMethod2, "", 0, 0},
    };
    for (const auto& c : cases) {
        const QString title = ResultTableTitle(c.table);
        EXPECT_EQ(title, QString::fromUtf8(c.title));
        EXPECT_EQ(ResultTableAnalysisCount(c.table, zeros), c.whenZero) << c.title;
        EXPECT_EQ(ResultTableAnalysisCount(c.table, ones), c.whenSet) << c.title;
        // The sulphur titles begin their word with the Latin C; C1-C5 and
        // C6-C44 are written with the Cyrillic letter.
        const qsizetype sulphur = title.indexOf(QStringLiteral("еросодержащие"));
        if (sulphur > 0) {
            EXPECT_EQ(title.at(sulphur - 1).unicode(), 0x0043) << c.title;
        }
        for (const QChar ch : title.mid(title.indexOf(u'-') + 1)) {
            if (ch == u'\u0421' || ch == u'C') {
                EXPECT_EQ(ch.unicode(), sulphur > 0 ? 0x0043 : 0x0421) << c.title;
            }
        }
    }
    EXPECT_EQ(ResultTableTitle(ReportTable::GsCalibration).count(QStringLiteral(" -  ")), 1);
    EXPECT_EQ(ResultTableTitle(ReportTable::GdCalibration).count(QStringLiteral(" -  ")), 0);
}
