#include <gtest/gtest.h>

#include "platform/SaveFile.h"
#include "report/ReportGraph.h"
#include "report/ReportTransform.h"
#include "report/XMLWrapper.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ReportPage.h"
#include "support/XmlTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using testsupport::readFileBytes;
using testsupport::XPathCount;
using testsupport::XPathTexts;

namespace {

const QString kStylesheet = QStringLiteral(TAVRIN_REPORT_XSL);

// A report that uses every element of the vocabulary as the table builders
// write them: markup in a sample name, both lists, per-analysis tables with
// short totals rows, formation-gas tables with row and column spans, a font
// size, custom rows and `empty` cells, a composition table, the graph and
// the messages; "---" for unset values.
const QByteArray kEveryElement = QByteArrayLiteral(R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
<name> Газ Сепарации. Дегазированный Конденсат. Пластовый Газ.</name><station>Скв. 12, УКПГ-3</station><num_device>ХГ-1000 №5</num_device><operator>Петров П. П.</operator>
<files>
<fill_data><name dt:dt="i4">1</name><name>&lt;b&gt;&amp;x&lt;/b&gt;</name><analyse_time>05.03.24  09:11</analyse_time><name>ГС Анализ 1</name></fill_data>
<fill_data><name dt:dt="i4">2</name><name>ГС-2</name><analyse_time>05.03.24  09:40</analyse_time><name>ГС Анализ 2</name></fill_data>
</files>
<mixtures><fill_data><name dt:dt="i4">1</name><name>ПГС-ГС 2024</name><num_balloon>Бал 1</num_balloon><date_created>01.02.24  10:00</date_created><type>ГС</type></fill_data></mixtures>
<calc_table><header_row><column><cspan dt:dt="i4">11</cspan><label>Газ сепарации - Анализ</label></column></header_row>
<header_row><column><label>№</label></column><column><label>Компонент</label></column><column><label>Конц. 1, мол. %</label></column><column><label>Конц. 2, мол. %</label></column><column><label>Норм. 1, мол. %</label></column><column><label>Норм. 2, мол. %</label></column><column><label>Среднее, мол. %</label></column><column><label>Расхождение, %</label></column><column><label>Норматив, %</label></column><column><label>Погрешность, мол. %</label></column><column><label>Соответствие?</label></column></header_row>
<fill_data><name dt:dt="i4">1</name><name>Метан</name><conc>90.000</conc><conc>90.010</conc><conc_norm>90.090</conc_norm><conc_norm>90.100</conc_norm><conc_avg>90.005</conc_avg><check>0.011</check><norm>1.500</norm><presision>0</presision><ok>Да</ok></fill_data>
<fill_data><name dt:dt="i4">2</name><name>Этан</name><conc>9.000</conc><conc>---</conc><conc_norm>9.010</conc_norm><conc_norm>---</conc_norm><conc_avg>9.000</conc_avg><check>---</check><norm>3.000</norm><presision>0.050</presision><ok>Нет</ok></fill_data>
<fill_data><name/><name>Всего:</name><conc>99.000</conc><conc>90.010</conc><conc_norm>99.100</conc_norm><conc_norm>90.100</conc_norm><conc_avg>99.005</conc_avg></fill_data></calc_table>
<calc_table><header_row><column><cspan dt:dt="i4">12</cspan><label>Газ сепарации - Cеросодержащие соединения</label></column></header_row>
<header_row><column><label>№</label></column><column><label>Компонент</label></column><column><label>Конц. 1</label></column><column><label>Конц. 2</label></column><column><label>Конц. 3</label></column><column><label>Среднее</label></column><column><label>Расхождение, %</label></column><column><label>Норматив, %</label></column><column><label>Соответствие?</label></column><column><label>Погрешность</label></column><column><label>Конц., мол. %</label></column><column><label>Меркапт. сера</label></column></header_row>
<fill_data><name dt:dt="i4">1</name><name>Метилмеркаптан</name><conc>1.001</conc><conc>1.002</conc><conc>1.003</conc><conc_avg>1.002</conc_avg><check>0.200</check><norm>20.000</norm><ok>Да</ok><presision>0.001</presision><Csss>0.800</Csss><Xsrsh>0.600</Xsrsh></fill_data>
<fill_data><name/><name>Всего:</name><conc>1.001</conc><conc>1.002</conc><conc>1.003</conc><conc_avg>1.002</conc_avg><sum_csss>0.800</sum_csss><Xsrsh>0.600</Xsrsh></fill_data></calc_table>
<calc_table><header_row><column><cspan dt:dt="i4">9</cspan><label>Дегазированный конденсат -  С1-С5</label></column></header_row>
<header_row><column><label>№</label></column><column><label>Компонент</label></column><column><label>Конц. 1, масс. %</label></column><column><label>Конц. 2, масс. %</label></column><column><label>Среднее, масс. %</label></column><column><label>Расхождение, %</label></column><column><label>Норматив, %</label></column><column><label>Погрешность, %</label></column><column><label>Соответствие?</label></column></header_row>
<fill_data><name dt:dt="i4">1</name><name>Пропан</name><K>1.500</K><K>1.520</K><Kavr>1.510</Kavr><Rk>1.325</Rk><norm>10.000</norm><presision>0.050</presision><ok>Да</ok></fill_data>
<fill_data><name/><name>Всего:</name><conc>1.500</conc><conc>1.520</conc><conc_avg>1.510</conc_avg></fill_data></calc_table>
<graph><path>file:///tmp/zqv1A2B.tmp.cat/FormationGasGraph.png</path></graph>
<calc_table><font-size>9pt</font-size><header_row><column><cspan dt:dt="i4">23</cspan><label>Пластовый газ - Способ 1</label></column></header_row>
<header_row><column><rspan dt:dt="i4">3</rspan><label>Компоненты</label></column><column><cspan dt:dt="i4">4</cspan><label>Газ сепарации</label></column><column><cspan dt:dt="i4">4</cspan><label>Газ дегазации</label></column><column><cspan dt:dt="i4">4</cspan><label>Дегазированный конденсат</label></column><column><cspan dt:dt="i4">4</cspan><label>КГН</label></column><column><cspan dt:dt="i4">6</cspan><label>Пластовый газ</label></column></header_row>
<header_row><column><rspan dt:dt="i4">2</rspan><label>Ciгс, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viгс, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiгс, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miгс, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciгд, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viгд, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiгд, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miгд, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciдк, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viдк, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiдк, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miдк, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciкгн, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viкгн, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiкгн, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miкгн, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciпг, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viпг, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiпг, масс. доля %</label></column><column><cspan dt:dt="i4">3</cspan><label>г/м3 газа</label></column></header_row>
<header_row><column><label>ГС</label></column><column><label>"сухого"</label></column><column><label>пластового</label></column></header_row>
<fill_data><name>Метан</name><gs>10.000</gs><gs>10.125</gs><gs>10.250</gs><gs>10.375</gs><gd>10.500</gd><gd>10.625</gd><gd>10.750</gd><gd>10.875</gd><dc>11.000</dc><dc>11.125</dc><dc>11.250</dc><dc>11.375</dc><kgn>11.500</kgn><kgn>11.625</kgn><kgn>11.750</kgn><kgn>11.875</kgn><pg>12.000</pg><pg>12.125</pg><pg>12.250</pg><pg>12.375</pg><pg>12.500</pg><pg>12.625</pg></fill_data>
<fill_data><name>Этан</name><gs>20.000</gs><gs>20.125</gs><gs>20.250</gs><gs>20.375</gs><gd>20.500</gd><gd>20.625</gd><gd>20.750</gd><gd>20.875</gd><dc>21.000</dc><dc>21.125</dc><dc>21.250</dc><dc>21.375</dc><kgn>21.500</kgn><kgn>21.625</kgn><kgn>21.750</kgn><kgn>21.875</kgn><pg>22.000</pg><pg>22.125</pg><pg>22.250</pg><pg>22.375</pg><pg>22.500</pg><pg>22.625</pg></fill_data>
<fill_data><name>Всего:</name><GsMol>30.000</GsMol><GsVol>30.250</GsVol><GsMasF>30.500</GsMasF><GsMas>30.750</GsMas><GdMol>31.000</GdMol><GdVol>31.250</GdVol><GdMasF>31.500</GdMasF><GdMas>31.750</GdMas><DcMol>32.000</DcMol><DcVol>32.250</DcVol><DcMasF>32.500</DcMasF><DcMas>32.750</DcMas><KgnMol>33.000</KgnMol><KgnVol>33.250</KgnVol><KgnMasF>33.500</KgnMasF><KgnMas>33.750</KgnMas><PgMol>34.000</PgMol><PgVol>34.250</PgVol><PgMasF>34.500</PgMasF><PgGs>34.750</PgGs><PgDry>35.000</PgDry><PgPg>35.250</PgPg></fill_data>
<fill_data><name>C5H12+В:</name><GsMol>0</GsMol><GsVol>0</GsVol><GsMasF>0</GsMasF><GsMas>0</GsMas><GdMol>0</GdMol><GdVol>0</GdVol><GdMasF>0</GdMasF><GdMas>0</GdMas><DcMol>0</DcMol><DcVol>0</DcVol><DcMasF>0</DcMasF><DcMas>0</DcMas><KgnMol>0</KgnMol><KgnVol>0</KgnVol><KgnMasF>0</KgnMasF><KgnMas>0</KgnMas><PgMol>0</PgMol><PgVol>0</PgVol><PgMasF>0</PgMasF><PgGs>0</PgGs><PgDry>0</PgDry><PgPg>0</PgPg></fill_data>
<custom_row><cell><rspan dt:dt="i4">2</rspan><data-left>Мол. масса, г/моль</data-left></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">4</cspan><data>19.125</data></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">4</cspan><data>38.500</data></cell><cell><cspan dt:dt="i4">2</cspan><data>Мдк</data></cell><cell><cspan dt:dt="i4">2</cspan><data>Мс12+в</data></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">4</cspan></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">6</cspan><data>24.750</data></cell></custom_row>
<custom_row><cell><cspan dt:dt="i4">2</cspan><data>112.000</data></cell><cell><cspan dt:dt="i4">2</cspan><data>---</data></cell></custom_row>
<custom_row><cell><data-left>Плотность, кг/м3</data-left></cell><cell><cspan dt:dt="i4">4</cspan><data>0.796</data></cell><cell><cspan dt:dt="i4">4</cspan><data>1.600</data></cell><cell><cspan dt:dt="i4">4</cspan></cell><cell><cspan dt:dt="i4">4</cspan></cell><cell><cspan dt:dt="i4">6</cspan><data>1.030</data></cell></custom_row></calc_table>
<calc_table><header_row><column><cspan dt:dt="i4">23</cspan><label>Пластовый газ - Cеросодержащие соединения</label></column></header_row>
<header_row><column><rspan dt:dt="i4">3</rspan><label>Компоненты</label></column><column><cspan dt:dt="i4">4</cspan><label>Газ сепарации</label></column><column><cspan dt:dt="i4">4</cspan><label>Газ дегазации</label></column><column><cspan dt:dt="i4">4</cspan><label>Дегазированный конденсат</label></column><column><cspan dt:dt="i4">4</cspan><label>КГН</label></column><column><cspan dt:dt="i4">6</cspan><label>Пластовый газ</label></column></header_row>
<header_row><column><rspan dt:dt="i4">2</rspan><label>Ciгс, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viгс, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiгс, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miгс, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciгд, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viгд, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiгд, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miгд, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciдк, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viдк, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiдк, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miдк, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciкгн, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viкгн, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiкгн, масс. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>miкгн, г/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Ciпг, мол. доля %</label></column><column><rspan dt:dt="i4">2</rspan><label>Viпг, дм3/м3 ГС</label></column><column><rspan dt:dt="i4">2</rspan><label>Xiпг, масс. доля %</label></column><column><cspan dt:dt="i4">3</cspan><label>г/м3 газа</label></column></header_row>
<header_row><column><label>ГС</label></column><column><label>"сухого"</label></column><column><label>пластового</label></column></header_row>
<fill_data><name>Сероводород</name><gs>0.500</gs><gs>0.625</gs><gs>0.750</gs><gs>0.875</gs><gd>1.000</gd><gd>1.125</gd><gd>1.250</gd><gd>1.375</gd><dc>1.500</dc><dc>1.625</dc><dc>1.750</dc><dc>1.875</dc><kgn>2.000</kgn><kgn>2.125</kgn><kgn>2.250</kgn><kgn>2.375</kgn><pg>2.500</pg><pg>2.625</pg><pg>2.750</pg><pg>2.875</pg><pg>3.000</pg><pg>3.125</pg></fill_data>
<fill_data><name>Всего ССС:</name><GsMol>0.500</GsMol><GsVol>0.625</GsVol><GsMasF>0.750</GsMasF><GsMas>0.875</GsMas><GdMol>1.000</GdMol><GdVol>1.125</GdVol><GdMasF>1.250</GdMasF><GdMas>1.375</GdMas><DcMol>1.500</DcMol><DcVol>1.625</DcVol><DcMasF>1.750</DcMasF><DcMas>1.875</DcMas><KgnMol>2.000</KgnMol><KgnVol>2.125</KgnVol><KgnMasF>2.250</KgnMasF><KgnMas>2.375</KgnMas><PgMol>2.500</PgMol><PgVol>2.625</PgVol><PgMasF>2.750</PgMasF><PgGs>2.875</PgGs><PgDry>3.000</PgDry><PgPg>3.125</PgPg></fill_data>
<fill_data><name>Всего:</name><empty/><GsVol>1001.000</GsVol><empty/><GsMas>1003.000</GsMas><empty/><GdVol>1005.000</GdVol><empty/><GdMas>1007.000</GdMas><empty/><DcVol>1009.000</DcVol><empty/><DcMas>1011.000</DcMas><empty/><KgnVol>1013.000</KgnVol><empty/><KgnMas>1015.000</KgnMas><empty/><PgVol>1017.000</PgVol><empty/><PgGs>1019.000</PgGs><PgDry>1020.000</PgDry><PgPg>1021.000</PgPg></fill_data></calc_table>
<calc_table><header_row><column><cspan dt:dt="i4">4</cspan><label>Пластовый газ - Компонентно-фракционный состав: Способ 1</label></column></header_row>
<header_row><column><label>Компоненты, фракция (°C)</label></column><column><label>Дегазированый конденсат</label></column><column><label>КГН</label></column><column><label>Пластовый газ</label></column></header_row>
<fill_data><name>Метан</name><DC>0</DC><KGN>5.500</KGN><PG>80.000</PG></fill_data>
<fill_data><name>28 - 60</name><DC>12.346</DC><KGN>11.000</KGN><PG>40.000</PG></fill_data></calc_table>
<msg_head><table_msg><msg_str>Ошибки!</msg_str></table_msg><table_msg><msg_str>1. ГС Анализ: В расчете есть ошибки.</msg_str></table_msg>
<table_msg><msg_str>Предупреждения!</msg_str></table_msg><table_msg><msg_str>2. ГД Анализ: Пик 'Гелий' не использован в расчете.</msg_str></table_msg></msg_head>
</Document>)");


// The page of that report as the stylesheet writes it (XHTML, prefix "h:")
// and, where chromium is installed, as a browser builds it.
class ReportPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(source);
        QString error;
        const std::optional<QByteArray> out = TransformReportToHtml(kStylesheet, source.get(), &error);
        ASSERT_TRUE(out) << error.toStdString();
        html = *out;
        page = dir.filePath(QStringLiteral("report.html"));
        ASSERT_TRUE(WriteFileAtomically(page, html));
        written = testsupport::ParseXml(html);
        ASSERT_TRUE(written) << "the page is not well-formed";
    }

    // Every table of the page: the header, the two lists and the result tables.
    void expectTablesOfTheDocument(xmlDocPtr shown, const QString& h)
    {
        EXPECT_EQ(XPathCount(shown, QStringLiteral("//%1table").arg(h)),
                  XPathCount(source.get(), "/Document/calc_table") + 3);
        testsupport::ExpectTablesOfTheDocument(source.get(), shown, h);
    }

    QTemporaryDir dir;
    testsupport::XmlDoc source = testsupport::ParseXml(kEveryElement);
    QString page;
    QByteArray html;
    testsupport::XmlDoc written;
};

} // namespace

