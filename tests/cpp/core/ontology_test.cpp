#include "core/ontology.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

using K = EntityKind;

struct Fixture {
  Ontology o;
  EntityId A, B, C, P, Q, R, X;
  Fixture() {
    A = *o.entity_id("http://x/A", K::Class);
    B = *o.entity_id("http://x/B", K::Class);
    C = *o.entity_id("http://x/C", K::Class);
    P = *o.entity_id("http://x/p", K::ObjectProperty);
    Q = *o.entity_id("http://x/q", K::ObjectProperty);
    R = *o.entity_id("http://x/r", K::ObjectProperty);
    X = *o.entity_id("http://x/x", K::Individual);
  }
};

TEST(Ontology, TwiceAddedAxiomKeepsIdAndBumpsRevision) {
  Fixture f;
  const AxiomId a = *f.o.add_axiom(Axiom::sub_class_of(f.A, f.B));
  EXPECT_EQ(*f.o.add_axiom(Axiom::sub_class_of(f.A, f.B)), a);
  EXPECT_EQ(f.o.revision(), (OntologyRevision{2, false}));
  EXPECT_EQ(f.o.dirty().added(), std::vector<AxiomId>{a});
  EXPECT_EQ(std::vector<EntityId>(f.o.direct_superclasses(f.A).begin(), f.o.direct_superclasses(f.A).end()),
            std::vector<EntityId>{f.B});

  ASSERT_TRUE(f.o.remove_axiom(a));
  auto again = f.o.remove_axiom(a);
  ASSERT_FALSE(again);
  EXPECT_EQ(again.error().message(), "invalid axiom: removed AxiomId: 0");
  EXPECT_TRUE(f.o.dirty().has_removals());
  EXPECT_EQ(f.o.dirty_signatures(), (absl::flat_hash_set<EntityId>{f.A, f.B}));
  EXPECT_TRUE(f.o.direct_superclasses(f.A).empty());
}

TEST(Ontology, LimitsRefuseToldButNeverInferredAxioms) {
  Fixture f;
  OntologyLimits limits;
  limits.max_axioms = 2;
  limits.max_entities = 8;
  f.o.set_limits(limits);
  const Axiom ab = Axiom::sub_class_of(f.A, f.B);
  ASSERT_TRUE(f.o.add_axiom(ab));
  ASSERT_TRUE(f.o.add_axiom(Axiom::sub_class_of(f.B, f.C)));
  for (const Axiom& ax : {ab, Axiom::sub_class_of(f.A, f.C)}) {
    auto r = f.o.add_axiom(ax);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().kind(), ErrorKind::ResourceLimitExceeded);
    EXPECT_EQ(r.error().message(), "resource limit exceeded: axiom count exceeds maximum of 2");
  }
  EXPECT_TRUE(f.o.add_inferred_axiom(Axiom::sub_class_of(f.A, f.C)));
  EXPECT_EQ(f.o.axiom_count(), 3u);

  // Seven entities exist; one more fits, then only known IRIs are accepted.
  ASSERT_TRUE(f.o.entity_id("http://x/D", K::Class));
  auto full = f.o.entity_id("http://x/E", K::Class);
  ASSERT_FALSE(full);
  EXPECT_EQ(full.error().message(), "resource limit exceeded: entity count exceeds maximum of 8");
  EXPECT_EQ(*f.o.entity_id("http://x/A", K::Class), f.A);
}

