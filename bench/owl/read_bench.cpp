// Reading speed of the functional-syntax and OWL/XML readers.
//
// Generates one ontology of about the requested size (default 50 MB of
// functional syntax) written in both syntaxes: declarations, named and
// existential subclass axioms, intersections, cardinalities, assertions,
// data assertions with typed and tagged literals, and annotations. Reads
// each text five times and reports the best wall-clock and processor-time
// MB/s (processor time is the steadier figure on a busy machine; pin the
// program to one core with taskset), the processor-time MB/s of the first
// read (which alone pays for first touching the model's memory, as a
// program that loads one file does), the component count and the model's
// memory against the file size.
//
//   bench_owl_read [megabytes] [ofn|owx]
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "owl/functional_reader.h"
#include "owl/owlxml_reader.h"

namespace {

using trelvanic_owl::Ontology;

struct Texts {
  std::string ofn;
  std::string owx;
};

void entity(std::string& ofn, std::string& owx, const char* kind, const std::string& local) {
  ofn += "Declaration(" + std::string(kind) + "(:" + local + "))\n";
  owx += "  <Declaration><" + std::string(kind) + " abbreviatedIRI=\":" + local + "\"/></Declaration>\n";
}

Texts generate(size_t target_bytes) {
  Texts t;
  t.ofn = "Prefix(:=<http://bench.example.org/onto#>)\nOntology(<http://bench.example.org/onto>\n";
  t.owx =
      "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" "
      "ontologyIRI=\"http://bench.example.org/onto\">\n  <Prefix name=\"\" IRI=\"http://bench.example.org/onto#\"/>\n";
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xffffff;
  };
  for (size_t i = 0; t.ofn.size() < target_bytes; ++i) {
    std::string c = "Class" + std::to_string(i);
    std::string d = "Class" + std::to_string(next() % (i + 1));
    std::string e = "Class" + std::to_string(next() % (i + 1));
    std::string p = "prop" + std::to_string(next() % 500);
    std::string ind = "ind" + std::to_string(i);
    entity(t.ofn, t.owx, "Class", c);
    entity(t.ofn, t.owx, "NamedIndividual", ind);
    t.ofn += "SubClassOf(:" + c + " :" + d + ")\n";
    t.owx += "  <SubClassOf><Class abbreviatedIRI=\":" + c + "\"/><Class abbreviatedIRI=\":" + d + "\"/></SubClassOf>\n";
    t.ofn += "SubClassOf(:" + c + " ObjectSomeValuesFrom(:" + p + " :" + e + "))\n";
    t.owx += "  <SubClassOf><Class abbreviatedIRI=\":" + c + "\"/><ObjectSomeValuesFrom><ObjectProperty abbreviatedIRI=\":" +
             p + "\"/><Class abbreviatedIRI=\":" + e + "\"/></ObjectSomeValuesFrom></SubClassOf>\n";
    if (i % 4 == 0) {
      t.ofn += "EquivalentClasses(:" + c + " ObjectIntersectionOf(:" + d + " ObjectMinCardinality(2 :" + p + " :" + e +
               ")))\n";
      t.owx += "  <EquivalentClasses><Class abbreviatedIRI=\":" + c + "\"/><ObjectIntersectionOf><Class abbreviatedIRI=\":" +
               d + "\"/><ObjectMinCardinality cardinality=\"2\"><ObjectProperty abbreviatedIRI=\":" + p +
               "\"/><Class abbreviatedIRI=\":" + e + "\"/></ObjectMinCardinality></ObjectIntersectionOf></EquivalentClasses>\n";
    }
    t.ofn += "ClassAssertion(:" + c + " :" + ind + ")\n";
    t.owx += "  <ClassAssertion><Class abbreviatedIRI=\":" + c + "\"/><NamedIndividual abbreviatedIRI=\":" + ind +
             "\"/></ClassAssertion>\n";
    std::string other = "ind" + std::to_string(next() % (i + 1));
    t.ofn += "ObjectPropertyAssertion(:" + p + " :" + ind + " :" + other + ")\n";
    t.owx += "  <ObjectPropertyAssertion><ObjectProperty abbreviatedIRI=\":" + p + "\"/><NamedIndividual abbreviatedIRI=\":" +
             ind + "\"/><NamedIndividual abbreviatedIRI=\":" + other + "\"/></ObjectPropertyAssertion>\n";
    std::string n = std::to_string(next() % 100000);
    t.ofn += "DataPropertyAssertion(:size :" + ind + " \"" + n + "\"^^xsd:integer)\n";
    t.owx += "  <DataPropertyAssertion><DataProperty abbreviatedIRI=\":size\"/><NamedIndividual abbreviatedIRI=\":" + ind +
             "\"/><Literal datatypeIRI=\"http://www.w3.org/2001/XMLSchema#integer\">" + n +
             "</Literal></DataPropertyAssertion>\n";
    t.ofn += "AnnotationAssertion(rdfs:label :" + c + " \"class number " + std::to_string(i) + "\"@en)\n";
    t.owx += "  <AnnotationAssertion><AnnotationProperty abbreviatedIRI=\"rdfs:label\"/><AbbreviatedIRI>:" + c +
             "</AbbreviatedIRI><Literal xml:lang=\"en\">class number " + std::to_string(i) +
             "</Literal></AnnotationAssertion>\n";
  }
  t.ofn += ")\n";
  t.owx += "</Ontology>\n";
  return t;
}

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

template <class Read>
void measure(const char* name, const std::string& text, Read read) {
  double best = 1e30;
  double best_cpu = 1e30;
  double first_cpu = 0;
  size_t components = 0;
  size_t memory = 0;
  for (int round = 0; round < 5; ++round) {
    auto start = std::chrono::steady_clock::now();
    double cpu_start = cpu_seconds();
    auto result = read(text);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cpu = cpu_seconds() - cpu_start;
    if (!result) {
      std::printf("%s: error: %s\n", name, result.error().text().c_str());
      std::exit(1);
    }
    components = result->component_count();
    if (round == 0) std::printf("  nodes %zu\n", result->node_count());
    memory = result->memory_bytes();
    if (seconds < best) best = seconds;
    if (cpu < best_cpu) best_cpu = cpu;
    if (round == 0) first_cpu = cpu;
  }
  double mb = static_cast<double>(text.size()) / 1e6;
  std::printf(
      "%-18s %8.1f MB  wall %6.3f s %7.1f MB/s  cpu %6.3f s %7.1f MB/s (first read %7.1f MB/s)  %9zu components  "
      "model %7.1f MB (%.2fx file)\n",
      name, mb, best, mb / best, best_cpu, mb / best_cpu, mb / first_cpu, components,
      static_cast<double>(memory) / 1e6, static_cast<double>(memory) / text.size());
}

}  // namespace

int main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  Texts texts = generate(megabytes * 1000 * 1000);
  std::printf("generated: functional %.1f MB, OWL/XML %.1f MB\n", texts.ofn.size() / 1e6, texts.owx.size() / 1e6);
  std::string only = argc > 2 ? argv[2] : "";
  if (only != "owx") {
    measure("functional syntax", texts.ofn, [](const std::string& s) { return trelvanic_owl::read_functional(s); });
  }
  if (only != "ofn") {
    measure("OWL/XML", texts.owx, [](const std::string& s) { return trelvanic_owl::read_owlxml(s); });
  }
  std::printf("peak RSS %.1f MB (both texts held: %.1f MB)\n", peak_rss_kib() / 1e3,
              (texts.ofn.size() + texts.owx.size()) / 1e6);
  return 0;
}
