#include "facade/shared.h"

#include <exception>

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;

std::string SyncError::message() const {
  switch (kind) {
    case SyncErrorKind::Poisoned:
      return std::string("ontology lock poisoned: ") + kPoisonText;
    case SyncErrorKind::MissingBaseRevision:
      return kMissingBaseRevision;
    case SyncErrorKind::Conflict:
      return kConcurrentModification;
  }
  return {};
}

SharedOntology::Locked::Locked(SharedOntology* owner) : owner_(owner), exceptions_(std::uncaught_exceptions()) {}

SharedOntology::Locked::~Locked() {
  if (!owner_) return;
  // Leaving by an exception may have left the ontology half changed.
  if (std::uncaught_exceptions() > exceptions_) owner_->poisoned_ = true;
  owner_->mutex_.unlock();
}

SyncResult<SharedOntology::Locked> SharedOntology::lock() {
  mutex_.lock();
  if (poisoned_) {
    mutex_.unlock();
    return std::unexpected(SyncError{SyncErrorKind::Poisoned});
  }
  return Locked(this);
}

SyncResult<LinkedCopy> link_shared(std::shared_ptr<SharedOntology> shared) {
  auto locked = shared->lock();
  if (!locked) return std::unexpected(locked.error());
  LinkedCopy out{(*locked)->clone(), SharedLink{nullptr, (*locked)->revision()}};
  out.link.shared = std::move(shared);
  return out;
}

SyncResult<bool> sync_from_shared(SharedLink& link, Reasoner& reasoner) {
  if (!link.shared) return false;
  auto locked = link.shared->lock();
  if (!locked) return std::unexpected(locked.error());
  if (link.base_revision && (*locked)->revision() == *link.base_revision) return false;
  reasoner.ontology_mut() = (*locked)->clone();
  link.base_revision = (*locked)->revision();
  return true;
}

SyncResult<Ontology> clone_work_ontology(const SharedLink& link, const Reasoner& reasoner) {
  if (!link.shared) return reasoner.ontology().clone();
  auto locked = link.shared->lock();
  if (!locked) return std::unexpected(locked.error());
  return (*locked)->clone();
}

SyncResult<void> sync_to_shared(SharedLink& link, const Reasoner& reasoner) {
  if (!link.shared) return {};
  if (!link.base_revision) return std::unexpected(SyncError{SyncErrorKind::MissingBaseRevision});
  const trelvanic_core::OntologyRevision working = reasoner.ontology().revision();
  if (working == *link.base_revision) return {};
  auto locked = link.shared->lock();
  if (!locked) return std::unexpected(locked.error());
  if (!((*locked)->revision() == *link.base_revision)) {
    return std::unexpected(SyncError{SyncErrorKind::Conflict});
  }
  **locked = reasoner.ontology().clone();
  link.base_revision = working;
  return {};
}

}  // namespace trelvanic_facade
