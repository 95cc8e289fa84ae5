// The core `Reasoner`: an `Ontology` with the configuration of one reasoning
// call, the last classification cached under the ontology's revision, and a
// slot for engine state kept between calls (a `ReasonerSession`).
//
// It does no reasoning itself: the facade resolves a route from `profile`
// and hands the reasoner to an engine. Make one with `ReasonerBuilder`:
//   auto r = ReasonerBuilder{.incremental = true}.build(std::move(ontology));
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "core/dirty.h"
#include "core/error.h"
#include "core/ontology.h"
#include "core/session.h"
#include "core/taxonomy.h"

namespace trelvanic_core {

inline constexpr uint32_t kMaxParallelism = 64;

class Reasoner;

struct ReasonerBuilder {
  std::optional<uint64_t> budget_secs;
  uint32_t parallelism = 1;
  bool incremental = false;
  bool trace_enabled = false;
  Profile profile = Profile::Auto;

  // Message "parallelism must be in 1..=64, got {}" outside 1..64 (the
  // ontology is dropped then).
  [[nodiscard]] Result<Reasoner> build(Ontology ontology) const;
};

class Reasoner {
 public:
  Reasoner(Reasoner&&) noexcept = default;
  Reasoner& operator=(Reasoner&&) noexcept = default;

  [[nodiscard]] const Ontology& ontology() const { return ontology_; }
  // The ontology for changing; drops the cached classification first.
  Ontology& ontology_mut() {
    cache_.reset();
    return ontology_;
  }
  // Takes the ontology out (the reasoner is spent afterwards).
  [[nodiscard]] Ontology take_ontology() && { return std::move(ontology_); }

  [[nodiscard]] std::optional<uint64_t> budget_secs() const { return settings_.budget_secs; }
  [[nodiscard]] uint32_t parallelism() const { return settings_.parallelism; }
  [[nodiscard]] bool incremental() const { return settings_.incremental; }
  [[nodiscard]] bool trace_enabled() const { return settings_.trace_enabled; }
  [[nodiscard]] Profile profile() const { return settings_.profile; }
  [[nodiscard]] const ReasonerBuilder& settings() const { return settings_; }

  // Session slot. `set_session` replaces a held session without clearing it;
  // `clear_session` clears and drops it; `take_session` empties the slot.
  void set_session(std::unique_ptr<ReasonerSession> session) { session_ = std::move(session); }
  void clear_session();
  [[nodiscard]] std::unique_ptr<ReasonerSession> take_session() { return std::move(session_); }
  [[nodiscard]] ReasonerSession* session() const { return session_.get(); }

  // Classification cache, stamped with the ontology's revision when stored.
  void set_cached_taxonomy(Taxonomy taxonomy);
  [[nodiscard]] const Taxonomy* cached_taxonomy() const { return cache_ ? &*cache_ : nullptr; }
  void invalidate_classify_cache() { cache_.reset(); }
  // Drops the cache when the revision overflowed or moved since it was stored.
  void invalidate_stale_classify_cache();

 private:
  friend struct ReasonerBuilder;
  Reasoner(ReasonerBuilder settings, Ontology ontology)
      : settings_(settings), ontology_(std::move(ontology)) {}

  ReasonerBuilder settings_;
  Ontology ontology_;
  std::optional<Taxonomy> cache_;
  OntologyRevision cache_revision_;
  std::unique_ptr<ReasonerSession> session_;
};

}  // namespace trelvanic_core
