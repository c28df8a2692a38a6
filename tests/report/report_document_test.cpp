#include <gtest/gtest.h>

#include "calc/ChromatogramSlot.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "report/ReportDocument.h"
#include "support/UtcZone.h"
#include "support/XmlTree.h"

#include <cfloat>
#include <limits>
#include <memory>

using testsupport::SameXmlTree;

namespace {

ChromatogramRecord record(const QString& sample, std::int64_t time, int role, const QString& typeName,
                          const QString& point = QString(), bool calibration = false)
{
    ChromatogramRecord r;
    r.sample = sample;
    r.analysisTime = time;
    r.role = role;
    r.typeName = typeName;
    r.samplingPoint = point;
    r.isCalibration = calibration;
    return r;
}

MixturePtr cylinder(const QString& name, const QString& identifier, std::int64_t date, int type)
{
    auto m = std::make_shared<MixtureData>();
    m->name = name;
    m->identifier = identifier;
    m->date = date;
    m->type = type;
    return m;
}

ReportSettings allOff()
{
    ReportSettings s;
    s.enableAssayList = s.enableMixtureList = s.enableGsResult = s.enableGdResult = s.enableDcResult =
        s.enablePgResult = s.enableSystemMsgs = false;
    return s;
}

class ReportDocumentTest : public ::testing::Test
{
protected:
    ReportDocumentTest()
    {
        // 05.03.24 09:15 and 06.03.24 10:00, UTC.
        records = {record(QStringLiteral("Калибровка ГС"), 1709630107, SlotGsCalibration1,
                          QStringLiteral("ГС Калибровка 1"), QStringLiteral("Баллон"), true),
                   record(QStringLiteral("ГС-1"), 1709719200, SlotGsAnalysis1, QStringLiteral("ГС Анализ 1"),
                          QStringLiteral("Скв. 12, УКПГ-3")),
                   record(QStringLiteral("неизвестная"), 0, SlotNone, QString())};
        cylinders = {cylinder(QStringLiteral("ПГС-ГС"), QStringLiteral("Бал 1"), 1709630107, MixtureKindGs),
                     cylinder(QStringLiteral("ПГС-ДК"), QStringLiteral("Бал 7"), 0, MixtureKindDc),
                     cylinder(QStringLiteral("Без типа"), QString(), 0, 9)};
        log.AddMessage(MessageError, QStringLiteral("ГС Анализ: ошибка один."));
        log.AddMessage(MessageError, QStringLiteral("ГС Анализ: ошибка два."));
        log.AddMessage(MessageInfo, QStringLiteral("ГД Анализ: сведение."));
        choice.deviceNumber = QStringLiteral("ХГ-1000 №5");
        choice.operatorName = QStringLiteral("Петров П. П.");
    }

    ReportSources sources() { return {&settings, &records, &cylinders, nullptr, &log, nullptr}; }

    QByteArray build(const ReportSettings& s)
    {
        XMLWrapper doc;
        ReportDocument(sources(), s).Build(doc);
        return doc.ToXml();
    }

    testsupport::UtcZone utc;
    CSettings settings;
    std::vector<ChromatogramRecord> records;
    MixtureList cylinders;
    MessageLog log;
    ReportSettings choice;
};

// Records every table call and leaves a titled table for each, so that the
// order of the sections shows in the document.
class RecordingReport : public ReportDocument
{
public:
    using ReportDocument::ReportDocument;
    QStringList calls;

private:
    void table(XMLWrapper& doc, const char* what)
    {
        calls << QString::fromLatin1(what);
        AddTitleRow(doc, doc.AddElement(nullptr, "calc_table"), QString::fromLatin1(what), 1);
    }
    void BuildGsCalibrationTable(XMLWrapper& d) override { table(d, "GsCalibration"); }
    void BuildGsAnalysisTable(XMLWrapper& d) override { table(d, "GsAnalysis"); }
    void BuildGsSulphurTable(XMLWrapper& d) override { table(d, "GsSulphur"); }
    void BuildGsMethanolTable(XMLWrapper& d) override { table(d, "GsMethanol"); }
    void BuildGdCalibrationTable(XMLWrapper& d) override { table(d, "GdCalibration"); }
    void BuildGdAnalysisTable(XMLWrapper& d) override { table(d, "GdAnalysis"); }
    void BuildGdSulphurTable(XMLWrapper& d) override { table(d, "GdSulphur"); }
    void BuildGdMethanolTable(XMLWrapper& d) override { table(d, "GdMethanol"); }
    void BuildDcC1C5Table(XMLWrapper& d) override { table(d, "DcC1C5"); }
    void BuildDcSulphurTable(XMLWrapper& d) override { table(d, "DcSulphur"); }
    void BuildDcMethanolTable(XMLWrapper& d) override { table(d, "DcMethanol"); }
    void BuildDcFractionsTable(XMLWrapper& d) override { table(d, "DcFractions"); }
    void BuildDcGroupsTable(XMLWrapper& d) override { table(d, "DcGroups"); }
    void BuildPgMethod1Table(XMLWrapper& d) override { table(d, "PgMethod1"); }
    void BuildPgSulphurTable(XMLWrapper& d) override { table(d, "PgSulphur"); }
    void BuildPgMethod2Table(XMLWrapper& d) override { table(d, "PgMethod2"); }
    void BuildPgCompositionMethod1Table(XMLWrapper& d) override { table(d, "PgComposition1"); }
    void BuildPgCompositionMethod2Table(XMLWrapper& d) override { table(d, "PgComposition2"); }
    void AddDcGraph(XMLWrapper& d) override { table(d, "DcGraph"); }
};

} // namespace

