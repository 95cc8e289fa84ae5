#include "core/large_alloc.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

// Blocks below and above the large-block size hold what is written to them
// while a vector grows through both, and large blocks start on a 2 MiB
// boundary (the alignment huge pages need).
TEST(LargeBlockAllocator, GrowsThroughBothSizesKeepingContents) {
  std::vector<uint32_t, LargeBlockAllocator<uint32_t>> v;
  for (uint32_t i = 0; i < 3 * kLargeBlockBytes / sizeof(uint32_t); ++i) v.push_back(i * 7);
  for (uint32_t i = 0; i < v.size(); i += 4099) ASSERT_EQ(v[i], i * 7);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(v.data()) % (uintptr_t{2} << 20), 0u);
  void* small = large_block_allocate(16);
  ASSERT_NE(small, nullptr);
  large_block_free(small, 16);
}

}  // namespace
}  // namespace trelvanic_core
