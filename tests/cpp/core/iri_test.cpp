#include "core/iri.h"

#include <string>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

struct ValidationCase {
  std::string iri;
  size_t max_len;
  const char* message;  // nullptr: valid
};

TEST(IriValidation, Table) {
  const std::string at_limit = "http://x/" + std::string(8192 - 9, 'a');
  const ValidationCase cases[] = {
      {"", 8192, "invalid IRI: IRI must not be empty"},
      {"", 0, "invalid IRI: IRI must not be empty"},
      {at_limit, 8192, nullptr},
      {at_limit + "a", 8192, "invalid IRI: IRI exceeds maximum length of 8192 bytes"},
      {"http://x/a\tb", 8192, "invalid IRI: IRI contains control characters: http://x/a\tb"},
      {"http://x/a\x7f", 8192, "invalid IRI: IRI contains control characters: http://x/a\x7f"},
      {"http://x/a b", 8192, "invalid IRI: IRI contains whitespace: http://x/a b"},
      // Non-ASCII text, including U+0085 and a no-break space, passes.
      {"http://x/\u00e9\u0085\u00a0", 8192, nullptr},
      {"abc", 8192, "invalid IRI: IRI must be absolute (scheme:...): abc"},
      {"urn:", 8192, "invalid IRI: invalid IRI scheme: urn:"},
      {":abc", 8192, "invalid IRI: invalid IRI scheme: :abc"},
      {"ht_tp://x", 8192, "invalid IRI: invalid IRI scheme: ht_tp://x"},
      {"HTTP://x", 8192,
       "invalid IRI: IRI scheme 'HTTP' is not allowed (allowed: http, https, urn, file, internal)"},
      {"1a://x", 8192,
       "invalid IRI: IRI scheme '1a' is not allowed (allowed: http, https, urn, file, internal)"},
      {"internal:x", 8192, nullptr},
      {"file:///tmp/x", 8192, nullptr},
  };
  for (const ValidationCase& c : cases) {
    auto r = validate_iri_schemes(c.iri, c.max_len, kFullSchemes);
    if (c.message == nullptr) {
      EXPECT_TRUE(r) << c.iri.substr(0, 40) << ": " << r.error().message();
    } else {
      ASSERT_FALSE(r) << c.iri.substr(0, 40);
      EXPECT_EQ(r.error().kind(), ErrorKind::InvalidIri);
      EXPECT_EQ(r.error().message(), c.message);
    }
  }
  auto web = validate_iri_schemes("file:///x", 8192, kWebSchemes);
  ASSERT_FALSE(web);
  EXPECT_EQ(web.error().message(),
            "invalid IRI: IRI scheme 'file' is not allowed (allowed: http, https, urn)");
}

TEST(IriFragmentEncoding, PercentTwentyThreeReadsAsHash) {
  const std::pair<const char*, const char*> cases[] = {
      {"urn:x:a%23b", "urn:x:a#b"},
      {"urn:x%23a%23b", "urn:x#a#b"},
      {"urn:x:%%23", "urn:x:%#"},
      {"urn:x:%2523", "urn:x:%2523"},
      {"urn:x:%2", "urn:x:%2"},
  };
  for (auto [in, out] : cases) EXPECT_EQ(normalize_iri_fragment_encoding(in), out) << in;
  std::string storage;
  const std::string_view plain = "http://x/a#b";
  EXPECT_EQ(normalize_iri_fragment_encoding(plain, storage).data(), plain.data())
      << "an IRI without %23 is returned without a copy";
}

TEST(InternPool, InternsOnceFromIdOne) {
  InternPool pool;
  auto a = pool.intern_with_limit("http://x/a", kDefaultMaxIriLen);
  auto b = pool.intern_with_limit("http://x/b", kDefaultMaxIriLen);
  auto a2 = pool.intern_with_limit("http://x/a", kDefaultMaxIriLen);
  ASSERT_TRUE(a && b && a2);
  EXPECT_EQ(*a, IriId(1));
  EXPECT_EQ(*b, IriId(2));
  EXPECT_EQ(*a2, *a);
  EXPECT_EQ(pool.size(), 2u);
  EXPECT_EQ(pool.lookup("http://x/b"), 1u);
  EXPECT_EQ(pool.lookup("http://x/c"), std::nullopt);
  EXPECT_EQ(*pool.resolve(*b), "http://x/b");

  auto bad = pool.intern_with_limit("http://x/long", 5);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().message(), "invalid IRI: IRI exceeds maximum length of 5 bytes");
  EXPECT_EQ(pool.size(), 2u) << "a failed intern stores nothing";

  for (uint32_t id : {0u, 3u}) {
    auto r = pool.resolve(IriId(id));
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message(), "invalid IRI: unknown IriId: " + std::to_string(id));
  }
}

TEST(InternPool, ManyTextsStayDistinctAndCopiesAreIndependent) {
  InternPool pool;
  // Enough long texts to span several storage chunks.
  const std::string pad(300, 'p');
  for (int i = 0; i < 10000; ++i)
    ASSERT_EQ(*pool.intern_with_limit("urn:t:" + std::to_string(i) + pad, 8192), IriId(i + 1));
  InternPool copy = pool;
  ASSERT_TRUE(pool.intern_with_limit("urn:only-in-source", 8192));
  ASSERT_TRUE(copy.intern_with_limit("urn:only-in-copy", 8192));
  EXPECT_EQ(pool.text(IriId(10001)), "urn:only-in-source");
  EXPECT_EQ(copy.text(IriId(10001)), "urn:only-in-copy");
  for (int i = 0; i < 10000; i += 997) {
    const std::string s = "urn:t:" + std::to_string(i) + pad;
    EXPECT_EQ(copy.lookup_id(s), IriId(i + 1));
    EXPECT_EQ(pool.text(IriId(i + 1)), s);
  }
  EXPECT_EQ(pool.lookup("urn:only-in-copy"), std::nullopt);
}

TEST(HashIri, HashesTextThenFfByte) {
  // The bytes "a" then 0xFF, checked against CPython's hash(b"a\xff")
  // under PYTHONHASHSEED=0.
  EXPECT_EQ(hash_iri("a"), 8186225505942432243ULL);
}

}  // namespace
}  // namespace trelvanic_core
