#include <optional>

#include <absl/container/flat_hash_map.h>
#include <gtest/gtest.h>

#include "core/dl.h"

namespace trelvanic_core {
namespace {

const EntityId A(0), B(1), R(2), I(3), D(4), DT(5);

std::optional<EntityId> identity(EntityId e) { return e; }

TEST(DlImport, ChildrenFirstInReachOrder) {
  DlStore src;
  // Stored in an order different from the reach order.
  const CeId b = src.intern_ce(ClassExpr::atomic(B));
  const CeId a = src.intern_ce(ClassExpr::atomic(A));
  const CeId some = src.intern_ce(ClassExpr::some(RoleExpr::atomic(R), b));
  src.intern_ce(ClassExpr::atomic(I));  // reached by no axiom: not copied
  src.push_axiom(DlAxiom::sub_class_of(a, some));

  DlStore dst;
  ASSERT_TRUE(dst.import_axioms_from(src, identity));
  ASSERT_EQ(dst.ce_count(), 3u);
  EXPECT_TRUE(ce_equal(dst.ce(CeId(0)), ClassExpr::atomic(A)));
  EXPECT_TRUE(ce_equal(dst.ce(CeId(1)), ClassExpr::atomic(B)));
  EXPECT_TRUE(ce_equal(dst.ce(CeId(2)), ClassExpr::some(RoleExpr::atomic(R), CeId(1))));
  ASSERT_EQ(dst.axiom_count(), 1u);
  EXPECT_EQ(dst.axiom(0).sub(), CeId(0));
  EXPECT_EQ(dst.axiom(0).sup(), CeId(2));

  // A second import appends the axioms again and adds no expression.
  ASSERT_TRUE(dst.import_axioms_from(src, identity));
  EXPECT_EQ(dst.ce_count(), 3u);
  EXPECT_EQ(dst.axiom_count(), 2u);
  // Imported expressions are found by later interning.
  EXPECT_EQ(dst.intern_ce(ClassExpr::some(RoleExpr::atomic(R), CeId(1))), CeId(2));
}

TEST(DlImport, RemapsEntitiesAndReusesTargetExpressions) {
  // Source entity n maps to target entity n + 10.
  auto shift = [](EntityId e) -> std::optional<EntityId> { return EntityId(e.value + 10); };
  DlStore src;
  const CeId a = src.intern_ce(ClassExpr::atomic(A));
  const DeId dt = src.intern_de(DataExpr::datatype_ref(DT));
  const DeId lit = src.intern_de(DataExpr::literal("x@en", DT));
  const DeId facet = src.intern_de(DataExpr::facet(dt, "http://x/f", "7"));
  const CeId card = src.intern_ce(ClassExpr::cardinality(CeKind::MinCardinality, 2, RoleExpr::inverse(R), std::nullopt));
  const CeId card_f = src.intern_ce(ClassExpr::cardinality(CeKind::MaxCardinality, 1, RoleExpr::atomic(R), a));
  src.push_axiom(DlAxiom::class_assertion(I, a));  // uses `a` ...
  src.push_axiom(DlAxiom::disjoint_classes({a, card, card_f}));  // ... and again here
  src.push_axiom(DlAxiom::data_property_assertion(I, D, lit));
  src.push_axiom(DlAxiom::data_property_range(D, facet));
  src.push_axiom(DlAxiom::swrl_rule());

  DlStore dst;
  const CeId pre = dst.intern_ce(ClassExpr::atomic(EntityId(10)));  // equals translated `a`
  ASSERT_TRUE(dst.import_axioms_from(src, shift));
  ASSERT_EQ(dst.axiom_count(), 5u);
  EXPECT_EQ(dst.axiom(0).class_expr(), pre) << "an equal target expression is reused";
  EXPECT_EQ(dst.axiom(0).individual(), EntityId(13));
  EXPECT_EQ(dst.axiom(1).classes()[0], pre);
  const ClassExprView c1 = dst.ce(dst.axiom(1).classes()[1]);
  EXPECT_EQ(c1.role(), RoleExpr::inverse(EntityId(12)));
  EXPECT_FALSE(c1.filler());
  const ClassExprView c2 = dst.ce(dst.axiom(1).classes()[2]);
  EXPECT_EQ(c2.filler(), pre);
  const DataExprView l = dst.de(dst.axiom(2).value());
  EXPECT_EQ(l.lexical(), "x@en");
  EXPECT_EQ(l.datatype(), EntityId(15));
  const DataExprView f = dst.de(dst.axiom(3).data_range());
  EXPECT_EQ(f.facet_iri(), "http://x/f");
  EXPECT_EQ(f.facet_value(), "7");
  EXPECT_EQ(dst.de(f.base()).datatype(), EntityId(15));
  EXPECT_EQ(dst.axiom(4).kind, DlAxiomKind::SwrlRule);
}

TEST(DlImport, SourceWithoutAxiomsChangesNothing) {
  DlStore src;
  src.intern_ce(ClassExpr::atomic(A));
  DlStore dst;
  ASSERT_TRUE(dst.import_axioms_from(src, identity));
  EXPECT_EQ(dst.ce_count(), 0u);
  EXPECT_EQ(dst.axiom_count(), 0u);
}

TEST(DlImport, BrokenPreconditionsAreErrorsAndLeaveTargetUnchanged) {
  DlStore dangling;
  dangling.intern_ce(ClassExpr::atomic(A));
  dangling.push_axiom(DlAxiom::sub_class_of(CeId(0), CeId(7)));

  DlStore cyclic;
  cyclic.append_ce(ClassExpr::complement_of(CeId(0)));
  cyclic.push_axiom(DlAxiom::class_assertion(I, CeId(0)));

  DlStore unmapped;
  unmapped.intern_ce(ClassExpr::atomic(A));
  unmapped.push_axiom(DlAxiom::class_assertion(B, CeId(0)));  // B has no mapping

  absl::flat_hash_map<EntityId, EntityId> known = {{A, A}, {I, I}};
  auto lookup = [&](EntityId e) -> std::optional<EntityId> {
    auto it = known.find(e);
    if (it == known.end()) return std::nullopt;
    return it->second;
  };
  const struct {
    const DlStore* source;
    const char* message;
  } cases[] = {
      {&dangling, "invalid axiom: dangling CeId(7) in DL store"},
      {&cyclic, "invalid axiom: cyclic class expression at CeId(0)"},
      {&unmapped, "invalid axiom: no entity mapping for EntityId(1)"},
  };
  for (const auto& c : cases) {
    DlStore dst;
    dst.intern_ce(ClassExpr::top());
    auto r = dst.import_axioms_from(*c.source, lookup);
    ASSERT_FALSE(r) << c.message;
    EXPECT_EQ(r.error().message(), c.message);
    EXPECT_EQ(dst.ce_count(), 1u);
    EXPECT_EQ(dst.axiom_count(), 0u);
  }
}

TEST(DlImport, DeepExpressionsNeedNoDeepRecursion) {
  DlStore src;
  CeId cur = src.intern_ce(ClassExpr::atomic(A));
  for (int i = 0; i < 200'000; ++i) cur = src.intern_ce(ClassExpr::complement_of(cur));
  src.push_axiom(DlAxiom::class_assertion(I, cur));
  DlStore dst;
  ASSERT_TRUE(dst.import_axioms_from(src, identity));
  EXPECT_EQ(dst.ce_count(), 200'001u);
  EXPECT_TRUE(dst.check_references());
}

TEST(DlImport, ImportFromItselfDuplicatesAxioms) {
  DlStore s;
  const CeId a = s.intern_ce(ClassExpr::atomic(A));
  s.push_axiom(DlAxiom::class_assertion(I, a));
  ASSERT_TRUE(s.import_axioms_from(s, identity));
  EXPECT_EQ(s.axiom_count(), 2u);
  EXPECT_EQ(s.ce_count(), 1u);
}

}  // namespace
}  // namespace trelvanic_core
