// The supplements of an RDF/XML load: the checks on what a supplement text
// carries, reading a supplement text under the load limits, merging a
// finished ontology into another, and the harvest limit of a whole load.
#include "parser/supplement.h"

#include <algorithm>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "core/axiom.h"
#include "core/entity_kind.h"
#include "map_test_support.h"
#include "parser/load.h"
#include "parser/rdfxml_supplements/checks.h"
#include "temp_tree.h"

namespace trelvanic_parser {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::ParseMeta;

std::string error_of(const Result<void>& r) { return r ? "" : r.error().message(); }

TEST(SupplementChecks, IrisAndBodies) {
  struct Case {
    std::string_view text;
    bool body;  // checked as a body, else as one IRI
    std::string_view error;
  };
  const Case cases[] = {
      {"http://ex.org/Foo_(bar)", false, ""},
      {"http://ex.org/a)b(c", false, ""},
      {"http://ex.org/a>b", false, "parse error: supplement IRI contains OWL functional metacharacters: http://ex.org/a>b"},
      {"http://ex.org/a b", false, "parse error: invalid IRI: "},  // the core check, before the metacharacters
      {"zzz:q", false, "parse error: invalid IRI: IRI scheme 'zzz' is not allowed"},
      {"SubClassOf(<http://ex.org/A> <http://ex.org/B_(x)>)", true, ""},
      {"SubClassOf(<http://ex.org/A> <http://ex.org/B", true, "parse error: unterminated IRI in supplement OFN body"},
      {"SubClassOf(owl:Thing owl:Nothing)", true, ""},
      {R"(DataPropertyAssertion(<http://ex.org/d> <http://ex.org/a> "1 < 2 \" <x"))", true, ""},
      {R"(DataPropertyAssertion(<http://ex.org/d> <http://ex.org/a> "open))", true,
       "parse error: unterminated literal in supplement OFN body"},
      {"ClassAssertion(<http://ex.org/A> <zzz:a>)", true, "parse error: invalid IRI: IRI scheme 'zzz' is not allowed"},
  };
  for (const Case& c : cases) {
    const std::string got = error_of(c.body ? validate_supplement_ofn_body(c.text) : validate_supplement_iri(c.text));
    if (c.error.empty()) {
      EXPECT_EQ(got, "") << c.text;
    } else {
      EXPECT_TRUE(got.starts_with(c.error)) << c.text << " gave " << got;
    }
  }
  // The first failing IRI of a list is the answer.
  EXPECT_EQ(error_of(validate_supplement_iris("http://ex.org/a", "http://ex.org/b>")),
            "parse error: supplement IRI contains OWL functional metacharacters: http://ex.org/b>");
  EXPECT_TRUE(error_of(validate_supplement_iris("zzz:a", "http://ex.org/b", "http://ex.org/c>")).find("zzz") !=
              std::string::npos);
}

TEST(SupplementText, SizeLimitHoldsBeforeReading) {
  const std::string text = "Ontology(<http://ex.org/s>\nDeclaration(Class(<http://ex.org/A>))\n)";
  LoadLimits limits;
  limits.max_file_bytes = text.size();
  auto exact = load_ofn_from_str_with_limits(text, limits);
  ASSERT_TRUE(exact) << exact.error().message();
  EXPECT_TRUE(exact->lookup_entity("http://ex.org/A"));
  limits.max_file_bytes = text.size() - 1;
  auto over = load_ofn_from_str_with_limits(text, limits);
  ASSERT_FALSE(over);
  EXPECT_EQ(over.error().message(),
            fmt::format("parse error: in-memory OFN size {} exceeds limit of {} bytes", text.size(), text.size() - 1));
}

TEST(SupplementText, AnonymousIndividualsAreNamedForTheirDocument) {
  const std::string text =
      "Ontology(<http://ex.org/s>\nDeclaration(Class(<http://ex.org/A>))\nClassAssertion(<http://ex.org/A> _:n1)\n)";
  for (uint32_t document : {0u, 3u}) {
    auto o = load_ofn_from_str_with_limits(text, LoadLimits{}, document);
    ASSERT_TRUE(o) << o.error().message();
    EXPECT_TRUE(o->lookup_entity(anonymous_individual_iri("n1", document))) << document;
  }
}

struct Merged {
  Ontology target;
  ParseMeta meta;
  std::string error;
};

