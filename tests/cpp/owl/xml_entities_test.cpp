#include "owl/xml_entities.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace trelvanic_owl {
namespace {

std::string with_subset(std::string_view subset, std::string_view body) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n" + std::string(subset) + "\n]>\n<r>" + std::string(body) + "</r>\n";
}

TEST(XmlEntities, ExpandedSizeCountsEveryReferenceWithWhatItBringsIn) {
  constexpr uint64_t kUnbounded = std::numeric_limits<uint64_t>::max();
  struct Case {
    const char* name;
    std::string text;
    uint64_t grows_by;  // over the text's own length
  };
  const Case cases[] = {
      {"no DOCTYPE", "<r>&amp; &e;</r>", 0},
      {"DOCTYPE without entities", "<!DOCTYPE r [<!ELEMENT r ANY>]><r>&e;</r>", 0},
      {"text and attributes", with_subset("<!ENTITY e \"abcd\">", "&e;<a x='&e;&e;'/>"), 12},
      {"declared, never used", with_subset("<!ENTITY e \"abcd\">", "e; & e"), 0},
      {"character and predefined references", with_subset("<!ENTITY e \"ab\">", "&#38;&lt;&e;"), 2},
      {"entities of entities", with_subset("<!ENTITY e \"abcd\">\n<!ENTITY f \"&e;-&e;\">", "&f;&f;"), 2 * 15},
      {"value over two lines, single quotes", with_subset("<!ENTITY e 'ab\ncd'>", "&e;"), 5},
      {"declared through a parameter entity",
       with_subset("<!ENTITY % decl \"<!ENTITY e 'xyz'>\">\n%decl;", "&e;&e;"), 6},
      {"a cycle", with_subset("<!ENTITY a \"&b;\">\n<!ENTITY b \"&a;\">", "&a;"), kUnbounded},
  };
  for (const Case& c : cases) {
    const uint64_t size = xml_expanded_size(c.text);
    EXPECT_EQ(size, c.grows_by == kUnbounded ? kUnbounded : c.text.size() + c.grows_by) << c.name;
  }
}

TEST(XmlEntities, DeepDefinitionsAreMeasuredWithoutRecursion) {
  // each entity refers twice to the one before: 2^n copies of the first
  std::string subset = "<!ENTITY e0 \"x\">\n";
  constexpr int kDepth = 5000;
  for (int i = 1; i <= kDepth; ++i) {
    subset += "<!ENTITY e" + std::to_string(i) + " \"&e" + std::to_string(i - 1) + ";&e" + std::to_string(i - 1) +
              ";\">\n";
  }
  EXPECT_EQ(xml_expanded_size(with_subset(subset, "&e" + std::to_string(kDepth) + ";")),
            std::numeric_limits<uint64_t>::max());
}

}  // namespace
}  // namespace trelvanic_owl