TEST_F(ReportPageTest, headerListsAndMarkupShownAsText)
{
    xmlDocPtr p = written.get();
    EXPECT_TRUE(html.startsWith("<!DOCTYPE html") && html.contains("charset=UTF-8")) << html.left(60).toStdString();
    EXPECT_EQ(XPathTexts(p, "//h:title"),
              QStringList{"Отчёт. Газ Сепарации. Дегазированный Конденсат. Пластовый Газ."});
    EXPECT_EQ(XPathTexts(p, "//h:table[@class='head']//h:td"),
              QStringList({"Скв. 12, УКПГ-3", "ХГ-1000 №5", "Петров П. П."}));
    EXPECT_EQ(XPathTexts(p, "//h:table[@class='list'][1]/h:thead/h:tr[2]/h:th"),
              QStringList({"№", "Проба", "Время анализа", "Тип расчёта"}));
    EXPECT_EQ(XPathTexts(p, "//h:table[@class='list'][2]/h:thead/h:tr[2]/h:th"),
              QStringList({"№", "Баллон", "Идентификатор баллона", "Дата добавления в базу", "Тип"}));
    EXPECT_EQ(XPathTexts(p, "//h:table[@class='list'][1]/h:tbody/h:tr[1]/h:td[2]"), QStringList{"<b>&x</b>"});
    EXPECT_EQ(XPathCount(p, "//h:b"), 0);
}

