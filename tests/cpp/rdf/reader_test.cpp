#include "rdf/reader.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include <fmt/format.h>

#include "tests/cpp/owl/owl_test_support.h"

#include "rdf/vocab.h"

namespace trelvanic_rdf {
namespace {

// The graph's triples as sorted N-Triples lines, blank labels included.
std::set<std::string> lines(const Graph& g) {
  std::set<std::string> out;
  for (const TripleIds& t : g.triples()) {
    out.insert(g.terms().display(t.subject) + " " + g.terms().display(t.predicate) + " " +
               g.terms().display(t.object));
  }
  return out;
}

TEST(TurtleReaderTest, ExpandsPrefixesBaseAndLiterals) {
  const char* doc = R"(@base <http://e.org/dir/> .
@prefix : <http://e.org/ns#> .
@prefix x: <rel#> .
:a :p <b> , x:c ;
   :q "s" , "t"@EN , "1"^^<http://www.w3.org/2001/XMLSchema#integer> , 2 , "u"^^<http://www.w3.org/2001/XMLSchema#string> .
)";
  Graph g;
  auto r = read_rdf(doc, RdfSyntax::Turtle, g);
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_EQ(r->triples, 7u);
  const std::set<std::string> expected = {
      "<http://e.org/ns#a> <http://e.org/ns#p> <http://e.org/dir/b>",
      "<http://e.org/ns#a> <http://e.org/ns#p> <http://e.org/dir/rel#c>",
      "<http://e.org/ns#a> <http://e.org/ns#q> \"s\"",
      "<http://e.org/ns#a> <http://e.org/ns#q> \"t\"@en",
      "<http://e.org/ns#a> <http://e.org/ns#q> \"1\"^^<http://www.w3.org/2001/XMLSchema#integer>",
      "<http://e.org/ns#a> <http://e.org/ns#q> \"2\"^^<http://www.w3.org/2001/XMLSchema#integer>",
      "<http://e.org/ns#a> <http://e.org/ns#q> \"u\"",
  };
  EXPECT_EQ(lines(g), expected);
}

TEST(TurtleReaderTest, DocumentBlankLabelsNeverMeetGeneratedOnes) {
  // serd names anonymous nodes b1, b2, ...; a document label b1 must stay a
  // different node.
  const char* doc = R"(@prefix : <http://e.org/> .
_:b1 :p [ :q :r ] .
_:b1 :s ( :x ) .
)";
  Graph g;
  auto r = read_rdf(doc, RdfSyntax::Turtle, g);
  ASSERT_TRUE(r) << r.error().message;
  std::set<TermId> blanks;
  for (const TripleIds& t : g.triples()) {
    for (TermId id : {t.subject, t.object}) {
      if (g.terms().is_blank(id)) blanks.insert(id);
    }
  }
  EXPECT_EQ(blanks.size(), 3u);  // _:b1, the [] node, the list node
}

TEST(TurtleReaderTest, DuplicatesAreCountedOnce) {
  Graph g;
  auto r = read_rdf("<http://e.org/a> <http://e.org/p> <http://e.org/b> .\n"
                    "<http://e.org/a> <http://e.org/p> <http://e.org/b> .\n",
                    RdfSyntax::NTriples, g);
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_EQ(r->triples, 2u);
  EXPECT_EQ(r->duplicates, 1u);
  EXPECT_EQ(g.size(), 1u);
}

TEST(TurtleReaderTest, NestingIsBoundedButSiblingsAreNot) {
  auto nested = [](const std::string& open, const std::string& close, std::size_t depth) {
    std::string doc = "@prefix : <http://e.org/> .\n:a :p ";
    for (std::size_t i = 0; i < depth; ++i) doc += open;
    doc += ":b";
    for (std::size_t i = 0; i < depth; ++i) doc += close;
    return doc + " .\n";
  };
  for (const auto& [open, close] : {std::pair{"[ :p ", " ]"}, std::pair{"( ", " )"},
                                     std::pair{"( [ :p ", " ] )"}}) {
    SCOPED_TRACE(open);
    Graph ok;
    EXPECT_TRUE(read_rdf(nested(open, close, 300), RdfSyntax::Turtle, ok));
    // Far deeper than any stack could follow by recursion.
    Graph g;
    auto r = read_rdf(nested(open, close, 100000), RdfSyntax::Turtle, g);
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error().kind, ErrorKind::Limit);
    EXPECT_EQ(r.error().line, 2u);
    EXPECT_NE(r.error().message.find("nested deeper than 1000 levels"), std::string::npos);
  }
  // Many closed nodes side by side, and subjects that open two nodes at once.
  std::string wide = "@prefix : <http://e.org/> .\n:a :p ";
  for (int i = 0; i < 5000; ++i) {
    wide += std::string(i ? ", " : "") + "[ :q ( :x [ :r () ] ) ] , ( ( :y ) )";
  }
  wide += " .\n";
  for (int i = 0; i < 2000; ++i) wide += "( ( :s ) ) :p ( [ :q :z ] ) .\n[ :p ( :t ) ] :q :u .\n";
  Graph g;
  auto r = read_rdf(wide, RdfSyntax::Turtle, g);
  EXPECT_TRUE(r) << r.error().message;
}

