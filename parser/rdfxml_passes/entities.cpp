#include "parser/rdfxml_passes/entities.h"

#include <algorithm>
#include <array>
#include <vector>

#include <fmt/format.h>

#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/scan.h"

namespace trelvanic_parser {
namespace rdfxml {
namespace {

constexpr uint64_t kMaxEntityDepth = 32;
constexpr uint64_t kMaxReplacements = 10'000;
// Growth of a quote character escaped as "&quot;" or "&apos;".
constexpr uint64_t kQuoteEscapeGrowth = 5;

uint64_t sat_add(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }
uint64_t sat_mul(uint64_t a, uint64_t b) { return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b; }

bool starts_with_at(std::string_view text, size_t pos, std::string_view prefix) {
  return text.size() - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

// The DOCTYPE declaration before the document element, if any.
std::optional<Markup> find_doctype(std::string_view text) {
  for (auto m = next_markup(text, 0); m; m = next_markup(text, m->end)) {
    if (m->kind == MarkupKind::Declaration && starts_with_at(text, m->begin, "<!DOCTYPE")) return m;
    if (m->kind == MarkupKind::StartTag || m->kind == MarkupKind::EmptyTag) return std::nullopt;
  }
  return std::nullopt;
}

// Reads one "<!ENTITY ...>" declaration whose keyword ends at `i`; returns
// the offset just past it.
size_t read_entity_declaration(std::string_view subset, size_t i, EntityTable& table) {
  const auto skip_space = [&] {
    while (i < subset.size() && is_xml_space(subset[i])) ++i;
  };
  const auto rest = [&] { return quoted_tag_end(subset, i).value_or(subset.size()); };
  skip_space();
  if (i >= subset.size() || subset[i] == '%') return rest();  // parameter entity
  const size_t name_begin = i;
  while (i < subset.size() && !is_xml_space(subset[i]) && subset[i] != '"' && subset[i] != '\'' &&
         subset[i] != '>') {
    ++i;
  }
  const std::string_view name = subset.substr(name_begin, i - name_begin);
  skip_space();
  if (name.empty() || i >= subset.size() || (subset[i] != '"' && subset[i] != '\'')) return rest();  // external
  const size_t close = subset.find(subset[i], i + 1);
  if (close == std::string_view::npos) return subset.size();
  table.insert_or_assign(std::string(name), std::string(subset.substr(i + 1, close - i - 1)));
  i = close + 1;
  return rest();
}

struct Frame {
  std::string_view name;
  std::string_view value;
  size_t pos = 0;
  EntityMeasure measure;
  uint64_t child_depth = 0;
};

void add_literal(EntityMeasure& m, std::string_view literal) {
  m.bytes = sat_add(m.bytes, literal.size());
  m.double_quotes = sat_add(m.double_quotes, static_cast<uint64_t>(std::ranges::count(literal, '"')));
  m.single_quotes = sat_add(m.single_quotes, static_cast<uint64_t>(std::ranges::count(literal, '\'')));
}

void add_child(Frame& parent, const EntityMeasure& child) {
  EntityMeasure& m = parent.measure;
  m.bytes = sat_add(m.bytes, child.bytes);
  m.replacements = sat_add(m.replacements, sat_add(child.replacements, 1));
  m.double_quotes = sat_add(m.double_quotes, child.double_quotes);
  m.single_quotes = sat_add(m.single_quotes, child.single_quotes);
  m.cyclic = m.cyclic || child.cyclic;
  parent.child_depth = std::max(parent.child_depth, child.depth);
}

// A reference found in the document: the entity's name, value and measure.
struct Resolved {
  std::string_view name;
  const std::string* value;
  const EntityMeasure* measure;
};

// Finds the references of a document. A document refers to a handful of
// entities many times over, so the last few found are kept and compared by
// name before the tables are hashed.
class Resolver {
 public:
  Resolver(const EntityTable& table, const EntityMeasures& measures) : table_(table), measures_(measures) {}

  // The declared, non-cyclic entity whose reference "&name;" begins at
  // `pos`, as `entity_reference_at` reads it.
  std::optional<Resolved> at(std::string_view text, size_t pos) {
    for (const Resolved& r : recent_) {
      if (text.size() - pos >= r.name.size() + 2 && text[pos + 1 + r.name.size()] == ';' &&
          text.substr(pos + 1, r.name.size()) == r.name) {
        return r;
      }
    }
    const auto ref = entity_reference_at(text, pos, table_);
    if (!ref) return std::nullopt;
    const EntityMeasure& m = measures_.find(map_key(*ref))->second;
    if (m.cyclic) return std::nullopt;
    const Resolved r{.name = *ref, .value = &table_.find(map_key(*ref))->second, .measure = &m};
    if (recent_.size() < kRecent) recent_.push_back(r);
    return r;
  }

 private:
  static constexpr size_t kRecent = 16;
  const EntityTable& table_;
  const EntityMeasures& measures_;
  std::vector<Resolved> recent_;
};

// Counts what expanding a document costs, without building anything.
struct CostCounter {
  const EntityMeasures& measures;
  uint64_t bytes = 0;
  // References expanded inside entity values: the amplification a document
  // buys with its declarations. References in the document itself are not
  // counted (a serialiser writes one per IRI); each costs its bytes.
  uint64_t replacements = 0;
  uint64_t references = 0;

  void literal(std::string_view s) { bytes = sat_add(bytes, s.size()); }
  void flush() {}
  void entity(const Resolved& r, char quote) {
    const EntityMeasure& m = *r.measure;
    const uint64_t quotes = quote == '"' ? m.double_quotes : quote == '\'' ? m.single_quotes : 0;
    bytes = sat_add(bytes, sat_add(m.bytes, sat_mul(quotes, kQuoteEscapeGrowth)));
    replacements = sat_add(replacements, m.replacements);
    ++references;
  }
};

// Writes the expansion. Inside an attribute value the value's own quote
// character is written as a character entity so that it cannot end the value.
// Pieces of text that follow one another in memory (most of a document is
// copied as it stands) are appended as one: `flush` before a piece that
// will not outlive the next call, and before reading `out`.
struct TextBuilder {
  const EntityTable& table;
  const EntityMeasures& measures;
  std::string out;
  std::string_view pending;

  void literal(std::string_view s) {
    if (!pending.empty() && pending.data() + pending.size() == s.data()) {
      pending = std::string_view(pending.data(), pending.size() + s.size());
      return;
    }
    flush();
    pending = s;
  }
  void flush() {
    out.append(pending);
    pending = {};
  }
  void quoted_literal(std::string_view s, char quote) {
    if (quote == 0 || s.find(quote) == std::string_view::npos) return literal(s);
    flush();
    for (const char c : s) {
      if (c == quote) {
        out.append(quote == '"' ? "&quot;" : "&apos;");
      } else {
        out.push_back(c);
      }
    }
  }
  void entity(const Resolved& r, char quote) {
    const std::string& whole = *r.value;
    if (r.measure->replacements == 0) {
      const uint64_t quotes = quote == '"' ? r.measure->double_quotes : quote == '\'' ? r.measure->single_quotes : 0;
      if (quotes == 0) return literal(whole);
      quoted_literal(whole, quote);
      return;
    }
    std::vector<std::pair<std::string_view, size_t>> stack{{whole, 0}};
    while (!stack.empty()) {
      auto& [value, pos] = stack.back();
      const size_t amp = value.find('&', pos);
      if (amp == std::string_view::npos) {
        quoted_literal(value.substr(pos), quote);
        stack.pop_back();
        continue;
      }
      quoted_literal(value.substr(pos, amp - pos), quote);
      const auto ref = entity_reference_at(value, amp, table);
      if (!ref || measures.find(map_key(*ref))->second.cyclic) {
        quoted_literal("&", quote);
        pos = amp + 1;
        continue;
      }
      pos = amp + ref->size() + 2;
      stack.emplace_back(table.find(map_key(*ref))->second, 0);
    }
  }
};

// Builds the expanded text in one walk, holding each reference to the
// limits before its text is appended: the first reference that would pass
// one stops the building (what was built is dropped by the caller).
struct CheckedBuilder {
  enum class Stop : uint8_t { None, Replacements, Size };
  CostCounter cost;
  TextBuilder text;
  uint64_t max_bytes = 0;
  Stop stop = Stop::None;

  void literal(std::string_view s) {
    if (stop != Stop::None) return;
    cost.literal(s);
    if (cost.bytes > max_bytes) {
      stop = Stop::Size;
      return;
    }
    text.literal(s);
  }
  void flush() { text.flush(); }
  void entity(const Resolved& r, char quote) {
    if (stop != Stop::None) return;
    cost.entity(r, quote);
    if (cost.replacements > kMaxReplacements) {
      stop = Stop::Replacements;
    } else if (cost.bytes > max_bytes) {
      stop = Stop::Size;
    } else {
      text.entity(r, quote);
    }
  }
};

// Expands the references inside the quoted values of one start tag.
template <class Out>
void expand_tag(std::string_view tag, Resolver& resolver, Out& out) {
  if (tag.find('&') == std::string_view::npos) {
    out.literal(tag);
    return;
  }
  // Quoted values one at a time; references only inside them.
  size_t run = 0;
  size_t i = 0;
  while (true) {
    const size_t open = find_either(tag, i, '"', '\'');
    if (open == std::string_view::npos) break;
    const char quote = tag[open];
    const size_t close = tag.find(quote, open + 1);
    const size_t end = close == std::string_view::npos ? tag.size() : close;
    for (size_t amp = tag.find('&', open + 1); amp < end; amp = tag.find('&', amp + 1)) {
      const auto ref = resolver.at(tag, amp);
      if (!ref) continue;
      out.literal(tag.substr(run, amp - run));
      out.entity(*ref, quote);
      amp += ref->name.size() + 1;
      run = amp + 1;
    }
    if (close == std::string_view::npos) break;
    i = close + 1;
  }
  out.literal(tag.substr(run));
}

// Edits to make to the tags of a text as it is expanded. Positions are in
// the whole document; the text walked begins at `offset` in it.
struct TagEdits {
  const std::vector<Edit>& edits;
  size_t offset = 0;
  size_t next = 0;         // the first edit not made yet
  bool misplaced = false;  // an edit is not inside one start or empty tag

  // The tag [begin, end) of the walked text with the edits inside it made;
  // nothing when no edit begins in it.
  std::optional<std::string> edit_tag(std::string_view text, size_t begin, size_t end) {
    if (misplaced || next == edits.size() || edits[next].begin >= offset + end) return std::nullopt;
    if (edits[next].begin < offset + begin) {
      misplaced = true;
      return std::nullopt;
    }
    std::string tag;
    size_t at = begin;
    for (; next < edits.size() && edits[next].begin < offset + end; ++next) {
      const Edit& e = edits[next];
      if (e.end > offset + end || e.begin < offset + at) {
        misplaced = true;
        return std::nullopt;
      }
      tag.append(text.substr(at, e.begin - offset - at));
      tag.append(e.with);
      at = e.end - offset;
    }
    tag.append(text.substr(at, end - at));
    return tag;
  }
};

// The markup visitor of an expansion: each markup, in document order, until
// one never ends (as a walk with `next_markup` meets them).
struct MarkupVisits {
  MarkupVisitor visit;
  size_t offset = 0;  // of the text being expanded in the whole text
  bool ended = false;
};

// Expands the references in text content and attribute values; comments,
// CDATA sections, instructions and declarations are copied as written.
// With `tag_edits`, start and empty tags are edited before they are
// expanded; with `visits`, every markup is shown to the visitor first.
template <class Out>
void expand_document(std::string_view text, Resolver& resolver, Out& out, TagEdits* tag_edits = nullptr,
                     MarkupVisits* visits = nullptr) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t next = find_either(text, i, '<', '&');
    if (next == std::string_view::npos) {
      out.literal(text.substr(i));
      return;
    }
    out.literal(text.substr(i, next - i));
    i = next;
    if (text[i] == '&') {
      if (const auto ref = resolver.at(text, i)) {
        out.entity(*ref, 0);
        i += ref->name.size() + 2;
      } else {
        out.literal(text.substr(i, 1));  // the text's own byte: it joins the run
        ++i;
      }
      continue;
    }
    const auto m = next_markup(text, i);
    if (!m || m->begin != i) {
      if (visits != nullptr) visits->ended = true;
      out.literal(text.substr(i, 1));
      ++i;
      continue;
    }
    if (visits != nullptr && !visits->ended) {
      visits->visit(Markup{.begin = m->begin + visits->offset, .end = m->end + visits->offset, .kind = m->kind});
    }
    const std::string_view whole = text.substr(m->begin, m->end - m->begin);
    if (m->kind == MarkupKind::StartTag || m->kind == MarkupKind::EmptyTag) {
      if (auto edited = tag_edits ? tag_edits->edit_tag(text, m->begin, m->end) : std::nullopt) {
        expand_tag(*edited, resolver, out);
        out.flush();  // the edited tag goes now
      } else {
        expand_tag(whole, resolver, out);
      }
    } else {
      out.literal(whole);
    }
    i = m->end;
  }
}

Error expanded_size_error(uint64_t size, uint64_t limit) {
  return Error::parse(fmt::format("expanded RDF/XML size {} exceeds limit of {} bytes", size, limit));
}

}  // namespace

EntityTable read_entity_declarations(std::string_view text) {
  EntityTable table;
  const auto doctype = find_doctype(text);
  if (!doctype) return table;
  const std::string_view decl = text.substr(doctype->begin, doctype->end - doctype->begin);
  // The internal subset opens at the first '[' outside quotes.
  char quote = 0;
  size_t open = std::string_view::npos;
  for (size_t i = 0; i < decl.size() && open == std::string_view::npos; ++i) {
    if (quote != 0) {
      if (decl[i] == quote) quote = 0;
    } else if (decl[i] == '"' || decl[i] == '\'') {
      quote = decl[i];
    } else if (decl[i] == '[') {
      open = i;
    }
  }
  if (open == std::string_view::npos) return table;
  const std::string_view subset = decl.substr(open + 1);
  size_t i = 0;
  while (i < subset.size()) {
    if (subset[i] == ']') break;
    if (starts_with_at(subset, i, "<!--")) {
      const size_t end = subset.find("-->", i + 4);
      i = end == std::string_view::npos ? subset.size() : end + 3;
    } else if (starts_with_at(subset, i, "<?")) {
      const size_t end = subset.find("?>", i + 2);
      i = end == std::string_view::npos ? subset.size() : end + 2;
    } else if (starts_with_at(subset, i, "<!ENTITY")) {
      i = read_entity_declaration(subset, i + 8, table);
    } else if (subset[i] == '<') {
      i = quoted_tag_end(subset, i).value_or(subset.size());
    } else {
      ++i;
    }
  }
  return table;
}

std::string strip_xml_internal_subset(std::string_view text) {
  const auto doctype = find_doctype(text);
  if (!doctype) return std::string(text);
  std::string out;
  out.reserve(text.size() - (doctype->end - doctype->begin));
  out.append(text.substr(0, doctype->begin));
  out.append(text.substr(doctype->end));
  return out;
}

std::optional<std::string_view> entity_reference_at(std::string_view text, size_t pos, const EntityTable& table) {
  static constexpr std::array<std::string_view, 5> kPredefined = {"lt", "gt", "amp", "quot", "apos"};
  if (pos >= text.size() || text[pos] != '&') return std::nullopt;
  size_t end = pos + 1;
  while (end < text.size() && text[end] != ';') {
    const char c = text[end];
    if (is_xml_space(c) || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'' || c == '#') return std::nullopt;
    ++end;
  }
  if (end >= text.size() || end == pos + 1) return std::nullopt;
  const std::string_view name = text.substr(pos + 1, end - pos - 1);
  if (std::ranges::find(kPredefined, name) != kPredefined.end()) return std::nullopt;
  const auto it = table.find(map_key(name));
  if (it == table.end()) return std::nullopt;
  return std::string_view(it->first);
}

EntityMeasures measure_entities(const EntityTable& table) {
  EntityMeasures done;
  absl::flat_hash_map<std::string_view, bool> open;  // entities on the stack
  for (const auto& [root_name, root_value] : table) {
    if (done.contains(map_key(root_name))) continue;
    std::vector<Frame> stack{{.name = root_name, .value = root_value}};
    open[root_name] = true;
    while (!stack.empty()) {
      Frame& f = stack.back();
      const size_t amp = f.value.find('&', f.pos);
      if (amp == std::string_view::npos) {
        add_literal(f.measure, f.value.substr(f.pos));
        f.measure.depth = sat_add(f.child_depth, 1);
        const EntityMeasure finished = f.measure;
        const std::string_view name = f.name;
        open.erase(name);
        done.insert_or_assign(std::string(name), finished);
        stack.pop_back();
        if (!stack.empty()) add_child(stack.back(), finished);
        continue;
      }
      add_literal(f.measure, f.value.substr(f.pos, amp - f.pos));
      const auto ref = entity_reference_at(f.value, amp, table);
      if (!ref) {
        add_literal(f.measure, "&");
        f.pos = amp + 1;
        continue;
      }
      f.pos = amp + ref->size() + 2;
      if (open.contains(*ref)) {
        // A cycle: the reference stays as written.
        f.measure.cyclic = true;
        add_literal(f.measure, f.value.substr(amp, ref->size() + 2));
      } else if (const auto it = done.find(map_key(*ref)); it != done.end()) {
        add_child(f, it->second);
      } else {
        open[*ref] = true;
        stack.push_back(Frame{.name = *ref, .value = table.find(map_key(*ref))->second});
      }
    }
  }
  return done;
}

std::optional<std::string> expand_entity_text(std::string_view value, const EntityTable& table,
                                              const EntityMeasures& measures, uint64_t max_bytes) {
  const auto walk = [&](auto& out) {
    size_t run = 0;
    for (size_t i = value.find('&'); i != std::string_view::npos; i = value.find('&', i + 1)) {
      const auto ref = entity_reference_at(value, i, table);
      if (!ref) continue;
      const EntityMeasure& m = measures.find(map_key(*ref))->second;
      if (m.cyclic) return false;
      out.literal(value.substr(run, i - run));
      out.entity(Resolved{.name = *ref, .value = &table.find(map_key(*ref))->second, .measure = &m}, 0);
      i += ref->size() + 1;
      run = i + 1;
    }
    out.literal(value.substr(std::min(run, value.size())));
    return true;
  };
  CostCounter cost{.measures = measures};
  if (!walk(cost) || cost.bytes > max_bytes || cost.replacements > kMaxReplacements) return std::nullopt;
  TextBuilder builder{.table = table, .measures = measures};
  builder.out.reserve(cost.bytes);
  walk(builder);
  builder.flush();
  return std::move(builder.out);
}

}  // namespace rdfxml

