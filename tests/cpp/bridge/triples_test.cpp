#include "bridge/triples.h"

#include <functional>
#include <map>
#include <optional>

#include <gtest/gtest.h>

#include "bridge/merge.h"
#include "core/dl.h"
#include "fixture.h"

namespace {

using namespace trelvanic_core;
using bridge_test::iri;
using bridge_test::Onto;
using trelvanic_bridge::TermTriple;
using trelvanic_materializer::Term;

constexpr const char* kRdfType = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type";
constexpr const char* kOwl = "http://www.w3.org/2002/07/owl#";
constexpr const char* kXsd = "http://www.w3.org/2001/XMLSchema#";

std::string owl(const char* local) { return std::string(kOwl) + local; }

TermTriple t3(const std::string& s, const std::string& p, const std::string& o) {
  return TermTriple{Term::iri(s), Term::iri(p), Term::iri(o)};
}

bool contains(const std::vector<TermTriple>& ts, const TermTriple& t) {
  return std::find(ts.begin(), ts.end(), t) != ts.end();
}

TEST(Triples, DeclarationsByKindAndNoneForPuns) {
  Onto x;
  x.cls("C");
  x.dprop("d");
  x.cls("P");
  x.ind("P");  // punned ClassIndividual
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts) << ts.error().message();
  EXPECT_EQ(*ts, (std::vector<TermTriple>{t3(iri("C"), kRdfType, owl("Class")),
                                          t3(iri("d"), kRdfType, owl("DatatypeProperty"))}));
}

// The export names the entity of each entity term it wrote, for a merge
// that skips the lookup by text: every such term looks its entity up again,
// a pun and an entity met only inside an axiom included; blank nodes,
// literals and vocabulary name none.
TEST(Triples, EntityTermsNameTheEntityTheirTextLooksUp) {
  Onto x;
  auto c = x.cls("C"), d = x.cls("D"), p = x.prop("p"), a = x.ind("a"), dp = x.dprop("dp");
  x.cls("P");
  auto pun = x.ind("P");
  x.add(Axiom::sub_class_of_existential(c, p, d));
  x.add(Axiom::class_assertion(a, c));
  x.add(Axiom::class_assertion(pun, d));
  x.add(Axiom::data_property_assertion(a, dp, DataLiteral{"1", "http://www.w3.org/2001/XMLSchema#integer"}));
  trelvanic_bridge::Dictionary dict;
  std::vector<trelvanic_bridge::Triple> out;
  auto summary = trelvanic_bridge::export_ontology(x.o, dict, out);
  ASSERT_TRUE(summary) << summary.error().message();
  const auto& known = summary->entity_of_term;
  auto named = [&](trelvanic_bridge::TermId t) -> std::optional<EntityId> {
    if (t.value >= known.size() || known[t.value] == 0) return std::nullopt;
    return EntityId(known[t.value] - 1);
  };
  for (EntityId e : {c, d, p, a, dp, pun}) {
    const auto term = dict.find_iri(*x.o.entity_iri(e));
    ASSERT_TRUE(term) << debug_text(e);
    EXPECT_EQ(named(term), std::optional(e)) << debug_text(e);
  }
  for (const auto& t : out)
    for (auto term : {t.subject, t.predicate, t.object}) {
      if (auto e = named(term)) {
        EXPECT_EQ(x.o.lookup_entity(dict.value(term)), e) << dict.value(term);
      } else {
        EXPECT_FALSE(dict.kind(term) == trelvanic_materializer::TermKind::Iri && x.o.lookup_entity(dict.value(term)))
            << dict.value(term);
      }
    }
}

TEST(Triples, ListAxiomsGiveOneTriplePerPairInOrder) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
  x.add(Axiom::equivalent_classes({c, a, b}));
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts);
  const std::vector<TermTriple> tail(ts->end() - 3, ts->end());
  const std::string eq = owl("equivalentClass");
  EXPECT_EQ(tail, (std::vector<TermTriple>{t3(iri("A"), eq, iri("B")), t3(iri("A"), eq, iri("C")),
                                           t3(iri("B"), eq, iri("C"))}));
}