TEST(RdfXmlReaderTest, ElementDepthIsBoundedBeforeParsing) {
  auto nested = [](std::size_t depth) {
    std::string doc =
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns:e=\"http://e.org/\">\n"
        "<!-- <e:p> in a comment --><rdf:Description rdf:about=\"http://e.org/a\">\n";
    for (std::size_t i = 0; i < depth; ++i) doc += "<e:p><rdf:Description e:a=\"1>2\"><e:x/>";
    doc += "<e:q>x</e:q>";
    for (std::size_t i = 0; i < depth; ++i) doc += "</rdf:Description></e:p>";
    return doc + "</rdf:Description></rdf:RDF>\n";
  };
  Graph ok;
  auto fine = read_rdf(nested(200), RdfSyntax::RdfXml, ok);
  EXPECT_TRUE(fine) << fine.error().message;
  Graph g;
  auto r = read_rdf(nested(100000), RdfSyntax::RdfXml, g);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::Limit);
  EXPECT_EQ(r.error().line, 3u);
  EXPECT_NE(r.error().message.find("elements nested deeper than 1000 levels"), std::string::npos);
}

struct BadInput {
  const char* name;
  RdfSyntax syntax;
  const char* text;
  std::uint32_t line;
  const char* fragment;  // part of the message
};

TEST(ReaderErrorTest, MalformedInputsReportPositions) {
  const BadInput cases[] = {
      {"missing dot", RdfSyntax::Turtle,
       "@prefix : <http://e.org/> .\n:a :b :c\n:d :e :f .\n", 3, "3:0: missing ';' or '.'"},
      {"undefined prefix", RdfSyntax::Turtle, "<http://e.org/a> <http://e.org/p>\n  nope:x .\n", 2,
       "undefined prefix in nope:x"},
      {"unterminated IRI", RdfSyntax::Turtle, "\n\n<http://e.org/a <http://e.org/p> 1 .\n", 3,
       "3:16: invalid IRI character"},
      {"relative IRI without base", RdfSyntax::Turtle, "<a> <http://e.org/p> <b> .\n", 1,
       "relative IRI <a> without a base IRI"},
      {"NUL byte", RdfSyntax::Turtle, "<http://e.org/a> <http://e.org/p>\n <x\0y> .", 2,
       "NUL byte"},
      {"prefixed name in N-Triples", RdfSyntax::NTriples, "<http://e.org/a> <http://e.org/p> :x .\n", 1,
       "doc:1:"},
      {"literal subject", RdfSyntax::NTriples, "\"x\" <http://e.org/p> <http://e.org/b> .\n", 1,
       "doc:1:"},
      {"unclosed element", RdfSyntax::RdfXml,
       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
       "<rdf:Description rdf:about=\"http://e.org/a\">\n</rdf:RDF>\n",
       3, "doc:3:0: XML parser error: Opening and ending tag mismatch"},
      {"bad attribute", RdfSyntax::RdfXml,
       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n\n"
       "<rdf:Description rdf:about=\"http://e.org/a\" x=/>\n</rdf:RDF>\n",
       3, "doc:3:"},
  };
  for (const BadInput& c : cases) {
    SCOPED_TRACE(c.name);
    Graph g;
    const std::string text = std::string(c.name) == "NUL byte"
                                 ? std::string(c.text, std::char_traits<char>::length(c.text) + 4)
                                 : std::string(c.text);
    auto r = read_rdf(text, c.syntax, g, ReadOptions{"", c.syntax == RdfSyntax::Turtle ? "" : "doc"});
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error().line, c.line) << r.error().message;
    EXPECT_NE(r.error().message.find(c.fragment), std::string::npos) << r.error().message;
  }
}

