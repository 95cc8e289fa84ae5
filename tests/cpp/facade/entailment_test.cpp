// Entailment checks through the facade: usage messages, lookups, the
// subsumptions that hold on every route, and EL decisions that count
// property assertions, domains, ranges and inconsistency.
#include <gtest/gtest.h>

#include "facade/entailment.h"
#include "small_ontology.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::EntityKind;
using trelvanic_core::Profile;
using testing::SmallOntology;

using Opt = std::optional<std::string>;

TEST(ParseEntailmentCheck, RefusesWrongCombinationsWithUsageMessages) {
  struct Case {
    Opt sub, sup, individual, cls, subject, property, object;
    const char* message;
  };
  const Opt x = "x";
  const Case cases[] = {
      {{}, {}, {}, {}, {}, {}, {}, kEntailUsage},
      {x, {}, x, {}, {}, {}, {}, kEntailUsage},
      {x, {}, {}, {}, {}, {}, {}, "--sup required"},
      {{}, x, {}, {}, {}, {}, {}, "--sub required"},
      {{}, {}, x, {}, {}, {}, {}, "--class required"},
      {{}, {}, {}, x, {}, {}, {}, "--individual required"},
      {{}, {}, {}, {}, {}, x, {}, "--subject required"},
      {{}, {}, {}, {}, x, x, {}, "--object required"},
      {{}, {}, {}, {}, x, {}, x, "--property required"},
  };
  for (const Case& c : cases) {
    auto out = parse_entailment_check(c.sub, c.sup, c.individual, c.cls, c.subject, c.property, c.object);
    ASSERT_FALSE(out) << c.message;
    EXPECT_EQ(out.error().variant(), ErrorVariant::Core);
    EXPECT_EQ(out.error().message(), c.message);
  }
  // An empty string is given.
  auto empty = parse_entailment_check(Opt(""), Opt(""), {}, {}, {}, {}, {});
  ASSERT_TRUE(empty);
  EXPECT_EQ(std::get<SubClassOfCheck>(*empty).sub, "");
}

bool entailed(SmallOntology& s, const EntailmentCheck& check, Profile profile = Profile::El) {
  auto r = s.reasoner(profile);
  auto out = is_entailed_axiom(r, check);
  EXPECT_TRUE(out) << out.error().message();
  return out && *out;
}

std::string err(SmallOntology& s, const EntailmentCheck& check, Profile profile = Profile::El) {
  auto r = s.reasoner(profile);
  auto out = is_entailed_axiom(r, check);
  EXPECT_FALSE(out);
  return out ? "" : out.error().message();
}

const std::string kThing = "http://www.w3.org/2002/07/owl#Thing";
const std::string kNothing = "http://www.w3.org/2002/07/owl#Nothing";

TEST(SubsumptionEntailment, ReflexiveThingAndNothingHoldOnEveryRoute) {
  SmallOntology s;
  s.add(Axiom::sub_class_of(s.cls("A"), s.cls("B")));
  const std::string a = SmallOntology::iri("A");
  for (Profile profile : {Profile::Auto, Profile::El, Profile::Rl, Profile::Rdfs, Profile::Dl, Profile::Swrl}) {
    EXPECT_TRUE(entailed(s, SubClassOfCheck{a, a}, profile));
    EXPECT_TRUE(entailed(s, SubClassOfCheck{a, kThing}, profile));
    EXPECT_TRUE(entailed(s, SubClassOfCheck{kNothing, a}, profile));
  }
  // Registered or not, the two stay what they are.
  s.cls(kThing);
  s.cls(kNothing);
  EXPECT_TRUE(entailed(s, SubClassOfCheck{kThing, "http://www.w3.org/2002/07/owl%23Thing"}, Profile::Rdfs));
  EXPECT_TRUE(entailed(s, SubClassOfCheck{kNothing, kThing}, Profile::Rl));
  EXPECT_FALSE(entailed(s, SubClassOfCheck{kThing, a}));
  // RL decides the rest; a clean RDFS closure proves nothing.
  const std::string b = SmallOntology::iri("B");
  EXPECT_TRUE(entailed(s, SubClassOfCheck{a, b}, Profile::Rl));
  EXPECT_FALSE(entailed(s, SubClassOfCheck{b, a}, Profile::Rl));
  EXPECT_TRUE(entailed(s, SubClassOfCheck{a, b}, Profile::Rdfs));
  EXPECT_EQ(err(s, SubClassOfCheck{b, a}, Profile::Rdfs), "consistency check incomplete");
}

