// Load-and-map time: reading a document into the OWL structural model, then
// mapping the model into the core ontology, timed apart so the two can be
// compared (mapping should cost less than reading).
//
//   bench_map_load FILE [REPEATS]            Turtle / N-Triples file, or
//                                            functional syntax (.ofn, .func)
//   bench_map_load --generate N [REPEATS]    generated functional syntax
//
// The generated ontology holds N axioms over 200,000 classes, 1,000 object
// properties and 100,000 individuals: named and existential subclass axioms,
// equivalences to EL intersections, class and property assertions, and a
// share of DL-only axioms (unions, universal restrictions).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <fmt/format.h>

#include "owl/functional_reader.h"
#include "parser/map.h"
#include "parser/read.h"
#include "rdf/owl_mapping.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of this thread: steadier than the wall clock on a machine
// shared with other work (pin the process to one core with taskset).
// Resident memory of the process in MiB (0 when /proc is not there).
double resident_mib() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

double thread_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Times {
  double wall = 0, cpu = 0;
};

std::string generate(uint64_t axioms) {
  constexpr uint64_t kClasses = 200'000, kProperties = 1'000, kIndividuals = 100'000;
  uint64_t state = 0x9E3779B97F4A7C15ull;
  auto next = [&](uint64_t bound) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % bound;
  };
  std::string out = "Prefix(:=<http://bench.example.org/onto#>)\nOntology(<http://bench.example.org/onto>\n";
  out.reserve(axioms * 60);
  for (uint64_t i = 0; i < axioms; ++i) {
    const uint64_t roll = next(100);
    const uint64_t a = next(kClasses), b = next(kClasses), c = next(kClasses), p = next(kProperties);
    if (roll < 45) {
      fmt::format_to(std::back_inserter(out), "SubClassOf(:C{} :C{})\n", a, b);
    } else if (roll < 65) {
      fmt::format_to(std::back_inserter(out), "SubClassOf(:C{} ObjectSomeValuesFrom(:p{} :C{}))\n", a, p, b);
    } else if (roll < 73) {
      fmt::format_to(std::back_inserter(out),
                     "EquivalentClasses(:C{} ObjectIntersectionOf(:C{} ObjectSomeValuesFrom(:p{} :C{})))\n", a, b, p, c);
    } else if (roll < 77) {
      fmt::format_to(std::back_inserter(out), "SubClassOf(:C{} ObjectUnionOf(:C{} ObjectAllValuesFrom(:p{} :C{})))\n",
                     a, b, p, c);
    } else if (roll < 88) {
      fmt::format_to(std::back_inserter(out), "ClassAssertion(:C{} :i{})\n", a, next(kIndividuals));
    } else {
      fmt::format_to(std::back_inserter(out), "ObjectPropertyAssertion(:p{} :i{} :i{})\n", p, next(kIndividuals),
                     next(kIndividuals));
    }
  }
  out += ")\n";
  return out;
}

// A digest of what the mapping stored, in order: told axioms by id, the
// entity IRIs and kinds by id, and the DL store's sizes, so two builds can
// be checked to map a file identically.
uint64_t digest(const trelvanic_core::Ontology& o) {
  uint64_t h = 0;
  auto mix = [&](uint64_t v) { h = (h ^ v) * 0x100000001B3ull + 0x9E3779B97F4A7C15ull; };
  o.axioms().for_each_live([&](trelvanic_core::AxiomId id, const trelvanic_core::AxiomView& a) {
    mix(id.value);
    mix(trelvanic_core::axiom_fingerprint(a));
  });
  for (uint32_t e = 0; e < o.entity_count(); ++e) {
    const auto rec = o.entities().record(trelvanic_core::EntityId(e));
    mix(std::hash<std::string_view>{}(o.iris().text(rec.iri)));
    mix(static_cast<uint64_t>(rec.kind));
  }
  mix(o.dl().ce_count());
  mix(o.dl().de_count());
  mix(o.dl().axiom_count());
  return h;
}

