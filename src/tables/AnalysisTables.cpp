#include "tables/AnalysisTables.h"

namespace {

// A caption made from a format with the analysis number.
QString Numbered(const char* format, int i)
{
    return QString::asprintf(format, i);
}

const QString kOrdinal = QStringLiteral("№");
const QString kComponent = QStringLiteral("Компонент");
const QString kDivergence = QStringLiteral("Расхождение %");
const QString kNorm = QStringLiteral("Норматив %");
const QString kConformity = QStringLiteral("Соответствие?");
const QString kTotal = QStringLiteral("Всего:");
// Both methanol tables, of a gas and of the condensate, are in mg/dm3.
constexpr const char* kMethanolPerAnalysis = "Конц. %d, мг/дм3";
const QString kMethanolMean = QStringLiteral("Конц. ср., мг/дм3");
const QString kMethanolUncertainty = QStringLiteral("Погрешность мг/дм3");

ColumnChange Delete(int column)
{
    return {ColumnChange::Delete, column, QString(), kAutoWidth};
}

ColumnChange Insert(int column, const QString& caption, int width)
{
    return {ColumnChange::Insert, column, caption, width};
}

ColumnChange Resize(int column, int width)
{
    return {ColumnChange::Resize, column, QString(), width};
}

// The columns the sulphur compounds and the methanol share: number,
// component, one per analysis (a QString::asprintf format of its number),
// mean, divergence, norm, conformity and uncertainty; each kind adds its
// fractions.
std::vector<TableColumn> MeasuredColumns(int n, const char* perAnalysis, const QString& mean, int conformityWidth,
                                         const QString& uncertainty)
{
    std::vector<TableColumn> columns = {{kOrdinal, 30}, {kComponent, 100}};
    for (int i = 1; i <= n; ++i)
        columns.push_back({Numbered(perAnalysis, i), 95});
    columns.insert(columns.end(), {{mean, kAutoWidth},
                                   {kDivergence, kAutoWidth},
                                   {kNorm, kAutoWidth},
                                   {kConformity, conformityWidth},
                                   {uncertainty, kAutoWidth}});
    return columns;
}

// The cells the sulphur compounds and the methanol share, from the parallels
// to the uncertainty in columns 0 .. 6 + n; each kind adds its fractions.
template <typename Row>
RowCells MeasuredCells(const Row& r, std::size_t i, int n, std::size_t width, int precision)
{
    RowCells cells(width, precision);
    cells.Ordinal(0, i)
        .Text(1, r.name)
        .Series(2, r.conc, n)
        .Number(2 + n, r.mean)
        .Number(3 + n, r.range)
        .Number(4 + n, r.norm)
        .Verdict(5 + n, r.ok)
        .Number(6 + n, r.uncertainty);
    return cells;
}

// The summary row of a single series: the per-analysis sums of the parallels
// in columns 2 .. 1 + n and the sum of the means after them.
template <typename Row>
RowCells ConcTotalCells(const std::vector<Row>& rows, int n, std::size_t width, int precision)
{
    RowCells total(width, precision);
    total.Text(1, kTotal);
    const std::vector<TableSum> sums = SeriesSums(rows, &Row::conc, n);
    for (int k = 0; k < n; ++k)
        total.Number(2 + k, sums[static_cast<std::size_t>(k)].Value());
    total.Number(2 + n, ColumnSum(rows, &Row::mean).Value());
    return total;
}

} // namespace

// ---- calibration -------------------------------------------------------------

GasCalibrationTable::GasCalibrationTable(AnalysisCountRule count, Source source)
    : AnalysisTable(QStringLiteral("Калибровка"), count, source)
{
}

std::vector<TableColumn> GasCalibrationTable::InitialColumns(int n) const
{
    std::vector<TableColumn> columns = {{kOrdinal, 30}, {kComponent, 150}, {QStringLiteral("Конц. мол. %"), 80}};
    for (int i = 1; i <= n; ++i)
        columns.push_back({Numbered("К %d", i), 80});
    columns.insert(columns.end(), {{QStringLiteral("К ср."), 80},
                                   {QStringLiteral("Отн. размах. %"), 92},
                                   {kNorm, 80},
                                   {kConformity, 90}});
    return columns;
}

ResultTable::ColumnRule GasCalibrationTable::CountRule() const
{
    // The inserted run captions carry the Latin K.
    return {{Delete(7), Delete(6)}, {Insert(6, QStringLiteral("K 4"), 80), Insert(7, QStringLiteral("K 5"), 80)}, {}};
}

