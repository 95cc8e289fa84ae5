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
#include <sstream>
#include <string>

#include <fmt/format.h>

#include "parser/load.h"
#include "parser/rdf_preprocess.h"
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
    const auto t0 = Clock::now();
    auto pre = trelvanic_parser::preprocess_rdf_xml_text(text, limits.max_expanded_bytes, limits.max_preprocess_bytes);
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
  // The passes that do work, one by one on the text as the chain hands it on.
  auto t = Clock::now();
  std::string step = trelvanic_parser::normalize_multiline_rdf_root_tag(text);
  std::printf("root tag %.3f s", seconds_since(t));
  t = Clock::now();
  step = trelvanic_parser::dedupe_rdf_xml_ids(std::move(step));
  std::printf(", repeated ids %.3f s", seconds_since(t));
  t = Clock::now();
  step = trelvanic_parser::normalize_invalid_rdf_ids(std::move(step));
  std::printf(", invalid ids %.3f s", seconds_since(t));
  t = Clock::now();
  auto expanded = trelvanic_parser::expand_xml_entities_with_limit(std::move(step), limits.max_expanded_bytes);
  std::printf(", entities %.3f s%s\n", seconds_since(t), expanded ? "" : " (failed)");
  std::printf("best: preprocess %.3f s, read %.3f s, ratio %.2f\n", best_pre, best_read, best_pre / best_read);
  return 0;
}
