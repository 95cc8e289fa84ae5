// Post-load validation: literal forms by exact datatype, dangling DL
// references, named/blank mixing and the blank-node assertion graph.
#include "parser/validate.h"

#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "core/axiom.h"
#include "core/dl_expr.h"
#include "core/ontology.h"

namespace trelvanic_parser {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::CeId;
using trelvanic_core::ClassExpr;
using trelvanic_core::DataExpr;
using trelvanic_core::DeId;
using trelvanic_core::DlAxiom;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::RoleExpr;

constexpr std::string_view kXsd = "http://www.w3.org/2001/XMLSchema#";

std::string error_of(const Result<void>& r) { return r ? std::string() : r.error().message(); }

struct LiteralCase {
  std::string datatype;  // local name in the XML Schema namespace, or a full IRI
  std::string lexical;
  std::string expected;  // "" when the literal passes
};

class LiteralLexical : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(LiteralLexical, PassesOrFailsWithQuotedForm) {
  const LiteralCase& c = GetParam();
  const std::string dt = c.datatype.find(':') == std::string::npos ? std::string(kXsd) + c.datatype : c.datatype;
  EXPECT_EQ(error_of(validate_literal_lexical(dt, c.lexical)), c.expected) << dt << " " << c.lexical;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LiteralLexical,
    ::testing::Values(
        LiteralCase{"integer", "+5", ""}, LiteralCase{"integer", "-0", ""}, LiteralCase{"integer", "007", ""},
        LiteralCase{"integer", "123456789012345678901234567890", ""},
        LiteralCase{"integer", "-123456789012345678901234567890123456789012345", ""},
        LiteralCase{"integer", "5.0", "parse error: invalid xsd:integer literal \"5.0\""},
        LiteralCase{"integer", " 5", "parse error: invalid xsd:integer literal \" 5\""},
        LiteralCase{"integer", "+", "parse error: invalid xsd:integer literal \"+\""},
        LiteralCase{"integer", "", "parse error: invalid xsd:integer literal \"\""},
        LiteralCase{"integer", "1e3", "parse error: invalid xsd:integer literal \"1e3\""},
        LiteralCase{"integer", "+-1", "parse error: invalid xsd:integer literal \"+-1\""},
        LiteralCase{"integer", "a\"b\\\t\n\x01", "parse error: invalid xsd:integer literal \"a\\\"b\\\\\\t\\n\\u{1}\""},
        LiteralCase{"short", "32767", ""}, LiteralCase{"short", "-32768", ""},
        LiteralCase{"short", "40000", "parse error: invalid xsd:short literal \"40000\""},
        LiteralCase{"short", "-32769", "parse error: invalid xsd:short literal \"-32769\""},
        LiteralCase{"short", "", "parse error: invalid xsd:short literal \"\""},
        LiteralCase{"long", "9223372036854775807", ""}, LiteralCase{"long", "-9223372036854775808", ""},
        LiteralCase{"long", "9223372036854775808", "parse error: invalid xsd:integer literal \"9223372036854775808\""},
        LiteralCase{"int", "2147483648", "parse error: invalid xsd:integer literal \"2147483648\""},
        LiteralCase{"byte", "-129", "parse error: invalid xsd:integer literal \"-129\""},
        LiteralCase{"unsignedLong", "18446744073709551615", ""},
        LiteralCase{"unsignedLong", "18446744073709551616",
                    "parse error: invalid xsd:integer literal \"18446744073709551616\""},
        LiteralCase{"unsignedByte", "-0", ""},
        LiteralCase{"unsignedShort", "65536", "parse error: invalid xsd:integer literal \"65536\""},
        LiteralCase{"nonNegativeInteger", "99999999999999999999999999", ""},
        LiteralCase{"nonNegativeInteger", "-1", "parse error: invalid xsd:integer literal \"-1\""},
        LiteralCase{"nonNegativeInteger", "abc", "parse error: invalid xsd:integer literal \"abc\""},
        LiteralCase{"positiveInteger", "0", "parse error: invalid xsd:integer literal \"0\""},
        LiteralCase{"negativeInteger", "-0", "parse error: invalid xsd:integer literal \"-0\""},
        LiteralCase{"nonPositiveInteger", "+0", ""},
        // Only the XML Schema types by their exact IRIs are examined.
        LiteralCase{"decimal", "abc", ""}, LiteralCase{"http://ex.org/myinteger", "abc", ""},
        LiteralCase{"http://ex.org/types#int", "x", ""}, LiteralCase{"http://ex.org/short", "x", ""}));

// An ontology with a few entities to build DL expressions and axioms over.
struct Fixture {
  Ontology o;
  EntityId cls = *o.entity_id("http://ex.org/A", EntityKind::Class);
  EntityId role = *o.entity_id("http://ex.org/r", EntityKind::ObjectProperty);
  EntityId data = *o.entity_id("http://ex.org/d", EntityKind::DataProperty);
  EntityId xsd_integer = *o.entity_id(std::string(kXsd) + "integer", EntityKind::Datatype);