TEST_F(ReportPageTest, everyTableRowCellAndSpanInDocumentOrder)
{
    xmlDocPtr p = written.get();
    ASSERT_EQ(XPathCount(source.get(), "/Document/calc_table"), 6);
    expectTablesOfTheDocument(p, QStringLiteral("h:"));
    EXPECT_EQ(XPathCount(p, "(//h:table[@class='calc'])[1]/h:tbody/h:tr[@class='total']/h:td[@class='e']"), 4);
    EXPECT_EQ(XPathCount(p, "//h:tr[@class='total']"), 7);
    // The sulphur totals of mol % and mercaptan sulphur stand under their columns.
    EXPECT_EQ(XPathTexts(p, "(//h:table[@class='calc'])[2]/h:tbody/h:tr[@class='total']/h:td"),
              QStringList({"", "Всего:", "1.001", "1.002", "1.003", "1.002", "", "", "", "", "0.800", "0.600"}));
    EXPECT_EQ(XPathCount(p, "//h:td[. = '---']"), 4);
    // Method 1: the title spans the grid, the component head three rows,
    // the groups 4 or 6 columns; the custom rows keep their cells' spans.
    const QString m1 = QStringLiteral("(//h:table[@class='calc'])[4]");
    EXPECT_EQ(XPathTexts(p, "//h:table[@style]/@style"), QStringList{"font-size: 9pt"});
    EXPECT_EQ(XPathTexts(p, m1 + "/h:thead/h:tr[1]/h:th/@colspan"), QStringList{"23"});
    EXPECT_EQ(XPathTexts(p, m1 + "/h:thead/h:tr[2]/h:th/@rowspan"), QStringList{"3"});
    EXPECT_EQ(XPathTexts(p, m1 + "/h:thead/h:tr[2]/h:th/@colspan"), QStringList({"4", "4", "4", "4", "6"}));
    EXPECT_EQ(XPathCount(p, m1 + "/h:thead/h:tr[3]/h:th[@rowspan = 2]"), 19);
    EXPECT_EQ(XPathTexts(p, m1 + "//h:tr[@class='custom'][1]/h:td/@colspan"),
              QStringList({"4", "4", "2", "2", "4", "6"}));
    EXPECT_EQ(XPathCount(p, m1 + "//h:tr[@class='custom'][1]/h:td[@rowspan = 2]"), 5);
    EXPECT_EQ(XPathTexts(p, m1 + "//h:tr[@class='custom'][3]/h:td"),
              QStringList({"Плотность, кг/м3", "0.796", "1.600", "", "", "1.030"}));
}

