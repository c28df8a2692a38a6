#include <gtest/gtest.h>

#include "report/ReportFormationGasTables.h"
#include "support/XmlTree.h"

#include <array>

using testsupport::SameXmlTree;

namespace {

std::array<double*, 22> Values(PgMethod1Item& i)
{
    return {&i.GsMol, &i.GsVol, &i.GsMasF, &i.GsMas, &i.GdMol, &i.GdVol, &i.GdMasF, &i.GdMas,
            &i.DcMol, &i.DcVol, &i.DcMasF, &i.DcMas, &i.KgnMol, &i.KgnVol, &i.KgnMasF, &i.KgnMas,
            &i.PgMol, &i.PgVol, &i.PgMasF, &i.PgGs, &i.PgDry, &i.PgPg};
}

std::array<double*, 15> Values(PgMethod2Item& i)
{
    return {&i.GsMol, &i.GsMasF, &i.GsMas, &i.GdMol, &i.GdMasF, &i.GdMas, &i.DcMol, &i.DcMasF,
            &i.DcMas, &i.KgnMol, &i.KgnMasF, &i.KgnMas, &i.PgMol, &i.PgMasF, &i.PgGs};
}

// Column j (from 1) holds scale * j + offset: no two columns and no two rows
// alike, so a swapped column shows.
template <typename Item>
Item Filled(const char* name, double scale, double offset)
{
    Item item;
    item.name = QString::fromUtf8(name);
    item.molarMass = -7.0;  // never written
    double j = 0.0;
    for (double* value : Values(item))
        *value = scale * ++j + offset;
    return item;
}

QByteArray InDocument(const char* tables)
{
    return QByteArray(R"(<Document xmlns:dt="urn:tavrin:report-datatypes">)") + tables + "</Document>";
}

class FormationGasTablesTest : public ::testing::Test
{
protected:
    FormationGasTablesTest()
    {
        EXPECT_TRUE(doc.InitDocument());
        // The method grids' captions, each its own; the sulphur grid has no header.
        QStringList method1, method2;
        for (int i = 0; i < 23; ++i)
            method1 << QStringLiteral("М1-%1").arg(i);
        for (int i = 0; i < 16; ++i)
            method2 << QStringLiteral("М2-%1").arg(i);
        captions.SetCaptions(ReportTable::PgMethod1, method1);
        captions.SetCaptions(ReportTable::PgMethod2, method2);
        captions.SetCaptions(ReportTable::PgCompositionMethod1,
                             {"Компоненты, фракция (°C)", "Дегазированый конденсат", "КГН", "Пластовый газ"});
        captions.SetCaptions(ReportTable::PgCompositionMethod2, {"К2-0", "К2-1", "К2-2"});
    }

    XMLWrapper doc;
    ReportCaptionTable captions;
};

} // namespace

