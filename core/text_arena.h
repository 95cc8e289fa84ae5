// `TextArena`: append-only storage of immutable byte strings in large chunks.
//
// `append` copies a text in and returns its `TextRef` (offset of its chunk and
// length); `view` gives a `std::string_view` that stays valid as long as the
// arena lives, since chunks never move. Copying an arena shares every full
// chunk (they are never written again) and copies only the chunk that is
// still being filled, so copies are cheap and independent.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace trelvanic_core {

struct TextRef {
  uint32_t chunk = 0;
  uint32_t offset = 0;
  uint32_t length = 0;
};

class TextArena {
 public:
  TextArena() = default;
  TextArena(const TextArena& other);
  TextArena& operator=(const TextArena& other);
  TextArena(TextArena&&) noexcept = default;
  TextArena& operator=(TextArena&&) noexcept = default;

  // Texts must be shorter than 4 GiB.
  TextRef append(std::string_view text);

  [[nodiscard]] std::string_view view(TextRef ref) const {
    return {chunks_[ref.chunk].data.get() + ref.offset, ref.length};
  }

  // Bytes reserved by all chunks.
  [[nodiscard]] size_t capacity_bytes() const { return reserved_; }

 private:
  struct Chunk {
    std::shared_ptr<char[]> data;
    uint32_t size = 0;
    uint32_t capacity = 0;
  };
  static constexpr uint32_t kChunkBytes = 1u << 20;

  std::vector<Chunk> chunks_;
  size_t reserved_ = 0;
};

}  // namespace trelvanic_core
