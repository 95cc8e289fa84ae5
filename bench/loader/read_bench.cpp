// Throughput of the loader's read policy around a reader: reading an input
// whole under the size cap, the pre-scan estimate, and the lock and crash
// guard, with a reader that does no work. Inputs are synthetic documents of
// about the given size in MiB (default 60) in each syntax, read from a file
// and from memory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "parser/read.h"
#include "parser/sandbox.h"

using namespace trelvanic_parser;

namespace {

struct Nothing {};

std::string synthetic(OntologyFormat format, size_t bytes) {
  std::string unit;
  switch (format) {
    case OntologyFormat::OwlXml:
    case OntologyFormat::RdfXml:
      unit = "<owl:Class rdf:about=\"http://example.org/onto#C\"><rdfs:subClassOf rdf:resource=\"#D\"/></owl:Class>\n";
      break;
    case OntologyFormat::Functional:
      unit = "SubClassOf(<http://example.org/onto#C> <http://example.org/onto#D>)\n";
      break;
    case OntologyFormat::Turtle:
      unit = "<http://example.org/onto#C> rdfs:subClassOf <http://example.org/onto#D> .\n";
      break;
  }
  std::string text;
  text.reserve(bytes + unit.size());
  while (text.size() < bytes) text += unit;
  return text;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 60;
  ModelReader<Nothing> reader = [](std::string_view, OntologyFormat) -> std::expected<ModelReadOutput<Nothing>, std::string> {
    return ModelReadOutput<Nothing>{};
  };
  LoadLimits limits;
  auto dir = std::filesystem::temp_directory_path() / "trelvanic-bench-loader";
  std::filesystem::create_directories(dir);
  for (OntologyFormat format : {OntologyFormat::RdfXml, OntologyFormat::Functional, OntologyFormat::Turtle}) {
    std::string text = synthetic(format, mib << 20);
    std::string path = (dir / "input").string();
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));

    auto start = std::chrono::steady_clock::now();
    TextSource memory(text);
    auto from_memory = read_owl_model_from_reader<Nothing>(memory, format, limits, reader);
    double memory_s = seconds_since(start);

    start = std::chrono::steady_clock::now();
    auto file = open_for_load(path, std::nullopt);
    if (!file) return 1;
    FileSource source(*file);
    auto from_file = read_owl_model_from_reader<Nothing>(source, format, limits, reader);
    double file_s = seconds_since(start);

    double mb = static_cast<double>(text.size()) / (1 << 20);
    std::printf("%-18s %6.1f MiB  memory %7.1f MiB/s  file %7.1f MiB/s  %s\n",
                std::string(format_name(format)).c_str(), mb, mb / memory_s, mb / file_s,
                from_memory && from_file ? "ok" : (from_memory ? from_file : from_memory).error().message().c_str());
  }
  std::filesystem::remove_all(dir);
  return 0;
}
