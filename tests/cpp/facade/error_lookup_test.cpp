// The facade error's display and variants, and the entity lookups of the
// entailment checks.
#include <gtest/gtest.h>

#include "core/ontology.h"
#include "facade/error.h"
#include "facade/lookup.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

TEST(FacadeError, DisplaysTheWrappedErrorUnchanged) {
  Error route = Error::el_profile(trelvanic_profile::Error("no modules"));
  EXPECT_EQ(route.variant(), ErrorVariant::El);
  EXPECT_EQ(route.message(), "profile detection failed: no modules");

  Error core = Error::core(trelvanic_core::Error::resource_limit_exceeded("too many"));
  EXPECT_EQ(core.variant(), ErrorVariant::Core);
  EXPECT_EQ(core.message(), "resource limit exceeded: too many");

  Error el = Error::el(trelvanic_el::Error{trelvanic_el::ErrorKind::NotEl,
                                           "ontology is not in OWL EL profile (detected Dl)"});
  EXPECT_EQ(el.message(), "ontology is not in OWL EL profile (detected Dl)");

  Error incomplete = Error::dl_incomplete("dl operation exceeded 1s budget");
  EXPECT_EQ(incomplete.dl_case(), DlCase::Incomplete);
  EXPECT_EQ(incomplete.reason(), "dl operation exceeded 1s budget");
  EXPECT_EQ(incomplete.message(), "consistency check incomplete: dl operation exceeded 1s budget");

  Error missing = Error::engine_not_available(ErrorVariant::Rl, "RDFS");
  EXPECT_EQ(missing.variant(), ErrorVariant::Rl);
  EXPECT_EQ(missing.message(), "RDFS engine is not available yet");
}

TEST(Lookup, AcceptsTheKindsOfEachRoleAndNamesTheIriAsGiven) {
  Ontology o;
  ASSERT_TRUE(o.entity_id("http://ex.org/C", EntityKind::Class));
  ASSERT_TRUE(o.entity_id("http://ex.org/i", EntityKind::Individual));
  ASSERT_TRUE(o.entity_id("http://ex.org/p", EntityKind::ObjectProperty));
  ASSERT_TRUE(o.entity_id("http://ex.org/cp", EntityKind::Class));
  ASSERT_TRUE(o.entity_id("http://ex.org/cp", EntityKind::ObjectProperty));  // punned
  ASSERT_TRUE(o.entity_id("http://ex.org/a#b", EntityKind::Class));

  using Fn = Result<trelvanic_core::EntityId> (*)(const Ontology&, std::string_view);
  struct Case {
    Fn fn;
    const char* iri;
    const char* error;  // nullptr: found
  };
  const Case cases[] = {
      {lookup_class, "http://ex.org/C", nullptr},
      {lookup_class, "http://ex.org/cp", nullptr},
      {lookup_class, "http://ex.org/a%23b", nullptr},
      {lookup_class, "http://ex.org/i", "expected class IRI: http://ex.org/i"},
      {lookup_class, "http://ex.org/X", "unknown class IRI: http://ex.org/X"},
      {lookup_class, "", "unknown class IRI: "},
      {lookup_individual, "http://ex.org/i", nullptr},
      {lookup_individual, "http://ex.org/C", "expected individual IRI: http://ex.org/C"},
      {lookup_individual, "http://ex.org/Y", "unknown individual IRI: http://ex.org/Y"},
      {lookup_object_property, "http://ex.org/p", nullptr},
      {lookup_object_property, "http://ex.org/cp", "expected object property IRI: http://ex.org/cp"},
      {lookup_object_property, "http://ex.org/q", "unknown object property IRI: http://ex.org/q"},
  };
  for (const Case& c : cases) {
    auto got = c.fn(o, c.iri);
    if (!c.error) {
      EXPECT_TRUE(got) << c.iri;
      continue;
    }
    ASSERT_FALSE(got) << c.iri;
    EXPECT_EQ(got.error().variant(), ErrorVariant::El);
    EXPECT_EQ(got.error().message(), c.error);
  }
}

}  // namespace
}  // namespace trelvanic_facade