// A batch is the same as adding each axiom in turn: the same ids, errors,
// dirty set, revision and index, also when a batch repeats an axiom, holds a
// refused one and reaches the axiom limit partway (and with more axioms than
// the look-ahead of the batch).
TEST(Ontology, BatchAddsLikeOneAtATime) {
  auto batch = [](const Fixture& f) {
    std::vector<Axiom> out = {Axiom::sub_class_of(f.A, f.B),
                              Axiom::class_assertion(f.X, f.A),
                              Axiom::sub_class_of(f.A, f.B),
                              Axiom::sub_class_of(f.P, f.B),  // a property as subclass: refused
                              Axiom::sub_class_of_existential(f.A, f.P, f.C),
                              Axiom::object_property_assertion(f.X, f.P, f.X),
                              Axiom::equivalent_classes({f.C, f.B}),
                              Axiom::inverse_object_properties(f.Q, f.P)};
    for (EntityId sup : {f.A, f.B, f.C}) out.push_back(Axiom::sub_class_of(f.C, sup));
    out.push_back(Axiom::sub_class_of(f.B, f.C));
    return out;
  };
  for (size_t max_axioms : {size_t{100}, size_t{6}}) {
    Fixture one, many;
    OntologyLimits limits;
    limits.max_axioms = max_axioms;
    one.o.set_limits(limits);
    many.o.set_limits(limits);
    ASSERT_TRUE(many.o.add_axiom(Axiom::sub_class_of(many.B, many.A)));
    ASSERT_TRUE(one.o.add_axiom(Axiom::sub_class_of(one.B, one.A)));
    std::vector<std::string> expected, got;
    auto text = [](const Result<AxiomId>& r) { return r ? std::to_string(r->value) : r.error().message(); };
    for (Axiom& a : batch(one)) expected.push_back(text(one.o.add_axiom(a)));
    std::vector<Axiom> axioms = batch(many);
    for (const auto& r : many.o.add_axioms(axioms)) got.push_back(text(r));
    EXPECT_EQ(got, expected) << "limit " << max_axioms;
    EXPECT_EQ(many.o.dirty().added(), one.o.dirty().added());
    EXPECT_EQ(many.o.revision(), one.o.revision());
    for (EntityId e : {one.A, one.B, one.C}) {
      EXPECT_EQ(std::vector<EntityId>(many.o.direct_superclasses(e).begin(), many.o.direct_superclasses(e).end()),
                std::vector<EntityId>(one.o.direct_superclasses(e).begin(), one.o.direct_superclasses(e).end()));
    }
    EXPECT_EQ(many.o.classes_of(many.X).size(), one.o.classes_of(one.X).size());
    EXPECT_EQ(many.o.existentials_of(many.A).size(), one.o.existentials_of(one.A).size());
    EXPECT_EQ(many.o.object_assertions_of(many.X).size(), one.o.object_assertions_of(one.X).size());
    EXPECT_EQ(many.o.inverses_of(many.P).size(), one.o.inverses_of(one.P).size());
  }
}

TEST(Ontology, CloneThenChangeLeavesSourceUntouched) {
  Fixture f;
  const AxiomId a = *f.o.add_axiom(Axiom::sub_class_of(f.A, f.B));
  Ontology copy = f.o.clone();
  EXPECT_TRUE(copy.shares_stores_with(f.o));
  const EntityId d = *copy.entity_id("http://x/D", K::Class);
  EXPECT_FALSE(copy.shares_stores_with(f.o)) << "the first change unshares";
  EXPECT_TRUE(copy.shares_dl_with(f.o)) << "a new entity leaves the DL store shared";
  ASSERT_TRUE(copy.add_axiom(Axiom::sub_class_of(f.A, d)));
  ASSERT_TRUE(copy.remove_axiom(a));

  EXPECT_EQ(f.o.axiom_count(), 1u);
  EXPECT_EQ(f.o.direct_superclasses(f.A).size(), 1u);
  EXPECT_EQ(f.o.revision().counter, 1u);
  EXPECT_EQ(f.o.dirty().added().size(), 1u);
  EXPECT_FALSE(f.o.lookup_entity("http://x/D"));
  for (const char* iri : {"http://x/A", "http://x/B", "http://x/p", "http://x/x"})
    EXPECT_EQ(copy.lookup_entity(iri), f.o.lookup_entity(iri)) << iri;

  // Changing only the DL store copies only the DL store.
  Ontology second = f.o.clone();
  second.dl_mut().intern_ce(ClassExpr::top());
  EXPECT_TRUE(second.shares_stores_with(f.o));
  EXPECT_FALSE(second.shares_dl_with(f.o));
  EXPECT_EQ(f.o.dl().ce_count(), 0u);
  EXPECT_EQ(second.revision(), f.o.revision());
}

