#include "report/ReportFormationGasTables.h"

#include "calc/CalcData.h"
#include "report/ReportDocument.h"

#include <cstddef>

namespace {

// One value column: the field, its element in a data row (named after the
// phase) and in a totals row (named after the field).
template <typename Item>
struct ValueColumn
{
    double Item::*field;
    const char* rowElement;
    const char* totalElement;
};

using Method1Column = ValueColumn<PgMethod1Item>;
using Method2Column = ValueColumn<PgMethod2Item>;

constexpr Method1Column kMethod1Columns[] = {
    {&PgMethod1Item::GsMol, "gs", "GsMol"},    {&PgMethod1Item::GsVol, "gs", "GsVol"},
    {&PgMethod1Item::GsMasF, "gs", "GsMasF"},  {&PgMethod1Item::GsMas, "gs", "GsMas"},
    {&PgMethod1Item::GdMol, "gd", "GdMol"},    {&PgMethod1Item::GdVol, "gd", "GdVol"},
    {&PgMethod1Item::GdMasF, "gd", "GdMasF"},  {&PgMethod1Item::GdMas, "gd", "GdMas"},
    {&PgMethod1Item::DcMol, "dc", "DcMol"},    {&PgMethod1Item::DcVol, "dc", "DcVol"},
    {&PgMethod1Item::DcMasF, "dc", "DcMasF"},  {&PgMethod1Item::DcMas, "dc", "DcMas"},
    {&PgMethod1Item::KgnMol, "kgn", "KgnMol"}, {&PgMethod1Item::KgnVol, "kgn", "KgnVol"},
    {&PgMethod1Item::KgnMasF, "kgn", "KgnMasF"}, {&PgMethod1Item::KgnMas, "kgn", "KgnMas"},
    {&PgMethod1Item::PgMol, "pg", "PgMol"},    {&PgMethod1Item::PgVol, "pg", "PgVol"},
    {&PgMethod1Item::PgMasF, "pg", "PgMasF"},  {&PgMethod1Item::PgGs, "pg", "PgGs"},
    {&PgMethod1Item::PgDry, "pg", "PgDry"},    {&PgMethod1Item::PgPg, "pg", "PgPg"},
};

// The totals over all components that the sulphur table closes with, column
// by column; a fraction column has none. The result stores the condensate
// mass before its volume; each still goes under its own column.
constexpr double PgSulphurResult::*kAllComponentTotals[] = {
    nullptr, &PgSulphurResult::sumGsVol,  nullptr, &PgSulphurResult::sumGsMas,
    nullptr, &PgSulphurResult::sumGdVol,  nullptr, &PgSulphurResult::sumGdMas,
    nullptr, &PgSulphurResult::sumDcVol,  nullptr, &PgSulphurResult::sumDcMas,
    nullptr, &PgSulphurResult::sumKgnVol, nullptr, &PgSulphurResult::sumKgnMas,
    nullptr, &PgSulphurResult::sumPgVol,  nullptr, &PgSulphurResult::sumPgGs,
    &PgSulphurResult::sumPgDry, &PgSulphurResult::sumPgPg,
};
static_assert(std::size(kAllComponentTotals) == std::size(kMethod1Columns));

constexpr Method2Column kMethod2Columns[] = {
    {&PgMethod2Item::GsMol, "gs", "GsMol"},    {&PgMethod2Item::GsMasF, "gs", "GsMasF"},
    {&PgMethod2Item::GsMas, "gs", "GsMas"},    {&PgMethod2Item::GdMol, "gd", "GdMol"},
    {&PgMethod2Item::GdMasF, "gd", "GdMasF"},  {&PgMethod2Item::GdMas, "gd", "GdMas"},
    {&PgMethod2Item::DcMol, "dc", "DcMol"},    {&PgMethod2Item::DcMasF, "dc", "DcMasF"},
    {&PgMethod2Item::DcMas, "dc", "DcMas"},    {&PgMethod2Item::KgnMol, "kgn", "KgnMol"},
    {&PgMethod2Item::KgnMasF, "kgn", "KgnMasF"}, {&PgMethod2Item::KgnMas, "kgn", "KgnMas"},
    {&PgMethod2Item::PgMol, "pg", "PgMol"},    {&PgMethod2Item::PgMasF, "pg", "PgMasF"},
    {&PgMethod2Item::PgGs, "pg", "PgGs"},
};

// The method-1 grid's captions 1 .. 19 head the value columns; the last three
// columns have captions of the report's own.
constexpr int kMethod1GridCaptions = 19;
constexpr int kMethod2GridCaptions = 15;

const QString kTotal = QStringLiteral("Всего:");

int ColumnCount(const ReportCaptionSource* captions, ReportTable which)
{
    return captions ? captions->GetColumnCount(which) : 0;
}

QString Caption(const ReportCaptionSource* captions, ReportTable which, int column)
{
    return captions ? captions->GetColumnText(which, column) : QString();
}

// A `column` of a header row: its spans (0 for none), then its label.
void AddHeadColumn(XMLWrapper& doc, xmlNodePtr row, int rspan, int cspan, const QString& label)
{
    xmlNodePtr column = doc.AddElement(row, "column");
    if (rspan > 0)
        doc.AddInt(column, "rspan", rspan);
    if (cspan > 0)
        doc.AddInt(column, "cspan", cspan);
    doc.AddText(column, "label", label);
}

// The row of group heads over the five phases.
void AddGroupHeads(XMLWrapper& doc, xmlNodePtr table, int componentRows, int groupColumns, int pgColumns)
{
    xmlNodePtr row = doc.AddElement(table, "header_row");
    AddHeadColumn(doc, row, componentRows, 0, QStringLiteral("Компоненты"));
    AddHeadColumn(doc, row, 0, groupColumns, QStringLiteral("Газ сепарации"));
    AddHeadColumn(doc, row, 0, groupColumns, QStringLiteral("Газ дегазации"));
    AddHeadColumn(doc, row, 0, groupColumns, QStringLiteral("Дегазированный конденсат"));
    AddHeadColumn(doc, row, 0, groupColumns, QStringLiteral("КГН"));
    AddHeadColumn(doc, row, 0, pgColumns, QStringLiteral("Пластовый газ"));
}

// The three header rows of the method-1 columns, over the grid's captions.
void AddMethod1Heads(XMLWrapper& doc, xmlNodePtr table, const ReportCaptionSource* captions, ReportTable which)
{
    AddGroupHeads(doc, table, 3, 4, 6);
    xmlNodePtr captionRow = doc.AddElement(table, "header_row");
    for (int i = 1; i <= kMethod1GridCaptions; ++i)
        AddHeadColumn(doc, captionRow, 2, 0, Caption(captions, which, i));
    AddHeadColumn(doc, captionRow, 0, 3, QStringLiteral("г/м3 газа"));
    xmlNodePtr massRow = doc.AddElement(table, "header_row");
    for (const QString& label : {QStringLiteral("ГС"), QStringLiteral("\"сухого\""), QStringLiteral("пластового")})
        AddHeadColumn(doc, massRow, 0, 0, label);
}

// A `calc_table` under the root with an optional font size and the title row.
xmlNodePtr AddTitledTable(XMLWrapper& doc, const char* fontSize, const QString& title,
                          const ReportCaptionSource* captions, ReportTable which)
{
    xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
    if (fontSize)
        doc.AddText(table, "font-size", QString::fromLatin1(fontSize));
    AddTitleRow(doc, table, title, ColumnCount(captions, which));
    return table;
}

// A row labelled with `name`, then one number per column, named for a data
// row or for a totals row.
template <typename Item, std::size_t N>
void AddValueRow(XMLWrapper& doc, xmlNodePtr table, const QString& name, const Item& item,
                 const ValueColumn<Item> (&columns)[N], bool totals, int precision)
{
    xmlNodePtr row = doc.AddElement(table, "fill_data");
    doc.AddText(row, "name", name);
    for (const ValueColumn<Item>& column : columns)
        doc.AddDouble(row, totals ? column.totalElement : column.rowElement, precision, item.*column.field);
}

template <typename Item, std::size_t N>
void AddItemRows(XMLWrapper& doc, xmlNodePtr table, const std::vector<Item>& rows,
                 const ValueColumn<Item> (&columns)[N], int precision)
{
    for (const Item& item : rows)
        AddValueRow(doc, table, item.name, item, columns, false, precision);
}

// Every column summed over the rows, from 0.0 in row order.
template <typename Item, std::size_t N>
Item ColumnSums(const std::vector<Item>& rows, const ValueColumn<Item> (&columns)[N])
{
    Item sums;
    for (const ValueColumn<Item>& column : columns) {
        double sum = 0.0;
        for (const Item& item : rows)
            sum += item.*column.field;
        sums.*column.field = sum;
    }
    return sums;
}

// The molar masses and densities of the phases, laid against the table's
// columns: `group` columns for each gas and the unstable condensate, `pg`
// for the formation gas, the condensate's split into `dcLeft` and `dcRight`.
struct PhaseLayout
{
    int group;
    int pg;
    int dcLeft;
    int dcRight;
};

struct PhaseConstants
{
    double gsMolarMass, gdMolarMass, dcMolarMass, c12MolarMass, pgMolarMass;
    double gsDensity, gdDensity, pgDensity;
};

xmlNodePtr AddCell(XMLWrapper& doc, xmlNodePtr row, int rspan, int cspan)
{
    xmlNodePtr cell = doc.AddElement(row, "cell");
    if (rspan > 0)
        doc.AddInt(cell, "rspan", rspan);
    if (cspan > 0)
        doc.AddInt(cell, "cspan", cspan);
    return cell;
}

void AddPhaseRows(XMLWrapper& doc, xmlNodePtr table, const PhaseLayout& span, const PhaseConstants& value,
                  int precision)
{
    // Two lines: the condensate's labels over its values, every other cell
    // spanning both.
    xmlNodePtr first = doc.AddElement(table, "custom_row");
    doc.AddText(AddCell(doc, first, 2, 0), "data-left", QStringLiteral("Мол. масса, г/моль"));
    doc.AddDouble(AddCell(doc, first, 2, span.group), "data", precision, value.gsMolarMass);
    doc.AddDouble(AddCell(doc, first, 2, span.group), "data", precision, value.gdMolarMass);
    doc.AddText(AddCell(doc, first, 0, span.dcLeft), "data", QStringLiteral("Мдк"));
    doc.AddText(AddCell(doc, first, 0, span.dcRight), "data", QStringLiteral("Мс12+в"));
    AddCell(doc, first, 2, span.group);
    doc.AddDouble(AddCell(doc, first, 2, span.pg), "data", precision, value.pgMolarMass);

    xmlNodePtr second = doc.AddElement(table, "custom_row");
    doc.AddDouble(AddCell(doc, second, 0, span.dcLeft), "data", precision, value.dcMolarMass);
    doc.AddDouble(AddCell(doc, second, 0, span.dcRight), "data", precision, value.c12MolarMass);

    // Each density under its own phase; the condensates have none.
    xmlNodePtr density = doc.AddElement(table, "custom_row");
    doc.AddText(AddCell(doc, density, 0, 0), "data-left", QStringLiteral("Плотность, кг/м3"));
    doc.AddDouble(AddCell(doc, density, 0, span.group), "data", precision, value.gsDensity);
    doc.AddDouble(AddCell(doc, density, 0, span.group), "data", precision, value.gdDensity);
    AddCell(doc, density, 0, span.group);
    AddCell(doc, density, 0, span.group);
    doc.AddDouble(AddCell(doc, density, 0, span.pg), "data", precision, value.pgDensity);
}

} // namespace

