#include "rdf/rdfxml_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <absl/container/flat_hash_set.h>
#include <fmt/format.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include "owl/iri_resolve.h"
#include "owl/prefixes.h"
#include "owl/xml_entities.h"
#include "rdf/detail/xml_literal.h"

namespace trelvanic_rdf {

namespace {

constexpr std::size_t kChunkSize = 1 << 16;
constexpr const char* kDefaultBase = "urn:trelvanic:document";
constexpr std::string_view kRdfNs = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kXmlNs = "http://www.w3.org/XML/1998/namespace";

std::string_view sv(const xmlChar* s) {
  return s == nullptr ? std::string_view{} : std::string_view(reinterpret_cast<const char*>(s));
}

// What the children of an open element are.
enum class FrameKind : std::uint8_t {
  Root,           // rdf:RDF: node elements
  Node,           // a node element: property elements about `subject`
  Property,       // a property element: text, or one node element (its object)
  EmptyProperty,  // object given by rdf:resource, rdf:nodeID or property attributes: nothing
  Resource,       // rdf:parseType="Resource": property elements about the blank node `object`
  Collection,     // rdf:parseType="Collection": node elements, the members of a list
  Literal,        // rdf:parseType="Literal": XML content kept as an XML literal
};

struct Frame {
  FrameKind kind;
  bool own_base = false;  // pushed a base of its own (popped with it)
  bool own_lang = false;
  TermId subject;    // Node: the node; property kinds: the subject of the triple
  TermId predicate;  // property kinds
  TermId reify;      // property kinds: the statement named by rdf:ID, or none
  TermId datatype;   // Property: rdf:datatype
  TermId object;     // Property: the node element read; Resource: the blank node;
                     // Collection: the last list cell
  std::uint32_t li = 0;  // Node, Resource: the last rdf:li number given out
};

// The RDF-namespace and XML-namespace attributes of an element, the rest
// by their index in libxml2's attribute array.
struct Attributes {
  std::optional<std::string_view> about, id, node_id, resource, datatype, parse_type, type, base, lang;
  std::vector<int> properties;
};

class Reader {
 public:
  Reader(Graph& graph, const ReadOptions& options, std::size_t text_bytes)
      : graph_(graph), terms_(graph.terms()), options_(options), text_bytes_(text_bytes),
        cancel_(options.cancel) {
    bases_.emplace_back(options.base_iri.empty() ? kDefaultBase : options.base_iri);
    langs_.emplace_back();
    rdf_type_ = rdf_iri("type");
    rdf_first_ = rdf_iri("first");
    rdf_rest_ = rdf_iri("rest");
    rdf_nil_ = rdf_iri("nil");
    rdf_statement_ = rdf_iri("Statement");
    rdf_subject_ = rdf_iri("subject");
    rdf_predicate_ = rdf_iri("predicate");
    rdf_object_ = rdf_iri("object");
    rdf_xml_literal_ = rdf_iri("XMLLiteral");
  }

  xmlParserCtxtPtr ctxt = nullptr;
  std::optional<Error> error;
  ReadStats stats;

  void start_element(const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int nb_namespaces,
                     const xmlChar** namespaces, int nb_attributes, const xmlChar** attributes) {
    if (error) return;
    if (literal_depth_ > 0) {
      ++literal_depth_;
      literal_.start_element(local, prefix, uri, nb_namespaces, namespaces, nb_attributes, attributes);
      return;
    }
    if (uri == nullptr) {
      fail_syntax(fmt::format("element '{}' has no namespace", sv(local)));
      return;
    }
    if (!read_attributes(nb_attributes, attributes)) return;
    const std::optional<FrameKind> parent = frames_.empty() ? std::nullopt : std::optional(frames_.back().kind);
    Frame f{};
    if (attrs_.base) {
      push_base(*attrs_.base);
      f.own_base = true;
    }
    if (attrs_.lang) {
      langs_.emplace_back(*attrs_.lang);
      f.own_lang = true;
    }
    const std::string_view ns = sv(uri);
    const std::string_view name = sv(local);
    if (!parent.has_value() && ns == kRdfNs && name == "RDF") {
      f.kind = FrameKind::Root;
      frames_.push_back(f);
      return;
    }
    if (parent == FrameKind::EmptyProperty || parent == FrameKind::Literal) {
      frames_.push_back(f);
      fail_syntax(fmt::format("element '{}' inside an empty property element", name));
      return;
    }
    const bool node = !parent.has_value() || parent == FrameKind::Root || parent == FrameKind::Property ||
                      parent == FrameKind::Collection;
    if (node) {
      start_node_element(f, ns, name);
    } else {
      start_property_element(f, ns, name);
    }
  }

