// The whole report path (the document built element by element, the
// transformation with "Report.xsl", the HTML file written) against xsltproc
// transforming the same document, saved once as XML, with the same
// stylesheet into a file. The document is large: 300 result tables of 40
// rows with three analyses each, the chromatogram list and the messages.
// The ratio is printed at the end.

#include <benchmark/benchmark.h>

#include "report/ReportDocument.h"
#include "report/ReportTransform.h"
#include "report/XMLWrapper.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kTables = 300;
constexpr int kRows = 40;

const QString kStylesheet = QStringLiteral(TAVRIN_REPORT_XSL);

// The document as the builders write it: header, lists, kTables
// gas-analysis tables of kRows rows and three analyses, messages.
void writeLargeReport(XMLWrapper& doc)
{
    doc.InitDocument();
    for (const char* name : {"name", "station", "num_device", "operator"})
        doc.AddText(nullptr, name, QStringLiteral("Газ Сепарации. Пункт 12"));
    xmlNodePtr files = doc.AddElement(nullptr, "files");
    for (int i = 1; i <= 40; ++i) {
        xmlNodePtr row = doc.AddElement(files, "fill_data");
        doc.AddInt(row, "name", i);
        doc.AddText(row, "name", QStringLiteral("ГС-%1").arg(i));
        doc.AddText(row, "analyse_time", QStringLiteral("05.03.24  09:15"));
        doc.AddText(row, "name", QStringLiteral("ГС Анализ 1"));
    }
    for (int t = 0; t < kTables; ++t) {
        xmlNodePtr table = doc.AddElement(nullptr, "calc_table");
        AddTitleRow(doc, table, QStringLiteral("Газ сепарации - Анализ %1").arg(t), 15);
        xmlNodePtr captions = doc.AddElement(table, "header_row");
        for (int c = 0; c < 15; ++c)
            doc.AddText(doc.AddElement(captions, "column"), "label", QStringLiteral("Конц. %1, мол. %").arg(c));
        for (int r = 0; r < kRows; ++r) {
            xmlNodePtr row = doc.AddElement(table, "fill_data");
            const double v = 90.0 / (r + 1);
            doc.AddInt(row, "name", r + 1);
            doc.AddText(row, "name", QStringLiteral("Компонент %1").arg(r));
            AddAnalysisValues(doc, row, "conc", {v, v * 1.01, v * 0.99}, 3, 3);
            AddAnalysisValues(doc, row, "conc_norm", {v, v * 1.01}, 3, 3);
            doc.AddDouble(row, "conc_avg", 3, v);
            doc.AddDouble(row, "check", 3, r * 0.125);
            doc.AddDouble(row, "norm", 3, 1.5);
            doc.AddDouble(row, "presision", 3, 0.0);
            doc.AddText(row, "ok", r % 7 ? QStringLiteral("Да") : QStringLiteral("Нет"));
        }
    }
    xmlNodePtr messages = doc.AddElement(nullptr, "msg_head");
    for (int i = 1; i <= 20; ++i)
        doc.AddText(doc.AddElement(messages, "table_msg"), "msg_str", QStringLiteral("%1. ГС Анализ: сообщение.").arg(i));
}

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The document as xsltproc reads it, written once.
const QString& documentFile()
{
    static const QString path = [] {
        XMLWrapper doc;
        writeLargeReport(doc);
        const QString p = folder().filePath(QStringLiteral("report.xml"));
        QFile file(p);
        const QByteArray xml = doc.ToXml();
        if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p));
        return p;
    }();
    return path;
}

void reportPath(benchmark::State& state)
{
    const QString out = folder().filePath(QStringLiteral("ours.html"));
    for (auto _ : state) {
        XMLWrapper doc;
        writeLargeReport(doc);
        if (!TransformReport(kStylesheet, out, doc)) {
            state.SkipWithError("the report was not written");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFile(out).size());
}

void xsltproc(benchmark::State& state)
{
    const QByteArray in = QFile::encodeName(documentFile());
    const QByteArray out = QFile::encodeName(folder().filePath(QStringLiteral("xsltproc.html")));
    const QByteArray xsl = QFile::encodeName(kStylesheet);
    char* args[] = {const_cast<char*>("xsltproc"), const_cast<char*>("-o"), const_cast<char*>(out.constData()),
                    const_cast<char*>(xsl.constData()), const_cast<char*>(in.constData()), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, "xsltproc", nullptr, nullptr, args, environ) != 0
            || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("xsltproc did not run");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFile(QFile::decodeName(out)).size());
}

BENCHMARK(reportPath)->Unit(benchmark::kMillisecond);
BENCHMARK(xsltproc)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration (the median when repeated) to
// print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatio() const
    {
        const auto ours = m_times.find("reportPath");
        const auto theirs = m_times.find("xsltproc");
        if (ours == m_times.end() || theirs == m_times.end() || theirs->second <= 0)
            return;
        std::printf("report path / xsltproc ratio: %.2f (target <= 2)\n", ours->second / theirs->second);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    return 0;
}