std::vector<TableRow> GasCalibrationTable::RowsOf(const CalibrationResult& result, int n, int precision) const
{
    const std::size_t width = InitialColumns(n).size();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const CalibrationRow& r = result.rows[i];
        rows.push_back(RowCells(width, precision)
                           .Ordinal(0, i)
                           .Text(1, r.name)
                           .Number(2, r.conc_mol)
                           .Series(3, r.K, n)
                           .Number(3 + n, r.Kavr)
                           .Number(4 + n, r.Rk)
                           .Number(5 + n, r.norm)
                           .Verdict(6 + n, r.ok)
                           .Take());
    }
    return rows;
}

// ---- gas analysis ------------------------------------------------------------

GasAnalysisTable::GasAnalysisTable(AnalysisCountRule count, Source source)
    : AnalysisTable(QStringLiteral("Анализ"), count, source)
{
}

std::vector<TableColumn> GasAnalysisTable::InitialColumns(int n) const
{
    std::vector<TableColumn> columns = {{kOrdinal, 30}, {kComponent, 100}};
    for (int i = 1; i <= n; ++i)
        columns.push_back({Numbered("Конц. %d, мол. ", i) + QStringLiteral("%"), 95});
    for (int i = 1; i <= n; ++i)
        columns.push_back({Numbered("Конц. норм. %d, мол. ", i) + QStringLiteral("%"), 125});
    columns.insert(columns.end(), {{QStringLiteral("Конц. скор. ср., мол.%"), kAutoWidth},
                                   {kDivergence, kAutoWidth},
                                   {kNorm, kAutoWidth},
                                   {QStringLiteral("Погрешность мол. %"), kAutoWidth},
                                   {kConformity, 90}});
    return columns;
}

ResultTable::ColumnRule GasAnalysisTable::CountRule() const
{
    return {{Delete(7), Delete(4)},
            {Insert(4, QStringLiteral("Конц. 3 мол. %"), 95), Insert(7, QStringLiteral("Конц. норм. 3 мол. %"), 125)},
            {}};
}

std::vector<TableRow> GasAnalysisTable::RowsOf(const GasAnalysisResult& result, int n, int precision) const
{
    const std::size_t width = InitialColumns(n).size();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const GasAnalysisRow& r = result.rows[i];
        rows.push_back(RowCells(width, precision)
                           .Ordinal(0, i)
                           .Text(1, r.name)
                           .Series(2, r.rawConc, n)
                           .Series(2 + n, r.normConc, n)
                           .Number(2 + 2 * n, r.mean)
                           .Number(3 + 2 * n, r.range)
                           .Number(4 + 2 * n, r.norm)
                           .Number(5 + 2 * n, r.uncertainty)
                           .Verdict(6 + 2 * n, r.ok)
                           .Take());
    }
    RowCells total(width, precision);
    total.Text(1, kTotal);
    const std::vector<TableSum> raw = SeriesSums(result.rows, &GasAnalysisRow::rawConc, n);
    const std::vector<TableSum> normalised = SeriesSums(result.rows, &GasAnalysisRow::normConc, n);
    for (int k = 0; k < n; ++k) {
        total.Number(2 + k, raw[static_cast<std::size_t>(k)].Value());
        total.Number(2 + n + k, normalised[static_cast<std::size_t>(k)].Value());
    }
    total.Number(2 + 2 * n, ColumnSum(result.rows, &GasAnalysisRow::mean).Value());
    rows.push_back(total.Take());
    return rows;
}

// ---- sulphur compounds -------------------------------------------------------

SulphurTable::SulphurTable(Kind kind, AnalysisCountRule count, Source source)
    : AnalysisTable(QStringLiteral("Серосодержащие"), count, source)
    , m_kind(kind)
{
}

std::vector<TableColumn> SulphurTable::InitialColumns(int n) const
{
    std::vector<TableColumn> columns =
        MeasuredColumns(n, "Конц. %d, масс %%", QStringLiteral("Конц. ср., масс %"), m_kind == Gas ? 90 : kAutoWidth,
                        QStringLiteral("Погрешность мас. %"));
    columns.insert(columns.end(), {{QStringLiteral("Конц., мол. %"), kAutoWidth},
                                   {QStringLiteral("Меркаптановая сера, мас. %"), kAutoWidth}});
    return columns;
}

ResultTable::ColumnRule SulphurTable::CountRule() const
{
    ColumnRule rule{{Delete(4)}, {Insert(4, QStringLiteral("Конц. 3, масс %"), 95)}, {}};
    if (m_kind == Condensate)
        rule.further = {Resize(1, 120)};
    return rule;
}

std::vector<TableRow> SulphurTable::RowsOf(const SulphurResult& result, int n, int precision) const
{
    const std::size_t width = InitialColumns(n).size();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const SulphurRow& r = result.rows[i];
        rows.push_back(MeasuredCells(r, i, n, width, precision)
                           .Number(7 + n, r.molConc)
                           .Number(8 + n, r.mercaptanSulphur)
                           .Take());
    }
    // The last two sums are the result's own totals, not sums of the rows.
    rows.push_back(ConcTotalCells(result.rows, n, width, precision)
                       .Number(7 + n, result.molConcTotal)
                       .Number(8 + n, result.mercaptanSulphurTotal)
                       .Take());
    return rows;
}