  void end_element() {
    if (error) return;
    if (literal_depth_ > 1) {
      --literal_depth_;
      literal_.end_element();
      return;
    }
    literal_depth_ = 0;
    if (frames_.empty()) return;
    const Frame f = frames_.back();
    switch (f.kind) {
      case FrameKind::Property:
        if (f.object.value == 0) {
          const TermId lit = f.datatype.value != 0 ? terms_.literal(text_, f.datatype)
                                                   : terms_.literal(text_, {}, langs_.back());
          statement(f, lit);
        }
        break;
      case FrameKind::Collection:
        if (f.object.value == 0) {
          statement(f, rdf_nil_);
        } else {
          add(f.object, rdf_rest_, rdf_nil_);
        }
        break;
      case FrameKind::Literal:
        statement(f, terms_.literal(literal_.lexical(), rdf_xml_literal_));
        break;
      case FrameKind::Root:
      case FrameKind::Node:
      case FrameKind::EmptyProperty:
      case FrameKind::Resource:
        break;
    }
    if (f.own_base) bases_.pop_back();
    if (f.own_lang) langs_.pop_back();
    frames_.pop_back();
    text_.clear();
  }

  void characters(const xmlChar* ch, int len) {
    if (error) return;
    const std::string_view s(reinterpret_cast<const char*>(ch), static_cast<std::size_t>(len));
    if (literal_depth_ > 0) {
      literal_.append_text(s);
    } else if (!frames_.empty() && frames_.back().kind == FrameKind::Property) {
      text_.append(s);
    }
  }

  void xml_error(const xmlError* e) {
    if (error || e == nullptr || e->level < XML_ERR_ERROR) return;
    std::string_view text = e->message != nullptr ? std::string_view(e->message) : "XML error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    error = syntax_error(options_, e->line > 0 ? static_cast<std::uint32_t>(e->line) : 0, 0,
                         fmt::format("XML parser error: {}", text));
    xmlStopParser(ctxt);
  }

  void fail(ErrorKind kind, std::string message) {
    if (error) return;
    error = Error{kind, std::move(message), 0, 0};
    if (ctxt != nullptr) xmlStopParser(ctxt);
  }

 private:
  void fail_syntax(std::string_view text) {
    if (error) return;
    const int line = ctxt != nullptr ? xmlSAX2GetLineNumber(ctxt) : 0;
    const int column = ctxt != nullptr ? xmlSAX2GetColumnNumber(ctxt) : 0;
    error = syntax_error(options_, line > 0 ? static_cast<std::uint32_t>(line) : 0,
                         column > 0 ? static_cast<std::uint32_t>(column) : 0, text);
    if (ctxt != nullptr) xmlStopParser(ctxt);
  }

  TermId rdf_iri(std::string_view local) {
    scratch_.assign(kRdfNs);
    scratch_.append(local);
    return terms_.iri(scratch_);
  }

  // An IRI the reader built (from a namespace and a name, or against a
  // base). A namespace used many times could build gigabytes of long IRIs
  // from a small document, so the distinct IRIs longer than the limit may
  // not add up to more than the document's length; one written out in full
  // pays for itself.
  TermId built_iri(std::string_view text) {
    if (text.size() <= trelvanic_owl::kMaxBuiltIriBytes) return terms_.iri(text);
    if (auto known = terms_.find_iri(text)) return *known;
    long_iri_bytes_ += text.size();
    if (long_iri_bytes_ > text_bytes_) {
      fail(ErrorKind::Limit, std::string(trelvanic_owl::kBuiltIriTooLong));
      return TermId{};
    }
    return terms_.iri(text);
  }

