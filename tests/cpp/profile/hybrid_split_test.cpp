#include <functional>

#include <gtest/gtest.h>

#include "fixture.h"
#include "profile/hybrid.h"

namespace trelvanic_profile {

// Readable failure output.
void PrintTo(const ClassifiedModule& m, std::ostream* os) {
  *os << owl_profile_name(m.profile) << " dl_store=" << m.include_dl_store << " axioms=[";
  for (auto id : m.axioms) *os << id.value << " ";
  *os << "] signature=[";
  for (const auto& s : m.signature) *os << s << " ";
  *os << "]";
}

}  // namespace trelvanic_profile

namespace trelvanic_profile::testing {
namespace {

using Ids = std::vector<AxiomId>;
using Iris = std::vector<std::string>;

HybridReport split(const Ontology& o) {
  auto r = classify_hybrid(o);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().display());
  return r.value_or(HybridReport{});
}

std::vector<OwlProfile> profiles(const HybridReport& r) {
  std::vector<OwlProfile> out;
  for (const auto& m : r.modules) out.push_back(m.profile);
  return out;
}

TEST(HybridSplit, EmptyOntologyGivesOneEmptyElModule) {
  const HybridReport r = split(Ontology());
  ASSERT_EQ(r.modules.size(), 1u);
  EXPECT_EQ(r.modules[0], (ClassifiedModule{{}, {}, false, OwlProfile::El}));
}

TEST(HybridSplit, EntitiesWithNothingToClassifyFail) {
  Fixture f;
  f.cls("A");
  f.cls("B");
  auto r = classify_hybrid(f.o);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "hybrid classification produced no modules for a non-empty ontology");
}

TEST(HybridSplit, ToldAxiomsSplitByForm) {
  Fixture f;
  const EntityId a = f.cls("A"), b = f.cls("B"), c = f.cls("C"), r = f.prop("r"), i = f.ind("i");
  // Ids 0..7; keep 3 (SubClassOf), 5 (ClassAssertion), 7 (SubClassOfExistential).
  std::vector<Axiom> axioms = {
      Axiom::sub_class_of(b, a), Axiom::sub_class_of(c, a), Axiom::sub_class_of(c, b),
      Axiom::sub_class_of(a, b), Axiom::sub_class_of(b, c), Axiom::class_assertion(i, a),
      Axiom::sub_class_of(a, c), Axiom::sub_class_of_existential(c, r, b)};
  for (auto& x : axioms) f.add(x);
  for (uint32_t gone : {0u, 1u, 2u, 4u, 6u}) ASSERT_TRUE(f.o.remove_axiom(AxiomId(gone)).has_value());
  const HybridReport rep = split(f.o);
  ASSERT_EQ(rep.modules.size(), 2u);
  EXPECT_EQ(rep.modules[0], (ClassifiedModule{{iri("A"), iri("B"), iri("C")}, {AxiomId(3), AxiomId(7)}, false,
                                             OwlProfile::El}));
  EXPECT_EQ(rep.modules[1], (ClassifiedModule{{iri("A")}, {AxiomId(5)}, false, OwlProfile::Rl}));
  EXPECT_EQ(partition_axioms(f.o).el, (Ids{AxiomId(3), AxiomId(5), AxiomId(7)}));
  EXPECT_TRUE(partition_axioms(f.o).dl.empty());
}

// The DL store is examined whether or not the ontology changed since load.
TEST(HybridSplit, LoadedOntologyGetsItsDlModuleBeforeAndAfterAnEdit) {
  Fixture f;
  const EntityId a = f.cls("A"), b = f.cls("B");
  const CeId d = f.atom("D"), e = f.atom("E"), c = f.atom("C");
  f.add(Axiom::sub_class_of(a, b));
  f.dl(DlAxiom::disjoint_classes({c, f.ce(ClassExpr::or_of({d, e}))}));
  f.mark_loaded({}, {C::SubClassOfNamed});
  EXPECT_EQ(profiles(split(f.o)), (std::vector{OwlProfile::El, OwlProfile::Dl}));
  f.add(Axiom::sub_class_of(f.cls("B"), f.cls("C")));
  const HybridReport r = split(f.o);
  ASSERT_EQ(profiles(r), (std::vector{OwlProfile::El, OwlProfile::Dl}));
  // The DL module names every class in entity-id order.
  EXPECT_EQ(r.modules[1], (ClassifiedModule{{iri("A"), iri("B"), iri("D"), iri("E"), iri("C")}, {}, true,
                                            OwlProfile::Dl}));
}

