#include "json/record.h"

namespace trelvanic_json {
namespace {

std::size_t find_name(std::span<const std::string_view> names, std::string_view key) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == key) return i;
  }
  return names.size();
}

Result<void> record_fields_from_seq(Reader& r, const RecordShape& shape, IndexFn read_field) {
  bool first = true;
  for (std::size_t i = 0; i < shape.fields.size(); ++i) {
    bool more = TRELVANIC_JSON_TRY(r.seq_next(first));
    if (!more) return std::unexpected(shape_error::invalid_length(i, shape.length_text));
    if ((shape.optional_fields >> i & 1) != 0 && TRELVANIC_JSON_TRY(r.read_null())) continue;
    TRELVANIC_JSON_TRY(read_field(i));
  }
  return {};
}

Result<void> record_fields_from_map(Reader& r, const RecordShape& shape, IndexFn read_field) {
  uint64_t seen = 0;
  bool first = true;
  for (;;) {
    auto key = TRELVANIC_JSON_TRY(r.map_next_key(first));
    if (!key) break;
    std::size_t field = find_name(shape.fields, *key);
    if (field == shape.fields.size()) {
      if (shape.unknown == UnknownFields::Refuse) {
        return std::unexpected(shape_error::unknown_field(*key, shape.fields));
      }
      TRELVANIC_JSON_TRY(r.parse_object_colon());
      TRELVANIC_JSON_TRY(r.skip_value());
      continue;
    }
    if (field < 64 && (seen >> field & 1) != 0) {
      return std::unexpected(shape_error::duplicate_field(shape.fields[field]));
    }
    if (field < 64) seen |= uint64_t{1} << field;
    TRELVANIC_JSON_TRY(r.parse_object_colon());
    if ((shape.optional_fields >> field & 1) != 0 && TRELVANIC_JSON_TRY(r.read_null())) continue;
    TRELVANIC_JSON_TRY(read_field(field));
  }
  for (std::size_t i = 0; i < shape.fields.size(); ++i) {
    if ((seen >> i & 1) == 0 && (shape.optional_fields >> i & 1) == 0) {
      return std::unexpected(shape_error::missing_field(shape.fields[i]));
    }
  }
  return {};
}

// The closing of a container: the closing bracket is consumed even when the
// contents failed, because a shape error takes its position from there.
Result<void> close_container(Reader& r, Result<void> contents, bool seq) {
  Result<void> end = seq ? r.end_seq() : r.end_map();
  if (!contents) return std::unexpected(r.fix_position(std::move(contents).error()));
  if (!end) return std::unexpected(r.fix_position(std::move(end).error()));
  return {};
}

}  // namespace

Result<void> read_record(Reader& r, const RecordShape& shape, IndexFn read_field) {
  int c = r.parse_whitespace();
  if (c == kEof) return std::unexpected(r.peek_error(ErrorCode::EofWhileParsingValue));
  if (c != '[' && c != '{') return std::unexpected(r.peek_invalid_type(shape.type_text));
  TRELVANIC_JSON_TRY(r.enter());
  r.eat();
  Result<void> contents =
      c == '[' ? record_fields_from_seq(r, shape, read_field) : record_fields_from_map(r, shape, read_field);
  r.leave();
  return close_container(r, std::move(contents), c == '[');
}

Result<void> read_seq(Reader& r, IndexFn read_element) {
  int c = r.parse_whitespace();
  if (c == kEof) return std::unexpected(r.peek_error(ErrorCode::EofWhileParsingValue));
  if (c != '[') return std::unexpected(r.peek_invalid_type("a sequence"));
  TRELVANIC_JSON_TRY(r.enter());
  r.eat();
  Result<void> contents = [&]() -> Result<void> {
    bool first = true;
    for (std::size_t i = 0;; ++i) {
      bool more = TRELVANIC_JSON_TRY(r.seq_next(first));
      if (!more) return {};
      TRELVANIC_JSON_TRY(read_element(i));
    }
  }();
  r.leave();
  return close_container(r, std::move(contents), true);
}

Result<void> read_tuple(Reader& r, std::string_view type_text, std::string_view length_text, std::size_t len,
                        IndexFn read_element) {
  int c = r.parse_whitespace();
  if (c == kEof) return std::unexpected(r.peek_error(ErrorCode::EofWhileParsingValue));
  if (c != '[') return std::unexpected(r.peek_invalid_type(type_text));
  TRELVANIC_JSON_TRY(r.enter());
  r.eat();
  Result<void> contents = [&]() -> Result<void> {
    bool first = true;
    for (std::size_t i = 0; i < len; ++i) {
      bool more = TRELVANIC_JSON_TRY(r.seq_next(first));
      if (!more) return std::unexpected(shape_error::invalid_length(i, length_text));
      TRELVANIC_JSON_TRY(read_element(i));
    }
    return {};
  }();
  r.leave();
  return close_container(r, std::move(contents), true);
}

Result<std::size_t> read_variant_name(Reader& r, std::span<const std::string_view> names) {
  auto name = r.read_str("variant identifier");
  if (!name) return std::unexpected(std::move(name).error());
  std::size_t index = find_name(names, *name);
  if (index == names.size()) return std::unexpected(r.fix_position(shape_error::unknown_variant(*name, names)));
  return index;
}

Result<std::size_t> read_union(Reader& r, const UnionShape& shape, IndexFn read_payload) {
  int c = r.parse_whitespace();
  if (c == '"') {
    // A bare name: only a unit variant has no payload. The error for the
    // other variants is left unpositioned; the enclosing read places it.
    std::size_t variant = TRELVANIC_JSON_TRY(read_variant_name(r, shape.names));
    switch (shape.shapes[variant]) {
      case VariantShape::Unit: return variant;
      case VariantShape::Newtype:
        return std::unexpected(shape_error::invalid_type(kUnexpectedUnitVariant, "newtype variant"));
      case VariantShape::Tuple:
        return std::unexpected(shape_error::invalid_type(kUnexpectedUnitVariant, "tuple variant"));
      case VariantShape::Struct:
        return std::unexpected(shape_error::invalid_type(kUnexpectedUnitVariant, "struct variant"));
    }
  }
  if (c == kEof) return std::unexpected(r.peek_error(ErrorCode::EofWhileParsingValue));
  if (c != '{') return std::unexpected(r.peek_error(ErrorCode::ExpectedSomeValue));
  TRELVANIC_JSON_TRY(r.enter());
  r.eat();
  std::size_t variant = TRELVANIC_JSON_TRY(read_variant_name(r, shape.names));
  TRELVANIC_JSON_TRY(r.parse_object_colon());
  if (shape.shapes[variant] == VariantShape::Unit) {
    TRELVANIC_JSON_TRY(r.read_unit());
  } else {
    TRELVANIC_JSON_TRY(read_payload(variant));
  }
  r.leave();
  int close = r.parse_whitespace();
  if (close == '}') {
    r.eat();
    return variant;
  }
  if (close == kEof) return std::unexpected(r.error(ErrorCode::EofWhileParsingObject));
  return std::unexpected(r.error(ErrorCode::ExpectedSomeValue));
}

}  // namespace trelvanic_json
