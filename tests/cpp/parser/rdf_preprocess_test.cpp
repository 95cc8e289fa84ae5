// The preprocessing chain as the loader runs it, and its root-tag pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "map_test_support.h"
#include "parser/load.h"
#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/entities.h"
#include "temp_tree.h"

namespace trelvanic_parser {
namespace {

TEST(RdfPreprocess, RootTagOnOneLine) {
  struct Case {
    std::string_view input, output;
  };
  const Case cases[] = {
      {"<a/>", "<a/>"},
      {"<rdf:RDF xmlns:a=\"x\">\n<a/>\n</rdf:RDF>", "<rdf:RDF xmlns:a=\"x\">\n<a/>\n</rdf:RDF>"},
      {"<?xml version=\"1.0\"?>\n<rdf:RDF\n  xmlns:a = \"x\"\t\n  xml:base=\"a  b>\n c\"\n>\n<a/>",
       "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:a = \"x\" xml:base=\"a  b>\n c\" >\n<a/>"},
      // The root comes after a comment that mentions it.
      {"<!-- <rdf:RDF> -->\n<rdf:RDF\n a='1'>", "<!-- <rdf:RDF> -->\n<rdf:RDF a='1'>"},
  };
  for (const Case& c : cases) {
    const std::string once = normalize_multiline_rdf_root_tag(std::string(c.input));
    EXPECT_EQ(once, c.output) << c.input;
    EXPECT_EQ(normalize_multiline_rdf_root_tag(once), once);
  }
}

TEST(RdfPreprocess, ChainRunsRdfIdPassesBeforeEntitiesAndHoldsTheBudget) {
  const std::string doc =
      "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\">]>\n"
      "<rdf:RDF\n xml:base=\"http://e.org/o\">\n"
      "<C rdf:ID=\"1\"/><C rdf:ID=\"1\"><p rdf:resource=\"&o;1\"/></C></rdf:RDF>";
  auto r = preprocess_rdf_xml_text(doc, 1 << 20, 1 << 20);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->text,
            "\n<rdf:RDF xml:base=\"http://e.org/o\">\n"
            "<C rdf:ID=\"_1\"/><C rdf:about=\"#_1\"><p rdf:resource=\"http://e.org/o#_1\"/></C></rdf:RDF>");