TEST(Ontology, IriLookupsAndKinds) {
  Fixture f;
  const EntityId h = *f.o.entity_id("http://x/a%23b", K::Class);
  EXPECT_EQ(*f.o.entity_id("http://x/a#b", K::Class), h);
  EXPECT_EQ(f.o.lookup_entity("http://x/a%23b"), h);
  EXPECT_EQ(*f.o.entity_iri(h), "http://x/a#b");
  EXPECT_EQ(f.o.lookup_entity("noscheme"), std::nullopt);
  auto bad = f.o.try_lookup_entity("noscheme");
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().message(), "invalid IRI: IRI must be absolute (scheme:...): noscheme");
  EXPECT_EQ(*f.o.try_lookup_entity("http://x/none"), std::nullopt);
  // Snapshot readers restore IRIs as written.
  const EntityId raw = *f.o.entity_id_as_written("http://x/c%23d", K::Class, 8192);
  EXPECT_EQ(*f.o.entity_iri(raw), "http://x/c%23d");
  EXPECT_EQ(f.o.entity_id_as_written("http://x/long", K::Class, 5).error().message(),
            "invalid IRI: IRI exceeds maximum length of 5 bytes");

  const auto rev = f.o.revision();
  ASSERT_TRUE(f.o.set_entity_kind(f.A, K::ClassIndividual));
  EXPECT_EQ(f.o.entity(f.A)->kind, K::ClassIndividual);
  EXPECT_EQ(f.o.revision(), rev);
  EXPECT_EQ(f.o.set_entity_kind(EntityId(99), K::Class).error().message(), "unknown entity: EntityId(99)");
}

TEST(Ontology, SeveralInversesOfOnePropertyAreAccepted) {
  Fixture f;
  ASSERT_TRUE(f.o.add_axiom(Axiom::inverse_object_properties(f.P, f.Q)));
  ASSERT_TRUE(f.o.add_axiom(Axiom::inverse_object_properties(f.Q, f.P)));
  ASSERT_TRUE(f.o.add_axiom(Axiom::inverse_object_properties(f.P, f.R)));
  EXPECT_EQ(f.o.axiom_count(), 2u);
  EXPECT_EQ(std::vector<EntityId>(f.o.inverses_of(f.P).begin(), f.o.inverses_of(f.P).end()),
            (std::vector<EntityId>{f.Q, f.R}));
}

TEST(Ontology, StripInferredAndParseMeta) {
  Fixture f;
  EXPECT_EQ(f.o.strip_inferred_axioms(), 0u);
  EXPECT_EQ(f.o.revision().counter, 0u);

  ParseMeta meta;
  meta.note_profile_construct(OwlConstruct::SubClassOfNamed);
  meta.warn("w");
  f.o.set_parse_meta(meta);
  ASSERT_TRUE(f.o.add_inferred_axiom(Axiom::sub_class_of(f.A, f.C)));
  EXPECT_FALSE(f.o.parse_meta()->profile_constructs.empty()) << "inferred axioms are not told changes";
  EXPECT_TRUE(f.o.dirty().empty());
  ASSERT_TRUE(f.o.add_axiom(Axiom::sub_class_of(f.A, f.B)));
  EXPECT_TRUE(f.o.parse_meta()->profile_constructs.empty());
  EXPECT_EQ(f.o.parse_meta()->constructs, ConstructSet{OwlConstruct::SubClassOfNamed});
  EXPECT_EQ(f.o.parse_meta()->warnings.size(), 1u);

  const auto before = f.o.revision().counter;
  EXPECT_EQ(f.o.strip_inferred_axioms(), 1u);
  EXPECT_EQ(f.o.revision().counter, before + 1);
  EXPECT_EQ(f.o.direct_superclasses(f.A).size(), 1u);

  f.o.push_swrl_rule(SwrlRule{});
  EXPECT_EQ(f.o.revision().counter, before + 1);
  EXPECT_EQ(f.o.swrl_rules().size(), 1u);
}

TEST(Ontology, DlAboxKeptAcrossRebuilds) {
  Fixture f;
  const CeId a = f.o.dl_mut().intern_ce(ClassExpr::atomic(f.A));
  f.o.dl_mut().push_axiom(DlAxiom::class_assertion(f.X, a));
  f.o.reindex_dl_abox();
  const AxiomId eq = *f.o.add_axiom(Axiom::equivalent_classes({f.B, f.C}));
  ASSERT_TRUE(f.o.remove_axiom(eq));  // full index rebuild
  ASSERT_EQ(f.o.classes_of(f.X).size(), 1u);
  EXPECT_EQ(f.o.classes_of(f.X)[0], f.A);
}

