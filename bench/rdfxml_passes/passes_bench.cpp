// The RDF/XML text passes against the RDF/XML reader on the same text: a
// synthetic document as a serialiser writes it (DOCTYPE entities, IRIs
// through them, comments, rdf:ID values with some repeated) of about MiB
// mebibytes, or a given file. Prints the time of the whole preprocessing
// chain and of reading the preprocessed text into triples, best of REPEATS.
//
//   bench_rdfxml_passes [MiB | FILE] [REPEATS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "parser/load.h"
#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/entities.h"
#include "parser/rdfxml_passes/rdf_id.h"
#include "rdf/reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string synthetic_document(size_t mebibytes) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE rdf:RDF [\n"
      "    <!ENTITY owl \"http://www.w3.org/2002/07/owl#\" >\n"
      "    <!ENTITY o \"http://example.org/onto#\" >\n]>\n"
      "<rdf:RDF xmlns=\"http://example.org/onto#\"\n"
      "     xml:base=\"http://example.org/onto\"\n"
      "     xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\"\n"
      "     xmlns:owl=\"http://www.w3.org/2002/07/owl#\"\n"
      "     xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "    <owl:Ontology rdf:about=\"http://example.org/onto\"/>\n";
  const size_t target = mebibytes << 20;
  for (size_t i = 0; text.size() < target; ++i) {
    text += fmt::format(
        "    <!-- &o;C{0} -->\n    <owl:Class rdf:ID=\"C{1}\">\n"
        "        <rdfs:subClassOf rdf:resource=\"&o;C{2}\"/>\n"
        "        <rdfs:label>class {0} &amp; more</rdfs:label>\n    </owl:Class>\n",
        i, i % 1000 == 999 ? i - 1 : i, i + 1);
  }
  return text + "</rdf:RDF>\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::string text;
  std::string arg = argc > 1 ? argv[1] : "60";
  if (!arg.empty() && std::ranges::all_of(arg, [](char c) { return c >= '0' && c <= '9'; })) {
    text = synthetic_document(std::stoul(arg));
  } else {
    std::ifstream in(arg, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot open %s\n", arg.c_str());
      return 1;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    text = buf.str();
  }
  const int repeats = argc > 2 ? std::stoi(argv[2]) : 3;
  const trelvanic_parser::LoadLimits limits;
  double best_pre = 1e100, best_read = 1e100;
  for (int r = 0; r < repeats; ++r) {
    // The loader hands its text over; the copy is not part of the chain.
    std::string input = text;
    const auto t0 = Clock::now();
    auto pre = trelvanic_parser::preprocess_rdf_xml_text(std::move(input), limits.max_expanded_bytes,
                                                         limits.max_preprocess_bytes);
    if (!pre) {
      std::fprintf(stderr, "preprocessing failed: %s\n", pre.error().message().c_str());
      return 1;
    }
    const double t_pre = seconds_since(t0);
    const auto t1 = Clock::now();
    trelvanic_rdf::Graph graph;
    auto stats = trelvanic_rdf::read_rdf(pre->text, trelvanic_rdf::RdfSyntax::RdfXml, graph, {"", "bench.rdf"});
    if (!stats) {
      std::fprintf(stderr, "read failed: %s\n", stats.error().message.c_str());
      return 1;
    }
    const double t_read = seconds_since(t1);
    best_pre = std::min(best_pre, t_pre);
    best_read = std::min(best_read, t_read);
    std::printf("run %d: %.1f MiB in, %.1f MiB out; preprocess %.3f s, read %.3f s (%zu triples)\n", r + 1,
                static_cast<double>(text.size()) / (1 << 20), static_cast<double>(pre->text.size()) / (1 << 20),
                t_pre, t_read, stats->triples);
  }
  // The steps that do work, one by one, as the loader runs them.
  std::string step = text;
  auto t = Clock::now();
  step = trelvanic_parser::normalize_multiline_rdf_root_tag(std::move(step));
  std::printf("root tag %.3f s", seconds_since(t));
  t = Clock::now();
  const auto ids = trelvanic_parser::rdfxml::census_rdf_ids(step);
  std::printf(", rdf:ID census %.3f s", seconds_since(t));
  t = Clock::now();
  std::optional<trelvanic_parser::Result<std::string>> expanded;
  if (auto deduped = trelvanic_parser::rdfxml::expand_xml_entities_deduping_ids(step, ids, {}, limits.max_expanded_bytes)) {
    expanded = std::move(deduped->text);
    std::printf(", repeated ids with entities %.3f s", seconds_since(t));
  } else {
    bool invalid_ids = false;
    auto id_edits = trelvanic_parser::rdfxml::repeated_rdf_id_edits(step, ids, invalid_ids, limits.max_expanded_bytes)
                        .value_or(std::vector<trelvanic_parser::rdfxml::Edit>());
    std::printf(", repeated ids %.3f s (%zu edits)", seconds_since(t), id_edits.size());
    if (invalid_ids) {
      t = Clock::now();
      step = trelvanic_parser::normalize_invalid_rdf_ids(
          trelvanic_parser::rdfxml::apply_edits(std::move(step), id_edits), limits.max_expanded_bytes);
      id_edits.clear();
      std::printf(", invalid ids %.3f s", seconds_since(t));
    }
    t = Clock::now();
    expanded = trelvanic_parser::rdfxml::expand_xml_entities_after_edits(std::move(step), id_edits,
                                                                        limits.max_expanded_bytes);
    std::printf(", entities %.3f s", seconds_since(t));
  }
  if (*expanded) {
    t = Clock::now();
    step = trelvanic_parser::normalize_rdfs_class_elements(std::move(**expanded));
    std::printf(", rdfs classes %.3f s", seconds_since(t));
  }
  std::printf("\n");
  std::printf("best: preprocess %.3f s, read %.3f s, ratio %.2f\n", best_pre, best_read, best_pre / best_read);
  return 0;
}
