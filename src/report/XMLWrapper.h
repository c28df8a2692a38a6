#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

#include <libxml/tree.h>

// The report document and the only way its elements are made. Every datum is
// the text of an element; text elements carry the data-type mark dt:dt =
// "string" and integer elements dt:dt = "i4", the prefix bound on the root to
// a namespace of the program's own. Elements are handed out as nodes that the
// document owns; a null parent stands for the current node, the root.
//
// The Add operations throw std::bad_alloc when the document cannot take the
// element and std::logic_error when there is no document to add to; the
// document keeps what was added before.
class XMLWrapper
{
public:
    static constexpr const char* DataTypesNamespace = "urn:tavrin:report-datatypes";

    XMLWrapper();
    virtual ~XMLWrapper();
    XMLWrapper(const XMLWrapper&) = delete;
    XMLWrapper& operator=(const XMLWrapper&) = delete;

    // A fresh document: the XML declaration (version "1.0", encoding
    // "UTF-8") and an empty root `Document`, which becomes the current node.
    // False when the skeleton cannot be made; the current node is then null.
    bool InitDocument();

    // Appends an element as the last child of the parent.
    xmlNodePtr AddElement(xmlNodePtr parent, const char* name);
    // An element typed "string" holding the text, which may be empty.
    // Characters that XML cannot carry become U+FFFD.
    xmlNodePtr AddText(xmlNodePtr parent, const char* name, const QString& text);
    // An element typed "string" holding the number as FormatReportNumber writes it.
    xmlNodePtr AddDouble(xmlNodePtr parent, const char* name, int precision, double value);
    // An element typed "i4" holding the value in decimal.
    xmlNodePtr AddInt(xmlNodePtr parent, const char* name, std::int32_t value);

    xmlDocPtr document() const { return m_doc; }
    xmlNodePtr currentNode() const { return m_current; }

    // The document as UTF-8 XML text; empty when there is none.
    QByteArray ToXml() const;

private:
    xmlNodePtr AddTyped(xmlNodePtr parent, const char* name, const char* type, const char* utf8Text);

    xmlDocPtr m_doc = nullptr;
    xmlNodePtr m_current = nullptr;
    xmlNsPtr m_dataTypes = nullptr;
};
