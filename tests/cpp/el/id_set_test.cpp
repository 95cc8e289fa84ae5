// IdSet against std::set over insertion patterns that drive it between its
// hash table and its bitmap: membership, size, duplicate inserts and the
// members visited by for_each must agree at every step.
#include "el/id_set.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <vector>

namespace trelvanic_el {
namespace {

void expect_same(const IdSet<uint32_t>& got, const std::set<uint32_t>& want, const char* name) {
  ASSERT_EQ(got.size(), want.size()) << name;
  std::set<uint32_t> seen;
  got.for_each([&](uint32_t id) { EXPECT_TRUE(seen.insert(id).second) << name << ": visited twice " << id; });
  EXPECT_EQ(seen, want) << name;
}

TEST(ElIdSet, AgreesWithStdSetAcrossTableAndBitmap) {
  struct Case {
    const char* name;
    std::function<std::vector<uint32_t>()> ids;
  };
  std::mt19937 rng(7);
  const std::vector<Case> cases = {
      // A subclass chain: many small ids, the bitmap wins.
      {"dense ascending", [] {
         std::vector<uint32_t> v;
         for (uint32_t i = 0; i < 5000; ++i) v.push_back(i);
         return v;
       }},
      {"dense descending with repeats", [] {
         std::vector<uint32_t> v;
         for (uint32_t i = 3000; i-- > 0;) v.insert(v.end(), {i, i});
         return v;
       }},
      // A few ids spread over a large range: stays a table.
      {"sparse", [&] {
         std::vector<uint32_t> v;
         for (int i = 0; i < 300; ++i) v.push_back(rng() % 4000000000u);
         return v;
       }},
      // Becomes a bitmap, then one id far above makes it a table again,
      // which later ids fill further.
      {"bitmap then a far id", [] {
         std::vector<uint32_t> v;
         for (uint32_t i = 0; i < 200; ++i) v.push_back(i * 3);
         v.push_back(3000000000u);
         for (uint32_t i = 0; i < 200; ++i) v.push_back(1000 + i * 7);
         return v;
       }},
      // The bitmap widens step by step as the ids climb.
      {"climbing ids", [] {
         std::vector<uint32_t> v;
         for (uint32_t i = 0; i < 20000; i += 2) v.push_back(i);
         return v;
       }},
  };
  for (const Case& c : cases) {
    IdSet<uint32_t> set;
    std::set<uint32_t> want;
    for (uint32_t id : c.ids()) {
      const bool fresh = want.insert(id).second;
      ASSERT_EQ(set.insert(id), fresh) << c.name << ": insert " << id;
      ASSERT_TRUE(set.contains(id)) << c.name;
      ASSERT_FALSE(set.contains(id + 1) && !want.contains(id + 1)) << c.name << ": phantom " << id + 1;
    }
    expect_same(set, want, c.name);
    for (uint32_t probe : {0u, 1u, 63u, 64u, 65u, 4999u, 5000u, 123456u, 3000000000u, 4000000000u}) {
      EXPECT_EQ(set.contains(probe), want.contains(probe)) << c.name << ": contains " << probe;
    }
    IdSet<uint32_t> moved(std::move(set));
    expect_same(moved, want, c.name);
  }
}

}  // namespace
}  // namespace trelvanic_el