  // An input over the budget is refused before any pass.
  EXPECT_EQ(preprocess_rdf_xml_text(doc, 1 << 20, 10).error().message(),
            "parse error: RDF/XML preprocessing allocation " + std::to_string(doc.size()) +
                " bytes exceeds limit of 10 bytes");
  // Entity expansion within its own limit can still outgrow the budget.
  std::string big = "<!DOCTYPE r [<!ENTITY e \"" + std::string(1000, 'x') + "\">]><a>&e;&e;</a>";
  EXPECT_EQ(preprocess_rdf_xml_text(big, 1 << 20, 1500).error().message(),
            "parse error: RDF/XML preprocessing allocation 2007 bytes exceeds limit of 1500 bytes");
  // An entity error stops the chain with its own text.
  EXPECT_EQ(preprocess_rdf_xml_text(big, 1500, 1 << 20).error().message(),
            "parse error: expanded RDF/XML size exceeds limit of 1500 bytes during entity expansion");
}

// The chain rewrites repeated rdf:ID values while it expands entities; the
// text must be what the passes give one after the other.
TEST(RdfPreprocess, RepeatedIdsRewrittenDuringExpansionAsByThePassesInTurn) {
  const std::string dtd = "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\"><!ENTITY q 'a\"b'>]>\n";
  const std::string root = "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xml:base=\"&o;\">";
  std::string deep = "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\"><!ENTITY e0 \"x\">";
  for (int i = 1; i <= 33; ++i) deep += "<!ENTITY e" + std::to_string(i) + " \"&e" + std::to_string(i - 1) + ";\">";
  deep += "]>\n";
  // w8 stands for 16^8 bytes, past the reads' limit.
  std::string wide = "<!DOCTYPE rdf:RDF [<!ENTITY w0 \"http://e.org/o#\">";
  for (int i = 1; i <= 8; ++i) wide += "<!ENTITY w" + std::to_string(i) + " \"" + [&] {
    std::string v;
    for (int k = 0; k < 16; ++k) v += "&w" + std::to_string(i - 1) + ";";
    return v;
  }() + "\">";
  wide += "]>\n";
  const std::vector<std::string> docs = {
      // node and property repeats, entities in the same tags, both quotes
      dtd + root + "<C rdf:ID=\"x\" a=\"&o;\"/><C rdf:ID='x' b='&q;'><p rdf:ID=\"x\" rdf:resource=\"&o;y\"/></C></rdf:RDF>",
      // a repeat after a comment and CDATA holding look-alikes
      dtd + root + "<!-- <C rdf:ID=\"x\"/> --><C rdf:ID=\"x\"/><l><![CDATA[ rdf:ID=\"x\" ]]></l><D rdf:ID=\"x\">&o;</D></rdf:RDF>",
      // no entity declarations: the DOCTYPE goes with the rewrite
      "<!DOCTYPE rdf:RDF>\n" + root.substr(0, root.find(" xml:base")) + "><C rdf:ID=\"x\"/><C rdf:ID=\"x\"/></rdf:RDF>",
      // no DOCTYPE
      root.substr(0, root.find(" xml:base")) + "><C rdf:ID=\"x\"/><C\n  rdf:ID=\"x\"/></rdf:RDF>",
      // a repeated value that is not a name goes through the invalid-id pass
      dtd + root + "<C rdf:ID=\"1\"/><C rdf:ID=\"1\"/></rdf:RDF>",
      // an unterminated tag after the repeat
      dtd + root + "<C rdf:ID=\"x\"/><C rdf:ID=\"x\"/><D a=\"&o;",
      // a root tag over several lines is put on one line in the same copy
      dtd + "<rdf:RDF\n  xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"\n  xml:base=\"&o;\">"
            "<C rdf:ID=\"x\"/><C rdf:ID=\"x\"/></rdf:RDF>",
      // entity errors: a definition chain too deep, an xml:base too long to read
      deep + root + "<C rdf:ID=\"x\"/><C rdf:ID=\"x\"/></rdf:RDF>",
      wide + "<rdf:RDF xml:base=\"&w8;\"><C rdf:ID=\"x\"/><C rdf:ID=\"x\"/></rdf:RDF>",
  };
  for (const std::string& doc : docs) {
    SCOPED_TRACE(doc);
    bool invalid = false;
    std::string step = dedupe_rdf_xml_ids(normalize_multiline_rdf_root_tag(doc), invalid, 1 << 20);
    if (invalid) step = normalize_invalid_rdf_ids(std::move(step), 1 << 20);
    auto expected = expand_xml_entities_with_limit(std::move(step), 1 << 20);
    auto r = preprocess_rdf_xml_text(doc, 1 << 20, 1 << 20);
    if (!expected) {
      ASSERT_FALSE(r);
      EXPECT_EQ(r.error().message(), expected.error().message());
      continue;
    }
    ASSERT_TRUE(r) << r.error().message();
    EXPECT_EQ(r->text, normalize_rdfs_class_elements(*expected));
  }
}

// Edits that do not sit inside one tag are made before the expansion.
TEST(RdfPreprocess, EditsOutsideTagsMadeBeforeExpansion) {
  const std::string doc = "<!DOCTYPE r [<!ENTITY e \"E\">]><r a=\"&e;\">t&e;<s b=\"1\"/></r>";
  const size_t t = doc.find(">t") + 1;
  const size_t b = doc.find("b=");
  const size_t r_end = doc.find("\">t") + 2;
  using rdfxml::Edit;
  const std::vector<std::vector<Edit>> cases = {
      {{t, t + 1, "u&e;"}},                       // in text content
      {{b, b + 5, "c='&e;'"}},                    // inside a tag
      {{r_end - 1, r_end + 1, "/>"}},             // across a tag's end
      {{0, 2, "<!"}},                             // in the DOCTYPE
  };
  for (const auto& edits : cases) {
    auto want = expand_xml_entities_with_limit(rdfxml::apply_edits(doc, edits), 1 << 20);
    auto got = rdfxml::expand_xml_entities_after_edits(doc, edits, 1 << 20);
    ASSERT_TRUE(want && got);
    EXPECT_EQ(*got, *want);
  }
}

// An RDF/XML document with one list written cell by cell. A well-formed list
// maps; an ill-founded one costs the one axiom that uses it, with a warning,
// and the rest of the document (here C's subclass axiom) still loads. No
// load turns the ontology inconsistent over a list.
TEST(RdfPreprocess, IllFoundedListsCostOnlyTheAxiomThatUsesThem) {
  struct Case {
    const char* name;
    const char* cells;  // cells of the list headed by node "l1"
    std::vector<std::string> axioms;  // told and DL
    const char* warning;  // part of the one warning, or "" for none
  };
  const Case cases[] = {
      {"WellFormed",
       R"(<rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="http://ex.org/B"/><rdf:rest rdf:nodeID="l2"/></rdf:Description>
          <rdf:Description rdf:nodeID="l2"><rdf:first rdf:resource="http://ex.org/C"/><rdf:rest rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#nil"/></rdf:Description>)",
       {"EquivalentClasses(A And(B C))", "SubClassOf(C B)"}, ""},
      {"Cycle",
       R"(<rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="http://ex.org/B"/><rdf:rest rdf:nodeID="l2"/></rdf:Description>
          <rdf:Description rdf:nodeID="l2"><rdf:first rdf:resource="http://ex.org/C"/><rdf:rest rdf:nodeID="l1"/></rdf:Description>)",
       {"SubClassOf(C B)"}, "the list runs in a cycle"},
      {"TwoFirsts",
       R"(<rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="http://ex.org/B"/><rdf:first rdf:resource="http://ex.org/C"/>
          <rdf:rest rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#nil"/></rdf:Description>)",
       {"SubClassOf(C B)"}, "more than one rdf:first"},
      {"TwoRests",
       R"(<rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="http://ex.org/B"/><rdf:rest rdf:nodeID="l2"/>
          <rdf:rest rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#nil"/></rdf:Description>
          <rdf:Description rdf:nodeID="l2"><rdf:first rdf:resource="http://ex.org/C"/><rdf:rest rdf:resource="http://www.w3.org/1999/02/22-rdf-syntax-ns#nil"/></rdf:Description>)",
       {"SubClassOf(C B)"}, "more than one rdf:rest"},
      {"NoNilAtTheEnd",
       R"(<rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="http://ex.org/B"/><rdf:rest rdf:nodeID="l2"/></rdf:Description>
          <rdf:Description rdf:nodeID="l2"><rdf:first rdf:resource="http://ex.org/C"/></rdf:Description>)",
       {"SubClassOf(C B)"}, "no rdf:rest"},
      {"EndsInAnIri",
       R"(<rdf:Description rdf:nodeID="l1"><rdf:first rdf:resource="http://ex.org/B"/><rdf:rest rdf:resource="http://ex.org/D"/></rdf:Description>)",
       {"SubClassOf(C B)"}, "list node is not a blank node"},
  };
  testing::TempTree tree;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string doc = fmt::format(R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns:owl="http://www.w3.org/2002/07/owl#"
         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#">
  <owl:Ontology rdf:about="http://ex.org/o"/>
  <owl:Class rdf:about="http://ex.org/A"><owl:intersectionOf rdf:nodeID="l1"/></owl:Class>
  <owl:Class rdf:about="http://ex.org/B"/>
  <owl:Class rdf:about="http://ex.org/C"><rdfs:subClassOf rdf:resource="http://ex.org/B"/></owl:Class>
  {}
</rdf:RDF>
)",
                                        c.cells);
    auto pre = preprocess_rdf_xml_text(doc, 1 << 20, 1 << 20);
    ASSERT_TRUE(pre) << pre.error().message();
    EXPECT_FALSE(pre->ill_founded_list);
    auto o = load_ontology_lenient(tree.write(std::string(c.name) + ".rdf", doc));
    ASSERT_TRUE(o) << o.error().message();
    std::vector<std::string> got = testing::told_axioms(*o);
    std::ranges::copy(testing::dl_axioms(*o), std::back_inserter(got));
    std::ranges::sort(got);
    EXPECT_EQ(got, c.axioms);
    const auto& meta = *o->parse_meta();
    if (*c.warning == '\0') {
      EXPECT_TRUE(meta.warnings.empty()) << meta.warnings.front();
      EXPECT_EQ(meta.skipped_axiom_count, 0u);
    } else {
      ASSERT_FALSE(meta.warnings.empty());
      EXPECT_NE(meta.warnings.front().find(c.warning), std::string::npos) << meta.warnings.front();
      EXPECT_EQ(meta.skipped_axiom_count, 1u);
    }
  }
}

}  // namespace
}  // namespace trelvanic_parser
