#include <gtest/gtest.h>

#include "data/ChromatogramList.h"
#include "data/ChromatogramSlot.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "report/ReportDocument.h"
#include "support/ChromatogramFiles.h"
#include "support/UtcZone.h"
#include "support/XmlTree.h"

#include <QTemporaryDir>

#include <cfloat>
#include <limits>
#include <memory>
#include <tuple>

using testsupport::SameXmlTree;

namespace {

ChromatogramRecord record(const char* sample, int role, const QString& point = {}, bool calibration = false,
                          std::int64_t time = 0, const char* type = "")
{
    ChromatogramRecord r;
    std::tie(r.sample, r.role, r.samplingPoint, r.isCalibration, r.analysisTime, r.typeName) =
        std::tuple(QString::fromUtf8(sample), role, point, calibration, time, QString::fromUtf8(type));
    return r;
}

ReportSettings sections(bool lists, bool samples, bool messages)
{
    ReportSettings s;
    s.enableAssayList = s.enableMixtureList = lists;
    s.enableGsResult = s.enableGdResult = s.enableDcResult = s.enablePgResult = samples;
    s.enableSystemMsgs = messages;
    return s;
}

// Records the table calls and leaves a table for each, so that the place of
// the sections shows in the document.
class RecordingReport : public ReportDocument
{
public:
    using ReportDocument::ReportDocument;
    QStringList calls;

private:
    void table(XMLWrapper& doc, const char* what)
    {
        calls << QString::fromLatin1(what).remove(QStringLiteral("Build"));
        doc.AddElement(nullptr, "calc_table");
    }
#define RECORD(builder) \
    void builder(XMLWrapper& doc) override { table(doc, #builder); }
    RECORD(BuildGsCalibrationTable) RECORD(BuildGsAnalysisTable) RECORD(BuildGsSulphurTable)
    RECORD(BuildGsMethanolTable) RECORD(BuildGdCalibrationTable) RECORD(BuildGdAnalysisTable)
    RECORD(BuildGdSulphurTable) RECORD(BuildGdMethanolTable) RECORD(BuildDcC1C5Table) RECORD(AddDcGraph)
    RECORD(BuildDcSulphurTable) RECORD(BuildDcMethanolTable) RECORD(BuildDcFractionsTable)
    RECORD(BuildDcGroupsTable) RECORD(BuildPgMethod1Table) RECORD(BuildPgSulphurTable)
    RECORD(BuildPgMethod2Table) RECORD(BuildPgCompositionMethod1Table) RECORD(BuildPgCompositionMethod2Table)
#undef RECORD
};

class ReportDocumentTest : public ::testing::Test
{
protected:
    ReportDocumentTest()
    {
        // 05.03.24 09:15:07 and 06.03.24 10:00:00 UTC.
        records = {record("Калибровка ГС", SlotGsCalibration1, QStringLiteral("Баллон"), true, 1709630107,
                          "ГС Калибровка 1"),
                   record("ГС-1", SlotGsAnalysis1, QStringLiteral("Скв. 12"), false, 1709719200, "ГС Анализ 1")};
        for (int type : {3, 9}) {
            auto m = std::make_shared<MixtureData>();
            m->name = QStringLiteral("ПГС %1").arg(type);
            m->identifier = type == 9 ? QString() : QStringLiteral("Бал 7");
            m->date = 1709630107;
            m->type = type;
            cylinders.push_back(m);
        }
        log.AddMessage(MessageError, QStringLiteral("ГС Анализ: один."));
        log.AddMessage(MessageInfo, QStringLiteral("ГД Анализ: три."));
        log.AddMessage(MessageError, QStringLiteral("ГС Анализ: два."));
    }

    QByteArray build(ReportSettings s, const QString& device = {}, const QString& operatorName = {})
    {
        s.deviceNumber = device;
        s.operatorName = operatorName;
        XMLWrapper doc;
        ReportDocument({&settings, &records, &cylinders, nullptr, &log, nullptr}, s).Build(doc);
        return doc.ToXml();
    }

    testsupport::UtcZone utc;
    CSettings settings;
    std::vector<ChromatogramRecord> records;
    MixtureList cylinders;
    MessageLog log;
};

} // namespace

TEST_F(ReportDocumentTest, everySectionOffLeavesOnlyTheHeader)
{
    EXPECT_TRUE(SameXmlTree(build(sections(false, false, false)), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"/><station dt:dt="string">Скв. 12</station>
        <num_device dt:dt="string"/><operator dt:dt="string"/>
    </Document>)"));
}

TEST_F(ReportDocumentTest, everySectionOnWritesTheListsAndNumberedMessages)
{
    EXPECT_TRUE(SameXmlTree(build(sections(true, true, true), QStringLiteral("ХГ-1000 №5"), QStringLiteral(" Петров ")),
                            R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"> Газ Сепарации. Газ Дегазации. Дегазированный Конденсат. Пластовый Газ.</name>
        <station dt:dt="string">Скв. 12</station>
        <num_device dt:dt="string">ХГ-1000 №5</num_device>
        <operator dt:dt="string"> Петров </operator>
        <files>
          <fill_data><name dt:dt="i4">1</name><name dt:dt="string">Калибровка ГС</name>
            <analyse_time dt:dt="string">05.03.24  09:15</analyse_time><name dt:dt="string">ГС Калибровка 1</name></fill_data>
          <fill_data><name dt:dt="i4">2</name><name dt:dt="string">ГС-1</name>
            <analyse_time dt:dt="string">06.03.24  10:00</analyse_time><name dt:dt="string">ГС Анализ 1</name></fill_data>
        </files>
        <mixtures>
          <fill_data><name dt:dt="i4">1</name><name dt:dt="string">ПГС 3</name><num_balloon dt:dt="string">Бал 7</num_balloon>
            <date_created dt:dt="string">05.03.24  09:15</date_created><type dt:dt="string">ДК</type></fill_data>
          <fill_data><name dt:dt="i4">2</name><name dt:dt="string">ПГС 9</name><num_balloon dt:dt="string"/>
            <date_created dt:dt="string">05.03.24  09:15</date_created><type dt:dt="string"/></fill_data>
        </mixtures>
        <msg_head>
          <table_msg><msg_str dt:dt="string">Ошибки!</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">1. ГС Анализ: один.</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">2. ГС Анализ: два.</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">Информация!</msg_str></table_msg>
          <table_msg><msg_str dt:dt="string">3. ГД Анализ: три.</msg_str></table_msg>
        </msg_head>
    </Document>)"));
}

TEST_F(ReportDocumentTest, tickedSectionsWithoutDataWriteNothing)
{
    records.clear();
    cylinders.clear();
    log.ClearMessages();
    ReportSettings s = sections(true, false, true);
    s.enableGdResult = s.enablePgResult = true;
    const QByteArray expected = R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <name dt:dt="string"> Газ Дегазации. Пластовый Газ.</name>
        <station dt:dt="string"/><num_device dt:dt="string"/><operator dt:dt="string"/></Document>)";
    EXPECT_TRUE(SameXmlTree(build(s), expected));
    XMLWrapper doc;
    ReportDocument(ReportSources{}, s).Build(doc);
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), expected));
}