TEST_F(ReportDocumentTest, everySectionOffLeavesOnlyTheHeader)
{
    EXPECT_TRUE(SameXmlTree(build(allOff()), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"/>
        <station dt:dt="string">Скв. 12, УКПГ-3</station>
        <num_device dt:dt="string"/>
        <operator dt:dt="string"/>
    </Document>)"));
}

TEST_F(ReportDocumentTest, everySectionOnWritesListsAndNumberedMessages)
{
    EXPECT_TRUE(SameXmlTree(build(choice), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"> Газ Сепарации. Газ Дегазации. Дегазированный Конденсат. Пластовый Газ.</name>
        <station dt:dt="string">Скв. 12, УКПГ-3</station>
        <num_device dt:dt="string">ХГ-1000 №5</num_device>
        <operator dt:dt="string">Петров П. П.</operator>
        <files>
          <fill_data>
            <name dt:dt="i4">1</name>
            <name dt:dt="string">Калибровка ГС</name>
            <analyse_time dt:dt="string">05.03.24  09:15</analyse_time>
            <name dt:dt="string">ГС Калибровка 1</name>
          </fill_data>
          <fill_data>
            <name dt:dt="i4">2</name>
            <name dt:dt="string">ГС-1</name>
            <analyse_time dt:dt="string">06.03.24  10:00</analyse_time>
            <name dt:dt="string">ГС Анализ 1</name>
          </fill_data>
          <fill_data>
            <name dt:dt="i4">3</name>
            <name dt:dt="string">неизвестная</name>
            <analyse_time dt:dt="string">01.01.70  00:00</analyse_time>
            <name dt:dt="string"/>
          </fill_data>
        </files>
        <mixtures>
          <fill_data>
            <name dt:dt="i4">1</name>
            <name dt:dt="string">ПГС-ГС</name>
            <num_balloon dt:dt="string">Бал 1</num_balloon>
            <date_created dt:dt="string">05.03.24  09:15</date_created>
            <type dt:dt="string">ГС</type>
          </fill_data>
          <fill_data>
            <name dt:dt="i4">2</name>
            <name dt:dt="string">ПГС-ДК</name>
            <num_balloon dt:dt="string">Бал 7</num_balloon>
            <date_created dt:dt="string">01.01.70  00:00</date_created>
            <type dt:dt="string">ДК</type>
          </fill_data>
          <fill_data>
            <name dt:dt="i4">3</name>
            <name dt:dt="string">Без типа</name>
            <num_balloon dt:dt="string"/>
            <date_created dt:dt="string">01.01.70  00:00</date_created>
            <type dt:dt="string"/>
          </fill_data>
        </mixtures>
        <msg_head>
          <table_msg><msg_str dt:dt="string">Ошибки!</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">1. ГС Анализ: ошибка один.</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">2. ГС Анализ: ошибка два.</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">Информация!</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">3. ГД Анализ: сведение.</msg_str></table_msg>
        </msg_head>
    </Document>)"));
}

TEST_F(ReportDocumentTest, tickedSectionsWithoutDataWriteNothing)
{
    records.clear();
    cylinders.clear();
    log.ClearMessages();
    ReportSettings s = choice;
    s.enableGsResult = s.enableGdResult = s.enableDcResult = s.enablePgResult = false;
    EXPECT_TRUE(SameXmlTree(build(s), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"/>
        <station dt:dt="string"/>
        <num_device dt:dt="string">ХГ-1000 №5</num_device>
        <operator dt:dt="string">Петров П. П.</operator>
    </Document>)"));
}

TEST_F(ReportDocumentTest, missingSourcesReadAsEmpty)
{
    XMLWrapper doc;
    ReportDocument(ReportSources{}, ReportSettings{}).Build(doc);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"> Газ Сепарации. Газ Дегазации. Дегазированный Конденсат. Пластовый Газ.</name>
        <station dt:dt="string"/><num_device dt:dt="string"/><operator dt:dt="string"/>
    </Document>)"));
}

TEST_F(ReportDocumentTest, markupInNamesStaysText)
{
    records = {record(QStringLiteral("<b>&x</b>"), 0, SlotGsAnalysis1, QStringLiteral("ГС Анализ 1"),
                      QStringLiteral("<i>пункт</i>"))};
    ReportSettings s = allOff();
    s.enableAssayList = true;
    s.operatorName = QStringLiteral("&amp; <script>");
    const testsupport::XmlDoc parsed = testsupport::ParseXml(build(s));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/files/fill_data/name[2]"),
              QStringList{QStringLiteral("<b>&x</b>")});
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/station"), QStringList{QStringLiteral("<i>пункт</i>")});
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/operator"), QStringList{QStringLiteral("&amp; <script>")});
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "//b | //i | //script"), 0);
}

