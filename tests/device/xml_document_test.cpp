#include "app/core/files.h"
#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_tree.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::DescribeTree;
using testing::TempDir;

std::string Bytes(const std::filesystem::path& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, &bytes));
    return bytes;
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
}

// ---- Indexing -------------------------------------------------------------------------------

struct IndexCase {
    const char* name;
    const char16_t* text;
    bool wellFormed;
    const char* finding; // expected in the result log, or nullptr
};

void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.name; }

class IndexingTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexingTest, WellFormednessAndFindings) {
    const IndexCase& c = GetParam();
    XmlDocument doc;
    EXPECT_EQ(doc.SetText(c.text), c.wellFormed) << doc.ResultLog();
    if (c.finding) {
        EXPECT_NE(doc.ResultLog().find(c.finding), std::string::npos) << doc.ResultLog();
    }
    // Whatever the input, the links of the index must describe a tree inside the text.
    std::string tree = DescribeTree(doc);
    EXPECT_EQ(tree.find("BAD"), std::string::npos) << tree;
}

INSTANTIATE_TEST_SUITE_P(
    Xml, IndexingTest,
    ::testing::Values(
        IndexCase{"simple", u"<?xml version=\"1.0\"?>\r\n<a><b x=\"1\"/></a>\r\n", true, nullptr},
        IndexCase{"comments_pi_doctype_cdata",
                  u"<!DOCTYPE a [<!ELEMENT a ANY>]><!-- c --><?pi x?><a><![CDATA[<b>]]></a>", true, nullptr},
        IndexCase{"quoted_gt_in_attribute", u"<a x='1>2' y=\"<\"/>", true, nullptr},
        IndexCase{"unended_child", u"<a><b></a>", false, "unended_start_tag b"},
        IndexCase{"lone_end_tag", u"<a/></b>", false, "lone_end_tag b"},
        IndexCase{"two_roots", u"<a/><b/>", false, "root_has_sibling"},
        IndexCase{"no_root", u"<?xml version=\"1.0\"?>", false, "no_root_element"},
        IndexCase{"empty", u"", false, "no_root_element"},
        IndexCase{"unterminated_comment", u"<a><!-- open", false, "comment_tag_syntax"},
        IndexCase{"unterminated_cdata", u"<a><![CDATA[ open", false, "cdata_section_syntax"},
        IndexCase{"unterminated_doctype", u"<!DOCTYPE a [ <a/>", false, "ctype_tag_syntax"},
        IndexCase{"bad_exclamation", u"<!foo><a/>", false, "exclamation_tag_syntax"},
        IndexCase{"lt_then_space", u"<a>< b</a>", false, "first_tag_syntax"},
        IndexCase{"unterminated_start_tag", u"<a><b x=\"1\"", false, "unterminated_tag_syntax"},
        IndexCase{"start_tag_cut_by_tag", u"<a><b <c/></a>", false, "unterminated_tag_syntax"},
        IndexCase{"lone_lt_at_end", u"<a/><", false, "unterminated_tag_syntax"},
        IndexCase{"unended_root", u"<a><b/>", false, "unended_start_tag a"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(XmlDocument, UnendedChildIsIndexedInsideItsParent) {
    XmlDocument doc;
    doc.SetText(u"<a><b></a>");
    ASSERT_TRUE(doc.FindElement(u"a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"b"));
    const auto& b = doc.Elements()[doc.CurrentElement()];
    EXPECT_TRUE(b.flags & XmlDocument::kUnended);
    EXPECT_EQ(b.start, 3u);
    EXPECT_EQ(b.length, 3u); // ends where the end tag of a begins
}

TEST(XmlDocument, DeepNestingDoesNotRecurse) {
    std::u16string text;
    for (int i = 0; i < 200000; ++i) text += u"<a>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    EXPECT_LE(doc.ResultLog().size(), XmlDocument::kMaxLogLength);
}

// ---- Cursor and attributes ------------------------------------------------------------------

TEST(XmlDocument, CursorWalksOneLevelAtATime) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(u"<root><k id=\"1\"/><x/><k id=\"2\"><c/></k></root>"));
    EXPECT_FALSE(doc.EnterElement()); // nothing current at document level yet
    EXPECT_FALSE(doc.FindElement(u"k")); // k is not at document level
    ASSERT_TRUE(doc.FindElement(u"root"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"k"));
    EXPECT_EQ(doc.GetAttribute(u"id"), u"1");
    ASSERT_TRUE(doc.FindElement(u"k"));
    EXPECT_EQ(doc.GetAttribute(u"id"), u"2");
    const uint32_t second = doc.CurrentElement();
    EXPECT_FALSE(doc.FindElement(u"k")); // after the last match: false, cursor unchanged
    EXPECT_EQ(doc.CurrentElement(), second);
    EXPECT_EQ(doc.GetAttribute(u"id"), u"2");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"c"));
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.CurrentElement(), second);
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.TagName(doc.CurrentElement()), u"root");
    EXPECT_FALSE(doc.LeaveElement());
    EXPECT_FALSE(doc.FindElement(u"Root")); // names are case-sensitive
}

