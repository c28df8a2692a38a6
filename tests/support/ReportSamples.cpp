#include "support/ReportSamples.h"

#include "report/ReportDocument.h"
#include "report/XMLWrapper.h"

#include <cfloat>

namespace testsupport {

namespace {

const char* const kGroups[] = {"гс", "гд", "дк", "кгн", "пг"};
const char* const kGroupElements[] = {"gs", "gd", "dc", "kgn", "pg"};
const char* const kGroupHeads[] = {"Газ сепарации", "Газ дегазации", "Дегазированный конденсат", "КГН",
                                   "Пластовый газ"};
const char* const kFields[] = {"GsMol", "GsVol", "GsMasF", "GsMas", "GdMol", "GdVol", "GdMasF", "GdMas",
                               "DcMol", "DcVol", "DcMasF", "DcMas", "KgnMol", "KgnVol", "KgnMasF", "KgnMas",
                               "PgMol", "PgVol", "PgMasF", "PgGs", "PgDry", "PgPg"};

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

void header(XMLWrapper& doc, const QString& title)
{
    doc.AddText(nullptr, "name", title);
    doc.AddText(nullptr, "station", u("Скв. 12, УКПГ-3"));
    doc.AddText(nullptr, "num_device", u("ХГ-1000 №5"));
    doc.AddText(nullptr, "operator", u("Петров П. П."));
}

void files(XMLWrapper& doc, int count)
{
    xmlNodePtr list = doc.AddElement(nullptr, "files");
    for (int i = 1; i <= count; ++i) {
        xmlNodePtr row = doc.AddElement(list, "fill_data");
        doc.AddInt(row, "name", i);
        doc.AddText(row, "name", i == 1 ? u("<b>&x</b>") : u("ГС-%1").arg(i));
        doc.AddText(row, "analyse_time", u("05.03.24  09:%1").arg(10 + i % 50));
        doc.AddText(row, "name", u("ГС Анализ %1").arg(1 + (i - 1) % 3));
    }
}

void mixtures(XMLWrapper& doc)
{
    xmlNodePtr list = doc.AddElement(nullptr, "mixtures");
    xmlNodePtr row = doc.AddElement(list, "fill_data");
    doc.AddInt(row, "name", 1);
    doc.AddText(row, "name", u("ПГС-ГС 2024"));
    doc.AddText(row, "num_balloon", u("Бал 1"));
    doc.AddText(row, "date_created", u("01.02.24  10:00"));
    doc.AddText(row, "type", u("ГС"));
}

void messages(XMLWrapper& doc)
{
    xmlNodePtr head = doc.AddElement(nullptr, "msg_head");
    for (const char* line : {"Ошибки!", "1. ГС Анализ: В расчете есть ошибки.", "Предупреждения!",
                             "2. ГД Анализ: Пик 'Гелий' не использован в расчете.",
                             "3. ГД Анализ: Концентрация вне диапазона."}) {
        xmlNodePtr entry = doc.AddElement(head, "table_msg");
        doc.AddText(entry, "msg_str", u(line));
    }
}

void captions(XMLWrapper& doc, xmlNodePtr table, const QStringList& labels)
{
    xmlNodePtr row = doc.AddElement(table, "header_row");
    for (const QString& label : labels)
        doc.AddText(doc.AddElement(row, "column"), "label", label);
}

// A gas-analysis table of n analyses, as the per-analysis tables stand.
void gasAnalysisTable(XMLWrapper& doc, const QString& title, int rows, int n)
{
    xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
    QStringList labels{u("№"), u("Компонент")};
    for (int i = 1; i <= n; ++i)
        labels << u("Конц. %1, мол. %").arg(i);
    for (int i = 1; i <= n; ++i)
        labels << u("Норм. %1, мол. %").arg(i);
    labels << u("Среднее, мол. %") << u("Расхождение, %") << u("Норматив, %") << u("Погрешность, мол. %")
           << u("Соответствие?");
    AddTitleRow(doc, table, title, static_cast<int>(labels.size()));
    captions(doc, table, labels);
    std::vector<double> sums(static_cast<std::size_t>(2 * n + 1), 0.0);
    for (int r = 0; r < rows; ++r) {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddInt(row, "name", r + 1);
        doc.AddText(row, "name", r % 3 == 0 ? u("Метан") : r % 3 == 1 ? u("Этан") : u("Пропан"));
        const double base = 90.0 / (r + 1);
        std::vector<double> conc, norm;
        for (int i = 0; i < n; ++i) {
            conc.push_back(base + 0.01 * i);
            norm.push_back(base * 1.001 + 0.01 * i);
        }
        // The last analysis of the second row is missing, as in a short series.
        if (r == 1)
            conc.pop_back();
        AddAnalysisValues(doc, row, "conc", conc, n, 3);
        AddAnalysisValues(doc, row, "conc_norm", norm, n, 3);
        doc.AddDouble(row, "conc_avg", 3, base);
        doc.AddDouble(row, "check", 3, r == 2 ? -DBL_MAX : 0.25 * r);
        doc.AddDouble(row, "norm", 3, 1.5);
        doc.AddDouble(row, "presision", 3, 0.0);
        doc.AddText(row, "ok", r == 1 ? u("Нет") : u("Да"));
        for (int i = 0; i < n; ++i) {
            sums[static_cast<std::size_t>(i)] += i < static_cast<int>(conc.size()) ? conc[static_cast<std::size_t>(i)] : 0.0;
            sums[static_cast<std::size_t>(n + i)] += norm[static_cast<std::size_t>(i)];
        }
        sums.back() += base;
    }
    xmlNodePtr total = doc.AddElement(table, "fill_data");
    doc.AddText(total, "name", QString());
    doc.AddText(total, "name", u("Всего:"));
    for (int i = 0; i < n; ++i)
        doc.AddDouble(total, "conc", 3, sums[static_cast<std::size_t>(i)]);
    for (int i = 0; i < n; ++i)
        doc.AddDouble(total, "conc_norm", 3, sums[static_cast<std::size_t>(n + i)]);
    doc.AddDouble(total, "conc_avg", 3, sums.back());
}

void sulphurTable(XMLWrapper& doc)
{
    xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
    AddTitleRow(doc, table, u("Газ сепарации - Cеросодержащие соединения"), 12);
    captions(doc, table, {u("№"), u("Компонент"), u("Конц. 1"), u("Конц. 2"), u("Конц. 3"), u("Среднее"),
                          u("Расхождение, %"), u("Норматив, %"), u("Соответствие?"), u("Погрешность"),
                          u("Конц., мол. %"), u("Меркапт. сера")});
    const char* names[] = {"Сероводород", "Метилмеркаптан"};
    for (int r = 0; r < 2; ++r) {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddInt(row, "name", r + 1);
        doc.AddText(row, "name", u(names[r]));
        AddAnalysisValues(doc, row, "conc", {0.0012 + r, 0.0013 + r, 0.0011 + r}, 3, 4);
        doc.AddDouble(row, "conc_avg", 4, 0.0012 + r);
        doc.AddDouble(row, "check", 4, 16.6667);
        doc.AddDouble(row, "norm", 4, 20.0);
        doc.AddText(row, "ok", u("Да"));
        doc.AddDouble(row, "presision", 4, 0.0002);
        doc.AddDouble(row, "Csss", 4, 0.0008 + r);
        doc.AddDouble(row, "Xsrsh", 4, r == 0 ? 0.0 : 0.6);
    }
    xmlNodePtr total = doc.AddElement(table, "fill_data");
    doc.AddText(total, "name", QString());
    doc.AddText(total, "name", u("Всего:"));
    AddAnalysisValues(doc, total, "conc", {1.0036, 1.0039, 1.0033}, 3, 4);
    doc.AddDouble(total, "conc_avg", 4, 1.0036);
    doc.AddDouble(total, "sum_csss", 4, 1.0016);
    doc.AddDouble(total, "Xsrsh", 4, 0.6);
}

void condensateTable(XMLWrapper& doc)
{
    xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
    AddTitleRow(doc, table, u("Дегазированный конденсат -  С1-С5"), 9);
    captions(doc, table, {u("№"), u("Компонент"), u("Конц. 1, масс. %"), u("Конц. 2, масс. %"),
                          u("Среднее, масс. %"), u("Расхождение, %"), u("Норматив, %"), u("Погрешность, %"),
                          u("Соответствие?")});
    const char* names[] = {"Этан", "Пропан", "и-Бутан"};
    for (int r = 0; r < 3; ++r) {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddInt(row, "name", r + 1);
        doc.AddText(row, "name", u(names[r]));
        AddAnalysisValues(doc, row, "K", {0.5 + r, 0.52 + r}, 2, 3);
        doc.AddDouble(row, "Kavr", 3, 0.51 + r);
        doc.AddDouble(row, "Rk", 3, 3.9);
        doc.AddDouble(row, "norm", 3, 10.0);
        doc.AddDouble(row, "presision", 3, 0.05);
        doc.AddText(row, "ok", u("Да"));
    }
    xmlNodePtr total = doc.AddElement(table, "fill_data");
    doc.AddText(total, "name", QString());
    doc.AddText(total, "name", u("Всего:"));
    AddAnalysisValues(doc, total, "conc", {4.5, 4.56}, 2, 3);
    doc.AddDouble(total, "conc_avg", 3, 4.53);
}

xmlNodePtr cell(XMLWrapper& doc, xmlNodePtr row, int rspan, int cspan)
{
    xmlNodePtr c = doc.AddElement(row, "cell");
    if (rspan > 0)
        doc.AddInt(c, "rspan", rspan);
    if (cspan > 0)
        doc.AddInt(c, "cspan", cspan);
    return c;
}

// The formation-gas table by method 1: three header rows with spans, 22
// values a row, totals, the C5+ row and the molar-mass and density rows.
void formationGasTable(XMLWrapper& doc, bool sulphur)
{
    xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
    if (!sulphur)
        doc.AddText(table, "font-size", u("9pt"));
    AddTitleRow(doc, table, sulphur ? u("Пластовый газ - Cеросодержащие соединения") : u("Пластовый газ - Способ 1"),
                23);
    xmlNodePtr head1 = doc.AddElement(table, "header_row");
    xmlNodePtr first = doc.AddElement(head1, "column");
    doc.AddInt(first, "rspan", 3);
    doc.AddText(first, "label", u("Компоненты"));
    for (int g = 0; g < 5; ++g) {
        xmlNodePtr column = doc.AddElement(head1, "column");
        doc.AddInt(column, "cspan", g == 4 ? 6 : 4);
        doc.AddText(column, "label", u(kGroupHeads[g]));
    }
    xmlNodePtr head2 = doc.AddElement(table, "header_row");
    for (int i = 0; i < 19; ++i) {
        const int g = i / 4;
        const char* kinds[] = {"Ci%1, мол. доля %", "Vi%1, дм3/м3 ГС", "Xi%1, масс. доля %", "mi%1, г/м3 ГС"};
        xmlNodePtr column = doc.AddElement(head2, "column");
        doc.AddInt(column, "rspan", 2);
        doc.AddText(column, "label", u(kinds[i % 4]).arg(u(kGroups[g])));
    }
    xmlNodePtr mass = doc.AddElement(head2, "column");
    doc.AddInt(mass, "cspan", 3);
    doc.AddText(mass, "label", u("г/м3 газа"));
    xmlNodePtr head3 = doc.AddElement(table, "header_row");
    for (const char* label : {"ГС", "\"сухого\"", "пластового"})
        doc.AddText(doc.AddElement(head3, "column"), "label", u(label));

    const char* names[] = {"Метан", "Этан"};
    for (int r = 0; r < 2; ++r) {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddText(row, "name", u(names[r]));
        for (int i = 0; i < 22; ++i) {
            const int g = i < 16 ? i / 4 : 4;
            doc.AddDouble(row, kGroupElements[g], 3, (r + 1) * 10.0 + i * 0.125);
        }
    }
    xmlNodePtr total = doc.AddElement(table, "fill_data");
    doc.AddText(total, "name", sulphur ? u("Всего ССС:") : u("Всего:"));
    for (int i = 0; i < 22; ++i)
        doc.AddDouble(total, kFields[i], 3, 30.0 + i * 0.25);
    if (sulphur) {
        xmlNodePtr all = doc.AddElement(table, "fill_data");
        doc.AddText(all, "name", u("Всего:"));
        for (int i = 0; i < 22; ++i) {
            const bool fraction = i < 19 && (i % 4 == 0 || i % 4 == 2);
            if (fraction)
                doc.AddText(all, "empty", QString());
            else
                doc.AddDouble(all, kFields[i], 3, 1000.0 + i);
        }
        return;
    }
    xmlNodePtr c5 = doc.AddElement(table, "fill_data");
    doc.AddText(c5, "name", u("C5H12+\u0412:"));
    for (int i = 0; i < 22; ++i)
        doc.AddDouble(c5, kFields[i], 3, 0.0);

    xmlNodePtr row1 = doc.AddElement(table, "custom_row");
    doc.AddText(cell(doc, row1, 2, 0), "data-left", u("Мол. масса, г/моль"));
    doc.AddDouble(cell(doc, row1, 2, 4), "data", 3, 19.125);
    doc.AddDouble(cell(doc, row1, 2, 4), "data", 3, 38.5);
    doc.AddText(cell(doc, row1, 0, 2), "data", u("Мдк"));
    doc.AddText(cell(doc, row1, 0, 2), "data", u("Мс12+в"));
    cell(doc, row1, 2, 4);
    doc.AddDouble(cell(doc, row1, 2, 6), "data", 3, 24.75);
    xmlNodePtr row2 = doc.AddElement(table, "custom_row");
    doc.AddDouble(cell(doc, row2, 0, 2), "data", 3, 112.0);
    doc.AddDouble(cell(doc, row2, 0, 2), "data", 3, -DBL_MAX);
    xmlNodePtr row3 = doc.AddElement(table, "custom_row");
    doc.AddText(cell(doc, row3, 0, 0), "data-left", u("Плотность, кг/м3"));
    doc.AddDouble(cell(doc, row3, 0, 4), "data", 3, 0.796);
    doc.AddDouble(cell(doc, row3, 0, 4), "data", 3, 1.6);
    cell(doc, row3, 0, 4);
    cell(doc, row3, 0, 4);
    doc.AddDouble(cell(doc, row3, 0, 6), "data", 3, 1.03);
}

void compositionTable(XMLWrapper& doc)
{
    xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
    AddTitleRow(doc, table, u("Пластовый газ - Компонентно-фракционный состав: Способ 1"), 4);
    captions(doc, table, {u("Компоненты, фракция (°C)"), u("Дегазированый конденсат"), u("КГН"), u("Пластовый газ")});
    const char* names[] = {"Метан", "28 - 60", "60 - 96"};
    for (int r = 0; r < 3; ++r) {
        xmlNodePtr row = doc.AddElement(table, "fill_data");
        doc.AddText(row, "name", u(names[r]));
        doc.AddDouble(row, "DC", 3, r == 0 ? 0.0 : 12.3456 * r);
        doc.AddDouble(row, "KGN", 3, 5.5 * (r + 1));
        doc.AddDouble(row, "PG", 3, 80.0 / (r + 1));
    }
}

} // namespace

void WriteEveryElementReport(XMLWrapper& doc)
{
    doc.InitDocument();
    header(doc, u(" Газ Сепарации. Дегазированный Конденсат. Пластовый Газ."));
    files(doc, 3);
    mixtures(doc);
    gasAnalysisTable(doc, u("Газ сепарации - Анализ"), 3, 2);
    sulphurTable(doc);
    condensateTable(doc);
    xmlNodePtr graph = doc.AddElement(nullptr, "graph");
    doc.AddText(graph, "path", u("file:///tmp/zqv1A2B.tmp.cat/FormationGasGraph.png"));
    formationGasTable(doc, false);
    formationGasTable(doc, true);
    compositionTable(doc);
    messages(doc);
}

void WriteLargeReport(XMLWrapper& doc, int tables, int rows)
{
    doc.InitDocument();
    header(doc, u(" Газ Сепарации. Газ Дегазации."));
    files(doc, 40);
    mixtures(doc);
    for (int t = 0; t < tables; ++t)
        gasAnalysisTable(doc, u("Газ сепарации - Анализ %1").arg(t + 1), rows, 3);
    messages(doc);
}

} // namespace testsupport
