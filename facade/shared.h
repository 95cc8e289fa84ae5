// A shared ontology that several reasoners work on, and the three steps
// that keep a reasoner's working copy in step with it.
//
// `SharedOntology` is a core ontology behind a mutex. The lock is poisoned
// when a holder leaves by an exception; every later `lock` then fails with
// "ontology lock poisoned: poisoned lock: another task failed inside".
//
// A reasoner linked to one keeps a `SharedLink`: the pointer and the
// revision of the shared ontology its working copy was last in step with.
// Around each call on the reasoner:
//   sync_from_shared     pulls a newer shared ontology into the working copy
//                        (returns true when it replaced it)
//   clone_work_ontology  the copy the engines work on: a clone of the shared
//                        ontology when linked, else of the working copy
//   sync_to_shared       pushes a changed working copy back; if the shared
//                        ontology moved meanwhile, fails with the conflict
//                        error and changes nothing (the next pull then
//                        replaces the working copy: no merge)
// An unlinked reasoner passes all three untouched. Revisions are compared
// in full (counter and overflow flag); a push that changed nothing costs
// one comparison and takes no lock.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/dirty.h"
#include "core/ontology.h"
#include "core/reasoner.h"

namespace trelvanic_facade {

inline constexpr const char* kPoisonText = "poisoned lock: another task failed inside";
inline constexpr const char* kMissingBaseRevision = "shared ontology sync state missing base revision";
inline constexpr const char* kConcurrentModification =
    "shared ontology was modified concurrently; re-sync or use a single writer";

enum class SyncErrorKind : uint8_t { Poisoned, MissingBaseRevision, Conflict };

struct SyncError {
  SyncErrorKind kind;
  // "ontology lock poisoned: {}", the missing-revision text, or the
  // conflict text.
  [[nodiscard]] std::string message() const;
};

template <class T>
using SyncResult = std::expected<T, SyncError>;

class SharedOntology {
 public:
  explicit SharedOntology(trelvanic_core::Ontology ontology) : ontology_(std::move(ontology)) {}

  // The ontology while the lock is held.
  class Locked {
   public:
    Locked(Locked&& other) noexcept
        : owner_(std::exchange(other.owner_, nullptr)), exceptions_(other.exceptions_) {}
    Locked& operator=(Locked&&) = delete;
    ~Locked();
    trelvanic_core::Ontology& operator*() const { return owner_->ontology_; }
    trelvanic_core::Ontology* operator->() const { return &owner_->ontology_; }

   private:
    friend class SharedOntology;
    explicit Locked(SharedOntology* owner);
    SharedOntology* owner_;
    int exceptions_;
  };

  [[nodiscard]] SyncResult<Locked> lock();
  [[nodiscard]] bool poisoned() const { return poisoned_; }

 private:
  std::mutex mutex_;
  bool poisoned_ = false;  // written only with the mutex held
  trelvanic_core::Ontology ontology_;
};

struct SharedLink {
  std::shared_ptr<SharedOntology> shared;                        // null: not linked
  std::optional<trelvanic_core::OntologyRevision> base_revision;  // set with `shared`
};

struct LinkedCopy {
  trelvanic_core::Ontology working;
  SharedLink link;
};

// A working copy of the shared ontology and the link that remembers its
// revision.
[[nodiscard]] SyncResult<LinkedCopy> link_shared(std::shared_ptr<SharedOntology> shared);

[[nodiscard]] SyncResult<bool> sync_from_shared(SharedLink& link, trelvanic_core::Reasoner& reasoner);
[[nodiscard]] SyncResult<trelvanic_core::Ontology> clone_work_ontology(const SharedLink& link,
                                                                       const trelvanic_core::Reasoner& reasoner);
[[nodiscard]] SyncResult<void> sync_to_shared(SharedLink& link, const trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_facade
