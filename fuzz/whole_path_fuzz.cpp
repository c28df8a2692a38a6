// libFuzzer entry for everything after the readers: the input describes a
// run set field by field (WholePathInput.h), which is written as ".stg"
// files, a cylinder database and a profile into a private folder and taken
// through what "Добавить" and "Пересчитать" run: the files listed and read,
// sorted and given their roles, every calculation, the result tables, then
// the report with its calibration graph, transformed to HTML and saved.
//
// A calculation that fails with an exception, or a report that cannot be
// made of results the program computed itself, stops the run: the window
// would show "Непредвиденная ошибка" or a failed report for readable files.

#include "WholePathInput.h"

#include "calc/CalcData.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramList.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Mixtures.h"
#include "data/Settings.h"
#include "data/TempComponents.h"
#include "platform/Profile.h"
#include "platform/SaveFile.h"
#include "plot/CalibrationGraph.h"
#include "plot/CalibrationGraphImage.h"
#include "report/ReportDocument.h"
#include "report/ReportGraph.h"
#include "report/ReportTransform.h"
#include "report/ResultTablesCaptions.h"
#include "report/XMLWrapper.h"
#include "tables/ResultTables.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>

#include <libxml/xmlmemory.h>
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define TAVRIN_XSLT_ON_GLIBC 1
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#ifdef TAVRIN_XSLT_ON_GLIBC
// glibc's own allocator, which the address sanitizer leaves alone.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
}
#endif

