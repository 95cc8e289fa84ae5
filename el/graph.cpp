#include "el/graph.h"

namespace trelvanic_el {

size_t CompletionGraph::memory_bytes() const {
  size_t total = contexts_.capacity() * sizeof(Context);
  for (const Context& c : contexts_) {
    total += c.subsumers.memory_bytes() + c.link_keys.memory_bytes();
    total += (c.preds.capacity() + c.closure_preds.capacity() + c.succs.capacity() + c.disjoint_seen.capacity()) *
             sizeof(Edge);
    total += c.neg_fillers.capacity() * sizeof(uint32_t);
  }
  return total;
}

}  // namespace trelvanic_el