TEST(HybridSplit, WhereTheDlStoreGoes) {
  struct Case {
    const char* name;
    std::function<void(Fixture&)> build;
    std::vector<OwlProfile> modules;
    bool el_takes_dl_store;
  };
  const auto data_range = [](Fixture& f) {
    const EntityId dt = *f.o.entity_id("http://www.w3.org/2001/XMLSchema#integer", EntityKind::Datatype);
    const auto de = f.o.dl_mut().intern_de(trelvanic_core::DataExpr::datatype_ref(dt));
    f.dl(DlAxiom::data_property_range(f.entity("d", EntityKind::DataProperty), de));
  };
  const auto el_definition = [](Fixture& f) {
    const CeId some = f.ce(ClassExpr::some(RoleExpr::atomic(f.prop("r")), f.atom("C")));
    f.dl(DlAxiom::equivalent_classes({f.atom("A"), f.ce(ClassExpr::and_of({f.atom("B"), some}))}));
  };
  const std::vector<Case> cases = {
      // A data range is beyond the EL engine: it must not be dropped.
      {"data range and a subclass axiom",
       [&](Fixture& f) {
         data_range(f);
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
       },
       {OwlProfile::El, OwlProfile::Dl}, false},
      {"data range alone", data_range, {OwlProfile::Dl}, false},
      {"EL definition alone", el_definition, {OwlProfile::El}, true},
      {"EL definition and an assertion",
       [&](Fixture& f) {
         el_definition(f);
         f.add(Axiom::class_assertion(f.ind("i"), f.cls("A")));
       },
       {OwlProfile::El, OwlProfile::Rl}, true},
      {"EL definition and a negative assertion",
       [&](Fixture& f) {
         el_definition(f);
         f.dl(DlAxiom::negative_object_property_assertion(f.ind("i"), f.prop("r"), f.ind("j")));
       },
       {OwlProfile::Dl}, false},
      {"SWRL rule held outside the DL store",
       [&](Fixture& f) {
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
         f.o.push_swrl_rule({});
       },
       {OwlProfile::El, OwlProfile::Dl}, false},
  };
  for (const auto& c : cases) {
    Fixture f;
    c.build(f);
    const HybridReport r = split(f.o);
    EXPECT_EQ(profiles(r), c.modules) << c.name;
    if (r.modules.front().profile == OwlProfile::El) {
      EXPECT_EQ(r.modules.front().include_dl_store, c.el_takes_dl_store) << c.name;
    }
  }
}

TEST(HybridSplit, ElModuleTakingTheDlStoreNamesItsClasses) {
  Fixture f;
  const CeId some = f.ce(ClassExpr::some(RoleExpr::atomic(f.prop("r")), f.atom("C")));
  f.dl(DlAxiom::equivalent_classes({f.atom("A"), f.ce(ClassExpr::and_of({f.atom("B"), some}))}));
  f.add(Axiom::sub_class_of(f.cls("Z"), f.cls("A")));
  const HybridReport r = split(f.o);
  ASSERT_EQ(r.modules.size(), 1u);
  EXPECT_EQ(r.modules[0].signature, (Iris{iri("A"), iri("B"), iri("C"), iri("Z")}));
}

TEST(HybridSplit, SignaturesKeepPlainClassesOnceInByteOrder) {
  Fixture f;
  const EntityId lower = f.cls("a"), upper = f.cls("B"), punned = f.cls("P");
  f.ind("P");
  const Ids ids = {f.add(Axiom::sub_class_of(lower, upper)), f.add(Axiom::sub_class_of(upper, lower)),
                   f.add(Axiom::sub_class_of(punned, lower))};
  EXPECT_EQ(signature_for_axioms(f.o, ids), (Iris{iri("B"), iri("a")}));
  EXPECT_EQ(signature_for_axioms(f.o, Ids{AxiomId(99)}), Iris{});
}

}  // namespace
}  // namespace trelvanic_profile::testing