  DeId literal(std::string lexical) { return o.dl_mut().intern_de(DataExpr::literal(std::move(lexical), xsd_integer)); }
  CeId atomic() { return o.dl_mut().intern_ce(ClassExpr::atomic(cls)); }
  CeId bad_has_value() { return o.dl_mut().intern_ce(ClassExpr::data_has_value(data, literal("5.0"))); }
  EntityId individual(std::string_view iri) { return *o.entity_id(iri, EntityKind::Individual); }
};

TEST(ValidateCeData, ObjectRestrictionFillersAreNotEntered) {
  Fixture f;
  const CeId bad = f.bad_has_value();
  const CeId some = f.o.dl_mut().intern_ce(ClassExpr::some(RoleExpr::atomic(f.role), bad));
  const CeId both = f.o.dl_mut().intern_ce(ClassExpr::and_of({f.atomic(), bad}));
  const CeId negated = f.o.dl_mut().intern_ce(ClassExpr::complement_of(both));
  EXPECT_EQ(error_of(validate_ce_data(f.o, some)), "");
  EXPECT_EQ(error_of(validate_ce_data(f.o, both)), "parse error: invalid xsd:integer literal \"5.0\"");
  EXPECT_EQ(error_of(validate_ce_data(f.o, negated)), "parse error: invalid xsd:integer literal \"5.0\"");
}

TEST(ValidateDatatypes, DanglingReferencesAreNamedById) {
  {
    Fixture f;
    f.o.dl_mut().push_axiom(DlAxiom::sub_class_of(f.atomic(), CeId(99)));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "parse error: dangling DL class expression reference: CeId(99)");
  }
  {
    Fixture f;
    const CeId neg = f.o.dl_mut().intern_ce(ClassExpr::complement_of(CeId(57)));
    f.o.dl_mut().push_axiom(DlAxiom::sub_class_of(neg, f.atomic()));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "parse error: dangling DL class expression reference: CeId(57)");
  }
  {
    Fixture f;
    const EntityId dt = *f.o.entity_id("http://ex.org/dt", EntityKind::Datatype);
    f.o.dl_mut().push_axiom(DlAxiom::datatype_definition(dt, DeId(42)));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "parse error: dangling DL data expression reference: DeId(42)");
  }
  {
    Fixture f;
    const DeId facet = f.o.dl_mut().intern_de(DataExpr::facet(DeId(8), "http://www.w3.org/2001/XMLSchema#minInclusive", "1"));
    const CeId some = f.o.dl_mut().intern_ce(ClassExpr::data_some(f.data, facet));
    f.o.dl_mut().push_axiom(DlAxiom::sub_class_of(f.atomic(), some));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "parse error: dangling DL data expression reference: DeId(8)");
  }
}

TEST(ValidateDatatypes, LiteralsUnderSubClassOfAndDatatypeDefinitions) {
  Fixture f;
  f.o.dl_mut().push_axiom(DlAxiom::sub_class_of(f.atomic(), f.bad_has_value()));
  EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "parse error: invalid xsd:integer literal \"5.0\"");

  Fixture g;
  const EntityId dt = *g.o.entity_id("http://ex.org/dt", EntityKind::Datatype);
  const DeId big = g.literal("123456789012345678901234567890");
  g.o.dl_mut().push_axiom(DlAxiom::datatype_definition(dt, g.o.dl_mut().intern_de(DataExpr::or_of({big}))));
  EXPECT_EQ(error_of(validate_ontology_datatypes(g.o)), "");
}

TEST(BlankIndividuals, DecidedByTheMappersNamingOnly) {
  struct Case {
    std::string_view iri;
    bool blank;
  };
  for (const Case& c : std::vector<Case>{{"file:/c/test.owl#_x", true},
                                         {"file:/c/test.owl#_", true},
                                         {"file:/c/12/test.owl#_b0", true},
                                         {"file:/c/x/test.owl#_b0", false},
                                         {"file:/c//test.owl#_b0", false},
                                         {"http://ex.org/canonicalForm", false},
                                         {"http://ex.org/o#_x", false},
                                         {"http://ex.org/.genid-1", false},
                                         {"urn:trelvanic:anon:1", false}}) {
    EXPECT_EQ(is_blank_individual_iri(c.iri), c.blank) << c.iri;
  }
}

