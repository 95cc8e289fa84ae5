// Materializer benchmark.
//
//   bench_materializer brick <data/rl dir> [max buildings [repeats]]
//       Brick schema (Brick.ttl, owl.ttl, rdfs.ttl) plus each building model
//       of <dir>/buildings, one fresh materializer per building; prints the
//       time per building and the totals. Files are parsed before timing;
//       "load" is interning the parsed terms and loading the triples,
//       "reason" the fixpoint, the checks and reading the closure out.
//       With repeats, each phase's best run.
//   bench_materializer synthetic [individuals [reserve]]
//       A generated subclass/transitive workload (default 1,000,000
//       individuals: about 10 million derived triples); prints derived
//       triples per second on one core; "reserve" sizes the store up front.
//   bench_materializer dump <file.ttl>...
//       Prints the closure of the union of the files, one triple per line.
//   bench_materializer file [--repeat r] <file.ttl>...
//       Materialises the union of the files (best of r runs); prints counts
//       and the load and reason times (used by compare.py).
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "materializer/materializer.h"
#include "materializer/vocabulary.h"
#include "rdf/graph.h"
#include "rdf/turtle_reader.h"

namespace mat = trelvanic_materializer;
namespace tr = trelvanic_rdf;
using Clock = std::chrono::steady_clock;

namespace {

// Processor time of this process: on a loaded machine it shows what one
// core delivers, where the wall clock also counts time spent waiting.
double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool read_file(const std::filesystem::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
}

// One input file as parsed: terms still as texts, not yet in any
// materializer's dictionary (the state rdflib leaves a file in).
struct Parsed {
  std::string name;
  tr::Graph graph;
};

bool parse_file(const std::filesystem::path& path, Parsed& out) {
  std::string text;
  if (!read_file(path, text)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  out.name = path.filename().string();
  tr::ReadOptions options;
  options.base_iri = "file://" + std::filesystem::absolute(path).string();
  options.source_name = out.name;
  auto read = tr::read_turtle(text, out.graph, options, path.extension() == ".nt");
  if (!read) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), read.error().message.c_str());
    return false;
  }
  return true;
}