// A printed page never ends with a heading: a table's title is the first
// row of its head, which the browser keeps with the table; no heading
// stands outside before a table.
TEST_F(ReportPageTest, everyTableCarriesItsTitleInItsHead)
{
    xmlDocPtr p = written.get();
    EXPECT_EQ(XPathTexts(p, "//h:table[@class='list']/h:thead/h:tr[1][@class='title']/h:th"),
              QStringList({"Список хроматограмм", "Список смесей"}));
    EXPECT_EQ(XPathTexts(p, "//h:table[@class='list']/h:thead/h:tr[1]/h:th/@colspan"), QStringList({"4", "5"}));
    EXPECT_EQ(XPathCount(p, "//h:table[@class='calc'][h:thead/h:tr[1][@class='title']]"),
              XPathCount(source.get(), "/Document/calc_table"));
    EXPECT_EQ(XPathCount(p, "//h:table[preceding-sibling::*[1][self::h:h2]]"), 0);
}

TEST_F(ReportPageTest, graphAndMessagesInTheirPlaces)
{
    xmlDocPtr p = written.get();
    EXPECT_EQ(XPathTexts(p, "//h:img/@src"), XPathTexts(source.get(), "/Document/graph/path"));
    EXPECT_EQ(XPathCount(p, "//h:div[@class='graph']/preceding-sibling::h:table[@class='calc']"), 3);
    EXPECT_EQ(XPathTexts(p, "//h:div[@class='messages']/h:p"), XPathTexts(source.get(), "//msg_str"));
    EXPECT_EQ(XPathTexts(p, "//h:p[@class='kind']"), QStringList({"Ошибки!", "Предупреждения!"}));
}

