// How large an XML document grows when its parser replaces the internal
// general entities the DOCTYPE declares, worked out without replacing them,
// so that a reader can refuse a small document that would expand into
// gigabytes (a large entity referred to thousands of times, or entities of
// entities) before its parser starts.
//
//   if (xml_expanded_size(text) > limit) refuse(...);
#pragma once

#include <cstdint>
#include <string_view>

#include <libxml/parser.h>

namespace trelvanic_owl {

// The document's length plus, for each reference to a declared internal
// general entity outside the DOCTYPE, what its replacement (itself expanded)
// adds. References in comments and CDATA sections count as well, so the
// figure may exceed what the parser builds but never falls short of it. A
// reference cycle counts as unbounded; the sum saturates at the largest
// value. The declarations are read by libxml2 (parameter entities included,
// nothing loaded from outside); a DOCTYPE it cannot read adds nothing, as
// the parser will refuse the document anyway.
[[nodiscard]] uint64_t xml_expanded_size(std::string_view text);

// Refuses every external entity and DTD (general and parameter entities,
// the external subset) for its lifetime: an ontology document never needs
// one, and loading them would read files or the network whatever the
// parser's own options say. It swaps libxml2's process-wide entity loader,
// so XML parses that load external entities must not run meanwhile (the
// loader runs every syntax reader under one process-wide lock).
class ExternalEntityGuard {
 public:
  ExternalEntityGuard();
  ~ExternalEntityGuard();
  ExternalEntityGuard(const ExternalEntityGuard&) = delete;
  ExternalEntityGuard& operator=(const ExternalEntityGuard&) = delete;

 private:
  xmlExternalEntityLoader previous_;
};

}  // namespace trelvanic_owl

namespace trelvanic_owl {

// A SAX2 handler that builds no tree: libxml2's own handlers keep the
// DOCTYPE's entity declarations (so references are replaced), elements and
// text (CDATA and white space included) go to the given callbacks, errors
// to `on_error` as structured errors; comments and processing instructions
// are dropped.
[[nodiscard]] xmlSAXHandler streaming_sax_handler(startElementNsSAX2Func on_start, endElementNsSAX2Func on_end,
                                                  charactersSAXFunc on_text, xmlStructuredErrorFunc on_error);

}  // namespace trelvanic_owl
