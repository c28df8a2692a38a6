#include "report/ReportResultTables.h"

#include "calc/CalcData.h"
#include "data/GeneralSettings.h"
#include "tables/ResultTable.h"

#include <cfloat>

namespace {

enum class RowKind { Calibration, GasAnalysis, Sulphur, GasMethanol, Condensate, CondensateMethanol };

struct TableEntry
{
    ReportTable table;
    RowKind kind;
    QString title;
    AnalysisCountRule count;
};

// Titles as the report has always written them: some with two blanks after
// the hyphen, "Cеросодержащие" beginning with the Latin C.
const TableEntry* EntryOf(ReportTable which)
{
    static const TableEntry entries[] = {
        {ReportTable::GsCalibration, RowKind::Calibration,
         QStringLiteral("Газ сепарации -  Калибровка"), {&GeneralSettings::QtyGsCalib, 3, 5}},
        {ReportTable::GsAnalysis, RowKind::GasAnalysis,
         QStringLiteral("Газ сепарации - Анализ"), {&GeneralSettings::QtyGsRegular, 2, 3}},
        {ReportTable::GsSulphur, RowKind::Sulphur,
         QStringLiteral("Газ сепарации - Cеросодержащие соединения"), {nullptr, 3, 3}},
        {ReportTable::GsMethanol, RowKind::GasMethanol,
         QStringLiteral("Газ сепарации - Метанол"), {&GeneralSettings::QtyGsMeth, 2, 3}},
        {ReportTable::GdCalibration, RowKind::Calibration,
         QStringLiteral("Газ дегазации - Калибровка"), {&GeneralSettings::QtyGdCalib, 3, 5}},
        {ReportTable::GdAnalysis, RowKind::GasAnalysis,
         QStringLiteral("Газ дегазации - Анализ"), {&GeneralSettings::QtyGdRegular, 2, 3}},
        {ReportTable::GdSulphur, RowKind::Sulphur,
         QStringLiteral("Газ дегазации - Cеросодержащие соединения"), {&GeneralSettings::QtyGdSss, 2, 3}},
        {ReportTable::GdMethanol, RowKind::GasMethanol,
         QStringLiteral("Газ дегазации - Метанол"), {&GeneralSettings::QtyGdMeth, 2, 3}},
        {ReportTable::DcC1C5, RowKind::Condensate,
         QStringLiteral("Дегазированный конденсат -  С1-С5"), {&GeneralSettings::QtyDcC1C5, 2, 3}},
        {ReportTable::DcSulphur, RowKind::Sulphur,
         QStringLiteral("Дегазированный конденсат -  Cеросодержащие соединения"), {&GeneralSettings::QtyDcSss, 2, 3}},
        {ReportTable::DcMethanol, RowKind::CondensateMethanol,
         QStringLiteral("Дегазированный конденсат - Метанол"), {&GeneralSettings::QtyDcMeth, 2, 3}},
        {ReportTable::DcFractions, RowKind::Condensate,
         QStringLiteral("Дегазированный конденсат - С6-С44 Фракции"), {&GeneralSettings::QtyDcC6C44, 2, 3}},
        {ReportTable::DcGroups, RowKind::Condensate,
         QStringLiteral("Дегазированный конденсат - С6-С44 Группы"), {&GeneralSettings::QtyDcC6C44, 2, 3}},
    };
    for (const TableEntry& entry : entries) {
        if (entry.table == which)
            return &entry;
    }
    return nullptr;
}

// Where a table's rows go, with what it reads from the report's settings.
struct TableOut
{
    XMLWrapper& doc;
    xmlNodePtr table;
    int n;
    int precision;

