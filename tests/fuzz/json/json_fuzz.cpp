// Fuzz target for the JSON layer: any byte string goes through the value
// parser, the skipper, the pre-parse checks and a snapshot-shaped record
// reader.
//
// Checked on every input, besides the absence of crashes and sanitizer
// reports: every error that reaches the top carries a position; a text the
// value parser accepts is also accepted by the skipper, which stops at the
// same byte; and the compact and pretty texts written from the parsed value
// parse back to the same value.
//
// libFuzzer build and run (clang, installed when missing):
//   scripts/fuzz build && scripts/fuzz run json 600
// Without clang, the C++ test `JsonFuzzSmoke` runs this entry point over the
// seed corpus and a fixed set of mutations of it (built with g++).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/prescan.h"
#include "json/reader.h"
#include "json/record.h"
#include "json/value.h"

namespace trelvanic_json_fuzz {

using namespace trelvanic_json;

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "json fuzz invariant broken: %s\n", what);
  std::abort();
}

// Structural equality, floats compared up to rounding of the reader's
// power-of-ten scaling.
inline bool same(const Value& a, const Value& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Value::Kind::Null: return true;
    case Value::Kind::Bool: return *a.as_bool() == *b.as_bool();
    case Value::Kind::String: return *a.as_string() == *b.as_string();
    case Value::Kind::Number: {
      const Number& x = *a.as_number();
      const Number& y = *b.as_number();
      if (x.kind != Number::Kind::Float || y.kind != Number::Kind::Float) return x == y;
      return x.f == y.f || std::fabs(x.f - y.f) <= 1e-12 * std::fabs(x.f);
    }
    case Value::Kind::Array: {
      const auto& x = *a.as_array();
      const auto& y = *b.as_array();
      if (x.size() != y.size()) return false;
      for (std::size_t i = 0; i < x.size(); ++i) {
        if (!same(x[i], y[i])) return false;
      }
      return true;
    }
    case Value::Kind::Object: {
      const auto& x = *a.as_object();
      const auto& y = *b.as_object();
      if (x.size() != y.size()) return false;
      for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j) {
        if (i->first != j->first || !same(i->second, j->second)) return false;
      }
      return true;
    }
  }
  return false;
}

constexpr std::string_view kEntityFields[] = {"iri", "kind"};
constexpr RecordShape kEntity{"struct SnapshotEntity", "struct SnapshotEntity with 2 elements", kEntityFields,
                              UnknownFields::Refuse};
constexpr std::string_view kKindNames[] = {"Class", "Individual", "ObjectProperty"};
constexpr VariantShape kKindShapes[] = {VariantShape::Unit, VariantShape::Unit, VariantShape::Unit};
constexpr std::string_view kExprNames[] = {"Top", "Atomic", "Some", "Same"};
constexpr VariantShape kExprShapes[] = {VariantShape::Unit, VariantShape::Newtype, VariantShape::Struct,
                                        VariantShape::Tuple};
constexpr std::string_view kSomeFields[] = {"property", "filler"};
constexpr RecordShape kSome{"struct variant ClassExpr::Some", "struct variant ClassExpr::Some with 2 elements",
                            kSomeFields, UnknownFields::Skip, 0b10};
constexpr std::string_view kRootFields[] = {"format_version", "entities", "expressions"};
constexpr RecordShape kRoot{"struct Root", "struct Root with 3 elements", kRootFields, UnknownFields::Refuse, 0b100};

inline Result<void> read_expr(Reader& r) {
  return drop_value(read_union(r, UnionShape{kExprNames, kExprShapes}, [&](std::size_t variant) -> Result<void> {
    switch (variant) {
      case 1: return drop_value(r.read_u32());
      case 2:
        return read_record(r, kSome, [&](std::size_t f) -> Result<void> {
          if (f == 0) return read_expr(r);
          return drop_value(r.read_u32());
        });
      default:
        return read_tuple(r, "tuple variant ClassExpr::Same", "tuple variant ClassExpr::Same with 2 elements", 2,
                          [&](std::size_t) -> Result<void> { return drop_value(r.read_string()); });
    }
  }));
}

inline Result<void> read_root(Reader& r) {
  TRELVANIC_JSON_TRY(read_record(r, kRoot, [&](std::size_t field) -> Result<void> {
    switch (field) {
      case 0: return drop_value(r.read_u32());
      case 1:
        return read_seq(r, [&](std::size_t) -> Result<void> {
          return read_record(r, kEntity, [&](std::size_t f) -> Result<void> {
            if (f == 0) return drop_value(r.read_str());
            return drop_value(
                read_union(r, UnionShape{kKindNames, kKindShapes}, [](std::size_t) -> Result<void> { return {}; }));
          });
        });
      default: return read_seq(r, [&](std::size_t) -> Result<void> { return read_expr(r); });
    }
  }));
  return r.finish();
}

inline void check(std::string_view text) {
  auto value = parse_value(text);
  if (!value && !value.error().has_position()) fail("unpositioned value error");

  Reader skipper(text);
  auto skipped = skipper.skip_value();
  bool skip_ok = skipped && skipper.finish().has_value();
  if (!skipped && !skipped.error().has_position()) fail("unpositioned skip error");
  if (value && !skip_ok) fail("skipper refused a text the parser accepted");

  if (value) {
    for (const std::string& again : {write_compact(*value), write_pretty(*value)}) {
      auto reparsed = parse_value(again);
      if (!reparsed) fail("written text does not parse");
      if (!same(*value, *reparsed)) fail("written text parses to another value");
    }
  }

  std::string_view rest = text.substr(unicode_whitespace_prefix(text));
  if (!rest.empty() && rest[0] == '{') {
    if (auto key = first_repeated_top_level_key(rest)) {
      if (key->data() < rest.data() || key->data() + key->size() > rest.data() + rest.size()) fail("key outside text");
    }
  }

  Reader records(text);
  auto root = read_root(records);
  if (!root && !root.error().has_position()) fail("unpositioned record error");
}

}  // namespace trelvanic_json_fuzz

#ifndef TRELVANIC_JSON_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  trelvanic_json_fuzz::check(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
#endif
