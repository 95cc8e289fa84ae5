// Small ontologies in functional syntax, loaded through the project's loader.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "alc/dl_ontology.h"
#include "alc/tableau.h"
#include "parser/load.h"

namespace trelvanic_alc::testing {

inline constexpr const char* kHeader =
    "Prefix(:=<http://ex.org/t#>)\nPrefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
    "Prefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\nOntology(<http://ex.org/t>\n";

inline trelvanic_core::Ontology load(const std::string& body) {
  static int n = 0;
  auto dir = std::filesystem::temp_directory_path() / "trelvanic_alc_test";
  std::filesystem::create_directories(dir);
  auto path = dir / ("o" + std::to_string(getpid()) + "_" + std::to_string(n++) + ".ofn");
  std::ofstream(path) << kHeader << body << "\n)\n";
  auto o = trelvanic_parser::load_ontology_lenient(path.string());
  std::filesystem::remove(path);
  EXPECT_TRUE(o.has_value()) << (o ? "" : o.error().message());
  return o ? std::move(*o) : trelvanic_core::Ontology();
}

inline trelvanic_core::EntityId entity(const trelvanic_core::Ontology& o, const std::string& local) {
  auto e = o.lookup_entity("http://ex.org/t#" + local);
  EXPECT_TRUE(e.has_value()) << local;
  return e.value_or(trelvanic_core::EntityId(0));
}

// A verdict: true, false, or not decided (BudgetExhausted).
enum class Verdict { True, False, Undecided };

inline Verdict verdict(const Result<bool>& r) {
  if (!r) {
    EXPECT_EQ(r.error().kind, ErrorKind::BudgetExhausted) << r.error().message();
    return Verdict::Undecided;
  }
  return *r ? Verdict::True : Verdict::False;
}

inline const char* name(Verdict v) {
  return v == Verdict::True ? "true" : v == Verdict::False ? "false" : "undecided";
}

}  // namespace trelvanic_alc::testing