TEST(ValidateDatatypes, SameOrDifferentIndividualsMustNotMixNamedAndBlank) {
  const std::string mixed = "parse error: same/different individuals cannot mix named and blank nodes";
  {
    Fixture f;
    const EntityId named = f.individual("http://ex.org/canonicalForm");
    const EntityId other = f.individual("http://ex.org/anonymous");
    ASSERT_TRUE(f.o.add_axiom(Axiom::same_individual({named, other})));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "");
    const EntityId blank = f.individual("file:/c/3/test.owl#_x");
    ASSERT_TRUE(f.o.add_axiom(Axiom::different_individuals({named, blank})));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), mixed);
  }
  {
    Fixture f;
    const EntityId a = f.individual("file:/c/test.owl#_a");
    const EntityId b = f.individual("file:/c/test.owl#_b");
    f.o.dl_mut().push_axiom(DlAxiom::entity_list(trelvanic_core::DlAxiomKind::SameIndividual, {a, b}));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), "");
    f.o.dl_mut().push_axiom(
        DlAxiom::entity_list(trelvanic_core::DlAxiomKind::SameIndividual, {a, f.individual("http://ex.org/i")}));
    EXPECT_EQ(error_of(validate_ontology_datatypes(f.o)), mixed);
  }
}

// Blank individuals "file:/c/test.owl#_n{i}" linked by assertions of r.
struct BlankGraph {
  Fixture f;
  EntityId node(int i) { return f.individual(fmt::format("file:/c/test.owl#_n{}", i)); }
  void edge(int from, int to) {
    ASSERT_TRUE(f.o.add_axiom(Axiom::object_property_assertion(node(from), f.role, node(to))));
  }
  void dl_edge(int from, int to) {
    f.o.dl_mut().push_axiom(DlAxiom::object_property_assertion(node(from), RoleExpr::atomic(f.role), node(to)));
  }
  std::string check() { return error_of(validate_blank_object_property_graph(f.o)); }
};

TEST(BlankGraph, CyclesFailSharedSuccessorsDoNot) {
  const std::string cyclic = "parse error: cyclic blank-node object property chain";
  {
    BlankGraph g;  // a->b, a->c, b->c
    g.edge(0, 1);
    g.edge(0, 2);
    g.edge(1, 2);
    EXPECT_EQ(g.check(), "");
  }
  {
    BlankGraph g;
    g.edge(0, 1);
    g.dl_edge(1, 0);  // edges of both stores form one graph
    EXPECT_EQ(g.check(), cyclic);
  }
  {
    BlankGraph g;
    g.edge(4, 4);
    EXPECT_EQ(g.check(), cyclic);
  }
  {
    BlankGraph g;  // a cycle below a shared, already finished part
    g.edge(0, 1);
    g.edge(2, 1);
    g.edge(1, 3);
    g.edge(3, 2);
    EXPECT_EQ(g.check(), cyclic);
  }
  {
    BlankGraph g;  // assertions to or from a named individual are not edges
    const EntityId named = g.f.individual("http://ex.org/n");
    ASSERT_TRUE(g.f.o.add_axiom(Axiom::object_property_assertion(g.node(0), g.f.role, named)));
    ASSERT_TRUE(g.f.o.add_axiom(Axiom::object_property_assertion(named, g.f.role, g.node(0))));
    EXPECT_EQ(g.check(), "");
  }
}

TEST(BlankGraph, ChainLimitIsTenThousandNodes) {
  const std::string too_long = "parse error: blank-node object property chain exceeds limit of 10000";
  for (int nodes : {10'000, 10'001}) {
    BlankGraph g;
    // Edges added from the far end, so walks also meet finished chains.
    for (int i = nodes - 1; i > 0; --i) g.edge(i - 1, i);
    EXPECT_EQ(g.check(), nodes == 10'000 ? "" : too_long) << nodes;
  }
  {
    // A long chain reached through a finished node still counts whole.
    BlankGraph g;
    for (int i = 1; i < 10'000; ++i) g.edge(i, i + 1);  // 10,000 nodes 1..10000
    EXPECT_EQ(g.check(), "");
    g.edge(0, 1);
    EXPECT_EQ(g.check(), too_long);
  }
}

TEST(BlankGraph, LadderOfDiamondsIsWalkedOnce) {
  // 40 diamonds in a row: 2^40 paths from the first node to the last.
  BlankGraph g;
  for (int i = 0; i < 40; ++i) {
    const int top = 3 * i;
    g.edge(top, top + 1);
    g.edge(top, top + 2);
    g.edge(top + 1, top + 3);
    g.edge(top + 2, top + 3);
  }
  EXPECT_EQ(g.check(), "");
  g.edge(120, 0);
  EXPECT_EQ(g.check(), "parse error: cyclic blank-node object property chain");
}

}  // namespace
}  // namespace trelvanic_parser