namespace {

struct Process
{
    std::unique_ptr<QGuiApplication> app;  // the graph's fonts
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<ReportStylesheet> stylesheet;
    // The graph's canvas, kept between runs: 4 MB mapped afresh every
    // time cost more than the painting.
    QImage canvas{CalibrationGraphImage::kSide, CalibrationGraphImage::kSide, QImage::Format_RGB32};
    GasComponentTable gas;
    TempComponentTable temp;
};
// Lives to the end of the process: Qt's own statics go before it.
Process* process = nullptr;

[[noreturn]] void fail(const char* what, const QString& why)
{
    std::fprintf(stderr, "whole_path_fuzz: %s: %s\n", what, why.toUtf8().constData());
    __builtin_trap();
}

// The report's graph painted as the program paints it, at its size; the
// PNG encoder, which is Qt's and would take most of the time, is left out.
class PaintedGraph final : public ReportGraphImage
{
public:
    bool WriteGraphImage(const TemperatureResult& curve, const QString& path, QString* error) const override
    {
        process->canvas.fill(Qt::white);
        QPainter painter(&process->canvas);
        if (DrawCalibrationGraph(&painter, LoadCalibrationCurve(curve)) != 0)
            fail("the graph is not drawn", path);
        return WriteFileInPlace(path, QByteArrayLiteral("png"), error);
    }
};

// libxslt allocates and frees a block for nearly every step of the
// transform; under the address sanitizer's allocator that took four times
// as long as everything else in the report. The library is not
// instrumented, so while it transforms its blocks come from glibc; the
// document our code builds, and every block made outside the transform,
// stay the sanitizer's.
bool transforming = false;

#ifdef TAVRIN_XSLT_ON_GLIBC

void* xmlAllocate(std::size_t size)
{
    return transforming ? __libc_malloc(size) : std::malloc(size);
}

void xmlRelease(void* block)
{
    if (block && !__sanitizer_get_ownership(block))
        __libc_free(block);
    else
        std::free(block);
}

void* xmlResize(void* block, std::size_t size)
{
    if (!block)
        return xmlAllocate(size);
    return __sanitizer_get_ownership(block) ? std::realloc(block, size) : __libc_realloc(block, size);
}

char* xmlDuplicate(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(xmlAllocate(size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}
#endif

std::optional<QByteArray> transform(const ReportStylesheet& stylesheet, const XMLWrapper& doc, QString* error)
{
    transforming = true;
    std::optional<QByteArray> html = stylesheet.ToHtml(doc.document(), error);
    transforming = false;
    return html;
}

// What the pages show: every table's columns and rows.
void fillTables(ResultTables& tables, const CalcData& data, const GeneralSettings& general)
{
    for (const auto& group : {tables.gs.All(), tables.gd.All(), tables.dc.All(), tables.pg.All()}) {
        for (ResultTable* table : group) {
            table->UpdateConcColumns(general);
            table->BuildRows(data, general);
        }
    }
}

} // namespace

// fontconfig keeps what it loads with the first font to the end of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

// Freed blocks wait in a quarantine of 64 MB, not 256: still more than a
// whole set frees in one run, and recycling the larger one cost a tenth of
// the time in fresh pages.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=64";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "whole_path_fuzz";
    static char* argv[] = {name, nullptr};
#ifdef TAVRIN_XSLT_ON_GLIBC
    if (xmlMemSetup(xmlRelease, xmlAllocate, xmlResize, xmlDuplicate) != 0)
        fail("libxml2's allocator", QString());
#endif
    process = new Process;
    process->app = std::make_unique<QGuiApplication>(argc, argv);
    // The calling thread reads every file itself: the run keeps to one core.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    // In memory where the system has such a folder: the profile and the
    // report are synced to disk as they are saved, which on a disk took a
    // good part of a run.
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    const QString root = memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
    process->folder = std::make_unique<QTemporaryDir>(QDir(root).filePath(QStringLiteral("whole_path_fuzz-XXXXXX")));
    if (!process->folder->isValid())
        fail("no temporary folder", process->folder->errorString());
    std::atexit([] { process->folder->remove(); });
    QString error;
    process->stylesheet = ReportStylesheet::Load(QStringLiteral(TAVRIN_REPORT_XSL), &error);
    if (!process->stylesheet)
        fail("the stylesheet", error);
    process->gas.Build(nullptr);
    process->temp.Build(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const wholepath::Input input =
        wholepath::Decode(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QString folder = QDir(process->folder->path()).filePath(QStringLiteral("set"));
    QDir(folder).removeRecursively();
    wholepath::Written written;
    if (!QDir().mkpath(folder) || !wholepath::Write(input, folder, &written))
        fail("the set is not written", folder);

    Profile profile(written.profilePath);
    CSettings settings(profile);
    MixtureList cylinders;
    MixturesDatabase(written.mixturesPath).load(cylinders);

    std::vector<ChromatogramRecord> records;
    CalcData calc;
    calc.SetReferenceTables(process->gas, process->temp);
    MessageLog log;
    ResultTables tables;
    tables.Setup(settings.general);
    const auto refresh = [&] {
        SortChromatograms(records);
        AssignCalculationTypes(records, settings.general, cylinders);
        log.ClearMessages();
        try {
            calc.Recalculate(&cylinders, &records, &settings, log);
        } catch (const std::bad_alloc&) {
            return;  // the window says so; the caps keep it from happening here
        } catch (const std::exception& e) {
            fail("the calculation", QString::fromUtf8(e.what()));
        }
        fillTables(tables, calc, settings.general);
    };

    // "Добавить", twice when the input splits the files, then "Пересчитать".
    // The calculation after the last "Добавить" is left out: "Пересчитать"
    // runs it again on the same files, and it was a sixth of a run.
    const QStringList paths = CollectChromatogramPaths(written.chromatogramFolder);
    const qsizetype first = std::min<qsizetype>(input.firstAdded, paths.size());
    if (first > 0) {
        AddChromatograms(records, paths.first(first), cylinders);
        refresh();
    }
    AddChromatograms(records, paths.sliced(first), cylinders);
    RereadChromatograms(records, cylinders);
    refresh();
    // The messages page shows the last calculation's text.
    log.BuildMessageText();

    // The report as "Сохранить" makes it, into the private folder.
    const QString page = QDir(folder).filePath(QStringLiteral("report.html"));
    ReportGraphPlace place(page);
    const ResultTablesCaptions captions(tables);
    const PaintedGraph graph;
    const ReportSources sources{&settings, &records, &cylinders, &calc, &log, &captions, &graph, &place};
    XMLWrapper doc;
    ReportDocument(sources, input.report).Build(doc);
    if (!place.Error().isEmpty())
        fail("the graph", place.Error());
    QString error;
    const std::optional<QByteArray> html = transform(*process->stylesheet, doc, &error);
    if (!html)
        fail("the transformation", error);
    if (!WriteSavedReport(page, *html, place, &error))
        fail("the saved report", error);
    return 0;
}
