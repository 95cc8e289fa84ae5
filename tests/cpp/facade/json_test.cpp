// Result records and their compact JSON text: sorted keys at every level,
// optional members absent, IRIs in the taxonomy's order.
#include <gtest/gtest.h>

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "facade/json.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::ParseMeta;
using trelvanic_core::Taxonomy;

struct Fixture {
  Ontology o;
  EntityId a, b, c, d;
  Fixture() {
    a = *o.entity_id("http://ex.org/A", EntityKind::Class);
    b = *o.entity_id("http://ex.org/B", EntityKind::Class);
    c = *o.entity_id("http://ex.org/C", EntityKind::Class);
    d = *o.entity_id("http://ex.org/D\"q", EntityKind::Class);
  }
};

TEST(TaxonomyJson, EmptyTaxonomyWithoutWarningsHasNoParseMeta) {
  Fixture f;
  ParseMeta meta;
  meta.mapped_axiom_count = 3;
  f.o.set_parse_meta(meta);
  auto rec = taxonomy_json("classified", Taxonomy{}, f.o, result_parse_meta(f.o.parse_meta()));
  ASSERT_TRUE(rec);
  EXPECT_EQ(write_json(*rec),
            R"({"equivalences":[],"status":"classified","subsumption_count":0,"subsumptions":[],"unsatisfiable":[]})");
}

TEST(TaxonomyJson, MembersInTaxonomyOrderAndParseMetaBetweenEquivalencesAndStatus) {
  Fixture f;
  ParseMeta meta;
  meta.warnings = {"skipped \"x\""};
  meta.mapped_axiom_count = 4;
  meta.logical_axiom_count = 2;
  f.o.set_parse_meta(meta);
  // Edge order is kept as the taxonomy lists it (not sorted).
  Taxonomy t = Taxonomy::from_parts({{f.b, f.a}, {f.a, f.c}}, {{f.c, f.b}}, {f.d});
  auto rec = taxonomy_json("classified", t, f.o, result_parse_meta(f.o.parse_meta()));
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->subsumption_count, 2u);
  EXPECT_EQ(write_json(*rec),
            R"({"equivalences":[["http://ex.org/C","http://ex.org/B"]],)"
            R"("parse_meta":{"logical_axiom_count":2,"mapped_axiom_count":4,"skipped_axiom_count":0,)"
            R"("warnings":["skipped \"x\""]},"status":"classified","subsumption_count":2,)"
            R"("subsumptions":[["http://ex.org/B","http://ex.org/A"],["http://ex.org/A","http://ex.org/C"]],)"
            R"("unsatisfiable":["http://ex.org/D\"q"]})");
}

TEST(TaxonomyJson, UnknownEntityIsTheCoreError) {
  Fixture f;
  Taxonomy t = Taxonomy::from_parts({{f.a, EntityId(99)}}, {}, {});
  auto rec = taxonomy_json("classified", t, f.o, std::nullopt);
  ASSERT_FALSE(rec);
  EXPECT_EQ(rec.error().variant(), ErrorVariant::Core);
  ASSERT_TRUE(rec.error().core_error());
  EXPECT_EQ(rec.error().core_error()->kind(), trelvanic_core::ErrorKind::UnknownEntity);
  EXPECT_EQ(rec.error().message(), trelvanic_core::Error::unknown_entity(EntityId(99)).message());
}

TEST(ResultParseMeta, PresentOnlyWithAWarningOrASkippedAxiom) {
  struct Case {
    bool has_meta;
    size_t warnings;
    uint64_t skipped;
    bool expected;
  };
  const Case cases[] = {
      {false, 0, 0, false}, {true, 0, 0, false}, {true, 1, 0, true}, {true, 0, 1, true}, {true, 2, 5, true},
  };
  for (const Case& c : cases) {
    std::optional<ParseMeta> meta;
    if (c.has_meta) {
      meta.emplace();
      for (size_t i = 0; i < c.warnings; ++i) meta->warn("w" + std::to_string(i));
      meta->skipped_axiom_count = c.skipped;
    }
    auto got = result_parse_meta(meta);
    EXPECT_EQ(got.has_value(), c.expected) << c.has_meta << " " << c.warnings << " " << c.skipped;
    if (got) {
      EXPECT_EQ(got->warnings.size(), c.warnings);
    }
  }
}

TEST(MaterializationJson, NoClashesMeansNoClashesKeyAndAnEmptyRuleMap) {
  MaterializationReport report{10, 14, {}, {}};
  EXPECT_EQ(write_json(rl_materialization_json("classified", report, std::nullopt)),
            R"({"clash_count":0,"final_axiom_count":14,"inferred_axioms":4,"inferred_by_rule":{},)"
            R"("initial_axiom_count":10,"status":"classified"})");
}

TEST(MaterializationJson, ClashesRulesAndParseMetaInKeyOrderAndNoNegativeInference) {
  MaterializationReport report{9, 7, {"c1", "entity kind mismatch"}, {{"prp-dom", 2}, {"cax-sco", 1}}};
  trelvanic_core::ParseMetaSummary summary{{"w"}, 1, 1, 0};
  EXPECT_EQ(write_json(rdfs_materialization_json("classified", report, summary)),
            R"({"clash_count":2,"clashes":["c1","entity kind mismatch"],"final_axiom_count":7,)"
            R"("inferred_axioms":0,"inferred_by_rule":{"cax-sco":1,"prp-dom":2},"initial_axiom_count":9,)"
            R"("parse_meta":{"logical_axiom_count":0,"mapped_axiom_count":1,"skipped_axiom_count":1,)"
            R"("warnings":["w"]},"status":"classified"})");
}

}  // namespace
}  // namespace trelvanic_facade