void WritePgMethod1Table(XMLWrapper& doc, const CalcPgMethod1Result& result, const ReportCaptionSource* captions,
                         int precision)
{
    if (result.rows.empty())
        return;
    const ReportTable which = ReportTable::PgMethod1;
    xmlNodePtr table = AddTitledTable(doc, "9pt", QStringLiteral("Пластовый газ - Способ 1"), captions, which);
    AddMethod1Heads(doc, table, captions, which);
    AddItemRows(doc, table, result.rows, kMethod1Columns, precision);
    AddValueRow(doc, table, kTotal, ColumnSums(result.rows, kMethod1Columns), kMethod1Columns, true, precision);
    // "C" and "H" are Latin, "В" Cyrillic.
    AddValueRow(doc, table, QStringLiteral("C5H12+В:"), result.c5PlusTotal, kMethod1Columns, true, precision);
    AddPhaseRows(doc, table, {4, 6, 2, 2},
                 {result.gsMolarMass, result.gdMolarMass, result.dcMolarMass, result.c12PlusMolarMass,
                  result.pgMolarMass, result.gsDensity, result.gdDensity, result.pgDensity},
                 precision);
}

void WritePgSulphurTable(XMLWrapper& doc, const PgSulphurResult& result, const ReportCaptionSource* captions,
                         int precision)
{
    const CalcResult<PgMethod1Item> compounds = CopyPgSulphurRows(result);
    if (compounds.rows.empty())
        return;
    const ReportTable which = ReportTable::PgSulphur;
    // The first letter of "Cеросодержащие" is the Latin C.
    xmlNodePtr table =
        AddTitledTable(doc, nullptr, QStringLiteral("Пластовый газ - Cеросодержащие соединения"), captions, which);
    AddMethod1Heads(doc, table, captions, which);
    AddItemRows(doc, table, compounds.rows, kMethod1Columns, precision);
    AddValueRow(doc, table, QStringLiteral("Всего ССС:"), ColumnSums(compounds.rows, kMethod1Columns),
                kMethod1Columns, true, precision);

    // The stored totals over every component of the formation gas; a
    // fraction does not add up across components, so its cell stays empty.
    xmlNodePtr all = doc.AddElement(table, "fill_data");
    doc.AddText(all, "name", kTotal);
    for (std::size_t i = 0; i < std::size(kMethod1Columns); ++i) {
        if (kAllComponentTotals[i])
            doc.AddDouble(all, kMethod1Columns[i].totalElement, precision, result.*kAllComponentTotals[i]);
        else
            doc.AddText(all, "empty", QString());
    }
}

