#include "owl/owlxml_reader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <fmt/format.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include "owl/iri_resolve.h"
#include "owl/node_stack.h"
#include "owl/owlxml_lookahead.h"
#include "owl/owlxml_scan.h"
#include "owl/prefixes.h"
#include "owl/utf8.h"
#include "owl/xml_entities.h"

namespace trelvanic_owl {
namespace {

std::string_view view(const xmlChar* s) {
  return s == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(s));
}

bool is_blank(std::string_view text) { return trim_xml_space(text).empty(); }

std::string_view trim(std::string_view text) { return trim_xml_space(text); }

// How much larger than the document its text may grow through entities.
constexpr uint64_t kMaxAmplification = 64;
constexpr uint64_t kAmplificationSlack = uint64_t{16} << 20;

struct Failure {
  ErrorKind kind;
  std::string message;
};

struct XmlError {
  bool set = false;
  std::string message;
  uint32_t line = 0;
  uint32_t column = 0;
};

void record_xml_error(void* data, xmlErrorPtr error) {
  auto* out = static_cast<XmlError*>(data);
  if (out->set || error == nullptr || error->level < XML_ERR_ERROR) return;
  out->set = true;
  std::string_view text = error->message != nullptr ? std::string_view(error->message) : "malformed XML";
  out->message.assign(trim(text));
  out->line = error->line > 0 ? static_cast<uint32_t>(error->line) : 0;
  out->column = error->int2 > 0 ? static_cast<uint32_t>(error->int2) : 0;
}

// What an open element of the document is, besides a construct on the stack.
enum class ElementRole : uint8_t {
  Root,          // Ontology
  Construct,     // a kind on the node stack
  Leaf,          // an entity, Variable or AnonymousIndividual made at its start
  Prefix,        // Prefix
  Import,        // Import: the text is an IRI
  IriText,       // IRI: the text is an IRI
  AbbreviatedIriText,
  LiteralText,   // Literal
};

struct Element {
  ElementRole role;
  NodeId leaf = NodeId();
  IriId datatype = IriId();
  TextId language = TextId();
  uint32_t line = 0;  // of the start tag
};

struct Attributes {
  std::string_view iri, abbreviated_iri, cardinality, datatype_iri, lang, node_id, facet, ontology_iri,
      version_iri, base, name;
};

class OwlXmlReader {
 public:
  explicit OwlXmlReader(const ReaderSettings& settings)
      : stack_(out_, settings.max_depth == 0 ? 1 : settings.max_depth), cancelled_(settings.cancel),
        prefixes_(standard_prefixes()) {
    out_.begin_bulk_load();
  }

  // The SAX2 events of libxml2, in document order.
  // The line of the event being handled; an end tag's errors are reported
  // at its start tag.
  [[nodiscard]] uint32_t line() const { return line_; }

  void on_start(uint32_t line, const xmlChar* local, const xmlChar* uri, int nb_attributes,
                const xmlChar** attributes) {
    line_ = line;
    if (cancelled_()) throw Failure{ErrorKind::Internal, std::string(kCancelledText)};
    if (skip_depth_ > 0) {
      ++skip_depth_;
      return;
    }
    start_element(view(uri), view(local), read_attributes(nb_attributes, attributes));
  }

  // The events of the plain scanner (every element in the OWL namespace;
  // no positions: an error found on this road is reported by a second read
  // through libxml2).
  void on_plain_start(std::string_view name, std::span<const PlainAttribute> attributes) {
    if (cancelled_()) throw Failure{ErrorKind::Internal, std::string(kCancelledText)};
    if (lookahead_) lookahead_->run(static_cast<size_t>(name.data() - document_.data()));
    start_element(kOwlNamespace, name, read_attributes(attributes));
    // Past the root, the base is known.
    if (!lookahead_) lookahead_.emplace(document_, base_.empty() ? nullptr : &resolver_, out_);
  }
  // The plain document the events come from.
  void begin_plain(std::string_view document) { document_ = document; }
  void on_plain_end() { end_element(); }
  void on_plain_text(std::string_view value) { text(value); }

  void on_end() {
    if (skip_depth_ > 0) {
      --skip_depth_;
      return;
    }
    if (!elements_.empty()) line_ = elements_.back().line;
    end_element();
  }

  void on_text(uint32_t line, std::string_view value) {
    line_ = line;
    if (skip_depth_ == 0) text(value);
  }

  Ontology finish() {
    if (!seen_root_) throw Failure{ErrorKind::Syntax, "the document has no Ontology element"};
    out_.finish_bulk_load();
    return std::move(out_);
  }