  TermId resolve(std::string_view reference) {
    if (trelvanic_owl::has_iri_scheme(reference)) {
      scratch_.clear();
      trelvanic_owl::resolve_iri_into({}, reference, scratch_);
    } else {
      scratch_.clear();
      trelvanic_owl::resolve_iri_into(bases_.back(), reference, scratch_);
    }
    return built_iri(scratch_);
  }

  TermId rdf_id_iri(std::string_view id) {
    if (!is_xml_name(id)) {
      fail_syntax(fmt::format("Illegal rdf:ID value '{}'", id));
      return TermId{};
    }
    scratch_.clear();
    scratch_.push_back('#');
    scratch_.append(id);
    const std::string ref = scratch_;
    const TermId iri = resolve(ref);
    if (!error && !ids_.insert(iri.value).second) fail_syntax(fmt::format("Duplicated rdf:ID value '{}'", id));
    return iri;
  }

  TermId node_id(std::string_view id) {
    if (!is_xml_name(id)) {
      fail_syntax(fmt::format("Illegal rdf:nodeID value '{}'", id));
      return TermId{};
    }
    return terms_.blank(id);
  }

  TermId fresh() {
    char buf[32];
    const auto r = fmt::format_to_n(buf, sizeof buf, "#g{}", ++next_blank_);
    return terms_.blank(std::string_view(buf, r.size));
  }

  TermId element_iri(std::string_view ns, std::string_view name) {
    scratch_.assign(ns);
    scratch_.append(name);
    return built_iri(scratch_);
  }

  // An XML NCName, by its ASCII characters; other characters pass.
  static bool is_xml_name(std::string_view s) {
    if (s.empty()) return false;
    const auto c0 = static_cast<unsigned char>(s[0]);
    if (!(c0 >= 0x80 || c0 == '_' || ((c0 | 0x20) >= 'a' && (c0 | 0x20) <= 'z'))) return false;
    for (const char ch : s.substr(1)) {
      const auto c = static_cast<unsigned char>(ch);
      if (c >= 0x80 || c == '_' || c == '-' || c == '.' || (c >= '0' && c <= '9') ||
          ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) {
        continue;
      }
      return false;
    }
    return true;
  }

  void push_base(std::string_view value) {
    std::string next;
    trelvanic_owl::resolve_iri_into(bases_.back(), value, next);
    bases_.push_back(std::move(next));
  }

  void add(TermId s, TermId p, TermId o) {
    if (error) return;
    if (cancel_()) {
      fail(ErrorKind::Internal, std::string(kCancelledText));
      return;
    }
    ++stats.triples;
    graph_.add(s, p, o);
  }

  // The triple of a property element, and its reification when the
  // element carries rdf:ID.
  void statement(const Frame& f, TermId object) {
    if (error || object.value == 0) return;
    add(f.subject, f.predicate, object);
    if (f.reify.value == 0) return;
    add(f.reify, rdf_type_, rdf_statement_);
    add(f.reify, rdf_subject_, f.subject);
    add(f.reify, rdf_predicate_, f.predicate);
    add(f.reify, rdf_object_, object);
  }

