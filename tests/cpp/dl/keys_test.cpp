// Value keys: one key per data value whatever the lexical form, different
// keys for different values (datatype families included), none for values
// that are not known; and the values an individual surely has.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dl.h"
#include "core/ontology.h"
#include "dl/datatype/keys.h"

namespace trelvanic_dl::datatype::consistency {
namespace {

using trelvanic_alc::DataConstraint;
using trelvanic_alc::DataTables;
using trelvanic_core::DataExpr;
using trelvanic_core::DeId;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;

constexpr const char* kXsd = "http://www.w3.org/2001/XMLSchema#";
constexpr const char* kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr const char* kOwl = "http://www.w3.org/2002/07/owl#";

struct Fixture {
  trelvanic_core::Ontology o;
  EntityId datatype(const std::string& iri) { return *o.entity_id(iri, EntityKind::Datatype); }
  EntityId xsd(const char* local) { return datatype(std::string(kXsd) + local); }
  EntityId rdf(const char* local) { return datatype(std::string(kRdf) + local); }
  EntityId property(const char* local) {
    return *o.entity_id(std::string("http://e.org/") + local, EntityKind::DataProperty);
  }
  DeId de(const DataExpr& e) { return o.dl_mut().intern_de(e); }
  DeId lit(const char* lexical, EntityId d) { return de(DataExpr::literal(lexical, d)); }
  DeId one_of(std::vector<DeId> literals) { return de(DataExpr::or_of(literals)); }
  std::optional<std::string> key(const char* lexical, EntityId d) { return distinct_literal_key(o, {lexical, d}); }
};

TEST(ValueKeys, OneKeyPerDataValue) {
  Fixture f;
  const EntityId integer = f.xsd("integer"), decimal = f.xsd("decimal"), dbl = f.xsd("double"),
                 flt = f.xsd("float"), str = f.xsd("string"), boolean = f.xsd("boolean"),
                 rational = f.datatype(std::string(kOwl) + "rational"), plain = f.rdf("PlainLiteral"),
                 lang = f.rdf("langString"), xml = f.rdf("XMLLiteral"), hex = f.xsd("hexBinary"),
                 b64 = f.xsd("base64Binary"), stamp = f.xsd("dateTime");
  struct Case {
    const char* a;
    EntityId da;
    const char* b;
    EntityId db;
    bool same;
  };
  const Case cases[] = {
      // real numbers: one value space, whatever the datatype
      {"5", integer, "05", integer, true},
      {"5", integer, "+5", integer, true},
      {"5", integer, "5.0", decimal, true},
      {"5", integer, "10/2", rational, true},
      {"0.5", decimal, "1/2", rational, true},
      {"0", integer, "-0", integer, true},
      {"0.0", decimal, "-0", integer, true},
      {"1", integer, "1.000", decimal, true},
      {"0.333", decimal, "1/3", rational, false},
      {"1/3", rational, "2/6", rational, true},
      {"5", integer, "6", integer, false},
      // floats and doubles: values of their own, compared by identity
      {"1000", dbl, "1.0E3", dbl, true},
      {"1000", dbl, "1000", integer, false},
      {"1.0", dbl, "1", integer, false},
      {"1.0", flt, "1.0", dbl, false},
      {"1.5", flt, "1.50", flt, true},
      {"0.0", dbl, "-0.0", dbl, false},
      {"0", flt, "-0", flt, false},
      {"NaN", dbl, "NaN", dbl, true},
      {"NaN", flt, "NaN", dbl, false},
      {"INF", dbl, "+INF", dbl, true},
      {"INF", dbl, "-INF", dbl, false},
      // strings, with and without language tags
      {"1", str, "1", integer, false},
      {"abc", str, "abc", plain, true},
      {"abc@en", plain, "abc@EN", lang, true},
      {"abc@en", plain, "abc@fr", plain, false},
      {"abc@en", plain, "abc", str, false},
      {"abc", str, "abd", str, false},
      // the rest
      {"true", boolean, "1", boolean, true},
      {"1", boolean, "1", integer, false},
      {"0fB8", hex, "0FB8", hex, true},
      {"AA==", b64, "00", hex, false},
      {"2008-10-08T20:44:11+01:00", stamp, "2008-10-08T19:44:11Z", stamp, true},
      {"2008-10-08T19:44:11Z", stamp, "2008-10-08T19:44:11", stamp, false},
      {"<a x=\"1\" y=\"2\"/>", xml, "<a  y=\"2\" x=\"1\"></a>", xml, true},
      {"<a/>", xml, "<b/>", xml, false},
      {"<a></a>", xml, "<a></a>", str, false},
  };
  for (const Case& c : cases) {
    const auto ka = f.key(c.a, c.da), kb = f.key(c.b, c.db);
    ASSERT_TRUE(ka && kb) << c.a << " / " << c.b;
    EXPECT_EQ(*ka == *kb, c.same) << c.a << " (" << *ka << ") against " << c.b << " (" << *kb << ")";
  }
  // No key where the value is not known: an unknown datatype, an ill-typed text.
  EXPECT_EQ(f.key("a", f.datatype("http://e.org/myType")), std::nullopt);
  EXPECT_EQ(f.key("abc", integer), std::nullopt);
  EXPECT_EQ(f.key("1.5", integer), std::nullopt);
}

TEST(ValueKeys, DefiniteValuesComeFromValuesAndOneValueRanges) {
  Fixture f;
  const EntityId integer = f.xsd("integer"), decimal = f.xsd("decimal"), boolean = f.xsd("boolean");
  const EntityId p = f.property("p"), sub = f.property("sub"), sup = f.property("sup"), other = f.property("other");
  DataTables tables;
  tables.supers[sub] = {sub, p, sup};
  tables.supers[p] = {p, sup};
  const StoreRanges stored(f.o);
  using K = DataConstraint::Kind;
  const DeId one = f.lit("1", integer);
  const DeId one_twice = f.one_of({f.lit("1", integer), f.lit("1.0", decimal)});
  const DeId one_or_two = f.one_of({f.lit("1", integer), f.lit("2", integer)});
  const DeId ill_typed = f.lit("x", integer);
  const DeId booleans = f.de(DataExpr::datatype_ref(boolean));
  const std::string k1 = *f.key("1", integer), k7 = *f.key("7", integer);
  struct Case {
    const char* what;
    std::vector<std::pair<EntityId, LiteralValue>> values;
    std::vector<DataConstraint> concepts;
    std::vector<std::string> keys;
  };
  const std::vector<Case> cases = {
      {"told value", {{p, {"7", integer}}}, {}, {k7}},
      {"told value of a sub-property", {{sub, {"7", integer}}}, {}, {k7}},
      {"told value of a super-property", {{sup, {"7", integer}}}, {}, {}},
      {"told value of another property", {{other, {"7", integer}}}, {}, {}},
      {"told values, one value", {{p, {"7", integer}}, {p, {"07", integer}}}, {}, {k7}},
      {"told value of an unknown datatype", {{p, {"7", f.datatype("http://e.org/t")}}}, {}, {}},
      {"has-value", {}, {{K::Some, p, one}}, {k1}},
      {"has-value on a sub-property", {}, {{K::Some, sub, one}}, {k1}},
      {"some over one value written twice", {}, {{K::Some, p, one_twice}}, {k1}},
      {"at least one of one value", {}, {{K::AtLeast, p, one, 1}}, {k1}},
      {"some over two values", {}, {{K::Some, p, one_or_two}}, {}},
      {"some over booleans", {}, {{K::Some, p, booleans}}, {}},
      {"ill-typed has-value", {}, {{K::Some, p, ill_typed}}, {}},
      {"only", {}, {{K::All, p, one}}, {}},
      {"at most", {}, {{K::AtMost, p, one, 1}}, {}},
      {"at least zero", {}, {{K::AtLeast, p, one, 0}}, {}},
      {"everything at once", {{p, {"7", integer}}}, {{K::Some, p, one}, {K::Some, other, one_twice}}, {k1, k7}},
  };
  for (const Case& c : cases) {
    const auto got = definite_literal_keys(f.o, stored, tables, c.values, c.concepts, p);
    EXPECT_EQ(got, absl::flat_hash_set<std::string>(c.keys.begin(), c.keys.end())) << c.what;
  }
}

}  // namespace
}  // namespace trelvanic_dl::datatype::consistency