void report(int run, Times read, Times map, const trelvanic_parser::MappedOntology& m, size_t components) {
  std::printf(
      "run %d: read %.3f s (cpu %.3f), map %.3f s (cpu %.3f), map/read %.2f (cpu %.2f); %zu components -> %zu told, "
      "%zu DL axioms, %zu class expressions, %zu entities; mapped %llu, skipped %llu, %zu warnings; digest %016llx\n",
      run, read.wall, read.cpu, map.wall, map.cpu, map.wall / read.wall, map.cpu / read.cpu, components, m.ontology.axioms().live_count(), m.ontology.dl().axiom_count(),
      m.ontology.dl().ce_count(), m.ontology.entity_count(), static_cast<unsigned long long>(m.meta.mapped_axiom_count),
      static_cast<unsigned long long>(m.meta.skipped_axiom_count), m.meta.warnings.size(),
      static_cast<unsigned long long>(digest(m.ontology)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [REPEATS] | --generate N [REPEATS]\n", argv[0]);
    return 2;
  }
  const std::string first = argv[1];
  const bool generated = first == "--generate";
  const bool functional = generated || first.ends_with(".ofn") || first.ends_with(".func");
  if (generated && argc < 3) {
    std::fprintf(stderr, "--generate needs an axiom count\n");
    return 2;
  }
  const int repeats = argc > (generated ? 3 : 2) ? std::stoi(argv[generated ? 3 : 2]) : 3;
  trelvanic_parser::LoadLimits limits = trelvanic_parser::LoadLimits::with_mode(false, true);
  limits.max_file_bytes = uint64_t{1} << 30;  // generated files may pass the 64 MiB load limit

  std::string text;
  if (generated) {
    const auto t0 = Clock::now();
    text = generate(std::stoull(argv[2]));
    std::printf("generated %zu bytes in %.3f s\n", text.size(), seconds_since(t0));
  } else {
    std::ifstream in(first, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot open %s\n", first.c_str());
      return 1;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    text = buf.str();
  }

  Times best_read{1e100, 1e100}, best_map{1e100, 1e100};
  for (int r = 1; r <= repeats; ++r) {
    const auto t0 = Clock::now();
    const double c0 = thread_seconds();
    const double rss0 = resident_mib();
    // The loader's read path: size limit, pre-scan, guarded parse.
    trelvanic_parser::ModelReader<trelvanic_owl::Ontology> reader =
        [&](std::string_view bytes, trelvanic_parser::OntologyFormat)
        -> std::expected<trelvanic_parser::ModelReadOutput<trelvanic_owl::Ontology>, std::string> {
      trelvanic_parser::ModelReadOutput<trelvanic_owl::Ontology> out;
      if (functional) {
        auto read = trelvanic_owl::read_functional(bytes);
        if (!read) return std::unexpected(read.error().text());
        out.model = std::move(*read);
      } else {
        auto read = trelvanic_rdf::read_rdf_ontology(bytes, trelvanic_rdf::RdfSyntax::Turtle, {"", first});
        if (!read) return std::unexpected(read.error().message);
        out.model = std::move(read->ontology);
      }
      out.component_count = out.model.component_count();
      return out;
    };
    trelvanic_parser::TextSource source(text);
    auto read = trelvanic_parser::read_owl_model_from_reader<trelvanic_owl::Ontology>(
        source, functional ? trelvanic_parser::OntologyFormat::Functional : trelvanic_parser::OntologyFormat::Turtle,
        limits, reader);
    if (!read) {
      std::fprintf(stderr, "read failed: %s\n", read.error().message().c_str());
      return 1;
    }
    trelvanic_owl::Ontology model = std::move(*read);
    const Times t_read{seconds_since(t0), thread_seconds() - c0};
    const double rss1 = resident_mib();
    const auto t1 = Clock::now();
    const double c1 = thread_seconds();
    auto mapped = trelvanic_parser::map_to_core(model, limits);
    const Times t_map{seconds_since(t1), thread_seconds() - c1};
    const double rss2 = resident_mib();
    if (!mapped) {
      std::fprintf(stderr, "map failed: %s\n", mapped.error().message().c_str());
      return 1;
    }
    report(r, t_read, t_map, *mapped, model.component_count());
    std::printf("  resident memory: +%.0f MiB reading, +%.0f MiB mapping\n", rss1 - rss0, rss2 - rss1);
    best_read = {std::min(best_read.wall, t_read.wall), std::min(best_read.cpu, t_read.cpu)};
    best_map = {std::min(best_map.wall, t_map.wall), std::min(best_map.cpu, t_map.cpu)};
  }
  std::printf("best: read %.3f s (cpu %.3f), map %.3f s (cpu %.3f), map/read %.2f (cpu %.2f)\n", best_read.wall,
              best_read.cpu, best_map.wall, best_map.cpu, best_map.wall / best_read.wall, best_map.cpu / best_read.cpu);
  return 0;
}