TEST(ReaderErrorTest, TextThatIsNotUtf8IsRefusedWithItsPosition) {
  // {} marks the bad bytes; the line and column are theirs.
  struct Place {
    RdfSyntax syntax;
    const char* text;
    std::uint32_t line;
    std::uint32_t column;
  };
  const char* rdf = "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns:e=\"http://e.org/\">\n";
  const Place places[] = {
      {RdfSyntax::Turtle, "@prefix : <http://x/{}> .\n", 1, 21},
      {RdfSyntax::Turtle, "@prefix : <http://x/> .\n:a :b \"caf\u00e9{}\" .\n", 2, 13},
      {RdfSyntax::Turtle, "@prefix : <http://x/> .\n:a{} :b :c .\n", 2, 3},
      {RdfSyntax::Turtle, "<http://x/a> <http://x/b> <http://x/c> . # {}\n", 1, 44},
      {RdfSyntax::NTriples, "<http://x/a> <http://x/b> <http://x/\u00e9{}> .\n", 1, 39},
      {RdfSyntax::RdfXml, "{}<e:A rdf:about=\"http://e.org/a{}\"/></rdf:RDF>\n", 2, 31},
      {RdfSyntax::RdfXml, "{}<rdf:Description><e:p>caf\u00e9 {}</e:p></rdf:Description></rdf:RDF>\n", 2, 29},
  };
  for (const trelvanic_owl::Utf8Sample& sample : trelvanic_owl::kBadUtf8) {
    for (const Place& place : places) {
      SCOPED_TRACE(std::string(sample.name) + " in " + place.text);
      std::string text = place.syntax == RdfSyntax::RdfXml
                             ? fmt::format(fmt::runtime(place.text), rdf, sample.bad)
                             : fmt::format(fmt::runtime(place.text), sample.bad);
      Graph g;
      auto r = read_rdf(text, place.syntax, g);
      ASSERT_FALSE(r.has_value());
      EXPECT_EQ(r.error().message,
                fmt::format("{}:{}: invalid UTF-8 sequence", place.line, place.column));
    }
  }
  // An escape must name a character: a surrogate code point is none.
  for (const char* escaped : {"\"\\uD800\"", "\"x\\udfff\"", "<http://x/\\uD83D>"}) {
    SCOPED_TRACE(escaped);
    Graph g;
    auto r = read_rdf(fmt::format("<http://x/a>\n  <http://x/b> {} .\n", escaped), RdfSyntax::Turtle, g);
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error().line, 2u) << r.error().message;
    EXPECT_NE(r.error().message.find("surrogate"), std::string::npos) << r.error().message;
  }
  Graph g;
  auto r = read_rdf("<http://x/a> <http://x/b> \"\\u00e9\\U0001F600\\uD7FF\" .\n", RdfSyntax::Turtle, g);
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_EQ(lines(g), std::set<std::string>{"<http://x/a> <http://x/b> \"\u00e9\U0001F600\ud7ff\""});
}

TEST(RdfXmlReaderTest, DocumentsThatEntitiesWouldBlowUpAreRefusedBeforeParsing) {
  std::string text = "<!DOCTYPE rdf:RDF [<!ENTITY e \"" + std::string(1000, 'a') +
                     "\">]>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                     "xmlns:e=\"http://e.org/\">\n";
  for (int i = 0; i < 20; ++i) text += "<e:C rdf:about=\"http://e.org/&e;" + std::to_string(i) + "\"/>\n";
  text += "</rdf:RDF>\n";
  ReadOptions options;
  options.max_expanded_bytes = text.size() + 20 * 1000;
  Graph g;
  auto r = read_rdf(text, RdfSyntax::RdfXml, g, options);
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_EQ(r->triples, 20u);
  options.max_expanded_bytes -= 1;
  Graph refused;
  r = read_rdf(text, RdfSyntax::RdfXml, refused, options);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::Limit);
  EXPECT_EQ(r.error().message, fmt::format("expanded RDF/XML size exceeds limit of {} bytes during entity expansion",
                                           options.max_expanded_bytes));
}

