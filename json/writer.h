// Streaming JSON writer into a caller's string, in one of two layouts.
//
// Pretty: every member of a non-empty array or object on a line of its own,
// indented by two spaces per level; a member of an object is the quoted key,
// ": " and the value; the closing bracket on its own line at the opening
// line's indentation; empty containers as "[]" and "{}"; no line break after
// the last closing bracket.
// Compact: no white space at all ({"a":1,"b":[true,null]}).
//
// Strings are written in UTF-8 with the quotation mark, the backslash and
// the control characters below 0x20 escaped: "\b", "\t", "\n", "\f", "\r"
// for those five, "\u00XX" (lower-case hex) for the rest.
//
// Usage:
//   std::string out;
//   Writer w(out, Layout::Pretty);
//   w.begin_object(); w.key("format_version"); w.u64(4); w.end_object();
// The caller keeps the calls balanced; the writer does not check them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trelvanic_json {

enum class Layout : uint8_t { Pretty, Compact };

// Appends `text` as a quoted, escaped JSON string.
void append_escaped(std::string& out, std::string_view text);

class Writer {
 public:
  Writer(std::string& out, Layout layout) : out_(out), layout_(layout) {}

  void begin_object() { open('{'); }
  void end_object() { close('}'); }
  void begin_array() { open('['); }
  void end_array() { close(']'); }
  // An object member's key; the member's value follows with one value call.
  void key(std::string_view name);

  void string(std::string_view text) {
    before_value();
    append_escaped(out_, text);
  }
  void u64(uint64_t value);
  void i64(int64_t value);
  // Finite values in shortest round-trip form ("1.5", "1e20"); non-finite
  // values as null.
  void f64(double value);
  void boolean(bool value) {
    before_value();
    out_ += value ? "true" : "false";
  }
  void null() {
    before_value();
    out_ += "null";
  }

 private:
  struct Level {
    bool object;
    uint32_t members;
  };
  void before_value();
  void new_member();
  void open(char bracket);
  void close(char bracket);
  void indent();

  std::string& out_;
  Layout layout_;
  std::vector<Level> levels_;
  bool after_key_ = false;
};

}  // namespace trelvanic_json
