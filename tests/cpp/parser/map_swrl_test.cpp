// SWRL rules: atoms mapped into the rule list, rules with unmappable atoms
// skipped whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "map_test_support.h"
#include "parser/map_swrl.h"

namespace trelvanic_parser {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using trelvanic_core::OwlConstruct;

TEST(MapSwrl, SwrlRuleWithBuiltInSkippedWhole) {
  auto m = map_body(
      "DLSafeRule(Body(ClassAtom(:A Variable(:x)) "
      "BuiltInAtom(<http://www.w3.org/2003/11/swrlb#greaterThan> Variable(:v) \"5\"^^xsd:integer)) "
      "Head(ClassAtom(:B Variable(:x))))");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->meta.skipped_axiom_count, 1u);
  EXPECT_THAT(m->meta.warnings, ElementsAre("SWRL rule not mapped in v0.2"));
  EXPECT_TRUE(m->ontology.swrl_rules().empty());
  EXPECT_EQ(m->ontology.dl().axiom_count(), 0u);
  // Names met before the built-in stay registered.
  EXPECT_TRUE(m->ontology.lookup_entity(iri("A")).has_value());
}

TEST(MapSwrl, SwrlRuleMapped) {
  using trelvanic_core::SwrlAtom;
  using trelvanic_core::SwrlLiteral;
  using trelvanic_core::SwrlVariable;
  auto m = map_body(
      "DLSafeRule(Body(ClassAtom(:A Variable(<urn:v#x>)) DataPropertyAtom(:d Variable(:x) \"5\"^^xsd:integer) "
      "DataPropertyAtom(:d Variable(:x) \"hi\"@en)) "
      "Head(ObjectPropertyAtom(:p Variable(<http://other.org/x>) :b)))");
  ASSERT_TRUE(m);
  ASSERT_EQ(m->ontology.swrl_rules().size(), 1u);
  const auto& o = m->ontology;
  const auto& rule = o.swrl_rules()[0];
  const auto id = [&](std::string_view iri_text) { return *o.lookup_entity(iri_text); };
  const SwrlVariable x{"x"};
  EXPECT_THAT(rule.body,
              ElementsAre(SwrlAtom::class_atom(id(iri("A")), x),
                          SwrlAtom::data_property(id(iri("d")), x,
                                                  SwrlLiteral{"5", id("http://www.w3.org/2001/XMLSchema#integer")}),
                          SwrlAtom::data_property(id(iri("d")), x, SwrlLiteral{"hi", std::nullopt})));
  EXPECT_THAT(rule.head, ElementsAre(SwrlAtom::object_property(id(iri("p")), x, id(iri("b")))));
  EXPECT_THAT(dl_axioms(o), ElementsAre("SwrlRule"));
  EXPECT_TRUE(m->meta.profile_constructs.contains(OwlConstruct::SwrlRule));
}

TEST(MapSwrl, SwrlAtomsThatCannotMap) {
  for (const char* atom : {"ClassAtom(ObjectIntersectionOf(:A :B) Variable(:x))",
                           "ObjectPropertyAtom(ObjectInverseOf(:p) Variable(:x) Variable(:y))",
                           "DataPropertyAtom(:d :a \"1\")"}) {
    auto m = map_body(fmt::format("DLSafeRule(Body({}) Head())", atom));
    ASSERT_TRUE(m);
    EXPECT_THAT(m->meta.warnings, ElementsAre("SWRL rule not mapped in v0.2")) << atom;
    EXPECT_TRUE(m->ontology.swrl_rules().empty());
  }
}

TEST(MapSwrl, VariableNamesAndLiteralParts) {
  EXPECT_EQ(variable_name("http://a.org/r#x"), "x");
  EXPECT_EQ(variable_name("http://a.org/r/x"), "x");
  EXPECT_EQ(variable_name("urn:x"), "urn:x");
  EXPECT_EQ(variable_name("http://a.org/"), "");
}

}  // namespace
}  // namespace trelvanic_parser