TEST(ReaderErrorTest, IrisBuiltFromALongNamespaceAreBounded) {
  const std::string ns = "http://x/" + std::string(8000, 'n') + "/";
  const std::string fits(8192 - ns.size(), 'a');
  const std::string over = fits + "a";
  // Turtle: a prefixed name or a relative reference that would build an
  // IRI past the limit is refused where it stands
  struct Case {
    std::string text;
    const char* message;  // empty: read
  };
  const Case turtle[] = {
      {"@prefix p: <" + ns + "> .\n<http://x/s> <http://x/p>\n p:" + fits + " .\n", ""},
      {"@prefix p: <" + ns + "> .\n<http://x/s> <http://x/p>\n p:" + over + " .\n",
       "expanded IRI exceeds maximum length of 8192 bytes"},
      {"@base <" + ns + "> .\n<http://x/s> <http://x/p>\n <" + over + "> .\n",
       "expanded IRI exceeds maximum length of 8192 bytes"},
      {"<http://x/s> <http://x/p>\n <" + ns + over + "> .\n", ""},
  };
  for (const Case& c : turtle) {
    Graph g;
    auto r = read_rdf(c.text, RdfSyntax::Turtle, g);
    if (*c.message == '\0') {
      EXPECT_TRUE(r) << r.error().message;
      continue;
    }
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error().kind, ErrorKind::Limit);
    EXPECT_EQ(r.error().line, 3u);
    EXPECT_NE(r.error().message.find(c.message), std::string::npos) << r.error().message;
  }
  // RDF/XML: the distinct long IRIs a document names may add up to its
  // own length; written out in full, they always do
  const std::string head = "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns:p=\"";
  std::string rdf = head + "http://x/\">\n";
  for (int i = 0; i < 10; ++i) {
    rdf += "<rdf:Description rdf:about=\"" + ns + over + "\"><p:a>v</p:a><p:b rdf:resource=\"" + ns + fits +
           "b\"/></rdf:Description>\n";
  }
  rdf += "</rdf:RDF>\n";
  Graph g;
  auto r = read_rdf(rdf, RdfSyntax::RdfXml, g);
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_EQ(r->triples, 20u);
  std::string many = head + ns + over + "\">\n";
  for (int i = 0; i < 100; ++i) {
    const std::string name = "p:a" + std::to_string(i);
    many += "<rdf:Description rdf:about=\"http://x/s\"><" + name + ">v</" + name + "></rdf:Description>\n";
  }
  many += "</rdf:RDF>\n";
  Graph refused;
  r = read_rdf(many, RdfSyntax::RdfXml, refused);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::Limit);
  EXPECT_NE(r.error().message.find("expanded IRI exceeds maximum length of 8192 bytes"), std::string::npos);
}

TEST(RdfXmlReaderTest, ExternalEntitiesAreNotLoaded) {
  // A declaration file beside the tests whose entity would carry its text
  // into the graph, reached as a general and as a parameter entity.
  const std::string dtd = std::string(TRELVANIC_TEST_DATA) + "/rdf/secret.dtd";
  const std::string head = "<?xml version=\"1.0\"?>\n<!DOCTYPE rdf:RDF [\n";
  const std::string body = "]>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                           "xmlns:e=\"http://e.org/\">\n<rdf:Description rdf:about=\"http://e.org/a\">"
                           "<e:p>[&secret;]</e:p></rdf:Description></rdf:RDF>\n";
  for (const std::string& subset : {"<!ENTITY % decls SYSTEM \"file://" + dtd + "\">\n%decls;\n",
                                    "<!ENTITY secret SYSTEM \"file://" + dtd + "\">\n"}) {
    SCOPED_TRACE(subset);
    Graph g;
    auto r = read_rdf(head + subset + body, RdfSyntax::RdfXml, g);
    if (r) {
      for (const std::string& line : lines(g)) EXPECT_EQ(line.find("s3cret"), std::string::npos) << line;
    }
  }
}

TEST(RdfXmlReaderTest, ReadsTriplesAndKeepsNodeIdsApartFromGeneratedOnes) {
  const char* doc = R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns:owl="http://www.w3.org/2002/07/owl#"
         xmlns:e="http://e.org/" xml:base="http://e.org/base">
  <owl:Class rdf:about="#A">
    <e:p rdf:nodeID="genid1"/>
    <e:q><rdf:Description><e:r xml:lang="EN">t</e:r></rdf:Description></e:q>
    <e:n rdf:datatype="http://www.w3.org/2001/XMLSchema#integer">5</e:n>
  </owl:Class>
</rdf:RDF>
)";
  Graph g;
  auto r = read_rdf(doc, RdfSyntax::RdfXml, g);
  ASSERT_TRUE(r) << r.error().message;
  const TermTable& t = g.terms();
  g.build_indexes();
  const TermId a = *t.find_iri("http://e.org/base#A");
  EXPECT_TRUE(g.contains(a, vocab::kRdfType, vocab::kOwlClass));
  const TermId p_obj = g.object(a, *t.find_iri("http://e.org/p"));
  const TermId q_obj = g.object(a, *t.find_iri("http://e.org/q"));
  ASSERT_TRUE(p_obj && q_obj);
  EXPECT_EQ(t.text(p_obj), "genid1");
  EXPECT_NE(p_obj, q_obj);
  EXPECT_EQ(t.text(q_obj).front(), '#');
  EXPECT_EQ(t.display(g.object(q_obj, *t.find_iri("http://e.org/r"))), "\"t\"@en");
  EXPECT_EQ(t.display(g.object(a, *t.find_iri("http://e.org/n"))),
            "\"5\"^^<http://www.w3.org/2001/XMLSchema#integer>");
}

}  // namespace
}  // namespace trelvanic_rdf