TEST_F(FormationGasTablesTest, method1WritesEveryColumnTheSumsTheC5PlusRowAndThePhaseRows)
{
    CalcPgMethod1Result result;
    result.rows = {Filled<PgMethod1Item>("Метан", 10.0, 0.25), Filled<PgMethod1Item>("Этан", 1.0, 0.5)};
    result.c5PlusTotal = Filled<PgMethod1Item>("", 1.0, 100.0);
    result.c5PlusTotal.GdMol = 0.0;
    result.gsMolarMass = 17.1;
    result.gdMolarMass = 25.2;
    result.dcMolarMass = 98.3;
    result.c12PlusMolarMass = 210.4;
    result.pgMolarMass = 21.5;
    result.gsDensity = 0.711;
    result.gdDensity = 1.052;
    result.pgDensity = 0.893;
    // Read by no table.
    result.gsMercaptanMolarMass = result.gdMercaptanMolarMass = result.dcMercaptanMolarMass = 555.0;
    result.dryGasFactor = result.pgGasFactor = 666.0;

    WritePgMethod1Table(doc, result, &captions, 2);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), InDocument(R"(
<calc_table><font-size dt:dt="string">9pt</font-size><header_row><column><cspan dt:dt="i4">23</cspan><label dt:dt="string">Пластовый газ - Способ 1</label></column></header_row>
<header_row><column><rspan dt:dt="i4">3</rspan><label dt:dt="string">Компоненты</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Газ сепарации</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Газ дегазации</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Дегазированный конденсат</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">КГН</label></column><column><cspan dt:dt="i4">6</cspan><label dt:dt="string">Пластовый газ</label></column></header_row><header_row><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-1</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-2</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-3</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-4</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-5</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-6</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-7</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-8</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-9</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-10</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-11</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-12</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-13</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-14</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-15</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-16</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-17</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-18</label></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">М1-19</label></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">г/м3 газа</label></column></header_row><header_row><column><label dt:dt="string">ГС</label></column><column><label dt:dt="string">"сухого"</label></column><column><label dt:dt="string">пластового</label></column></header_row>
<fill_data><name dt:dt="string">Метан</name><gs dt:dt="string">10.25</gs><gs dt:dt="string">20.25</gs><gs dt:dt="string">30.25</gs><gs dt:dt="string">40.25</gs><gd dt:dt="string">50.25</gd><gd dt:dt="string">60.25</gd><gd dt:dt="string">70.25</gd><gd dt:dt="string">80.25</gd><dc dt:dt="string">90.25</dc><dc dt:dt="string">100.25</dc><dc dt:dt="string">110.25</dc><dc dt:dt="string">120.25</dc><kgn dt:dt="string">130.25</kgn><kgn dt:dt="string">140.25</kgn><kgn dt:dt="string">150.25</kgn><kgn dt:dt="string">160.25</kgn><pg dt:dt="string">170.25</pg><pg dt:dt="string">180.25</pg><pg dt:dt="string">190.25</pg><pg dt:dt="string">200.25</pg><pg dt:dt="string">210.25</pg><pg dt:dt="string">220.25</pg></fill_data>
<fill_data><name dt:dt="string">Этан</name><gs dt:dt="string">1.50</gs><gs dt:dt="string">2.50</gs><gs dt:dt="string">3.50</gs><gs dt:dt="string">4.50</gs><gd dt:dt="string">5.50</gd><gd dt:dt="string">6.50</gd><gd dt:dt="string">7.50</gd><gd dt:dt="string">8.50</gd><dc dt:dt="string">9.50</dc><dc dt:dt="string">10.50</dc><dc dt:dt="string">11.50</dc><dc dt:dt="string">12.50</dc><kgn dt:dt="string">13.50</kgn><kgn dt:dt="string">14.50</kgn><kgn dt:dt="string">15.50</kgn><kgn dt:dt="string">16.50</kgn><pg dt:dt="string">17.50</pg><pg dt:dt="string">18.50</pg><pg dt:dt="string">19.50</pg><pg dt:dt="string">20.50</pg><pg dt:dt="string">21.50</pg><pg dt:dt="string">22.50</pg></fill_data>
<fill_data><name dt:dt="string">Всего:</name><GsMol dt:dt="string">11.75</GsMol><GsVol dt:dt="string">22.75</GsVol><GsMasF dt:dt="string">33.75</GsMasF><GsMas dt:dt="string">44.75</GsMas><GdMol dt:dt="string">55.75</GdMol><GdVol dt:dt="string">66.75</GdVol><GdMasF dt:dt="string">77.75</GdMasF><GdMas dt:dt="string">88.75</GdMas><DcMol dt:dt="string">99.75</DcMol><DcVol dt:dt="string">110.75</DcVol><DcMasF dt:dt="string">121.75</DcMasF><DcMas dt:dt="string">132.75</DcMas><KgnMol dt:dt="string">143.75</KgnMol><KgnVol dt:dt="string">154.75</KgnVol><KgnMasF dt:dt="string">165.75</KgnMasF><KgnMas dt:dt="string">176.75</KgnMas><PgMol dt:dt="string">187.75</PgMol><PgVol dt:dt="string">198.75</PgVol><PgMasF dt:dt="string">209.75</PgMasF><PgGs dt:dt="string">220.75</PgGs><PgDry dt:dt="string">231.75</PgDry><PgPg dt:dt="string">242.75</PgPg></fill_data>
<fill_data><name dt:dt="string">C5H12+В:</name><GsMol dt:dt="string">101.00</GsMol><GsVol dt:dt="string">102.00</GsVol><GsMasF dt:dt="string">103.00</GsMasF><GsMas dt:dt="string">104.00</GsMas><GdMol dt:dt="string">0</GdMol><GdVol dt:dt="string">106.00</GdVol><GdMasF dt:dt="string">107.00</GdMasF><GdMas dt:dt="string">108.00</GdMas><DcMol dt:dt="string">109.00</DcMol><DcVol dt:dt="string">110.00</DcVol><DcMasF dt:dt="string">111.00</DcMasF><DcMas dt:dt="string">112.00</DcMas><KgnMol dt:dt="string">113.00</KgnMol><KgnVol dt:dt="string">114.00</KgnVol><KgnMasF dt:dt="string">115.00</KgnMasF><KgnMas dt:dt="string">116.00</KgnMas><PgMol dt:dt="string">117.00</PgMol><PgVol dt:dt="string">118.00</PgVol><PgMasF dt:dt="string">119.00</PgMasF><PgGs dt:dt="string">120.00</PgGs><PgDry dt:dt="string">121.00</PgDry><PgPg dt:dt="string">122.00</PgPg></fill_data>
<custom_row><cell><rspan dt:dt="i4">2</rspan><data-left dt:dt="string">Мол. масса, г/моль</data-left></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">4</cspan><data dt:dt="string">17.10</data></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">4</cspan><data dt:dt="string">25.20</data></cell><cell><cspan dt:dt="i4">2</cspan><data dt:dt="string">Мдк</data></cell><cell><cspan dt:dt="i4">2</cspan><data dt:dt="string">Мс12+в</data></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">4</cspan></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">6</cspan><data dt:dt="string">21.50</data></cell></custom_row>
<custom_row><cell><cspan dt:dt="i4">2</cspan><data dt:dt="string">98.30</data></cell><cell><cspan dt:dt="i4">2</cspan><data dt:dt="string">210.40</data></cell></custom_row>
<custom_row><cell><data-left dt:dt="string">Плотность, кг/м3</data-left></cell><cell><cspan dt:dt="i4">4</cspan><data dt:dt="string">0.71</data></cell><cell><cspan dt:dt="i4">4</cspan><data dt:dt="string">1.05</data></cell><cell><cspan dt:dt="i4">4</cspan></cell><cell><cspan dt:dt="i4">4</cspan></cell><cell><cspan dt:dt="i4">6</cspan><data dt:dt="string">0.89</data></cell></custom_row></calc_table>)")));
}

