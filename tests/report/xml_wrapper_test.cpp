#include <gtest/gtest.h>

#include "report/XMLWrapper.h"
#include "support/XmlTree.h"

#include <cfloat>
#include <stdexcept>

using testsupport::SameXmlTree;

TEST(XMLWrapperTest, typedElementsUnderTheRootInOrderOfAdding)
{
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    EXPECT_TRUE(doc.ToXml().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    doc.AddText(nullptr, "empty", QString());
    doc.AddInt(nullptr, "name", -42);
    doc.AddDouble(nullptr, "conc", 3, -0.0);
    doc.AddDouble(nullptr, "conc", 3, -DBL_MAX);
    doc.AddDouble(nullptr, "conc", 2, 1.005);
    xmlNodePtr row = doc.AddElement(nullptr, "fill_data");
    doc.AddText(row, "name", QStringLiteral("<b>&x</b> ]]>"));
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <empty dt:dt="string"/>
        <name dt:dt="i4">-42</name>
        <conc dt:dt="string">0</conc>
        <conc dt:dt="string">---</conc>
        <conc dt:dt="string">1.00</conc>
        <fill_data><name dt:dt="string">&lt;b&gt;&amp;x&lt;/b&gt; ]]&gt;</name></fill_data>
    </Document>)"));

    // A second start empties the document.
    ASSERT_TRUE(doc.InitDocument());
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes"/>)"));
}

TEST(XMLWrapperTest, charactersXmlCannotCarryBecomeReplacements)
{
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    doc.AddText(nullptr, "name", QStringLiteral("a\x01" "b\tc") + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("\x1f\r\nd"));
    const testsupport::XmlDoc parsed = testsupport::ParseXml(doc.ToXml());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/name"),
              QStringList{QStringLiteral("a\uFFFDb\tc\uFFFD\uFFFD\uFFFD\r\nd")});
}

TEST(XMLWrapperTest, withoutADocumentNothingIsWrittenNowhere)
{
    XMLWrapper doc;
    EXPECT_THROW(doc.AddElement(nullptr, "name"), std::logic_error);
    EXPECT_THROW(doc.AddInt(nullptr, "name", 1), std::logic_error);
    EXPECT_TRUE(doc.ToXml().isEmpty());
}

