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

}  // namespace
}  // namespace trelvanic_alc::testing
