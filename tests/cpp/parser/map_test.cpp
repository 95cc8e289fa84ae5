// The mapping driver: declaration checks, registration with punning, the
// entity and axiom limits, counts, and the order of the visiting passes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "map_test_support.h"
#include "rdf/owl_mapping.h"

namespace trelvanic_parser {
namespace {

using namespace testing;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using trelvanic_core::EntityKind;

EntityKind kind_of(const trelvanic_core::Ontology& o, std::string_view local) {
  auto id = o.lookup_entity(iri(local));
  EXPECT_TRUE(id.has_value()) << local;
  return id ? o.entities().kind(*id) : EntityKind::Datatype;
}

TEST(MapDriver, NamedSubClassOfIsOneToldAxiom) {
  auto m = map_body("SubClassOf(:A :B)");
  ASSERT_TRUE(m);
  EXPECT_THAT(told_axioms(m->ontology), ElementsAre("SubClassOf(A B)"));
  EXPECT_TRUE(dl_axioms(m->ontology).empty());
  EXPECT_EQ(m->meta.mapped_axiom_count, 1u);
  EXPECT_EQ(m->meta.logical_axiom_count, 1u);
  EXPECT_TRUE(m->meta.constructs.contains(trelvanic_core::OwlConstruct::SubClassOfNamed));
  EXPECT_TRUE(m->meta.profile_constructs.contains(trelvanic_core::OwlConstruct::SubClassOfNamed));
  // The installed limits are the load's.
  ASSERT_TRUE(m->ontology.limits());
  EXPECT_EQ(m->ontology.limits()->max_entities, LoadLimits{}.max_entities);
}

TEST(MapDriver, EqualToldAxiomsCountOnce) {
  // Two components that store as one canonical axiom.
  auto m = map_body("EquivalentClasses(:A :B)\nEquivalentClasses(:B :A)");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->ontology.axioms().live_count(), 1u);
  EXPECT_EQ(m->meta.mapped_axiom_count, 1u);
  EXPECT_EQ(m->meta.skipped_axiom_count, 0u);
}

struct DeclarationCase {
  const char* name;
  const char* body;
  bool strict;
  const char* error;                  // strict failure, or empty
  std::vector<std::string> warnings;  // in order
};

class MapDeclarations : public ::testing::TestWithParam<DeclarationCase> {};

TEST_P(MapDeclarations, WarnOrFail) {
  const auto& c = GetParam();
  auto m = map_body(c.body, limits_for(c.strict));
  if (*c.error) {
    ASSERT_FALSE(m);
    EXPECT_EQ(m.error().kind(), ErrorKind::Parse);
    EXPECT_EQ(m.error().message(), c.error);
    return;
  }
  ASSERT_TRUE(m) << m.error().message();
  EXPECT_EQ(m->meta.warnings, c.warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MapDeclarations,
    ::testing::Values(
        DeclarationCase{"ClassThenIndividualStrict", "Declaration(Class(:X)) Declaration(NamedIndividual(:X))", true, "",
                        {"entity kind mismatch on declaration for http://ex.org/X: Class then Individual; using last "
                         "declaration"}},
        DeclarationCase{"ClassThenIndividualLenient", "Declaration(Class(:X)) Declaration(NamedIndividual(:X))", false,
                        "",
                        {"entity kind mismatch on declaration for http://ex.org/X: Class then Individual; using last "
                         "declaration"}},
        DeclarationCase{"ClassThenDataPropertyStrict", "Declaration(Class(:X)) Declaration(DataProperty(:X))", true,
                        "parse error: incompatible declaration kinds for http://ex.org/X: {Class, DataProperty}", {}},
        DeclarationCase{"ClassThenDataPropertyLenient", "Declaration(Class(:X)) Declaration(DataProperty(:X))", false, "",
                        {"entity kind mismatch on declaration for http://ex.org/X: Class then DataProperty; using last "
                         "declaration",
                         "incompatible declaration kinds for http://ex.org/X: {Class, DataProperty}; using last "
                         "declaration"}},
        // Three kinds that pun pairwise but not all together.
        DeclarationCase{"ThreeBaseKindsStrict",
                        "Declaration(Class(:X)) Declaration(ObjectProperty(:X)) Declaration(NamedIndividual(:X))", true,
                        "parse error: incompatible declaration kinds for http://ex.org/X: {Class, Individual, "
                        "ObjectProperty}",
                        {}},
        // Mismatches are reported as declared; the incompatible sets in IRI order.
        DeclarationCase{"TwoIrisLenient",
                        "Declaration(Class(:Y)) Declaration(DataProperty(:Y)) Declaration(Class(:X)) "
                        "Declaration(DataProperty(:X))",
                        false,
                        "",
                        {"entity kind mismatch on declaration for http://ex.org/Y: Class then DataProperty; using last "
                         "declaration",
                         "entity kind mismatch on declaration for http://ex.org/X: Class then DataProperty; using last "
                         "declaration",
                         "incompatible declaration kinds for http://ex.org/X: {Class, DataProperty}; using last "
                         "declaration",
                         "incompatible declaration kinds for http://ex.org/Y: {Class, DataProperty}; using last "
                         "declaration"}},
        DeclarationCase{"DatatypeDeclarationIgnored", "Declaration(Class(:X)) Declaration(Datatype(:X))", true, "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Declared entities are registered in IRI order (bytewise, a prefix before
// its extensions), whatever the file order, before the entities axioms meet.
// Names that agree on their first eight bytes after the shared prefix are
// ordered by the rest.
TEST(MapDriver, DeclaredEntitiesTakeIdsInIriOrder) {
  const std::vector<std::string> names = {"C", "C1", "C10", "C2", "Cabcdefgh", "Cabcdefghij1", "Cabcdefghij2", "a"};
  for (const std::vector<std::string>& file_order :
       {names, std::vector<std::string>{"Cabcdefghij2", "C10", "a", "C", "Cabcdefgh", "C2", "Cabcdefghij1", "C1"}}) {
    std::string body;
    for (const std::string& n : file_order)
      body += (n == "a" ? "Declaration(ObjectProperty(:" : "Declaration(Class(:") + n + "))\n";
    body += "SubClassOf(:Z :C)";
    auto m = map_body(body);
    ASSERT_TRUE(m);
    std::vector<std::string> order;
    for (uint32_t e = 0; e < m->ontology.entity_count(); ++e) {
      const std::string n = name_of(m->ontology, trelvanic_core::EntityId(e));
      if (n == "Z" || std::find(names.begin(), names.end(), n) != names.end()) order.push_back(n);
    }
    std::vector<std::string> expected = names;  // already in bytewise order
    expected.push_back("Z");
    EXPECT_EQ(order, expected) << body;
  }
}

TEST(MapDriver, ClassAndIndividualDeclarationsPun) {
  for (bool strict : {true, false}) {
    auto m = map_body(
        "Declaration(Class(:X)) Declaration(NamedIndividual(:X))\n"
        "SubClassOf(:X :B) ClassAssertion(:B :X)",
        limits_for(strict));
    ASSERT_TRUE(m);
    EXPECT_EQ(kind_of(m->ontology, "X"), EntityKind::ClassIndividual);
    EXPECT_THAT(told_axioms(m->ontology), ElementsAre("SubClassOf(X B)", "ClassAssertion(X B)"));
    EXPECT_EQ(m->meta.skipped_axiom_count, 0u);
  }
}

TEST(MapDriver, LenientIncompatibleDeclarationSkipsTheOtherUse) {
  auto m = map_body("Declaration(Class(:X)) Declaration(DataProperty(:X))\nSubClassOf(:X :B)", limits_for(false));
  ASSERT_TRUE(m);
  EXPECT_EQ(kind_of(m->ontology, "X"), EntityKind::DataProperty);
  EXPECT_TRUE(told_axioms(m->ontology).empty());
  EXPECT_EQ(m->meta.skipped_axiom_count, 1u);
  EXPECT_THAT(m->meta.warnings, Contains(HasSubstr("failed to register class http://ex.org/X: parse error: ")));
  EXPECT_EQ(m->meta.warnings.back(), kRegistrationSkipText);
}

TEST(MapDriver, UsesPunByMergingKinds) {
  auto m = map_body("SubClassOf(:X :B) ObjectPropertyAssertion(:X :a :b) ClassAssertion(:B :p)\n"
                    "SubObjectPropertyOf(:p :q)");
  ASSERT_TRUE(m);
  EXPECT_EQ(kind_of(m->ontology, "X"), EntityKind::ClassObjectProperty);
  EXPECT_EQ(kind_of(m->ontology, "p"), EntityKind::ObjectPropertyIndividual);
  EXPECT_EQ(m->meta.skipped_axiom_count, 0u);
}

TEST(MapDriver, StrictFailedEntityRegistrationCountsASkip) {
  // A data property name already used as a class cannot be registered.
  for (bool strict : {true, false}) {
    auto m = map_body("SubClassOf(:X :B) FunctionalDataProperty(:X)", limits_for(strict));
    ASSERT_TRUE(m);
    // Strict: the failed registration and the axiom; lenient: the axiom.
    EXPECT_EQ(m->meta.skipped_axiom_count, strict ? 2u : 1u);
    EXPECT_THAT(m->meta.warnings,
                ElementsAre(HasSubstr("failed to register entity http://ex.org/X: parse error: "),
                            "data property axiom not mapped in v0.2"));
  }
}

TEST(MapDriver, DatatypeDefinitionMappedBeforeRangesWhateverTheOrder) {
  for (const char* body :
       {"DataPropertyRange(:dp :D)\nDatatypeDefinition(:D DataUnionOf(:E :F))",
        "DatatypeDefinition(:D DataUnionOf(:E :F))\nDataPropertyRange(:dp :D)"}) {
    auto m = map_body(body);
    ASSERT_TRUE(m);
    EXPECT_THAT(dl_axioms(m->ontology),
                ElementsAre("DatatypeDefinition(D Or(E F))", "DataPropertyRange(dp D)"));
    EXPECT_EQ(kind_of(m->ontology, "D"), EntityKind::Datatype);
  }
}

struct LimitCase {
  const char* name;
  uint64_t max_entities;
  const char* body;
  std::vector<std::string> told;
  std::vector<std::string> warnings;
  uint64_t skipped;
};

class MapEntityLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(MapEntityLimit, OnlyNewNamesHitTheLimit) {
  const auto& c = GetParam();
  LoadLimits limits = limits_for(false);
  limits.max_entities = c.max_entities;
  auto m = map_body(c.body, limits);
  ASSERT_TRUE(m);
  EXPECT_EQ(told_axioms(m->ontology), c.told);
  EXPECT_EQ(m->meta.warnings, c.warnings);
  EXPECT_EQ(m->meta.skipped_axiom_count, c.skipped);
  EXPECT_LE(m->ontology.entity_count(), c.max_entities);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MapEntityLimit,
    ::testing::Values(
        // Once full, names already registered still resolve.
        LimitCase{"KnownNamesStillResolve", 2, "SubClassOf(:A :B)\nSubClassOf(:B :A)\nSubClassOf(:A :A)",
                  {"SubClassOf(A B)", "SubClassOf(B A)", "SubClassOf(A A)"}, {}, 0},
        LimitCase{"NewClassRefused", 2, "SubClassOf(:A :B)\nSubClassOf(:A :C)",
                  {"SubClassOf(A B)"},
                  // Tried by the scan, the status and the DL mapping.
                  {"failed to register class http://ex.org/C: parse error: entity limit 2 exceeded",
                   "failed to register class http://ex.org/C: parse error: entity limit 2 exceeded",
                   "failed to register class http://ex.org/C: parse error: entity limit 2 exceeded",
                   std::string(kRegistrationSkipText)},
                  1},
        LimitCase{"NewPropertyRefused", 3, "SubClassOf(:A :B)\nSubClassOf(:A ObjectSomeValuesFrom(:r :B))\n"
                                           "SubObjectPropertyOf(:r :s)",
                  {"SubClassOf(A B)", "SubClassOfExistential(A r B)"},
                  {"failed to register object property http://ex.org/s: parse error: entity limit 3 exceeded",
                   "failed to register object property http://ex.org/s: parse error: entity limit 3 exceeded",
                   std::string(kRegistrationSkipText)},
                  1},
        // Declared names are registered before the axioms: the declared
        // ones beyond the limit warn as entities.
        LimitCase{"DeclarationsBeyondTheLimit", 1, "Declaration(Class(:A)) Declaration(Class(:B))\nSubClassOf(:A :A)",
                  {"SubClassOf(A A)"},
                  {"failed to register entity http://ex.org/B: parse error: entity limit 1 exceeded"},
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MapDriver, AxiomLimitSkipsEveryFurtherAxiom) {
  LoadLimits limits = limits_for(false);
  limits.max_axioms = 2;
  // Told, told, then one DL and one told axiom over the limit.
  auto m = map_body(
      "SubClassOf(:A :B)\nSubClassOf(:B :C)\nSubClassOf(:A ObjectUnionOf(:B :C))\nSubClassOf(:C :D)", limits);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->ontology.axioms().live_count(), 2u);
  EXPECT_EQ(m->ontology.dl().axiom_count(), 0u);
  EXPECT_THAT(m->meta.warnings, ElementsAre("axiom limit 2 reached; skipping further DL axioms",
                                            "axiom limit 2 reached; skipping further axioms"));
  EXPECT_EQ(m->meta.mapped_axiom_count, 2u);
  EXPECT_EQ(m->meta.skipped_axiom_count, 2u);
  EXPECT_EQ(m->meta.logical_axiom_count, 4u);
}

// Many axioms, told and DL interleaved, one told axiom stored twice (its
// second form far from the first), then the limit: exactly the stored
// axioms count, the limit falls on the right component and every further
// one is skipped with its own text, in order.
TEST(MapDriver, AxiomLimitAfterManyAxiomsFallsOnTheRightComponent) {
  LoadLimits limits = limits_for(false);
  limits.max_axioms = 200;
  std::string body;
  std::vector<std::string> expected;
  for (int i = 0; i < 300; ++i) {
    const bool dl = i % 10 == 9;
    if (dl)
      body += fmt::format("SubClassOf(:A{0} ObjectUnionOf(:B{0} :C{0}))\n", i);
    else if (i == 150)
      body += "EquivalentClasses(:F :E)\n";  // the axiom of component 3 again
    else if (i == 3)
      body += "EquivalentClasses(:E :F)\n";
    else
      body += fmt::format("SubClassOf(:A{0} :B{0})\n", i);
    // 180 told and 20 DL axioms are stored by component 200.
    if (i > 200)
      expected.push_back(dl ? "axiom limit 200 reached; skipping further DL axioms"
                            : "axiom limit 200 reached; skipping further axioms");
  }
  auto m = map_body(body, limits);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->ontology.axioms().live_count(), 180u);
  EXPECT_EQ(m->ontology.dl().axiom_count(), 20u);
  EXPECT_EQ(m->meta.warnings, expected);
  EXPECT_EQ(m->meta.mapped_axiom_count, 180u);
  EXPECT_EQ(m->meta.skipped_axiom_count, 99u);
  const auto told = told_axioms(m->ontology);
  ASSERT_EQ(told.size(), 180u);
  EXPECT_EQ(told[3], "EquivalentClasses(E F)");
  EXPECT_EQ(told.back(), "SubClassOf(A200 B200)");
  EXPECT_EQ(m->ontology.dirty().added().size(), 180u);
}

TEST(MapDriver, DlAxiomsCountAgainstTheAxiomLimit) {
  LoadLimits limits = limits_for(false);
  limits.max_axioms = 1;
  auto m = map_body("SubClassOf(:A ObjectUnionOf(:B :C))\nSubClassOf(:A :B)", limits);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->ontology.dl().axiom_count(), 1u);
  EXPECT_EQ(m->ontology.axioms().live_count(), 0u);
  EXPECT_THAT(m->meta.warnings, ElementsAre("axiom limit 1 reached; skipping further axioms"));
}

TEST(MapDriver, DeclarationKindsCompatibility) {
  auto bits = [](std::initializer_list<EntityKind> kinds) {
    uint16_t b = 0;
    for (EntityKind k : kinds) b |= 1u << static_cast<unsigned>(k);
    return b;
  };
  using K = EntityKind;
  EXPECT_TRUE(declaration_kinds_compatible(0));
  EXPECT_TRUE(declaration_kinds_compatible(bits({K::DataProperty})));
  EXPECT_TRUE(declaration_kinds_compatible(bits({K::Class, K::Individual})));
  EXPECT_TRUE(declaration_kinds_compatible(bits({K::Class, K::ObjectProperty, K::ClassObjectProperty})));
  EXPECT_TRUE(declaration_kinds_compatible(bits({K::Individual, K::ObjectProperty})));
  EXPECT_FALSE(declaration_kinds_compatible(bits({K::Class, K::DataProperty})));
  EXPECT_FALSE(declaration_kinds_compatible(bits({K::ObjectProperty, K::AnnotationProperty})));
  EXPECT_FALSE(declaration_kinds_compatible(bits({K::Class, K::Individual, K::ObjectProperty})));
  EXPECT_FALSE(declaration_kinds_compatible(bits({K::ClassIndividual, K::ObjectProperty})));
}

TEST(MapDriver, AnonymousIndividualsAreKeptApartPerDocument) {
  const char* body = "ClassAssertion(:A _:x)\nObjectPropertyAssertion(:r _:x _:y)";
  auto model = read_model(body);
  auto first = map_to_core(model, LoadLimits{});
  auto second = map_to_core(model, LoadLimits{}, MapOptions{.document = 1});
  ASSERT_TRUE(first && second);
  // One label, one individual within a document.
  EXPECT_THAT(told_axioms(first->ontology),
              ElementsAre("ClassAssertion(file:/c/test.owl#_x A)",
                          "ObjectPropertyAssertion(file:/c/test.owl#_x r file:/c/test.owl#_y)"));
  EXPECT_THAT(told_axioms(second->ontology),
              ElementsAre("ClassAssertion(file:/c/1/test.owl#_x A)",
                          "ObjectPropertyAssertion(file:/c/1/test.owl#_x r file:/c/1/test.owl#_y)"));
  EXPECT_NE(anonymous_individual_iri("x", 1), anonymous_individual_iri("x", 2));
  EXPECT_NE(anonymous_individual_iri("x", 0), anonymous_individual_iri("x", 1));
}

TEST(MapDriver, WarningsStopAtTheCapButSkipsKeepCounting) {
  std::string body;
  for (int i = 0; i < 10'050; ++i) body += fmt::format("HasKey(:A (ObjectInverseOf(:p{})) ())\n", i);
  auto m = map_body(body, limits_for(false));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->meta.warnings.size(), trelvanic_core::kMaxParseWarnings);
  EXPECT_EQ(m->meta.skipped_axiom_count, 10'050u);
  // A key over an inverse is skipped with only its class registered.
  EXPECT_EQ(m->ontology.entity_count(), 1u);
}

}  // namespace
}  // namespace trelvanic_parser

namespace trelvanic_parser {
namespace {

std::string read_data(const std::string& path) {
  std::ifstream in(std::string(TRELVANIC_TEST_DATA) + "/" + path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// Every component kind and expression form, read by the functional and the
// Turtle reader: mapped in both modes with consistent counts, and the same
// ontology from both syntaxes.
TEST(MapDriver, FixturesOfEveryKind) {
  auto functional = trelvanic_owl::read_functional(read_data("owl/fixture.ofn"));
  ASSERT_TRUE(functional) << functional.error().text();
  auto turtle = trelvanic_rdf::read_rdf_ontology(read_data("rdf/model_fixture.ttl"), trelvanic_rdf::RdfSyntax::Turtle);
  ASSERT_TRUE(turtle) << turtle.error().message;
  for (bool strict : {true, false}) {
    for (const trelvanic_owl::Ontology* model : {&*functional, &turtle->ontology}) {
      auto m = map_to_core(*model, testing::limits_for(strict));
      ASSERT_TRUE(m) << m.error().message();
      EXPECT_GT(m->ontology.axioms().live_count(), 0u);
      EXPECT_GT(m->ontology.dl().axiom_count(), 0u);
      EXPECT_EQ(m->meta.logical_axiom_count, m->meta.mapped_axiom_count + m->meta.skipped_axiom_count);
      EXPECT_TRUE(m->meta.constructs.contains(trelvanic_core::OwlConstruct::SwrlRule));
      EXPECT_TRUE(m->ontology.dl().check_references().has_value());
    }
  }
}

}  // namespace
}  // namespace trelvanic_parser
