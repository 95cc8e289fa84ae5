// A short, deterministic stand-in for libFuzzer, linked with one fuzz target
// (its `LLVMFuzzerTestOneInput`) and built with the normal toolchain, so the
// C++ tests run every target without clang:
//
//   fuzz_smoke_turtle --runs 3000 --seed 7 --dict tests/fuzz/turtle/dict SEED_FILE_OR_DIR...
//
// Every seed is run as it is, then `runs` mutants in all, each made from a
// seed by a few edits of the kinds libFuzzer makes (bit flips, bytes that
// matter to the syntax, dictionary tokens, erased, repeated or spliced-in
// ranges, a cut tail), drawn from one fixed-seed generator. Seeds are taken
// in sorted path order, so the inputs are the same on every machine. The
// target aborts on a broken invariant and the sanitizers on memory faults;
// the driver names each seed before running it and, when the run dies
// (signal or sanitizer report), writes the input it was running to
// `--crash-dir` (default: the working directory) as PROGRAM.crash-input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);
// Present in sanitizer builds only.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// One entry of a libFuzzer dictionary: an optional name, then a quoted
// string with \\, \" and \xNN escapes. Comments and blank lines give none.
bool dict_entry(std::string_view line, std::string& out) {
  const std::size_t open = line.find('"');
  const std::size_t close = line.rfind('"');
  if (line.empty() || line[0] == '#' || open == std::string_view::npos || close <= open) return false;
  out.clear();
  for (std::size_t i = open + 1; i < close; ++i) {
    if (line[i] != '\\' || i + 1 >= close) {
      out += line[i];
    } else if (line[i + 1] == 'x' && i + 3 < close) {
      out += static_cast<char>(std::stoi(std::string(line.substr(i + 2, 2)), nullptr, 16));
      i += 3;
    } else {
      out += line[++i];
    }
  }
  return true;
}

std::vector<std::string> read_dict(const fs::path& path) {
  std::vector<std::string> out;
  std::istringstream in(read_file(path));
  std::string line, entry;
  while (std::getline(in, line)) {
    if (dict_entry(line, entry)) out.push_back(entry);
  }
  return out;
}

std::vector<fs::path> seed_paths(const std::vector<std::string>& args) {
  std::vector<fs::path> out;
  for (const std::string& arg : args) {
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) out.push_back(entry.path());
      }
    } else {
      out.emplace_back(arg);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

class Mutator {
 public:
  Mutator(uint32_t seed, std::vector<std::string> dict, const std::vector<std::string>& seeds)
      : rng_(seed), dict_(std::move(dict)), seeds_(seeds) {}

  // Below `n`, from the generator's raw output (the standard distributions
  // may differ between library versions).
  std::size_t pick(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng_() % n); }

  void mutate(std::string& s) {
    static constexpr std::string_view kBytes = "<>/=\"'#:;.,()[]{}_^@!?&%\\ \t\n\r0123456789-+eExX\x80\xbf\xc3\xed\xf4\xff";
    const std::size_t at = pick(s.size() + 1);
    switch (pick(9)) {
      case 0:
        if (!s.empty()) s[pick(s.size())] ^= static_cast<char>(1 << pick(8));
        break;
      case 1:
        if (!s.empty()) s[pick(s.size())] = kBytes[pick(kBytes.size())];
        break;
      case 2: s.insert(at, 1, kBytes[pick(kBytes.size())]); break;
      case 3:
        if (!dict_.empty()) s.insert(at, dict_[pick(dict_.size())]);
        break;
      case 4:
        if (at < s.size()) s.erase(at, pick(32) + 1);
        break;
      case 5:
        if (at < s.size() && s.size() < 1 << 16) s.insert(at, s.substr(at, pick(64) + 1));
        break;
      case 6: {  // a range of another seed spliced in
        const std::string& other = seeds_[pick(seeds_.size())];
        const std::size_t from = pick(other.size());
        s.insert(at, other.substr(from, pick(256) + 1));
        break;
      }
      case 7:
        if (!s.empty()) s[pick(s.size())] = static_cast<char>(pick(256));
        break;
      default: s.resize(at < s.size() ? at : s.size()); break;
    }
  }

 private:
  std::mt19937 rng_;
  std::vector<std::string> dict_;
  const std::vector<std::string>& seeds_;
};

// The input being run and where to save it if the run dies.
const std::string* g_current = nullptr;
char g_crash_path[4096];

void save_current() {
  if (g_current == nullptr) return;
  const int fd = ::open(g_crash_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  for (std::size_t done = 0; done < g_current->size();) {
    const ssize_t n = ::write(fd, g_current->data() + done, g_current->size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  static constexpr char kNote[] = "fuzz smoke: the failing input is saved as ";
  [[maybe_unused]] ssize_t ignored = ::write(2, kNote, sizeof kNote - 1);
  ignored = ::write(2, g_crash_path, std::strlen(g_crash_path));
  ignored = ::write(2, "\n", 1);
  g_current = nullptr;
}

void on_fatal_signal(int sig) {
  save_current();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void run(const std::string& input) {
  g_current = &input;
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  g_current = nullptr;
}

int usage() {
  std::fprintf(stderr, "usage: fuzz_smoke [--runs N] [--seed S] [--dict FILE] [--crash-dir DIR] SEED...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 3000;
  uint32_t seed = 1;
  fs::path dict_path, crash_dir = ".";
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--runs" && has_value) {
      runs = std::atol(argv[++i]);
    } else if (arg == "--seed" && has_value) {
      seed = static_cast<uint32_t>(std::atol(argv[++i]));
    } else if (arg == "--dict" && has_value) {
      dict_path = argv[++i];
    } else if (arg == "--crash-dir" && has_value) {
      crash_dir = argv[++i];
    } else if (arg.starts_with("--")) {
      return usage();
    } else {
      inputs.emplace_back(arg);
    }
  }
  const std::string crash_path =
      (crash_dir / (fs::path(argv[0]).filename().string() + ".crash-input")).string();
  std::snprintf(g_crash_path, sizeof g_crash_path, "%s", crash_path.c_str());
  for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(sig, on_fatal_signal);
  if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(save_current);

  std::vector<std::string> seeds;
  for (const fs::path& path : seed_paths(inputs)) {
    std::fprintf(stderr, "seed %s\n", path.c_str());
    seeds.push_back(read_file(path));
    run(seeds.back());
  }
  if (seeds.empty()) {
    std::fprintf(stderr, "no seeds\n");
    return usage();
  }
  Mutator mutator(seed, dict_path.empty() ? std::vector<std::string>{} : read_dict(dict_path), seeds);
  for (long round = 0; round < runs; ++round) {
    std::string text = seeds[static_cast<std::size_t>(round) % seeds.size()];
    const std::size_t edits = 1 + mutator.pick(4);
    for (std::size_t e = 0; e < edits; ++e) mutator.mutate(text);
    run(text);
  }
  std::fprintf(stderr, "%zu seeds and %ld mutants ran\n", seeds.size(), runs);
  return 0;
}
