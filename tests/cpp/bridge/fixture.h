// Small in-memory ontologies for the bridge tests.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "core/ontology.h"

namespace bridge_test {

inline constexpr const char* kEx = "http://ex.org/";

struct Onto {
  trelvanic_core::Ontology o;

  trelvanic_core::EntityId e(const std::string& local, trelvanic_core::EntityKind kind) {
    auto id = o.entity_id(std::string(kEx) + local, kind);
    EXPECT_TRUE(id.has_value()) << local;
    return *id;
  }
  trelvanic_core::EntityId cls(const std::string& n) { return e(n, trelvanic_core::EntityKind::Class); }
  trelvanic_core::EntityId ind(const std::string& n) { return e(n, trelvanic_core::EntityKind::Individual); }
  trelvanic_core::EntityId prop(const std::string& n) { return e(n, trelvanic_core::EntityKind::ObjectProperty); }
  trelvanic_core::EntityId dprop(const std::string& n) { return e(n, trelvanic_core::EntityKind::DataProperty); }
  trelvanic_core::AxiomId add(trelvanic_core::Axiom a) {
    auto id = o.add_axiom(std::move(a));
    EXPECT_TRUE(id.has_value()) << (id ? "" : id.error().message());
    return *id;
  }
  // Whether a live axiom equal to `a` (canonical form) is stored.
  bool has(trelvanic_core::Axiom a) const {
    a.canonicalize();
    bool found = false;
    o.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& v) {
      found = found || trelvanic_core::axioms_equal(v, a.view());
    });
    return found;
  }
};

inline std::string iri(const std::string& local) { return std::string(kEx) + local; }

}  // namespace bridge_test
