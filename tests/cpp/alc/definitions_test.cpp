// Named-class definitions chosen from the DL store, and conjunction leaves.
#include "alc/definitions.h"

#include <string>
#include <vector>

#include "fixture.h"

namespace trelvanic_alc::testing {
namespace {

using trelvanic_core::CeId;
using trelvanic_core::ClassExpr;
using trelvanic_core::DlAxiom;
using trelvanic_core::DlStore;

std::string text(const trelvanic_core::Ontology& o, CeId c) {
  const auto& dl = o.dl();
  if (!dl.has_ce(c)) return "?";
  const auto v = dl.ce(c);
  if (v.kind == trelvanic_core::CeKind::Atomic) {
    auto iri = o.entity_iri(v.entity());
    return iri ? std::string(iri->substr(iri->find('#') + 1)) : "?";
  }
  std::string out(trelvanic_core::ce_kind_name(v.kind));
  if (v.kind == trelvanic_core::CeKind::And || v.kind == trelvanic_core::CeKind::Or) {
    out += "(";
    for (size_t i = 0; i < v.operands().size(); ++i) out += (i ? " " : "") + text(o, v.operands()[i]);
    out += ")";
  }
  return out;
}

CeId atom(trelvanic_core::Ontology& o, const std::string& cls) {
  return o.dl_mut().intern_ce(ClassExpr::atomic(entity(o, cls)));
}

TEST(Definitions, TheBestRankedDefinitionFirstAmongEquals) {
  struct Case {
    const char* what;
    const char* body;
    const char* cls;
    const char* expected;  // empty: none
  };
  const Case cases[] = {
      {"a conjunction over a restriction",
       "EquivalentClasses(:A ObjectSomeValuesFrom(:r :B)) EquivalentClasses(:A ObjectIntersectionOf(:B :C))", "A",
       "And(B C)"},
      {"the first of two conjunctions",
       "EquivalentClasses(:A ObjectIntersectionOf(:B :C)) EquivalentClasses(:A ObjectUnionOf(:C :D))", "A",
       "And(B C)"},
      {"a restriction over a complement",
       "EquivalentClasses(:A ObjectComplementOf(:B)) EquivalentClasses(:A ObjectAllValuesFrom(:r :B))", "A", "All"},
      {"a complement over a name and a nominal",
       "EquivalentClasses(:A :D ObjectOneOf(:i) ObjectComplementOf(:B))", "A", "Not"},
      {"a name beside a complex operand is defined by it",
       "EquivalentClasses(:A :D ObjectSomeValuesFrom(:r :B))", "D", "Some"},
      {"told equivalences of names are not read", "EquivalentClasses(:A :B)", "A", ""},
      {"a class in no equivalence", "SubClassOf(:A ObjectSomeValuesFrom(:r :B))", "A", ""},
  };
  for (const Case& c : cases) {
    auto o = load(c.body);
    const auto d = equivalent_definition_ce(o.dl(), entity(o, c.cls));
    EXPECT_EQ(d ? text(o, *d) : "", c.expected) << c.what;
  }
}

TEST(Definitions, EffectiveExpressionUnfoldsNamesUntilACycle) {
  auto o = load(
      "EquivalentClasses(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:r :B) ObjectAllValuesFrom(:r"
      " ObjectComplementOf(:B)))) SubClassOf(:C :D) SubClassOf(:E :F) SubClassOf(:G :H)");
  // Equivalences between names reach the DL store only when built by hand.
  o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atom(o, "E"), atom(o, "F")}));
  o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atom(o, "F"), atom(o, "G")}));
  o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atom(o, "G"), atom(o, "E")}));
  const CeId a = atom(o, "A"), c = atom(o, "C"), e = atom(o, "E");
  const CeId some = o.dl_mut().intern_ce(ClassExpr::some(trelvanic_core::RoleExpr::atomic(entity(o, "r")), atom(o, "B")));
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  EXPECT_EQ(text(o, effective_class_expression(*dl, a)), "And(Some All)");
  EXPECT_EQ(effective_class_expression(*dl, c), c);        // no definition
  EXPECT_EQ(effective_class_expression(*dl, some), some);  // not a name
  // Among names the first candidate stays: E is defined by F, F by E and
  // G by F. E → F → E stops at E, G → F → E → F at F.
  EXPECT_EQ(text(o, effective_class_expression(*dl, e)), "E");
  EXPECT_EQ(text(o, effective_class_expression(*dl, atom(o, "G"))), "F");
}

TEST(Definitions, ConjunctionLeavesRightToLeft) {
  auto o = load("SubClassOf(:A :B) SubClassOf(:C :D)");
  DlStore& dl = o.dl_mut();
  const CeId a = atom(o, "A"), b = atom(o, "B"), c = atom(o, "C");
  const CeId inner = dl.intern_ce(ClassExpr::and_of({b, c}));
  const CeId nested = dl.intern_ce(ClassExpr::and_of({a, inner}));
  const CeId flat = dl.intern_ce(ClassExpr::and_of({a, b, c}));
  const CeId with_or = dl.intern_ce(ClassExpr::and_of({dl.intern_ce(ClassExpr::or_of({a, b})), a}));
  const auto names = [&](CeId x) {
    std::string out;
    for (CeId leaf : flatten_and_conjuncts(o.dl(), x)) out += text(o, leaf) + " ";
    return out;
  };
  EXPECT_EQ(names(nested), "C B A ");
  EXPECT_EQ(names(flat), "C B A ");
  EXPECT_EQ(names(with_or), "A Or(A B) ");  // a union is a leaf, duplicates stay
  EXPECT_EQ(names(a), "A ");
  EXPECT_EQ(names(CeId(1'000'000)), "? ");  // outside the store: a leaf
}

}  // namespace
}  // namespace trelvanic_alc::testing
