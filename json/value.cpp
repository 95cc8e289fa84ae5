#include "json/value.h"

namespace trelvanic_json {

bool operator==(const Value& a, const Value& b) { return a.data_ == b.data_; }

const Value* Value::find(std::string_view key) const {
  const Object* object = as_object();
  if (object == nullptr) return nullptr;
  auto it = object->find(key);
  return it == object->end() ? nullptr : &it->second;
}

// One value of any kind. Containers recurse, one level per open container;
// `Reader::enter` stops the recursion at the nesting limit.
Result<Value> read_value(Reader& r) {
  int c = r.parse_whitespace();
  switch (c) {
    case kEof: return std::unexpected(r.peek_error(ErrorCode::EofWhileParsingValue));
    case 'n': r.eat(); TRELVANIC_JSON_TRY(r.parse_ident("ull")); return Value();
    case 't': r.eat(); TRELVANIC_JSON_TRY(r.parse_ident("rue")); return Value(true);
    case 'f': r.eat(); TRELVANIC_JSON_TRY(r.parse_ident("alse")); return Value(false);
    case '-': {
      r.eat();
      Number n = TRELVANIC_JSON_TRY(r.parse_number_value(false));
      return Value(n);
    }
    case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9': {
      Number n = TRELVANIC_JSON_TRY(r.parse_number_value(true));
      return Value(n);
    }
    case '"': {
      r.eat();
      std::string_view s = TRELVANIC_JSON_TRY(r.parse_str());
      return Value(s);
    }
    case '[': {
      TRELVANIC_JSON_TRY(r.enter());
      r.eat();
      Value::Array items;
      bool first = true;
      while (TRELVANIC_JSON_TRY(r.seq_next(first))) items.push_back(TRELVANIC_JSON_TRY(read_value(r)));
      r.leave();
      TRELVANIC_JSON_TRY(r.end_seq());
      return Value(std::move(items));
    }
    case '{': {
      TRELVANIC_JSON_TRY(r.enter());
      r.eat();
      Value::Object members;
      bool first = true;
      for (;;) {
        auto key = TRELVANIC_JSON_TRY(r.map_next_key(first));
        if (!key) break;
        std::string name(*key);
        TRELVANIC_JSON_TRY(r.parse_object_colon());
        Value member = TRELVANIC_JSON_TRY(read_value(r));
        members.insert_or_assign(std::move(name), std::move(member));
      }
      r.leave();
      TRELVANIC_JSON_TRY(r.end_map());
      // GCC 12 reports the moved map's variant storage as maybe uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
      return Value(std::move(members));
#pragma GCC diagnostic pop
    }
    default: return std::unexpected(r.peek_error(ErrorCode::ExpectedSomeValue));
  }
}

Result<Value> parse_value(std::string_view text) {
  Reader r(text);
  Value v = TRELVANIC_JSON_TRY(read_value(r));
  TRELVANIC_JSON_TRY(r.finish());
  return v;
}

void write_value(Writer& w, const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Null: w.null(); return;
    case Value::Kind::Bool: w.boolean(*value.as_bool()); return;
    case Value::Kind::Number: {
      const Number& n = *value.as_number();
      switch (n.kind) {
        case Number::Kind::Unsigned: w.u64(n.u); return;
        case Number::Kind::Signed: w.i64(n.i); return;
        case Number::Kind::Float: w.f64(n.f); return;
      }
      return;
    }
    case Value::Kind::String: w.string(*value.as_string()); return;
    case Value::Kind::Array:
      w.begin_array();
      for (const Value& item : *value.as_array()) write_value(w, item);
      w.end_array();
      return;
    case Value::Kind::Object:
      w.begin_object();
      for (const auto& [key, member] : *value.as_object()) {
        w.key(key);
        write_value(w, member);
      }
      w.end_object();
      return;
  }
}

std::string write_compact(const Value& value) {
  std::string out;
  Writer w(out, Layout::Compact);
  write_value(w, value);
  return out;
}

std::string write_pretty(const Value& value) {
  std::string out;
  Writer w(out, Layout::Pretty);
  write_value(w, value);
  return out;
}

}  // namespace trelvanic_json