// Each literal keeps its own datatype, in runs of one datatype and where
// datatypes alternate.
TEST(Triples, DataLiteralsSimpleForXsdStringTypedOtherwise) {
  const std::string str = std::string(kXsd) + "string", integer = std::string(kXsd) + "integer";
  const std::string lang = "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString";
  const std::pair<const char*, std::string> literals[] = {
      {"a", str}, {"b", lang}, {"1", integer}, {"2", integer}, {"c", str}, {"3", integer}, {"d", lang},
  };
  Onto x;
  auto i = x.ind("i");
  auto d = x.dprop("d");
  for (const auto& [lexical, datatype] : literals)
    x.add(Axiom::data_property_assertion(i, d, DataLiteral{lexical, datatype}));
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts);
  for (const auto& [lexical, datatype] : literals) {
    const Term value = datatype == str ? Term::literal(lexical) : Term::literal(lexical, datatype);
    EXPECT_TRUE(contains(*ts, TermTriple{Term::iri(iri("i")), Term::iri(iri("d")), value})) << lexical;
  }
}

TEST(Triples, InferredAndRemovedAxiomsAreNotExported) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
  auto removed = x.add(Axiom::sub_class_of(a, b));
  ASSERT_TRUE(x.o.remove_axiom(removed));
  ASSERT_TRUE(x.o.add_inferred_axiom(Axiom::sub_class_of(b, c)));
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts);
  EXPECT_EQ(ts->size(), 3u);  // the three declarations
  const AxiomId ids[] = {removed};
  auto err = trelvanic_bridge::core_to_triples_for_axioms(x.o, ids);
  ASSERT_FALSE(err);
  EXPECT_EQ(err.error().message(), fmt::format("invalid axiom: removed AxiomId: {}", removed.value));
}

TEST(Triples, ForAxiomsDeclaresIndividualsButNotDataProperties) {
  Onto x;
  auto i = x.ind("i");
  auto d = x.dprop("d");
  const AxiomId ids[] = {x.add(Axiom::data_property_assertion(i, d, DataLiteral{"1", std::string(kXsd) + "int"}))};
  auto ts = trelvanic_bridge::core_to_triples_for_axioms(x.o, ids);
  ASSERT_TRUE(ts);
  ASSERT_EQ(ts->size(), 2u);
  EXPECT_EQ((*ts)[0].o, Term::literal("1", std::string(kXsd) + "int"));
  EXPECT_EQ((*ts)[1], t3(iri("i"), kRdfType, owl("NamedIndividual")));
}

TEST(Triples, ExistentialGoesThroughItsOwnRestrictionNode) {
  Onto x;
  std::vector<EntityId> ids;
  for (int k = 0; k < 10; ++k) ids.push_back(x.cls("C" + std::to_string(k)));
  x.o.set_entity_kind(ids[7], EntityKind::ObjectProperty).value();
  const Axiom ax = Axiom::sub_class_of_existential(ids[3], ids[7], ids[9]);
  auto ts = trelvanic_bridge::axiom_to_triples(x.o, ax.view());
  ASSERT_TRUE(ts);
  const Term node = Term::blank("rest_3_7_9");
  ASSERT_EQ(ts->size(), 4u);
  EXPECT_EQ((*ts)[0], (TermTriple{Term::iri(iri("C3")), Term::iri("http://www.w3.org/2000/01/rdf-schema#subClassOf"), node}));
  EXPECT_EQ((*ts)[1], (TermTriple{node, Term::iri(kRdfType), Term::iri(owl("Restriction"))}));
  EXPECT_EQ((*ts)[2], (TermTriple{node, Term::iri(owl("onProperty")), Term::iri(iri("C7"))}));
  EXPECT_EQ((*ts)[3], (TermTriple{node, Term::iri(owl("someValuesFrom")), Term::iri(iri("C9"))}));
  auto key = trelvanic_bridge::axiom_triple_key(x.o, ax.view());
  ASSERT_TRUE(key && *key);
  EXPECT_EQ(**key, (std::array<std::string, 3>{iri("C3"), owl("onProperty"), iri("C7") + "|" + iri("C9")}));
}