TEST_F(FormationGasTablesTest, sulphurClosesWithItsSumsAndTheStoredTotalsUnderTheirOwnColumns)
{
    PgSulphurResult result;
    result.rows = {Filled<PgMethod1Item>("Сероводород", 0.125, 0.0), Filled<PgMethod1Item>("Метилмеркаптан", 0.25, 1.0)};
    // Each total is 1000 + its column.
    std::tie(result.sumGsVol, result.sumGsMas, result.sumGdVol, result.sumGdMas, result.sumDcMas, result.sumDcVol,
             result.sumKgnVol, result.sumKgnMas, result.sumPgVol, result.sumPgGs, result.sumPgDry, result.sumPgPg) =
        std::tuple(1002.0, 1004.0, 1006.0, 1008.0, 1012.0, 1010.0, 1014.0, 1016.0, 1018.0, 1020.0, 1021.0, 1022.0);

    WritePgSulphurTable(doc, result, &captions, 3);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), InDocument(R"(
<calc_table><header_row><column><cspan dt:dt="i4">0</cspan><label dt:dt="string">Пластовый газ - Cеросодержащие соединения</label></column></header_row>
<header_row><column><rspan dt:dt="i4">3</rspan><label dt:dt="string">Компоненты</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Газ сепарации</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Газ дегазации</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Дегазированный конденсат</label></column><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">КГН</label></column><column><cspan dt:dt="i4">6</cspan><label dt:dt="string">Пластовый газ</label></column></header_row><header_row><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><rspan dt:dt="i4">2</rspan><label dt:dt="string"/></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">г/м3 газа</label></column></header_row><header_row><column><label dt:dt="string">ГС</label></column><column><label dt:dt="string">"сухого"</label></column><column><label dt:dt="string">пластового</label></column></header_row>
<fill_data><name dt:dt="string">Сероводород</name><gs dt:dt="string">0.125</gs><gs dt:dt="string">0.250</gs><gs dt:dt="string">0.375</gs><gs dt:dt="string">0.500</gs><gd dt:dt="string">0.625</gd><gd dt:dt="string">0.750</gd><gd dt:dt="string">0.875</gd><gd dt:dt="string">1.000</gd><dc dt:dt="string">1.125</dc><dc dt:dt="string">1.250</dc><dc dt:dt="string">1.375</dc><dc dt:dt="string">1.500</dc><kgn dt:dt="string">1.625</kgn><kgn dt:dt="string">1.750</kgn><kgn dt:dt="string">1.875</kgn><kgn dt:dt="string">2.000</kgn><pg dt:dt="string">2.125</pg><pg dt:dt="string">2.250</pg><pg dt:dt="string">2.375</pg><pg dt:dt="string">2.500</pg><pg dt:dt="string">2.625</pg><pg dt:dt="string">2.750</pg></fill_data>
<fill_data><name dt:dt="string">Метилмеркаптан</name><gs dt:dt="string">1.250</gs><gs dt:dt="string">1.500</gs><gs dt:dt="string">1.750</gs><gs dt:dt="string">2.000</gs><gd dt:dt="string">2.250</gd><gd dt:dt="string">2.500</gd><gd dt:dt="string">2.750</gd><gd dt:dt="string">3.000</gd><dc dt:dt="string">3.250</dc><dc dt:dt="string">3.500</dc><dc dt:dt="string">3.750</dc><dc dt:dt="string">4.000</dc><kgn dt:dt="string">4.250</kgn><kgn dt:dt="string">4.500</kgn><kgn dt:dt="string">4.750</kgn><kgn dt:dt="string">5.000</kgn><pg dt:dt="string">5.250</pg><pg dt:dt="string">5.500</pg><pg dt:dt="string">5.750</pg><pg dt:dt="string">6.000</pg><pg dt:dt="string">6.250</pg><pg dt:dt="string">6.500</pg></fill_data>
<fill_data><name dt:dt="string">Всего ССС:</name><GsMol dt:dt="string">1.375</GsMol><GsVol dt:dt="string">1.750</GsVol><GsMasF dt:dt="string">2.125</GsMasF><GsMas dt:dt="string">2.500</GsMas><GdMol dt:dt="string">2.875</GdMol><GdVol dt:dt="string">3.250</GdVol><GdMasF dt:dt="string">3.625</GdMasF><GdMas dt:dt="string">4.000</GdMas><DcMol dt:dt="string">4.375</DcMol><DcVol dt:dt="string">4.750</DcVol><DcMasF dt:dt="string">5.125</DcMasF><DcMas dt:dt="string">5.500</DcMas><KgnMol dt:dt="string">5.875</KgnMol><KgnVol dt:dt="string">6.250</KgnVol><KgnMasF dt:dt="string">6.625</KgnMasF><KgnMas dt:dt="string">7.000</KgnMas><PgMol dt:dt="string">7.375</PgMol><PgVol dt:dt="string">7.750</PgVol><PgMasF dt:dt="string">8.125</PgMasF><PgGs dt:dt="string">8.500</PgGs><PgDry dt:dt="string">8.875</PgDry><PgPg dt:dt="string">9.250</PgPg></fill_data>
<fill_data><name dt:dt="string">Всего:</name><empty dt:dt="string"/><GsVol dt:dt="string">1002.000</GsVol><empty dt:dt="string"/><GsMas dt:dt="string">1004.000</GsMas><empty dt:dt="string"/><GdVol dt:dt="string">1006.000</GdVol><empty dt:dt="string"/><GdMas dt:dt="string">1008.000</GdMas><empty dt:dt="string"/><DcVol dt:dt="string">1010.000</DcVol><empty dt:dt="string"/><DcMas dt:dt="string">1012.000</DcMas><empty dt:dt="string"/><KgnVol dt:dt="string">1014.000</KgnVol><empty dt:dt="string"/><KgnMas dt:dt="string">1016.000</KgnMas><empty dt:dt="string"/><PgVol dt:dt="string">1018.000</PgVol><empty dt:dt="string"/><PgGs dt:dt="string">1020.000</PgGs><PgDry dt:dt="string">1021.000</PgDry><PgPg dt:dt="string">1022.000</PgPg></fill_data></calc_table>)")));
}

