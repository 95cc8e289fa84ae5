// Small ontologies built in memory for the profile tests.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ontology.h"
#include "core/parse_meta.h"

namespace trelvanic_profile::testing {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExpr;
using trelvanic_core::ConstructSet;
using trelvanic_core::DlAxiom;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::OwlConstruct;
using trelvanic_core::ParseMeta;
using trelvanic_core::RoleExpr;
using C = trelvanic_core::OwlConstruct;

inline std::string iri(const std::string& name) { return "http://ex.org/" + name; }

struct Fixture {
  Ontology o;

  EntityId entity(const std::string& name, EntityKind kind) {
    auto id = o.entity_id(iri(name), kind);
    EXPECT_TRUE(id.has_value());
    return *id;
  }
  EntityId cls(const std::string& name) { return entity(name, EntityKind::Class); }
  EntityId prop(const std::string& name) { return entity(name, EntityKind::ObjectProperty); }
  EntityId ind(const std::string& name) { return entity(name, EntityKind::Individual); }

  AxiomId add(Axiom a) {
    auto id = o.add_axiom(std::move(a));
    EXPECT_TRUE(id.has_value()) << (id ? "" : id.error().message());
    return *id;
  }
  CeId ce(const ClassExpr& e) { return o.dl_mut().intern_ce(e); }
  CeId atom(const std::string& name) { return ce(ClassExpr::atomic(cls(name))); }
  void dl(const DlAxiom& a) { o.dl_mut().push_axiom(a); }

  // What a load leaves behind: parse metadata attached, dirty set cleared.
  void mark_loaded(ConstructSet observed, ConstructSet mapped, uint64_t skipped = 0) {
    ParseMeta meta;
    meta.constructs = std::move(observed);
    meta.constructs.insert(mapped.begin(), mapped.end());
    meta.profile_constructs = std::move(mapped);
    meta.skipped_axiom_count = skipped;
    o.set_parse_meta(std::move(meta));
    o.clear_dirty();
  }
};

}  // namespace trelvanic_profile::testing
