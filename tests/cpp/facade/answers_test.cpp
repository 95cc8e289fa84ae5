// Entailment questions answered from what was kept for an unchanged
// ontology give exactly the answers (and errors) of deciding each one
// afresh, on every route, and nothing kept outlives a change.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "facade/answers.h"
#include "facade/entailment.h"
#include "small_ontology.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::Profile;
using testing::SmallOntology;

const std::string kThing = "http://www.w3.org/2002/07/owl#Thing";
const std::string kNothing = "http://www.w3.org/2002/07/owl#Nothing";

std::string outcome(const Result<bool>& r) { return r ? (*r ? "yes" : "no") : "error: " + r.error().message(); }

// Every question over `names` (as IRIs): each pair as SubClassOf and as
// ClassAssertion, each triple with a property of `properties` as a
// property assertion.
std::vector<EntailmentCheck> questions(const std::vector<std::string>& names,
                                       const std::vector<std::string>& properties) {
  std::vector<EntailmentCheck> out;
  for (const auto& a : names) {
    for (const auto& b : names) {
      out.push_back(SubClassOfCheck{a, b});
      out.push_back(ClassAssertionCheck{a, b});
      for (const auto& p : properties) out.push_back(ObjectPropertyAssertionCheck{a, p, b});
    }
  }
  return out;
}

std::string describe(const EntailmentCheck& check) {
  return std::visit(
      [](const auto& c) -> std::string {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, SubClassOfCheck>) return "SubClassOf(" + c.sub + ", " + c.sup + ")";
        if constexpr (std::is_same_v<T, ClassAssertionCheck>) return c.cls + "(" + c.individual + ")";
        if constexpr (!std::is_same_v<T, SubClassOfCheck> && !std::is_same_v<T, ClassAssertionCheck>) {
          return c.property + "(" + c.subject + ", " + c.object + ")";
        }
      },
      check);
}

// Asks every question on one reasoner with kept answers: first read-only
// (before anything is kept every question needs an engine), then with
// engines allowed, then read-only again; the answers given must agree with
// a fresh reasoner's without kept answers. Returns how many questions the
// last read-only round answered.
int expect_same_answers(const SmallOntology& s, Profile profile, const std::vector<EntailmentCheck>& asked,
                        EntailmentAnswers& answers) {
  auto kept = s.reasoner(profile);
  int read = 0;
  for (const char* round : {"read-only before", "engines allowed", "read-only after"}) {
    const bool read_only = round[0] == 'r';
    read = 0;
    for (const auto& q : asked) {
      auto fresh = s.reasoner(profile);
      answers.set_read_only(read_only);
      const std::string got = outcome(is_entailed_axiom(kept, q, &answers));
      const bool skipped = answers.needed_engine();
      answers.set_read_only(false);
      if (skipped) {
        EXPECT_TRUE(read_only) << describe(q);
        continue;
      }
      read += read_only;
      EXPECT_EQ(got, outcome(is_entailed_axiom(fresh, q))) << describe(q) << " on profile " << int(profile) << ", "
                                                           << round;
    }
  }
  return read;
}

std::vector<std::string> iris(std::initializer_list<const char*> names) {
  std::vector<std::string> out;
  for (const char* n : names) out.push_back(SmallOntology::iri(n));
  return out;
}

// Classes under chains, existentials, conjunctions, a disjointness that
// makes one class unsatisfiable, punned names and the standard classes
// registered; individuals typed directly and through domains, ranges and
// sub-properties.
SmallOntology el_fixture() {
  SmallOntology s;
  auto a = s.cls("A"), b = s.cls("B"), c = s.cls("C"), d = s.cls("D"), e = s.cls("E"), u = s.cls("U");
  auto p = s.prop("p"), r = s.prop("r");
  s.add(Axiom::sub_class_of(a, b)).add(Axiom::sub_class_of(b, c));
  s.add(Axiom::sub_class_of_existential(a, p, d)).add(Axiom::object_property_domain(p, e));
  s.add(Axiom::sub_object_property_of(r, p));
  s.add(Axiom::sub_class_of(u, d)).add(Axiom::sub_class_of(u, s.cls("F"))).add(Axiom::disjoint_classes({d, s.cls("F")}));
  auto x = s.ind("x"), y = s.ind("y"), z = s.ind("z");
  s.add(Axiom::class_assertion(x, a)).add(Axiom::object_property_assertion(y, r, z));
  s.add(Axiom::object_property_range(p, s.cls("Ran")));
  s.add(Axiom::class_assertion(s.ind("w"), b));
  // Punned: a class that is also an individual.
  s.cls("Pun");
  s.ind("Pun");
  s.add(Axiom::sub_class_of(s.cls("Pun"), c));
  s.cls(kThing);
  s.cls(kNothing);
  return s;
}

