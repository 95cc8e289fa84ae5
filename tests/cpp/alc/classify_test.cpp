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

// Classifies `o` with the default limits.
Result<Tableau::Classification> classify(const trelvanic_core::Ontology& o) {
  auto dl = DlOntology::from_ontology(o);
  if (!dl) return std::unexpected(dl.error());
  Tableau t(*dl);
  return t.classify();
}

TEST(Classify, AnInconsistentOntologyGivesNoTaxonomy) {
  auto o = load("SubClassOf(:A :B) ClassAssertion(:A :a) ClassAssertion(ObjectComplementOf(:B) :a)");
  auto c = classify(o);
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_FALSE(c->consistent);
  EXPECT_TRUE(c->subsumptions.empty());
}

TEST(Classify, NominalSubsumptionUsesTheAbox) {
  auto o = load(
      "ObjectPropertyAssertion(:r :a :b) EquivalentClasses(:C ObjectHasValue(:r :b)) EquivalentClasses(:D "
      "ObjectOneOf(:a))");
  auto c = classify(o);
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
  auto c = classify(o);
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_TRUE(has_pair(*c, o, "X", "Y"));
  EXPECT_FALSE(has_pair(*c, o, "Y", "X"));
  EXPECT_TRUE(has_pair(*c, o, "W", "Z"));
  EXPECT_TRUE(has_pair(*c, o, "K199", "K0"));
  EXPECT_FALSE(has_pair(*c, o, "K0", "K1"));
}

// Subsumptions only tests find, along a chain whose upper classes have
// fewer told superclasses (so they are classified first and their
// subsumers are taken along), beside classes classified last whose first model holds the
// whole chain in its root though it is below none of it (or only of its
// top, which a failed test of the bottom must not rule out). The result is
// the closure of the direct edges and nothing more.
TEST(Classify, SubsumersTakenAlongProvenSubsumptionsAreExactlyTheClosure) {
  auto o = load(
      "SubClassOf(:D :A) SubClassOf(:A :B) SubClassOf(:B :C) "
      "EquivalentClasses(:Z ObjectSomeValuesFrom(:r :C)) "
      "EquivalentClasses(:Y ObjectSomeValuesFrom(:r :B)) SubClassOf(:Y :E1) "
      "EquivalentClasses(:X ObjectSomeValuesFrom(:r :A)) SubClassOf(:X :E2) SubClassOf(:X :E3) "
      "EquivalentClasses(:W ObjectSomeValuesFrom(:r :D)) SubClassOf(:W :E4) SubClassOf(:W :E5) SubClassOf(:W :E6) "
      "SubClassOf(:G ObjectUnionOf(:X ObjectSomeValuesFrom(:s :H))) SubClassOf(:P ObjectUnionOf(:X ObjectSomeValuesFrom(:s :H))) "
      "SubClassOf(:P ObjectSomeValuesFrom(:r :C)) SubClassOf(:G :F1) SubClassOf(:P :F1) SubClassOf(:F1 :F2) "
      "SubClassOf(:F2 :F3) SubClassOf(:F3 :F4) SubClassOf(:F4 :F5)");
  auto c = classify(o);
  ASSERT_TRUE(c.has_value()) << c.error().message();
  const std::vector<std::string> names = {"A", "B", "C", "D", "E1", "E2", "E3", "E4",
                                          "E5", "E6", "F1", "F2", "F3", "F4", "F5", "G", "H", "P", "W", "X", "Y", "Z"};
  const std::vector<std::pair<std::string, std::string>> direct = {
      {"D", "A"}, {"A", "B"}, {"B", "C"}, {"W", "X"}, {"X", "Y"}, {"Y", "Z"}, {"Y", "E1"},
      {"X", "E2"}, {"X", "E3"}, {"W", "E4"}, {"W", "E5"}, {"W", "E6"}, {"P", "Z"},
      {"G", "F1"}, {"P", "F1"}, {"F1", "F2"}, {"F2", "F3"}, {"F3", "F4"}, {"F4", "F5"}};
  std::vector<std::pair<std::string, std::string>> closure = direct;
  for (bool grew = true; grew;) {
    grew = false;
    for (size_t i = 0; i < closure.size(); ++i)
      for (size_t j = 0; j < closure.size(); ++j)
        if (closure[i].second == closure[j].first) {
          const std::pair<std::string, std::string> p{closure[i].first, closure[j].second};
          if (std::find(closure.begin(), closure.end(), p) == closure.end()) {
            closure.push_back(p);
            grew = true;
          }
        }
  }
  for (const auto& sub : names)
    for (const auto& sup : names) {
      if (sub == sup) continue;
      const bool want = std::find(closure.begin(), closure.end(), std::pair(sub, sup)) != closure.end();
      EXPECT_EQ(has_pair(*c, o, sub.c_str(), sup.c_str()), want) << sub << " ⊑ " << sup;
    }
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
  auto c = classify(o);
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_TRUE(c->unsatisfiable.empty());
  EXPECT_TRUE(has_pair(*c, o, "P", "Domain"));
  EXPECT_TRUE(has_pair(*c, o, "Country", "Domain"));
  EXPECT_FALSE(has_pair(*c, o, "P", "Country"));
  EXPECT_FALSE(has_pair(*c, o, "T0", "Country"));
}

// Every world may hold ≥3 r or ≤5 r besides ≥5 r: the at-most choices
// over five successors must not try the same merges again in another
// order, or the search outgrows the default budget. Every merge tried
// counts towards that budget, even one that adds no label entry.
TEST(Classify, FailedMergesAreNotTriedAgain) {
  auto o = load(
      "EquivalentClasses(:X ObjectIntersectionOf(ObjectComplementOf(ObjectMaxCardinality(4 :r))"
      " ObjectAllValuesFrom(:r :N)))"
      "EquivalentClasses(:Y ObjectIntersectionOf(ObjectComplementOf(ObjectMaxCardinality(5 :r))"
      " ObjectMaxCardinality(2 :r)))");
  auto c = classify(o);
  ASSERT_TRUE(c.has_value()) << c.error().message();
  EXPECT_EQ(c->unsatisfiable, std::vector<trelvanic_core::EntityId>{entity(o, "Y")});
  EXPECT_TRUE(c->subsumptions.empty());
}

}  // namespace
}  // namespace trelvanic_alc::testing