 private:
  [[noreturn]] static void fail(std::string message) { throw Failure{ErrorKind::Syntax, std::move(message)}; }
  static void check(std::expected<void, std::string> r) {
    if (!r) {
      ErrorKind kind = r.error().starts_with("nesting deeper") ? ErrorKind::Limit : ErrorKind::Syntax;
      throw Failure{kind, std::move(r.error())};
    }
  }

  // Attributes without a prefix, and xml:lang and xml:base; libxml2 hands
  // them over as (local name, prefix, namespace, value, value end).
  static Attributes read_attributes(int count, const xmlChar** attributes) {
    Attributes a;
    for (int i = 0; i < count; ++i) {
      const xmlChar** at = attributes + 5 * i;
      const std::string_view name = view(at[0]);
      const std::string_view value(reinterpret_cast<const char*>(at[3]), static_cast<size_t>(at[4] - at[3]));
      if (at[1] == nullptr) {
        assign_attribute(a, name, value);
      } else if (view(at[1]) == "xml") {
        assign_xml_attribute(a, name, value);
      }
    }
    return a;
  }

  // The same from the plain scanner, which names xml:lang and xml:base with
  // their prefix.
  static Attributes read_attributes(std::span<const PlainAttribute> attributes) {
    Attributes a;
    for (const PlainAttribute& at : attributes) {
      if (at.name.starts_with("xml:")) {
        assign_xml_attribute(a, at.name.substr(4), at.value);
      } else {
        assign_attribute(a, at.name, at.value);
      }
    }
    return a;
  }

  static void assign_xml_attribute(Attributes& a, std::string_view name, std::string_view value) {
    if (name == "lang") a.lang = value;
    else if (name == "base") a.base = value;
  }

  static void assign_attribute(Attributes& a, std::string_view name, std::string_view value) {
    if (name == "IRI") a.iri = value;
    else if (name == "abbreviatedIRI") a.abbreviated_iri = value;
    else if (name == "cardinality") a.cardinality = value;
    else if (name == "datatypeIRI") a.datatype_iri = value;
    else if (name == "nodeID") a.node_id = value;
    else if (name == "facet") a.facet = value;
    else if (name == "ontologyIRI") a.ontology_iri = value;
    else if (name == "versionIRI") a.version_iri = value;
    else if (name == "name") a.name = value;
  }

  IriId resolve_iri(std::string_view iri) {
    iri = trim(iri);
    const std::optional<size_t> hash = lookahead_hash(iri);
    const std::string_view target = attribute_iri(iri, base_.empty() ? nullptr : &resolver_, scratch_);
    if (target.size() > kMaxBuiltIriBytes && target.size() > iri.size()) fail(std::string(kBuiltIriTooLong));
    return hash ? out_.intern_iri(target, *hash) : out_.intern_iri(target);
  }

  // The hash the lookahead computed for an attribute value of the plain
  // document; none for text the reader gathered in its own buffer.
  std::optional<size_t> lookahead_hash(std::string_view value) {
    if (!lookahead_) return std::nullopt;
    const auto at = reinterpret_cast<uintptr_t>(value.data());
    const auto begin = reinterpret_cast<uintptr_t>(document_.data());
    if (at < begin || at - begin > document_.size() || document_.size() - (at - begin) < value.size()) {
      return std::nullopt;
    }
    return lookahead_->hash_at(at - begin, value.size());
  }

  IriId expand_abbreviated(std::string_view name) {
    name = trim(name);
    size_t colon = name.find(':');
    if (colon == std::string_view::npos) fail(fmt::format("malformed abbreviated IRI '{}'", utf8_excerpt(name)));
    auto prefix = prefixes_.find(std::string(name.substr(0, colon)));
    if (prefix == prefixes_.end()) fail(fmt::format("undeclared prefix '{}:'", utf8_excerpt(name.substr(0, colon))));
    if (prefix->second.size() + name.size() - colon - 1 > kMaxBuiltIriBytes) fail(std::string(kBuiltIriTooLong));
    scratch_.assign(prefix->second);
    scratch_.append(name.substr(colon + 1));
    return out_.intern_iri(scratch_);
  }

  // The IRI of an element given by IRI or abbreviatedIRI.
  IriId element_iri(const Attributes& a, std::string_view element) {
    if (!a.iri.empty() || (a.abbreviated_iri.empty() && a.iri.data() != nullptr)) return resolve_iri(a.iri);
    if (!a.abbreviated_iri.empty()) return expand_abbreviated(a.abbreviated_iri);
    fail(fmt::format("{} needs an IRI or abbreviatedIRI attribute", element));
  }

