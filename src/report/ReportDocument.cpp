#include "report/ReportDocument.h"

#include "data/ChromatogramSlot.h"
#include "data/GeneralSettings.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "report/ReportText.h"

#include <cfloat>
#include <new>

ReportDocument::ReportDocument(const ReportSources& sources, const ReportSettings& choice)
    : m_sources(sources)
    , m_choice(choice)
{
}

const GeneralSettings& ReportDocument::general() const
{
    static const GeneralSettings defaults;
    return m_sources.settings ? m_sources.settings->general : defaults;
}

int ReportDocument::Precision() const
{
    return general().qtySymInReport;
}

void ReportDocument::Build(XMLWrapper& doc)
{
    if (!doc.InitDocument())
        throw std::bad_alloc();
    AddHeader(doc);
    if (m_choice.enableAssayList)
        AddAssayList(doc);
    if (m_choice.enableMixtureList)
        AddMixtureList(doc);
    if (m_choice.enableGsResult)
        AddGsSection(doc);
    if (m_choice.enableGdResult)
        AddGdSection(doc);
    if (m_choice.enableDcResult)
        AddDcSection(doc);
    if (m_choice.enablePgResult)
        AddPgSection(doc);
    if (m_choice.enableSystemMsgs)
        AddSystemMessages(doc);
}

QString ReportTitle(const ReportSettings& choice)
{
    QString title;
    if (choice.enableGsResult)
        title += QStringLiteral(" Газ Сепарации.");
    if (choice.enableGdResult)
        title += QStringLiteral(" Газ Дегазации.");
    if (choice.enableDcResult)
        title += QStringLiteral(" Дегазированный Конденсат.");
    if (choice.enablePgResult)
        title += QStringLiteral(" Пластовый Газ.");
    return title;
}

QString ReportStation(const std::vector<ChromatogramRecord>& records)
{
    for (const ChromatogramRecord& record : records) {
        if (record.isCalibration || record.samplingPoint.isEmpty())
            continue;
        if (record.role == SlotNone || record.role == SlotBlank || record.role == SlotDcTemperature)
            continue;
        return record.samplingPoint;
    }
    return QString();
}

void ReportDocument::AddHeader(XMLWrapper& doc)
{
    doc.AddText(nullptr, "name", ReportTitle(m_choice));
    doc.AddText(nullptr, "station", m_sources.records ? ReportStation(*m_sources.records) : QString());
    doc.AddText(nullptr, "num_device", m_choice.deviceNumber);
    doc.AddText(nullptr, "operator", m_choice.operatorName);
}

void ReportDocument::AddAssayList(XMLWrapper& doc)
{
    if (!m_sources.records || m_sources.records->empty())
        return;
    xmlNodePtr files = doc.AddElement(nullptr, "files");
    std::int32_t n = 0;
    for (const ChromatogramRecord& record : *m_sources.records) {
        xmlNodePtr row = doc.AddElement(files, "fill_data");
        doc.AddInt(row, "name", ++n);
        doc.AddText(row, "name", record.sample);
        doc.AddText(row, "analyse_time", FormatReportTime(record.analysisTime));
        doc.AddText(row, "name", record.typeName);
    }
}

void ReportDocument::AddMixtureList(XMLWrapper& doc)
{
    if (!m_sources.cylinders || m_sources.cylinders->empty())
        return;
    xmlNodePtr mixtures = doc.AddElement(nullptr, "mixtures");
    std::int32_t n = 0;
    for (const MixturePtr& cylinder : *m_sources.cylinders) {
        if (!cylinder)
            continue;
        xmlNodePtr row = doc.AddElement(mixtures, "fill_data");
        doc.AddInt(row, "name", ++n);
        doc.AddText(row, "name", cylinder->name);
        doc.AddText(row, "num_balloon", cylinder->identifier);
        doc.AddText(row, "date_created", FormatReportTime(cylinder->date));
        doc.AddText(row, "type", MixtureTypeText(cylinder->type));
    }
}

void ReportDocument::AddGsSection(XMLWrapper& doc)
{
    BuildGsCalibrationTable(doc);
    BuildGsAnalysisTable(doc);
    BuildGsSulphurTable(doc);
    BuildGsMethanolTable(doc);
}

void ReportDocument::AddGdSection(XMLWrapper& doc)
{
    BuildGdCalibrationTable(doc);
    BuildGdAnalysisTable(doc);
    BuildGdSulphurTable(doc);
    BuildGdMethanolTable(doc);
}

void ReportDocument::AddDcSection(XMLWrapper& doc)
{
    BuildDcC1C5Table(doc);
    // The graph stands between the C1-C5 table and the sulphur compounds.
    AddDcGraph(doc);
    BuildDcSulphurTable(doc);
    BuildDcMethanolTable(doc);
    BuildDcFractionsTable(doc);
    BuildDcGroupsTable(doc);
}

void ReportDocument::AddPgSection(XMLWrapper& doc)
{
    BuildPgMethod1Table(doc);
    BuildPgSulphurTable(doc);
    BuildPgMethod2Table(doc);
    BuildPgCompositionMethod1Table(doc);
    BuildPgCompositionMethod2Table(doc);
}

void ReportDocument::AddSystemMessages(XMLWrapper& doc)
{
    if (!m_sources.log)
        return;
    const std::vector<QString> lines = m_sources.log->CollectReportMessages();
    if (lines.empty())
        return;
    xmlNodePtr head = doc.AddElement(nullptr, "msg_head");
    for (const QString& line : lines) {
        xmlNodePtr entry = doc.AddElement(head, "table_msg");
        doc.AddText(entry, "msg_str", line);
    }
}

xmlNodePtr ReportDocument::AddTableFrame(XMLWrapper& doc, ReportTable table, const QString& title)
{
    xmlNodePtr calcTable = doc.AddElement(nullptr, "calc_table");
    const int columns = m_sources.captions ? m_sources.captions->GetColumnCount(table) : 0;
    AddTitleRow(doc, calcTable, title, columns);
    AddGridCaptionRow(doc, calcTable, m_sources.captions, table);
    return calcTable;
}

void AddTitleRow(XMLWrapper& doc, xmlNodePtr table, const QString& title, int columnCount)
{
    xmlNodePtr row = doc.AddElement(table, "header_row");
    xmlNodePtr column = doc.AddElement(row, "column");
    doc.AddInt(column, "cspan", columnCount);
    doc.AddText(column, "label", title);
}

void AddGridCaptionRow(XMLWrapper& doc, xmlNodePtr table, const ReportCaptionSource* captions, ReportTable which)
{
    xmlNodePtr row = doc.AddElement(table, "header_row");
    if (!captions)
        return;
    // The count is asked again before every column, as the grid may answer differently.
    for (int i = 0; i < captions->GetColumnCount(which); ++i) {
        xmlNodePtr column = doc.AddElement(row, "column");
        doc.AddText(column, "label", captions->GetColumnText(which, i));
    }
}

void AddAnalysisValues(XMLWrapper& doc, xmlNodePtr row, const char* name, const std::vector<double>& values,
                       int count, int precision)
{
    for (int i = 0; i < count; ++i) {
        const double value = static_cast<std::size_t>(i) < values.size() ? values[static_cast<std::size_t>(i)] : -DBL_MAX;
        doc.AddDouble(row, name, precision, value);
    }
}