// ---- gas methanol ------------------------------------------------------------

GasMethanolTable::GasMethanolTable(AnalysisCountRule count, Source source)
    : AnalysisTable(QStringLiteral("Метанол"), count, source)
{
}

std::vector<TableColumn> GasMethanolTable::InitialColumns(int n) const
{
    std::vector<TableColumn> columns = MeasuredColumns(n, kMethanolPerAnalysis, kMethanolMean, 90, kMethanolUncertainty);
    columns.insert(columns.end(),
                   {{QStringLiteral("Конц., мас. %"), kAutoWidth}, {QStringLiteral("Конц., мол. %"), kAutoWidth}});
    return columns;
}

ResultTable::ColumnRule GasMethanolTable::CountRule() const
{
    return {{Delete(4)}, {Insert(4, QStringLiteral("Конц. 3, мг/дм3"), 95)}, {}};
}

std::vector<TableRow> GasMethanolTable::RowsOf(const GasMethanolResult& result, int n, int precision) const
{
    const std::size_t width = InitialColumns(n).size();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const GasMethanolRow& r = result.rows[i];
        rows.push_back(
            MeasuredCells(r, i, n, width, precision).Number(7 + n, r.massConc).Number(8 + n, r.molConc).Take());
    }
    return rows;
}

// ---- condensate compositions -------------------------------------------------

CondensateTable::CondensateTable(QString subTabCaption, int nameWidth, AnalysisCountRule count, Source source)
    : AnalysisTable(std::move(subTabCaption), count, source)
    , m_nameWidth(nameWidth)
{
}

std::vector<TableColumn> CondensateTable::InitialColumns(int n) const
{
    std::vector<TableColumn> columns = {{kOrdinal, 30}, {kComponent, m_nameWidth}};
    for (int i = 1; i <= n; ++i)
        columns.push_back({Numbered("Конц. %d, мас.", i) + QStringLiteral("%"), 90});
    columns.insert(columns.end(), {{QStringLiteral("Конц. ср., мас. %"), 105},
                                   {kDivergence, 95},
                                   {kNorm, 80},
                                   {QStringLiteral("Погрешность %"), 95},
                                   {kConformity, 90}});
    return columns;
}

ResultTable::ColumnRule CondensateTable::CountRule() const
{
    return {{Delete(4), Resize(1, 250)},
            {Insert(4, QStringLiteral("Конц. 3, мас.%"), 90), Resize(1, 120)},
            {Resize(kLastColumn, kAutoWidth)}};
}

std::vector<TableRow> CondensateTable::RowsOf(const CondensateResult& result, int n, int precision) const
{
    const std::size_t width = InitialColumns(n).size();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const CondensateRow& r = result.rows[i];
        rows.push_back(RowCells(width, precision)
                           .Ordinal(0, i)
                           .Text(1, r.name)
                           .Series(2, r.conc, n)
                           .Number(2 + n, r.mean)
                           .Number(3 + n, r.range)
                           .Number(4 + n, r.norm)
                           .Number(5 + n, r.uncertainty)
                           .Verdict(6 + n, r.ok)
                           .Take());
    }
    rows.push_back(ConcTotalCells(result.rows, n, width, precision).Take());
    return rows;
}

// ---- condensate methanol -----------------------------------------------------

CondensateMethanolTable::CondensateMethanolTable(AnalysisCountRule count, Source source)
    : AnalysisTable(QStringLiteral("Метанол"), count, source)
{
}

std::vector<TableColumn> CondensateMethanolTable::InitialColumns(int n) const
{
    std::vector<TableColumn> columns =
        MeasuredColumns(n, kMethanolPerAnalysis, kMethanolMean, kAutoWidth, kMethanolUncertainty);
    columns.push_back({QStringLiteral("Конц., мас. %"), kAutoWidth});
    return columns;
}

ResultTable::ColumnRule CondensateMethanolTable::CountRule() const
{
    return {{Delete(4)},
            {Insert(4, QStringLiteral("Конц. 3, мг/дм3"), 95)},
            {Resize(1, 120), Resize(kLastColumn, kAutoWidth)}};
}

std::vector<TableRow> CondensateMethanolTable::RowsOf(const CondensateMethanolResult& result, int n,
                                                      int precision) const
{
    const std::size_t width = InitialColumns(n).size();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const CondensateMethanolRow& r = result.rows[i];
        rows.push_back(MeasuredCells(r, i, n, width, precision).Number(7 + n, r.massConc).Take());
    }
    return rows;
}
