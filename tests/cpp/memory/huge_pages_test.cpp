#include "memory/huge_pages.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace trelvanic_memory {
namespace {

TEST(HugePages, BlocksStartZeroedOnBothSidesOfTheThreshold) {
  for (size_t bytes : {size_t{1}, kHugeThreshold - 1, kHugeThreshold, (size_t{5} << 20) + 3}) {
    auto* block = static_cast<unsigned char*>(huge_allocate_zeroed(bytes));
    ASSERT_NE(block, nullptr);
    size_t nonzero = 0;
    for (size_t i = 0; i < bytes; ++i) nonzero += block[i] != 0;
    EXPECT_EQ(nonzero, 0u) << bytes;
    block[0] = 1;
    block[bytes - 1] = 2;  // the whole size is writable
    huge_free(block, bytes);
  }
}

TEST(HugePages, VectorKeepsItsValuesWhileGrowingPastTheThreshold) {
  std::vector<uint32_t, HugePageAllocator<uint32_t>> values;
  constexpr uint32_t kCount = 3 << 20;  // 12 MiB: several regrowths on mapped blocks
  for (uint32_t i = 0; i < kCount; ++i) values.push_back(i * 2654435761u);
  size_t wrong = 0;
  for (uint32_t i = 0; i < kCount; ++i) wrong += values[i] != i * 2654435761u;
  EXPECT_EQ(wrong, 0u);
  // Mapped blocks start on a 2 MiB boundary, the alignment huge pages need.
  EXPECT_EQ(reinterpret_cast<uintptr_t>(values.data()) % (uintptr_t{2} << 20), 0u);
  values.clear();
  values.shrink_to_fit();
  EXPECT_EQ(values.capacity(), 0u);
}

}  // namespace
}  // namespace trelvanic_memory