// Target: A a class, d a data property, one subclass axiom. The source says
// `source_text` in functional syntax.
Merged merge_into_small_target(std::string_view source_body, bool strict) {
  Merged m;
  const auto a = *m.target.entity_id("http://ex.org/A", EntityKind::Class);
  const auto b = *m.target.entity_id("http://ex.org/B", EntityKind::Class);
  (void)*m.target.entity_id("http://ex.org/d", EntityKind::DataProperty);
  (void)*m.target.add_axiom(Axiom::sub_class_of(a, b));
  LoadLimits limits;
  limits.strict = strict;
  auto source = load_ofn_from_str_with_limits(
      fmt::format("Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/s>\n{}\n)", source_body), limits);
  if (!source) {
    m.error = source.error().message();
    return m;
  }
  m.error = error_of(merge_supplement_ontology(m.target, *source, m.meta, strict));
  return m;
}

TEST(SupplementMerge, PunsKindConflictsAndDuplicates) {
  // A class the supplement uses as an individual becomes the pun, and the
  // assertion is stored.
  Merged pun = merge_into_small_target(
      "Declaration(Class(:B)) Declaration(NamedIndividual(:A)) ClassAssertion(:B :A)", true);
  EXPECT_EQ(pun.error, "");
  EXPECT_EQ(pun.target.entities().kind(*pun.target.lookup_entity("http://ex.org/A")), EntityKind::ClassIndividual);
  EXPECT_EQ(pun.target.axiom_count(), 2u);

  // An axiom the target holds already is not stored again.
  Merged same = merge_into_small_target("Declaration(Class(:A)) Declaration(Class(:B)) SubClassOf(:A :B)", true);
  EXPECT_EQ(same.error, "");
  EXPECT_EQ(same.target.axiom_count(), 1u);

  // A data property used as an object property is no pun.
  const std::string clash =
      "Declaration(ObjectProperty(:d)) Declaration(Class(:A)) Declaration(Class(:C)) "
      "ObjectPropertyDomain(:d :A) SubClassOf(:C :A)";
  Merged strict = merge_into_small_target(clash, true);
  EXPECT_EQ(strict.error, "parse error: import entity kind conflict for http://ex.org/d: DataProperty vs ObjectProperty");
  Merged lenient = merge_into_small_target(clash, false);
  EXPECT_EQ(lenient.error, "");
  EXPECT_EQ(lenient.meta.warnings.front(),
            "import entity kind conflict for http://ex.org/d: DataProperty vs ObjectProperty");
  EXPECT_EQ(lenient.target.axiom_count(), 2u);  // the subclass axiom, not the domain over d
  EXPECT_EQ(lenient.meta.skipped_axiom_count, 1u);
}

// One statement of each older form.
constexpr std::string_view kOlderDocument = R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#"
         xmlns:owl="http://www.w3.org/2002/07/owl#">
  <owl:ObjectProperty rdf:about="http://ex.org/p">
    <rdf:type rdf:resource="http://www.w3.org/2002/07/owl#AntisymmetricProperty"/>
    <owl:disjointObjectProperties rdf:resource="http://ex.org/q"/>
  </owl:ObjectProperty>
  <owl:ObjectProperty rdf:about="http://ex.org/q"/>
  <owl:DatatypeProperty rdf:about="http://ex.org/d">
    <owl:disjointDataProperties rdf:resource="http://ex.org/e"/>
  </owl:DatatypeProperty>
  <owl:DatatypeProperty rdf:about="http://ex.org/e"/>
  <owl:Class rdf:about="http://ex.org/A"/>
  <owl:NamedIndividual rdf:about="http://ex.org/a"/>
  <owl:Class rdf:about="http://ex.org/B">
    <rdfs:subClassOf>
      <owl:Restriction>
        <owl:onProperty rdf:resource="http://ex.org/p"/>
        <owl:maxCardinality>1</owl:maxCardinality>
        <owl:onClass rdf:resource="http://ex.org/A"/>
      </owl:Restriction>
    </rdfs:subClassOf>
    <rdfs:subClassOf>
      <owl:SelfRestriction><owl:onProperty rdf:resource="http://ex.org/q"/></owl:SelfRestriction>
    </rdfs:subClassOf>
    <rdfs:subClassOf>
      <owl:DataRestriction>
        <owl:onProperty rdf:resource="http://ex.org/d"/>
        <owl:allValuesFrom>
          <owl:DataRange><owl:dataComplementOf rdf:resource="http://ex.org/Small"/></owl:DataRange>
        </owl:allValuesFrom>
      </owl:DataRestriction>
    </rdfs:subClassOf>
  </owl:Class>
  <owl:DataRange rdf:about="http://ex.org/Small">
    <owl:onDataRange>
      <owl:DataRange>
        <owl:onDataRange rdf:resource="http://www.w3.org/2001/XMLSchema#integer"/>
        <owl:minInclusive>0</owl:minInclusive>
      </owl:DataRange>
    </owl:onDataRange>
    <owl:maxExclusive>10</owl:maxExclusive>
  </owl:DataRange>
  <rdf:List>
    <rdf:first rdf:resource="http://ex.org/p"/>
    <rdf:rest rdf:parseType="Collection"><rdf:Description rdf:about="http://ex.org/p"/></rdf:rest>
    <rdfs:subPropertyOf rdf:resource="http://ex.org/p"/>
  </rdf:List>
  <owl:NegativeObjectPropertyAssertion>
    <rdf:subject rdf:resource="http://ex.org/a"/>
    <rdf:predicate rdf:resource="http://ex.org/p"/>
    <rdf:object rdf:resource="http://ex.org/a"/>
  </owl:NegativeObjectPropertyAssertion>
  <owl:NegativeDataPropertyAssertion>
    <rdf:subject rdf:resource="http://ex.org/a"/>
    <rdf:predicate rdf:resource="http://ex.org/d"/>
    <rdf:object xml:lang="en">x</rdf:object>
  </owl:NegativeDataPropertyAssertion>