struct AttributeCase {
    const char16_t* tag;
    const char16_t* name;
    const char16_t* expected;
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << WideToUtf8(c.tag); }

class GetAttributeTest : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(GetAttributeTest, Decodes) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(GetParam().tag)) << doc.ResultLog();
    ASSERT_TRUE(doc.FindElement(u"e"));
    EXPECT_EQ(doc.GetAttribute(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Xml, GetAttributeTest,
    ::testing::Values(AttributeCase{u"<e a=\"1\"/>", u"b", u""},            // missing
                      AttributeCase{u"<e a='x y'/>", u"a", u"x y"},          // single quotes
                      AttributeCase{u"<e a=12 b=3></e>", u"a", u"12"},       // unquoted
                      AttributeCase{u"<e a=12/>", u"a", u"12"},              // unquoted before "/>"
                      AttributeCase{u"<e aa=\"1\" a=\"2\"/>", u"a", u"2"},    // no prefix match
                      AttributeCase{u"<e a = \"sp\" />", u"a", u"sp"},       // blanks around '='
                      AttributeCase{u"<e x= a=\"1\"/>", u"a", u"1"},         // x has no value
                      AttributeCase{u"<e \"a=2 \" a=\"1\"/>", u"a", u"1"},  // stray quoted run
                      AttributeCase{u"<e a=\"&#65;&#x42;&#x1F600;\"/>", u"a", u"AB\U0001F600"},
                      AttributeCase{u"<e a=\"&lt;&amp;&gt;&apos;&quot;\"/>", u"a", u"<&>'\""},
                      AttributeCase{u"<e a=\"&eacute;&Eacute;&EACUTE;&ndash;\"/>", u"a", u"\u00e9\u00c9\u00c9\u2013"},
                      AttributeCase{u"<e a=\"&#0;&bogus;&;&amp\"/>", u"a", u"&#0;&bogus;&;&amp"},
                      AttributeCase{u"<e a=\"&#xD800;&#1114112;\"/>", u"a", u"&#xD800;&#1114112;"},
                      AttributeCase{u"<e a=\"&amp;lt;\"/>", u"a", u"&lt;"}),
    [](const auto& row) { return "row" + std::to_string(row.index); });

TEST(XmlDocument, SetAttributeNeedsACurrentElement) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(u"<a/>"));
    EXPECT_FALSE(doc.SetAttribute(u"x", u"1"));
    EXPECT_EQ(doc.GetAttribute(u"x"), u"");
}

TEST(XmlDocument, SetAttributeReplacesAndAppendsKeepingTheIndex) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(u"<r><a x=\"1\" y='2'/><b>text</b></r>"));
    doc.FindElement(u"r");
    doc.EnterElement();
    doc.FindElement(u"a");
    ASSERT_TRUE(doc.SetAttribute(u"y", u"long value"));
    ASSERT_TRUE(doc.SetAttribute(u"z", u"new"));
    ASSERT_TRUE(doc.SetAttribute(u"x", u""));
    EXPECT_EQ(doc.Text(), u"<r><a x=\"\" y=\"long value\" z=\"new\"/><b>text</b></r>");
    XmlDocument fresh;
    ASSERT_TRUE(fresh.SetText(doc.Text()));
    EXPECT_EQ(DescribeTree(doc), DescribeTree(fresh));
    EXPECT_TRUE(doc.FindElement(u"b"));
}

