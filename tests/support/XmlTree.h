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

// XPath over a document. The prefixes "h" (XHTML) and "dt" (the report's
// data-type marks) are bound; the namespace of the marks is spelt out here,
// not taken from the code under test.
int XPathCount(xmlDocPtr doc, const char* expression);
QStringList XPathTexts(xmlDocPtr doc, const char* expression);

// Both texts parsed and compared as trees: element names and namespaces,
// attributes with namespace and value, and text. Whitespace between child
// elements is ignored; the text of an element without child elements is
// compared exactly. Comments and processing instructions are ignored.
::testing::AssertionResult SameXmlTree(const QByteArray& actual, const QByteArray& expected);

} // namespace testsupport
