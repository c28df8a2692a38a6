#include "support/XmlTree.h"

#include <libxml/HTMLparser.h>
#include <libxml/c14n.h>
#include <libxml/parser.h>
#include <libxml/xpathInternals.h>

namespace testsupport {

namespace {

void ignoreErrors(void*, const char*, ...) {}

// Canonical form without the white space that only indents elements.
QByteArray canonical(const QByteArray& text)
{
    xmlSetGenericErrorFunc(nullptr, ignoreErrors);
    XmlDoc doc(xmlReadMemory(text.constData(), static_cast<int>(text.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOBLANKS));
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlChar* out = nullptr;
    const int size = doc ? xmlC14NDocDumpMemory(doc.get(), nullptr, XML_C14N_1_0, nullptr, 0, &out) : -1;
    QByteArray bytes = size < 0 ? QByteArray() : QByteArray(reinterpret_cast<const char*>(out), size);
    xmlFree(out);
    return bytes;
}

} // namespace

XmlDoc ParseXml(const QByteArray& text)
{
    xmlSetGenericErrorFunc(nullptr, ignoreErrors);
    XmlDoc doc(xmlReadMemory(text.constData(), static_cast<int>(text.size()), nullptr, nullptr, XML_PARSE_NONET));
    xmlSetGenericErrorFunc(nullptr, nullptr);
    return doc;
}

XmlDoc ParseHtml(const QByteArray& text)
{
    return XmlDoc(htmlReadMemory(text.constData(), static_cast<int>(text.size()), nullptr, "UTF-8",
                                 HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
}

QStringList XPathTexts(xmlDocPtr doc, const QString& expression)
{
    const QByteArray utf8 = expression.toUtf8();
    xmlXPathContextPtr context = xmlXPathNewContext(doc);
    xmlXPathRegisterNs(context, BAD_CAST "h", BAD_CAST "http://www.w3.org/1999/xhtml");
    xmlXPathRegisterNs(context, BAD_CAST "dt", BAD_CAST "urn:tavrin:report-datatypes");
    xmlXPathObjectPtr result = xmlXPathEvalExpression(BAD_CAST utf8.constData(), context);
    QStringList out;
    for (int i = 0; result && result->nodesetval && i < result->nodesetval->nodeNr; ++i) {
        xmlChar* content = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
        out << QString::fromUtf8(reinterpret_cast<const char*>(content));
        xmlFree(content);
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return out;
}

int XPathCount(xmlDocPtr doc, const QString& expression)
{
    return static_cast<int>(XPathTexts(doc, expression).size());
}

::testing::AssertionResult SameXmlTree(const QByteArray& actual, const QByteArray& expected)
{
    const QByteArray a = canonical(actual);
    const QByteArray e = canonical(expected);
    if (a.isEmpty() || e.isEmpty())
        return ::testing::AssertionFailure() << (a.isEmpty() ? "the document" : "the expected text")
                                             << " is not well-formed";
    if (a != e)
        return ::testing::AssertionFailure() << "document:\n" << a.toStdString() << "\nexpected:\n" << e.toStdString();
    return ::testing::AssertionSuccess();
}

} // namespace testsupport