TEST(SubsumptionEntailment, ElDecidesChainsUnsatisfiableClassesAndNonClasses) {
  SmallOntology s;
  auto a = s.cls("A"), b = s.cls("B"), c = s.cls("C"), d = s.cls("D"), e = s.cls("E");
  s.add(Axiom::sub_class_of(a, b)).add(Axiom::sub_class_of(b, c));
  // U is unsatisfiable: below two disjoint classes.
  auto u = s.cls("U");
  s.add(Axiom::sub_class_of(u, d)).add(Axiom::sub_class_of(u, e)).add(Axiom::disjoint_classes({d, e}));
  s.ind("i");
  const auto iri = SmallOntology::iri;
  EXPECT_TRUE(entailed(s, SubClassOfCheck{iri("A"), iri("C")}));
  EXPECT_FALSE(entailed(s, SubClassOfCheck{iri("C"), iri("A")}));
  EXPECT_TRUE(entailed(s, SubClassOfCheck{iri("U"), iri("A")}));
  // An individual read as a class is a class no axiom mentions.
  EXPECT_FALSE(entailed(s, SubClassOfCheck{iri("i"), iri("A")}));
  EXPECT_EQ(err(s, SubClassOfCheck{iri("A"), ""}), "unknown class IRI: ");
}

TEST(SubsumptionEntailment, EverythingHoldsInAnOntologyWithoutModel) {
  SmallOntology s;
  auto d = s.cls("D"), e = s.cls("E");
  s.add(Axiom::disjoint_classes({d, e}));
  auto x = s.ind("x");
  s.add(Axiom::class_assertion(x, d)).add(Axiom::class_assertion(x, e));
  s.cls("A");
  s.ind("i");
  EXPECT_TRUE(entailed(s, SubClassOfCheck{SmallOntology::iri("i"), SmallOntology::iri("A")}));
  EXPECT_TRUE(entailed(s, ClassAssertionCheck{SmallOntology::iri("i"), SmallOntology::iri("A")}));
}

