#include "owl/owlxml_scan.h"

#include <string>
#include <vector>

#include <fmt/format.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "owl/owlxml_reader.h"
#include "tests/cpp/owl/owl_test_support.h"

namespace trelvanic_owl {
namespace {

// The events as text: "<name a=v ...>", "</>", "'text'".
class Recorder final : public PlainXmlSink {
 public:
  void on_start(std::string_view name, std::span<const PlainAttribute> attributes) override {
    std::string e = "<" + std::string(name);
    for (const PlainAttribute& a : attributes) e += fmt::format(" {}={}", a.name, a.value);
    events.push_back(e + ">");
  }
  void on_end() override { events.push_back("</>"); }
  void on_text(std::string_view text) override { events.push_back("'" + std::string(text) + "'"); }
  std::vector<std::string> events;
};

constexpr std::string_view kNs = "http://www.w3.org/2002/07/owl#";

PlainScan scan(std::string_view text, std::vector<std::string>* events = nullptr) {
  Recorder r;
  PlainScan result = scan_plain_xml(text, kNs, r);
  if (events != nullptr) *events = r.events;
  return result;
}

TEST(PlainXmlScan, ReportsElementsAttributesAndTextInOrder) {
  std::vector<std::string> events;
  ASSERT_EQ(scan("<?xml version='1.0' encoding=\"UTF-8\" standalone='yes' ?>\n<!-- a comment -->\n"
                 "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"\n xmlns:x = 'http://x/' xml:base=\"http://b/\">"
                 "<Class IRI='#A' /><Literal xml:lang=\"en\">caf\xc3\xa9 \"q\" > \xf0\x9f\x98\x80</Literal><!-- - -->"
                 "<Empty></Empty ></Ontology>\n<!-- after -->\n",
                 &events),
            PlainScan::Plain);
  EXPECT_THAT(events, testing::ElementsAre("<Ontology xml:base=http://b/>", "<Class IRI=#A>", "</>",
                                           "<Literal xml:lang=en>", "'caf\xc3\xa9 \"q\" > \xf0\x9f\x98\x80'", "</>",
                                           "<Empty>", "</>", "</>"));
}

// Documents a full XML parser must read: malformed ones, and those outside
// the plain subset. The scanner must give every one of them up.
TEST(PlainXmlScan, GivesUpOnAnythingButPlainWellFormedXml) {
  auto doc = [](std::string_view body) {
    return "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">" + std::string(body) + "</Ontology>";
  };
  std::string deep = doc("");
  for (uint32_t i = 0; i < kPlainMaxDepth; ++i) deep.insert(deep.size() - 11, "<A>");
  for (uint32_t i = 0; i < kPlainMaxDepth; ++i) deep.insert(deep.size() - 11, "</A>");
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"only a declaration", "<?xml version=\"1.0\"?>"},
      {"byte order mark", "\xEF\xBB\xBF" + doc("")},
      {"space before the declaration", " <?xml version=\"1.0\"?>" + doc("")},
      {"version 1.1", "<?xml version=\"1.1\"?>" + doc("")},
      {"other encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + doc("")},
      {"declaration out of order", "<?xml encoding=\"UTF-8\" version=\"1.0\"?>" + doc("")},
      {"processing instruction", "<?pi x?>" + doc("")},
      {"doctype", "<!DOCTYPE Ontology>" + doc("")},
      {"no default namespace", "<Ontology/>"},
      {"another default namespace", "<Ontology xmlns=\"http://x/\"/>"},
      {"namespace on an inner element", doc("<A xmlns=\"http://www.w3.org/2002/07/owl#\"/>")},
      {"empty prefix namespace", "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xmlns:p=\"\"/>"},
      {"prefixed element", "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xmlns:p=\"http://p/\"><p:A/></Ontology>"},
      {"prefixed attribute", "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xmlns:p=\"http://p/\"><A p:b=\"1\"/></Ontology>"},
      {"other xml attribute", doc("<A xml:space=\"preserve\"/>")},
      {"unclosed root", "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"><A/>"},
      {"mismatched end tag", doc("<A></B>")},
      {"end tag without start", doc("</A>")},
      {"second root", doc("") + "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"/>"},
      {"text after the root", doc("") + "x"},
      {"attribute without value", doc("<A b/>")},
      {"attribute without quotes", doc("<A b=1/>")},
      {"attributes without space", doc("<A b=\"1\"c=\"2\"/>")},
      {"duplicate attribute", doc("<A b=\"1\" b=\"2\"/>")},
      {"'<' in a value", doc("<A b=\"<\"/>")},
      {"tab in a value", doc("<A b=\"x\ty\"/>")},
      {"line feed in a value", doc("<A b=\"x\ny\"/>")},
      {"unterminated value", doc("<A b=\"x/>")},
      {"entity reference in text", doc("<A>&amp;</A>")},
      {"character reference in a value", doc("<A b=\"&#65;\"/>")},
      {"carriage return", doc("\r\n")},
      {"CDATA section", doc("<A><![CDATA[x]]></A>")},
      {"']]>' in text", doc("<A>]]></A>")},
      {"control character", doc("<A>\x01</A>")},
      {"NUL", std::string(doc("<A>")) + '\0' + "</A>"},
      {"U+FFFE", doc("<A>\xEF\xBF\xBE</A>")},
      {"'--' in a comment", doc("<!-- a -- b -->")},
      {"comment ending in '-'", doc("<!-- a --->")},
      {"unterminated comment", doc("<!-- a")},
      {"name starting with a digit", doc("<1A/>")},
      {"non-ASCII name", doc("<\xC3\xA9/>")},
      {"missing '>'", doc("<A/")},
      {"space in an end tag name", doc("<A></ A>")},
      {"too deep", deep},
  };
  for (const auto& [name, text] : cases) EXPECT_EQ(scan(text), PlainScan::NotPlain) << name;
  for (const Utf8Sample& sample : kBadUtf8) {
    for (const char* place : {"<A>{}</A>", "<A b=\"{}\"/>", "<!-- {} -->"}) {
      EXPECT_EQ(scan(doc(fmt::format(fmt::runtime(place), sample.bad))), PlainScan::NotPlain)
          << sample.name << " in " << place;
    }
  }
  EXPECT_EQ(scan(doc("<A b='\"' c=\"'\">x</A>")), PlainScan::Plain);
}

// The fixture is read through libxml2 (it declares entities); its twin with
// the entities replaced (and without its foreign element, which the reader
// skips) is plain, and must give the same ontology.
TEST(PlainXmlScan, PlainTwinOfTheFixtureReadsAlike) {
  const std::string fixture = read_test_data("fixture.owx");
  std::string twin = fixture;
  auto cut = [&](std::string_view from, std::string_view to) {
    const size_t at = twin.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    twin.erase(at, twin.find(to, at) + to.size() - at);
  };
  cut("<!DOCTYPE", "]>");
  cut("<rdfs:comment>", "</rdfs:comment>");
  const std::pair<std::string_view, std::string_view> replacements[] = {
      {"&fx;", "http://example.org/fixture#"},
      {"&xsd;", "http://www.w3.org/2001/XMLSchema#"},
      {"&#9;", "\t"},
      {"&#10;", "\n"}};
  for (const auto& [from, to] : replacements) {
    for (size_t at = twin.find(from); at != std::string::npos; at = twin.find(from, at)) twin.replace(at, from.size(), to);
  }
  ASSERT_EQ(scan(fixture), PlainScan::NotPlain);
  ASSERT_EQ(scan(twin), PlainScan::Plain);
  auto full = read_owlxml(fixture);
  ASSERT_TRUE(full.has_value()) << full.error().text();
  auto plain = read_owlxml(twin);
  ASSERT_TRUE(plain.has_value()) << plain.error().text();
  EXPECT_EQ(rendered(*plain), rendered(*full));
}

// Many IRIs, each written relative to the base and then in full: on the plain
// road the reader takes the hashes of the first from a scan ahead, and the two
// spellings must still be one IRI (one declaration each, not two).
TEST(PlainXmlScan, IrisSpelledTwoWaysAreOneIriOnThePlainRoad) {
  constexpr int kClasses = 600;
  for (const char* base : {"http://x/o", "http://x/o#frag", "http://x/dir/o?q"}) {
    std::string text = fmt::format("<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" "
                                   "xml:base=\"{}\">\n",
                                   base);
    const std::string_view stem = std::string_view(base).substr(0, std::string_view(base).find('#'));
    for (int i = 0; i < kClasses; ++i) text += fmt::format(" <Declaration><Class IRI=\" #C{} \"/></Declaration>\n", i);
    for (int i = kClasses; i-- > 0;) text += fmt::format(" <Declaration><Class IRI=\"{}#C{}\"/></Declaration>\n", stem, i);
    text += "</Ontology>\n";
    ASSERT_EQ(scan(text), PlainScan::Plain) << base;
    auto read = read_owlxml(text);
    ASSERT_TRUE(read.has_value()) << read.error().text();
    EXPECT_EQ(read->component_count(), static_cast<size_t>(kClasses)) << base;
    EXPECT_EQ(rendered(*read).front(), fmt::format("Declaration(Class(<{}#C0>))", stem)) << base;
  }
}

// Errors found on the plain road are reported by the full parser, with its
// positions.
TEST(PlainXmlScan, ErrorsOfPlainDocumentsKeepTheirPositions) {
  const std::string text =
      "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">\n"
      "<Declaration><Class IRI=\"http://x/A\"/></Declaration>\n\n<SubClassOf><Class IRI=\"http://x/A\"/>"
      "<Klass IRI=\"http://x/B\"/></SubClassOf>\n</Ontology>\n";
  ASSERT_EQ(scan(text), PlainScan::Plain);
  auto read = read_owlxml(text);
  ASSERT_FALSE(read.has_value());
  EXPECT_EQ(read.error().message(), "unknown element 'Klass'");
  EXPECT_EQ(read.error().line(), 5u);
}

}  // namespace
}  // namespace trelvanic_owl
