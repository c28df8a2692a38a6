#include "tables/FormationGasTables.h"

#include <array>

namespace {

const QString kTotal = QStringLiteral("Всего:");
const QString kMolarMass = QStringLiteral("Мол. масса, г/моль");
const QString kDensity = QStringLiteral("Плотность, кг/м3");
const QString kDcMolarMass = QStringLiteral("Мдк:");
const QString kC12MolarMass = QStringLiteral("Мс12+в:");

// Column 0 holds the components at 110 pixels; every other column is as
// wide as its caption.
std::vector<TableColumn> NamedColumns(std::initializer_list<const char*> captions)
{
    std::vector<TableColumn> columns = {{QStringLiteral("Компоненты"), 110}};
    for (const char* caption : captions)
        columns.push_back({QString::fromUtf8(caption), kAutoWidth});
    return columns;
}

const std::vector<TableColumn>& Method1Columns()
{
    // "Ci", "Vi", "Xi" and "mi" are Latin; the phase suffix is Cyrillic.
    static const std::vector<TableColumn> columns = NamedColumns({
        "Ciгс, мол. доля %",  "Viгс, дм3/м3 ГС",  "Xiгс, масс. доля %",  "miгс, г/м3 ГС",
        "Ciгд, мол. доля %",  "Viгд, дм3/м3 ГС",  "Xiгд, масс. доля %",  "miгд, г/м3 ГС",
        "Ciдк, мол. доля %",  "Viдк, дм3/м3 ГС",  "Xiдк, масс. доля %",  "miдк, г/м3 ГС",
        "Ciкгн, мол. доля %", "Viкгн, дм3/м3 ГС", "Xiкгн, масс. доля %", "miкгн, г/м3 ГС",
        "Ciпг, мол. доля %",  "Viпг, дм3/м3 ГС",  "Xiпг, масс. доля %",  "ГС газа, г/м3",
        "\"сухого\" газа, г/м3", "Пластового газа, г/м3",
    });
    return columns;
}

template <typename Item, std::size_t N>
RowCells& ItemValues(RowCells& cells, const Item& item, const std::array<double Item::*, N>& fields)
{
    for (std::size_t j = 0; j < N; ++j)
        cells.Number(static_cast<int>(j) + 1, item.*fields[j]);
    return cells;
}

template <typename Item, std::size_t N>
std::vector<TableRow> ItemRows(const std::vector<Item>& items, const std::array<double Item::*, N>& fields,
                               std::size_t width, int precision)
{
    std::vector<TableRow> rows;
    for (const Item& item : items) {
        RowCells cells(width, precision);
        cells.Text(0, item.name);
        rows.push_back(ItemValues(cells, item, fields).Take());
    }
    return rows;
}

// A row labelled in column 0 with the sum of every value column over the items.
template <typename Item, std::size_t N>
TableRow SumRow(const QString& label, const std::vector<Item>& items, const std::array<double Item::*, N>& fields,
                std::size_t width, int precision)
{
    RowCells cells(width, precision);
    cells.Text(0, label);
    for (std::size_t j = 0; j < N; ++j)
        cells.Number(static_cast<int>(j) + 1, ColumnSum(items, fields[j]).Value());
    return cells.Take();
}

// Where the closing rows put the phases' molar masses and densities: each
// gas's at its first column, the condensate's two labelled values from `dc`
// on, the formation gas's at `pg`.
struct PhaseColumns
{
    int gs;
    int gd;
    int dc;
    int pg;
};

constexpr PhaseColumns kMethod1Phases = {1, 5, 9, 17};
constexpr PhaseColumns kMethod2Phases = {1, 4, 7, 13};

template <typename Result>
RowCells MolarMassCells(const Result& result, PhaseColumns at, std::size_t width, int precision)
{
    RowCells cells(width, precision);
    cells.Text(0, kMolarMass)
        .Number(at.gs, result.gsMolarMass)
        .Number(at.gd, result.gdMolarMass)
        .Text(at.dc, kDcMolarMass)
        .Number(at.dc + 1, result.dcMolarMass)
        .Text(at.dc + 2, kC12MolarMass)
        .Number(at.dc + 3, result.c12PlusMolarMass)
        .Number(at.pg, result.pgMolarMass);
    return cells;
}

template <typename Result>
TableRow DensityRow(const Result& result, PhaseColumns at, std::size_t width, int precision)
{
    return RowCells(width, precision)
        .Text(0, kDensity)
        .Number(at.gs, result.gsDensity)
        .Number(at.gd, result.gdDensity)
        .Number(at.pg, result.pgDensity)
        .Take();
}

} // namespace

// ---- method 1 ----------------------------------------------------------------

PgMethod1Table::PgMethod1Table(Source source)
    : ResultTableOf(QStringLiteral("Способ 1"), source)
{
}

std::vector<TableColumn> PgMethod1Table::InitialColumns(int) const
{
    return Method1Columns();
}