void WritePgMethod2Table(XMLWrapper& doc, const CalcPgMethod2Result& result, const ReportCaptionSource* captions,
                         int precision)
{
    if (result.rows.empty())
        return;
    const ReportTable which = ReportTable::PgMethod2;
    xmlNodePtr table = AddTitledTable(doc, "10pt", QStringLiteral("Пластовый газ - Способ 2"), captions, which);
    AddGroupHeads(doc, table, 2, 3, 3);
    // The component column's head is the two-row "Компоненты" above.
    xmlNodePtr captionRow = doc.AddElement(table, "header_row");
    for (int i = 1; i <= kMethod2GridCaptions; ++i)
        AddHeadColumn(doc, captionRow, 0, 0, Caption(captions, which, i));
    AddItemRows(doc, table, result.rows, kMethod2Columns, precision);
    AddValueRow(doc, table, kTotal, ColumnSums(result.rows, kMethod2Columns), kMethod2Columns, true, precision);
    AddPhaseRows(doc, table, {3, 3, 1, 2},
                 {result.gsMolarMass, result.gdMolarMass, result.dcMolarMass, result.c12PlusMolarMass,
                  result.pgMolarMass, result.gsDensity, result.gdDensity, result.pgDensity},
                 precision);
}

void WritePgCompositionTable(XMLWrapper& doc, ReportTable which, const CompFractResult& result,
                             const ReportCaptionSource* captions, int precision)
{
    if (result.rows.empty())
        return;
    const QString title = which == ReportTable::PgCompositionMethod1
                              ? QStringLiteral("Пластовый газ - Компонентно-фракционный состав: Способ 1")
                              : QStringLiteral("Пластовый газ - Компонентно-фракционный состав: Способ 2");
    xmlNodePtr table = AddTitledTable(doc, nullptr, title, captions, which);
    AddGridCaptionRow(doc, table, captions, which);
    for (const CompFractRecord& record : result.rows) {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddText(row, "name", record.name);
        doc.AddDouble(row, "DC", precision, record.dc);
        doc.AddDouble(row, "KGN", precision, record.kgn);
        doc.AddDouble(row, "PG", precision, record.pg);
    }
}