namespace rdfxml {
namespace {

// The expansion of the text with `edits` made first (no edits: the text as
// it is), or nothing when an edit is not where it can be made on the way;
// the text is taken only when there is an answer.
std::optional<Result<std::string>> expand_edited(std::string& text, const std::vector<Edit>& edits,
                                                 uint64_t max_expanded_bytes, MarkupVisits* visits = nullptr) {
  const auto doctype = find_doctype(text);
  const EntityTable table = read_entity_declarations(text);
  // A visitor walks with the expansion only: a text without entities is
  // not walked here.
  if (visits != nullptr && table.empty()) return std::nullopt;
  if (table.empty()) {
    std::string stripped;
    if (!doctype) {
      stripped = apply_edits(std::move(text), edits);
    } else if (edits.empty() || edits.front().begin >= doctype->end) {
      // The DOCTYPE goes in the same copy as the edits.
      std::vector<Edit> all;
      all.reserve(edits.size() + 1);
      all.push_back({doctype->begin, doctype->end, ""});
      all.insert(all.end(), edits.begin(), edits.end());
      stripped = apply_edits(std::move(text), all);
    } else {
      return std::nullopt;
    }
    if (stripped.size() > max_expanded_bytes) return std::unexpected(expanded_size_error(stripped.size(), max_expanded_bytes));
    return stripped;
  }
  const EntityMeasures measures = measure_entities(table);
  uint64_t depth = 0;
  for (const auto& [name, m] : measures) depth = std::max(depth, m.depth);
  if (depth > kMaxEntityDepth) {
    if (visits != nullptr) return std::nullopt;
    return std::unexpected(
        Error::parse(fmt::format("entity definition nesting depth {} exceeds limit of {}", depth, kMaxEntityDepth)));
  }
  // The text around the DOCTYPE (declarations come only from one, so it exists).
  const std::string_view whole = text;
  const std::string_view prolog = whole.substr(0, doctype->begin);
  const std::string_view body = whole.substr(doctype->end);
  Resolver resolver(table, measures);
  TagEdits tag_edits{.edits = edits, .offset = doctype->end};
  const auto expand = [&](auto& out) {
    if (visits != nullptr) visits->offset = 0;
    expand_document(prolog, resolver, out, nullptr, visits);
    if (visits != nullptr) visits->offset = doctype->end;
    expand_document(body, resolver, out, edits.empty() && visits == nullptr ? nullptr : &tag_edits, visits);
  };
  CheckedBuilder builder{.cost = {.measures = measures},
                         .text = {.table = table, .measures = measures},
                         .max_bytes = max_expanded_bytes};
  // References in the document make the text longer, and growing a string
  // of this size midway copies all of it: room for twice the text is asked
  // for at once (pages never written cost no memory).
  builder.text.out.reserve(std::min<uint64_t>(sat_mul(text.size(), 2), max_expanded_bytes));
  expand(builder);
  if (tag_edits.misplaced || tag_edits.next != edits.size()) return std::nullopt;
  switch (builder.stop) {
    case CheckedBuilder::Stop::Replacements:
      return std::unexpected(
          Error::parse(fmt::format("entity expansion replacement count exceeds limit of {}", kMaxReplacements)));
    case CheckedBuilder::Stop::Size:
      return std::unexpected(Error::parse(
          fmt::format("expanded RDF/XML size exceeds limit of {} bytes during entity expansion", max_expanded_bytes)));
    case CheckedBuilder::Stop::None: break;
  }
  builder.flush();
  return std::move(builder.text.out);
}

}  // namespace

std::optional<Result<std::string>> expand_xml_entities_editing_tags(std::string& text, std::vector<Edit>& edits,
                                                                    MarkupVisitor visit, uint64_t max_expanded_bytes) {
  MarkupVisits visits{.visit = visit};
  return expand_edited(text, edits, max_expanded_bytes, &visits);
}

Result<std::string> expand_xml_entities_after_edits(std::string text, const std::vector<Edit>& edits,
                                                    uint64_t max_expanded_bytes) {
  if (edits.empty()) return expand_xml_entities_with_limit(std::move(text), max_expanded_bytes);
  if (auto done = expand_edited(text, edits, max_expanded_bytes)) return std::move(*done);
  return expand_xml_entities_with_limit(apply_edits(std::move(text), edits), max_expanded_bytes);
}

}  // namespace rdfxml

Result<std::string> expand_xml_entities_with_limit(std::string text, uint64_t max_expanded_bytes) {
  // Without edits there is always an answer.
  return *rdfxml::expand_edited(text, {}, max_expanded_bytes);
}

}  // namespace trelvanic_parser