TEST(KeptAnswers, AgreeWithFreshDecisionsOnEveryRoute) {
  SmallOntology s = el_fixture();
  auto names = iris({"A", "B", "C", "D", "E", "F", "U", "Ran", "Pun", "x", "y", "z", "w", "p", "missing"});
  names.push_back(kThing);
  names.push_back(kNothing);
  const auto asked = questions(names, iris({"p", "r", "A"}));
  std::vector<int> read;
  for (Profile profile : {Profile::Auto, Profile::El, Profile::Rl, Profile::Rdfs, Profile::Dl}) {
    EntailmentAnswers answers;
    read.push_back(expect_same_answers(s, profile, asked, answers));
  }
  // On the DL route read-only use answers only what needs no engine on any
  // route (lookup errors, A ⊑ A, stated assertions); the EL route adds what
  // its saturation decides, the RDFS and RL routes the "yes" their
  // materialised copies show.
  EXPECT_EQ(read[0], read[1]);
  EXPECT_GT(read[1], read[4]);
  EXPECT_GT(read[2], read[4]);
  EXPECT_GT(read[3], read[4]);
}

TEST(KeptAnswers, AgreeWithoutModelAndWithUnregisteredStandardClasses) {
  SmallOntology s;
  auto d = s.cls("D"), e = s.cls("E");
  s.add(Axiom::disjoint_classes({d, e}));
  auto x = s.ind("x");
  s.add(Axiom::class_assertion(x, d));
  s.cls("A");
  s.ind("i");
  auto names = iris({"A", "D", "E", "x", "i"});
  names.push_back(kThing);
  names.push_back(kNothing);
  const auto asked = questions(names, {});
  EntailmentAnswers answers;
  expect_same_answers(s, Profile::El, asked, answers);
  // The same answers object, now for the inconsistent ontology: the
  // change is seen and every question holds.
  s.add(Axiom::class_assertion(x, e));
  expect_same_answers(s, Profile::El, asked, answers);
  auto r = s.reasoner(Profile::El);
  EXPECT_EQ(outcome(is_entailed_axiom(r, SubClassOfCheck{SmallOntology::iri("A"), SmallOntology::iri("D")}, &answers)),
            "yes");
}

TEST(KeptAnswers, AreUsedOnlyForTheOntologyTheyWereKeptFor) {
  SmallOntology s;
  auto a = s.cls("A"), b = s.cls("B");
  s.cls("C");
  s.add(Axiom::sub_class_of(a, b));
  EntailmentAnswers answers;
  const SubClassOfCheck a_c{SmallOntology::iri("A"), SmallOntology::iri("C")};
  auto before = s.reasoner(Profile::El);
  EXPECT_EQ(outcome(is_entailed_axiom(before, a_c, &answers)), "no");
  EXPECT_TRUE(answers.holds_for(Profile::El, before.ontology()));
  EXPECT_FALSE(answers.holds_for(Profile::Auto, before.ontology()));
  // A copy shares the stores: still the same ontology, read without an
  // engine run.
  auto copy = s.reasoner(Profile::El);
  EXPECT_TRUE(answers.holds_for(Profile::El, copy.ontology()));
  answers.set_read_only(true);
  EXPECT_EQ(outcome(is_entailed_axiom(copy, a_c, &answers)), "no");
  EXPECT_FALSE(answers.needed_engine());
  answers.set_read_only(false);

  // An added axiom, an entity registered, a DL-store change: each makes
  // the kept answers stale.
  const std::vector<std::function<void(SmallOntology&)>> edits = {
      [](SmallOntology& o) { o.add(Axiom::sub_class_of(o.cls("B"), o.cls("C"))); },
      [](SmallOntology& o) { o.cls("New"); },
      [](SmallOntology& o) { (void)o.o.dl_mut(); },
  };
  for (const auto& edit : edits) {
    SmallOntology changed = s;
    auto kept = changed.reasoner(Profile::El);
    ASSERT_EQ(outcome(is_entailed_axiom(kept, a_c, &answers)), "no");
    ASSERT_TRUE(answers.holds_for(Profile::El, kept.ontology()));
    edit(changed);
    EXPECT_FALSE(answers.holds_for(Profile::El, changed.o));
    auto edited = changed.reasoner(Profile::El);
    answers.set_read_only(true);
    (void)is_entailed_axiom(edited, a_c, &answers);
    EXPECT_TRUE(answers.needed_engine());
    answers.set_read_only(false);
  }
  SmallOntology changed = s;
  changed.add(Axiom::sub_class_of(b, changed.cls("C")));
  auto after = changed.reasoner(Profile::El);
  EXPECT_EQ(outcome(is_entailed_axiom(after, a_c, &answers)), "yes");
}