  void start_element(std::string_view ns, std::string_view name, const Attributes& a) {
    if (ns != kOwlNamespace) {
      if (elements_.empty()) fail(fmt::format("the root element is not an OWL Ontology but '{}'", utf8_excerpt(name)));
      // Elements of another vocabulary mean nothing here and are left out,
      // with a note for the load's warnings; one where a component would
      // stand is a lost axiom.
      out_.add_source_note(
          fmt::format("OWL/XML element '{}' of namespace '{}' not mapped", utf8_excerpt(name), utf8_excerpt(ns)),
          stack_.empty());
      skip_depth_ = 1;  // its content goes unread up to its end tag
      return;
    }
    if (elements_.empty()) {
      if (name != "Ontology" || seen_root_) fail(fmt::format("the root element is not an OWL Ontology but '{}'", utf8_excerpt(name)));
      seen_root_ = true;
      start_ontology(a);
      push(Element{ElementRole::Root});
      return;
    }
    if (name == "Prefix") {
      if (a.name.data() == nullptr || a.iri.data() == nullptr) fail("Prefix needs name and IRI attributes");
      prefixes_[std::string(a.name)] = std::string(a.iri);
      out_.set_prefix(a.name, a.iri);
      push(Element{ElementRole::Prefix});
      return;
    }
    if (name == "Import") return push(Element{ElementRole::Import});
    if (name == "IRI") return push(Element{ElementRole::IriText});
    if (name == "AbbreviatedIRI") return push(Element{ElementRole::AbbreviatedIriText});
    if (name == "Literal") {
      Element e{ElementRole::LiteralText};
      if (!a.lang.empty()) {
        e.language = out_.intern_text(a.lang);
      } else if (!a.datatype_iri.empty()) {
        e.datatype = resolve_iri(a.datatype_iri);
      }
      return push(e);
    }
    std::optional<Kind> kind = kind_from_name(name);
    if (!kind || *kind == Kind::Iri || *kind == Kind::Literal || kind_role(*kind) == KindRole::Internal) {
      fail(fmt::format("unknown element '{}'", utf8_excerpt(name)));
    }
    if (stack_.empty() && !is_component(*kind) && !is_entity(*kind)) {
      fail(fmt::format("{} cannot stand at the top level of an ontology", name));
    }
    if (*kind == Kind::AnonymousIndividual) {
      std::string_view label = trim(a.node_id);
      if (label.starts_with("_:")) label.remove_prefix(2);
      if (label.empty()) fail("AnonymousIndividual needs a nodeID attribute");
      return push(Element{ElementRole::Leaf, out_.make_anonymous(out_.intern_text(label))});
    }
    if (is_entity(*kind) || *kind == Kind::Variable) {
      return push(Element{ElementRole::Leaf, out_.make_leaf(*kind, element_iri(a, name))});
    }
    check(stack_.open(*kind));
    if (is_cardinality(*kind)) {
      std::string_view digits = trim(a.cardinality);
      uint32_t n = 0;
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
      if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
        fail(fmt::format("{} needs a non-negative cardinality attribute", name));
      }
      check(stack_.set_number(n));
    } else if (*kind == Kind::FacetRestriction) {
      if (a.facet.empty()) fail("FacetRestriction needs a facet attribute");
      check(stack_.add(out_.make_leaf(Kind::Iri, resolve_iri(a.facet))));
    } else if (*kind == Kind::BuiltInAtom) {
      check(stack_.add(out_.make_leaf(Kind::Iri, element_iri(a, name))));
    }
    push(Element{ElementRole::Construct});
  }

  void start_ontology(const Attributes& a) {
    if (!a.base.empty()) {
      base_.assign(a.base);
    } else if (!a.ontology_iri.empty()) {
      base_.assign(a.ontology_iri);
    }
    resolver_ = BaseResolver(base_);
    NodeId ids[2];
    if (!a.ontology_iri.empty()) ids[0] = out_.make_leaf(Kind::Iri, resolve_iri(a.ontology_iri));
    if (!a.version_iri.empty()) ids[1] = out_.make_leaf(Kind::Iri, resolve_iri(a.version_iri));
    if (ids[0]) out_.add_component(out_.make(Kind::OntologyId, {ids[0].value, ids[1].value}));
  }

  void push(Element element) {
    element.line = line_;
    elements_.push_back(element);
    text_.clear();
  }