    // `fill_data` opened with the row number and the component.
    xmlNodePtr Row(std::size_t index, const QString& name) const
    {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddInt(row, "name", static_cast<std::int32_t>(index + 1));
        doc.AddText(row, "name", name);
        return row;
    }
    xmlNodePtr TotalsRow() const
    {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddText(row, "name", QString());
        doc.AddText(row, "name", QStringLiteral("Всего:"));
        return row;
    }
    void Number(xmlNodePtr row, const char* name, double value) const { doc.AddDouble(row, name, precision, value); }
    void Series(xmlNodePtr row, const char* name, const std::vector<double>& values) const
    {
        AddAnalysisValues(doc, row, name, values, n, precision);
    }
    void Verdict(xmlNodePtr row, bool ok) const
    {
        doc.AddText(row, "ok", ok ? QStringLiteral("Да") : QStringLiteral("Нет"));
    }
    // Sum k adds value k of every row; a row without it counts as unset, so
    // the sum is written "---" like the value that is missing.
    template <typename Row>
    void SeriesSums(xmlNodePtr row, const char* name, const std::vector<Row>& rows,
                    std::vector<double> Row::*series) const
    {
        for (int k = 0; k < n; ++k) {
            TableSum sum;
            for (const Row& r : rows) {
                const std::vector<double>& values = r.*series;
                sum.Add(static_cast<std::size_t>(k) < values.size() ? values[static_cast<std::size_t>(k)] : -DBL_MAX);
            }
            Number(row, name, sum.Value());
        }
    }
    template <typename Row>
    void Sum(xmlNodePtr row, const char* name, const std::vector<Row>& rows, double Row::*field) const
    {
        Number(row, name, ColumnSum(rows, field).Value());
    }
};

void WriteRows(const TableOut& out, const CalibrationResult& result)
{
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const CalibrationRow& r = result.rows[i];
        xmlNodePtr row = out.Row(i, r.name);
        out.Number(row, "conc_mol", r.conc_mol);
        out.Series(row, "K", r.K);
        out.Number(row, "Kavr", r.Kavr);
        out.Number(row, "Rk", r.Rk);
        out.Number(row, "norm", r.norm);
        out.Verdict(row, r.ok);
    }
}

void WriteRows(const TableOut& out, const GasAnalysisResult& result)
{
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const GasAnalysisRow& r = result.rows[i];
        xmlNodePtr row = out.Row(i, r.name);
        out.Series(row, "conc", r.rawConc);
        out.Series(row, "conc_norm", r.normConc);
        out.Number(row, "conc_avg", r.mean);
        out.Number(row, "check", r.range);
        out.Number(row, "norm", r.norm);
        out.Number(row, "presision", r.uncertainty);
        out.Verdict(row, r.ok);
    }
    xmlNodePtr total = out.TotalsRow();
    out.SeriesSums(total, "conc", result.rows, &GasAnalysisRow::rawConc);
    out.SeriesSums(total, "conc_norm", result.rows, &GasAnalysisRow::normConc);
    out.Sum(total, "conc_avg", result.rows, &GasAnalysisRow::mean);
}

// The columns the sulphur compounds and the methanol share, from the
// parallels to the uncertainty; each kind adds its fractions after them.
template <typename Row>
xmlNodePtr WriteMeasuredRow(const TableOut& out, std::size_t i, const Row& r)
{
    xmlNodePtr row = out.Row(i, r.name);
    out.Series(row, "conc", r.conc);
    out.Number(row, "conc_avg", r.mean);
    out.Number(row, "check", r.range);
    out.Number(row, "norm", r.norm);
    out.Verdict(row, r.ok);
    out.Number(row, "presision", r.uncertainty);
    return row;
}

void WriteRows(const TableOut& out, const SulphurResult& result)
{
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const SulphurRow& r = result.rows[i];
        xmlNodePtr row = WriteMeasuredRow(out, i, r);
        out.Number(row, "Csss", r.molConc);
        out.Number(row, "Xsrsh", r.mercaptanSulphur);
    }
    // The last two are the result's own totals, not sums of the rows.
    xmlNodePtr total = out.TotalsRow();
    out.SeriesSums(total, "conc", result.rows, &SulphurRow::conc);
    out.Sum(total, "conc_avg", result.rows, &SulphurRow::mean);
    out.Number(total, "sum_csss", result.molConcTotal);
    out.Number(total, "Xsrsh", result.mercaptanSulphurTotal);
}

void WriteRows(const TableOut& out, const GasMethanolResult& result)
{
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const GasMethanolRow& r = result.rows[i];
        xmlNodePtr row = WriteMeasuredRow(out, i, r);
        out.Number(row, "Csss", r.massConc);
        out.Number(row, "Xsrsh", r.molConc);
    }
}

