#include <gtest/gtest.h>

#include <fmt/format.h>

#include <algorithm>
#include <set>

#include "core/serialize.h"
#include "tests/cpp/core/serialize_fixture.h"

namespace trelvanic_core {
namespace {

using snapshot_test::full_ontology;

std::vector<Axiom> live_axioms(const Ontology& o) {
  std::vector<Axiom> out;
  o.axioms().for_each_live([&](AxiomId, const AxiomView& a) { out.push_back(a.to_axiom()); });
  return out;
}

TEST(SnapshotRoundTrip, EveryFormSurvivesWriteAndRead) {
  const Ontology o = full_ontology();
  const std::string text = *to_json(o);
  auto back = from_json(text);
  ASSERT_TRUE(back) << back.error().message();

  EXPECT_EQ(*to_json(*back), text);
  ASSERT_EQ(back->entity_count(), o.entity_count());
  for (uint32_t i = 0; i < o.entity_count(); ++i) {
    EXPECT_EQ(*back->entity_iri(EntityId(i)), *o.entity_iri(EntityId(i)));
    EXPECT_EQ(back->entity(EntityId(i))->kind, o.entity(EntityId(i))->kind);
  }
  EXPECT_EQ(live_axioms(*back), live_axioms(o));
  std::set<AxiomKind> kinds;
  for (const Axiom& a : live_axioms(o)) kinds.insert(a.kind());
  EXPECT_EQ(kinds.size(), static_cast<size_t>(kAxiomKindCount));

  const DlStore& dl = back->dl();
  ASSERT_EQ(dl.ce_count(), o.dl().ce_count());
  ASSERT_EQ(dl.de_count(), o.dl().de_count());
  ASSERT_EQ(dl.axiom_count(), o.dl().axiom_count());
  for (uint32_t i = 0; i < dl.ce_count(); ++i) EXPECT_TRUE(ce_equal(dl.ce(CeId(i)), o.dl().ce(CeId(i)))) << i;
  for (uint32_t i = 0; i < dl.de_count(); ++i) EXPECT_TRUE(de_equal(dl.de(DeId(i)), o.dl().de(DeId(i)))) << i;
  for (size_t i = 0; i < dl.axiom_count(); ++i) EXPECT_TRUE(dl_axiom_equal(dl.axiom(i), o.dl().axiom(i))) << i;
  EXPECT_EQ(back->swrl_rules(), o.swrl_rules());
  ASSERT_TRUE(back->parse_meta());
  EXPECT_EQ(back->parse_meta()->summary(), o.parse_meta()->summary());

  // What the reader adds on top: no limits, nothing dirty, one revision step
  // per axiom object, the DL store's assertions in the index.
  EXPECT_FALSE(back->limits());
  EXPECT_TRUE(back->dirty().empty());
  EXPECT_EQ(back->revision().counter, o.axiom_count());
  const EntityId A = *back->lookup_entity("http://x.org/o#A");
  const EntityId b = *back->lookup_entity("http://x.org/o#b");
  const auto types = back->classes_of(b);  // b : A is a DL-store assertion
  EXPECT_NE(std::find(types.begin(), types.end(), A), types.end());
}

TEST(SnapshotRoundTrip, HandMadeSnapshotAxiomWithTooFewNamesIsRefused) {
  Ontology o;
  (void)*o.entity_id("http://x/A", EntityKind::Class);
  auto a = snapshot_axiom_to_axiom(SnapshotAxiom{AxiomKind::SubClassOf, {"http://x/A"}, {}}, o);
  ASSERT_FALSE(a);
  EXPECT_EQ(a.error().message(), "invalid axiom: SubClassOf names 1 entities, expected 2");
}

TEST(SnapshotRoundTrip, SnapshotAxiomConversionsAreInverse) {
  const Ontology o = full_ontology();
  for (const Axiom& a : live_axioms(o)) {
    auto snap = axiom_to_snapshot(a.view(), o);
    ASSERT_TRUE(snap);
    auto again = snapshot_axiom_to_axiom(*snap, o);
    ASSERT_TRUE(again) << again.error().message();
    EXPECT_EQ(*again, a);
  }
}

std::string doc(std::string_view entities, std::string_view axioms, std::string_view rest = "") {
  return fmt::format(R"({{"format_version": 4, "entities": [{}], "axioms": [{}]{}}})", entities, axioms, rest);
}

constexpr std::string_view kEntities =
    R"({"iri": "http://x/A", "kind": "Class"}, {"iri": "http://x/B", "kind": "Class"},
       {"iri": "http://x/p", "kind": "ObjectProperty"}, {"iri": "http://x/i", "kind": "Individual"},
       {"iri": "http://x/d", "kind": "DataProperty"}, {"iri": "http://x/dt", "kind": "Datatype"})";

// Each pair reads to the same ontology: the second is the writer's shape,
// the first another shape the reader accepts.
TEST(SnapshotRoundTrip, AlternativeShapesReadLikeTheWrittenOnes) {
  struct Case {
    std::string other, written;
  };
  const std::vector<Case> cases = {
      {doc(kEntities, R"({"SubClassOf": ["http://x/A", "http://x/B"]})"),
       doc(kEntities, R"({"SubClassOf": {"subclass": "http://x/A", "superclass": "http://x/B"}})")},
      {doc(kEntities, R"({"SubClassOf": {"superclass": "http://x/B", "subclass": "http://x/A"}})"),
       doc(kEntities, R"({"SubClassOf": {"subclass": "http://x/A", "superclass": "http://x/B"}})")},
      {doc(kEntities, R"({"EquivalentClasses": ["http://x/B", "http://x/A", "http://x/B"]})"),
       doc(kEntities, R"({"EquivalentClasses": ["http://x/A", "http://x/B", "http://x/B"]})")},
      {doc(kEntities, R"({"DataPropertyAssertion": ["http://x/i", "http://x/d", ["1", "http://x/int"]]})"),
       doc(kEntities, R"({"DataPropertyAssertion": {"individual": "http://x/i", "property": "http://x/d",
                         "value": {"lexical": "1", "datatype": "http://x/int", "lang": "en"}}})")},
      {doc(R"(["http://x/A", "Class"], {"kind": {"Class": null}, "iri": "http://x/B"})", ""),
       doc(R"({"iri": "http://x/A", "kind": "Class"}, {"iri": "http://x/B", "kind": "Class"})", "")},
      {doc(kEntities, "", R"(, "dl": null, "swrl_rules": null, "parse_meta": null)"), doc(kEntities, "")},
      {doc(kEntities, "", R"(, "parse_meta": [["w"], 1, 2, 3])"),
       doc(kEntities, "",
           R"(, "parse_meta": {"logical_axiom_count": 3, "skipped_axiom_count": 2, "extra": [1, {}],
                               "mapped_axiom_count": 1, "warnings": ["w"]})")},
      {doc(kEntities, "", R"(, "dl": [[{"Top": null}, {"Atomic": 0}], [], ["SwrlRule"]])"),
       doc(kEntities, "", R"(, "dl": {"axioms": [{"SwrlRule": null}], "expressions": ["Top", {"Atomic": 0}],
                               "data_exprs": [], "note": "skipped"})")},
      {doc(kEntities, "", R"(, "dl": {"expressions": [{"Atomic": 0}, {"Some": [{"Atomic": 2}, 0]},
                                     {"MinCardinality": {"n": 1, "property": {"Inverse": 2}}},
                                     {"MaxCardinality": [1, {"Atomic": 2}, null]}],
                                     "data_exprs": [{"Literal": ["5", 5]}], "axioms": [{"SubClassOf": [1, 0]}]})"),
       doc(kEntities, "", R"(, "dl": {"expressions": [{"Atomic": 0},
                                     {"Some": {"filler": 0, "property": {"Atomic": 2}, "range": [1, {"n": null}]}},
                                     {"MinCardinality": {"n": 1, "property": {"Inverse": 2}, "filler": null}},
                                     {"MaxCardinality": {"n": 1, "property": {"Atomic": 2}, "filler": null}}],
                                     "data_exprs": [{"Literal": {"lexical": "5", "datatype": 5}}],
                                     "axioms": [{"SubClassOf": {"sup": 0, "sub": 1}}]})")},
      {doc(kEntities, "", R"(, "swrl_rules": [[[], []], {"head": [], "body": [{"Class": {"class": 0,
           "arg": {"Variable": "x"}, "range": 1}}]}, {"body": [{"DataProperty": [4, {"Individual": 3},
           {"Literal": {"lexical": "5"}}]}], "head": []}])"),
       doc(kEntities, "", R"(, "swrl_rules": [{"body": [], "head": []}, {"body": [{"Class": {"class": 0,
           "arg": {"Variable": "x"}}}], "head": []}, {"body": [{"DataProperty": {"property": 4,
           "subject": {"Individual": 3}, "value": {"Literal": {"lexical": "5", "datatype": null}}}}],
           "head": []}])")},
  };
  for (const Case& c : cases) {
    auto a = from_json(c.other);
    auto b = from_json(c.written);
    ASSERT_TRUE(a) << c.other << "\n" << a.error().message();
    ASSERT_TRUE(b) << c.written << "\n" << b.error().message();
    EXPECT_EQ(*to_json(*a), *to_json(*b)) << c.other;
  }
  for (std::string_view version : {"2", "3"}) {
    std::string text = doc(kEntities, R"({"SubClassOf": ["http://x/A", "http://x/B"]})");
    text.replace(text.find('4'), 1, version);
    EXPECT_EQ(*to_json(*from_json(text)), *to_json(*from_json(doc(kEntities, R"({"SubClassOf": ["http://x/A", "http://x/B"]})"))));
  }
}

TEST(SnapshotRoundTrip, RepeatedExpressionsKeepTheirIdsAndTheLowestWinsOnInterning) {
  auto o = from_json(doc(kEntities, "", R"(, "dl": {"expressions": [{"Atomic": 0}, {"Atomic": 1}, {"Atomic": 0}],
                                              "data_exprs": [], "axioms": [{"SubClassOf": {"sub": 2, "sup": 1}}]})"));
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(o->dl().ce_count(), 3u);
  EXPECT_EQ(o->dl().axiom(0).sub(), CeId(2));
  EXPECT_EQ(o->dl_mut().intern_ce(ClassExpr::atomic(EntityId(0))), CeId(0));
  EXPECT_EQ(o->dl().ce_count(), 3u);
}

TEST(SnapshotRoundTrip, RepeatedAxiomObjectsAreStoredOnce) {
  const std::string one = R"({"SubClassOf": ["http://x/A", "http://x/B"]})";
  auto o = from_json(doc(kEntities, one + "," + one));
  ASSERT_TRUE(o);
  EXPECT_EQ(o->axiom_count(), 1u);
  EXPECT_EQ(o->revision().counter, 2u);
}

TEST(SnapshotRoundTrip, IrisAreRegisteredAsWrittenButAxiomsReadPercent23AsHash) {
  auto o = from_json(doc(R"({"iri": "http://x/o%23A", "kind": "Class"}, {"iri": "http://x/o#B", "kind": "Class"})",
                         R"({"SubClassOf": ["http://x/o%23B", "http://x/o#B"]})"));
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(*o->entity_iri(EntityId(0)), "http://x/o%23A");
  auto bad = from_json(doc(R"({"iri": "http://x/o%23A", "kind": "Class"})",
                           R"({"SubClassOf": ["http://x/o%23A", "http://x/o%23A"]})"));
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().message(), "invalid axiom: unknown entity IRI in axiom: http://x/o%23A");
}

TEST(SnapshotRoundTrip, LongIrisFollowTheIriLimitOfTheRead) {
  const std::string iri = "http://x/" + std::string(9000, 'a');
  const std::string text = doc(fmt::format(R"({{"iri": "{}", "kind": "Class"}})", iri), "");
  OntologyLimits limits;
  limits.max_iri_len = 10000;
  EXPECT_TRUE(from_json_with_limits(text, limits));
  auto refused = from_json(text);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message(), "invalid IRI: IRI exceeds maximum length of 8192 bytes");
  // Registered under the larger limit, but axioms name entities through the
  // lookup, which holds 8192 bytes.
  auto named = from_json_with_limits(
      doc(fmt::format(R"({{"iri": "{}", "kind": "Class"}})", iri), fmt::format(R"({{"SubClassOf": ["{0}", "{0}"]}})", iri)),
      limits);
  ASSERT_FALSE(named);
  EXPECT_EQ(named.error().message(), "invalid IRI: IRI exceeds maximum length of 8192 bytes");
}

}  // namespace
}  // namespace trelvanic_core

namespace trelvanic_core {
namespace {

TEST(SnapshotEntityNames, FindsExactTextsOnlyAndLeavesOthersToTheFullLookup) {
  SnapshotEntityNames names;
  std::vector<std::string> iris;
  size_t bytes = 0;
  for (int i = 0; i < 3000; ++i) {
    iris.push_back(fmt::format("http://x/e{}", i));
    bytes += iris.back().size();
  }
  iris.push_back("http://x/o%23A");
  bytes += iris.back().size();
  names.reserve(iris.size(), bytes);
  for (size_t i = 0; i < iris.size(); ++i) names.add(iris[i], EntityId(static_cast<uint32_t>(i)));
  for (size_t i = 0; i + 1 < iris.size(); ++i) ASSERT_EQ(names.find(iris[i]), EntityId(static_cast<uint32_t>(i)));
  EXPECT_FALSE(names.find("http://x/e30000"));
  EXPECT_FALSE(names.find("http://x/e"));
  EXPECT_FALSE(names.find("http://x/o%23A"));  // "%23" is read as "#" by the full lookup
  SnapshotEntityNames unsized;
  unsized.add("http://x/e0", EntityId(0));
  EXPECT_FALSE(unsized.find("http://x/e0"));
}

}  // namespace
}  // namespace trelvanic_core
