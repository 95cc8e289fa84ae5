#include "core/axiom.h"

#include <string>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

using K = EntityKind;

// Entities: 0 A, 1 B (classes), 2 i, 3 j (individuals), 4 p, 5 q (object
// properties), 6 d (data property), 7 ci (class+individual pun),
// 8 cop (class+object property pun).
EntityRegistry fixture_registry() {
  EntityRegistry reg;
  const K kinds[] = {K::Class, K::Class, K::Individual, K::Individual, K::ObjectProperty,
                     K::ObjectProperty, K::DataProperty, K::ClassIndividual, K::ClassObjectProperty};
  uint32_t iri = 1;
  for (K k : kinds) (void)reg.get_or_register(IriId(iri++), "urn:e", k);
  return reg;
}

const EntityId A(0), B(1), I(2), J(3), P(4), Q(5), D(6), CI(7), COP(8), UNREG(9);
const char* kXsdString = "http://www.w3.org/2001/XMLSchema#string";

struct Case {
  const char* name;
  Axiom axiom;
  const char* message;  // nullptr: valid
};

TEST(AxiomValidation, Table) {
  const EntityRegistry reg = fixture_registry();
  std::vector<EntityId> too_many;
  for (uint32_t i = 0; i < 10'001; ++i) too_many.push_back(EntityId(i % 2));
  std::vector<EntityId> at_limit(too_many.begin(), too_many.begin() + 10'000);
  const std::string max_lex(1'048'576, 'x');

  const Case cases[] = {
      {"subclass ok", Axiom::sub_class_of(A, B), nullptr},
      {"superclass pun ok", Axiom::sub_class_of(A, CI), nullptr},
      {"superclass individual", Axiom::sub_class_of(A, I),
       "invalid axiom: superclass entity EntityId(2) must be Class, found Individual"},
      {"unregistered operand", Axiom::sub_class_of(UNREG, A), "unknown entity: EntityId(9)"},
      {"inverse of itself, unregistered", Axiom::inverse_object_properties(UNREG, UNREG),
       "invalid axiom: property cannot be inverse of itself"},
      {"inverse right", Axiom::inverse_object_properties(P, A),
       "invalid axiom: right property entity EntityId(0) must be ObjectProperty, found Class"},
      {"existential filler", Axiom::sub_class_of_existential(A, P, I),
       "invalid axiom: filler entity EntityId(2) must be Class, found Individual"},
      {"domain", Axiom::object_property_domain(COP, COP), nullptr},
      {"range", Axiom::object_property_range(P, P),
       "invalid axiom: range entity EntityId(4) must be Class, found ObjectProperty"},
      {"transitive", Axiom::property_characteristic(AxiomKind::TransitiveObjectProperty, D),
       "invalid axiom: property entity EntityId(6) must be ObjectProperty, found DataProperty"},
      {"class assertion object", Axiom::class_assertion(CI, A), nullptr},
      {"object assertion object class", Axiom::object_property_assertion(I, P, A),
       "invalid axiom: object entity EntityId(0) must be Individual, found Class"},
      {"equivalent one operand", Axiom::equivalent_classes({A}),
       "invalid axiom: equivalent/disjoint operands require at least two members"},
      {"equivalent A A", Axiom::equivalent_classes({A, A}),
       "invalid axiom: equivalent/disjoint operands require at least two distinct members"},
      {"disjoint A A B", Axiom::disjoint_classes({A, A, B}), nullptr},
      {"equivalent at operand limit", Axiom::equivalent_classes(at_limit), nullptr},
      {"equivalent over operand limit", Axiom::equivalent_classes(too_many),
       "invalid axiom: equivalent/disjoint operands exceed maximum operand count of 10000"},
      {"equivalent properties", Axiom::equivalent_object_properties({P, A}),
       "invalid axiom: property operand entity EntityId(0) must be ObjectProperty, found Class"},
      {"same individual one", Axiom::same_individual({I}),
       "invalid axiom: same/different individuals require at least two operands"},
      {"different i i", Axiom::different_individuals({I, I}),
       "invalid axiom: same/different individuals require at least two distinct operands"},
      {"different class operand", Axiom::different_individuals({I, B}),
       "invalid axiom: individual operand entity EntityId(1) must be Individual, found Class"},
      {"data assertion ok", Axiom::data_property_assertion(I, D, {"x", kXsdString}), nullptr},
      {"data assertion pun property", Axiom::data_property_assertion(I, COP, {"x", kXsdString}),
       "invalid axiom: property entity EntityId(8) must be DataProperty, found ClassObjectProperty"},
      {"data assertion empty lexical", Axiom::data_property_assertion(I, D, {"", kXsdString}),
       "invalid axiom: data property assertion requires non-empty literal"},
      {"data assertion empty datatype", Axiom::data_property_assertion(I, D, {"x", ""}),
       "invalid axiom: data property assertion requires datatype IRI"},
      {"data assertion file datatype", Axiom::data_property_assertion(I, D, {"x", "file:///dt"}),
       "invalid IRI: IRI scheme 'file' is not allowed (allowed: http, https, urn)"},
      {"literal at size limit", Axiom::data_property_assertion(I, D, {max_lex, kXsdString}), nullptr},
      {"literal over size limit", Axiom::data_property_assertion(I, D, {max_lex + "x", kXsdString}),
       "invalid axiom: data literal exceeds maximum size of 1048576 bytes"},
      {"negative data empty lexical", Axiom::negative_data_property_assertion(I, D, {"", kXsdString}),
       "invalid axiom: negative data property assertion requires literal and datatype"},
      {"negative data ok", Axiom::negative_data_property_assertion(I, D, {"x", kXsdString}), nullptr},
  };
  for (const Case& c : cases) {
    auto r = validate_with_limits(c.axiom.view(), reg, kDefaultLimits);
    if (c.message == nullptr) {
      EXPECT_TRUE(r) << c.name << ": " << r.error().message();
    } else {
      ASSERT_FALSE(r) << c.name;
      EXPECT_EQ(r.error().message(), c.message) << c.name;
    }
  }
}

TEST(Axiom, FieldsCanonicalFormAndFingerprint) {
  Axiom opa = Axiom::object_property_assertion(I, P, J);
  EXPECT_EQ(opa.subject(), I);
  EXPECT_EQ(opa.property(), P);
  EXPECT_EQ(opa.object(), J);
  EXPECT_EQ(Axiom::object_property_domain(P, A).property(), P);
  EXPECT_EQ(Axiom::sub_class_of_existential(A, P, B).property(), P);

  Axiom eq = Axiom::equivalent_classes({B, A, B});
  eq.canonicalize();
  EXPECT_EQ(std::vector<EntityId>(eq.operands().begin(), eq.operands().end()),
            (std::vector<EntityId>{A, B, B}));
  Axiom inv = Axiom::inverse_object_properties(Q, P);
  inv.canonicalize();
  EXPECT_EQ(inv.left(), P);
  EXPECT_EQ(inv.right(), Q);

  // Fingerprints follow the content; equal content gives equal values.
  const Axiom x = Axiom::data_property_assertion(I, D, {"1", kXsdString});
  const Axiom y = Axiom::data_property_assertion(I, D, {"1", kXsdString});
  const Axiom z = Axiom::data_property_assertion(I, D, {"1" + std::string(kXsdString), ""});
  EXPECT_EQ(axiom_fingerprint(x.view()), axiom_fingerprint(y.view()));
  EXPECT_NE(axiom_fingerprint(x.view()), axiom_fingerprint(z.view()));
  EXPECT_TRUE(axioms_equal(x.view(), y.view()));
  EXPECT_FALSE(axioms_equal(x.view(), z.view()));
  EXPECT_EQ(Axiom::from_view(x.view()), x);

  for (int i = 0; i < kAxiomKindCount; ++i)
    EXPECT_EQ(axiom_kind_from_name(axiom_kind_name(static_cast<AxiomKind>(i))), static_cast<AxiomKind>(i));
}

}  // namespace
}  // namespace trelvanic_core