std::vector<Parsed> parse_files(const std::vector<std::filesystem::path>& files) {
  std::vector<Parsed> parsed(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    if (!parse_file(files[i], parsed[i])) std::exit(1);
  return parsed;
}

// Interns the terms of a parsed file into `dict` and appends its triples.
void encode(const Parsed& file, std::vector<mat::Triple>& out, mat::Dictionary& dict) {
  const tr::TermTable& terms = file.graph.terms();
  std::vector<mat::TermId> map(terms.size());
  auto convert = [&](tr::TermId id) {
    mat::TermId& slot = map[id.value];
    if (slot) return slot;
    if (terms.is_iri(id)) slot = dict.iri(terms.text(id));
    else if (terms.is_blank(id)) slot = dict.blank(file.name + "#" + std::string(terms.text(id)));
    else if (!terms.lang(id).empty()) slot = dict.lang_literal(terms.text(id), terms.lang(id));
    else if (!terms.datatype(id)) slot = dict.literal(terms.text(id), mat::TermId{});
    else slot = dict.literal(terms.text(id), dict.iri(terms.text(terms.datatype(id))));
    return slot;
  };
  out.reserve(out.size() + file.graph.triples().size());
  for (const auto& t : file.graph.triples())
    out.push_back(mat::Triple{convert(t.subject), convert(t.predicate), convert(t.object)});
}

bool load_turtle(const std::filesystem::path& path, std::vector<mat::Triple>& out, mat::Dictionary& dict) {
  Parsed parsed;
  if (!parse_file(path, parsed)) return false;
  encode(parsed, out, dict);
  return true;
}

struct RunStats {
  std::size_t input = 0;
  std::size_t output = 0;
  std::uint64_t derived = 0;
  std::size_t problems = 0;
  double load_s = 0;      // terms interned and triples loaded, from the parsed files
  double reason_s = 0;    // fixpoint, consistency checks and the closure read out
  double reason_cpu = 0;
  double load_cpu = 0;
};

// One fresh materializer over the parsed files: load (interning included),
// reason, read the closure. Best of `repeats` runs for each phase.
RunStats materialise(const std::vector<Parsed>& parsed, int repeats = 1) {
  RunStats stats;
  for (int r = 0; r < repeats; ++r) {
    mat::Materializer m;
    std::vector<mat::Triple> triples;
    auto start = Clock::now();
    double cpu_start = cpu_seconds();
    for (const Parsed& f : parsed) encode(f, triples, m.dictionary());
    if (!m.load(triples)) std::exit(1);
    double load_s = seconds_since(start), load_cpu = cpu_seconds() - cpu_start;
    start = Clock::now();
    cpu_start = cpu_seconds();
    if (!m.reason()) std::exit(1);
    std::size_t output = m.triples().size();
    double reason_cpu = cpu_seconds() - cpu_start, reason_s = seconds_since(start);
    if (r == 0 || load_s < stats.load_s) stats.load_s = load_s;
    if (r == 0 || load_cpu < stats.load_cpu) stats.load_cpu = load_cpu;
    if (r == 0 || reason_s < stats.reason_s) stats.reason_s = reason_s;
    if (r == 0 || reason_cpu < stats.reason_cpu) stats.reason_cpu = reason_cpu;
    stats.input = triples.size();
    stats.output = output;
    stats.derived = m.derived_count();
    stats.problems = m.problems().size();
  }
  return stats;
}

RunStats materialise(const std::vector<std::filesystem::path>& files, int repeats = 1) {
  return materialise(parse_files(files), repeats);
}

int run_brick(const std::filesystem::path& dir, std::size_t max_buildings, int repeats) {
  std::vector<Parsed> schema = parse_files({dir / "Brick.ttl", dir / "owl.ttl", dir / "rdfs.ttl"});
  RunStats base = materialise(schema, repeats);
  std::printf("schema only: %zu told, %zu out, %llu derived, %zu problems, load %.4f s, reason %.4f s cpu\n", base.input,
              base.output, static_cast<unsigned long long>(base.derived), base.problems, base.load_cpu, base.reason_cpu);
  std::vector<std::filesystem::path> buildings;
  for (const auto& e : std::filesystem::directory_iterator(dir / "buildings"))
    if (e.path().extension() == ".ttl") buildings.push_back(e.path());
  std::sort(buildings.begin(), buildings.end());
  if (buildings.size() > max_buildings) buildings.resize(max_buildings);
  double total_load = 0, total_cpu = 0;
  std::uint64_t total_derived = 0;
  std::printf("%-28s %9s %9s %9s %5s %9s %9s\n", "building", "told", "output", "derived", "probl", "load_cpu", "reas_cpu");
  for (const auto& b : buildings) {
    std::vector<Parsed> files = parse_files({dir / "Brick.ttl", dir / "owl.ttl", dir / "rdfs.ttl", b});
    RunStats s = materialise(files, repeats);
    std::printf("%-28s %9zu %9zu %9llu %5zu %9.4f %9.4f\n", b.filename().c_str(), s.input, s.output,
                static_cast<unsigned long long>(s.derived), s.problems, s.load_cpu, s.reason_cpu);
    total_load += s.load_cpu;
    total_cpu += s.reason_cpu;
    total_derived += s.derived;
  }
  std::printf("buildings: %zu, load %.3f s cpu, reason %.3f s cpu, mean %.4f s cpu per building (load + reason), "
              "%.2f M derived triples per reasoning cpu second\n",
              buildings.size(), total_load, total_cpu,
              buildings.empty() ? 0.0 : (total_load + total_cpu) / buildings.size(),
              total_cpu > 0 ? total_derived / total_cpu / 1e6 : 0.0);
  return 0;
}

int run_synthetic(std::size_t individuals, bool reserve) {
  // 1000 subclass chains of depth 10; each individual typed with the
  // bottom class of one chain (9 derived types each). 1000 chains of 45
  // nodes over one transitive property (946 derived edges each).
  constexpr std::size_t kChains = 1000, kDepth = 10, kPathNodes = 45;
  mat::Materializer m;
  mat::Dictionary& d = m.dictionary();
  std::vector<mat::Triple> triples;
  std::vector<mat::TermId> classes(kChains * kDepth);
  for (std::size_t i = 0; i < classes.size(); ++i) classes[i] = d.iri("http://example.org/C" + std::to_string(i));
  for (std::size_t c = 0; c < kChains; ++c)
    for (std::size_t k = 0; k + 1 < kDepth; ++k)
      triples.push_back({classes[c * kDepth + k], mat::vocab::rdfs_subClassOf, classes[c * kDepth + k + 1]});
  for (std::size_t i = 0; i < individuals; ++i)
    triples.push_back({d.iri("http://example.org/x" + std::to_string(i)), mat::vocab::rdf_type, classes[(i % kChains) * kDepth]});
  mat::TermId p = d.iri("http://example.org/partOf");
  triples.push_back({p, mat::vocab::rdf_type, mat::vocab::owl_TransitiveProperty});
  for (std::size_t c = 0; c < kChains; ++c)
    for (std::size_t k = 0; k + 1 < kPathNodes; ++k)
      triples.push_back({d.iri("http://example.org/n" + std::to_string(c) + "_" + std::to_string(k)), p,
                         d.iri("http://example.org/n" + std::to_string(c) + "_" + std::to_string(k + 1))});
  if (reserve) m.reserve(triples.size() * 11);
  if (!m.load(triples)) return 1;
  auto start = Clock::now();
  double cpu_start = cpu_seconds();
  if (!m.reason()) return 1;
  double reason_s = seconds_since(start);
  double reason_cpu = cpu_seconds() - cpu_start;
  start = Clock::now();
  std::size_t out = m.triples().size();
  double output_s = seconds_since(start);
  std::printf("synthetic: %zu told, %llu derived, %zu output triples\n", triples.size(),
              static_cast<unsigned long long>(m.derived_count()), out);
  std::printf("reason %.3f s wall, %.3f s cpu (%.2f M derived triples/s wall, %.2f M/s cpu), output %.3f s\n",
              reason_s, reason_cpu, m.derived_count() / reason_s / 1e6, m.derived_count() / reason_cpu / 1e6, output_s);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "synthetic";
  if (mode == "brick") {
    std::filesystem::path dir = argc > 2 ? argv[2] : "../shared/data/rl";
    std::size_t max = argc > 3 ? std::stoul(argv[3]) : 1000;
    return run_brick(dir, max, argc > 4 ? std::stoi(argv[4]) : 1);
  }
  if (mode == "synthetic")
    return run_synthetic(argc > 2 ? std::stoul(argv[2]) : 1000000, argc > 3 && std::string(argv[3]) == "reserve");
  if (mode == "dump") {  // the closure of the files, one triple per line
    mat::Materializer m;
    std::vector<mat::Triple> triples;
    for (int i = 2; i < argc; ++i)
      if (!load_turtle(argv[i], triples, m.dictionary())) return 1;
    if (!m.load(triples) || !m.reason()) return 1;
    const mat::Dictionary& d = m.dictionary();
    for (const mat::Triple& t : m.triples())
      std::printf("%s %s %s\n", d.display(t.subject).c_str(), d.display(t.predicate).c_str(), d.display(t.object).c_str());
    for (const mat::Problem& pr : m.problems()) std::fprintf(stderr, "%s: %s\n", pr.rule.c_str(), pr.message.c_str());
    return 0;
  }
  if (mode == "file") {
    int first = 2, repeats = 1;
    if (argc > 3 && std::string(argv[2]) == "--repeat") {
      repeats = std::max(1, std::stoi(argv[3]));
      first = 4;
    }
    std::vector<std::filesystem::path> files(argv + first, argv + argc);
    RunStats s = materialise(files, repeats);
    std::printf("{\"told\": %zu, \"output\": %zu, \"derived\": %llu, \"problems\": %zu, \"load_s\": %.6f, "
                "\"reason_s\": %.6f, \"load_cpu_s\": %.6f, \"reason_cpu_s\": %.6f}\n",
                s.input, s.output, static_cast<unsigned long long>(s.derived), s.problems, s.load_s, s.reason_s,
                s.load_cpu, s.reason_cpu);
    return 0;
  }
  std::fprintf(stderr, "usage: bench_materializer brick <dir> [n [repeats]] | synthetic [individuals [reserve]] | dump <f>... | "
                 "file [--repeat r] <f>...\n");
  return 2;
}
