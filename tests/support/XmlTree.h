#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

#include <libxml/tree.h>

namespace testsupport {

struct XmlDocFree
{
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, XmlDocFree>;

// A strict XML parse without network or entity loading; null when the text
// is not well-formed.
XmlDoc ParseXml(const QByteArray& text);
// A forgiving HTML parse, as for a browser's serialised DOM.
XmlDoc ParseHtml(const QByteArray& text);

// The texts of the nodes an XPath expression selects, and their number. The
// prefixes "h" (XHTML) and "dt" (the report's data-type marks, whose
// namespace is spelt out here, not taken from the code under test) are bound.
QStringList XPathTexts(xmlDocPtr doc, const QString& expression);
int XPathCount(xmlDocPtr doc, const QString& expression);

// Both texts parsed and compared as trees, in canonical XML: names,
// namespaces, attributes in any order and text alike. White space that only
// indents elements is ignored; the text of an element is compared exactly.
::testing::AssertionResult SameXmlTree(const QByteArray& actual, const QByteArray& expected);

} // namespace testsupport
