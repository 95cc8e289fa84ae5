#include "py/reasoner_sync.h"

#include "py/exceptions.h"

namespace _trelvanic::reasoner {

trelvanic_binding::Result<void> pull_shared(PyReasoner& self) {
  auto pulled = trelvanic_facade::sync_from_shared(self.link, self.reasoner);
  if (!pulled) return std::unexpected(exceptions::map_sync_py_err(pulled.error()));
  if (*pulled) self.taxonomy.reset();
  return {};
}

trelvanic_binding::Result<void> push_shared(PyReasoner& self) {
  auto pushed = trelvanic_facade::sync_to_shared(self.link, self.reasoner);
  if (!pushed) return std::unexpected(exceptions::map_sync_py_err(pushed.error()));
  return {};
}

}  // namespace _trelvanic::reasoner
