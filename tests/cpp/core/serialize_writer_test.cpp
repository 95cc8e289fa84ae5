#include <gtest/gtest.h>

#include "core/serialize.h"

namespace trelvanic_core {
namespace {

using K = EntityKind;

constexpr std::string_view kEmpty = R"({
  "format_version": 4,
  "entities": [],
  "axioms": []
})";

TEST(SnapshotWriter, EmptyOntologyIsThreeMembersWithoutFinalLineBreak) {
  EXPECT_EQ(*to_json(Ontology()), kEmpty);
}

TEST(SnapshotWriter, OldVersionReadsBackAsVersionFour) {
  auto o = from_json(R"({"format_version":2,"entities":[],"axioms":[]})");
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(*to_json(*o), kEmpty);
}

// Every section once, with texts that need escaping, in the exact layout.
TEST(SnapshotWriter, LayoutIsByteExact) {
  Ontology o;
  const EntityId a = *o.entity_id("http://x/a", K::Individual);
  const EntityId d = *o.entity_id("http://x/d", K::DataProperty);
  const EntityId c = *o.entity_id("http://x/C", K::Class);
  (void)*o.add_axiom(Axiom::data_property_assertion(a, d, {"a\"b\\c\n\x1f", "http://x/dt"}));
  DlStore& dl = o.dl_mut();
  const CeId atom = dl.intern_ce(ClassExpr::atomic(c));
  (void)dl.intern_ce(ClassExpr::cardinality(CeKind::MinCardinality, 2, RoleExpr::inverse(d), std::nullopt));
  dl.push_axiom(DlAxiom::class_assertion(a, atom));
  o.push_swrl_rule(SwrlRule{{SwrlAtom::class_atom(c, SwrlVariable{"x"})}, {}});
  ParseMeta meta;
  meta.skipped_axiom_count = 1;
  o.set_parse_meta(meta);

  EXPECT_EQ(*to_json(o), R"({
  "format_version": 4,
  "entities": [
    {
      "iri": "http://x/a",
      "kind": "Individual"
    },
    {
      "iri": "http://x/d",
      "kind": "DataProperty"
    },
    {
      "iri": "http://x/C",
      "kind": "Class"
    }
  ],
  "axioms": [
    {
      "DataPropertyAssertion": {
        "individual": "http://x/a",
        "property": "http://x/d",
        "value": {
          "lexical": "a\"b\\c\n\u001f",
          "datatype": "http://x/dt"
        }
      }
    }
  ],
  "dl": {
    "expressions": [
      {
        "Atomic": 2
      },
      {
        "MinCardinality": {
          "n": 2,
          "property": {
            "Inverse": 1
          },
          "filler": null
        }
      }
    ],
    "data_exprs": [],
    "axioms": [
      {
        "ClassAssertion": {
          "individual": 0,
          "class": 0
        }
      }
    ]
  },
  "swrl_rules": [
    {
      "body": [
        {
          "Class": {
            "class": 2,
            "arg": {
              "Variable": "x"
            }
          }
        }
      ],
      "head": []
    }
  ],
  "parse_meta": {
    "warnings": [],
    "mapped_axiom_count": 0,
    "skipped_axiom_count": 1,
    "logical_axiom_count": 0
  }
})");
}

TEST(SnapshotWriter, InferredAndRemovedAxiomsAreLeftOutAndOnlyLiveInferredCounted) {
  Ontology o;
  const EntityId A = *o.entity_id("http://x/A", K::Class);
  const EntityId B = *o.entity_id("http://x/B", K::Class);
  const EntityId C = *o.entity_id("http://x/C", K::Class);
  (void)*o.add_inferred_axiom(Axiom::sub_class_of(A, B));
  (void)*o.add_inferred_axiom(Axiom::sub_class_of(B, C));
  const AxiomId gone = *o.add_inferred_axiom(Axiom::sub_class_of(A, C));
  ASSERT_TRUE(o.remove_axiom(gone));
  const AxiomId told_gone = *o.add_axiom(Axiom::sub_class_of(C, A));
  ASSERT_TRUE(o.remove_axiom(told_gone));

  std::vector<std::pair<std::string, uint64_t>> events;
  auto text = to_json(o, [&](std::string_view m, uint64_t n) { events.emplace_back(std::string(m), n); });
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("\"axioms\": []"), std::string::npos);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].first, kInferredOmittedWarning);
  EXPECT_EQ(events[0].second, 2u);

  events.clear();
  ASSERT_TRUE(to_json(Ontology(), [&](std::string_view m, uint64_t n) { events.emplace_back(std::string(m), n); }));
  EXPECT_TRUE(events.empty());
}

TEST(SnapshotWriter, ParseMetaWrittenOnlyWithWarningsOrSkippedAxioms) {
  struct Case {
    std::vector<std::string> warnings;
    uint64_t mapped, skipped;
    bool written;
  };
  for (const Case& c : {Case{{}, 5, 0, false}, Case{{}, 0, 1, true}, Case{{"w"}, 0, 0, true}}) {
    Ontology o;
    ParseMeta meta;
    meta.warnings = c.warnings;
    meta.mapped_axiom_count = c.mapped;
    meta.skipped_axiom_count = c.skipped;
    o.set_parse_meta(meta);
    const std::string text = *to_json(o);
    EXPECT_EQ(text.find("parse_meta") != std::string::npos, c.written) << text;
  }
}

TEST(SnapshotWriter, DataRangesAloneMakeADlSection) {
  Ontology o;
  (void)o.dl_mut().intern_de(DataExpr::top());
  const std::string text = *to_json(o);
  EXPECT_NE(text.find("\"data_exprs\": [\n      \"Top\"\n    ]"), std::string::npos) << text;
}

TEST(SnapshotWriter, ConversionFailuresNameTheEntity) {
  Ontology o;
  const AxiomView bad(AxiomKind::SubClassOf, {EntityId(0), EntityId(7), EntityId()}, {}, {});
  (void)*o.entity_id("http://x/A", K::Class);
  auto snap = axiom_to_snapshot(bad, o);
  ASSERT_FALSE(snap);
  EXPECT_EQ(snap.error().message(), "unknown entity: EntityId(7)");
  auto ok = axiom_to_snapshot(AxiomView(AxiomKind::SubClassOf, {EntityId(0), EntityId(0), EntityId()}, {}, {}), o);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->iris, (std::vector<std::string>{"http://x/A", "http://x/A"}));
}

}  // namespace
}  // namespace trelvanic_core