  void text(std::string_view value) {
    if (elements_.empty()) return;
    switch (elements_.back().role) {
      case ElementRole::Import:
      case ElementRole::IriText:
      case ElementRole::AbbreviatedIriText:
      case ElementRole::LiteralText:
        text_.append(value);
        return;
      default:
        if (!is_blank(value)) fail("unexpected text");
    }
  }

  void end_element() {
    Element e = elements_.back();
    elements_.pop_back();
    switch (e.role) {
      case ElementRole::Root:
      case ElementRole::Prefix:
        return;
      case ElementRole::Import:
        if (!stack_.empty()) fail("Import cannot stand inside another element");
        out_.add_component(out_.make(Kind::Import, {out_.make_leaf(Kind::Iri, resolve_iri(text_)).value}));
        return;
      case ElementRole::IriText:
        return deliver(out_.make_leaf(Kind::Iri, resolve_iri(text_)));
      case ElementRole::AbbreviatedIriText:
        return deliver(out_.make_leaf(Kind::Iri, expand_abbreviated(text_)));
      case ElementRole::LiteralText:
        return deliver(out_.make_literal(out_.intern_text(text_), e.language, e.datatype));
      case ElementRole::Leaf:
        return deliver(e.leaf);
      case ElementRole::Construct: {
        auto closed = stack_.close();
        if (!closed) fail(std::move(closed.error()));
        if (stack_.empty()) {
          out_.add_component(closed->node, closed->annotations);
        } else {
          check(stack_.add(closed->node));
        }
        return;
      }
    }
  }

  void deliver(NodeId node) {
    if (stack_.empty()) fail(fmt::format("{} cannot stand at the top level of an ontology", describe_node(out_, node)));
    check(stack_.add(node));
  }

  Ontology out_;
  NodeStack stack_;
  CancelCheck cancelled_;
  absl::flat_hash_map<std::string, std::string> prefixes_;
  std::vector<Element> elements_;
  std::string base_;
  BaseResolver resolver_;
  std::string_view document_;
  std::optional<OwlXmlLookahead> lookahead_;  // on the plain road
  std::string text_;
  std::string scratch_;
  bool seen_root_ = false;
  uint32_t line_ = 0;
  uint32_t skip_depth_ = 0;  // open elements of a foreign vocabulary being skipped
};

// What the SAX2 callbacks share: the reader, and the first failure (ours or
// libxml2's), which stops the parser. Nothing thrown crosses libxml2.
struct SaxState {
  xmlParserCtxtPtr ctxt = nullptr;
  OwlXmlReader* owl = nullptr;
  std::optional<Failure> failure;
  uint32_t failure_line = 0;
  XmlError xml_error;

  [[nodiscard]] uint32_t line() const {
    const int n = xmlSAX2GetLineNumber(ctxt);
    return n > 0 ? static_cast<uint32_t>(n) : 0;
  }

  // Runs one event. Entity content is parsed by a context of its own, so
  // the context the event came from is stopped as well as the document's.
  template <class F>
  void guarded(void* ctx, F&& f) {
    if (failure || xml_error.set) {
      xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
      return;
    }
    try {
      f();
    } catch (Failure& e) {
      failure = std::move(e);
      failure_line = owl->line();
      xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
      xmlStopParser(ctxt);
    }
  }
};

SaxState& state_of(void* ctx) { return *static_cast<SaxState*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

void sax_start(void* ctx, const xmlChar* local, const xmlChar* /*prefix*/, const xmlChar* uri, int /*nb_namespaces*/,
               const xmlChar** /*namespaces*/, int nb_attributes, int /*nb_defaulted*/, const xmlChar** attributes) {
  SaxState& st = state_of(ctx);
  st.guarded(ctx, [&] { st.owl->on_start(st.line(), local, uri, nb_attributes, attributes); });
}

void sax_end(void* ctx, const xmlChar* /*local*/, const xmlChar* /*prefix*/, const xmlChar* /*uri*/) {
  SaxState& st = state_of(ctx);
  st.guarded(ctx, [&] { st.owl->on_end(); });
}

void sax_text(void* ctx, const xmlChar* ch, int len) {
  SaxState& st = state_of(ctx);
  st.guarded(ctx, [&] {
    st.owl->on_text(st.line(), std::string_view(reinterpret_cast<const char*>(ch), static_cast<size_t>(len)));
  });
}

void sax_error(void* ctx, xmlErrorPtr error) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  if (ctxt == nullptr || ctxt->_private == nullptr) return;
  SaxState& st = state_of(ctx);
  if (st.failure) return;
  record_xml_error(&st.xml_error, error);
  if (st.xml_error.set) xmlStopParser(ctxt);
}

