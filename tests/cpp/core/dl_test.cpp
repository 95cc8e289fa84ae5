#include "core/dl.h"

#include <string>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

const EntityId A(0), B(1), R(2), I(3), D(4), DT(5);

TEST(DlStore, InterningSharesIdsWithoutCanonicalising) {
  DlStore s;
  EXPECT_EQ(s.ce_count(), 0u);
  EXPECT_EQ(s.de_count(), 0u);
  EXPECT_EQ(s.axiom_count(), 0u);
  const CeId a = s.intern_ce(ClassExpr::atomic(A));
  const CeId b = s.intern_ce(ClassExpr::atomic(B));
  EXPECT_EQ(a, CeId(0)) << "the first class expression gets CeId 0";
  EXPECT_EQ(s.intern_ce(ClassExpr::atomic(A)), a);
  EXPECT_EQ(s.ce_count(), 2u) << "re-interning does not grow the list";

  const CeId top = s.intern_ce(ClassExpr::top());
  const RoleExpr r = RoleExpr::atomic(R);
  // Pairs of expressions that interning must keep apart.
  const std::pair<ClassExpr, ClassExpr> distinct[] = {
      {ClassExpr::and_of({a, b}), ClassExpr::and_of({b, a})},
      {ClassExpr::and_of({a}), ClassExpr::atomic(A)},
      {ClassExpr::and_of({a, a}), ClassExpr::and_of({a})},
      {ClassExpr::and_of({a, b}), ClassExpr::or_of({a, b})},
      {ClassExpr::cardinality(CeKind::MinCardinality, 1, r, std::nullopt),
       ClassExpr::cardinality(CeKind::MinCardinality, 1, r, top)},
      {ClassExpr::cardinality(CeKind::MinCardinality, 1, r, a),
       ClassExpr::cardinality(CeKind::MaxCardinality, 1, r, a)},
      {ClassExpr::cardinality(CeKind::MinCardinality, 1, r, a),
       ClassExpr::cardinality(CeKind::MinCardinality, 2, r, a)},
      {ClassExpr::some(r, a), ClassExpr::some(RoleExpr::inverse(R), a)},
      {ClassExpr::some(r, a), ClassExpr::all(r, a)},
      {ClassExpr::complement_of(a), ClassExpr::atomic(A)},
      {ClassExpr::data_cardinality(CeKind::DataMinCardinality, 0, D, std::nullopt),
       ClassExpr::data_cardinality(CeKind::DataMinCardinality, 0, D, DeId(0))},
  };
  for (const auto& [x, y] : distinct) {
    const CeId ix = s.intern_ce(x), iy = s.intern_ce(y);
    EXPECT_NE(ix, iy) << ce_kind_name(x.kind) << " vs " << ce_kind_name(y.kind);
    EXPECT_EQ(s.intern_ce(x), ix);
    EXPECT_EQ(s.intern_ce(y), iy);
    EXPECT_TRUE(ce_equal(s.ce(ix), x));
  }
  const CeId aa = s.intern_ce(ClassExpr::and_of({a, a}));
  EXPECT_EQ(s.ce(aa).operands().size(), 2u) << "repeated operands are kept";
  EXPECT_FALSE(s.ce(s.intern_ce(ClassExpr::cardinality(CeKind::MinCardinality, 1, r, std::nullopt))).filler());
}

TEST(DlStore, DataExpressionsAndTexts) {
  DlStore s;
  const DeId dt = s.intern_de(DataExpr::datatype_ref(DT));
  const DeId f1 = s.intern_de(DataExpr::facet(dt, "http://www.w3.org/2001/XMLSchema#minInclusive", "5"));
  const DeId f2 = s.intern_de(DataExpr::facet(dt, "http://www.w3.org/2001/XMLSchema#minInclusive", "6"));
  EXPECT_NE(f1, f2);
  EXPECT_EQ(s.intern_de(DataExpr::facet(dt, "http://www.w3.org/2001/XMLSchema#minInclusive", "5")), f1);
  EXPECT_EQ(s.de(f2).facet_value(), "6");
  EXPECT_EQ(s.de(f2).base(), dt);
  const DeId l1 = s.intern_de(DataExpr::literal("abc", DT));
  const DeId l2 = s.intern_de(DataExpr::literal("abc", EntityId(9)));
  EXPECT_NE(l1, l2);
  EXPECT_EQ(s.de(l1).lexical(), "abc");
  EXPECT_EQ(s.de(l2).datatype(), EntityId(9));
  // A text equal to another field's text of a different form stays distinct.
  EXPECT_NE(s.intern_de(DataExpr::literal("5", DT)), f1);
}

TEST(DlStore, LowestEqualIdWinsWhenListsHoldDuplicates) {
  // A snapshot may hold equal expressions; interning answers the lowest id.
  DlStore s;
  s.append_ce(ClassExpr::atomic(A));
  s.append_ce(ClassExpr::atomic(B));
  s.append_ce(ClassExpr::some(RoleExpr::atomic(R), CeId(0)));
  s.append_ce(ClassExpr::atomic(I));
  s.append_ce(ClassExpr::atomic(D));
  s.append_ce(ClassExpr::some(RoleExpr::atomic(R), CeId(0)));
  EXPECT_EQ(s.intern_ce(ClassExpr::some(RoleExpr::atomic(R), CeId(0))), CeId(2));
  EXPECT_EQ(s.ce_count(), 6u);
}

