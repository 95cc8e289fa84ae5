// What the mapping refuses: ill-founded lists, deep and cyclic
// expressions, triples it cannot translate. Each must end up in the
// incomplete-parse record, never loop or overflow the stack.
#include <gtest/gtest.h>

#include <string>

#include "owl/functional_writer.h"
#include "rdf/owl_mapping.h"

namespace trelvanic_rdf {
namespace {

const std::string kPrefixes =
    "@prefix : <http://e.org/> .\n"
    "@prefix owl: <http://www.w3.org/2002/07/owl#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    ":A a owl:Class . :B a owl:Class . :C a owl:Class .\n";

RdfOntology map_turtle(const std::string& body) {
  auto r = read_rdf_ontology(kPrefixes + body, RdfSyntax::Turtle);
  EXPECT_TRUE(r) << (r ? "" : r.error().message);
  return r ? std::move(*r) : RdfOntology{};
}

bool has_problem(const IncompleteParse& inc, const std::string& fragment) {
  for (const std::string& p : inc.problems) {
    if (p.find(fragment) != std::string::npos) return true;
  }
  return false;
}

TEST(OwlMappingProblemsTest, IllFoundedListsAreReportedNotFollowed) {
  struct Case {
    const char* name;
    const char* body;
    const char* problem;
  };
  const Case cases[] = {
      {"cycle", ":A owl:disjointUnionOf _:l1 . _:l1 rdf:first :B ; rdf:rest _:l2 .\n"
                "_:l2 rdf:first :C ; rdf:rest _:l1 .\n",
       "the list runs in a cycle"},
      {"self loop", ":A owl:disjointUnionOf _:l . _:l rdf:first :B ; rdf:rest _:l .\n",
       "the list runs in a cycle"},
      {"two rdf:first", ":A owl:disjointUnionOf _:l . _:l rdf:first :B , :C ; rdf:rest rdf:nil .\n",
       "more than one rdf:first"},
      {"two rdf:rest", ":A owl:disjointUnionOf _:l . _:l rdf:first :B ; rdf:rest rdf:nil , _:m .\n"
                       "_:m rdf:first :C ; rdf:rest rdf:nil .\n",
       "more than one rdf:rest"},
      {"no rdf:rest", ":A owl:disjointUnionOf _:l . _:l rdf:first :B .\n", "no rdf:rest"},
      {"IRI as list node", ":A owl:disjointUnionOf :B .\n", "list node is not a blank node"},
      {"literal as list", ":A owl:disjointUnionOf \"x\" .\n", "a literal is not a list"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RdfOntology r = map_turtle(c.body);
    EXPECT_TRUE(has_problem(r.incomplete, c.problem)) << ::testing::PrintToString(r.incomplete.problems);
    // The axiom triple itself is not translated.
    bool axiom_left = false;
    for (const std::string& t : r.incomplete.triples) {
      axiom_left = axiom_left || t.find("disjointUnionOf") != std::string::npos;
    }
    EXPECT_TRUE(axiom_left);
    for (const trelvanic_owl::Component& c : r.ontology.components()) {
      EXPECT_NE(r.ontology.kind(c.node), trelvanic_owl::Kind::DisjointUnion);
    }
  }
}

TEST(OwlMappingProblemsTest, DeepAndCyclicExpressionsAreRefused) {
  // complementOf nested far beyond the depth limit: refused, no overflow.
  std::string deep = ":A rdfs:subClassOf _:n0 .\n";
  const int depth = static_cast<int>(kMaxExpressionDepth) * 5;
  for (int i = 0; i < depth; ++i) {
    deep += "_:n" + std::to_string(i) + " owl:complementOf _:n" + std::to_string(i + 1) + " .\n";
  }
  deep += "_:n" + std::to_string(depth) + " owl:complementOf :B .\n";
  RdfOntology r = map_turtle(deep);
  EXPECT_TRUE(has_problem(r.incomplete, "nested deeper than"));

  // Nesting just inside the limit maps.
  std::string ok = ":A rdfs:subClassOf _:n0 .\n";
  for (int i = 0; i < 100; ++i) {
    ok += "_:n" + std::to_string(i) + " owl:complementOf _:n" + std::to_string(i + 1) + " .\n";
  }
  ok += "_:n100 owl:complementOf :B .\n";
  r = map_turtle(ok);
  EXPECT_TRUE(r.incomplete.empty()) << ::testing::PrintToString(r.incomplete.problems);

  r = map_turtle(":A rdfs:subClassOf _:x . _:x owl:complementOf _:y . _:y owl:complementOf _:x .\n");
  EXPECT_TRUE(has_problem(r.incomplete, "the expression contains itself"));

  // A long but well-founded list is fine.
  std::string list = ":A owl:disjointUnionOf ( ";
  for (int i = 0; i < 20000; ++i) list += ":c" + std::to_string(i) + " ";
  r = map_turtle(list + ") .\n");
  EXPECT_TRUE(r.incomplete.empty());
  EXPECT_EQ(r.ontology.component_count(), 4u);  // 3 declarations and the axiom; no header
}

TEST(OwlMappingProblemsTest, UntranslatableTriplesGoToTheIncompleteRecord) {
  const RdfOntology r = map_turtle(
      ":undeclared a rdf:Property .\n"
      ":A owl:unknown :B .\n"
      ":A rdfs:subClassOf [ a owl:Restriction ; owl:onProperty :p ; owl:someValuesFrom :B ;"
      " owl:allValuesFrom :C ] .\n"
      ":A rdfs:subClassOf [ a owl:Restriction ; owl:onProperty :p ;"
      " owl:minCardinality \"-1\" ] .\n"
      ":A rdfs:subClassOf :B .\n");
  // Two loose triples, then each refused restriction with its subclass triple.
  EXPECT_EQ(r.incomplete.triples.size(), 2u + 5u + 4u)
      << ::testing::PrintToString(r.incomplete.triples);
  EXPECT_TRUE(has_problem(r.incomplete, "exactly one kind of restriction"));
  EXPECT_TRUE(has_problem(r.incomplete, "non-negative integer"));
  bool found = false;
  for (const trelvanic_owl::Component& c : r.ontology.components()) {
    found = found || trelvanic_owl::write_component(r.ontology, c) ==
                         "SubClassOf(<http://e.org/A> <http://e.org/B>)";
  }
  EXPECT_TRUE(found);
}

TEST(OwlMappingProblemsTest, IncompleteRecordKeepsCountsBeyondItsTextLimit) {
  std::string body;
  for (std::size_t i = 0; i < kMaxIncompleteLines + 5; ++i) {
    body += ":s" + std::to_string(i) + " owl:unknown :o .\n";
  }
  const RdfOntology r = map_turtle(body);
  EXPECT_EQ(r.incomplete.triple_count, kMaxIncompleteLines + 5);
  EXPECT_EQ(r.incomplete.triples.size(), kMaxIncompleteLines);
  EXPECT_FALSE(r.incomplete.empty());
  // The notes for the loader keep as many texts and count the rest.
  EXPECT_EQ(r.ontology.source_notes().size(), trelvanic_owl::Ontology::kMaxSourceNotes);
  EXPECT_EQ(r.ontology.unnoted_lost_axioms(), kMaxIncompleteLines + 5 - trelvanic_owl::Ontology::kMaxSourceNotes);
}

TEST(OwlMappingProblemsTest, CardinalitiesReadAsNonNegativeIntegers) {
  struct Case {
    const char* literal;
    bool maps;
  };
  const Case cases[] = {{"\"2\"", true},   {"\" +2 \"", true}, {"\"007\"", true},
                        {"\"-1\"", false}, {"\"1.5\"", false}, {"\"\"", false},
                        {"\"4294967296\"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.literal);
    const RdfOntology r = map_turtle(std::string(":p a owl:ObjectProperty .\n"
                                                 ":A rdfs:subClassOf [ a owl:Restriction ;"
                                                 " owl:onProperty :p ; owl:maxCardinality ") +
                                     c.literal + " ] .\n");
    EXPECT_EQ(r.incomplete.empty(), c.maps);
  }
}

TEST(OwlMappingProblemsTest, AnonymousOntologyHeaderAndASecondHeader) {
  const RdfOntology r = map_turtle(
      "[] a owl:Ontology ; owl:imports <http://e.org/i> ; rdfs:comment \"c\" ;"
      " rdfs:subClassOf :A .\n"
      "<http://e.org/second> a owl:Ontology .\n");
  EXPECT_FALSE(r.ontology.ontology_iri());
  int imports = 0;
  for (const trelvanic_owl::Component& c : r.ontology.components()) {
    imports += r.ontology.kind(c.node) == trelvanic_owl::Kind::Import;
  }
  EXPECT_EQ(imports, 1);
  // The second header is reported; the subclass triple on the header node
  // is neither an annotation nor an axiom about a class.
  EXPECT_EQ(r.incomplete.triple_count, 2u) << ::testing::PrintToString(r.incomplete.triples);
}

TEST(OwlMappingProblemsTest, AnnotationsAndReificationAreDroppedSilently) {
  const RdfOntology r = map_turtle(
      "@prefix dc: <http://purl.org/dc/elements/1.1/> .\n"
      "dc:creator a owl:AnnotationProperty .\n"
      ":A rdfs:label \"a\" ; dc:creator \"me\" ; rdfs:subClassOf :B .\n"
      "[] a owl:Axiom ; owl:annotatedSource :A ; owl:annotatedProperty rdfs:subClassOf ;\n"
      "   owl:annotatedTarget :B ; rdfs:comment \"because\" .\n");
  EXPECT_TRUE(r.incomplete.empty()) << ::testing::PrintToString(r.incomplete.triples);
}

TEST(OwlMappingProblemsTest, RdfXmlCollectionsAndCardinalityFillers) {
  const char* doc = R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns:owl="http://www.w3.org/2002/07/owl#"
         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#"
         xml:base="http://e.org/">
  <owl:Ontology rdf:about="http://e.org/o"/>
  <owl:Class rdf:about="A">
    <owl:equivalentClass>
      <owl:Class>
        <owl:unionOf rdf:parseType="Collection">
          <owl:Class rdf:about="B"/>
          <owl:Restriction>
            <owl:onProperty><owl:ObjectProperty rdf:about="p"/></owl:onProperty>
            <owl:minCardinality rdf:datatype="http://www.w3.org/2001/XMLSchema#nonNegativeInteger">2</owl:minCardinality>
          </owl:Restriction>
        </owl:unionOf>
      </owl:Class>
    </owl:equivalentClass>
  </owl:Class>
</rdf:RDF>
)";
  auto r = read_rdf_ontology(doc, RdfSyntax::RdfXml);
  ASSERT_TRUE(r) << r.error().message;
  EXPECT_TRUE(r->incomplete.empty()) << ::testing::PrintToString(r->incomplete.triples);
  namespace owl = trelvanic_owl;
  const owl::Ontology& o = r->ontology;
  EXPECT_EQ(o.iri(o.ontology_iri()), "http://e.org/o");
  EXPECT_FALSE(o.version_iri());
  int equivalences = 0;
  for (const owl::Component& c : o.components()) {
    if (o.kind(c.node) != owl::Kind::EquivalentClasses) continue;
    ++equivalences;
    const owl::NodeId u = o.operand(c.node, 1);
    ASSERT_EQ(o.kind(u), owl::Kind::ObjectUnionOf);
    const owl::NodeId min = o.operand(u, 1);
    ASSERT_EQ(o.kind(min), owl::Kind::ObjectMinCardinality);
    EXPECT_EQ(o.cardinality(min), 2u);
    // The unqualified restriction got the model's default filler.
    EXPECT_TRUE(o.is_owl_thing(o.operand(min, 2)));
  }
  EXPECT_EQ(equivalences, 1);
  EXPECT_EQ(o.component_count(), 5u);  // id, B, p, A declarations, the axiom
}

}  // namespace
}  // namespace trelvanic_rdf
