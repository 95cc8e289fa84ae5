// The rdf:ID passes: repeated values keep every statement, invalid values
// are renamed with exactly the references that name them.
#include <gtest/gtest.h>

#include <string>

#include "parser/rdf_preprocess.h"

namespace trelvanic_parser {
namespace {

struct Case {
  std::string_view input, output;
};

TEST(RdfIdPasses, RepeatedIdsNameTheSameNodeWithoutRepeatingTheId) {
  const Case cases[] = {
      // No repeats: unchanged byte for byte.
      {R"(<rdf:RDF><owl:Class rdf:ID="A"/><owl:Class rdf:ID="B"/></rdf:RDF>)",
       R"(<rdf:RDF><owl:Class rdf:ID="A"/><owl:Class rdf:ID="B"/></rdf:RDF>)"},
      // A later node element keeps its content and names the same IRI.
      {"<rdf:RDF>\n  <owl:Class rdf:ID=\"A\"/>\n  <owl:Thing rdf:ID='A'>\n    <p rdf:resource=\"#B\"/>\n  </owl:Thing>\n</rdf:RDF>",
       "<rdf:RDF>\n  <owl:Class rdf:ID=\"A\"/>\n  <owl:Thing rdf:about='#A'>\n    <p rdf:resource=\"#B\"/>\n  </owl:Thing>\n</rdf:RDF>"},
      // Nested node elements inside property elements count as nodes.
      {R"(<rdf:RDF><C rdf:ID="A"><p><D rdf:ID="A"/></p></C></rdf:RDF>)",
       R"(<rdf:RDF><C rdf:ID="A"><p><D rdf:about="#A"/></p></C></rdf:RDF>)"},
      // On a property element the id only reifies: the statement stays.
      {R"(<rdf:RDF><C rdf:ID="s"><p rdf:ID="s" rdf:resource="#B"/><q rdf:parseType="Resource"><r rdf:ID="s">v</r></q></C></rdf:RDF>)",
       R"(<rdf:RDF><C rdf:ID="s"><p rdf:resource="#B"/><q rdf:parseType="Resource"><r>v</r></q></C></rdf:RDF>)"},
      // Under another xml:base the same value names another IRI: no repeat.
      // A nested base that resolves to the same document is the same IRI.
      {R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="A"/><D xml:base="http://x.org/p"><p><C rdf:ID="A"/></p></D>)"
       R"(<D xml:base="o#f"><p><C rdf:ID="A"/></p></D></rdf:RDF>)",
       R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="A"/><D xml:base="http://x.org/p"><p><C rdf:ID="A"/></p></D>)"
       R"(<D xml:base="o#f"><p><C rdf:about="#A"/></p></D></rdf:RDF>)"},
      // A base that takes the place of an earlier one is compared as written:
      // the property's reification under http://x.org/p stays.
      {R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="A"/><D xml:base="o#f" rdf:ID="B"/>)"
       R"(<E xml:base="http://x.org/p"><p rdf:ID="A">v</p></E></rdf:RDF>)",
       R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="A"/><D xml:base="o#f" rdf:ID="B"/>)"
       R"(<E xml:base="http://x.org/p"><p rdf:ID="A">v</p></E></rdf:RDF>)"},
      // Comments, literal XML and attribute text are not ids.
      {R"(<rdf:RDF><!-- <C rdf:ID="A"/> --><C rdf:ID="A"><p rdf:parseType="Literal"><C rdf:ID="A"/></p><q a='rdf:ID="A"'/></C></rdf:RDF>)",
       R"(<rdf:RDF><!-- <C rdf:ID="A"/> --><C rdf:ID="A"><p rdf:parseType="Literal"><C rdf:ID="A"/></p><q a='rdf:ID="A"'/></C></rdf:RDF>)"},
  };
  for (const Case& c : cases) EXPECT_EQ(dedupe_rdf_xml_ids(std::string(c.input)), c.output) << c.input;
}

TEST(RdfIdPasses, InvalidIdsAreRenamedWithTheirReferencesOnly) {
  const Case cases[] = {
      {R"(<rdf:RDF><C rdf:ID="A-1"/><C rdf:ID="_x.y"/></rdf:RDF>)", R"(<rdf:RDF><C rdf:ID="A-1"/><C rdf:ID="_x.y"/></rdf:RDF>)"},
      // A leading digit: the attribute and the exact references, in every form
      // that names the document base; never longer fragments, other
      // documents, literals or comments.
      {R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="1a"><p rdf:resource="#1a"/><p rdf:resource="#1ab"/>)"
       R"(<p rdf:resource="http://e.org/o#1a"/><p rdf:resource="o#1a"/><p rdf:resource="http://x.org/o#1a"/>)"
       R"(<p rdf:datatype="#1a">#1a</p><!-- #1a --></C></rdf:RDF>)",
       R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="_1a"><p rdf:resource="#_1a"/><p rdf:resource="#1ab"/>)"
       R"(<p rdf:resource="http://e.org/o#_1a"/><p rdf:resource="o#_1a"/><p rdf:resource="http://x.org/o#1a"/>)"
       R"(<p rdf:datatype="#_1a">#1a</p><!-- #1a --></C></rdf:RDF>)"},
      // Blanks and non-ASCII letters become one "_" each; single quotes too.
      {"<rdf:RDF><C rdf:ID='a b'/><C rdf:ID=\"\xC3\xA9t\xC3\xA9\"/><C rdf:about='#a b'/></rdf:RDF>",
       "<rdf:RDF><C rdf:ID='_a_b'/><C rdf:ID=\"__t_\"/><C rdf:about='#_a_b'/></rdf:RDF>"},
      // An empty id renames only the empty fragment reference.
      {R"(<rdf:RDF><C rdf:ID=""/><C rdf:about="#"/><C rdf:about="#B"/></rdf:RDF>)",
       R"(<rdf:RDF><C rdf:ID="_"/><C rdf:about="#_"/><C rdf:about="#B"/></rdf:RDF>)"},
      // A new name already taken by another id gets a further "_".
      {R"(<rdf:RDF><C rdf:ID="1"/><C rdf:ID="_1"/></rdf:RDF>)", R"(<rdf:RDF><C rdf:ID="_1_"/><C rdf:ID="_1"/></rdf:RDF>)"},
      // Nested xml:base: an id and a reference name the same IRI only under
      // the bases in scope where each stands.
      {R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="1a"/><D xml:base="http://x.org/p"><p rdf:resource="#1a"/>)"
       R"(<C rdf:ID="2b"/></D><E rdf:about="#1a"/><E rdf:about="http://x.org/p#2b"/><F rdf:about="#2b"/>)"
       R"(<G xml:base="sub/q"><p rdf:resource="../o#1a"/><p rdf:resource="#1a"/></G></rdf:RDF>)",
       R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="_1a"/><D xml:base="http://x.org/p"><p rdf:resource="#1a"/>)"
       R"(<C rdf:ID="_2b"/></D><E rdf:about="#_1a"/><E rdf:about="http://x.org/p#_2b"/><F rdf:about="#2b"/>)"
       R"(<G xml:base="sub/q"><p rdf:resource="../o#_1a"/><p rdf:resource="#1a"/></G></rdf:RDF>)"},
      // A reference written through an entity is read through it.
      {"<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\">]>\n"
       R"(<rdf:RDF xml:base="http://e.org/o#"><C rdf:ID="1a"/><C rdf:about="&o;1a"/><C rdf:about="&o;B"/></rdf:RDF>)",
       "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\">]>\n"
       R"(<rdf:RDF xml:base="http://e.org/o#"><C rdf:ID="_1a"/><C rdf:about="http://e.org/o#_1a"/><C rdf:about="&o;B"/></rdf:RDF>)"},
  };
  for (const Case& c : cases) {
    const std::string once = normalize_invalid_rdf_ids(std::string(c.input));
    EXPECT_EQ(once, c.output) << c.input;
    EXPECT_EQ(normalize_invalid_rdf_ids(once), once) << c.input;
  }
}

// Values written through entities are read within a budget. A pass that
// cannot read them all changes nothing (a partial renaming could leave a
// reference naming another IRI); the reader then judges the ids as written.
TEST(RdfIdPasses, ReadsThroughEntitiesStayWithinTheirBudget) {
  const std::string renaming =
      "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\">]>\n"
      R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="1a"/><C rdf:about="#1a"/><C rdf:about="&o;1a"/></rdf:RDF>)";
  EXPECT_EQ(normalize_invalid_rdf_ids(renaming, 1000),
            "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\">]>\n"
            R"(<rdf:RDF xml:base="http://e.org/o"><C rdf:ID="_1a"/><C rdf:about="#_1a"/><C rdf:about="http://e.org/o#_1a"/></rdf:RDF>)");
  EXPECT_EQ(normalize_invalid_rdf_ids(renaming, 10), renaming);

  // The bases of the two ids are read through an entity.
  const std::string repeating =
      "<!DOCTYPE rdf:RDF [<!ENTITY b \"http://e.org/o\">]>\n"
      R"(<rdf:RDF xml:base="&b;"><C rdf:ID="A"/><D xml:base="&b;"><p><C rdf:ID="A"/></p></D></rdf:RDF>)";
  bool invalid = false;
  EXPECT_EQ(dedupe_rdf_xml_ids(repeating, invalid, 1000),
            "<!DOCTYPE rdf:RDF [<!ENTITY b \"http://e.org/o\">]>\n"
            R"(<rdf:RDF xml:base="&b;"><C rdf:ID="A"/><D xml:base="&b;"><p><C rdf:about="#A"/></p></D></rdf:RDF>)");
  EXPECT_EQ(dedupe_rdf_xml_ids(repeating, invalid, 20), repeating);
}

}  // namespace
}  // namespace trelvanic_parser
