// The RDF/XML reader against raptor2 (the reader it replaced): the same
// triples, blank nodes matched by their place in the graph, on documents
// that exercise each production of the RDF/XML grammar and on every RDF/XML
// file the project and the benchmark data hold.
#include "rdf/rdfxml_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "raptor_reference.h"
#include "rdf/reader.h"

namespace trelvanic_rdf {
namespace {

// The triples with every blank node named by a hash of its surroundings,
// refined until the partition of blank nodes stops growing: two graphs
// that differ only in blank node labels give the same sorted lines.
std::vector<std::string> canonical_lines(Graph& g) {
  const TermTable& t = g.terms();
  std::map<std::uint32_t, std::size_t> color;
  for (const TripleIds& tr : g.triples()) {
    for (const TermId id : {tr.subject, tr.object}) {
      if (t.is_blank(id)) color[id.value] = 0;
    }
  }
  auto label = [&](TermId id) {
    return t.is_blank(id) ? "_:c" + std::to_string(color[id.value]) : t.display(id);
  };
  std::size_t distinct = 1;
  for (int round = 0; round < 32; ++round) {
    std::map<std::uint32_t, std::vector<std::string>> around;
    for (const TripleIds& tr : g.triples()) {
      if (t.is_blank(tr.subject)) around[tr.subject.value].push_back("s " + label(tr.predicate) + " " + label(tr.object));
      if (t.is_blank(tr.object)) around[tr.object.value].push_back("o " + label(tr.subject) + " " + label(tr.predicate));
    }
    std::map<std::uint32_t, std::size_t> next;
    for (auto& [id, sig] : around) {
      std::sort(sig.begin(), sig.end());
      std::string joined = std::to_string(color[id]);
      for (const std::string& s : sig) joined += "|" + s;
      next[id] = std::hash<std::string>{}(joined);
    }
    color = std::move(next);
    std::vector<std::size_t> values;
    for (const auto& [id, c] : color) values.push_back(c);
    std::sort(values.begin(), values.end());
    const auto now = static_cast<std::size_t>(std::unique(values.begin(), values.end()) - values.begin());
    if (now == distinct && round > 0) break;
    distinct = now;
  }
  std::vector<std::string> out;
  for (const TripleIds& tr : g.triples()) {
    out.push_back(label(tr.subject) + " " + label(tr.predicate) + " " + label(tr.object));
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> diff(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

// Reads `text` with both readers and expects the same triples (or both to
// fail).
void expect_same_as_raptor(const std::string& text, const ReadOptions& options = {}) {
  Graph mine;
  Graph reference;
  auto r = read_rdf(text, RdfSyntax::RdfXml, mine, options);
  auto ref = testing::read_rdfxml_raptor(text, reference, options);
  ASSERT_EQ(r.has_value(), ref.has_value()) << (r ? "raptor: " + ref.error().message : "ours: " + r.error().message);
  if (!r) return;
  reference.build_indexes();
  const std::vector<std::string> a = canonical_lines(mine);
  const std::vector<std::string> b = canonical_lines(reference);
  for (const std::string& line : diff(a, b)) ADD_FAILURE() << "extra:   " << line;
  for (const std::string& line : diff(b, a)) ADD_FAILURE() << "missing: " << line;
  EXPECT_EQ(r->triples, ref->triples);
}

constexpr const char* kHead =
    "<?xml version=\"1.0\"?>\n"
    "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns:e=\"http://e.org/ns#\"\n"
    "         xmlns:f=\"http://f.org/\" xml:base=\"http://e.org/dir/doc\">\n";
constexpr const char* kTail = "</rdf:RDF>\n";

struct GrammarCase {
  const char* name;
  const char* body;  // between kHead and kTail
};

const GrammarCase kGrammarCases[] = {
    {"node elements: typed, about, ID, nodeID, anonymous",
     R"(<e:C rdf:about="http://e.org/a"/>
        <rdf:Description rdf:about="rel"><rdf:type rdf:resource="#T"/></rdf:Description>
        <e:C rdf:ID="named"/>
        <rdf:Description rdf:nodeID="n1"><e:p rdf:nodeID="n1"/></rdf:Description>
        <e:D><e:p>anonymous</e:p></e:D>
        <rdf:Description rdf:about=""><e:p rdf:resource=""/></rdf:Description>)"},
    {"property attributes, rdf:type attribute, languages",
     R"(<rdf:Description rdf:about="#a" e:p="one" rdf:type="#T" f:q="two">
          <e:r xml:lang="EN-gb">tagged<e:x/></e:r><e:s xml:lang="de">tagged</e:s>
          <e:t xml:lang="de"><e:U><e:w>inherited</e:w><e:w xml:lang="">reset</e:w></e:U></e:t>
        </rdf:Description>)"},
    {"property elements: literal, typed, empty, resource, nodeID, attributes",
     R"(<rdf:Description rdf:about="#a">
          <e:p>text &amp; more</e:p>
          <e:p rdf:datatype="http://www.w3.org/2001/XMLSchema#integer" xml:lang="en">7</e:p>
          <e:q/><e:q></e:q><e:q rdf:datatype="http://www.w3.org/2001/XMLSchema#string"/>
          <e:r rdf:resource="../other#x"/><e:r rdf:nodeID="b"/>
          <e:s e:name="x" rdf:type="http://e.org/ns#T"/>
          <e:s rdf:resource="#z" e:name="y"/>
          <e:t>  spaced  <!-- a comment -->text  </e:t>
          <e:u><![CDATA[<not markup>]]></e:u>
        </rdf:Description>)"},
    {"striping: node elements inside property elements",
     R"(<e:A rdf:about="#a"><e:p><e:B><e:q><rdf:Description rdf:about="#c"><e:r>deep</e:r>
        </rdf:Description></e:q></e:B></e:p></e:A>)"},
    {"parseType Resource, nested and reified",
     R"(<rdf:Description rdf:about="#a">
          <e:p rdf:parseType="Resource"><e:q>x</e:q>
            <e:r rdf:parseType="Resource" rdf:ID="st"><e:s rdf:resource="#b"/></e:r></e:p>
          <e:p rdf:parseType="Resource"/>
        </rdf:Description>)"},
    {"parseType Collection: empty, one, several, nested",
     R"(<rdf:Description rdf:about="#a">
          <e:p rdf:parseType="Collection"/>
          <e:p rdf:parseType="Collection"><rdf:Description rdf:about="#one"/></e:p>
          <e:q rdf:parseType="Collection"><e:C rdf:about="#x"/><rdf:Description><e:r
            rdf:parseType="Collection"><rdf:Description rdf:nodeID="k"/></e:r></rdf:Description>
            <e:D e:v="w"/></e:q>
          <e:s rdf:ID="listed" rdf:parseType="Collection"><rdf:Description rdf:about="#y"/></e:s>
        </rdf:Description>)"},
    {"parseType Literal",
     R"(<rdf:Description rdf:about="#a">
          <e:p rdf:parseType="Literal">plain text, no markup</e:p>
          <e:p rdf:parseType="Literal"><f:b f:at="1 &lt; 2">bold</f:b> &amp; <e:i>it</e:i></e:p>
          <e:q rdf:parseType="Literal" rdf:ID="lit"><g:x xmlns:g="http://g.org/"><g:y/></g:x></e:q>
          <e:r rdf:parseType="Literal"/>
        </rdf:Description>)"},
    {"rdf:li in containers and on descriptions",
     R"(<rdf:Seq rdf:about="#s"><rdf:li>one</rdf:li><rdf:li rdf:resource="#two"/>
          <rdf:li><rdf:Bag><rdf:li>inner</rdf:li></rdf:Bag></rdf:li><rdf:_7>seven</rdf:_7><rdf:li>four</rdf:li></rdf:Seq>
        <rdf:Description rdf:about="#d"><rdf:li>a</rdf:li></rdf:Description>)"},
    {"reification by rdf:ID on property elements",
     R"(<rdf:Description rdf:about="#a">
          <e:p rdf:ID="r1">lit</e:p><e:p rdf:ID="r2" rdf:resource="#b"/>
          <e:p rdf:ID="r3"><e:C rdf:about="#c"/></e:p>
          <e:p rdf:ID="r4" xml:lang="fr">texte</e:p>
          <e:p rdf:ID="r5" e:attr="v"/>
        </rdf:Description>)"},
    {"xml:base, nested and relative",
     R"(<rdf:Description rdf:about="a">
          <e:p xml:base="sub/" rdf:resource="b"/>
          <e:p rdf:resource="./c/../d"/>
          <e:q><rdf:Description xml:base="http://other.org/x/y#frag" rdf:about="z">
            <e:r rdf:resource=""/><e:r rdf:resource="#f"/><e:r rdf:resource="?k"/>
            <e:s rdf:ID="id1"/><e:t rdf:resource="//host/p"/><e:t rdf:resource="/abs"/>
            <e:u xml:base="../up/" rdf:resource="w"/>
          </rdf:Description></e:q>
        </rdf:Description>)"},
    {"default namespace and entity-like text",
     R"(<C xmlns="http://default.org/ns#" rdf:about="#dflt"><p>&lt;tag&gt; &#233;t&#xE9;</p></C>)"},
};

TEST(RdfXmlReaderTest, GrammarCasesGiveTheTriplesRaptorGives) {
  for (const GrammarCase& c : kGrammarCases) {
    SCOPED_TRACE(c.name);
    expect_same_as_raptor(std::string(kHead) + c.body + kTail);
  }
}

TEST(RdfXmlReaderTest, DocumentShapesGiveTheTriplesRaptorGives) {
  const std::string rdf_ns = "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"";
  const std::string docs[] = {
      // a node element as the document element
      "<e:C xmlns:e=\"http://e.org/\" " + rdf_ns + " rdf:about=\"http://e.org/a\"><e:p>v</e:p></e:C>",
      // entities declared in the DOCTYPE, in attribute values and in text
      "<!DOCTYPE rdf:RDF [<!ENTITY e \"http://e.org/\"><!ENTITY t \"text &amp; more\">]>\n"
      "<rdf:RDF " + rdf_ns + " xmlns:e=\"&e;\"><rdf:Description rdf:about=\"&e;a\"><e:p>&t;</e:p>"
      "</rdf:Description></rdf:RDF>",
      // no xml:base: relative references resolve against the default base
      "<rdf:RDF " + rdf_ns + " xmlns:e=\"http://e.org/\"><e:C rdf:about=\"#x\"/><e:C rdf:ID=\"y\"/>"
      "<e:C rdf:about=\"z\"/></rdf:RDF>",
      // an empty document element
      "<rdf:RDF " + rdf_ns + "/>",
  };
  for (const std::string& doc : docs) {
    SCOPED_TRACE(doc);
    expect_same_as_raptor(doc);
  }
  ReadOptions based;
  based.base_iri = "http://base.org/dir/file.owl";
  expect_same_as_raptor(docs[2], based);
}

// Where raptor2 strays from the RDF/XML grammar the reader follows the
// grammar: property attributes take the xml:lang in scope, and a base with
// a query keeps it for same-document references (RFC 3986).
TEST(RdfXmlReaderTest, LanguageOfPropertyAttributesAndQueriesOfBasesAreKept) {
  const std::string doc = std::string(kHead) +
                          R"(<rdf:Description rdf:about="#a" e:p="one" xml:lang="EN-gb">
          <e:t xml:lang="de"><rdf:Description rdf:about="#b" e:v="inner"/></e:t>
          <e:u><rdf:Description rdf:about="#c" e:v="none"/></e:u>
        </rdf:Description>
        <rdf:Description xml:base="http://o.org/x/y?q#frag" rdf:about=""><e:r rdf:resource="#f"/>
          <e:s rdf:ID="id"/></rdf:Description>)" + kTail;
  Graph g;
  auto r = read_rdf(doc, RdfSyntax::RdfXml, g);
  ASSERT_TRUE(r) << r.error().message;
  const std::vector<std::string> expected = {
      R"(<http://e.org/dir/doc#a> <http://e.org/ns#p> "one"@en-gb)",
      R"(<http://e.org/dir/doc#a> <http://e.org/ns#t> <http://e.org/dir/doc#b>)",
      R"(<http://e.org/dir/doc#a> <http://e.org/ns#u> <http://e.org/dir/doc#c>)",
      R"(<http://e.org/dir/doc#b> <http://e.org/ns#v> "inner"@de)",
      R"(<http://e.org/dir/doc#c> <http://e.org/ns#v> "none"@en-gb)",
      R"(<http://o.org/x/y?q#id> <http://www.w3.org/1999/02/22-rdf-syntax-ns#object> "")",
      R"(<http://o.org/x/y?q#id> <http://www.w3.org/1999/02/22-rdf-syntax-ns#predicate> <http://e.org/ns#s>)",
      R"(<http://o.org/x/y?q#id> <http://www.w3.org/1999/02/22-rdf-syntax-ns#subject> <http://o.org/x/y?q>)",
      R"(<http://o.org/x/y?q#id> <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> <http://www.w3.org/1999/02/22-rdf-syntax-ns#Statement>)",
      R"(<http://o.org/x/y?q> <http://e.org/ns#r> <http://o.org/x/y?q#f>)",
      R"(<http://o.org/x/y?q> <http://e.org/ns#s> "")",
  };
  EXPECT_EQ(canonical_lines(g), expected);
}

// Every RDF/XML file among the test data and the shared benchmark data
// (when it is there).
TEST(RdfXmlReaderTest, DataFilesGiveTheTriplesRaptorGives) {
  std::vector<std::filesystem::path> files;
  for (const std::string& dir : {std::string(TRELVANIC_TEST_DATA), std::string(TRELVANIC_SOURCE_DIR) + "/../shared/data",
                                std::string("/work/shared/data")}) {
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      const std::string ext = entry.path().extension().string();
      if (entry.is_regular_file() && (ext == ".rdf" || ext == ".owl")) files.push_back(entry.path());
    }
  }
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    std::stringstream buf;
    buf << in.rdbuf();
    const std::string text = buf.str();
    if (text.find("rdf:RDF") == std::string::npos) continue;
    ReadOptions options;
    options.base_iri = "file://" + std::filesystem::absolute(path).string();
    expect_same_as_raptor(text, options);
  }
}

}  // namespace
}  // namespace trelvanic_rdf