// Edits of one clone of an ontology large enough that its tables span many
// chunks: the original and a second clone keep what they had, and the
// edited clone answers as an ontology built from the edited axiom list.
TEST(Ontology, CloneEditsStayInTheCloneAcrossChunkedTables) {
  constexpr uint32_t kClasses = 5000;
  struct Op {
    bool add;
    uint32_t sub, sup;
  };
  const std::vector<std::pair<const char*, std::vector<Op>>> cases = {
      {"one add at the far end", {{true, kClasses - 1, 0}}},
      {"adds in many chunks", {{true, 0, 4000}, {true, 1500, 7}, {true, 3071, 3072}, {true, 4999, 2048}}},
      {"repeated add", {{true, 10, 20}, {true, 10, 20}}},
      {"remove after add", {{true, 2047, 2049}, {false, 2047, 2049}}},
      {"remove of a shared axiom", {{false, 1023, 1024}, {false, 4998, 4999}}},
      {"add, remove, add again", {{true, 5, 4005}, {false, 5, 4005}, {true, 5, 4005}}},
  };
  Ontology base;
  std::vector<EntityId> c;
  std::vector<std::pair<uint32_t, uint32_t>> told;
  for (uint32_t i = 0; i < kClasses; ++i)
    c.push_back(*base.entity_id("http://x/C" + std::to_string(i), K::Class));
  for (uint32_t i = 0; i + 1 < kClasses; ++i) {
    ASSERT_TRUE(base.add_axiom(Axiom::sub_class_of(c[i], c[i + 1])));
    told.emplace_back(i, i + 1);
  }
  auto supers = [](const Ontology& o, EntityId e) {
    return std::vector<EntityId>(o.direct_superclasses(e).begin(), o.direct_superclasses(e).end());
  };
  auto find = [&](const Ontology& o, uint32_t sub, uint32_t sup) -> std::optional<AxiomId> {
    std::optional<AxiomId> found;
    o.axioms().for_each_live([&](AxiomId id, const AxiomView& v) {
      if (!found && v.kind() == AxiomKind::SubClassOf && v.id(0) == c[sub] && v.id(1) == c[sup])
        found = id;
    });
    return found;
  };
  for (const auto& [name, ops] : cases) {
    SCOPED_TRACE(name);
    Ontology edited = base.clone();
    const Ontology other = base.clone();
    std::vector<std::pair<uint32_t, uint32_t>> expected = told;
    for (const Op& op : ops) {
      if (op.add) {
        ASSERT_TRUE(edited.add_axiom(Axiom::sub_class_of(c[op.sub], c[op.sup])));
        if (std::find(expected.begin(), expected.end(), std::pair(op.sub, op.sup)) == expected.end())
          expected.emplace_back(op.sub, op.sup);
      } else {
        const auto id = find(edited, op.sub, op.sup);
        ASSERT_TRUE(id);
        ASSERT_TRUE(edited.remove_axiom(*id));
        std::erase(expected, std::pair(op.sub, op.sup));
      }
    }
    const EntityId fresh_entity = *edited.entity_id("http://x/new", K::Class);
    Ontology fresh;
    for (uint32_t i = 0; i < kClasses; ++i) ASSERT_EQ(*fresh.entity_id("http://x/C" + std::to_string(i), K::Class), c[i]);
    for (const auto& [sub, sup] : expected) ASSERT_TRUE(fresh.add_axiom(Axiom::sub_class_of(c[sub], c[sup])));

    EXPECT_EQ(edited.axiom_count(), expected.size());
    EXPECT_EQ(base.axiom_count(), told.size());
    EXPECT_EQ(other.axiom_count(), told.size());
    EXPECT_FALSE(base.lookup_entity("http://x/new"));
    EXPECT_EQ(edited.lookup_entity("http://x/new"), fresh_entity);
    for (uint32_t i = 0; i < kClasses; ++i) {
      std::vector<EntityId> want = supers(fresh, c[i]), got = supers(edited, c[i]);
      std::sort(want.begin(), want.end());
      std::sort(got.begin(), got.end());
      ASSERT_EQ(got, want) << "superclasses of C" << i;
      const std::vector<EntityId> chain = i + 1 < kClasses ? std::vector<EntityId>{c[i + 1]} : std::vector<EntityId>{};
      ASSERT_EQ(supers(base, c[i]), chain) << "original, C" << i;
      ASSERT_EQ(supers(other, c[i]), chain) << "second clone, C" << i;
    }
    for (const auto& [sub, sup] : expected) EXPECT_TRUE(find(edited, sub, sup)) << sub << " < " << sup;
    for (const auto& [sub, sup] : told) EXPECT_TRUE(find(base, sub, sup)) << sub << " < " << sup;
  }
}

}  // namespace
}  // namespace trelvanic_core
