#pragma once

#include "data/ChromatogramRecord.h"
#include "data/Mixtures.h"
#include "report/ReportCaptions.h"
#include "report/ReportSettings.h"
#include "report/XMLWrapper.h"

#include <QString>

#include <vector>

class CalcData;
class CSettings;
class GeneralSettings;
class MessageLog;
class ReportGraphImage;
class ReportGraphPlace;

// What a report is made from. The main window owns all of it and the report
// only reads it; a null pointer reads as an empty list, no results, no
// messages and no grid headers, null settings as the defaults.
struct ReportSources
{
    const CSettings* settings = nullptr;
    const std::vector<ChromatogramRecord>* records = nullptr;
    const MixtureList* cylinders = nullptr;
    const CalcData* calcData = nullptr;
    const MessageLog* log = nullptr;
    const ReportCaptionSource* captions = nullptr;
    // Paints the graph image; none: no graph. Where it goes; none: a fresh temporary folder.
    const ReportGraphImage* graphImage = nullptr;
    ReportGraphPlace* graphPlace = nullptr;
};

// Builds the report document from the results as they stand: the header,
// then, each only when its section is chosen, the chromatogram list, the
// cylinder list, the result tables of the separator gas, the degassing gas,
// the degassed condensate and the formation gas, and the system messages.
// A section or table without data leaves no trace.
class ReportDocument
{
public:
    ReportDocument(const ReportSources& sources, const ReportSettings& choice);
    virtual ~ReportDocument() = default;

    // Sets the writer's document up and writes every chosen section. Throws
    // what the writer throws; the document is then incomplete.
    void Build(XMLWrapper& doc);

    // `name` (the title), `station`, `num_device` and `operator`.
    void AddHeader(XMLWrapper& doc);
    // `files`: one row per record; nothing for an empty list.
    void AddAssayList(XMLWrapper& doc);
    // `mixtures`: one row per cylinder; nothing for an empty list.
    void AddMixtureList(XMLWrapper& doc);
    // The result tables of one sample kind, in their order in the report.
    void AddGsSection(XMLWrapper& doc);
    void AddGdSection(XMLWrapper& doc);
    void AddDcSection(XMLWrapper& doc);
    void AddPgSection(XMLWrapper& doc);
    // `msg_head`: the numbered lines of the message log; nothing when it is empty.
    void AddSystemMessages(XMLWrapper& doc);

    // ---- the result tables -------------------------------------------------
    // Each appends one `calc_table` under the root when its result holds rows
    // and nothing otherwise, reading the results through sources().calcData,
    // the digit count through Precision() and the captions of its grid
    // through AddTableFrame().
    virtual void BuildGsCalibrationTable(XMLWrapper& doc);
    virtual void BuildGsAnalysisTable(XMLWrapper& doc);
    virtual void BuildGsSulphurTable(XMLWrapper& doc);
    virtual void BuildGsMethanolTable(XMLWrapper& doc);
    virtual void BuildGdCalibrationTable(XMLWrapper& doc);
    virtual void BuildGdAnalysisTable(XMLWrapper& doc);
    virtual void BuildGdSulphurTable(XMLWrapper& doc);
    virtual void BuildGdMethanolTable(XMLWrapper& doc);
    virtual void BuildDcC1C5Table(XMLWrapper& doc);
    virtual void BuildDcSulphurTable(XMLWrapper& doc);
    virtual void BuildDcMethanolTable(XMLWrapper& doc);
    virtual void BuildDcFractionsTable(XMLWrapper& doc);
    virtual void BuildDcGroupsTable(XMLWrapper& doc);
    virtual void BuildPgMethod1Table(XMLWrapper& doc);
    virtual void BuildPgSulphurTable(XMLWrapper& doc);
    virtual void BuildPgMethod2Table(XMLWrapper& doc);
    virtual void BuildPgCompositionMethod1Table(XMLWrapper& doc);
    virtual void BuildPgCompositionMethod2Table(XMLWrapper& doc);
    // `graph`: the calibration graph of the condensate temperature scale.
    virtual void AddDcGraph(XMLWrapper& doc);

    // ---- what the table builders read --------------------------------------
    const ReportSources& sources() const { return m_sources; }
    const ReportSettings& choice() const { return m_choice; }
    // The general settings in force, or the defaults.
    const GeneralSettings& general() const;
    // The report's digit count, read afresh at every call.
    int Precision() const;
    // A `calc_table` under the root with the title row (spanning the grid's
    // column count) and the caption row copied from the table's grid.
    xmlNodePtr AddTableFrame(XMLWrapper& doc, ReportTable table, const QString& title);

private:
    ReportSources m_sources;
    ReportSettings m_choice;
};

// The pieces of the chosen sample sections, each beginning with a blank and
// ending with a point; empty when none is chosen.
QString ReportTitle(const ReportSettings& choice);

// The sampling point of the first record, in list order, that is no
// calibration run, has a role other than none, the blank and the condensate
// temperature chromatogram, and names a sampling point; empty when none does.
QString ReportStation(const std::vector<ChromatogramRecord>& records);

// The frame shared by the result tables.
// Title row: `header_row` / `column` / (`cspan` = columnCount, `label` = title).
void AddTitleRow(XMLWrapper& doc, xmlNodePtr table, const QString& title, int columnCount);
// Caption row: `header_row` with one `column` / `label` per column of the
// table's grid; no columns when there are no captions.
void AddGridCaptionRow(XMLWrapper& doc, xmlNodePtr table, const ReportCaptionSource* captions, ReportTable which);
// `count` elements named `name` with values 0 .. count-1 of a per-analysis
// series; a value the series does not hold is written "---", so the columns
// stay aligned.
void AddAnalysisValues(XMLWrapper& doc, xmlNodePtr row, const char* name, const std::vector<double>& values,
                       int count, int precision);
