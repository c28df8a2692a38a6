#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

#include <libxml/tree.h>

class ReportGraphPlace;
class XMLWrapper;

// The report's HTML step: the document is transformed with the stylesheet
// "Report.xsl" that lies beside the executable, and the HTML is written to a
// file whole or not at all. The stylesheet runs with file writing, folder
// creation and network access forbidden.

// The stylesheet beside the running executable.
QString GetReportXslPath();

// A stylesheet larger than this is not ours; it is refused unread.
inline constexpr qint64 kMaxStylesheetSize = 16 * 1024 * 1024;

struct _xsltStylesheet;

// The stylesheet read and parsed once, for any number of documents.
class ReportStylesheet
{
public:
    // Nothing when the stylesheet is missing, too large or does not parse;
    // `error`, when given, receives the reason.
    static std::unique_ptr<ReportStylesheet> Load(const QString& xslPath, QString* error = nullptr);
    // The HTML made from the document; nothing when the transformation fails.
    std::optional<QByteArray> ToHtml(xmlDocPtr doc, QString* error = nullptr) const;

private:
    ReportStylesheet() = default;
    struct Deleter
    {
        void operator()(_xsltStylesheet* p) const;
    };
    std::unique_ptr<_xsltStylesheet, Deleter> m_style;
};

// The HTML made from the document; nothing when the stylesheet is missing,
// too large or does not parse, or the transformation fails. `error`, when
// given, receives the reason.
std::optional<QByteArray> TransformReportToHtml(const QString& xslPath, const XMLWrapper& doc,
                                                QString* error = nullptr);
std::optional<QByteArray> TransformReportToHtml(const QString& xslPath, xmlDocPtr doc, QString* error = nullptr);

// Both steps, the file written by WriteFileAtomically; false when no HTML
// file was written.
bool TransformReport(const QString& xslPath, const QString& outputPath, const XMLWrapper& doc,
                     QString* error = nullptr);

// Saves a report over whatever the path held: the page is written beside it
// under a temporary name, then the graph the place holds and the page are
// put in place, the page last. False when the page is not in place; the old
// page and graph are then as they were, and the new graph is discarded.
bool WriteSavedReport(const QString& path, const QByteArray& html, ReportGraphPlace& graph,
                      QString* error = nullptr);

// A fresh, empty file "zqv….tmp.html" in the user's temporary folder that no
// other report uses; an empty path when none can be made, with the system's
// reason in error (when given).
QString CreateReportViewFile(QString* error = nullptr);
