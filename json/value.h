// A small JSON value tree, for single JSON objects handed in by callers
// (one axiom at a time) and for result records written as compact JSON.
//
// Objects keep their members in a map ordered byte-wise by key, so writing
// a value always gives sorted keys at every level; when a key repeats in
// parsed text, the last member wins. Parsing holds the reader's nesting
// limit (127 levels), so every tree read from text is shallow enough for
// the recursive walks below.
//
// Usage:
//   auto v = parse_value(text);                 // Result<Value>
//   if (v && v->is_object()) if (const Value* f = v->find("SubClassOf")) ...
//   Value out = Value::Object{}; out.set("status", "classified");
//   std::string text = write_compact(out);
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "json/error.h"
#include "json/reader.h"
#include "json/writer.h"

namespace trelvanic_json {

class Value {
 public:
  using Array = std::vector<Value>;
  using Object = std::map<std::string, Value, std::less<>>;
  enum class Kind : uint8_t { Null, Bool, Number, String, Array, Object };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : data_(b) {}
  Value(int n) : Value(static_cast<long long>(n)) {}
  Value(long n) : Value(static_cast<long long>(n)) {}
  Value(long long n) {
    if (n < 0) {
      data_ = Number{Number::Kind::Signed, 0, static_cast<int64_t>(n), 0.0};
    } else {
      data_ = Number{Number::Kind::Unsigned, static_cast<uint64_t>(n), 0, 0.0};
    }
  }
  Value(unsigned n) : Value(static_cast<unsigned long long>(n)) {}
  Value(unsigned long n) : Value(static_cast<unsigned long long>(n)) {}
  Value(unsigned long long n) : data_(Number{Number::Kind::Unsigned, static_cast<uint64_t>(n), 0, 0.0}) {}
  Value(double f) : data_(Number{Number::Kind::Float, 0, 0, f}) {}
  Value(const Number& n) : data_(n) {}
  Value(const char* s) : data_(std::string(s)) {}
  Value(std::string_view s) : data_(std::string(s)) {}
  Value(std::string s) : data_(std::move(s)) {}
  Value(Array a) : data_(std::move(a)) {}
  Value(Object o) : data_(std::move(o)) {}

  [[nodiscard]] Kind kind() const { return static_cast<Kind>(data_.index()); }
  [[nodiscard]] bool is_null() const { return kind() == Kind::Null; }
  [[nodiscard]] bool is_bool() const { return kind() == Kind::Bool; }
  [[nodiscard]] bool is_number() const { return kind() == Kind::Number; }
  [[nodiscard]] bool is_string() const { return kind() == Kind::String; }
  [[nodiscard]] bool is_array() const { return kind() == Kind::Array; }
  [[nodiscard]] bool is_object() const { return kind() == Kind::Object; }

  // Typed access; nullptr when the value has another kind.
  [[nodiscard]] const bool* as_bool() const { return std::get_if<bool>(&data_); }
  [[nodiscard]] const Number* as_number() const { return std::get_if<Number>(&data_); }
  [[nodiscard]] const std::string* as_string() const { return std::get_if<std::string>(&data_); }
  [[nodiscard]] const Array* as_array() const { return std::get_if<Array>(&data_); }
  [[nodiscard]] const Object* as_object() const { return std::get_if<Object>(&data_); }
  [[nodiscard]] Array* as_array() { return std::get_if<Array>(&data_); }
  [[nodiscard]] Object* as_object() { return std::get_if<Object>(&data_); }

  // An object member, or nullptr (also when this is not an object).
  [[nodiscard]] const Value* find(std::string_view key) const;
  // Sets an object member (this must be an object).
  void set(std::string key, Value value) { std::get<Object>(data_).insert_or_assign(std::move(key), std::move(value)); }
  // Appends an array element (this must be an array).
  void push_back(Value value) { std::get<Array>(data_).push_back(std::move(value)); }

  friend bool operator==(const Value&, const Value&);

 private:
  std::variant<std::monostate, bool, Number, std::string, Array, Object> data_;
};

// Parses one whole text: a single value with only white space around it.
[[nodiscard]] Result<Value> parse_value(std::string_view text);
// Reads one value at the reader's position (nesting limit included).
[[nodiscard]] Result<Value> read_value(Reader& r);

// Writes a value through a writer, object members in key order.
void write_value(Writer& w, const Value& value);
[[nodiscard]] std::string write_compact(const Value& value);
[[nodiscard]] std::string write_pretty(const Value& value);

}  // namespace trelvanic_json