std::vector<TableRow> PgMethod1Table::RowsOf(const CalcPgMethod1Result& result, int, int precision) const
{
    const std::size_t width = Method1Columns().size();
    std::vector<TableRow> rows = ItemRows(result.rows, kPgMethod1Values, width, precision);
    rows.push_back(SumRow(kTotal, result.rows, kPgMethod1Values, width, precision));

    RowCells c5Plus(width, precision);
    c5Plus.Text(0, QStringLiteral("C5H12+B:"));  // Latin letters throughout
    rows.push_back(ItemValues(c5Plus, result.c5PlusTotal, kPgMethod1Values).Take());

    rows.push_back(TableRow(width));
    rows.push_back(MolarMassCells(result, kMethod1Phases, width, precision).Take());
    rows.push_back(DensityRow(result, kMethod1Phases, width, precision));
    return rows;
}

// ---- sulphur compounds -------------------------------------------------------

PgSulphurTable::PgSulphurTable(Source source)
    : ResultTableOf(QStringLiteral("Серосодержащие"), source)
{
}

std::vector<TableColumn> PgSulphurTable::InitialColumns(int) const
{
    return Method1Columns();
}

std::vector<TableRow> PgSulphurTable::RowsOf(const PgSulphurResult& result, int, int precision) const
{
    const std::size_t width = Method1Columns().size();
    std::vector<TableRow> rows = ItemRows(result.rows, kPgMethod1Values, width, precision);
    // "CCC" in Latin letters.
    rows.push_back(SumRow(QStringLiteral("Всего CCC:"), result.rows, kPgMethod1Values, width, precision));
    // The totals of the whole method-1 result; the fraction columns stay empty.
    rows.push_back(RowCells(width, precision)
                       .Text(0, kTotal)
                       .Number(2, result.sumGsVol)
                       .Number(4, result.sumGsMas)
                       .Number(6, result.sumGdVol)
                       .Number(8, result.sumGdMas)
                       .Number(10, result.sumDcVol)
                       .Number(12, result.sumDcMas)
                       .Number(14, result.sumKgnVol)
                       .Number(16, result.sumKgnMas)
                       .Number(18, result.sumPgVol)
                       .Number(20, result.sumPgGs)
                       .Number(21, result.sumPgDry)
                       .Number(22, result.sumPgPg)
                       .Take());
    return rows;
}

// ---- method 2 ----------------------------------------------------------------

PgMethod2Table::PgMethod2Table(Source source)
    : ResultTableOf(QStringLiteral("Способ 2"), source)
{
}

std::vector<TableColumn> PgMethod2Table::InitialColumns(int) const
{
    return NamedColumns({
        "Ciгс, мол. доля %",  "Xiгс, масс. доля %",  "miгс, г/м3 ГС",
        "Ciгд, мол. доля %",  "Xiгд, масс. доля %",  "miгд, г/м3 ГС",
        "Ciдк, мол. доля %",  "Xiдк, масс. доля %",  "miдк, г/м3 ГС",
        "Ciкгн, мол. доля %", "Xiкгн, масс. доля %", "miкгн, г/м3 ГС",
        "Ciпг, мол. доля %",  "Xiпг, масс. доля %",  "miкпг, г/м3 ГС",
    });
}

std::vector<TableRow> PgMethod2Table::RowsOf(const CalcPgMethod2Result& result, int, int precision) const
{
    const std::size_t width = kPgMethod2Values.size() + 1;
    std::vector<TableRow> rows = ItemRows(result.rows, kPgMethod2Values, width, precision);
    rows.push_back(SumRow(kTotal, result.rows, kPgMethod2Values, width, precision));
    rows.push_back(TableRow(width));
    // Method 2 shows the unstable condensate's molar mass as well.
    rows.push_back(MolarMassCells(result, kMethod2Phases, width, precision).Number(11, result.kgnMolarMass).Take());
    rows.push_back(DensityRow(result, kMethod2Phases, width, precision));
    return rows;
}

// ---- component-fraction compositions -----------------------------------------

CompFractTable::CompFractTable(QString subTabCaption, Source source)
    : ResultTableOf(std::move(subTabCaption), source)
{
}

std::vector<TableColumn> CompFractTable::InitialColumns(int) const
{
    // "Дегазированый" is spelled so.
    return {{QStringLiteral("Компоненты, фракция (°C)"), 150},
            {QStringLiteral("Дегазированый конденсат"), 150},
            {QStringLiteral("КГН"), 150},
            {QStringLiteral("Пластовый газ"), 150}};
}

std::vector<TableRow> CompFractTable::RowsOf(const CompFractResult& result, int, int precision) const
{
    std::vector<TableRow> rows;
    for (const CompFractRecord& record : result.rows) {
        rows.push_back(
            RowCells(4, precision).Text(0, record.name).Number(1, record.dc).Number(2, record.kgn).Number(3, record.pg).Take());
    }
    return rows;
}
