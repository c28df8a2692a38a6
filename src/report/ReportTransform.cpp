#include "report/ReportTransform.h"

#include "platform/SaveFile.h"
#include "report/ReportGraph.h"
#include "report/XMLWrapper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <libxml/parser.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace {

// libxml2 and libxslt report through process-wide callbacks; while a
// transformation runs their messages are collected here instead of going
// to the terminal.
class ErrorCollector
{
public:
    ErrorCollector()
    {
        xmlSetGenericErrorFunc(this, &ErrorCollector::collect);
        xsltSetGenericErrorFunc(this, &ErrorCollector::collect);
    }
    ~ErrorCollector()
    {
        xmlSetGenericErrorFunc(nullptr, nullptr);
        xsltSetGenericErrorFunc(nullptr, nullptr);
    }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    static void collect(void* context, const char* format, ...)
    {
        auto* self = static_cast<ErrorCollector*>(context);
        // A hostile stylesheet can report without end; keep the beginning.
        if (self->text.size() > 4096)
            return;
        char line[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        self->text += QString::fromUtf8(line);
    }

    // What was collected, without the trailing line breaks; never blank, as
    // the libraries do not explain every failure.
    QString reason() const
    {
        QString trimmed = text;
        while (trimmed.endsWith(QLatin1Char('\n')) || trimmed.endsWith(QLatin1Char('\r')))
            trimmed.chop(1);
        return trimmed.trimmed().isEmpty() ? QStringLiteral("причина не указана") : trimmed;
    }

    QString text;
};

struct XmlDocDeleter
{
    void operator()(xmlDocPtr p) const { xmlFreeDoc(p); }
};
struct TransformContextDeleter
{
    void operator()(xsltTransformContextPtr p) const { xsltFreeTransformContext(p); }
};
struct SecurityPrefsDeleter
{
    void operator()(xsltSecurityPrefsPtr p) const { xsltFreeSecurityPrefs(p); }
};

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QString GetReportXslPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Report.xsl"));
}

std::optional<QByteArray> TransformReportToHtml(const QString& xslPath, const XMLWrapper& doc, QString* error)
{
    return TransformReportToHtml(xslPath, doc.document(), error);
}

void ReportStylesheet::Deleter::operator()(_xsltStylesheet* p) const
{
    xsltFreeStylesheet(p);
}

std::unique_ptr<ReportStylesheet> ReportStylesheet::Load(const QString& xslPath, QString* error)
{
    QFile file(xslPath);
    const QString xslName = QDir::toNativeSeparators(xslPath);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("таблица стилей %1 не открывается: %2").arg(xslName, file.errorString()));
        return nullptr;
    }
    if (file.size() > kMaxStylesheetSize) {
        setError(error, QStringLiteral("таблица стилей %1 слишком велика").arg(xslName));
        return nullptr;
    }
    const QByteArray xsl = file.readAll();
    file.close();
    // libxml2 refuses an empty buffer without a word.
    if (xsl.isEmpty()) {
        setError(error, QStringLiteral("таблица стилей %1 не читается как XML: файл пуст").arg(xslName));
        return nullptr;
    }

    ErrorCollector errors;
    // No network, no external entities; the stylesheet's own URL is its base.
    const QByteArray url = QUrl::fromLocalFile(QFileInfo(xslPath).absoluteFilePath()).toEncoded();
    xmlDocPtr xslDoc = xmlReadMemory(xsl.constData(), static_cast<int>(xsl.size()), url.constData(), nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOCDATA);
    if (!xslDoc) {
        setError(error, QStringLiteral("таблица стилей %1 не читается как XML: %2").arg(xslName, errors.reason()));
        return nullptr;
    }
    // On success the stylesheet owns the parsed document.
    std::unique_ptr<ReportStylesheet> stylesheet(new ReportStylesheet);
    stylesheet->m_style.reset(xsltParseStylesheetDoc(xslDoc));
    if (!stylesheet->m_style) {
        xmlFreeDoc(xslDoc);
        setError(error, QStringLiteral("файл %1 не является таблицей стилей: %2").arg(xslName, errors.reason()));
        return nullptr;
    }
    if (stylesheet->m_style->errors > 0) {
        setError(error, QStringLiteral("в таблице стилей %1 есть ошибки: %2").arg(xslName, errors.reason()));
        return nullptr;
    }
    return stylesheet;
}

std::optional<QByteArray> ReportStylesheet::ToHtml(xmlDocPtr doc, QString* error) const
{
    if (!doc) {
        setError(error, QStringLiteral("нет документа отчёта"));
        return std::nullopt;
    }
    ErrorCollector errors;
    std::unique_ptr<xsltSecurityPrefs, SecurityPrefsDeleter> prefs(xsltNewSecurityPrefs());
    if (!prefs) {
        setError(error, QStringLiteral("недостаточно памяти"));
        return std::nullopt;
    }
    for (xsltSecurityOption option : {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                                      XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK})
        xsltSetSecurityPrefs(prefs.get(), option, xsltSecurityForbid);

    std::unique_ptr<xsltTransformContext, TransformContextDeleter> context(
        xsltNewTransformContext(m_style.get(), doc));
    if (!context || xsltSetCtxtSecurityPrefs(prefs.get(), context.get()) != 0) {
        setError(error, QStringLiteral("недостаточно памяти"));
        return std::nullopt;
    }
    std::unique_ptr<xmlDoc, XmlDocDeleter> result(
        xsltApplyStylesheetUser(m_style.get(), doc, nullptr, nullptr, nullptr, context.get()));
    if (!result || context->state != XSLT_STATE_OK) {
        setError(error, QStringLiteral("преобразование в HTML не удалось: %1").arg(errors.reason()));
        return std::nullopt;
    }

    xmlChar* text = nullptr;
    int size = 0;
    if (xsltSaveResultToString(&text, &size, result.get(), m_style.get()) != 0) {
        xmlFree(text);
        setError(error, QStringLiteral("результат преобразования не выводится в текст"));
        return std::nullopt;
    }
    QByteArray html(reinterpret_cast<const char*>(text), size);
    xmlFree(text);
    return html;
}

std::optional<QByteArray> TransformReportToHtml(const QString& xslPath, xmlDocPtr doc, QString* error)
{
    if (!doc) {
        setError(error, QStringLiteral("нет документа отчёта"));
        return std::nullopt;
    }
    const std::unique_ptr<ReportStylesheet> stylesheet = ReportStylesheet::Load(xslPath, error);
    if (!stylesheet)
        return std::nullopt;
    return stylesheet->ToHtml(doc, error);
}

bool TransformReport(const QString& xslPath, const QString& outputPath, const XMLWrapper& doc, QString* error)
{
    const std::optional<QByteArray> html = TransformReportToHtml(xslPath, doc, error);
    return html && WriteFileAtomically(outputPath, *html, error);
}

bool WriteSavedReport(const QString& path, const QByteArray& html, ReportGraphPlace& graph, QString* error)
{
    StagedFile page(path);
    if (page.Write(html, error) && graph.Install(error) && page.Replace(error)) {
        graph.Commit();
        return true;
    }
    graph.Discard();
    return false;
}

QString CreateReportViewFile(QString* error)
{
    QTemporaryFile file(QDir(ReportTemporaryFolder()).filePath(QStringLiteral("zqvXXXXXX.tmp.html")));
    file.setAutoRemove(false);
    if (!file.open()) {
        if (error)
            *error = file.errorString();
        return QString();
    }
    return file.fileName();
}
