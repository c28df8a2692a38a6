#include <gtest/gtest.h>

#include "report/XMLWrapper.h"
#include "support/XmlTree.h"

#include <cfloat>
#include <stdexcept>

using testsupport::SameXmlTree;

namespace {

class XMLWrapperTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(doc.InitDocument()); }

    XMLWrapper doc;
};

} // namespace

TEST_F(XMLWrapperTest, freshDocumentIsTheEmptyRootWithItsDeclaration)
{
    const QByteArray xml = doc.ToXml();
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << xml.toStdString();
    EXPECT_TRUE(SameXmlTree(xml, "<Document/>"));
    EXPECT_EQ(doc.currentNode(), xmlDocGetRootElement(doc.document()));
}

TEST_F(XMLWrapperTest, typedElementsCarryTheirMarks)
{
    doc.AddText(nullptr, "empty", QString());
    doc.AddText(nullptr, "label", QStringLiteral("Газ сепарации"));
    doc.AddInt(nullptr, "name", -42);
    doc.AddInt(nullptr, "name", 7);
    doc.AddDouble(nullptr, "conc", 3, 0.0);
    doc.AddDouble(nullptr, "conc", 3, -DBL_MAX);
    doc.AddDouble(nullptr, "conc", 2, 1.005);
    xmlNodePtr row = doc.AddElement(nullptr, "fill_data");
    doc.AddText(row, "name", QStringLiteral("Метан"));

    EXPECT_TRUE(SameXmlTree(doc.ToXml(), R"(<Document xmlns:dt="urn:tavrin:report-datatypes">
        <empty dt:dt="string"/>
        <label dt:dt="string">Газ сепарации</label>
        <name dt:dt="i4">-42</name>
        <name dt:dt="i4">7</name>
        <conc dt:dt="string">0</conc>
        <conc dt:dt="string">---</conc>
        <conc dt:dt="string">1.00</conc>
        <fill_data><name dt:dt="string">Метан</name></fill_data>
    </Document>)"));
}

TEST_F(XMLWrapperTest, markupInTextStaysText)
{
    const QString hostile = QStringLiteral("<b>&x</b> \"q\" ]]> <!-- c -->");
    doc.AddText(nullptr, "name", hostile);
    const QByteArray xml = doc.ToXml();
    EXPECT_FALSE(xml.contains("<b>"));
    const testsupport::XmlDoc parsed = testsupport::ParseXml(xml);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/name"), QStringList{hostile});
    EXPECT_EQ(testsupport::XPathCount(parsed.get(), "/Document/name/*"), 0);
}

TEST_F(XMLWrapperTest, charactersXmlCannotCarryBecomeReplacements)
{
    doc.AddText(nullptr, "name", QStringLiteral("a") + QChar(0x01) + QStringLiteral("b\tc") + QChar(0xFFFE)
                                     + QChar(0x1F) + QStringLiteral("\r\nd"));
    const testsupport::XmlDoc parsed = testsupport::ParseXml(doc.ToXml());
    ASSERT_TRUE(parsed) << doc.ToXml().toStdString();
    const QString replacement(QChar(0xFFFD));
    EXPECT_EQ(testsupport::XPathTexts(parsed.get(), "/Document/name").value(0),
              QStringLiteral("a") + replacement + QStringLiteral("b\tc") + replacement + replacement
                  + QStringLiteral("\r\nd"));
}

TEST_F(XMLWrapperTest, nullParentMeansTheRootInOrderOfAdding)
{
    xmlNodePtr first = doc.AddElement(nullptr, "files");
    xmlNodePtr second = doc.AddElement(nullptr, "mixtures");
    doc.AddElement(first, "fill_data");
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), "<Document><files><fill_data/></files><mixtures/></Document>"));
    EXPECT_EQ(first->parent, second->parent);
}

TEST(XMLWrapperWithoutDocumentTest, addingThrowsInsteadOfWritingNowhere)
{
    XMLWrapper doc;
    EXPECT_THROW(doc.AddElement(nullptr, "name"), std::logic_error);
    EXPECT_THROW(doc.AddText(nullptr, "name", QStringLiteral("x")), std::logic_error);
    EXPECT_TRUE(doc.ToXml().isEmpty());
}

TEST(XMLWrapperWithoutDocumentTest, secondInitStartsAnEmptyDocument)
{
    XMLWrapper doc;
    ASSERT_TRUE(doc.InitDocument());
    doc.AddText(nullptr, "name", QStringLiteral("x"));
    ASSERT_TRUE(doc.InitDocument());
    EXPECT_TRUE(SameXmlTree(doc.ToXml(), "<Document/>"));
}
