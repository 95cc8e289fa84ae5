// A small in-memory ontology for the consistency and entailment tests:
// entities by local name under http://ex.org/, told axioms added at once.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/axiom.h"
#include "core/ontology.h"
#include "core/reasoner.h"

namespace trelvanic_facade::testing {

struct SmallOntology {
  trelvanic_core::Ontology o;

  static std::string iri(const std::string& name) { return "http://ex.org/" + name; }
  trelvanic_core::EntityId entity(const std::string& name, trelvanic_core::EntityKind kind) {
    auto id = o.entity_id(name.find(':') == std::string::npos ? iri(name) : name, kind);
    EXPECT_TRUE(id) << name;
    return *id;
  }
  trelvanic_core::EntityId cls(const std::string& n) { return entity(n, trelvanic_core::EntityKind::Class); }
  trelvanic_core::EntityId ind(const std::string& n) { return entity(n, trelvanic_core::EntityKind::Individual); }
  trelvanic_core::EntityId prop(const std::string& n) {
    return entity(n, trelvanic_core::EntityKind::ObjectProperty);
  }
  SmallOntology& add(trelvanic_core::Axiom axiom) {
    EXPECT_TRUE(o.add_axiom(std::move(axiom)));
    return *this;
  }
  trelvanic_core::Reasoner reasoner(trelvanic_core::Profile profile = trelvanic_core::Profile::Auto) const {
    auto r = trelvanic_core::ReasonerBuilder{.profile = profile}.build(o.clone());
    EXPECT_TRUE(r);
    return std::move(*r);
  }
};

}  // namespace trelvanic_facade::testing