TEST_F(ReportPageTest, browserBuildsTheSameTablesAndDrawsThePage)
{
    // Where the browser would break a printed page after each heading that
    // stands outside a table, left in the page.
    QByteArray probed = html;
    probed.insert(probed.lastIndexOf("</body>"),
                  "<script>document.body.setAttribute('data-breaks', Array.prototype.map.call("
                  "document.querySelectorAll('h2, p.kind'), function (h) {"
                  " return h.textContent + ':' + getComputedStyle(h).breakAfter; }).join(' '));</script>");
    ASSERT_TRUE(WriteFileAtomically(page, probed));
    const testsupport::BrowserPage browser = testsupport::RenderInChromium(page, dir.path(), 1500, 2000);
    if (!browser.available)
        GTEST_SKIP() << "chromium is not installed";
    ASSERT_TRUE(browser.ok) << browser.error.toStdString();
    const testsupport::XmlDoc shown = testsupport::ParseHtml(browser.dom);
    ASSERT_TRUE(shown);
    expectTablesOfTheDocument(shown.get(), QString());
    EXPECT_EQ(XPathTexts(shown.get(), "(//table[@class='calc'])[4]/thead/tr[2]/th[1]/@rowspan"), QStringList{"3"});
    EXPECT_EQ(XPathTexts(shown.get(), "//table[@class='list'][1]/tbody/tr[1]/td[2]"), QStringList{"<b>&x</b>"});
    EXPECT_EQ(XPathCount(shown.get(), "//b"), 0);
    EXPECT_EQ(XPathTexts(shown.get(), "//body/@data-breaks"),
              QStringList{"Системные сообщения:avoid Ошибки!:avoid Предупреждения!:avoid"});

    EXPECT_TRUE(browser.png.startsWith("\x89PNG\r\n\x1a\n"));
    testsupport::KeepPictureIfAsked(browser.png, QStringLiteral("report.png"));
}

