// The whole report path (the document built element by element, the
// transformation with "Report.xsl", the HTML file written) against xsltproc
// transforming the same document, saved once as XML, with the same
// stylesheet into a file. Two documents: the report of the sample set of one
// sampling run, as "Сохранить" makes it, and a large one of 300 result
// tables of 40 rows with three analyses each, the chromatogram list and the
// messages. The ratios are printed at the end.

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include "report/ReportDocument.h"
#include "report/ReportTransform.h"
#include "report/XMLWrapper.h"
#include "support/SampleSetReport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

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

// The sample set recalculated once; every report is built from it anew.
testsupport::SampleSetReport* sampleSet()
{
    static testsupport::SampleSetReport* run = [] {
        auto* r = new testsupport::SampleSetReport;
        if (r->Load())
            return r;
        std::fprintf(stderr, "cannot load the sample set: %s\n", qPrintable(r->error()));
        delete r;
        return static_cast<testsupport::SampleSetReport*>(nullptr);
    }();
    return run;
}

void writeSampleSetReport(XMLWrapper& doc)
{
    ReportDocument(sampleSet()->Sources(), testsupport::SampleSetReport::Everything()).Build(doc);
}

// A document as xsltproc reads it, written once.
QString writeDocumentFile(void (*write)(XMLWrapper&), const QString& name)
{
    XMLWrapper doc;
    write(doc);
    const QString p = folder().filePath(name);
    QFile file(p);
    const QByteArray xml = doc.ToXml();
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(p));
    return p;
}

const QString& documentFile()
{
    static const QString path = writeDocumentFile(writeLargeReport, QStringLiteral("report.xml"));
    return path;
}

const QString& sampleSetDocumentFile()
{
    static const QString path = writeDocumentFile(writeSampleSetReport, QStringLiteral("sample_set.xml"));
    return path;
}

void runReportPath(benchmark::State& state, void (*write)(XMLWrapper&), const QString& name)
{
    const QString out = folder().filePath(name);
    for (auto _ : state) {
        XMLWrapper doc;
        write(doc);
        if (!TransformReport(kStylesheet, out, doc)) {
            state.SkipWithError("the report was not written");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFile(out).size());
}

void runXsltproc(benchmark::State& state, const QString& document, const QString& name)
{
    const QByteArray in = QFile::encodeName(document);
    const QByteArray out = QFile::encodeName(folder().filePath(name));
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

void sampleSetReportPath(benchmark::State& state)
{
    if (!sampleSet()) {
        state.SkipWithError("no sample set");
        return;
    }
    runReportPath(state, writeSampleSetReport, QStringLiteral("sample_set_ours.html"));
}

void sampleSetXsltproc(benchmark::State& state)
{
    if (!sampleSet()) {
        state.SkipWithError("no sample set");
        return;
    }
    runXsltproc(state, sampleSetDocumentFile(), QStringLiteral("sample_set_xsltproc.html"));
}

void reportPath(benchmark::State& state)
{
    runReportPath(state, writeLargeReport, QStringLiteral("ours.html"));
}

void xsltproc(benchmark::State& state)
{
    runXsltproc(state, documentFile(), QStringLiteral("xsltproc.html"));
}

BENCHMARK(sampleSetReportPath)->Unit(benchmark::kMillisecond);
BENCHMARK(sampleSetXsltproc)->Unit(benchmark::kMillisecond);
BENCHMARK(reportPath)->Unit(benchmark::kMillisecond);
BENCHMARK(xsltproc)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithRatios(argc, argv, [](const RatioReporter& reporter) {
        reporter.PrintRatio("sample set: report path / xsltproc ratio", "sampleSetReportPath", "sampleSetXsltproc",
                            " (target <= 2)");
        reporter.PrintRatio("large document: report path / xsltproc ratio", "reportPath", "xsltproc", " (target <= 2)");
    });
}