TEST(DlStore, AxiomsAreAppendedAsGiven) {
  DlStore s;
  const CeId a = s.intern_ce(ClassExpr::atomic(A));
  const CeId b = s.intern_ce(ClassExpr::atomic(B));
  s.push_axiom(DlAxiom::sub_class_of(a, b));
  s.push_axiom(DlAxiom::sub_class_of(a, b));
  s.push_axiom(DlAxiom::has_key(a, {R}, {D, DT}));
  s.push_axiom(DlAxiom::sub_object_property_chain({RoleExpr::atomic(R), RoleExpr::inverse(B)}, RoleExpr::inverse(R)));
  s.push_axiom(DlAxiom::object_property_assertion(I, RoleExpr::inverse(R), A));
  ASSERT_EQ(s.axiom_count(), 5u);
  EXPECT_TRUE(dl_axiom_equal(s.axiom(0), s.axiom(1)));
  const DlAxiomView key = s.axiom(2);
  EXPECT_EQ(key.class_expr(), a);
  EXPECT_EQ(key.object_properties().to_vector(), std::vector<EntityId>{R});
  EXPECT_EQ(key.data_properties().to_vector(), (std::vector<EntityId>{D, DT}));
  const DlAxiomView chain = s.axiom(3);
  ASSERT_EQ(chain.chain().size(), 2u);
  EXPECT_EQ(chain.chain()[1], RoleExpr::inverse(B));
  EXPECT_EQ(chain.super_property(), RoleExpr::inverse(R));
  EXPECT_EQ(s.axiom(4).role(), RoleExpr::inverse(R));
  EXPECT_EQ(s.axiom(4).object(), A);
}

TEST(DlStore, LiteralSizeLimit) {
  OntologyLimits limits;
  const struct {
    std::string lexical;
    bool ok;
  } cases[] = {
      {std::string(1'048'576, 'x'), true},
      {std::string(1'048'577, 'x'), false},
      {[] {  // 600,000 two-byte characters: counted in bytes
         std::string s;
         for (int i = 0; i < 600'000; ++i) s += "\u00e9";
         return s;
       }(),
       false},
  };
  for (const auto& c : cases) {
    DlStore s;
    const DeId dt = s.intern_de(DataExpr::datatype_ref(DT));
    s.intern_de(DataExpr::facet(dt, "http://x/f", std::string(2'000'000, 'f')));  // facets are not measured
    s.intern_de(DataExpr::literal(c.lexical, DT));
    auto r = s.validate_with_limits(limits);
    EXPECT_EQ(r.has_value(), c.ok) << c.lexical.size();
    if (!r) {
      EXPECT_EQ(r.error().message(), "invalid axiom: data literal exceeds maximum size of 1048576 bytes");
    }
  }
}

TEST(DlStore, CopiesAreIndependent) {
  DlStore s;
  const CeId a = s.intern_ce(ClassExpr::atomic(A));
  DlStore copy = s;
  const CeId b = s.intern_ce(ClassExpr::atomic(B));
  const CeId c = copy.intern_ce(ClassExpr::and_of({a, a}));
  EXPECT_EQ(b, c) << "both append at the same position";
  EXPECT_EQ(s.ce(b).kind, CeKind::Atomic);
  EXPECT_EQ(copy.ce(c).kind, CeKind::And);
  EXPECT_EQ(copy.find_ce(ClassExpr::atomic(B)), std::nullopt);
  EXPECT_EQ(s.find_ce(ClassExpr::atomic(A)), a);
}

TEST(DlStore, CheckReferencesFindsDanglingIdsAndCycles) {
  DlStore ok;
  ok.intern_ce(ClassExpr::atomic(A));
  ok.intern_ce(ClassExpr::complement_of(CeId(0)));
  ok.push_axiom(DlAxiom::sub_class_of(CeId(0), CeId(1)));
  EXPECT_TRUE(ok.check_references());

  DlStore dangling;
  dangling.append_ce(ClassExpr::some(RoleExpr::atomic(R), CeId(4)));
  EXPECT_EQ(dangling.check_references().error().message(), "invalid axiom: dangling CeId(4) in DL store");

  DlStore cyclic;
  cyclic.append_ce(ClassExpr::complement_of(CeId(1)));
  cyclic.append_ce(ClassExpr::and_of({CeId(0)}));
  EXPECT_EQ(cyclic.check_references().error().message(),
            "invalid axiom: cyclic class expression at CeId(0)");

  DlStore bad_axiom;
  bad_axiom.push_axiom(DlAxiom::data_property_range(D, DeId(0)));
  EXPECT_EQ(bad_axiom.check_references().error().message(), "invalid axiom: dangling DeId(0) in DL store");
}

}  // namespace
}  // namespace trelvanic_core