TEST_F(ReportPageTest, unusableOrHostileStylesheetWritesNothing)
{
    const QString out = dir.filePath(QStringLiteral("out.html"));
    const QString xsl = dir.filePath(QStringLiteral("style.xsl"));
    ASSERT_TRUE(WriteFileAtomically(out, "old"));
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    const QByteArray cases[] = {
        "<xsl:value-of select=\"1 +\"/>",
        "<xsl:message terminate=\"yes\">stop</xsl:message>",
        // Thousands of messages before the stop: the error keeps only their beginning.
        QByteArray("<xsl:message>сообщение, которое таблица стилей повторяет без конца</xsl:message>").repeated(3000)
            + "<xsl:message terminate=\"yes\">stop</xsl:message>",
        // Refused before anything is tried, so no network is needed.
        "<xsl:copy-of select=\"document('http://127.0.0.1:9/x.xml')\"/>",
        "<xsl:document href=\"" + dir.filePath("side.html").toUtf8() + "\"><p/></xsl:document>",
        "<xsl:document href=\"" + dir.filePath("made/x.html").toUtf8() + "\"><p/></xsl:document>",
        "<unclosed>",
    };
    EXPECT_FALSE(TransformReport(dir.filePath(QStringLiteral("absent.xsl")), out, doc));
    for (const QByteArray& body : cases) {
        ASSERT_TRUE(WriteFileAtomically(xsl, "<xsl:stylesheet version=\"1.1\" xmlns:xsl=\"http://www.w3.org/1999/XSL/"
                                         "Transform\"><xsl:template match=\"/\"><html>" + body
                                             + "</html></xsl:template></xsl:stylesheet>"));
        SCOPED_TRACE(body.left(200).toStdString());
        QString error;
        EXPECT_FALSE(TransformReport(xsl, out, doc, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_LT(error.size(), 8192);
    }
    EXPECT_EQ(readFileBytes(out), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({"out.html", "report.html", "style.xsl"}));
}

TEST_F(ReportPageTest, failedWriteLeavesNoPartialFile)
{
    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("absent/report.html")), html));
    // A full disk, made with a file-size limit, which holds for root too.
    ASSERT_GT(html.size(), 3 * 4096);
    const QString out = dir.filePath(QStringLiteral("full.html"));
    ASSERT_TRUE(WriteFileAtomically(out, "old"));
    bool ok = true;
    {
        testsupport::FileSizeLimit disk(4096);
        ASSERT_TRUE(disk.active());
        ok = WriteFileAtomically(out, html);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(readFileBytes(out), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({"full.html", "report.html"}));
}