void ReportDocument::BuildPgMethod1Table(XMLWrapper& doc)
{
    if (sources().calcData)
        WritePgMethod1Table(doc, sources().calcData->GetPgMethod1Result(), sources().captions, Precision());
}

void ReportDocument::BuildPgSulphurTable(XMLWrapper& doc)
{
    // The summary has no getter; it is read in place.
    if (sources().calcData)
        WritePgSulphurTable(doc, sources().calcData->pg().sulphurSummary, sources().captions, Precision());
}

void ReportDocument::BuildPgMethod2Table(XMLWrapper& doc)
{
    if (sources().calcData)
        WritePgMethod2Table(doc, sources().calcData->GetPgMethod2Result(), sources().captions, Precision());
}

void ReportDocument::BuildPgCompositionMethod1Table(XMLWrapper& doc)
{
    if (sources().calcData)
        WritePgCompositionTable(doc, ReportTable::PgCompositionMethod1, sources().calcData->GetPgCompFract1Result(),
                                sources().captions, Precision());
}

void ReportDocument::BuildPgCompositionMethod2Table(XMLWrapper& doc)
{
    if (sources().calcData)
        WritePgCompositionTable(doc, ReportTable::PgCompositionMethod2, sources().calcData->GetPgCompFract2Result(),
                                sources().captions, Precision());
}
