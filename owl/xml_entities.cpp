#include "owl/xml_entities.h"

#include <climits>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

namespace trelvanic_owl {
namespace {

constexpr uint64_t kUnbounded = std::numeric_limits<uint64_t>::max();

uint64_t add(uint64_t a, uint64_t b) { return a > kUnbounded - b ? kUnbounded : a + b; }
uint64_t times(uint64_t a, uint64_t n) { return n != 0 && a > kUnbounded / n ? kUnbounded : a * n; }

// The offset just past the '>' that closes the DOCTYPE starting at `start`
// (brackets of the internal subset and quoted text skipped), or npos.
size_t doctype_end(std::string_view text, size_t start) {
  int depth = 0;
  char quote = 0;
  for (size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[') {
      ++depth;
    } else if (c == ']') {
      --depth;
    } else if (c == '>' && depth <= 0) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

// Calls `on_ref(name)` for every "&name;" of `text` that is not a
// character reference.
template <class OnRef>
void for_each_reference(std::string_view text, OnRef&& on_ref) {
  size_t at = 0;
  while ((at = text.find('&', at)) != std::string_view::npos) {
    const size_t end = text.find_first_of("&; \t\r\n<>\"'", at + 1);
    if (end == std::string_view::npos) return;
    if (text[end] == ';' && end > at + 1 && text[at + 1] != '#') on_ref(text.substr(at + 1, end - at - 1));
    at = end;
  }
}

struct Entity {
  std::string_view content;
  uint64_t expanded = 0;
  enum class State : uint8_t { Open, Visiting, Done } state = State::Open;
};
using EntityTable = absl::flat_hash_map<std::string, Entity>;

// This abseil's string_view is its own type.
absl::string_view key(std::string_view text) { return {text.data(), text.size()}; }

void collect_entity(void* payload, void* data, const xmlChar* name) {
  auto* ent = static_cast<xmlEntityPtr>(payload);
  if (ent == nullptr || name == nullptr || ent->etype != XML_INTERNAL_GENERAL_ENTITY) return;
  std::string_view content;
  if (ent->content != nullptr) content = {reinterpret_cast<const char*>(ent->content), static_cast<size_t>(ent->length)};
  (*static_cast<EntityTable*>(data))[reinterpret_cast<const char*>(name)] = Entity{content};
}

// Expanded length of every entity, children first with an explicit stack
// (definitions may nest as deep as the document likes).
void expand_all(EntityTable& table) {
  for (auto& [root_name, root] : table) {
    if (root.state == Entity::State::Done) continue;
    std::vector<Entity*> stack{&root};
    while (!stack.empty()) {
      Entity* e = stack.back();
      if (e->state == Entity::State::Open) {
        e->state = Entity::State::Visiting;
        for_each_reference(e->content, [&](std::string_view ref) {
          auto it = table.find(key(ref));
          if (it != table.end() && it->second.state == Entity::State::Open) stack.push_back(&it->second);
        });
        continue;
      }
      stack.pop_back();
      if (e->state == Entity::State::Done) continue;
      uint64_t size = e->content.size();
      for_each_reference(e->content, [&](std::string_view ref) {
        auto it = table.find(key(ref));
        if (it == table.end()) return;
        // a reference to an entity still being expanded is a cycle
        const uint64_t inner = it->second.state == Entity::State::Done ? it->second.expanded : kUnbounded;
        size = add(size, inner);
      });
      e->expanded = size;
      e->state = Entity::State::Done;
    }
  }
}

struct DocDeleter {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

xmlParserInputPtr refuse_external_entity(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

}  // namespace

ExternalEntityGuard::ExternalEntityGuard() : previous_(xmlGetExternalEntityLoader()) {
  xmlSetExternalEntityLoader(refuse_external_entity);
}

ExternalEntityGuard::~ExternalEntityGuard() { xmlSetExternalEntityLoader(previous_); }

uint64_t xml_expanded_size(std::string_view text) {
  const size_t doctype = text.find("<!DOCTYPE");
  if (doctype == std::string_view::npos) return text.size();
  const size_t end = doctype_end(text, doctype);
  if (end == std::string_view::npos || text.substr(doctype, end - doctype).find("<!ENTITY") == std::string_view::npos) {
    return text.size();
  }
  // libxml2 reads the prolog with a stand-in root element: it resolves
  // parameter entities in the internal subset and records each entity's
  // replacement text, general references left in place.
  std::string prolog(text.substr(0, end));
  prolog += "<x/>";
  if (prolog.size() > static_cast<size_t>(INT_MAX)) return kUnbounded;
  xmlInitParser();
  std::unique_ptr<xmlDoc, DocDeleter> doc(xmlReadMemory(prolog.data(), static_cast<int>(prolog.size()), nullptr,
                                                        nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR |
                                                                     XML_PARSE_NOWARNING));
  if (!doc || doc->intSubset == nullptr || doc->intSubset->entities == nullptr) return text.size();
  EntityTable table;
  xmlHashScan(static_cast<xmlHashTablePtr>(doc->intSubset->entities), collect_entity, &table);
  if (table.empty()) return text.size();
  expand_all(table);
  absl::flat_hash_map<std::string_view, uint64_t> uses;
  for_each_reference(text.substr(end), [&](std::string_view ref) {
    if (table.contains(key(ref))) ++uses[ref];
  });
  uint64_t total = text.size();
  for (const auto& [name, count] : uses) total = add(total, times(table.find(key(name))->second.expanded, count));
  return total;
}

}  // namespace trelvanic_owl

namespace trelvanic_owl {

namespace {

void ignore_message(void* /*ctx*/, const char* /*msg*/, ...) {}

}  // namespace

xmlSAXHandler streaming_sax_handler(startElementNsSAX2Func on_start, endElementNsSAX2Func on_end,
                                    charactersSAXFunc on_text, xmlStructuredErrorFunc on_error) {
  xmlSAXHandler sax;
  xmlSAXVersion(&sax, 2);
  sax.startElementNs = on_start;
  sax.endElementNs = on_end;
  sax.characters = on_text;
  sax.cdataBlock = on_text;
  sax.ignorableWhitespace = on_text;
  sax.comment = nullptr;
  sax.processingInstruction = nullptr;
  sax.serror = on_error;
  sax.error = ignore_message;
  sax.warning = ignore_message;
  return sax;
}

}  // namespace trelvanic_owl
