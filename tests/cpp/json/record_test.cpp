// Records, tagged unions, lists and tuples read through the record helpers,
// with the shape messages and the positions they are reported at.
#include "json/record.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trelvanic_json {
namespace {

struct Case {
  std::string_view input;
  std::string_view expected;
};

// --- An entity-like record: a string and a unit-variant kind, unknown
// fields refused. ---

constexpr std::string_view kKindNames[] = {"Class", "Individual", "ObjectProperty"};
constexpr VariantShape kKindShapes[] = {VariantShape::Unit, VariantShape::Unit, VariantShape::Unit};
constexpr UnionShape kKind{kKindNames, kKindShapes};

constexpr std::string_view kEntityFields[] = {"iri", "kind"};
constexpr RecordShape kEntity{"struct Entity", "struct Entity with 2 elements", kEntityFields, UnknownFields::Refuse};

Result<std::string> read_entity(Reader& r) {
  std::string iri;
  std::size_t kind = 0;
  TRELVANIC_JSON_TRY(read_record(r, kEntity, [&](std::size_t field) -> Result<void> {
    if (field == 0) {
      iri = TRELVANIC_JSON_TRY(r.read_string());
    } else {
      kind = TRELVANIC_JSON_TRY(read_union(r, kKind, [](std::size_t) -> Result<void> { return {}; }));
    }
    return {};
  }));
  return iri + " " + std::string(kKindNames[kind]);
}

template <class F>
std::string outcome(std::string_view text, F read) {
  Reader r(text);
  auto v = read(r);
  if (!v) return v.error().text();
  if (auto end = r.finish(); !end) return end.error().text();
  return *v;
}

TEST(Record, EntityShapes) {
  const Case cases[] = {
      {R"({"iri":"http://a","kind":"Class"})", "http://a Class"},
      {R"({ "kind" : "Individual" , "iri" : "x" })", "x Individual"},
      {R"(["http://a","Class"])", "http://a Class"},
      {R"({"iri":"a","kind":{"Class":null}})", "a Class"},
      {R"({"iri":"http://a"})", "missing field `kind` at line 1 column 18"},
      {R"({})", "missing field `iri` at line 1 column 2"},
      {R"({"iri":"a","iri":"b","kind":"Class"})", "duplicate field `iri` at line 1 column 16"},
      {R"({"iri":"a","kind":"Class","x":1})", "unknown field `x`, expected `iri` or `kind` at line 1 column 29"},
      {R"({"x" :1})", "unknown field `x`, expected `iri` or `kind` at line 1 column 5"},
      {R"(["a"])", "invalid length 1, expected struct Entity with 2 elements at line 1 column 5"},
      {R"([])", "invalid length 0, expected struct Entity with 2 elements at line 1 column 2"},
      {R"(["a","Class","x"])", "trailing characters at line 1 column 14"},
      {R"(["a","Class",])", "trailing comma at line 1 column 14"},
      {R"("a")", "invalid type: string \"a\", expected struct Entity at line 1 column 3"},
      {R"(7)", "invalid type: integer `7`, expected struct Entity at line 1 column 1"},
      {R"(null)", "invalid type: unit value, expected struct Entity at line 1 column 4"},
      {R"({"iri":"a","kind":"class"})",
       "unknown variant `class`, expected one of `Class`, `Individual`, `ObjectProperty` at line 1 column 25"},
      {R"({"iri":"a","kind":{"Class":1}})", "invalid type: integer `1`, expected unit at line 1 column 28"},
      {R"({"iri":"a","kind":5})", "expected value at line 1 column 19"},
      {R"({"iri":"a","kind":{}})", "expected value at line 1 column 20"},
      {R"({"iri":"a" "kind":"Class"})", "expected `,` or `}` at line 1 column 12"},
      {R"({"iri":"a",})", "trailing comma at line 1 column 12"},
      {R"({"iri":"a")", "EOF while parsing an object at line 1 column 10"},
      {R"({"iri" "a"})", "expected `:` at line 1 column 8"},
      {R"({"iri":"a","kind":"Class"} x)", "trailing characters at line 1 column 28"},
      {"{\n  \"iri\": \"a\",\n  \"iri\": \"b\"\n}", "duplicate field `iri` at line 3 column 7"},
  };
  for (const Case& c : cases) EXPECT_EQ(outcome(c.input, read_entity), c.expected) << c.input;
}

// --- A literal-like record that skips unknown fields, and a record with an
// optional field. ---

constexpr std::string_view kLiteralFields[] = {"lexical", "datatype"};
constexpr RecordShape kLiteral{"struct Literal", "struct Literal with 2 elements", kLiteralFields};

constexpr std::string_view kCardFields[] = {"n", "filler"};
constexpr RecordShape kCard{"struct Card", "struct Card with 2 elements", kCardFields, UnknownFields::Skip, 0b10};

TEST(Record, SkippedAndOptionalFields) {
  auto literal = [](Reader& r) -> Result<std::string> {
    std::string lexical, datatype;
    TRELVANIC_JSON_TRY(read_record(r, kLiteral, [&](std::size_t f) -> Result<void> {
      (f == 0 ? lexical : datatype) = TRELVANIC_JSON_TRY(r.read_string());
      return {};
    }));
    return lexical + "^^" + datatype;
  };
  EXPECT_EQ(outcome(R"({"lexical":"5","extra":{"deep":[1,{"x":null}]},"datatype":"d"})", literal), "5^^d");
  EXPECT_EQ(outcome(R"({"lexical":"5","extra":[1,}"datatype":"d"})", literal), "expected value at line 1 column 27");

  auto card = [](Reader& r) -> Result<std::string> {
    uint32_t n = 0;
    std::optional<uint32_t> filler;
    TRELVANIC_JSON_TRY(read_record(r, kCard, [&](std::size_t f) -> Result<void> {
      if (f == 0) n = TRELVANIC_JSON_TRY(r.read_u32());
      else filler = TRELVANIC_JSON_TRY(r.read_u32());
      return {};
    }));
    return std::to_string(n) + "/" + (filler ? std::to_string(*filler) : "none");
  };
  const Case cases[] = {
      {R"({"n":1})", "1/none"},
      {R"({"n":1,"filler":null})", "1/none"},
      {R"({"filler":4,"n":1})", "1/4"},
      {R"([1,null])", "1/none"},
      {R"([1,4])", "1/4"},
      {R"([1])", "invalid length 1, expected struct Card with 2 elements at line 1 column 3"},
      {R"({"filler":4})", "missing field `n` at line 1 column 12"},
      {R"({"n":4294967296})", "invalid value: integer `4294967296`, expected u32 at line 1 column 15"},
      {R"({"n":1.0})", "invalid type: floating point `1.0`, expected u32 at line 1 column 8"},
      {R"({"n":"1"})", "invalid type: string \"1\", expected u32 at line 1 column 8"},
  };
  for (const Case& c : cases) EXPECT_EQ(outcome(c.input, card), c.expected) << c.input;
}

// --- A class-expression-like union: unit, newtype, struct and tuple
// variants, with a role union inside. ---

constexpr std::string_view kRoleNames[] = {"Atomic", "Inverse"};
constexpr VariantShape kRoleShapes[] = {VariantShape::Newtype, VariantShape::Newtype};
constexpr UnionShape kRole{kRoleNames, kRoleShapes};

constexpr std::string_view kExprNames[] = {"Top", "Atomic", "Some", "MinCardinality", "Same"};
constexpr VariantShape kExprShapes[] = {VariantShape::Unit, VariantShape::Newtype, VariantShape::Struct,
                                        VariantShape::Struct, VariantShape::Tuple};
constexpr UnionShape kExpr{kExprNames, kExprShapes};
constexpr std::string_view kSomeFields[] = {"property", "filler"};
constexpr RecordShape kSome{"struct variant Expr::Some", "struct variant Expr::Some with 2 elements", kSomeFields};
constexpr std::string_view kMinFields[] = {"n", "property", "filler"};
constexpr RecordShape kMin{"struct variant Expr::MinCardinality",
                           "struct variant Expr::MinCardinality with 3 elements", kMinFields, UnknownFields::Skip,
                           0b100};

Result<std::string> read_role(Reader& r) {
  uint32_t id = 0;
  std::size_t v = TRELVANIC_JSON_TRY(read_union(r, kRole, [&](std::size_t) -> Result<void> {
    id = TRELVANIC_JSON_TRY(r.read_u32());
    return {};
  }));
  return std::string(v == 0 ? "" : "inv ") + std::to_string(id);
}

Result<std::string> read_expr(Reader& r) {
  std::string out;
  std::size_t variant = TRELVANIC_JSON_TRY(read_union(r, kExpr, [&](std::size_t v) -> Result<void> {
    switch (v) {
      case 1: out = std::to_string(TRELVANIC_JSON_TRY(r.read_u32())); return {};
      case 2:
        return read_record(r, kSome, [&](std::size_t f) -> Result<void> {
          if (f == 0) out += "p=" + TRELVANIC_JSON_TRY(read_role(r)) + ";";
          else out += "f=" + std::to_string(TRELVANIC_JSON_TRY(r.read_u32())) + ";";
          return {};
        });
      case 3:
        return read_record(r, kMin, [&](std::size_t f) -> Result<void> {
          if (f == 1) out += "p=" + TRELVANIC_JSON_TRY(read_role(r)) + ";";
          else out += std::string(f == 0 ? "n=" : "f=") + std::to_string(TRELVANIC_JSON_TRY(r.read_u32())) + ";";
          return {};
        });
      case 4:
        return read_tuple(r, "tuple variant Expr::Same", "tuple variant Expr::Same with 2 elements", 2,
                          [&](std::size_t) -> Result<void> {
                            out += std::to_string(TRELVANIC_JSON_TRY(r.read_u32())) + ",";
                            return {};
                          });
      default: return {};
    }
  }));
  return std::string(kExprNames[variant]) + "(" + out + ")";
}

Result<std::string> read_expr_list(Reader& r) {
  std::string out;
  TRELVANIC_JSON_TRY(read_seq(r, [&](std::size_t) -> Result<void> {
    out += TRELVANIC_JSON_TRY(read_expr(r)) + " ";
    return {};
  }));
  return out;
}

TEST(Record, UnionShapes) {
  const Case cases[] = {
      {R"(["Top",{"Top":null},{"Atomic":7}])", "Top() Top() Atomic(7) "},
      {R"([{"Some":{"filler":5,"property":{"Atomic":2}}}])", "Some(f=5;p=2;) "},
      {R"([{"Some":[{"Inverse":2},5]}])", "Some(p=inv 2;f=5;) "},
      {R"([{"Some":{"property":{"Atomic":2},"filler":5,"range":[1,{"n":null}]}}])", "Some(p=2;f=5;) "},
      {R"([{"MinCardinality":{"n":1,"property":{"Atomic":2}}}])", "MinCardinality(n=1;p=2;) "},
      {R"([{"MinCardinality":[1,{"Atomic":2},null]}])", "MinCardinality(n=1;p=2;) "},
      {R"([{"Same":[1,2]}])", "Same(1,2,) "},
      {R"([])", ""},
      {R"(["Atomic"])", "invalid type: unit variant, expected newtype variant at line 1 column 10"},
      {R"(["Some", "Top"])", "invalid type: unit variant, expected struct variant at line 1 column 9"},
      {R"(["Same"])", "invalid type: unit variant, expected tuple variant at line 1 column 8"},
      {R"([{"Some":{"filler":5}}])", "missing field `property` at line 1 column 21"},
      {R"([{"Some":{"property":{"Atomic":2},"property":{"Atomic":3},"filler":5}}])",
       "duplicate field `property` at line 1 column 44"},
      {R"([{"Some":{"property":"Atomic","filler":1}}])",
       "invalid type: unit variant, expected newtype variant at line 1 column 29"},
      {R"([{"MinCardinality":[1,{"Atomic":2}]}])",
       "invalid length 2, expected struct variant Expr::MinCardinality with 3 elements at line 1 column 35"},
      {R"([{"Some":[{"Atomic":2},5,6]}])", "trailing characters at line 1 column 26"},
      {R"([{"Some":"x"}])", "invalid type: string \"x\", expected struct variant Expr::Some at line 1 column 12"},
      {R"([{"Some":null}])", "invalid type: unit value, expected struct variant Expr::Some at line 1 column 13"},
      {R"([{"Atomic":1,"Top":null}])", "expected value at line 1 column 12"},
      {R"([{"Atomic":1)", "EOF while parsing an object at line 1 column 12"},
      {R"([{"atomic":1}])",
       "unknown variant `atomic`, expected one of `Top`, `Atomic`, `Some`, `MinCardinality`, `Same` at line 1 "
       "column 10"},
      {R"(["top"])",
       "unknown variant `top`, expected one of `Top`, `Atomic`, `Some`, `MinCardinality`, `Same` at line 1 column 6"},
      {R"([{"Top":0}])", "invalid type: integer `0`, expected unit at line 1 column 9"},
      {R"([{"Atomic":-1}])", "invalid value: integer `-1`, expected u32 at line 1 column 13"},
      {R"([{"Atomic":{"Atomic":3}}])", "invalid type: map, expected u32 at line 1 column 11"},
      {R"([{"Same":[1]}])", "invalid length 1, expected tuple variant Expr::Same with 2 elements at line 1 column 12"},
      {R"([{"Same":[1,2,3]}])", "trailing characters at line 1 column 15"},
      {R"([{"Same":{"0":1}}])", "invalid type: map, expected tuple variant Expr::Same at line 1 column 9"},
      {R"([5])", "expected value at line 1 column 2"},
      {R"({"Top":null})", "invalid type: map, expected a sequence at line 1 column 0"},
  };
  for (const Case& c : cases) EXPECT_EQ(outcome(c.input, read_expr_list), c.expected) << c.input;
}

// A snapshot-shaped root: three required members, three optional ones that
// may be null, any other member refused with the list of all six.
constexpr std::string_view kRootFields[] = {"format_version", "entities", "axioms", "dl", "swrl_rules", "parse_meta"};
constexpr RecordShape kRoot{"struct Root", "struct Root with 6 elements", kRootFields, UnknownFields::Refuse, 0b111000};

TEST(Record, SnapshotShapedRoot) {
  auto root = [](Reader& r) -> Result<std::string> {
    std::string seen;
    TRELVANIC_JSON_TRY(read_record(r, kRoot, [&](std::size_t f) -> Result<void> {
      seen += std::string(kRootFields[f]) + ";";
      if (f == 0) return drop_value(r.read_u32());
      return r.skip_value();
    }));
    return seen;
  };
  const Case cases[] = {
      {R"({"format_version":2,"entities":[],"axioms":[],"dl":null})", "format_version;entities;axioms;"},
      {R"({"axioms":[],"dl":{},"entities":[],"format_version":4})", "axioms;dl;entities;format_version;"},
      {R"({"entities":[],"axioms":[]})", "missing field `format_version` at line 1 column 27"},
      {R"({"format_version":4,"entities":[],"axioms":[],"extra":1})",
       "unknown field `extra`, expected one of `format_version`, `entities`, `axioms`, `dl`, `swrl_rules`, "
       "`parse_meta` at line 1 column 53"},
      {R"({"format_version":4,"format\u005fversion":4})", "duplicate field `format_version` at line 1 column 41"},
      {R"({"format_version":-4})", "invalid value: integer `-4`, expected u32 at line 1 column 20"},
  };
  for (const Case& c : cases) EXPECT_EQ(outcome(c.input, root), c.expected) << c.input;
}

// Nesting inside records counts against the same limit as plain values.
TEST(Record, NestedRecordsHoldTheDepthLimit) {
  auto nested_lists = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '[') + std::string(static_cast<std::size_t>(depth), ']');
  };
  std::function<Result<void>(Reader&)> read_nested = [&](Reader& r) -> Result<void> {
    return read_seq(r, [&](std::size_t) -> Result<void> { return read_nested(r); });
  };
  const std::string ok = nested_lists(127);
  const std::string deep = nested_lists(128);
  Reader a(ok);
  EXPECT_TRUE(read_nested(a));
  Reader b(deep);
  auto err = read_nested(b);
  ASSERT_FALSE(err);
  EXPECT_EQ(err.error().text(), "recursion limit exceeded at line 1 column 128");
}

}  // namespace
}  // namespace trelvanic_json