TEST(Triples, KeysOfListsUseTheFirstTwoOperands) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
  auto k3 = trelvanic_bridge::axiom_triple_key(x.o, Axiom::equivalent_classes({a, b, c}).view());
  auto k2 = trelvanic_bridge::axiom_triple_key(x.o, Axiom::equivalent_classes({a, b}).view());
  ASSERT_TRUE(k3 && k2);
  EXPECT_EQ(*k3, *k2);
  auto k1 = trelvanic_bridge::axiom_triple_key(x.o, Axiom::equivalent_classes({a}).view());
  ASSERT_TRUE(k1);
  EXPECT_FALSE(k1->has_value());
  EXPECT_TRUE(trelvanic_bridge::axiom_entity_key(Axiom::sub_class_of(a, b).view()));
  EXPECT_NE(trelvanic_bridge::axiom_entity_key(Axiom::sub_class_of(a, b).view()),
            trelvanic_bridge::axiom_entity_key(Axiom::sub_class_of(b, a).view()));
  EXPECT_FALSE(trelvanic_bridge::axiom_entity_key(Axiom::equivalent_classes({a, b}).view()));
}

// Negative assertions reach the rule engine as owl:NegativePropertyAssertion
// nodes instead of failing the whole export.
TEST(Triples, NegativeAssertionsAreExported) {
  Onto x;
  auto a = x.ind("a"), b = x.ind("b");
  auto p = x.prop("p");
  auto d = x.dprop("d");
  x.add(Axiom::negative_object_property_assertion(a, p, b));
  x.add(Axiom::negative_data_property_assertion(a, d, DataLiteral{"5", std::string(kXsd) + "int"}));
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts) << ts.error().message();
  int sources = 0;
  for (const auto& t : *ts) sources += t.p == Term::iri(owl("sourceIndividual"));
  EXPECT_EQ(sources, 2);
  EXPECT_TRUE(contains(*ts, TermTriple{Term::blank(fmt::format("npa_{}_{}_{}", a.value, p.value, b.value)),
                                       Term::iri(owl("targetIndividual")), Term::iri(iri("b"))}));
}

struct DlCase {
  const char* name;
  // Builds one DL axiom; returns whether it is inside OWL 2 RL.
  bool (*build)(Onto&);
  const char* predicate;  // a predicate its triples must use
};