TEST_F(FormationGasTablesTest, method2PutsEachDensityUnderItsOwnPhase)
{
    CalcPgMethod2Result result;
    result.rows = {Filled<PgMethod2Item>("Метан", 10.0, 0.25), Filled<PgMethod2Item>("Пропан", 1.0, 0.5)};
    std::tie(result.gsMolarMass, result.gdMolarMass, result.dcMolarMass, result.c12PlusMolarMass, result.pgMolarMass) =
        std::tuple(17.125, 25.25, 98.5, 210.75, 21.375);
    std::tie(result.gsDensity, result.gdDensity, result.pgDensity) = std::tuple(0.625, 1.125, 0.875);
    // Read by no table: the unstable condensate's cell stays empty.
    result.kgnMolarMass = result.kgnMercaptanMolarMass = result.kgnC12PlusMolarMass = 555.0;
    result.pgMercaptanMolarMass = result.pgC12PlusMolarMass = 666.0;

    WritePgMethod2Table(doc, result, &captions, 3);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), InDocument(R"(
<calc_table><font-size dt:dt="string">10pt</font-size><header_row><column><cspan dt:dt="i4">16</cspan><label dt:dt="string">Пластовый газ - Способ 2</label></column></header_row>
<header_row><column><rspan dt:dt="i4">2</rspan><label dt:dt="string">Компоненты</label></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">Газ сепарации</label></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">Газ дегазации</label></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">Дегазированный конденсат</label></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">КГН</label></column><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">Пластовый газ</label></column></header_row>
<header_row><column><label dt:dt="string">М2-1</label></column><column><label dt:dt="string">М2-2</label></column><column><label dt:dt="string">М2-3</label></column><column><label dt:dt="string">М2-4</label></column><column><label dt:dt="string">М2-5</label></column><column><label dt:dt="string">М2-6</label></column><column><label dt:dt="string">М2-7</label></column><column><label dt:dt="string">М2-8</label></column><column><label dt:dt="string">М2-9</label></column><column><label dt:dt="string">М2-10</label></column><column><label dt:dt="string">М2-11</label></column><column><label dt:dt="string">М2-12</label></column><column><label dt:dt="string">М2-13</label></column><column><label dt:dt="string">М2-14</label></column><column><label dt:dt="string">М2-15</label></column></header_row>
<fill_data><name dt:dt="string">Метан</name><gs dt:dt="string">10.250</gs><gs dt:dt="string">20.250</gs><gs dt:dt="string">30.250</gs><gd dt:dt="string">40.250</gd><gd dt:dt="string">50.250</gd><gd dt:dt="string">60.250</gd><dc dt:dt="string">70.250</dc><dc dt:dt="string">80.250</dc><dc dt:dt="string">90.250</dc><kgn dt:dt="string">100.250</kgn><kgn dt:dt="string">110.250</kgn><kgn dt:dt="string">120.250</kgn><pg dt:dt="string">130.250</pg><pg dt:dt="string">140.250</pg><pg dt:dt="string">150.250</pg></fill_data>
<fill_data><name dt:dt="string">Пропан</name><gs dt:dt="string">1.500</gs><gs dt:dt="string">2.500</gs><gs dt:dt="string">3.500</gs><gd dt:dt="string">4.500</gd><gd dt:dt="string">5.500</gd><gd dt:dt="string">6.500</gd><dc dt:dt="string">7.500</dc><dc dt:dt="string">8.500</dc><dc dt:dt="string">9.500</dc><kgn dt:dt="string">10.500</kgn><kgn dt:dt="string">11.500</kgn><kgn dt:dt="string">12.500</kgn><pg dt:dt="string">13.500</pg><pg dt:dt="string">14.500</pg><pg dt:dt="string">15.500</pg></fill_data>
<fill_data><name dt:dt="string">Всего:</name><GsMol dt:dt="string">11.750</GsMol><GsMasF dt:dt="string">22.750</GsMasF><GsMas dt:dt="string">33.750</GsMas><GdMol dt:dt="string">44.750</GdMol><GdMasF dt:dt="string">55.750</GdMasF><GdMas dt:dt="string">66.750</GdMas><DcMol dt:dt="string">77.750</DcMol><DcMasF dt:dt="string">88.750</DcMasF><DcMas dt:dt="string">99.750</DcMas><KgnMol dt:dt="string">110.750</KgnMol><KgnMasF dt:dt="string">121.750</KgnMasF><KgnMas dt:dt="string">132.750</KgnMas><PgMol dt:dt="string">143.750</PgMol><PgMasF dt:dt="string">154.750</PgMasF><PgGs dt:dt="string">165.750</PgGs></fill_data>
<custom_row><cell><rspan dt:dt="i4">2</rspan><data-left dt:dt="string">Мол. масса, г/моль</data-left></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">3</cspan><data dt:dt="string">17.125</data></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">3</cspan><data dt:dt="string">25.250</data></cell><cell><cspan dt:dt="i4">1</cspan><data dt:dt="string">Мдк</data></cell><cell><cspan dt:dt="i4">2</cspan><data dt:dt="string">Мс12+в</data></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">3</cspan></cell><cell><rspan dt:dt="i4">2</rspan><cspan dt:dt="i4">3</cspan><data dt:dt="string">21.375</data></cell></custom_row>
<custom_row><cell><cspan dt:dt="i4">1</cspan><data dt:dt="string">98.500</data></cell><cell><cspan dt:dt="i4">2</cspan><data dt:dt="string">210.750</data></cell></custom_row>
<custom_row><cell><data-left dt:dt="string">Плотность, кг/м3</data-left></cell><cell><cspan dt:dt="i4">3</cspan><data dt:dt="string">0.625</data></cell><cell><cspan dt:dt="i4">3</cspan><data dt:dt="string">1.125</data></cell><cell><cspan dt:dt="i4">3</cspan></cell><cell><cspan dt:dt="i4">3</cspan></cell><cell><cspan dt:dt="i4">3</cspan><data dt:dt="string">0.875</data></cell></custom_row></calc_table>)")));
}

