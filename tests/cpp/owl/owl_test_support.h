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

}  // namespace trelvanic_owl
