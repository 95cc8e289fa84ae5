// Reader messages of the snapshot's forms, read one value at a time: told
// axioms, class expressions, data ranges, roles, DL axioms, the DL section
// and SWRL rules. Messages are the display texts with their positions.
#include <gtest/gtest.h>

#include <functional>

#include "core/serialize_axiom.h"
#include "core/serialize_dl.h"
#include "core/serialize_swrl.h"

namespace trelvanic_core {
namespace {

namespace js = trelvanic_json;

using ReadFn = std::function<js::Result<void>(js::Reader&)>;

template <class F>
ReadFn dropping(F f) {
  return [f](js::Reader& r) -> js::Result<void> { return js::drop_value(f(r)); };
}

const ReadFn kClassExpr = dropping(read_class_expr);
const ReadFn kDataExpr = dropping(read_data_expr);
const ReadFn kRole = dropping(read_role_expr);
const ReadFn kDlAxiom = dropping(read_dl_axiom);
const ReadFn kDlStore = dropping(read_dl_store);
const ReadFn kRule = dropping(read_swrl_rule);
const ReadFn kTold = [](js::Reader& r) {
  SnapshotAxiomList list(r.text());
  return list.read_one(r);
};

// "" when the text reads as one value with nothing after it.
std::string outcome(const ReadFn& read, std::string_view text) {
  js::Reader r(text);
  auto v = read(r);
  if (v) v = r.finish();
  return v ? "" : v.error().text();
}

struct Case {
  const ReadFn* read;
  std::string text;
  std::string message;
};

void run(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(outcome(*c.read, c.text), c.message) << c.text;
}

TEST(SnapshotForms, ToldAxioms) {
  const std::string names =
      "`SubClassOf`, `EquivalentClasses`, `DisjointClasses`, `ObjectPropertyDomain`, `ObjectPropertyRange`, "
      "`SubObjectPropertyOf`, `InverseObjectProperties`, `TransitiveObjectProperty`, `SubClassOfExistential`, "
      "`SymmetricObjectProperty`, `ReflexiveObjectProperty`, `FunctionalObjectProperty`, "
      "`InverseFunctionalObjectProperty`, `IrreflexiveObjectProperty`, `AsymmetricObjectProperty`, "
      "`EquivalentObjectProperties`, `ClassAssertion`, `ObjectPropertyAssertion`, `DataPropertyAssertion`, "
      "`NegativeObjectPropertyAssertion`, `NegativeDataPropertyAssertion`, `SameIndividual`, `DifferentIndividuals`";
  run({
      {&kTold, R"({"SubClassOf": ["a:x", "a:y"]})", ""},
      {&kTold, R"({"SubClassOf": {"superclass": "a:y", "subclass": "a:x"}})", ""},
      {&kTold, R"({"EquivalentClasses": []})", ""},
      {&kTold, R"({"SubClassOf": ["a:x"]})",
       "invalid length 1, expected struct variant SnapshotAxiom::SubClassOf with 2 elements at line 1 column 22"},
      {&kTold, R"({"SubClassOf": ["a:x", "a:y", "a:z"]})", "trailing characters at line 1 column 31"},
      {&kTold, R"({"SubClassOf": {"subclass": "a:x", "filler": "a:y"}})",
       "unknown field `filler`, expected `subclass` or `superclass` at line 1 column 43"},
      {&kTold, R"({"SubClassOf": {"subclass": "a:x", "subclass": "a:y"}})",
       "duplicate field `subclass` at line 1 column 45"},
      {&kTold, R"({"SubClassOf": {"subclass": "a:x"}})", "missing field `superclass` at line 1 column 34"},
      {&kTold, R"("SubClassOf")", "invalid type: unit variant, expected struct variant"},
      {&kTold, R"({"subClassOf": 1})", "unknown variant `subClassOf`, expected one of " + names +
                                          " at line 1 column 13"},
      {&kTold, R"({"TransitiveObjectProperty": "a:p", "SymmetricObjectProperty": "a:p"})",
       "expected value at line 1 column 34"},
      {&kTold, R"({"TransitiveObjectProperty": ["a:p"]})",
       "invalid type: sequence, expected a string at line 1 column 29"},
      {&kTold, "7", "expected value at line 1 column 1"},
  });
}

TEST(SnapshotForms, ClassExpressionsDataRangesAndRoles) {
  run({
      {&kClassExpr, R"("Top")", ""},
      {&kClassExpr, R"({"Top": null})", ""},
      {&kClassExpr, R"({"Top": 0})", "invalid type: integer `0`, expected unit at line 1 column 9"},
      {&kClassExpr, R"("Atomic")", "invalid type: unit variant, expected newtype variant"},
      {&kClassExpr, R"("Some")", "invalid type: unit variant, expected struct variant"},
      {&kClassExpr, R"("Thing")",
       "unknown variant `Thing`, expected one of `Top`, `Bottom`, `Atomic`, `Not`, `And`, `Or`, `Some`, `All`, "
       "`OneOf`, `HasValue`, `HasSelf`, `MinCardinality`, `MaxCardinality`, `ExactCardinality`, `DataAll`, "
       "`DataSome`, `DataHasValue`, `DataMinCardinality`, `DataMaxCardinality`, `DataExactCardinality` at line 1 "
       "column 7"},
      {&kClassExpr, R"({"Some": {"property": {"Atomic": 2}, "property": {"Atomic": 3}, "filler": 5}})",
       "duplicate field `property` at line 1 column 47"},
      {&kClassExpr, R"({"Some": {"filler": 5}})", "missing field `property` at line 1 column 22"},
      {&kClassExpr, R"({"MinCardinality": [1, {"Atomic": 2}]})",
       "invalid length 2, expected struct variant ClassExpr::MinCardinality with 3 elements at line 1 column 37"},
      {&kClassExpr, R"({"Atomic": 4294967295})", ""},
      {&kClassExpr, R"({"Atomic": 4294967296})",
       "invalid value: integer `4294967296`, expected u32 at line 1 column 21"},
      {&kClassExpr, R"({"Atomic": -1})", "invalid value: integer `-1`, expected u32 at line 1 column 13"},
      {&kClassExpr, R"({"Atomic": 1.0})", "invalid type: floating point `1.0`, expected u32 at line 1 column 14"},
      {&kClassExpr, R"({"And": []})", ""},
      {&kClassExpr, R"({"Not": 1, "Top": null})", "expected value at line 1 column 9"},
      {&kClassExpr, R"({"HasSelf": {"Atomic": 3}})", "invalid type: map, expected u32 at line 1 column 12"},
      {&kClassExpr, "[]", "expected value at line 1 column 1"},
      {&kRole, R"("Atomic")", "invalid type: unit variant, expected newtype variant"},
      {&kRole, R"({"Inverse": 3})", ""},
      {&kDataExpr, R"("Facet")", "invalid type: unit variant, expected struct variant"},
      {&kDataExpr, R"({"Literal": {"lexical": "5"}})", "missing field `datatype` at line 1 column 28"},
      {&kDataExpr, R"({"Facet": [0, "http://f"]})",
       "invalid length 2, expected struct variant DataExpr::Facet with 3 elements at line 1 column 25"},
  });
}

TEST(SnapshotForms, DlAxiomsAndSection) {
  run({
      {&kDlAxiom, R"("SwrlRule")", ""},
      {&kDlAxiom, R"({"SwrlRule": null})", ""},
      {&kDlAxiom, R"({"SwrlRule": 1})", "invalid type: integer `1`, expected unit at line 1 column 14"},
      {&kDlAxiom, R"("SubClassOf")", "invalid type: unit variant, expected struct variant"},
      {&kDlAxiom, R"("EquivalentClasses")", "invalid type: unit variant, expected newtype variant"},
      {&kDlAxiom, R"({"subClassOf": []})",
       "unknown variant `subClassOf`, expected one of `SubClassOf`, `EquivalentClasses`, `DisjointClasses`, "
       "`ObjectPropertyDomain`, `ObjectPropertyRange`, `SubObjectPropertyChain`, `SubObjectPropertyOf`, `HasKey`, "
       "`ClassAssertion`, `DataPropertyDomain`, `DataPropertyRange`, `SubDataPropertyOf`, `DataPropertyAssertion`, "
       "`NegativeObjectPropertyAssertion`, `NegativeDataPropertyAssertion`, `ObjectPropertyAssertion`, "
       "`DatatypeDefinition`, `FunctionalDataProperty`, `EquivalentDataProperties`, `DisjointDataProperties`, "
       "`DisjointObjectProperties`, `SameIndividual`, `DifferentIndividuals`, `TransitiveObjectProperty`, "
       "`SymmetricObjectProperty`, `SwrlRule`, `InverseFunctionalObjectProperty`, `IrreflexiveObjectProperty`, "
       "`DisjointRoles` at line 1 column 13"},
      {&kDlAxiom, R"({"SubClassOf": [1, 2]})", ""},
      {&kDlAxiom, R"({"SubClassOf": [1]})",
       "invalid length 1, expected struct variant DlAxiom::SubClassOf with 2 elements at line 1 column 18"},
      {&kDlAxiom, R"({"SubClassOf": [1, 2, 3]})", "trailing characters at line 1 column 23"},
      {&kDlAxiom, R"({"SubClassOf": {"sup": 1}})", "missing field `sub` at line 1 column 25"},
      {&kDlAxiom, R"({"ObjectPropertyDomain": {"property": {"Atomic": 1}, "domain": 0}})",
       "invalid type: map, expected u32 at line 1 column 38"},
      {&kDlAxiom, R"({"ObjectPropertyAssertion": {"subject": 0, "property": 1, "object": 2}})",
       "expected value at line 1 column 56"},
      {&kDlAxiom, R"({"SubObjectPropertyChain": {"chain": [], "super_property": {"Atomic": 0}}})", ""},
      {&kDlAxiom, R"({"SameIndividual": []})", ""},
      {&kDlAxiom, R"({"DisjointRoles": [{"Atomic": 1}, {"Inverse": 2}]})", ""},
      {&kDlAxiom, R"({"DisjointRoles": [1, 2]})", "expected value at line 1 column 20"},
      {&kDlAxiom, "null", "expected value at line 1 column 1"},
      {&kDlStore, R"({"axioms": [], "expressions": [], "data_exprs": [], "x": {"y": [1]}})", ""},
      {&kDlStore, "[[], [], []]", ""},
      {&kDlStore, "[[], []]", "invalid length 2, expected struct DlStore with 3 elements at line 1 column 8"},
      {&kDlStore, "5", "invalid type: integer `5`, expected struct DlStore at line 1 column 1"},
      {&kDlStore, "{}", "missing field `expressions` at line 1 column 2"},
      {&kDlStore, R"({"expressions": [], "expressions": []})", "duplicate field `expressions` at line 1 column 33"},
  });
}

TEST(SnapshotForms, SwrlRules) {
  run({
      {&kRule, R"({"body": [], "head": []})", ""},
      {&kRule, "[[], []]", ""},
      {&kRule, "[[]]", "invalid length 1, expected struct SwrlRule with 2 elements at line 1 column 4"},
      {&kRule, R"({"body": []})", "missing field `head` at line 1 column 12"},
      {&kRule, "\"x\"", "invalid type: string \"x\", expected struct SwrlRule at line 1 column 3"},
      {&kRule, R"({"body": ["Class"], "head": []})", "invalid type: unit variant, expected struct variant at line 1 column 18"},
      {&kRule, R"({"body": [{"Class": null}], "head": []})",
       "invalid type: unit value, expected struct variant SwrlAtom::Class at line 1 column 24"},
      {&kRule, R"({"body": [{"SameIndividual": [{"Individual": 1}]}], "head": []})",
       "invalid length 1, expected tuple variant SwrlAtom::SameIndividual with 2 elements at line 1 column 48"},
      {&kRule, R"({"body": [{"SameIndividual": [{"Individual": 1}, {"Individual": 1}, {"Individual": 1}]}], "head": []})",
       "trailing characters at line 1 column 69"},
      {&kRule, R"({"body": [{"SameIndividual": {"0": {"Individual": 1}}}], "head": []})",
       "invalid type: map, expected tuple variant SwrlAtom::SameIndividual at line 1 column 29"},
      {&kRule, R"({"body": [{"Class": {"class": 1, "arg": {"Variable": 3}}}], "head": []})",
       "invalid type: integer `3`, expected a string at line 1 column 54"},
      {&kRule, R"({"body": [{"Class": {"class": 1, "arg": {"Individual": "x"}}}], "head": []})",
       "invalid type: string \"x\", expected u32 at line 1 column 58"},
      {&kRule, R"({"body": [{"Class": {"class": 1, "arg": {"individual": 1}}}], "head": []})",
       "unknown variant `individual`, expected `Individual` or `Variable` at line 1 column 53"},
      {&kRule, R"({"body": [{"Class": {"class": 1, "arg": "Variable"}}], "head": []})",
       "invalid type: unit variant, expected newtype variant at line 1 column 51"},
      {&kRule, R"({"body": [{"DataRange": {"range": 0, "arg": {"Literal": {"lexical": "5"}}}}], "head": []})", ""},
  });
}

TEST(SnapshotForms, ReadValuesMatchWhatWasWritten) {
  js::Reader r(R"({"MinCardinality": {"n": 1, "property": {"Atomic": 2}}})");
  auto e = read_class_expr(r);
  ASSERT_TRUE(e);
  EXPECT_TRUE(ce_equal(*e, ClassExpr::cardinality(CeKind::MinCardinality, 1, RoleExpr::atomic(EntityId(2)), std::nullopt)));
  js::Reader h(R"({"HasKey": [3, [1, 2], []]})");
  auto k = read_dl_axiom(h);
  ASSERT_TRUE(k);
  EXPECT_TRUE(dl_axiom_equal(*k, DlAxiom::has_key(CeId(3), {EntityId(1), EntityId(2)}, {})));
  js::Reader s(R"({"body": [{"DataRange": [0, {"Literal": {"lexical": "5"}}]}], "head": []})");
  auto rule = read_swrl_rule(s);
  ASSERT_TRUE(rule);
  EXPECT_EQ(*rule, (SwrlRule{{SwrlAtom::data_range(DeId(0), SwrlLiteral{"5", std::nullopt})}, {}}));
}

}  // namespace
}  // namespace trelvanic_core
