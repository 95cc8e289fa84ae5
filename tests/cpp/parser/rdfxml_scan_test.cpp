// The scanning primitives: markup boundaries with quotes, comments, CDATA
// and DOCTYPE subsets, attribute reading and element ends.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "parser/rdfxml_passes/scan.h"

namespace trelvanic_parser::rdfxml {
namespace {

// The texts of every markup of a document, in order.
std::vector<std::string> markups(std::string_view text) {
  std::vector<std::string> out;
  for (auto m = next_markup(text, 0); m; m = next_markup(text, m->end)) {
    out.emplace_back(text.substr(m->begin, m->end - m->begin));
  }
  return out;
}

TEST(RdfXmlScan, MarkupEndsOutsideQuotesCommentsAndCData) {
  struct Case {
    std::string_view text;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {R"(<a x="1>2" y='">'>t</a>)", {R"(<a x="1>2" y='">'>)", "</a>"}},
      {"<a><!-- <b> -- > --><b/></a>", {"<a>", "<!-- <b> -- > -->", "<b/>", "</a>"}},
      {"<a><![CDATA[<b attr=\"]]><c/>", {"<a>", "<![CDATA[<b attr=\"]]>", "<c/>"}},
      {"<?xml version=\"1.0\"?><!DOCTYPE r [ <!ENTITY e \"a>b]\"> <!-- ' ] --> ]><r/>",
       {"<?xml version=\"1.0\"?>", "<!DOCTYPE r [ <!ENTITY e \"a>b]\"> <!-- ' ] --> ]>", "<r/>"}},
      // A markup that never ends is not returned, and nothing past it.
      {"<a><!-- open", {"<a>"}},
      {"<a x=\"open>", {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(markups(c.text), c.expected) << c.text;
}

// The searches compare sixteen bytes at a time: every start offset and
// every place of the match around those blocks, and the text's end.
TEST(RdfXmlScan, SearchesAgreeWithStringFind) {
  std::string text(70, '.');
  for (size_t i = 0; i < text.size(); i += 7) text[i] = 'r';  // first bytes without the rest
  for (const size_t at : {0, 14, 15, 16, 31, 33, 62, 64}) {
    std::string t = text;
    t.replace(at, 6, "rdf:ID");
    const std::string_view v = t;
    for (size_t pos = 0; pos <= v.size() + 1; ++pos) {
      for (const std::string_view needle : {"rdf:ID", "r", "D", "rd", "rdf:IDx", "", "..r"}) {
        EXPECT_EQ(find_text(v, pos, needle), v.find(needle, pos)) << at << " " << pos << " " << needle;
      }
      EXPECT_EQ(find_any(v, pos, 'I', ':', ':'), v.find_first_of(":I", pos)) << at << " " << pos;
      EXPECT_EQ(find_any(v, pos, 'x', 'y', 'D'), v.find_first_of("xyD", pos)) << at << " " << pos;
    }
  }
}

TEST(RdfXmlScan, MarkupKinds) {
  const std::string_view text = "<a><b/></a><!--c--><![CDATA[d]]><?e?><!DOCTYPE f>";
  std::vector<MarkupKind> kinds;
  for (auto m = next_markup(text, 0); m; m = next_markup(text, m->end)) kinds.push_back(m->kind);
  EXPECT_EQ(kinds, (std::vector{MarkupKind::StartTag, MarkupKind::EmptyTag, MarkupKind::EndTag, MarkupKind::Comment,
                                MarkupKind::CData, MarkupKind::Instruction, MarkupKind::Declaration}));
}

TEST(RdfXmlScan, ElementNames) {
  EXPECT_EQ(element_name(R"(<owl:Class rdf:about="#A">)"), "owl:Class");
  EXPECT_EQ(element_name("<owl:Thing/>"), "owl:Thing");
  EXPECT_EQ(element_name("</owl:Class >"), "owl:Class");
  EXPECT_EQ(element_name("<\n  rdf:RDF>"), "rdf:RDF");
  EXPECT_EQ(element_name("owl:Class>"), std::nullopt);
  EXPECT_EQ(element_name("<>"), std::nullopt);
}

TEST(RdfXmlScan, AttributesByExactName) {
  const std::string_view tag = R"(<p xrdf:about="no" rdf:about = 'a&amp;b' rdf:resource="x'y" title="rdf:ID=&quot;z">)";
  EXPECT_EQ(extract_attribute(tag, "rdf:about"), "a&amp;b");
  EXPECT_EQ(extract_attribute(tag, "xrdf:about"), "no");
  EXPECT_EQ(extract_attribute(tag, "rdf:resource"), "x'y");
  EXPECT_EQ(extract_attribute(tag, "about"), std::nullopt);
  EXPECT_EQ(extract_attribute(tag, "rdf:ID"), std::nullopt);  // only inside another value
  const auto attrs = tag_attributes(tag);
  ASSERT_EQ(attrs.size(), 4u);
  EXPECT_EQ(attrs[1].quote, '\'');
  EXPECT_EQ(tag.substr(attrs[1].value_begin, attrs[1].value.size()), "a&amp;b");
  EXPECT_TRUE(tag_attributes("</p>").empty());
}

TEST(RdfXmlScan, QuotedValues) {
  EXPECT_EQ(trim_xml_attr_value("  'a b' "), "a b");
  EXPECT_EQ(trim_xml_attr_value(R"("")"), "");
  EXPECT_EQ(trim_xml_attr_value(R"("a')"), std::nullopt);
  EXPECT_EQ(trim_xml_attr_value(R"(")"), std::nullopt);
  EXPECT_EQ(trim_xml_attr_value("a"), std::nullopt);
}

TEST(RdfXmlScan, RootTagSkipsPrologAndCommentsAndIgnoresLaterText) {
  const std::string text = "<?xml version=\"1.0\"?>\n<!-- <rdf:RDF x='1'> -->\n<rdf:RDF a=\">\">\n<x/></rdf:RDF>";
  const auto body = find_rdf_open_body_start(text);
  ASSERT_TRUE(body);
  EXPECT_EQ(text.substr(*body, 5), "\n<x/>");
  EXPECT_EQ(find_rdf_open_body_start("<owl:Ontology/><rdf:RDF>"), std::nullopt);
  EXPECT_EQ(find_rdf_open_body_start("<rdf:RDF/>"), std::nullopt);
}

TEST(RdfXmlScan, ElementEnds) {
  struct Case {
    std::string_view text;
    std::optional<std::string_view> rest;  // the text after the element
  };
  const Case cases[] = {
      {"<a>text</a>tail", "tail"},
      {"<a><a/><a>in</a></a >tail", "tail"},
      {"<a x='</a>'><!-- </a> --><![CDATA[</a>]]></a>tail", "tail"},
      {"<a/>tail", "tail"},
      {"</a>tail", "tail"},
      {"<a><b></b>", std::nullopt},
      {"<a>", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto end = find_element_end(c.text, 0);
    if (!c.rest) {
      EXPECT_EQ(end, std::nullopt) << c.text;
    } else {
      ASSERT_TRUE(end) << c.text;
      EXPECT_EQ(c.text.substr(*end), *c.rest) << c.text;
    }
  }
}

}  // namespace
}  // namespace trelvanic_parser::rdfxml