TEST(ClassAssertionEntailment, ElCountsAssertionsDomainsRangesAndExistentials) {
  SmallOntology s;
  auto p = s.prop("p");
  auto a = s.cls("A"), b = s.cls("B"), dom = s.cls("Dom"), ran = s.cls("Ran"), other = s.cls("Other");
  auto x = s.ind("x"), y = s.ind("y"), z = s.ind("z");
  s.add(Axiom::sub_class_of(a, b));
  s.add(Axiom::class_assertion(x, a));
  s.add(Axiom::object_property_domain(p, dom)).add(Axiom::object_property_range(p, ran));
  s.add(Axiom::object_property_assertion(y, p, z));
  // E ⊑ ∃p.Ran and ∃p.Ran members... E(x) gives x a p-successor; with the
  // domain, x is in Dom without a stated p assertion.
  auto e = s.cls("E");
  s.add(Axiom::sub_class_of_existential(e, p, ran)).add(Axiom::class_assertion(x, e));
  (void)other;
  const auto iri = SmallOntology::iri;
  struct Case {
    const char* individual;
    const char* cls;
    bool expected;
  };
  const Case cases[] = {
      {"x", "A", true},  {"x", "B", true},   {"y", "Dom", true},  {"z", "Ran", true},
      {"x", "Dom", true}, {"y", "Ran", false}, {"x", "Other", false}, {"z", "Dom", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(entailed(s, ClassAssertionCheck{iri(c.individual), iri(c.cls)}), c.expected)
        << c.individual << " " << c.cls;
  }
  EXPECT_TRUE(entailed(s, ClassAssertionCheck{iri("y"), kThing}));
  EXPECT_EQ(err(s, ClassAssertionCheck{iri("A"), iri("A")}), "expected individual IRI: " + iri("A"));
  EXPECT_EQ(err(s, ClassAssertionCheck{iri("x"), iri("p")}), "expected class IRI: " + iri("p"));
  // The existential superclass has no OWL 2 RL form: RL refuses a "no".
  EXPECT_EQ(err(s, ClassAssertionCheck{iri("x"), iri("Other")}, Profile::Rl), "consistency check incomplete");
}

TEST(ClassAssertionEntailment, RlDecidesAndRdfsAnswersOnlyYes) {
  SmallOntology s;
  auto p = s.prop("p");
  auto a = s.cls("A"), b = s.cls("B"), dom = s.cls("Dom");
  s.cls("Other");
  s.add(Axiom::sub_class_of(a, b)).add(Axiom::class_assertion(s.ind("x"), a));
  s.add(Axiom::object_property_domain(p, dom)).add(Axiom::object_property_assertion(s.ind("y"), p, s.ind("z")));
  const auto iri = SmallOntology::iri;
  EXPECT_TRUE(entailed(s, ClassAssertionCheck{iri("x"), iri("B")}, Profile::Rl));
  EXPECT_TRUE(entailed(s, ClassAssertionCheck{iri("y"), iri("Dom")}, Profile::Rl));
  EXPECT_FALSE(entailed(s, ClassAssertionCheck{iri("z"), iri("Dom")}, Profile::Rl));
  EXPECT_FALSE(entailed(s, ClassAssertionCheck{iri("x"), iri("Other")}, Profile::Rl));
  EXPECT_TRUE(entailed(s, ClassAssertionCheck{iri("y"), iri("Dom")}, Profile::Rdfs));
  EXPECT_EQ(err(s, ClassAssertionCheck{iri("z"), iri("Dom")}, Profile::Rdfs), "consistency check incomplete");
}

TEST(PropertyAssertionEntailment, StatedAndThroughSubPropertyOnElAndRl) {
  SmallOntology s;
  auto p = s.prop("p"), r = s.prop("r");
  s.add(Axiom::object_property_assertion(s.ind("a"), p, s.ind("b")));
  s.add(Axiom::sub_object_property_of(r, p));
  s.add(Axiom::object_property_assertion(s.ind("c"), r, s.ind("d")));
  const auto iri = SmallOntology::iri;
  struct Case {
    const char *subject, *property, *object;
    bool expected;
  };
  const Case cases[] = {
      {"a", "p", "b", true}, {"c", "p", "d", true}, {"b", "p", "a", false}, {"a", "r", "b", false}, {"c", "p", "b", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(entailed(s, ObjectPropertyAssertionCheck{iri(c.subject), iri(c.property), iri(c.object)}),
              c.expected)
        << c.subject << " " << c.property << " " << c.object;
  }
  for (const Case& c : cases) {
    EXPECT_EQ(entailed(s, ObjectPropertyAssertionCheck{iri(c.subject), iri(c.property), iri(c.object)}, Profile::Rl),
              c.expected)
        << "RL " << c.subject << " " << c.property << " " << c.object;
  }
  EXPECT_TRUE(entailed(s, ObjectPropertyAssertionCheck{iri("c"), iri("p"), iri("d")}, Profile::Rdfs));
  EXPECT_EQ(err(s, ObjectPropertyAssertionCheck{iri("b"), iri("p"), iri("a")}, Profile::Rdfs),
            "consistency check incomplete");
  // q is also a class: the property lookup refuses the punned kind.
  SmallOntology punned = s;
  punned.cls("q");
  punned.prop("q");
  EXPECT_EQ(err(punned, ObjectPropertyAssertionCheck{iri("a"), iri("q"), iri("b")}),
            "expected object property IRI: " + iri("q"));
  EXPECT_EQ(err(s, ObjectPropertyAssertionCheck{iri("a"), iri("p"), iri("nobody")}),
            "unknown individual IRI: " + iri("nobody"));
}

TEST(Entailment, ProbesLeaveTheReasonersOntologyAsItWas) {
  SmallOntology s;
  s.add(Axiom::class_assertion(s.ind("x"), s.cls("A")));
  auto r = s.reasoner(Profile::El);
  const auto before = r.ontology().revision();
  const size_t entities = r.ontology().entity_count();
  auto out = is_entailed_axiom(r, ClassAssertionCheck{SmallOntology::iri("x"), SmallOntology::iri("A")});
  ASSERT_TRUE(out);
  EXPECT_TRUE(*out);
  EXPECT_EQ(r.ontology().revision(), before);
  EXPECT_EQ(r.ontology().entity_count(), entities);
}

}  // namespace
}  // namespace trelvanic_facade
