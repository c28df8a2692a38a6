#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <libxml/tree.h>

namespace testsupport {

// Every result table of the page (`table` of class "calc", in order) holds
// one row per header row with columns, custom row with cells and data row
// of its calc_table, and each data row's cells are the texts of the row's
// elements in document order, short rows padded with empty cells to the
// widest: before a `sum_csss` and what follows it, else at the end. `h` is
// the prefix of the page's elements ("h:" for XHTML, empty for a browser's
// DOM). Reports its findings through gtest.
void ExpectTablesOfTheDocument(xmlDocPtr source, xmlDocPtr shown, const QString& h);

// A page as headless Chromium builds and draws it.
struct BrowserPage
{
    bool available = false;  // false: chromium is not installed
    bool ok = false;         // it ran and exited cleanly
    QByteArray dom;          // the serialised DOM
    QByteArray png;          // the screenshot
    QString error;
};

// Opens the file in a fresh profile under workDir, at the window size given.
BrowserPage RenderInChromium(const QString& page, const QString& workDir, int width, int height);

// Keeps a picture in TAVRIN_SCREENSHOT_DIR under the name, when that is set.
void KeepPictureIfAsked(const QByteArray& png, const QString& fileName);

} // namespace testsupport
