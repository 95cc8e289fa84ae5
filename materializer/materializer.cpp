#include "materializer/materializer.h"

namespace trelvanic_materializer {

Materializer::Materializer(Options options)
    : dict_(std::make_unique<Dictionary>()), engine_(std::make_unique<Engine>(*dict_, options)) {}
Materializer::~Materializer() = default;
Materializer::Materializer(Materializer&&) noexcept = default;
Materializer& Materializer::operator=(Materializer&&) noexcept = default;

namespace {

std::expected<void, Error> check(const Dictionary& dict, const Triple& t) {
  for (TermId id : {t.subject, t.predicate, t.object})
    if (!dict.contains(id))
      return std::unexpected(Error{ErrorKind::kInvalidTerm, "unknown term id " + std::to_string(id.value)});
  if (dict.is_literal(t.subject)) return std::unexpected(Error{ErrorKind::kInvalidTriple, "literal subject " + dict.display(t.subject)});
  if (dict.kind(t.predicate) != TermKind::Iri)
    return std::unexpected(Error{ErrorKind::kInvalidTriple, "predicate is not an IRI: " + dict.display(t.predicate)});
  return {};
}

}  // namespace

std::expected<void, Error> Materializer::load(std::span<const Triple> triples) {
  for (const Triple& t : triples)
    if (auto ok = check(*dict_, t); !ok) return ok;
  engine_->reserve_for_load(triples.size());
  for (const Triple& t : triples)
    if (auto ok = engine_->add(t); !ok) return ok;
  return {};
}

std::expected<void, Error> Materializer::load_terms(std::span<const TermTriple> triples) {
  for (const TermTriple& t : triples) {
    if (t.s.kind == TermKind::Literal)
      return std::unexpected(Error{ErrorKind::kInvalidTriple, "literal subject \"" + t.s.value + "\""});
    if (t.p.kind != TermKind::Iri)
      return std::unexpected(Error{ErrorKind::kInvalidTriple, "predicate is not an IRI: " + t.p.value});
  }
  std::vector<Triple> encoded;
  encoded.reserve(triples.size());
  for (const TermTriple& t : triples)
    encoded.push_back(Triple{dict_->intern(t.s), dict_->intern(t.p), dict_->intern(t.o)});
  return load(encoded);
}

std::expected<void, Error> Materializer::reason() { return engine_->run(); }

std::vector<Triple> Materializer::triples() const {
  std::vector<Triple> out;
  engine_->output(out);
  return out;
}

std::vector<TermTriple> Materializer::term_triples() const {
  std::vector<TermTriple> out;
  for (const Triple& t : triples()) out.push_back(TermTriple{dict_->term(t.subject), dict_->term(t.predicate), dict_->term(t.object)});
  return out;
}

}  // namespace trelvanic_materializer
