#include "json/writer.h"

#include <charconv>

#include "json/number.h"

namespace trelvanic_json {

void append_escaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text.substr(start, i - start));
    start = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        out += "\\u00";
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 0xF]);
    }
  }
  out.append(text.substr(start));
  out.push_back('"');
}

void Writer::indent() { out_.append(levels_.size() * 2, ' '); }

// Starts a new array element or object member: the separator, and in the
// pretty layout the line break and indentation.
void Writer::new_member() {
  Level& level = levels_.back();
  if (layout_ == Layout::Pretty) {
    out_ += level.members == 0 ? "\n" : ",\n";
    indent();
  } else if (level.members != 0) {
    out_.push_back(',');
  }
  ++level.members;
}

void Writer::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!levels_.empty()) new_member();
}

void Writer::key(std::string_view name) {
  new_member();
  append_escaped(out_, name);
  out_ += layout_ == Layout::Pretty ? ": " : ":";
  after_key_ = true;
}

void Writer::open(char bracket) {
  before_value();
  out_.push_back(bracket);
  levels_.push_back(Level{bracket == '{', 0});
}

void Writer::close(char bracket) {
  Level level = levels_.back();
  levels_.pop_back();
  if (layout_ == Layout::Pretty && level.members != 0) {
    out_.push_back('\n');
    indent();
  }
  out_.push_back(bracket);
}

void Writer::u64(uint64_t value) {
  before_value();
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out_.append(buf, res.ptr);
}

void Writer::i64(int64_t value) {
  before_value();
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out_.append(buf, res.ptr);
}

void Writer::f64(double value) {
  before_value();
  out_ += format_float_json(value);
}

}  // namespace trelvanic_json