// ---- Writing --------------------------------------------------------------------------------

TEST(XmlDocument, NewDocumentLayout) {
    XmlDocument doc;
    doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElement(u"profile"));
    doc.SetAttribute(u"name", u"P1");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"key"));
    doc.SetAttribute(u"code", u"4");
    ASSERT_TRUE(doc.AddElement(u"key"));
    doc.SetAttribute(u"code", u"5");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"event"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"macro")); // no current element: appended at the end of the level
    EXPECT_EQ(doc.Text(),
              u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              u"<profile name=\"P1\">\r\n"
              u"<key code=\"4\"/>\r\n"
              u"<key code=\"5\">\r\n"
              u"<event/>\r\n"
              u"</key>\r\n"
              u"<macro/>\r\n"
              u"</profile>\r\n");
    EXPECT_TRUE(doc.IsWellFormed());
    XmlDocument fresh;
    ASSERT_TRUE(fresh.SetText(doc.Text()));
    EXPECT_EQ(DescribeTree(doc), DescribeTree(fresh));
}

TEST(XmlDocument, AddElementBetweenSiblingsOfALoadedDocument) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(u"<r>\n<a/>\n<c/>\n</r>"));
    doc.FindElement(u"r");
    doc.EnterElement();
    doc.FindElement(u"a");
    ASSERT_TRUE(doc.AddElement(u"b"));
    EXPECT_EQ(doc.Text(), u"<r>\n<a/>\n<b/>\r\n<c/>\n</r>");
    ASSERT_TRUE(doc.FindElement(u"c")); // the sibling links follow the text order
    XmlDocument fresh;
    ASSERT_TRUE(fresh.SetText(doc.Text()));
    EXPECT_EQ(DescribeTree(doc), DescribeTree(fresh));
}

TEST(XmlDocument, AddElementOpensEmptyParentsOfEveryForm) {
    for (const char16_t* text : {u"<r/>", u"<r a='1' />", u"<r b=x//>"}) {
        XmlDocument doc;
        ASSERT_TRUE(doc.SetText(text));
        doc.FindElement(u"r");
        doc.EnterElement();
        ASSERT_TRUE(doc.AddElement(u"c"));
        XmlDocument fresh;
        ASSERT_TRUE(fresh.SetText(doc.Text())) << WideToUtf8(doc.Text());
        EXPECT_EQ(DescribeTree(doc), DescribeTree(fresh)) << WideToUtf8(doc.Text());
    }
}

TEST(XmlDocument, AddElementRejectsNamesThatWouldBreakTheMarkup) {
    XmlDocument doc;
    doc.SetText(u"<r/>");
    doc.FindElement(u"r");
    doc.EnterElement();
    for (const char16_t* bad : {u"", u"a b", u"a>", u"a/", u"<a"}) EXPECT_FALSE(doc.AddElement(bad)) << WideToUtf8(bad);
    EXPECT_FALSE(doc.SetAttribute(u"x y", u"1"));
    EXPECT_EQ(doc.Text(), u"<r/>");
}

TEST(XmlDocument, AttributeSurvivesSaveAndLoad) {
    TempDir dir;
    const std::u16string value = u"a&b<c>\"d' &amp; \u00f1 \U0001F600 100%";
    XmlDocument doc;
    doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(u"macro");
    doc.SetAttribute(u"name", value);
    ASSERT_TRUE(doc.SaveFile(dir / "m.xml"));

    const std::string bytes = Bytes(dir / "m.xml");
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u); // no byte-order mark
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    XmlDocument back;
    ASSERT_TRUE(back.LoadFile(dir / "m.xml")) << back.ResultLog();
    ASSERT_TRUE(back.FindElement(u"macro"));
    EXPECT_EQ(back.GetAttribute(u"name"), value);
}

// ---- Files and encodings ---------------------------------------------------------------------

struct EncodingCase {
    const char* name;
    std::string bytes;
};

std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string out;
    for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

const std::u16string kSample = u"<r n=\"Espa\u00f1a \u20ac\"/>";

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class EncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTest, LoadsToTheSameText) {
    TempDir dir;
    Write(dir / "f.xml", GetParam().bytes);
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir / "f.xml")) << doc.ResultLog();
    ASSERT_TRUE(doc.FindElement(u"r"));
    EXPECT_EQ(doc.GetAttribute(u"n"), u"Espa\u00f1a \u20ac");
}

