// Helpers shared by the OWL reader tests: fixture files and the canonical
// text of every component, in order.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "owl/functional_writer.h"
#include "owl/model.h"

namespace trelvanic_owl {

inline std::string read_test_data(const std::string& name) {
  std::ifstream in(std::string(TRELVANIC_TEST_DATA) + "/owl/" + name, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

inline std::vector<std::string> rendered(const Ontology& o) {
  std::vector<std::string> out;
  for (const Component& c : o.components()) out.push_back(write_component(o, c));
  return out;
}

// Byte sequences that are not UTF-8, for the readers' tests.
struct Utf8Sample {
  const char* name;
  const char* bad;
};
inline constexpr Utf8Sample kBadUtf8[] = {
    {"lone continuation", "\x82"},       {"invalid byte", "\xff"},
    {"overlong", "\xc0\x80"},          {"overlong three", "\xe0\x80\xaf"},
    {"surrogate", "\xed\xa0\x80"},      {"above U+10FFFF", "\xf4\x90\x80\x80"},
    {"cut short", "\xe2\x82"},          {"cut short at the end", "\xf0\x9f\x98"},
};

}  // namespace trelvanic_owl
