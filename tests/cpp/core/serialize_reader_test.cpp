#include <gtest/gtest.h>

#include <functional>

#include <fmt/format.h>

#include "core/serialize.h"

namespace trelvanic_core {
namespace {

struct Case {
  std::string name;
  std::string text;
  ErrorKind kind;
  std::string message;  // empty: the read succeeds
  std::function<void(OntologyLimits&)> limits = {};
};

void run(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    OntologyLimits limits;
    if (c.limits) c.limits(limits);
    auto o = from_json_with_limits(c.text, limits);
    if (c.message.empty()) {
      EXPECT_TRUE(o) << c.name << ": " << o.error().message();
      continue;
    }
    ASSERT_FALSE(o) << c.name;
    EXPECT_EQ(o.error().message(), c.message) << c.name;
    EXPECT_EQ(o.error().kind(), c.kind) << c.name;
  }
}

std::string doc(std::string_view entities, std::string_view axioms = "", std::string_view rest = "") {
  return fmt::format(R"({{"format_version":4,"entities":[{}],"axioms":[{}]{}}})", entities, axioms, rest);
}

constexpr std::string_view kAB = R"({"iri":"http://x/A","kind":"Class"},{"iri":"http://x/B","kind":"Class"})";
constexpr std::string_view kSub = R"({"SubClassOf":["http://x/A","http://x/B"]})";
constexpr auto S = ErrorKind::Serialization;
constexpr auto L = ErrorKind::ResourceLimitExceeded;
constexpr auto A = ErrorKind::InvalidAxiom;
constexpr auto I = ErrorKind::InvalidIri;

TEST(SnapshotReader, TextShapeAndDuplicateKeys) {
  const std::string empty = doc("");
  run({
      {"size at limit", empty, S, "", [&](OntologyLimits& l) { l.max_json_bytes = empty.size(); }},
      {"size over limit", empty, S, "serialization error: JSON input exceeds maximum size of 45 bytes",
       [&](OntologyLimits& l) { l.max_json_bytes = empty.size() - 1; }},
      {"array", "[]", S, "serialization error: JSON snapshot must be a top-level object"},
      {"blank", " \n\t", S, "serialization error: JSON snapshot must be a top-level object"},
      {"line breaks before", "\r\n  " + empty, S, ""},
      {"no-break space", "\u00a0" + empty, S, "serialization error: expected value at line 1 column 1"},
      {"repeated key, broken rest", R"({"entities": [], "entities": [}, [})", S,
       "serialization error: duplicate top-level key \"entities\" in JSON snapshot"},
      {"strings equal to keys are values", R"({"format_version":4,"entities":[["http://x/A","Class"],)"
                                           R"(["http://x/B","Class"]],"axioms":[],"parse_meta":{"warnings":)"
                                           R"(["axioms"],"mapped_axiom_count":0,"skipped_axiom_count":0,)"
                                           R"("logical_axiom_count":0}})",
       S, ""},
      {"key spelled with an escape", R"({"format_version":4,"entities":[],"axioms":[],"format\u005fversion":4})", S,
       "serialization error: duplicate field `format_version` at line 1 column 67"},
  });
}

TEST(SnapshotReader, RecordMessagesCarryTheirPositions) {
  run({
      {"unknown root member", doc("", "", R"(,"extra":1)"), S,
       "serialization error: unknown field `extra`, expected one of `format_version`, `entities`, `axioms`, `dl`, "
       "`swrl_rules`, `parse_meta` at line 1 column 53"},
      {"missing version", R"({"entities":[],"axioms":[]})", S,
       "serialization error: missing field `format_version` at line 1 column 27"},
      {"unknown entity member", doc(R"({"iri":"http://x/A","kind":"Class","x":1})"), S,
       "serialization error: unknown field `x`, expected `iri` or `kind` at line 1 column 70"},
      {"unknown kind", doc(R"({"iri":"http://x/A","kind":"class"})"), S,
       "serialization error: unknown variant `class`, expected one of `Class`, `Individual`, `ObjectProperty`, "
       "`DataProperty`, `AnnotationProperty`, `Datatype`, `ClassIndividual`, `ClassObjectProperty`, "
       "`ObjectPropertyIndividual` at line 1 column 66"},
      {"short entity array", doc(R"(["http://x/A"])"), S,
       "serialization error: invalid length 1, expected struct SnapshotEntity with 2 elements at line 1 column 46"},
      {"entity of wrong type", doc("5"), S,
       "serialization error: invalid type: integer `5`, expected struct SnapshotEntity at line 1 column 33"},
      {"short literal array",
       doc(R"({"iri":"http://x/i","kind":"Individual"},{"iri":"http://x/d","kind":"DataProperty"})",
           R"({"DataPropertyAssertion":["http://x/i","http://x/d",["1"]]})"),
       S,
       "serialization error: invalid length 1, expected struct DataLiteral with 2 elements at line 1 column 184"},
      {"short parse meta", doc("", "", R"(,"parse_meta":[[],1])"), S,
       "serialization error: invalid length 2, expected struct ParseMetaSummary with 4 elements at line 1 column 65"},
      {"text after the object", doc("") + " x", S, "serialization error: trailing characters at line 1 column 48"},
      {"version as float", R"({"format_version":4.0,"entities":[],"axioms":[]})", S,
       "serialization error: invalid type: floating point `4.0`, expected u32 at line 1 column 21"},
  });
}

TEST(SnapshotReader, Versions) {
  std::string v1 = doc(""), v0 = doc(""), v5 = doc("");
  v1[18] = '1';
  v0[18] = '0';
  v5[18] = '5';
  run({
      {"version 1", v1, S,
       "serialization error: format_version 1 is not supported for untrusted input; use format_version 2 or later"},
      {"version 0", v0, S, "serialization error: unsupported format_version: 0"},
      {"version 5", v5, S, "serialization error: unsupported format_version: 5"},
  });
}

TEST(SnapshotReader, CountLimitsAtTheirBoundaries) {
  const std::string two_entities = doc(kAB);
  const std::string two_axioms = doc(kAB, std::string(kSub) + "," + std::string(kSub));
  const std::string dl = doc(kAB, kSub,
                             R"(,"dl":{"expressions":[{"Atomic":0},{"Atomic":1},{"Not":0}],"data_exprs":["Top"],)"
                             R"("axioms":[{"SubClassOf":{"sub":0,"sup":1}}]})");
  const std::string rules = doc(kAB, "", R"(,"swrl_rules":[{"body":[],"head":[]},[[],[]]])");
  auto set = [](size_t OntologyLimits::*field, size_t v) {
    return [=](OntologyLimits& l) { l.*field = v; };
  };
  run({
      {"entities at limit", two_entities, L, "", set(&OntologyLimits::max_entities, 2)},
      {"entities over limit", two_entities, L, "resource limit exceeded: entity count exceeds maximum of 1",
       set(&OntologyLimits::max_entities, 1)},
      {"repeated axiom objects count twice", two_axioms, L, "", set(&OntologyLimits::max_axioms, 2)},
      {"axiom objects over limit", two_axioms, L, "resource limit exceeded: axiom count exceeds maximum of 1",
       set(&OntologyLimits::max_axioms, 1)},
      {"combined at limit", dl, L, "", set(&OntologyLimits::max_axioms, 2)},
      {"combined over limit", dl, L, "resource limit exceeded: combined axiom count exceeds maximum of 1",
       set(&OntologyLimits::max_axioms, 1)},
      {"expressions at limit", dl, L, "", set(&OntologyLimits::max_entities, 3)},
      {"expressions over limit", dl, L, "resource limit exceeded: DL expression count exceeds maximum of 2",
       set(&OntologyLimits::max_entities, 2)},
      {"rules at limit", rules, L, "", set(&OntologyLimits::max_swrl_rules, 2)},
      {"rules over limit", rules, L, "resource limit exceeded: SWRL rule count exceeds maximum of 1",
       set(&OntologyLimits::max_swrl_rules, 1)},
  });
}

TEST(SnapshotReader, EntitiesAndAxiomsAreValidated) {
  const std::string ip = R"({"iri":"http://x/i","kind":"Individual"},{"iri":"http://x/d","kind":"DataProperty"})";
  auto dpa = [&](std::string_view lexical, std::string_view datatype) {
    return doc(ip, fmt::format(R"({{"DataPropertyAssertion":["http://x/i","http://x/d",["{}","{}"]]}})", lexical,
                               datatype));
  };
  auto lit3 = [](OntologyLimits& l) { l.max_literal_bytes = 3; };
  run({
      {"same IRI twice", doc(R"({"iri":"http://x/A","kind":"Class"},{"iri":"http://x/A","kind":"Individual"})"), S,
       "serialization error: duplicate entity IRI in snapshot: http://x/A"},
      {"scheme not allowed", doc(R"({"iri":"ftp://x/A","kind":"Class"})"), I,
       "invalid IRI: IRI scheme 'ftp' is not allowed (allowed: http, https, urn, file, internal)"},
      {"file and internal schemes",
       doc(R"({"iri":"file:///o.owl#_:b1","kind":"Individual"},{"iri":"internal:x","kind":"Class"})",
           R"({"ClassAssertion":["file:///o.owl#_:b1","internal:x"]})"),
       I, ""},
      {"punned kind", doc(R"({"iri":"http://x/A","kind":"ClassIndividual"})", R"({"ClassAssertion":["http://x/A","http://x/A"]})"),
       A, ""},
      {"unknown IRI", doc(kAB, R"({"EquivalentClasses":["http://x/A","http://x/Z","http://x/Y"]})"), A,
       "invalid axiom: unknown entity IRI in axiom: http://x/Z"},
      {"IRI with a space", doc(kAB, R"({"SubClassOf":["http://x/A","http://x/ B"]})"), I,
       "invalid IRI: IRI contains whitespace: http://x/ B"},
      {"wrong kind", doc(kAB, R"({"ObjectPropertyDomain":["http://x/A","http://x/B"]})"), A,
       "invalid axiom: property entity EntityId(0) must be ObjectProperty, found Class"},
      {"too few operands", doc(kAB, R"({"EquivalentClasses":[]})"), A,
       "invalid axiom: equivalent/disjoint operands require at least two members"},
      {"one distinct operand", doc(kAB, R"({"DisjointClasses":["http://x/A","http://x/A"]})"), A,
       "invalid axiom: equivalent/disjoint operands require at least two distinct members"},
      {"operands over limit", doc(kAB, R"({"DisjointClasses":["http://x/A","http://x/B","http://x/B"]})"), A,
       "invalid axiom: equivalent/disjoint operands exceed maximum operand count of 2",
       [](OntologyLimits& l) { l.max_operands = 2; }},
      {"literal at limit", dpa("abc", "http://x/dt"), A, "", lit3},
      {"literal over limit", dpa("abcd", "http://x/dt"), A, "invalid axiom: data literal exceeds maximum size of 3 bytes",
       lit3},
      {"empty literal", dpa("", "http://x/dt"), A, "invalid axiom: data property assertion requires non-empty literal"},
      {"datatype scheme", dpa("1", "file:///dt"), I,
       "invalid IRI: IRI scheme 'file' is not allowed (allowed: http, https, urn)"},
      {"dl literal over limit",
       doc(R"({"iri":"http://x/dt","kind":"Datatype"})", "",
           R"(,"dl":{"expressions":[],"data_exprs":[{"Literal":{"lexical":"abcd","datatype":0}}],"axioms":[]})"),
       A, "invalid axiom: data literal exceeds maximum size of 3", lit3},
  });
}

// Ids inside "dl" and "swrl_rules" must name an element, and expression
// operands an earlier one, so nothing dangling or cyclic is ever stored.
TEST(SnapshotReader, MalformedIdsAreRefused) {
  auto dl = [](std::string_view expressions, std::string_view data, std::string_view axioms) {
    return doc(R"({"iri":"http://x/A","kind":"Class"},{"iri":"http://x/p","kind":"ObjectProperty"})", "",
               fmt::format(R"(,"dl":{{"expressions":[{}],"data_exprs":[{}],"axioms":[{}]}})", expressions, data,
                           axioms));
  };
  auto rules = [](std::string_view body, std::string_view rest = "") {
    return doc(kAB, "", fmt::format(R"({},"swrl_rules":[{{"body":[{}],"head":[]}}])", rest, body));
  };
  const std::string p = "serialization error: ";
  run({
      {"dangling entity", dl(R"({"Atomic":2})", "", ""), S, p + "dl expressions[0] refers to entity 2, past the 2 entities"},
      {"self reference", dl(R"({"Atomic":0},{"Not":1})", "", ""), S,
       p + "dl expressions[1] refers to class expression 1, not an earlier expression"},
      {"forward reference", dl(R"({"And":[1]},{"Atomic":0})", "", ""), S,
       p + "dl expressions[0] refers to class expression 1, not an earlier expression"},
      {"cycle", dl(R"({"Not":1},{"Not":0})", "", ""), S,
       p + "dl expressions[0] refers to class expression 1, not an earlier expression"},
      {"optional filler", dl(R"({"MinCardinality":{"n":1,"property":{"Atomic":0},"filler":0}})", "", ""), S,
       p + "dl expressions[0] refers to class expression 0, not an earlier expression"},
      {"absent filler is fine", dl(R"({"MinCardinality":{"n":1,"property":{"Atomic":1}}})", "", ""), S, ""},
      {"role entity", dl(R"({"Some":{"property":{"Inverse":4294967295},"filler":0}})", "", ""), S,
       p + "dl expressions[0] refers to entity 4294967295, past the 2 entities"},
      {"data range from an expression", dl(R"({"DataSome":{"property":0,"range":0}})", "", ""), S,
       p + "dl expressions[0] refers to data range 0, past the 0 data ranges"},
      {"data range forward", dl("", R"({"Not":1},"Top")", ""), S,
       p + "dl data_exprs[0] refers to data range 1, not an earlier data range"},
      {"facet on itself", dl("", R"({"Facet":{"base":0,"facet_iri":"http://f","value":"1"}})", ""), S,
       p + "dl data_exprs[0] refers to data range 0, not an earlier data range"},
      {"axiom class expression", dl(R"({"Atomic":0})", "", R"({"SubClassOf":{"sub":0,"sup":1}})"), S,
       p + "dl axioms[0] refers to class expression 1, past the 1 expressions"},
      {"axiom entity list", dl("", "", R"({"SameIndividual":[0,1,2]})"), S,
       p + "dl axioms[0] refers to entity 2, past the 2 entities"},
      {"axiom chain", dl("", "", R"({"SubObjectPropertyChain":{"chain":[{"Atomic":0},{"Inverse":9}],)"
                                 R"("super_property":{"Atomic":1}}})"),
       S, p + "dl axioms[0] refers to entity 9, past the 2 entities"},
      {"axiom data range", dl("", R"("Top")", R"({"DataPropertyRange":{"property":0,"range":1}})"), S,
       p + "dl axioms[0] refers to data range 1, past the 1 data ranges"},
      {"rule entity", rules(R"({"Class":{"class":2,"arg":{"Variable":"x"}}})"), S,
       p + "swrl_rules[0] refers to entity 2, past the 2 entities"},
      {"rule individual", rules(R"({"SameIndividual":[{"Variable":"x"},{"Individual":7}]})"), S,
       p + "swrl_rules[0] refers to entity 7, past the 2 entities"},
      {"rule literal datatype", rules(R"({"DataRange":{"range":0,"arg":{"Literal":{"lexical":"1","datatype":5}}}})",
                                      R"(,"dl":{"expressions":[],"data_exprs":["Top"],"axioms":[]})"),
       S, p + "swrl_rules[0] refers to entity 5, past the 2 entities"},
      {"rule data range without dl", rules(R"({"DataRange":{"range":0,"arg":{"Variable":"x"}}})"), S,
       p + "swrl_rules[0] refers to data range 0, past the 0 data ranges"},
  });
}

// The "dl" section holds its entities to the kinds their places need and
// its lists to OWL 2's arities, as the told axioms are held.
TEST(SnapshotReader, DlKindsAndAritiesAreValidated) {
  // 0 A: Class, 1 p: ObjectProperty, 2 i: Individual, 3 d: DataProperty,
  // 4 dt: Datatype, 5 pun: ClassIndividual, 6 j: Individual.
  constexpr std::string_view kEntities =
      R"(["http://x/A","Class"],["http://x/p","ObjectProperty"],["http://x/i","Individual"],)"
      R"(["http://x/d","DataProperty"],["http://x/dt","Datatype"],["http://x/pun","ClassIndividual"],)"
      R"(["http://x/j","Individual"])";
  auto dl = [&](std::string_view expressions, std::string_view data = "", std::string_view axioms = "") {
    return doc(kEntities, "",
               fmt::format(R"(,"dl":{{"expressions":[{}],"data_exprs":[{}],"axioms":[{}]}})", expressions, data,
                           axioms));
  };
  const std::string p = "invalid axiom: ";
  run({
      // Class expressions.
      {"property as a class", dl(R"({"Atomic":1})"), A,
       p + "dl expressions[0] Atomic entity EntityId(1) must be Class, found ObjectProperty"},
      {"pun as a class", dl(R"({"Atomic":5})"), A, ""},
      {"empty intersection", dl(R"({"And":[]})"), A, p + "dl expressions[0] And needs at least 2 operands, found 0"},
      {"one-operand union", dl(R"({"Atomic":0},{"Or":[0]})"), A,
       p + "dl expressions[1] Or needs at least 2 operands, found 1"},
      {"repeated operands", dl(R"({"Atomic":0},{"And":[0,0]},{"Or":[0,1]})"), A, ""},
      {"empty enumeration", dl(R"({"OneOf":[]})"), A, p + "dl expressions[0] OneOf needs at least 1 operand, found 0"},
      {"one individual and a pun", dl(R"({"OneOf":[2]},{"OneOf":[5,6]})"), A, ""},
      {"class in an enumeration", dl(R"({"OneOf":[2,0]})"), A,
       p + "dl expressions[0] OneOf entity EntityId(0) must be Individual, found Class"},
      {"data property in a restriction", dl(R"({"Atomic":0},{"Some":{"property":{"Atomic":3},"filler":0}})"), A,
       p + "dl expressions[1] Some property entity EntityId(3) must be ObjectProperty, found DataProperty"},
      {"inverse of a class", dl(R"({"MaxCardinality":{"n":1,"property":{"Inverse":0},"filler":null}})"), A,
       p + "dl expressions[0] MaxCardinality property entity EntityId(0) must be ObjectProperty, found Class"},
      {"class as a value", dl(R"({"HasValue":{"property":{"Atomic":1},"individual":0}})"), A,
       p + "dl expressions[0] HasValue individual entity EntityId(0) must be Individual, found Class"},
      {"object property in a data restriction", dl(R"({"DataSome":{"property":1,"range":0}})", R"("Top")"), A,
       p + "dl expressions[0] DataSome property entity EntityId(1) must be DataProperty, found ObjectProperty"},
      {"self restriction on a data property", dl(R"({"HasSelf":3})"), A,
       p + "dl expressions[0] HasSelf entity EntityId(3) must be ObjectProperty, found DataProperty"},
      // Data ranges.
      {"class as a datatype", dl("", R"({"Datatype":0})"), A,
       p + "dl data_exprs[0] Datatype entity EntityId(0) must be Datatype, found Class"},
      {"literal typed by a property", dl("", R"({"Literal":{"lexical":"1","datatype":3}})"), A,
       p + "dl data_exprs[0] Literal datatype entity EntityId(3) must be Datatype, found DataProperty"},
      {"one-operand data intersection", dl("", R"("Top",{"And":[0]})"), A,
       p + "dl data_exprs[1] And needs at least 2 operands, found 1"},
      {"data ranges of the right kinds", dl("", R"({"Datatype":4},{"Literal":["1",4]},{"Or":[0,1]})"), A, ""},
      // DL axioms.
      {"one equivalent class", dl(R"({"Atomic":0})", "", R"({"EquivalentClasses":[0]})"), A,
       p + "dl axioms[0] EquivalentClasses needs at least 2 operands, found 1"},
      {"no disjoint classes", dl("", "", R"({"DisjointClasses":[]})"), A,
       p + "dl axioms[0] DisjointClasses needs at least 2 operands, found 0"},
      {"one same individual", dl("", "", R"({"SameIndividual":[2]})"), A,
       p + "dl axioms[0] SameIndividual needs at least 2 operands, found 1"},
      {"class asserted of a class", dl(R"({"Atomic":0})", "", R"({"ClassAssertion":{"individual":0,"class":0}})"), A,
       p + "dl axioms[0] ClassAssertion individual entity EntityId(0) must be Individual, found Class"},
      {"object property as a key data property", dl(R"("Top")", "", R"({"HasKey":[0,[1],[1]]})"), A,
       p + "dl axioms[0] HasKey data_properties entity EntityId(1) must be DataProperty, found ObjectProperty"},
      {"class in a chain", dl("", "", R"({"SubObjectPropertyChain":{"chain":[{"Atomic":1},{"Inverse":0}],)"
                                      R"("super_property":{"Atomic":1}}})"),
       A, p + "dl axioms[0] SubObjectPropertyChain chain entity EntityId(0) must be ObjectProperty, found Class"},
      {"data property among object properties", dl("", "", R"({"DisjointObjectProperties":[1,3]})"), A,
       p + "dl axioms[0] DisjointObjectProperties entity EntityId(3) must be ObjectProperty, found DataProperty"},
      {"class as an assertion object",
       dl("", "", R"({"ObjectPropertyAssertion":{"subject":2,"property":{"Atomic":1},"object":0}})"), A,
       p + "dl axioms[0] ObjectPropertyAssertion object entity EntityId(0) must be Individual, found Class"},
      {"data property defined as a datatype", dl("", R"("Top")", R"({"DatatypeDefinition":[3,0]})"), A,
       p + "dl axioms[0] DatatypeDefinition datatype entity EntityId(3) must be Datatype, found DataProperty"},
      {"axioms of the right kinds",
       dl(R"({"Atomic":5})", R"({"Literal":["1",4]})",
          R"({"ClassAssertion":[5,0]},{"DataPropertyAssertion":[2,3,0]},{"DifferentIndividuals":[2,5]},)"
          R"({"TransitiveObjectProperty":{"Inverse":1}},{"HasKey":[0,[],[]]},"SwrlRule")"),
       A, ""},
  });
}

TEST(SnapshotReader, ResultHoldsNoLimitsAndFreshParseMeta) {
  OntologyLimits limits;
  limits.max_entities = 5;
  std::string warnings;
  for (int i = 0; i < 10'001; ++i) warnings += i == 0 ? "\"w\"" : ",\"w\"";
  auto o = from_json_with_limits(
      doc(kAB, kSub,
          fmt::format(R"(,"parse_meta":{{"warnings":[{}],"mapped_axiom_count":7,"skipped_axiom_count":0,)"
                      R"("logical_axiom_count":18446744073709551615}})",
                      warnings)),
      limits);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_FALSE(o->limits());
  ASSERT_TRUE(o->parse_meta());
  EXPECT_EQ(o->parse_meta()->warnings.size(), 10'001u);
  EXPECT_EQ(o->parse_meta()->mapped_axiom_count, 7u);
  EXPECT_EQ(o->parse_meta()->logical_axiom_count, UINT64_MAX);
  EXPECT_TRUE(o->parse_meta()->constructs.empty());
}

}  // namespace
}  // namespace trelvanic_core
