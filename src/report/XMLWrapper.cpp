#include "report/XMLWrapper.h"

#include "report/ReportText.h"

#include <libxml/parser.h>

#include <new>
#include <stdexcept>
#include <string>

namespace {

const char kSkeleton[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document/>";

const xmlChar* X(const char* s)
{
    return reinterpret_cast<const xmlChar*>(s);
}

// XML 1.0 carries no C0 control other than tab, line feed and carriage
// return, and neither U+FFFE nor U+FFFF; a sample name read from a damaged
// file must not make the whole report unreadable.
QByteArray XmlSafeUtf8(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    static const char kReplacement[] = "\xEF\xBF\xBD";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            bytes.replace(i, 1, kReplacement, 3);
            i += 2;
        } else if (c == 0xEF && i + 2 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) == 0xBF
                   && (static_cast<unsigned char>(bytes[i + 2]) & 0xFE) == 0xBE) {
            bytes[i + 2] = '\xBD';
            i += 2;
        }
    }
    return bytes;
}

} // namespace

XMLWrapper::XMLWrapper() = default;

XMLWrapper::~XMLWrapper()
{
    m_current = nullptr;
    if (m_doc)
        xmlFreeDoc(m_doc);
}

bool XMLWrapper::InitDocument()
{
    if (m_doc)
        xmlFreeDoc(m_doc);
    m_current = nullptr;
    m_dataTypes = nullptr;
    m_doc = xmlReadMemory(kSkeleton, static_cast<int>(sizeof kSkeleton - 1), nullptr, "UTF-8", XML_PARSE_NONET);
    xmlNodePtr root = m_doc ? xmlDocGetRootElement(m_doc) : nullptr;
    if (!root)
        return false;
    m_dataTypes = xmlNewNs(root, X(DataTypesNamespace), X("dt"));
    if (!m_dataTypes)
        return false;
    m_current = root;
    return true;
}

xmlNodePtr XMLWrapper::AddElement(xmlNodePtr parent, const char* name)
{
    if (!parent)
        parent = m_current;
    if (!parent)
        throw std::logic_error("the report document has no root");
    xmlNodePtr node = xmlNewChild(parent, nullptr, X(name), nullptr);
    if (!node)
        throw std::bad_alloc();
    return node;
}

xmlNodePtr XMLWrapper::AddTyped(xmlNodePtr parent, const char* name, const char* type, const char* utf8Text)
{
    if (!parent)
        parent = m_current;
    if (!parent)
        throw std::logic_error("the report document has no root");
    // The text goes in as a text node, which the serialiser escapes; an empty
    // text makes no node at all.
    xmlNodePtr node = xmlNewTextChild(parent, nullptr, X(name), *utf8Text ? X(utf8Text) : nullptr);
    if (!node)
        throw std::bad_alloc();
    if (!xmlNewNsProp(node, m_dataTypes, X("dt"), X(type)))
        throw std::bad_alloc();
    return node;
}

xmlNodePtr XMLWrapper::AddText(xmlNodePtr parent, const char* name, const QString& text)
{
    return AddTyped(parent, name, "string", XmlSafeUtf8(text).constData());
}

xmlNodePtr XMLWrapper::AddDouble(xmlNodePtr parent, const char* name, int precision, double value)
{
    return AddTyped(parent, name, "string", FormatReportNumberUtf8(value, precision).c_str());
}

xmlNodePtr XMLWrapper::AddInt(xmlNodePtr parent, const char* name, std::int32_t value)
{
    return AddTyped(parent, name, "i4", std::to_string(value).c_str());
}

QByteArray XMLWrapper::ToXml() const
{
    if (!m_doc)
        return {};
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(m_doc, &text, &size, "UTF-8");
    QByteArray bytes(reinterpret_cast<const char*>(text), size);
    xmlFree(text);
    return bytes;
}