  bool read_attributes(int count, const xmlChar** a) {
    std::vector<int> properties = std::move(attrs_.properties);
    properties.clear();
    attrs_ = Attributes{};
    attrs_.properties = std::move(properties);
    for (int i = 0; i < count; ++i) {
      const xmlChar** at = a + 5 * i;
      const std::string_view name = sv(at[0]);
      const std::string_view ns = sv(at[2]);
      const std::string_view value(reinterpret_cast<const char*>(at[3]), static_cast<std::size_t>(at[4] - at[3]));
      if (ns == kRdfNs || (ns.empty() && at[2] == nullptr)) {
        if (name == "about") {
          attrs_.about = value;
        } else if (name == "ID") {
          attrs_.id = value;
        } else if (name == "nodeID") {
          attrs_.node_id = value;
        } else if (name == "resource") {
          attrs_.resource = value;
        } else if (name == "datatype") {
          attrs_.datatype = value;
        } else if (name == "parseType") {
          attrs_.parse_type = value;
        } else if (ns.empty()) {
          continue;  // other attributes without a namespace carry nothing
        } else if (name == "type") {
          attrs_.type = value;
          attrs_.properties.push_back(i);
        } else if (name == "li" || name == "RDF" || name == "aboutEach" || name == "aboutEachPrefix" ||
                   name == "bagID" || name == "Description") {
          fail_syntax(fmt::format("rdf:{} is not allowed as an attribute", name));
          return false;
        } else {
          attrs_.properties.push_back(i);
        }
      } else if (ns == kXmlNs) {
        if (name == "base") attrs_.base = value;
        if (name == "lang") attrs_.lang = value;
      } else if (sv(at[1]).starts_with("xml") || name.starts_with("xml")) {
        continue;  // names starting with "xml" are reserved
      } else {
        attrs_.properties.push_back(i);
      }
    }
    return true;
  }

  // The property attributes of the element: a literal each, rdf:type an
  // IRI.
  void property_attributes(TermId subject, const xmlChar** a) {
    for (const int i : attrs_.properties) {
      const xmlChar** at = a + 5 * i;
      const std::string_view ns = sv(at[2]);
      const std::string_view name = sv(at[0]);
      const std::string_view value(reinterpret_cast<const char*>(at[3]), static_cast<std::size_t>(at[4] - at[3]));
      if (ns == kRdfNs && name == "type") {
        add(subject, rdf_type_, resolve(value));
      } else {
        const TermId p = element_iri(ns, name);
        add(subject, p, terms_.literal(value, {}, langs_.back()));
      }
    }
  }

  void start_node_element(Frame f, std::string_view ns, std::string_view name) {
    if (ns == kRdfNs && (name == "li" || name == "RDF" || name == "ID" || name == "about" ||
                         name == "parseType" || name == "resource" || name == "nodeID" ||
                         name == "datatype" || name == "aboutEach" || name == "bagID")) {
      frames_.push_back(f);
      fail_syntax(fmt::format("rdf:{} is not allowed as a node element", name));
      return;
    }
    if (attrs_.about) {
      f.subject = resolve(*attrs_.about);
    } else if (attrs_.id) {
      f.subject = rdf_id_iri(*attrs_.id);
    } else if (attrs_.node_id) {
      f.subject = node_id(*attrs_.node_id);
    } else {
      f.subject = fresh();
    }
    f.kind = FrameKind::Node;
    if (!frames_.empty()) {
      Frame& parent = frames_.back();
      if (parent.kind == FrameKind::Property) {
        parent.object = f.subject;
        statement(parent, f.subject);
      } else if (parent.kind == FrameKind::Collection) {
        const TermId cell = fresh();
        if (parent.object.value == 0) {
          statement(parent, cell);
        } else {
          add(parent.object, rdf_rest_, cell);
        }
        add(cell, rdf_first_, f.subject);
        parent.object = cell;
      }
    }
    frames_.push_back(f);
    if (!(ns == kRdfNs && name == "Description")) add(f.subject, rdf_type_, element_iri(ns, name));
    property_attributes(f.subject, current_attributes_);
  }

