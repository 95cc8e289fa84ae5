// Classification: inconsistency first, nominals through the ABox, and the
// candidate subsumers read from a model's root.
#include <algorithm>
#include <string>

#include "fixture.h"

namespace trelvanic_alc::testing {
namespace {

using Pair = std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>;

bool has_pair(const Tableau::Classification& c, const trelvanic_core::Ontology& o, const char* sub, const char* sup) {
  const Pair p{entity(o, sub), entity(o, sup)};
  return std::find(c.subsumptions.begin(), c.subsumptions.end(), p) != c.subsumptions.end();
}

TEST(Classify, AnInconsistentOntologyGivesNoTaxonomy) {
  auto o = load("SubClassOf(:A :B) ClassAssertion(:A :a) ClassAssertion(ObjectComplementOf(:B) :a)");
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  Tableau t(*dl);
  auto c = t.classify();
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_FALSE(c->consistent);
  EXPECT_TRUE(c->subsumptions.empty());
}

TEST(Classify, NominalSubsumptionUsesTheAbox) {
  auto o = load(
      "ObjectPropertyAssertion(:r :a :b) EquivalentClasses(:C ObjectHasValue(:r :b)) EquivalentClasses(:D "
      "ObjectOneOf(:a))");
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  Tableau t(*dl);
  auto c = t.classify();
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_TRUE(has_pair(*c, o, "D", "C"));
  EXPECT_FALSE(has_pair(*c, o, "C", "D"));
}

// Many classes, one subsumption that only the tableau finds, and one found
// only through the names in a model's root (no told path leads there).
TEST(Classify, DefinedSuperclassesAmongManyClasses) {
  std::string body =
      "EquivalentClasses(:X ObjectSomeValuesFrom(:r :A)) EquivalentClasses(:Y ObjectSomeValuesFrom(:r :B)) "
      "SubClassOf(:A :B) EquivalentClasses(:Z ObjectUnionOf(ObjectComplementOf(:P) :Q)) SubClassOf(:W :Q) ";
  for (int i = 0; i < 200; ++i) body += "SubClassOf(:K" + std::to_string(i) + " :K" + std::to_string(i / 2) + ") ";
  auto o = load(body);
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  Tableau t(*dl);
  auto c = t.classify();
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_TRUE(has_pair(*c, o, "X", "Y"));
  EXPECT_FALSE(has_pair(*c, o, "Y", "X"));
  EXPECT_TRUE(has_pair(*c, o, "W", "Z"));
  EXPECT_TRUE(has_pair(*c, o, "K199", "K0"));
  EXPECT_FALSE(has_pair(*c, o, "K0", "K1"));
}

// A closed class of five different individuals over a class every world
// belongs to: each of the many successor worlds may be one of the
// individuals, and the search must settle that without trying the merges
// first, or the classification outgrows the default budget.
TEST(Classify, ClosedClassOverEveryWorldFitsTheDefaultBudget) {
  constexpr int kToppings = 14;
  std::string body =
      "EquivalentClasses(:Country ObjectIntersectionOf(:Domain ObjectOneOf(:a :b :c :d :e))) "
      "DifferentIndividuals(:a :b :c :d :e) SubClassOf(:Food :Domain) SubClassOf(:P :Food) "
      "InverseFunctionalObjectProperty(:hasTopping) DisjointClasses(";
  for (int i = 0; i < kToppings; ++i) body += ":T" + std::to_string(i) + " ";
  body += ") ";
  for (const char* a : {"a", "b", "c", "d", "e"}) body += std::string("ClassAssertion(:Country :") + a + ") ";
  for (int i = 0; i < kToppings; ++i) {
    const std::string t = ":T" + std::to_string(i);
    body += "SubClassOf(" + t + " :Food) SubClassOf(:P ObjectSomeValuesFrom(:hasTopping " + t + ")) ";
  }
  auto o = load(body);
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  Tableau t(*dl);
  auto c = t.classify();
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_TRUE(c->unsatisfiable.empty());
  EXPECT_TRUE(has_pair(*c, o, "P", "Domain"));
  EXPECT_TRUE(has_pair(*c, o, "Country", "Domain"));
  EXPECT_FALSE(has_pair(*c, o, "P", "Country"));
  EXPECT_FALSE(has_pair(*c, o, "T0", "Country"));
}

}  // namespace
}  // namespace trelvanic_alc::testing
