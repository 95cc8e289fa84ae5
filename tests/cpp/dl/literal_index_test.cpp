// Data ranges of an ontology's DL store: datatype definitions followed (and
// their cycles cut), facet chains read as restrictions, literals by value.
#include <gtest/gtest.h>

#include <string>

#include "core/dl.h"
#include "core/ontology.h"
#include "dl/datatype/literal_index.h"
#include "tests/cpp/dl/data_value_support.h"

namespace trelvanic_dl::datatype {
namespace {

using trelvanic_core::DataExpr;
using trelvanic_core::DeId;
using trelvanic_core::DlAxiom;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;

constexpr const char* kXsd = "http://www.w3.org/2001/XMLSchema#";

struct Fixture {
  trelvanic_core::Ontology o;
  EntityId xsd(const char* local) { return *o.entity_id(std::string(kXsd) + local, EntityKind::Datatype); }
  EntityId custom(const char* local) { return *o.entity_id(std::string("http://e.org/") + local, EntityKind::Datatype); }
  DeId de(const DataExpr& e) { return o.dl_mut().intern_de(e); }
  DeId type(EntityId d) { return de(DataExpr::datatype_ref(d)); }
  DeId facet(DeId base, const char* local, const char* value) {
    return de(DataExpr::facet(base, std::string(kXsd) + local, value));
  }
  DeId lit(const char* lexical, EntityId d) { return de(DataExpr::literal(lexical, d)); }
  void define(EntityId d, DeId range) { o.dl_mut().push_axiom(DlAxiom::datatype_definition(d, range)); }
};

TEST(LiteralIndex, RangesOfTheStore) {
  Fixture f;
  const EntityId integer = f.xsd("integer"), str = f.xsd("string"), dbl = f.xsd("double");
  const DeId teens = f.facet(f.facet(f.type(integer), "minInclusive", "13"), "maxInclusive", "19");
  // adult := integer[>= 18], narrowed again where it is used
  const EntityId adult = f.custom("adult");
  f.define(adult, f.facet(f.type(integer), "minInclusive", "18"));
  const DeId young_adult = f.facet(f.type(adult), "maxExclusive", "21");
  // later definitions win
  const EntityId code = f.custom("code");
  f.define(code, f.type(str));
  f.define(code, f.facet(f.type(str), "pattern", "[A-Z]{2}[0-9]"));
  const DeId weird = f.de(DataExpr::facet(f.type(integer), "http://e.org/weirdFacet", "1"));

  struct Case {
    const char* lexical;
    EntityId dt;
    DeId range;
    std::optional<bool> in;
  };
  const Case cases[] = {
      {"15", integer, teens, true},
      {"015", integer, teens, true},
      {"20", integer, teens, false},
      {"15.0", f.xsd("decimal"), teens, true},  // one value, another datatype
      {"15", dbl, teens, false},
      {"20", integer, young_adult, true},
      {"17", integer, young_adult, false},
      {"21", integer, young_adult, false},
      {"AB1", str, f.type(code), true},
      {"ab1", str, f.type(code), false},
      {"5", integer, weird, std::nullopt},
      {"abc", integer, f.type(integer), std::nullopt},  // ill-typed: no value to test
      {"1000", dbl, f.lit("1.0E3", dbl), true},
      {"-0", integer, f.de(DataExpr::complement_of(f.lit("0", integer))), false},
      {"5", integer, DeId(9999), std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(literal_satisfies(f.o, {c.lexical, c.dt}, c.range), c.in) << c.lexical << " in " << c.range.value;

  EXPECT_EQ(show(data_range_count(f.o, teens)), "7");
  EXPECT_EQ(show(data_range_count(f.o, young_adult)), "3");
  EXPECT_EQ(show(data_range_count(f.o, f.type(code))), "unknown");
  EXPECT_EQ(show(data_range_count(f.o, weird)), "unknown");
  EXPECT_EQ(data_range_has_value(f.o, f.facet(f.type(str), "minLength", "5")), std::optional<bool>(true));
  EXPECT_EQ(data_range_has_value(f.o, f.facet(f.facet(f.type(integer), "minInclusive", "7"), "maxInclusive", "5")),
            std::optional<bool>(false));
}

TEST(LiteralIndex, CyclicDefinitionsTerminate) {
  Fixture f;
  const EntityId integer = f.xsd("integer");
  const EntityId a = f.custom("a"), b = f.custom("b"), c = f.custom("c");
  f.define(a, f.type(b));
  f.define(b, f.de(DataExpr::and_of({f.type(a), f.type(integer)})));
  f.define(c, f.facet(f.type(c), "minInclusive", "1"));  // restricts itself
  EXPECT_EQ(literal_satisfies(f.o, {"1", integer}, f.type(a)), std::nullopt);
  EXPECT_EQ(literal_satisfies(f.o, {"1.5", f.xsd("decimal")}, f.type(a)), std::optional<bool>(false));
  EXPECT_EQ(literal_satisfies(f.o, {"5", integer}, f.type(c)), std::nullopt);
  EXPECT_EQ(show(data_range_count(f.o, f.type(a))), "unknown");
  EXPECT_EQ(show(data_range_count(f.o, f.type(c))), "unknown");
}

TEST(LiteralIndex, CollectsTheStoresLiteralsInOrder) {
  Fixture f;
  const EntityId integer = f.xsd("integer");
  f.lit("1", integer);
  f.type(integer);
  f.lit("x", f.xsd("string"));
  f.lit("1", integer);  // interned once
  const auto index = LiteralIndex::from_store(f.o.dl());
  ASSERT_EQ(index.literals().size(), 2u);
  EXPECT_EQ(index.literals()[0].lexical, "1");
  EXPECT_EQ(index.literals()[1].lexical, "x");
}

TEST(LiteralIndex, ValuesInAllRangesLessExcludedOnes) {
  Fixture f;
  const EntityId integer = f.xsd("integer"), str = f.xsd("string");
  const DeId small = f.facet(f.facet(f.type(integer), "minInclusive", "1"), "maxInclusive", "5");
  const DeId odd = f.de(DataExpr::or_of({f.lit("1", integer), f.lit("3", integer), f.lit("5", integer),
                                         f.lit("7", integer)}));
  struct Case {
    std::vector<DeId> ranges;
    std::vector<LiteralValue> excluded;
    const char* expected;
  };
  const Case cases[] = {
      {{}, {}, "infinite"},
      {{small}, {}, "5"},
      {{small}, {{"03", integer}, {"3.0", f.xsd("decimal")}, {"9", integer}, {"3", str}}, "4"},
      {{small, odd}, {}, "3"},
      {{small, odd}, {{"5", integer}}, "2"},
      {{f.lit("5", integer), f.type(integer)}, {{"5", integer}}, "0"},
      {{small}, {{"abc", integer}}, "unknown"},  // a value we cannot place
      {{f.type(str)}, {{"abc", integer}}, "infinite"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(show(values_in_all_ranges(f.o, c.ranges, c.excluded)), c.expected)
        << c.ranges.size() << " ranges, " << c.excluded.size() << " excluded";
}

}  // namespace
}  // namespace trelvanic_dl::datatype