  void start_property_element(Frame f, std::string_view ns, std::string_view name) {
    Frame& parent = frames_.back();
    f.subject = parent.object.value != 0 && parent.kind == FrameKind::Resource ? parent.object : parent.subject;
    if (ns == kRdfNs && name == "li") {
      f.predicate = rdf_iri(fmt::format("_{}", ++parent.li));
    } else if (ns == kRdfNs && (name == "RDF" || name == "Description" || name == "ID" || name == "about" ||
                                name == "parseType" || name == "resource" || name == "nodeID" ||
                                name == "datatype" || name == "aboutEach" || name == "bagID")) {
      frames_.push_back(f);
      fail_syntax(fmt::format("rdf:{} is not allowed as a property element", name));
      return;
    } else {
      f.predicate = element_iri(ns, name);
    }
    if (attrs_.id) f.reify = rdf_id_iri(*attrs_.id);
    if (error) return;
    text_.clear();
    if (attrs_.parse_type) {
      const std::string_view type = *attrs_.parse_type;
      if (type == "Resource") {
        f.kind = FrameKind::Resource;
        f.object = fresh();
        statement(f, f.object);
      } else if (type == "Collection") {
        f.kind = FrameKind::Collection;
      } else {
        f.kind = FrameKind::Literal;
        literal_depth_ = 1;
        literal_.clear();
      }
      frames_.push_back(f);
      return;
    }
    if (attrs_.resource || attrs_.node_id || !attrs_.properties.empty()) {
      f.kind = FrameKind::EmptyProperty;
      TermId object;
      if (attrs_.resource) {
        object = resolve(*attrs_.resource);
      } else if (attrs_.node_id) {
        object = node_id(*attrs_.node_id);
      } else {
        object = fresh();
      }
      frames_.push_back(f);
      statement(f, object);
      property_attributes(object, current_attributes_);
      return;
    }
    f.kind = FrameKind::Property;
    if (attrs_.datatype) f.datatype = resolve(*attrs_.datatype);
    frames_.push_back(f);
  }

 public:
  const xmlChar** current_attributes_ = nullptr;

 private:
  Graph& graph_;
  TermTable& terms_;
  const ReadOptions& options_;
  std::size_t text_bytes_;
  std::size_t long_iri_bytes_ = 0;
  CancelCheck cancel_;
  std::vector<Frame> frames_;
  std::vector<std::string> bases_;
  std::vector<std::string> langs_;
  Attributes attrs_;
  std::string text_;
  std::string scratch_;
  detail::XmlLiteralWriter literal_;
  int literal_depth_ = 0;
  unsigned long next_blank_ = 0;
  absl::flat_hash_set<std::uint32_t> ids_;
  TermId rdf_type_, rdf_first_, rdf_rest_, rdf_nil_, rdf_statement_, rdf_subject_, rdf_predicate_,
      rdf_object_, rdf_xml_literal_;
};

Reader* reader_of(void* ctx) {
  return static_cast<Reader*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

void on_start(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int nb_namespaces,
              const xmlChar** namespaces, int nb_attributes, int /*nb_defaulted*/, const xmlChar** attributes) {
  Reader* r = reader_of(ctx);
  try {
    r->current_attributes_ = attributes;
    r->start_element(local, prefix, uri, nb_namespaces, namespaces, nb_attributes, attributes);
  } catch (...) {
    r->fail(ErrorKind::Internal, "out of memory while reading RDF/XML");
  }
}

void on_end(void* ctx, const xmlChar* /*local*/, const xmlChar* /*prefix*/, const xmlChar* /*uri*/) {
  Reader* r = reader_of(ctx);
  try {
    r->end_element();
  } catch (...) {
    r->fail(ErrorKind::Internal, "out of memory while reading RDF/XML");
  }
}

void on_characters(void* ctx, const xmlChar* ch, int len) {
  Reader* r = reader_of(ctx);
  try {
    r->characters(ch, len);
  } catch (...) {
    r->fail(ErrorKind::Internal, "out of memory while reading RDF/XML");
  }
}

void on_error(void* ctx, xmlError* e) {
  auto* c = static_cast<xmlParserCtxtPtr>(ctx);
  if (c == nullptr || c->_private == nullptr) return;
  Reader* r = static_cast<Reader*>(c->_private);
  try {
    r->xml_error(e);
  } catch (...) {
    r->fail(ErrorKind::Internal, "out of memory while reading RDF/XML");
  }
}

// The element depth, measured before parsing by jumping from one '<' to the
// next: comments, processing instructions, CDATA sections and declarations
// are skipped, quoted attribute values may hold '>'. Malformed markup is
// left for the parser to report.
std::expected<void, Error> check_element_depth(std::string_view text, const ReadOptions& options) {
  std::size_t depth = 0;
  std::size_t pos = 0;
  auto skip_past = [&](std::string_view end) {
    const std::size_t at = text.find(end, pos);
    pos = at == std::string_view::npos ? text.size() : at + end.size();
  };
  while ((pos = text.find('<', pos)) != std::string_view::npos) {
    const std::size_t start = pos;
    const std::string_view rest = text.substr(pos);
    if (rest.starts_with("<!--")) {
      skip_past("-->");
    } else if (rest.starts_with("<![CDATA[")) {
      skip_past("]]>");
    } else if (rest.starts_with("<?")) {
      skip_past("?>");
    } else if (rest.starts_with("<!")) {
      skip_past(">");  // DOCTYPE; an internal subset's own '>'s only lower the count
    } else if (rest.starts_with("</")) {
      if (depth > 0) --depth;
      skip_past(">");
    } else {
      // A start tag: find its end outside quoted attribute values.
      char quote = 0;
      std::size_t i = pos + 1;
      for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          break;
        }
      }
      const bool self_closing = i < text.size() && i > pos + 1 && text[i - 1] == '/';
      pos = i + 1;
      if (!self_closing && ++depth > kMaxElementDepth) {
        const auto [line, column] = line_column(text, start);
        Error e = syntax_error(options, line, column,
                               fmt::format("elements nested deeper than {} levels", kMaxElementDepth));
        e.kind = ErrorKind::Limit;
        return std::unexpected(std::move(e));
      }
    }
  }
  return {};
}

