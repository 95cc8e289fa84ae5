// Class expressions, data ranges, literals and individuals mapped into the
// DL store, one expression at a time through a `Mapper`.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/serialize.h"
#include "map_test_support.h"
#include "parser/map_dl.h"

namespace trelvanic_parser {
namespace {

using namespace testing;
using trelvanic_owl::NodeId;

// One mapper over a model whose only component holds the expression under
// test as its second operand.
struct Fixture {
  explicit Fixture(std::string_view component, bool strict = true)
      : model(read_model(component)), limits(limits_for(strict)), mapper(model, ontology, meta, none, limits) {}

  NodeId operand(size_t i) const { return model.operand(model.components().back().node, i); }

  trelvanic_owl::Ontology model;
  trelvanic_core::Ontology ontology;
  trelvanic_core::ParseMeta meta;
  IriSet none;
  LoadLimits limits;
  Mapper mapper;
};

struct CeCase {
  const char* expression;
  const char* mapped;  // empty: gives nothing
};

class MapClassExpression : public ::testing::TestWithParam<CeCase> {};

TEST_P(MapClassExpression, Builds) {
  const auto& c = GetParam();
  Fixture f(fmt::format("SubClassOf(:Z {})", c.expression));
  auto id = f.mapper.map_class_expression(f.operand(1));
  if (!*c.mapped) {
    EXPECT_FALSE(id.has_value());
    return;
  }
  ASSERT_TRUE(id.has_value()) << c.expression;
  EXPECT_EQ(ce_text(f.ontology, *id), c.mapped);
  EXPECT_TRUE(f.meta.warnings.empty());
  // Hash-consed: the same expression maps to the same id.
  EXPECT_EQ(f.mapper.map_class_expression(f.operand(1)), id);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MapClassExpression,
    ::testing::Values(
        CeCase{"owl:Nothing", "Bottom"}, CeCase{"owl:Thing", "http://www.w3.org/2002/07/owl#Thing"},
        CeCase{"ObjectIntersectionOf(:A ObjectUnionOf(:B :C))", "And(A Or(B C))"},
        CeCase{"ObjectComplementOf(:A)", "Not(A)"}, CeCase{"ObjectOneOf(:a :b)", "OneOf(a b)"},
        CeCase{"ObjectSomeValuesFrom(ObjectInverseOf(:p) :C)", "Some(inv(p) C)"},
        CeCase{"ObjectAllValuesFrom(:p owl:Nothing)", "All(p Bottom)"},
        CeCase{"ObjectHasValue(:p :a)", "HasValue(p a)"}, CeCase{"ObjectHasSelf(:p)", "HasSelf(p)"},
        // x is its own p⁻-successor exactly when its own p-successor.
        CeCase{"ObjectHasSelf(ObjectInverseOf(:p))", "HasSelf(p)"},
        CeCase{"ObjectMinCardinality(2 :p owl:Thing)", "Min(2 p)"},
        CeCase{"ObjectMinCardinality(2 :p)", "Min(2 p)"},
        CeCase{"ObjectMinCardinality(2 :p :C)", "Min(2 p C)"},
        CeCase{"ObjectExactCardinality(1 ObjectInverseOf(:p) :C)", "Exact(1 inv(p) C)"},
        // A filler that gives nothing makes the restriction give nothing.
        CeCase{"ObjectMaxCardinality(1 :p ObjectUnionOf())", ""},
        CeCase{"DataSomeValuesFrom(:d xsd:integer)", "DataSome(d http://www.w3.org/2001/XMLSchema#integer)"},
        CeCase{"DataHasValue(:d \"x\")", "DataHasValue(d \"x\"^^http://www.w3.org/2001/XMLSchema#string)"},
        CeCase{"DataMaxCardinality(3 :d)", "DataMaxCardinality(3 d http://www.w3.org/2000/01/rdf-schema#Literal)"},
        // OWL 2 gives intersections and unions two operands at least and
        // enumerations one: one operand is the operand itself, none gives nothing.
        CeCase{"ObjectUnionOf()", ""}, CeCase{"ObjectOneOf()", ""},
        CeCase{"ObjectIntersectionOf(:A)", "A"}, CeCase{"ObjectUnionOf(ObjectComplementOf(:A))", "Not(A)"}));

TEST(MapClassExpression, NothingRegistersNoEntityAndAnUnmappableFillerKeepsItsProperty) {
  Fixture f("SubClassOf(owl:Nothing ObjectSomeValuesFrom(ObjectInverseOf(:p) ObjectUnionOf()))");
  EXPECT_EQ(ce_text(f.ontology, *f.mapper.map_class_expression(f.operand(0))), "Bottom");
  EXPECT_EQ(f.ontology.entity_count(), 0u);
  EXPECT_FALSE(f.mapper.map_class_expression(f.operand(1)).has_value());
  auto p = f.ontology.lookup_entity(iri("p"));
  ASSERT_TRUE(p);
  EXPECT_EQ(f.ontology.entities().kind(*p), trelvanic_core::EntityKind::ObjectProperty);
}

TEST(MapClassExpression, UnregistrableDatatypeLeavesThePropertyUnregistered) {
  Fixture f("SubClassOf(:Z DataSomeValuesFrom(:d <ftp://ex.org/dt>))");
  EXPECT_FALSE(f.mapper.map_class_expression(f.operand(1)).has_value());
  EXPECT_FALSE(f.ontology.lookup_entity(iri("d")).has_value());
  ASSERT_EQ(f.meta.warnings.size(), 1u);
  EXPECT_THAT(f.meta.warnings[0], ::testing::StartsWith("failed to register entity ftp://ex.org/dt: parse error: "));
  EXPECT_EQ(f.meta.skipped_axiom_count, 1u);  // strict: the failed registration counts
}

TEST(MapClassExpression, UsesDatatypeLooksThroughBooleansOnly) {
  struct Case {
    const char* expression;
    bool uses;
  };
  for (const Case& c : {Case{"DataSomeValuesFrom(:d xsd:integer)", true},
                        Case{"ObjectComplementOf(ObjectComplementOf(DataHasValue(:d \"1\")))", true},
                        Case{"ObjectUnionOf(:A ObjectIntersectionOf(:B DataMinCardinality(1 :d)))", true},
                        Case{"ObjectSomeValuesFrom(:p DataSomeValuesFrom(:d xsd:integer))", false},
                        Case{":A", false}}) {
    Fixture f(fmt::format("SubClassOf(:Z {})", c.expression));
    EXPECT_EQ(f.mapper.class_expression_uses_datatype(f.operand(1)), c.uses) << c.expression;
    EXPECT_EQ(f.ontology.entity_count(), 0u);
  }
}

// Deep nesting (beyond what the readers accept, as a model built by other
// means may have) maps with no recursion on the C stack.
TEST(MapClassExpression, DeepNesting) {
  for (uint32_t depth : {trelvanic_owl::kMaxNestingDepth - 8, trelvanic_owl::kMaxNestingDepth * 4}) {
    trelvanic_owl::Ontology model;
    NodeId ce = model.make_leaf(trelvanic_owl::Kind::Class, model.intern_iri(iri("A")));
    const NodeId p = model.make_leaf(trelvanic_owl::Kind::ObjectProperty, model.intern_iri(iri("p")));
    for (uint32_t i = 0; i < depth; ++i)
      ce = i % 2 ? model.make(trelvanic_owl::Kind::ObjectComplementOf, {ce.value})
                 : model.make(trelvanic_owl::Kind::ObjectSomeValuesFrom, {p.value, ce.value});
    const NodeId z = model.make_leaf(trelvanic_owl::Kind::Class, model.intern_iri(iri("Z")));
    model.add_component(model.make(trelvanic_owl::Kind::SubClassOf, {z.value, ce.value}));
    auto m = map_to_core(model, LoadLimits{});
    ASSERT_TRUE(m);
    EXPECT_EQ(m->ontology.dl().axiom_count(), 1u) << depth;
    EXPECT_EQ(m->meta.skipped_axiom_count, 0u) << depth;
    EXPECT_TRUE(m->meta.profile_constructs.contains(trelvanic_core::OwlConstruct::ObjectComplementOf));
  }
}

// The model shares equal sub-expressions, so a short chain of nodes can
// stand for an exponentially large tree: every walk visits each node once.
TEST(MapClassExpression, SharedSubExpressionsAreWalkedOnce) {
  trelvanic_owl::Ontology model;
  using trelvanic_owl::Kind;
  NodeId e = model.make_leaf(Kind::Class, model.intern_iri(iri("A")));
  const NodeId p = model.make_leaf(Kind::ObjectProperty, model.intern_iri(iri("p")));
  for (int i = 0; i < 200; ++i) {
    const NodeId some = model.make(Kind::ObjectSomeValuesFrom, {p.value, e.value});
    e = model.make(Kind::ObjectIntersectionOf, {e.value, model.make(Kind::ObjectComplementOf, {some.value}).value,
                                                 model.make(Kind::ObjectIntersectionOf, {e.value, some.value}).value});
  }
  const NodeId z = model.make_leaf(Kind::Class, model.intern_iri(iri("Z")));
  model.add_component(model.make(Kind::SubClassOf, {z.value, e.value}));
  model.add_component(model.make(Kind::SubClassOf, {e.value, z.value}));
  auto m = map_to_core(model, LoadLimits{});
  ASSERT_TRUE(m);
  EXPECT_EQ(m->ontology.dl().axiom_count(), 2u);
}

struct DeCase {
  const char* range;
  const char* built;
};

class MapDataRange : public ::testing::TestWithParam<DeCase> {};

TEST_P(MapDataRange, Builds) {
  const auto& c = GetParam();
  Fixture f(fmt::format("DataPropertyRange(:d {})", c.range));
  auto id = f.mapper.intern_data_range(f.operand(1));
  ASSERT_TRUE(id.has_value()) << c.range;
  EXPECT_EQ(de_text(f.ontology, *id), c.built);
}

constexpr const char* kInt = "http://www.w3.org/2001/XMLSchema#integer";

INSTANTIATE_TEST_SUITE_P(
    Table, MapDataRange,
    ::testing::Values(
        DeCase{"DataOneOf(\"a\")", "\"a\"^^http://www.w3.org/2001/XMLSchema#string"},
        DeCase{"DataOneOf(\"a\" \"b\")",
               "Or(\"a\"^^http://www.w3.org/2001/XMLSchema#string \"b\"^^http://www.w3.org/2001/XMLSchema#string)"},
        DeCase{"DataOneOf(\"x\"@en)", "\"x@en\"^^http://www.w3.org/1999/02/22-rdf-syntax-ns#langString"},
        DeCase{"DataOneOf(\"1\"^^xsd:integer)", "\"1\"^^http://www.w3.org/2001/XMLSchema#integer"},
        DeCase{"DataComplementOf(DataIntersectionOf(:D :E))", "Not(And(D E))"},
        // Facets nest to the left: the last facet is outermost.
        DeCase{"DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer xsd:maxInclusive "
               "\"5\"^^xsd:integer)",
               "Facet(Facet(http://www.w3.org/2001/XMLSchema#integer "
               "http://www.w3.org/2001/XMLSchema#minInclusive 1) "
               "http://www.w3.org/2001/XMLSchema#maxInclusive 5)"}));

TEST(MapDataRange, TooFewOperandsGiveNothingAndOneGivesItself) {
  for (const char* range : {"DataOneOf()", "DataIntersectionOf()"}) {
    Fixture f(fmt::format("DataPropertyRange(:d {})", range));
    EXPECT_FALSE(f.mapper.intern_data_range(f.operand(1)).has_value()) << range;
  }
  Fixture one("DataPropertyRange(:d DataUnionOf(xsd:integer))");
  Fixture plain("DataPropertyRange(:d xsd:integer)");
  auto a = one.mapper.intern_data_range(one.operand(1));
  auto b = plain.mapper.intern_data_range(plain.operand(1));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(one.ontology.dl().de(*a).kind, plain.ontology.dl().de(*b).kind);
}

// The list axioms with fewer than two operands are not stored: strict
// loading fails on them and lenient loading skips them with a warning.
TEST(MapDlAxioms, ListsWithOneOperandAreSkipped) {
  for (const char* axiom : {"EquivalentClasses(ObjectSomeValuesFrom(:p :A))", "DisjointClasses(ObjectComplementOf(:A))",
                            "DisjointObjectProperties(:p)", "EquivalentDataProperties(:d)",
                            "DisjointDataProperties(:d)"}) {
    auto m = map_body(fmt::format("Declaration(ObjectProperty(:p)) Declaration(DataProperty(:d)) {}", axiom),
                      limits_for(false));
    ASSERT_TRUE(m) << axiom;
    EXPECT_EQ(m->ontology.dl().axiom_count(), 0u) << axiom;
    EXPECT_EQ(m->meta.skipped_axiom_count, 1u) << axiom;
    EXPECT_THAT(m->meta.warnings, ::testing::Contains(::testing::HasSubstr("fewer than two operands"))) << axiom;
  }
}

TEST(MapDataRange, LiteralDatatypeBecomesADatatypeEntity) {
  Fixture f("DataPropertyRange(:d DataOneOf(\"1\"^^xsd:integer))");
  ASSERT_TRUE(f.mapper.intern_data_range(f.operand(1)));
  auto dt = f.ontology.lookup_entity(kInt);
  ASSERT_TRUE(dt);
  EXPECT_EQ(f.ontology.entities().kind(*dt), trelvanic_core::EntityKind::Datatype);
}

TEST(MapIndividuals, AnonymousLabelsShareOneEntityPerDocument) {
  Fixture f("DifferentIndividuals(_:n _:n :a)");
  const auto ops = f.model.operands(f.model.components().back().node);
  auto x = f.mapper.map_individual_entity(ops[0]);
  auto y = f.mapper.map_individual_entity(ops[1]);
  ASSERT_TRUE(x && y);
  EXPECT_EQ(*x, *y);
  EXPECT_EQ(*f.ontology.entity_iri(*x), "file:/c/test.owl#_n");
}

TEST(MapDlConstructs, DeepExpressionsAreWalkedWithoutRecursion) {
  // A chain of 100,000 nested complements interned directly in a store.
  trelvanic_core::DlStore store;
  trelvanic_core::Ontology o;
  auto a = *o.entity_id(iri("A"), trelvanic_core::EntityKind::Class);
  auto id = store.intern_ce(trelvanic_core::ClassExpr::atomic(a));
  for (int i = 0; i < 100'000; ++i) id = store.intern_ce(trelvanic_core::ClassExpr::complement_of(id));
  trelvanic_core::ParseMeta meta;
  NotedExpressions noted;
  note_dl_axiom_constructs(store, trelvanic_core::DlAxiom::class_assertion(a, id), meta, noted);
  EXPECT_THAT(meta.profile_constructs,
              ::testing::ElementsAre(trelvanic_core::OwlConstruct::ObjectComplementOf,
                                     trelvanic_core::OwlConstruct::ClassAssertion));
}

// A name used where the DL store needs another kind of entity, which the
// name cannot be as well (a property of the other sort, a datatype, a name
// already punned as class and individual): the construct is skipped, never
// stored over the entity of the wrong kind, so the ontology's snapshot reads
// back.
TEST(MapDlAxiom, NameOfAnotherKindIsSkippedNotStored) {
  for (const char* body : {
           "Declaration(ObjectProperty(:p)) SubClassOf(:A DataMinCardinality(1 :p))",
           "Declaration(ObjectProperty(:p)) SubClassOf(:A DataHasValue(:p \"1\"))",
           "Declaration(DataProperty(:d)) SubClassOf(:A ObjectMinCardinality(1 :d))",
           "Declaration(DataProperty(:d)) TransitiveObjectProperty(:d)",
           "ClassAssertion(:p :p) SymmetricObjectProperty(:p)",
           "DatatypeDefinition(:t xsd:integer) SubObjectPropertyOf(ObjectPropertyChain(:t :q) :r)",
       }) {
    auto m = map_body(body, limits_for(false));
    ASSERT_TRUE(m) << body;
    EXPECT_GE(m->meta.skipped_axiom_count, 1u) << body;
    auto written = trelvanic_core::to_json(m->ontology);
    ASSERT_TRUE(written) << body;
    auto back = trelvanic_core::from_json(*written);
    EXPECT_TRUE(back) << body << ": " << (back ? "" : back.error().message());
  }
}

}  // namespace
}  // namespace trelvanic_parser