TEST(ReportFilesTest, aSavedNameWithoutItsEndingGetsHtml)
{
    for (const QString name : {"/r/ПГ скв. 1205", "/r/Отчёт 07.12", "/r/отчёт", "/r/a.html.bak", "/r/a.xhtml"})
        EXPECT_EQ(SavedReportPath(name), name + QStringLiteral(".html"));
    for (const QString name : {"/r/ПГ скв. 1205.HTM", "/r/a.Html", "/r/a.htm", "/r/a.html"}) {
        EXPECT_EQ(SavedReportPath(name), name);
        EXPECT_EQ(SavedReportEnding(name), name.size() - name.lastIndexOf(QLatin1Char('.')));
    }
}

TEST(ReportFilesTest, stylesheetBesideTheExecutableAndAFreshFileForEveryView)
{
    EXPECT_EQ(GetReportXslPath(), QCoreApplication::applicationDirPath() + QStringLiteral("/Report.xsl"));
    const QString first = CreateReportViewFile();
    const QString second = CreateReportViewFile();
    EXPECT_NE(first, second);
    for (const QString& f : {first, second}) {
        EXPECT_TRUE(QFileInfo(f).fileName().startsWith(QStringLiteral("zqv")) && f.endsWith(QStringLiteral(".tmp.html")));
        EXPECT_EQ(QFileInfo(f).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        EXPECT_TRUE(QFile::remove(f));
    }
}