void WriteRows(const TableOut& out, const CondensateResult& result)
{
    // The condensate's own names for its concentrations, mean and divergence.
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const CondensateRow& r = result.rows[i];
        xmlNodePtr row = out.Row(i, r.name);
        out.Series(row, "K", r.conc);
        out.Number(row, "Kavr", r.mean);
        out.Number(row, "Rk", r.range);
        out.Number(row, "norm", r.norm);
        out.Number(row, "presision", r.uncertainty);
        out.Verdict(row, r.ok);
    }
    xmlNodePtr total = out.TotalsRow();
    out.SeriesSums(total, "conc", result.rows, &CondensateRow::conc);
    out.Sum(total, "conc_avg", result.rows, &CondensateRow::mean);
}

void WriteRows(const TableOut& out, const CondensateMethanolResult& result)
{
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const CondensateMethanolRow& r = result.rows[i];
        xmlNodePtr row = WriteMeasuredRow(out, i, r);
        out.Number(row, "Csss", r.massConc);
    }
}

template <typename Result>
void WriteTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, RowKind kind, const Result& result)
{
    const TableEntry* entry = EntryOf(which);
    if (!entry || entry->kind != kind || result.rows.empty())
        return;
    xmlNodePtr table = report.AddTableFrame(doc, which, entry->title);
    WriteRows(TableOut{doc, table, entry->count.Count(report.general()), report.Precision()}, result);
}

} // namespace

QString ResultTableTitle(ReportTable which)
{
    const TableEntry* entry = EntryOf(which);
    return entry ? entry->title : QString();
}

int ResultTableAnalysisCount(ReportTable which, const GeneralSettings& general)
{
    const TableEntry* entry = EntryOf(which);
    return entry ? entry->count.Count(general) : 0;
}

void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const CalibrationResult& result)
{
    WriteTable(doc, report, which, RowKind::Calibration, result);
}

void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const GasAnalysisResult& result)
{
    WriteTable(doc, report, which, RowKind::GasAnalysis, result);
}

void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const SulphurResult& result)
{
    WriteTable(doc, report, which, RowKind::Sulphur, result);
}

void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const GasMethanolResult& result)
{
    WriteTable(doc, report, which, RowKind::GasMethanol, result);
}

void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which, const CondensateResult& result)
{
    WriteTable(doc, report, which, RowKind::Condensate, result);
}

void WriteResultTable(XMLWrapper& doc, ReportDocument& report, ReportTable which,
                      const CondensateMethanolResult& result)
{
    WriteTable(doc, report, which, RowKind::CondensateMethanol, result);
}

// ---- the builders -----------------------------------------------------------
// Each reads its result as the last calculation left it; without calculation
// data there are no rows and no table.

void ReportDocument::BuildGsCalibrationTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GsCalibration, data->gs().calibrationResult);
}

void ReportDocument::BuildGsAnalysisTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GsAnalysis, data->GetGsAnalysisResult());
}

void ReportDocument::BuildGsSulphurTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GsSulphur, data->GetGsSulphurResult());
}

void ReportDocument::BuildGsMethanolTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GsMethanol, data->GetGsMethanolResult());
}

void ReportDocument::BuildGdCalibrationTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GdCalibration, data->gd().calibrationResult);
}

void ReportDocument::BuildGdAnalysisTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GdAnalysis, data->GetGdAnalysisResult());
}

void ReportDocument::BuildGdSulphurTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GdSulphur, data->GetGdSulphurResult());
}

void ReportDocument::BuildGdMethanolTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::GdMethanol, data->GetGdMethanolResult());
}

void ReportDocument::BuildDcC1C5Table(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::DcC1C5, data->GetDcC1C5Result());
}

void ReportDocument::BuildDcSulphurTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::DcSulphur, data->GetDcSulphurResult());
}

void ReportDocument::BuildDcMethanolTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::DcMethanol, data->GetDcMethanolResult());
}

void ReportDocument::BuildDcFractionsTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::DcFractions, data->GetDcC6C44FractionsResult());
}

void ReportDocument::BuildDcGroupsTable(XMLWrapper& doc)
{
    if (const CalcData* data = sources().calcData)
        WriteResultTable(doc, *this, ReportTable::DcGroups, data->GetDcC6C44GroupsResult());
}