TEST(KeptAnswers, KeptRdfsClosureFollowsAnEdit) {
  SmallOntology s;
  auto a = s.cls("A"), b = s.cls("B");
  s.cls("C");
  s.add(Axiom::sub_class_of(a, b)).add(Axiom::class_assertion(s.ind("i"), a));
  EntailmentAnswers answers;
  const SubClassOfCheck a_c{SmallOntology::iri("A"), SmallOntology::iri("C")};
  const ClassAssertionCheck c_i{SmallOntology::iri("i"), SmallOntology::iri("C")};
  auto before = s.reasoner(Profile::Rdfs);
  EXPECT_EQ(outcome(is_entailed_axiom(before, a_c, &answers)), "error: consistency check incomplete");
  EXPECT_EQ(outcome(is_entailed_axiom(before, c_i, &answers)), "error: consistency check incomplete");
  s.add(Axiom::sub_class_of(b, s.cls("C")));
  auto after = s.reasoner(Profile::Rdfs);
  EXPECT_EQ(outcome(is_entailed_axiom(after, a_c, &answers)), "yes");
  answers.set_read_only(true);
  EXPECT_EQ(outcome(is_entailed_axiom(after, c_i, &answers)), "yes");
  EXPECT_FALSE(answers.needed_engine());
  answers.set_read_only(false);
}

TEST(KeptAnswers, AgreeWhereTheLimitsLeaveNoRoomForAProbe) {
  SmallOntology s;
  s.add(Axiom::sub_class_of(s.cls("A"), s.cls("B")));
  s.add(Axiom::class_assertion(s.ind("i"), s.cls("A")));
  s.cls("C");
  const size_t entities = s.o.entity_count(), axioms = s.o.axiom_count();
  const auto asked = questions(iris({"A", "B", "C", "i"}), {});
  // One fresh name, two axioms: room for a class assertion's probe only.
  for (auto [more_entities, more_axioms] : {std::pair{1, 100}, std::pair{100, 2}, std::pair{0, 100}}) {
    trelvanic_core::OntologyLimits limits;
    limits.max_entities = entities + more_entities;
    limits.max_axioms = axioms + more_axioms;
    s.o.set_limits(limits);
    EntailmentAnswers answers;
    expect_same_answers(s, Profile::El, asked, answers);
  }
}

TEST(KeptAnswers, FollowWhatALenientLoadLeftOut) {
  // Skipped axioms refuse every "no"; a dropped DifferentIndividuals(a, a)
  // leaves no model, so everything holds.
  trelvanic_core::ParseMeta skipped, degenerate;
  skipped.skipped_axiom_count = 1;
  degenerate.degenerate_different_individuals = true;
  struct Case {
    trelvanic_core::ParseMeta meta;
    const char* b_below_a;
  };
  for (const Case& c : {Case{skipped, "error: consistency check incomplete"}, Case{degenerate, "yes"}}) {
    SmallOntology s;
    s.add(Axiom::sub_class_of(s.cls("A"), s.cls("B")));
    s.cls("C");
    s.ind("i");
    s.o.parse_meta_mut() = c.meta;
    EntailmentAnswers answers;
    expect_same_answers(s, Profile::El, questions(iris({"A", "B", "C", "i"}), {}), answers);
    auto r = s.reasoner(Profile::El);
    EXPECT_EQ(outcome(is_entailed_axiom(r, SubClassOfCheck{SmallOntology::iri("B"), SmallOntology::iri("A")},
                                        &answers)),
              c.b_below_a);
  }
}

}  // namespace
}  // namespace trelvanic_facade