TEST(ReportHeaderTest, stationIsTheFirstAnalysisRecordWithASamplingPoint)
{
    const QString a = QStringLiteral("Пункт А");
    const QString b = QStringLiteral("Пункт Б");
    const struct {
        const char* what;
        std::vector<ChromatogramRecord> records;
        QString station;
    } cases[] = {
        {"empty list", {}, {}},
        {"first of two", {record("1", SlotGsAnalysis1, a), record("2", SlotGdAnalysis1, b)}, a},
        {"empty point", {record("1", SlotGsAnalysis1), record("2", SlotDcC1C5_1, b)}, b},
        {"calibration run", {record("1", SlotGsAnalysis1, a, true), record("2", SlotGsAnalysis2, b)}, b},
        {"no role", {record("1", SlotNone, a), record("2", SlotDcC6C44_3, b)}, b},
        {"blank", {record("1", SlotBlank, a), record("2", SlotGsMethanol1, b)}, b},
        {"temperature", {record("1", SlotDcTemperature, a), record("2", SlotDcSulphur1, b)}, b},
        {"calibration role, not marked", {record("1", SlotGsCalibration1, a)}, a},
        {"none qualifies", {record("1", SlotBlank, a), record("2", SlotGsAnalysis1)}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportStation(c.records), c.station) << c.what;
}

TEST_F(ReportDocumentTest, stationIsThePassportsSamplingPointNotItsSamplingSpot)
{
    // "Точка отбора" names the apparatus, "Пункт отбора" the well; a
    // version-1 passport holds no "Пункт отбора", so its file is passed over.
    const struct {
        int version;
        int role;
        const char* spot;
        const char* point;
    } files[] = {{1, SlotGsAnalysis1, "Сепаратор С-1", "Скв. 3"}, {2, SlotGdAnalysis1, "Сепаратор С-2", "Скв. 7, УКПГ-3"}};
    QTemporaryDir dir;
    records.clear();
    for (const auto& f : files) {
        testsupport::ChromatogramFile file;
        file.passportVersion = f.version;
        file.samplingSpot = QString::fromUtf8(f.spot);
        file.samplingPoint = QString::fromUtf8(f.point);
        file.analysisTime = 1700000000 + f.version; // two runs, not one copied
        const QString path = dir.filePath(QStringLiteral("v%1.stg").arg(f.version));
        ASSERT_TRUE(testsupport::writeChromatogramFile(path, file));
        ASSERT_GE(AddChromatogram(records, path, cylinders), 0);
        records.back().role = f.role;
    }
    const testsupport::XmlDoc doc = testsupport::ParseXml(build(sections(false, false, false)));
    EXPECT_EQ(testsupport::XPathTexts(doc.get(), "/Document/station"), QStringList({"Скв. 7, УКПГ-3"}));
}

TEST_F(ReportDocumentTest, tablesStandBetweenTheListsAndTheMessagesInSectionOrder)
{
    const QStringList all{"GsCalibrationTable", "GsAnalysisTable", "GsSulphurTable", "GsMethanolTable",
                          "GdCalibrationTable", "GdAnalysisTable", "GdSulphurTable", "GdMethanolTable",
                          "DcC1C5Table", "AddDcGraph", "DcSulphurTable", "DcMethanolTable", "DcFractionsTable",
                          "DcGroupsTable", "PgMethod1Table", "PgSulphurTable", "PgMethod2Table",
                          "PgCompositionMethod1Table", "PgCompositionMethod2Table"};
    RecordingReport report({&settings, &records, &cylinders, nullptr, &log, nullptr}, sections(true, true, true));
    XMLWrapper doc;
    report.Build(doc);
    EXPECT_EQ(report.calls, all);
    const testsupport::XmlDoc parsed = testsupport::ParseXml(doc.ToXml());
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/mixtures/following-sibling::calc_table"), 19);
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/msg_head/following-sibling::*"), 0);

    ReportSettings noCondensate = sections(false, true, false);
    noCondensate.enableDcResult = false;
    RecordingReport partial(ReportSources{}, noCondensate);
    partial.Build(doc);
    EXPECT_EQ(partial.calls, all.mid(0, 8) + all.mid(14));
}

TEST(ReportTableFrameTest, titleSpansTheGridAndTheCaptionsFollow)
{
    ReportCaptionTable captions;
    captions.SetCaptions(ReportTable::GsAnalysis, {QStringLiteral("№"), QStringLiteral("Компонент")});
    CSettings settings;
    settings.general.qtySymInReport = 5;
    ReportDocument report({&settings, nullptr, nullptr, nullptr, nullptr, &captions}, ReportSettings{});
    EXPECT_EQ(report.Precision(), 5);
    EXPECT_EQ(ReportDocument(ReportSources{}, ReportSettings{}).Precision(), 3);
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    xmlNodePtr row = doc.AddElement(report.AddTableFrame(doc, ReportTable::GsAnalysis, QStringLiteral("ГС - Анализ")),
                                    "fill_data");
    // A short series and unset values keep their columns.
    AddAnalysisValues(doc, row, "conc", {1.25, -DBL_MAX}, 3, 1);
    AddAnalysisValues(doc, row, "K", {std::numeric_limits<double>::quiet_NaN(), 0.0, 2.0}, 2, 2);
    // A grid without a header.
    report.AddTableFrame(doc, ReportTable::GdAnalysis, QStringLiteral("ГД - Анализ"));
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <calc_table>
          <header_row><column><cspan dt:dt="i4">2</cspan><label dt:dt="string">ГС - Анализ</label></column></header_row>
          <header_row><column><label dt:dt="string">№</label></column><column><label dt:dt="string">Компонент</label></column></header_row>
          <fill_data><conc dt:dt="string">1.2</conc><conc dt:dt="string">---</conc><conc dt:dt="string">---</conc>
            <K dt:dt="string">---</K><K dt:dt="string">0</K></fill_data>
        </calc_table>
        <calc_table>
          <header_row><column><cspan dt:dt="i4">0</cspan><label dt:dt="string">ГД - Анализ</label></column></header_row>
          <header_row/>
        </calc_table>
    </Document>)"));
}
