// Classification through the facade: every route whose engine is not part
// of the build fails with an error naming that engine (never an answer),
// through the variant the Python layer maps.
#include <gtest/gtest.h>

#include "core/ontology_builder.h"
#include "core/reasoner.h"
#include "facade/classify.h"
#include "facade/engines/calls.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::Ontology;
using trelvanic_core::OntologyBuilder;
using trelvanic_core::Profile;
using trelvanic_core::ReasonerBuilder;

Ontology small_el() {
  auto b = OntologyBuilder().subclass_of("http://ex.org/A", "http://ex.org/B");
  EXPECT_TRUE(b);
  return std::move(*b).build();
}

TEST(FacadeClassify, RoutesWithoutTheirEngineFailWithTheEnginesName) {
  struct Case {
    Profile profile;
    std::optional<uint64_t> budget;
    ErrorVariant variant;
    const char* message;
  };
  const Case cases[] = {
      {Profile::Rdfs, std::nullopt, ErrorVariant::Rl, "RDFS engine is not available yet"},
      {Profile::Rl, std::nullopt, ErrorVariant::Rl, "RL engine is not available yet"},
      {Profile::Dl, std::nullopt, ErrorVariant::Dl, "DL engine is not available yet"},
      {Profile::Alc, std::nullopt, ErrorVariant::Dl, "DL engine is not available yet"},
      {Profile::DlPreview, std::nullopt, ErrorVariant::Dl, "DL engine is not available yet"},
      {Profile::Dl, 5, ErrorVariant::Dl, "DL engine is not available yet"},
      {Profile::Swrl, std::nullopt, ErrorVariant::Swrl, "SWRL engine is not available yet"},
  };
  for (const Case& c : cases) {
    auto r = ReasonerBuilder{.budget_secs = c.budget, .profile = c.profile}.build(small_el());
    ASSERT_TRUE(r);
    auto out = classify(*r);
    ASSERT_FALSE(out) << trelvanic_core::profile_name(c.profile);
    EXPECT_EQ(out.error().variant(), c.variant);
    EXPECT_EQ(out.error().message(), c.message);
    EXPECT_EQ(r->cached_taxonomy(), nullptr);
  }
}

}  // namespace
}  // namespace trelvanic_facade