const DlCase kDlCases[] = {
    {"disjoint properties",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::entity_list(DlAxiomKind::DisjointObjectProperties, {x.prop("p"), x.prop("q")}));
       return true;
     },
     "propertyDisjointWith"},
    {"negative assertion",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::negative_object_property_assertion(x.ind("a"), x.prop("p"), x.ind("b")));
       return true;
     },
     "targetIndividual"},
    {"transitive inverse",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::role_characteristic(DlAxiomKind::TransitiveObjectProperty,
                                                            RoleExpr::inverse(x.prop("p"))));
       return true;
     },
     "TransitiveProperty"},
    {"symmetric inverse",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::role_characteristic(DlAxiomKind::SymmetricObjectProperty,
                                                            RoleExpr::inverse(x.prop("p"))));
       return true;
     },
     "SymmetricProperty"},
    {"inverse functional in the DL store",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::inverse_functional_object_property(x.prop("p")));
       return true;
     },
     "InverseFunctionalProperty"},
    {"irreflexive in the DL store",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::irreflexive_object_property(x.prop("p")));
       return true;
     },
     "IrreflexiveProperty"},
    {"property chain",
     [](Onto& x) {
       x.o.dl_mut().push_axiom(DlAxiom::sub_object_property_chain(
           {RoleExpr::atomic(x.prop("p")), RoleExpr::atomic(x.prop("q"))}, RoleExpr::atomic(x.prop("r"))));
       return true;
     },
     "propertyChainAxiom"},
    {"union on the left",
     [](Onto& x) {
       auto& dl = x.o.dl_mut();
       auto a = dl.intern_ce(ClassExpr::atomic(x.cls("A")));
       auto b = dl.intern_ce(ClassExpr::atomic(x.cls("B")));
       auto c = dl.intern_ce(ClassExpr::atomic(x.cls("C")));
       dl.push_axiom(DlAxiom::sub_class_of(dl.intern_ce(ClassExpr::or_of({a, b})), c));
       return true;
     },
     "unionOf"},
    {"universal on the right",
     [](Onto& x) {
       auto& dl = x.o.dl_mut();
       auto a = dl.intern_ce(ClassExpr::atomic(x.cls("A")));
       auto b = dl.intern_ce(ClassExpr::atomic(x.cls("B")));
       dl.push_axiom(DlAxiom::sub_class_of(a, dl.intern_ce(ClassExpr::all(RoleExpr::atomic(x.prop("p")), b))));
       return true;
     },
     "allValuesFrom"},
    {"union on the right is outside RL",
     [](Onto& x) {
       auto& dl = x.o.dl_mut();
       auto a = dl.intern_ce(ClassExpr::atomic(x.cls("A")));
       auto b = dl.intern_ce(ClassExpr::atomic(x.cls("B")));
       auto c = dl.intern_ce(ClassExpr::atomic(x.cls("C")));
       dl.push_axiom(DlAxiom::sub_class_of(a, dl.intern_ce(ClassExpr::or_of({b, c}))));
       return false;
     },
     "unionOf"},
    {"min cardinality is outside RL",
     [](Onto& x) {
       auto& dl = x.o.dl_mut();
       auto a = dl.intern_ce(ClassExpr::atomic(x.cls("A")));
       dl.push_axiom(DlAxiom::sub_class_of(
           a, dl.intern_ce(ClassExpr::cardinality(CeKind::MinCardinality, 2, RoleExpr::atomic(x.prop("p")), {}))));
       return false;
     },
     nullptr},
};

TEST(Triples, DlStoreAxiomsInTheirRdfForm) {
  for (const DlCase& c : kDlCases) {
    SCOPED_TRACE(c.name);
    Onto x;
    const bool rl = c.build(x);
    trelvanic_bridge::Dictionary dict;
    std::vector<trelvanic_bridge::Triple> out;
    auto summary = trelvanic_bridge::export_ontology(x.o, dict, out);
    ASSERT_TRUE(summary) << summary.error().message();
    EXPECT_EQ(summary->outside_rl, rl ? 0u : 1u);
    if (c.predicate) {
      const auto pred = dict.find_iri(owl(c.predicate));
      EXPECT_TRUE(std::any_of(out.begin(), out.end(), [&](const auto& t) { return t.predicate == pred || t.object == pred; }));
    }
  }
}