</rdf:RDF>
)";

constexpr std::string_view kOlderDocumentOfn =
    "Prefix(:=<http://ex.org/>)\nPrefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\nOntology(\n"
    "Declaration(ObjectProperty(:p)) Declaration(ObjectProperty(:q)) Declaration(DataProperty(:d))\n"
    "Declaration(DataProperty(:e)) Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Datatype(:Small))\n"
    "Declaration(NamedIndividual(:a))\n"
    "AsymmetricObjectProperty(:p) DisjointObjectProperties(:p :q) DisjointDataProperties(:d :e)\n"
    "SubClassOf(:B ObjectMaxCardinality(1 :p :A)) SubClassOf(:B ObjectHasSelf(:q))\n"
    "SubClassOf(:B DataAllValuesFrom(:d DataComplementOf(:Small)))\n"
    "DatatypeDefinition(:Small DatatypeRestriction(xsd:integer xsd:maxExclusive \"10\" xsd:minInclusive \"0\"))\n"
    "SubObjectPropertyOf(ObjectPropertyChain(:p :p) :p)\n"
    "NegativeObjectPropertyAssertion(:p :a :a) NegativeDataPropertyAssertion(:d :a \"x\"@en)\n)\n";

constexpr uint64_t kRecoveredAxioms = 10;  // the data restriction's type alone adds none

TEST(SupplementDriver, HarvestLimitCountsRecoveredAxioms) {
  testing::TempTree tree;
  const std::string path = tree.write("older.owl", kOlderDocument);
  const std::string ofn_path = tree.write("older.ofn", kOlderDocumentOfn);
  for (bool strict : {true, false}) {
    LoadLimits limits = LoadLimits::with_mode(strict, false);
    limits.max_harvested_assertions = kRecoveredAxioms;
    auto fits = load_ontology_with_limits_and_base_inner(path, limits, std::nullopt, false);
    ASSERT_TRUE(fits) << fits.error().message();
    auto ofn = load_ontology_with_limits_and_base_inner(ofn_path, limits, std::nullopt, false);
    ASSERT_TRUE(ofn) << ofn.error().message();
    EXPECT_EQ(testing::told_axioms(*fits), testing::told_axioms(*ofn));
    auto sorted_dl = [](const Ontology& o) {
      auto v = testing::dl_axioms(o);
      std::sort(v.begin(), v.end());
      return v;
    };
    EXPECT_EQ(sorted_dl(*fits), sorted_dl(*ofn));
    EXPECT_EQ(fits->parse_meta()->mapped_axiom_count, ofn->parse_meta()->mapped_axiom_count);
    EXPECT_EQ(fits->parse_meta()->skipped_axiom_count, 0u);
    limits.max_harvested_assertions = kRecoveredAxioms - 1;
    auto over = load_ontology_with_limits_and_base_inner(path, limits, std::nullopt, false);
    ASSERT_FALSE(over);
    EXPECT_EQ(over.error().message(), fmt::format("parse error: harvested assertion count {} exceeds limit of {}",
                                                  kRecoveredAxioms, kRecoveredAxioms - 1));
  }
}

}  // namespace
}  // namespace trelvanic_parser