struct ContextHandle {
  xmlParserCtxtPtr ctxt = nullptr;
  ~ContextHandle() {
    if (ctxt == nullptr) return;
    if (ctxt->myDoc != nullptr) xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    xmlFreeParserCtxt(ctxt);
  }
};

}  // namespace

std::expected<ReadStats, Error> read_rdfxml(std::string_view text, Graph& graph,
                                            const ReadOptions& options) {
  if (auto ok = check_no_nul(text, options); !ok) return std::unexpected(std::move(ok.error()));
  if (auto ok = check_utf8(text, options); !ok) return std::unexpected(std::move(ok.error()));
  if (auto ok = check_element_depth(text, options); !ok) {
    return std::unexpected(std::move(ok.error()));
  }
  // libxml2 replaces entities as it goes: a small document may ask for
  // gigabytes of them.
  if (trelvanic_owl::xml_expanded_size(text) > options.max_expanded_bytes) {
    return make_error(ErrorKind::Limit, fmt::format("expanded RDF/XML size exceeds limit of {} bytes during entity "
                                                    "expansion", options.max_expanded_bytes));
  }
  if (!options.base_iri.empty() && !trelvanic_owl::has_iri_scheme(options.base_iri)) {
    return make_error(ErrorKind::InvalidIri, fmt::format("invalid base IRI <{}>", options.base_iri));
  }
  trelvanic_owl::ExternalEntityGuard no_external_entities;
  Reader reader(graph, options, text.size());

  xmlSAXHandler sax = trelvanic_owl::streaming_sax_handler(on_start, on_end, on_characters, on_error);

  // The push parser, unlike the pull one, puts no cap of its own on the
  // element depth (measured above); its cap on the length of names stays.
  ContextHandle h;
  h.ctxt = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr);
  if (h.ctxt == nullptr) return make_error(ErrorKind::Internal, "cannot start the RDF/XML reader");
  h.ctxt->_private = &reader;
  // Entities replaced, nothing loaded from outside.
  xmlCtxtUseOptions(h.ctxt, XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES);
  reader.ctxt = h.ctxt;
  std::size_t pos = 0;
  int rc = 0;
  do {
    const std::size_t n = std::min(kChunkSize, text.size() - pos);
    const bool last = pos + n == text.size();
    rc = xmlParseChunk(h.ctxt, text.data() + pos, static_cast<int>(n), last ? 1 : 0);
    pos += n;
    if (last) break;
  } while (rc == 0 && !reader.error);
  if (reader.error) return std::unexpected(std::move(*reader.error));
  if (rc != 0 || !h.ctxt->wellFormed) {
    return std::unexpected(syntax_error(options, 0, 0, "malformed RDF/XML"));
  }
  return reader.stats;
}

}  // namespace trelvanic_rdf