// The triples of a class expression written as a superclass, short names
// for the test's IRIs and the standard vocabulary, blank nodes numbered in
// the order they first appear; declarations left out.
std::vector<std::string> superclass_triples(const std::function<ClassExpr(Onto&, DlStore&)>& build) {
  Onto x;
  auto& dl = x.o.dl_mut();
  const CeId a = dl.intern_ce(ClassExpr::atomic(x.cls("A")));
  const ClassExpr e = build(x, dl);
  dl.push_axiom(DlAxiom::sub_class_of(a, dl.intern_ce(e)));
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  EXPECT_TRUE(ts) << ts.error().message();
  if (!ts) return {};
  std::map<std::string, std::string> blanks;
  auto show = [&](const Term& t) -> std::string {
    if (t.kind == trelvanic_rdf::TermKind::Blank)
      return blanks.try_emplace(t.value, fmt::format("_:b{}", blanks.size())).first->second;
    auto short_iri = [](std::string_view s) {
      const std::pair<std::string_view, std::string_view> prefixes[] = {
          {bridge_test::kEx, ""},
          {kOwl, "owl:"},
          {"http://www.w3.org/1999/02/22-rdf-syntax-ns#", "rdf:"},
          {"http://www.w3.org/2000/01/rdf-schema#", "rdfs:"},
          {kXsd, "xsd:"}};
      for (const auto& [ns, prefix] : prefixes)
        if (s.starts_with(ns)) return std::string(prefix) + std::string(s.substr(ns.size()));
      return std::string(s);
    };
    if (t.kind == trelvanic_rdf::TermKind::Literal) return fmt::format("\"{}\"^^{}", t.value, short_iri(t.datatype));
    return short_iri(t.value);
  };
  std::vector<std::string> out;
  for (const TermTriple& t : *ts) {
    if (t.s.kind == trelvanic_rdf::TermKind::Iri && t.p == Term::iri(kRdfType)) continue;  // declarations
    const std::string s = show(t.s), p = show(t.p), o = show(t.o);
    out.push_back(fmt::format("{} {} {}", s, p, o));
  }
  return out;
}

struct CeCase {
  const char* name;
  ClassExpr (*build)(Onto&, DlStore&);
  std::vector<std::string> triples;
};

EntityId xsd_integer(Onto& x) { return *x.o.entity_id(std::string(kXsd) + "integer", EntityKind::Datatype); }