// The plain scanner's events, handed to the reader.
class PlainEvents final : public PlainXmlSink {
 public:
  explicit PlainEvents(OwlXmlReader& owl) : owl_(owl) {}
  void on_start(std::string_view name, std::span<const PlainAttribute> attributes) override {
    owl_.on_plain_start(name, attributes);
  }
  void on_end() override { owl_.on_plain_end(); }
  void on_text(std::string_view text) override { owl_.on_plain_text(text); }

 private:
  OwlXmlReader& owl_;
};

// The ontology of a plain document (see owlxml_scan.h), or none when the
// document is not plain or has an error: libxml2 then reads it again and
// gives the answer, or the error with its position.
std::optional<Ontology> read_plain(std::string_view text, const ReaderSettings& settings) {
  OwlXmlReader owl(settings);
  owl.begin_plain(text);
  PlainEvents events(owl);
  try {
    if (scan_plain_xml(text, kOwlNamespace, events) == PlainScan::Plain) return owl.finish();
  } catch (const Failure&) {
  }
  return std::nullopt;
}

struct ContextDeleter {
  void operator()(xmlParserCtxtPtr ctxt) const {
    if (ctxt->myDoc != nullptr) xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    xmlFreeParserCtxt(ctxt);
  }
};

}  // namespace

Result<Ontology> read_owlxml(std::string_view text, const ReaderSettings& settings) noexcept {
  try {
    if (text.size() > static_cast<size_t>(INT_MAX)) {
      return std::unexpected(Error(ErrorKind::Limit, "document too large for the XML reader"));
    }
    // A plain document declares no entities: it expands to its own size.
    if (text.size() <= settings.max_expanded_bytes) {
      if (std::optional<Ontology> plain = read_plain(text, settings)) return std::move(*plain);
    }
    const uint64_t expanded = xml_expanded_size(text);
    if (expanded > settings.max_expanded_bytes) {
      return std::unexpected(Error(
          ErrorKind::Limit,
          fmt::format("expanded XML size exceeds limit of {} bytes during entity expansion", settings.max_expanded_bytes)));
    }
    // Without a tree libxml2 parses an entity's text again at every use, so
    // its own amplification check does not see entities of entities; the
    // expanded size bounds them instead.
    if (expanded > kMaxAmplification * uint64_t{text.size()} + kAmplificationSlack) {
      return std::unexpected(Error(ErrorKind::Xml, "Maximum entity amplification factor exceeded"));
    }
    if (text.empty()) return std::unexpected(Error(ErrorKind::Xml, "Document is empty", 1, 1));
    xmlInitParser();
    ExternalEntityGuard guard;
    xmlSAXHandler sax = streaming_sax_handler(sax_start, sax_end, sax_text, sax_error);
    std::unique_ptr<xmlParserCtxt, ContextDeleter> ctxt(
        xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size())));
    if (!ctxt) return std::unexpected(Error(ErrorKind::Internal, "could not create the XML reader"));
    auto* handler = static_cast<xmlSAXHandler*>(xmlMalloc(sizeof(xmlSAXHandler)));
    if (handler == nullptr) return std::unexpected(Error(ErrorKind::Internal, "could not create the XML reader"));
    *handler = sax;
    xmlFree(ctxt->sax);
    ctxt->sax = handler;
    // NOENT substitutes internal entities (which libxml2 bounds against
    // amplification); external ones reach the refusing loader. libxml2's
    // own cap on the element depth stays.
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_BIG_LINES);
    OwlXmlReader owl(settings);
    SaxState state{ctxt.get(), &owl};
    ctxt->_private = &state;
    const int rc = xmlParseDocument(ctxt.get());
    if (state.xml_error.set) {
      return std::unexpected(Error(ErrorKind::Xml, state.xml_error.message, state.xml_error.line, state.xml_error.column));
    }
    if (state.failure) return std::unexpected(Error(state.failure->kind, state.failure->message, state.failure_line));
    if (rc != 0 || !ctxt->wellFormed) return std::unexpected(Error(ErrorKind::Xml, "malformed XML"));
    try {
      return owl.finish();
    } catch (const Failure& f) {
      return std::unexpected(Error(f.kind, f.message, 0));
    }
  } catch (const std::bad_alloc&) {
    return std::unexpected(Error(ErrorKind::Internal, "out of memory while reading OWL/XML"));
  } catch (const std::exception& e) {
    return std::unexpected(Error(ErrorKind::Internal, fmt::format("internal reader failure: {}", e.what())));
  } catch (...) {
    return std::unexpected(Error(ErrorKind::Internal, "internal reader failure"));
  }
}

}  // namespace trelvanic_owl
