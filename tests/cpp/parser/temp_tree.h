// A scratch directory for loader tests, removed with everything in it when
// the value is destroyed. Its path is canonical, so messages that print
// canonicalised paths can be compared with `path()`-based texts.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace trelvanic_parser::testing {

class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trelvanic-parser-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    root_ = std::filesystem::canonical(pattern).string();
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The absolute path of `relative` inside the tree ("" for the root).
  [[nodiscard]] std::string path(std::string_view relative = "") const {
    return relative.empty() ? root_ : root_ + "/" + std::string(relative);
  }
  std::string write(std::string_view relative, std::string_view bytes) const {
    std::string p = path(relative);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  std::string mkdir(std::string_view relative) const {
    std::string p = path(relative);
    std::filesystem::create_directories(p);
    return p;
  }
  std::string symlink(std::string_view relative, std::string_view target) const {
    std::string p = path(relative);
    std::filesystem::create_symlink(std::string(target), p);
    return p;
  }
  std::string fifo(std::string_view relative) const {
    std::string p = path(relative);
    EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
    return p;
  }

 private:
  std::string root_;
};

}  // namespace trelvanic_parser::testing
