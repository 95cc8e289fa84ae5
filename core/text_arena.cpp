#include "core/text_arena.h"

#include <algorithm>
#include <cstring>

namespace trelvanic_core {

TextArena::TextArena(const TextArena& other) : chunks_(other.chunks_), reserved_(other.reserved_) {
  // The last chunk may still receive texts in `other`: give this copy its
  // own bytes for it, so the two arenas never write into one buffer.
  if (!chunks_.empty()) {
    Chunk& last = chunks_.back();
    auto fresh = std::shared_ptr<char[]>(new char[last.capacity]);
    std::memcpy(fresh.get(), last.data.get(), last.size);
    last.data = std::move(fresh);
  }
}

TextArena& TextArena::operator=(const TextArena& other) {
  if (this != &other) *this = TextArena(other);
  return *this;
}

TextRef TextArena::append(std::string_view text) {
  const auto len = static_cast<uint32_t>(text.size());
  if (chunks_.empty() || chunks_.back().capacity - chunks_.back().size < len) {
    const uint32_t cap = std::max(kChunkBytes, len);
    chunks_.push_back(Chunk{std::shared_ptr<char[]>(new char[cap]), 0, cap});
    reserved_ += cap;
  }
  Chunk& c = chunks_.back();
  TextRef ref{static_cast<uint32_t>(chunks_.size() - 1), c.size, len};
  if (len != 0) std::memcpy(c.data.get() + c.size, text.data(), len);
  c.size += len;
  return ref;
}

}  // namespace trelvanic_core