TEST(ReportTitleTest, piecesOfTheTickedSamplesInTheirOrder)
{
    const struct {
        bool gs, gd, dc, pg;
        const char* title;
    } cases[] = {
        {false, false, false, false, ""},
        {true, false, false, false, " Газ Сепарации."},
        {false, true, false, false, " Газ Дегазации."},
        {false, false, true, false, " Дегазированный Конденсат."},
        {false, false, false, true, " Пластовый Газ."},
        {true, false, true, false, " Газ Сепарации. Дегазированный Конденсат."},
        {false, true, false, true, " Газ Дегазации. Пластовый Газ."},
        {true, true, true, true, " Газ Сепарации. Газ Дегазации. Дегазированный Конденсат. Пластовый Газ."},
    };
    for (const auto& c : cases) {
        ReportSettings s = allOff();
        s.enableGsResult = c.gs;
        s.enableGdResult = c.gd;
        s.enableDcResult = c.dc;
        s.enablePgResult = c.pg;
        // The lists and the messages play no part in the title.
        s.enableAssayList = s.enableSystemMsgs = true;
        EXPECT_EQ(ReportTitle(s), QString::fromUtf8(c.title));
    }
}

TEST(ReportStationTest, firstAnalysisRecordWithASamplingPoint)
{
    const QString a = QStringLiteral("Пункт А");
    const QString b = QStringLiteral("Пункт Б");
    const struct {
        const char* what;
        std::vector<ChromatogramRecord> records;
        QString station;
    } cases[] = {
        {"empty list", {}, QString()},
        {"first qualifying record", {record("1", 0, SlotGsAnalysis1, {}, a), record("2", 0, SlotGdAnalysis1, {}, b)}, a},
        {"empty point skipped", {record("1", 0, SlotGsAnalysis1, {}, {}), record("2", 0, SlotDcC1C5_1, {}, b)}, b},
        {"calibration run skipped", {record("1", 0, SlotGsAnalysis1, {}, a, true), record("2", 0, SlotGsAnalysis2, {}, b)}, b},
        {"no role skipped", {record("1", 0, SlotNone, {}, a), record("2", 0, SlotDcC6C44_3, {}, b)}, b},
        {"blank skipped", {record("1", 0, SlotBlank, {}, a), record("2", 0, SlotGsMethanol1, {}, b)}, b},
        {"temperature skipped", {record("1", 0, SlotDcTemperature, {}, a), record("2", 0, SlotDcSulphur1, {}, b)}, b},
        {"calibration role taken when not marked", {record("1", 0, SlotGsCalibration1, {}, a)}, a},
        {"nothing qualifies", {record("1", 0, SlotBlank, {}, a), record("2", 0, SlotGsAnalysis1, {}, {})}, QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportStation(c.records), c.station) << c.what;
}

TEST_F(ReportDocumentTest, sectionsCallTheirTablesInReportOrderBetweenListsAndMessages)
{
    cylinders.clear();
    records.resize(1);
    RecordingReport report(sources(), choice);
    XMLWrapper doc;
    report.Build(doc);
    EXPECT_EQ(report.calls,
              QStringList({"GsCalibration", "GsAnalysis", "GsSulphur", "GsMethanol", "GdCalibration", "GdAnalysis",
                           "GdSulphur", "GdMethanol", "DcC1C5", "DcGraph", "DcSulphur", "DcMethanol", "DcFractions",
                           "DcGroups", "PgMethod1", "PgSulphur", "PgMethod2", "PgComposition1", "PgComposition2"}));
    const testsupport::XmlDoc parsed = testsupport::ParseXml(doc.ToXml());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/*[1][self::name]"), 1);
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/files/following-sibling::*[1][self::calc_table]"), 1);
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/*[last()][self::msg_head]"), 1);
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/calc_table"), 19);
}

TEST_F(ReportDocumentTest, eachUntickedSampleDropsItsTables)
{
    const struct {
        bool ReportSettings::*flag;
        QStringList left;
    } cases[] = {
        {&ReportSettings::enableGsResult, {"GsCalibration", "GsAnalysis", "GsSulphur", "GsMethanol"}},
        {&ReportSettings::enableGdResult, {"GdCalibration", "GdAnalysis", "GdSulphur", "GdMethanol"}},
        {&ReportSettings::enableDcResult,
         {"DcC1C5", "DcGraph", "DcSulphur", "DcMethanol", "DcFractions", "DcGroups"}},
        {&ReportSettings::enablePgResult,
         {"PgMethod1", "PgSulphur", "PgMethod2", "PgComposition1", "PgComposition2"}},
    };
    for (const auto& c : cases) {
        ReportSettings s = choice;
        s.*c.flag = false;
        RecordingReport report(sources(), s);
        XMLWrapper doc;
        report.Build(doc);
        EXPECT_EQ(report.calls.size(), 19 - c.left.size());
        for (const QString& table : c.left)
            EXPECT_FALSE(report.calls.contains(table)) << table.toStdString();
    }
}

TEST(ReportTableFrameTest, titleSpansTheGridAndCaptionsFollowIt)
{
    ReportCaptionTable captions;
    captions.SetCaptions(ReportTable::GsAnalysis,
                         {QStringLiteral("№"), QStringLiteral("Компонент"), QStringLiteral("Конц. 1, мол. %")});
    CSettings settings;
    settings.general.qtySymInReport = 5;
    ReportDocument report({&settings, nullptr, nullptr, nullptr, nullptr, &captions}, ReportSettings{});
    EXPECT_EQ(report.Precision(), 5);
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    report.AddTableFrame(doc, ReportTable::GsAnalysis, QStringLiteral("Газ сепарации - Анализ"));
    // A grid that the captions do not know has no header.
    report.AddTableFrame(doc, ReportTable::GdAnalysis, QStringLiteral("Газ дегазации - Анализ"));
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <calc_table>
          <header_row><column><cspan dt:dt="i4">3</cspan><label dt:dt="string">Газ сепарации - Анализ</label></column></header_row>
          <header_row>
            <column><label dt:dt="string">№</label></column>
            <column><label dt:dt="string">Компонент</label></column>
            <column><label dt:dt="string">Конц. 1, мол. %</label></column>
          </header_row>
        </calc_table>
        <calc_table>
          <header_row><column><cspan dt:dt="i4">0</cspan><label dt:dt="string">Газ дегазации - Анализ</label></column></header_row>
          <header_row/>
        </calc_table>
    </Document>)"));
}

TEST(ReportTableFrameTest, withoutCaptionSourceTheCaptionRowIsEmpty)
{
    ReportDocument report(ReportSources{}, ReportSettings{});
    EXPECT_EQ(report.Precision(), 3);
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    report.AddTableFrame(doc, ReportTable::PgMethod2, QStringLiteral("Пластовый газ - Способ 2"));
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes"><calc_table>
          <header_row><column><cspan dt:dt="i4">0</cspan><label dt:dt="string">Пластовый газ - Способ 2</label></column></header_row>
          <header_row/>
        </calc_table></Document>)"));
}

TEST(ReportAnalysisValuesTest, shortSeriesAndUnsetValuesKeepTheirColumns)
{
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    xmlNodePtr row = doc.AddElement(nullptr, "fill_data");
    AddAnalysisValues(doc, row, "conc", {1.25, -DBL_MAX}, 3, 1);
    AddAnalysisValues(doc, row, "K", {std::numeric_limits<double>::quiet_NaN(), 0.0, 2.0}, 2, 2);
    AddAnalysisValues(doc, row, "conc_norm", {}, 0, 2);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes"><fill_data>
        <conc dt:dt="string">1.2</conc>
        <conc dt:dt="string">---</conc>
        <conc dt:dt="string">---</conc>
        <K dt:dt="string">---</K>
        <K dt:dt="string">0</K>
    </fill_data></Document>)"));
}