// Every class expression the export writes, and two it cannot: the nodes,
// their lists and the order of the triples.
TEST(Triples, ClassExpressionsInTheirRdfForm) {
  const CeCase cases[] = {
      {"complement",
       [](Onto& x, DlStore& dl) { return ClassExpr::complement_of(dl.intern_ce(ClassExpr::atomic(x.cls("B")))); },
       {"_:b0 rdf:type owl:Class", "_:b0 owl:complementOf B", "A rdfs:subClassOf _:b0"}},
      {"intersection",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::and_of(
             {dl.intern_ce(ClassExpr::atomic(x.cls("B"))), dl.intern_ce(ClassExpr::atomic(x.cls("C")))});
       },
       {"_:b0 rdf:first B", "_:b0 rdf:rest _:b1", "_:b1 rdf:first C", "_:b1 rdf:rest rdf:nil",
        "_:b2 rdf:type owl:Class", "_:b2 owl:intersectionOf _:b0", "A rdfs:subClassOf _:b2"}},
      {"one of",
       [](Onto& x, DlStore&) { return ClassExpr::one_of({x.ind("a"), x.ind("b")}); },
       {"_:b0 rdf:first a", "_:b0 rdf:rest _:b1", "_:b1 rdf:first b", "_:b1 rdf:rest rdf:nil",
        "_:b2 rdf:type owl:Class", "_:b2 owl:oneOf _:b0", "A rdfs:subClassOf _:b2"}},
      {"existential",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::some(RoleExpr::atomic(x.prop("p")), dl.intern_ce(ClassExpr::atomic(x.cls("B"))));
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty p", "_:b0 owl:someValuesFrom B",
        "A rdfs:subClassOf _:b0"}},
      {"universal",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::all(RoleExpr::atomic(x.prop("p")), dl.intern_ce(ClassExpr::atomic(x.cls("B"))));
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty p", "_:b0 owl:allValuesFrom B",
        "A rdfs:subClassOf _:b0"}},
      {"has value",
       [](Onto& x, DlStore&) { return ClassExpr::has_value(RoleExpr::atomic(x.prop("p")), x.ind("a")); },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty p", "_:b0 owl:hasValue a", "A rdfs:subClassOf _:b0"}},
      {"qualified max",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::cardinality(CeKind::MaxCardinality, 1, RoleExpr::atomic(x.prop("p")),
                                       dl.intern_ce(ClassExpr::atomic(x.cls("B"))));
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty p",
        "_:b0 owl:maxQualifiedCardinality \"1\"^^xsd:nonNegativeInteger", "_:b0 owl:onClass B",
        "A rdfs:subClassOf _:b0"}},
      {"unqualified max",
       [](Onto& x, DlStore&) {
         return ClassExpr::cardinality(CeKind::MaxCardinality, 0, RoleExpr::atomic(x.prop("p")), std::nullopt);
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty p",
        "_:b0 owl:maxCardinality \"0\"^^xsd:nonNegativeInteger", "A rdfs:subClassOf _:b0"}},
      {"data existential",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::data_some(x.dprop("d"), dl.intern_de(DataExpr::datatype_ref(xsd_integer(x))));
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty d", "_:b0 owl:someValuesFrom xsd:integer",
        "A rdfs:subClassOf _:b0"}},
      {"data universal",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::data_all(x.dprop("d"), dl.intern_de(DataExpr::datatype_ref(xsd_integer(x))));
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty d", "_:b0 owl:allValuesFrom xsd:integer",
        "A rdfs:subClassOf _:b0"}},
      {"data has value",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::data_has_value(x.dprop("d"), dl.intern_de(DataExpr::literal("5", xsd_integer(x))));
       },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty d", "_:b0 owl:hasValue \"5\"^^xsd:integer",
        "A rdfs:subClassOf _:b0"}},
      {"data max",
       [](Onto& x, DlStore&) { return ClassExpr::data_cardinality(CeKind::DataMaxCardinality, 1, x.dprop("d"), std::nullopt); },
       {"_:b0 rdf:type owl:Restriction", "_:b0 owl:onProperty d",
        "_:b0 owl:maxCardinality \"1\"^^xsd:nonNegativeInteger", "A rdfs:subClassOf _:b0"}},
      {"qualified data max",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::data_cardinality(CeKind::DataMaxCardinality, 1, x.dprop("d"),
                                            dl.intern_de(DataExpr::datatype_ref(xsd_integer(x))));
       },
       {}},
      {"min cardinality",
       [](Onto& x, DlStore&) {
         return ClassExpr::cardinality(CeKind::MinCardinality, 1, RoleExpr::atomic(x.prop("p")), std::nullopt);
       },
       {}},
      {"existential on an unnamed inverse",
       [](Onto& x, DlStore& dl) {
         return ClassExpr::some(RoleExpr::inverse(x.prop("p")), dl.intern_ce(ClassExpr::atomic(x.cls("B"))));
       },
       {}},
  };
  for (const CeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(superclass_triples(c.build), c.triples);
  }
}

// Each characteristic is one rdf:type triple naming its OWL class: in the
// export, in the triple key, and read back by the merge as the same told
// axiom. Reflexivity has no OWL 2 RL form.
TEST(Triples, CharacteristicsAreTypeTriplesBothWays) {
  struct Case {
    AxiomKind kind;
    const char* cls;
    bool rl;
  };
  const Case cases[] = {
      {AxiomKind::FunctionalObjectProperty, "FunctionalProperty", true},
      {AxiomKind::InverseFunctionalObjectProperty, "InverseFunctionalProperty", true},
      {AxiomKind::ReflexiveObjectProperty, "ReflexiveProperty", false},
      {AxiomKind::IrreflexiveObjectProperty, "IrreflexiveProperty", true},
      {AxiomKind::SymmetricObjectProperty, "SymmetricProperty", true},
      {AxiomKind::AsymmetricObjectProperty, "AsymmetricProperty", true},
      {AxiomKind::TransitiveObjectProperty, "TransitiveProperty", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls);
    Onto x;
    const Axiom told = Axiom::property_characteristic(c.kind, x.prop("p"));
    x.add(told);
    const TermTriple typed = t3(iri("p"), kRdfType, owl(c.cls));
    auto ts = trelvanic_bridge::core_to_triples(x.o);
    ASSERT_TRUE(ts) << ts.error().message();
    EXPECT_TRUE(contains(*ts, typed));
    trelvanic_bridge::Dictionary dict;
    std::vector<trelvanic_bridge::Triple> out;
    EXPECT_EQ(trelvanic_bridge::export_ontology(x.o, dict, out)->outside_rl, c.rl ? 0u : 1u);
    auto key = trelvanic_bridge::axiom_triple_key(x.o, told.view());
    ASSERT_TRUE(key && *key);
    EXPECT_EQ(**key, (std::array<std::string, 3>{iri("p"), kRdfType, owl(c.cls)}));

    Onto y;
    y.prop("p");
    const std::vector<TermTriple> merged_in = {typed};
    auto merged = trelvanic_bridge::merge_term_triples(y.o, merged_in, {}, 100, 100, 0);
    ASSERT_TRUE(merged) << merged.error().message();
    EXPECT_EQ(merged->added_axioms, 1u);
    EXPECT_TRUE(y.has(told));
  }
}