TEST_F(FormationGasTablesTest, compositionRowsHoldTheNameAndThreeContentsUnderTheGridsCaptions)
{
    CompFractResult first, second;
    first.rows = {{1, QStringLiteral("Метан"), 0.0, 5.5, 80.0}, {1000001, QStringLiteral("28 - 60"), 12.3456, 11.0, 40.25}};
    second.rows = {{2, QStringLiteral("Этан"), -1.5, 0.0004, -0.0}};
    WritePgCompositionTable(doc, ReportTable::PgCompositionMethod1, first, &captions, 3);
    WritePgCompositionTable(doc, ReportTable::PgCompositionMethod2, second, &captions, 3);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), InDocument(R"(
<calc_table><header_row><column><cspan dt:dt="i4">4</cspan><label dt:dt="string">Пластовый газ - Компонентно-фракционный состав: Способ 1</label></column></header_row>
<header_row><column><label dt:dt="string">Компоненты, фракция (°C)</label></column><column><label dt:dt="string">Дегазированый конденсат</label></column><column><label dt:dt="string">КГН</label></column><column><label dt:dt="string">Пластовый газ</label></column></header_row>
<fill_data><name dt:dt="string">Метан</name><DC dt:dt="string">0</DC><KGN dt:dt="string">5.500</KGN><PG dt:dt="string">80.000</PG></fill_data>
<fill_data><name dt:dt="string">28 - 60</name><DC dt:dt="string">12.346</DC><KGN dt:dt="string">11.000</KGN><PG dt:dt="string">40.250</PG></fill_data></calc_table>
<calc_table><header_row><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">Пластовый газ - Компонентно-фракционный состав: Способ 2</label></column></header_row>
<header_row><column><label dt:dt="string">К2-0</label></column><column><label dt:dt="string">К2-1</label></column><column><label dt:dt="string">К2-2</label></column></header_row>
<fill_data><name dt:dt="string">Этан</name><DC dt:dt="string">-1.500</DC><KGN dt:dt="string">0.000</KGN><PG dt:dt="string">0</PG></fill_data></calc_table>)")));
}

TEST_F(FormationGasTablesTest, resultsWithoutRowsLeaveNoTraceWhateverTheirOtherValues)
{
    CalcPgMethod1Result method1;
    method1.gsMolarMass = method1.c5PlusTotal.GsMol = 1.0;
    PgSulphurResult sulphur;
    sulphur.sumGsVol = sulphur.sumPgPg = 2.0;
    CalcPgMethod2Result method2;
    method2.pgDensity = 3.0;
    WritePgMethod1Table(doc, method1, &captions, 3);
    WritePgSulphurTable(doc, sulphur, &captions, 3);
    WritePgMethod2Table(doc, method2, &captions, 3);
    WritePgCompositionTable(doc, ReportTable::PgCompositionMethod1, CompFractResult(), &captions, 3);
    WritePgCompositionTable(doc, ReportTable::PgCompositionMethod2, CompFractResult(), nullptr, 3);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), InDocument("")));
}
