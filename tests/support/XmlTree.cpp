#include "support/XmlTree.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace testsupport {

namespace {

const char kXhtml[] = "http://www.w3.org/1999/xhtml";
const char kDataTypes[] = "urn:tavrin:report-datatypes";

void ignoreErrors(void*, const char*, ...) {}

QString text(const xmlChar* s)
{
    return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString();
}

std::string str(const xmlChar* s)
{
    return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
}

bool whitespaceOnly(const xmlChar* s)
{
    for (; s && *s; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\n' && *s != '\r')
            return false;
    return true;
}

struct XPathResult
{
    XPathResult(xmlDocPtr doc, const char* expression)
    {
        context = xmlXPathNewContext(doc);
        xmlXPathRegisterNs(context, BAD_CAST "h", BAD_CAST kXhtml);
        xmlXPathRegisterNs(context, BAD_CAST "dt", BAD_CAST kDataTypes);
        object = xmlXPathEvalExpression(BAD_CAST expression, context);
    }
    ~XPathResult()
    {
        xmlXPathFreeObject(object);
        xmlXPathFreeContext(context);
    }
    xmlNodeSetPtr nodes() const { return object ? object->nodesetval : nullptr; }

    xmlXPathContextPtr context = nullptr;
    xmlXPathObjectPtr object = nullptr;
};

bool hasElementChild(xmlNodePtr node)
{
    for (xmlNodePtr c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return true;
    return false;
}

std::vector<xmlNodePtr> significantChildren(xmlNodePtr node)
{
    const bool elements = hasElementChild(node);
    std::vector<xmlNodePtr> out;
    for (xmlNodePtr c = node->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE)
            out.push_back(c);
        else if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
                 && !(elements && whitespaceOnly(c->content)))
            out.push_back(c);
    }
    return out;
}

using Attribute = std::tuple<std::string, std::string, std::string>;

std::set<Attribute> attributes(xmlNodePtr node)
{
    std::set<Attribute> out;
    for (xmlAttrPtr a = node->properties; a; a = a->next) {
        xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
        out.emplace(a->ns ? str(a->ns->href) : std::string(), str(a->name), str(value));
        xmlFree(value);
    }
    return out;
}

std::string describe(const std::set<Attribute>& set)
{
    std::string s;
    for (const auto& [ns, name, value] : set)
        s += " {" + ns + "}" + name + "=\"" + value + "\"";
    return s;
}

bool compare(xmlNodePtr a, xmlNodePtr e, const std::string& path, std::string& why)
{
    if (a->type != e->type) {
        why = path + ": node kinds differ";
        return false;
    }
    if (a->type != XML_ELEMENT_NODE) {
        if (str(a->content) != str(e->content)) {
            why = path + ": text \"" + str(a->content) + "\", expected \"" + str(e->content) + "\"";
            return false;
        }
        return true;
    }
    const std::string here = path + "/" + str(a->name);
    if (str(a->name) != str(e->name)) {
        why = path + ": element <" + str(a->name) + ">, expected <" + str(e->name) + ">";
        return false;
    }
    const std::string nsA = a->ns ? str(a->ns->href) : std::string();
    const std::string nsE = e->ns ? str(e->ns->href) : std::string();
    if (nsA != nsE) {
        why = here + ": namespace \"" + nsA + "\", expected \"" + nsE + "\"";
        return false;
    }
    const auto attrsA = attributes(a);
    const auto attrsE = attributes(e);
    if (attrsA != attrsE) {
        why = here + ": attributes" + describe(attrsA) + ", expected" + describe(attrsE);
        return false;
    }
    const auto childrenA = significantChildren(a);
    const auto childrenE = significantChildren(e);
    for (std::size_t i = 0; i < std::min(childrenA.size(), childrenE.size()); ++i) {
        if (!compare(childrenA[i], childrenE[i], here + "[" + std::to_string(i + 1) + "]", why))
            return false;
    }
    if (childrenA.size() != childrenE.size()) {
        why = here + ": " + std::to_string(childrenA.size()) + " children, expected "
              + std::to_string(childrenE.size());
        return false;
    }
    return true;
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

int XPathCount(xmlDocPtr doc, const char* expression)
{
    XPathResult r(doc, expression);
    return r.nodes() ? r.nodes()->nodeNr : (r.object ? 0 : -1);
}

QStringList XPathTexts(xmlDocPtr doc, const char* expression)
{
    XPathResult r(doc, expression);
    QStringList out;
    if (!r.nodes())
        return out;
    for (int i = 0; i < r.nodes()->nodeNr; ++i) {
        xmlChar* content = xmlNodeGetContent(r.nodes()->nodeTab[i]);
        out << text(content);
        xmlFree(content);
    }
    return out;
}

::testing::AssertionResult SameXmlTree(const QByteArray& actual, const QByteArray& expected)
{
    const XmlDoc a = ParseXml(actual);
    const XmlDoc e = ParseXml(expected);
    if (!e)
        return ::testing::AssertionFailure() << "the expected text is not well-formed";
    if (!a)
        return ::testing::AssertionFailure() << "not well-formed:\n" << actual.toStdString();
    std::string why;
    if (!compare(xmlDocGetRootElement(a.get()), xmlDocGetRootElement(e.get()), "", why))
        return ::testing::AssertionFailure() << why << "\nin:\n" << actual.toStdString();
    return ::testing::AssertionSuccess();
}

} // namespace testsupport