// An assertion of an inverse property is the plain assertion turned round;
// a sub-property between inverses is one between the properties.
TEST(Triples, InverseRolesAreNamed) {
  Onto x;
  auto a = x.ind("a"), b = x.ind("b");
  auto p = x.prop("p"), q = x.prop("q");
  x.o.dl_mut().push_axiom(DlAxiom::object_property_assertion(a, RoleExpr::inverse(p), b));
  x.o.dl_mut().push_axiom(DlAxiom::sub_object_property_of(RoleExpr::inverse(p), RoleExpr::inverse(q)));
  auto ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts);
  EXPECT_TRUE(contains(*ts, t3(iri("b"), iri("p"), iri("a"))));
  EXPECT_TRUE(contains(*ts, t3(iri("p"), "http://www.w3.org/2000/01/rdf-schema#subPropertyOf", iri("q"))));
  // inverse(p) <= q needs a name for inverse(p).
  x.o.dl_mut().push_axiom(DlAxiom::sub_object_property_of(RoleExpr::inverse(p), RoleExpr::atomic(q)));
  trelvanic_bridge::Dictionary dict;
  std::vector<trelvanic_bridge::Triple> out;
  EXPECT_EQ(trelvanic_bridge::export_ontology(x.o, dict, out)->outside_rl, 1u);
  // So does a disjointness with inverse(p).
  auto s = x.prop("s");
  x.o.dl_mut().push_axiom(DlAxiom::disjoint_roles({RoleExpr::atomic(s), RoleExpr::inverse(p)}));
  out.clear();
  EXPECT_EQ(trelvanic_bridge::export_ontology(x.o, dict, out)->outside_rl, 2u);
  auto r = x.prop("r");
  x.add(Axiom::inverse_object_properties(p, r));
  out.clear();
  EXPECT_EQ(trelvanic_bridge::export_ontology(x.o, dict, out)->outside_rl, 0u);
  ts = trelvanic_bridge::core_to_triples(x.o);
  ASSERT_TRUE(ts);
  EXPECT_TRUE(contains(*ts, t3(iri("s"), "http://www.w3.org/2002/07/owl#propertyDisjointWith", iri("r"))));
}

TEST(Triples, DeepExpressionsAreLeftOutNotRecursed) {
  Onto x;
  auto& dl = x.o.dl_mut();
  CeId c = dl.intern_ce(ClassExpr::atomic(x.cls("A")));
  const auto p = RoleExpr::atomic(x.prop("p"));
  for (int i = 0; i < 100000; ++i) c = dl.intern_ce(ClassExpr::some(p, c));
  dl.push_axiom(DlAxiom::sub_class_of(c, dl.intern_ce(ClassExpr::atomic(x.cls("B")))));
  trelvanic_bridge::Dictionary dict;
  std::vector<trelvanic_bridge::Triple> out;
  auto summary = trelvanic_bridge::export_ontology(x.o, dict, out);
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->outside_rl, 1u);
}

}  // namespace