INSTANTIATE_TEST_SUITE_P(
    Xml, EncodingTest,
    ::testing::Values(
        EncodingCase{"utf8_bom", "\xEF\xBB\xBF" + WideToUtf8(kSample)},
        EncodingCase{"utf8_declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + WideToUtf8(kSample)},
        EncodingCase{"utf8_undeclared", WideToUtf8(kSample)},
        EncodingCase{"utf16le_bom", "\xFF\xFE" + Utf16(kSample, false)},
        EncodingCase{"utf16be_bom", "\xFE\xFF" + Utf16(kSample, true)},
        EncodingCase{"cp1252_declared", "<?xml version='1.0' encoding='windows-1252'?><r n=\"Espa\xF1" "a \x80\"/>"},
        EncodingCase{"iso8859_15_lowercase", "<?xml encoding=\"iso-8859-15\"?><r n=\"Espa\xF1" "a \xA4\"/>"},
        EncodingCase{"ansi_when_not_utf8", " <r n=\"Espa\xF1" "a \x80\"/>"},
        EncodingCase{"nuls_removed", std::string("<r n=\"Espa\xC3\xB1\0a \xE2\x82\xAC\"/>", 21)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(XmlDocument, HtmlMetaCharsetDecidesTheEncoding) {
    TempDir dir;
    Write(dir / "f.xml", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=cp1252\"/></head>"
                         "<r n=\"\xF1\"/></html>");
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(dir / "f.xml")) << doc.ResultLog();
    doc.FindElement(u"html");
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(u"r"));
    EXPECT_EQ(doc.GetAttribute(u"n"), u"\u00f1");
}

TEST(XmlDocument, FailedLoadsReturnFalseAndLog) {
    TempDir dir;
    XmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(dir / "missing.xml"));
    EXPECT_NE(doc.ResultLog().find("file_error"), std::string::npos);
    EXPECT_FALSE(doc.LoadFile(dir.path())); // a folder
    Write(dir / "binary.xml", std::string("\x00\x01\xFF\xFE\x80<\x00>", 8) + std::string(5000, '\x9C'));
    EXPECT_FALSE(doc.LoadFile(dir / "binary.xml"));
    Write(dir / "cut.xml", "<r n=\"\xE2\x82");
    EXPECT_FALSE(doc.LoadFile(dir / "cut.xml"));
    EXPECT_NE(doc.ResultLog().find("truncation_error"), std::string::npos) << doc.ResultLog();
}

TEST(XmlDocument, SaveKeepsTheLoadedEncodingAndMark) {
    TempDir dir;
    Write(dir / "le.xml", "\xFF\xFE" + Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>", false));
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir / "le.xml"));
    doc.FindElement(u"r");
    doc.SetAttribute(u"v", u"\u00e9");
    ASSERT_TRUE(doc.SaveFile(dir / "out.xml"));
    EXPECT_EQ(Bytes(dir / "out.xml"),
              "\xFF\xFE" + Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r v=\"\u00e9\"/>", false));

    Write(dir / "latin.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r/>");
    ASSERT_TRUE(doc.LoadFile(dir / "latin.xml"));
    doc.FindElement(u"r");
    doc.SetAttribute(u"v", u"\u00e9\u20ac"); // the euro sign has no ISO-8859-1 form
    ASSERT_TRUE(doc.SaveFile(dir / "out.xml"));
    EXPECT_EQ(Bytes(dir / "out.xml"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r v=\"\xE9?\"/>");
    EXPECT_NE(doc.ResultLog().find("conversion_loss"), std::string::npos);
}

TEST(XmlDocument, FailedSaveLeavesTheOldFile) {
    TempDir dir;
    Write(dir / "keep.xml", "<old/>");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    XmlDocument doc;
    doc.SetText(u"<new/>");
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(doc.SaveFile(dir / "keep.xml"));
        EXPECT_EQ(Bytes(dir / "keep.xml"), "<old/>");
    }
    EXPECT_FALSE(doc.SaveFile(dir / "no" / "such" / "folder.xml"));
}

} // namespace
} // namespace vantrel
