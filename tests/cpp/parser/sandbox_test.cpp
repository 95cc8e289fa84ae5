#include "parser/sandbox.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/cpp/parser/temp_tree.h"

namespace trelvanic_parser {
namespace {

using testing::TempTree;

// The sandbox steps of a load, in the order the load makes them.
Result<OpenFile> sandboxed_open(const std::string& path, std::optional<std::string_view> base) {
  auto normalized = validate_load_path(path, base);
  if (!normalized) return std::unexpected(normalized.error());
  if (auto file = require_regular_file(*normalized); !file) return std::unexpected(file.error());
  return open_for_load(*normalized, base);
}

std::string read_all(const OpenFile& file) {
  std::string out(256, '\0');
  ssize_t n = ::read(file.fd(), out.data(), out.size());
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

std::string current_directory() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

TEST(NormalizePath, LexicalFormsOfPathsThatDoNotExist) {
  const std::string cwd = current_directory();
  std::string deep_escape;
  for (int i = 0; i < 200; ++i) deep_escape += "../";
  const struct {
    std::string path;
    std::string expected;  // result, or the error's display text
  } cases[] = {
      {"/no-such-trelvanic/a/./b/../c.owl", "/no-such-trelvanic/a/c.owl"},
      {"/no-such-trelvanic//a/", "/no-such-trelvanic/a"},
      {"/no-such-trelvanic/..", "/"},
      {"/..", "parse error: path escapes beyond filesystem root"},
      {"/no-such-trelvanic/../..", "parse error: path escapes beyond filesystem root"},
      {deep_escape + "x.owl", "parse error: path escapes beyond filesystem root"},
      {"no-such-trelvanic.owl", (cwd == "/" ? "" : cwd) + "/no-such-trelvanic.owl"},
  };
  for (const auto& c : cases) {
    auto got = normalize_path(c.path);
    EXPECT_EQ(got ? *got : got.error().message(), c.expected) << c.path;
  }
}

TEST(PathIsUnderBase, ComponentWisePrefix) {
  const struct {
    const char* path;
    const char* base;
    bool under;
  } cases[] = {
      {"/data/a/x.owl", "/data/a", true},
      {"/data/a", "/data/a", true},
      {"/data/a/", "/data/a", true},
      {"/data/ab/x.owl", "/data/a", false},
      {"/data/ab", "/data/a", false},
      {"/data", "/data/a", false},
      {"/anything", "/", true},
      {"data/a/x", "/data/a", false},
      {"/data/a/x", "data/a", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(path_is_under_base(c.path, c.base), c.under) << c.path << " under " << c.base;
  }
}

TEST(ValidateLoadPath, SiblingWithCommonPrefixEscapesBase) {
  auto got = validate_load_path("/data/a/../ab/x.owl", "/data/a");
  ASSERT_FALSE(got.has_value());
  EXPECT_EQ(got.error().message(), "parse error: path /data/ab/x.owl escapes allowed base /data/a");
}

class SandboxTree : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.write("base/x.owl", "inside");
    tree.write("base/nested/y.owl", "nested");
    tree.write("outside/secret.owl", "secret");
    tree.write("baseball/z.owl", "sibling");
    tree.mkdir("base/sub");
    tree.symlink("base/link.owl", tree.path("outside/secret.owl"));
    tree.symlink("base/inner-link.owl", tree.path("base/x.owl"));
    tree.symlink("base/dirlink", tree.path("outside"));
    tree.fifo("base/pipe");
  }
  TempTree tree;
};

TEST_F(SandboxTree, LoadPathsUnderABase) {
  const std::string base = tree.path("base");
  const struct {
    std::string path;
    std::optional<std::string> base;
    std::string expected;  // file content, or the error's display text
  } cases[] = {
      {tree.path("base/x.owl"), base, "inside"},
      {tree.path("base/sub/../nested/y.owl"), base, "nested"},
      {tree.path("base/inner-link.owl"), base, "inside"},
      // A base written with "..".
      {tree.path("base/x.owl"), tree.path("base/sub/.."), "inside"},
      {tree.path("base/../baseball/z.owl"), base,
       "parse error: path " + tree.path("baseball/z.owl") + " escapes allowed base " + base},
      // A symbolic link inside the base that points outside it.
      {tree.path("base/link.owl"), base,
       "parse error: path " + tree.path("outside/secret.owl") + " escapes allowed base " + base},
      {tree.path("base/dirlink/secret.owl"), base,
       "parse error: path " + tree.path("outside/secret.owl") + " escapes allowed base " + base},
      {tree.path("base/sub"), base, "parse error: not a file: " + tree.path("base/sub")},
      {tree.path("base/pipe"), base, "parse error: not a file: " + tree.path("base/pipe")},
      {tree.path("base/missing.owl"), base, "parse error: not a file: " + tree.path("base/missing.owl")},
      // A NUL byte would cut the name short at the system call: no such file.
      {tree.path("base/x.owl") + std::string("\0.ttl", 5), base,
       "parse error: not a file: " + tree.path("base/x.owl") + std::string("\0.ttl", 5)},
      // Without a base the link is followed.
      {tree.path("base/link.owl"), std::nullopt, "secret"},
  };
  for (const auto& c : cases) {
    auto file = sandboxed_open(c.path, c.base);
    EXPECT_EQ(file ? read_all(*file) : file.error().message(), c.expected) << c.path;
  }
}

// What is opened may have changed since validation; these call the open
// directly on paths that the validation would have refused or resolved.
TEST_F(SandboxTree, OpenRechecksWhatValidationSaw) {
  const std::string base = tree.path("base");
  const struct {
    std::string path;
    std::optional<std::string> base;
    std::string expected;
  } cases[] = {
      // A final component replaced by a symbolic link: lstat and fstat disagree.
      {tree.path("base/inner-link.owl"), base, "parse error: ontology path changed between validation and open"},
      // A directory component replaced by a link to outside: the real
      // location of the open file is checked.
      {tree.path("base/dirlink/secret.owl"), base,
       "parse error: opened file " + tree.path("outside/secret.owl") + " escapes allowed base " + base},
      {tree.path("base/dirlink/secret.owl"), std::nullopt, "secret"},
      {tree.path("base/sub"), base, "parse error: not a file: " + tree.path("base/sub")},
  };
  for (const auto& c : cases) {
    auto file = open_for_load(c.path, c.base);
    EXPECT_EQ(file ? read_all(*file) : file.error().message(), c.expected) << c.path;
  }
  auto missing = open_for_load(tree.path("base/missing.owl"), base);
  ASSERT_FALSE(missing.has_value());
  EXPECT_EQ(missing.error().kind(), ErrorKind::Io);
  EXPECT_EQ(missing.error().message(), os_error_text(ENOENT));
}

TEST_F(SandboxTree, FifoInPlaceOfFileIsRefusedWithoutBlocking) {
  const std::string pipe = tree.path("base/pipe");
  for (std::optional<std::string> base : {std::optional<std::string>(tree.path("base")), std::optional<std::string>()}) {
    auto pending = std::async(std::launch::async, [&] {
      auto file = open_for_load(pipe, base);
      return file ? std::string("opened") : file.error().message();
    });
    if (pending.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Release the blocked open so the test can end, then fail.
      int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
      FAIL() << "open_for_load blocked on a FIFO";
    }
    EXPECT_EQ(pending.get(), "parse error: not a file: " + pipe);
  }
}

TEST_F(SandboxTree, OpenedFileIsBlockingAndRewindable) {
  auto file = sandboxed_open(tree.path("base/x.owl"), tree.path("base"));
  ASSERT_TRUE(file.has_value()) << file.error().message();
  EXPECT_EQ(::fcntl(file->fd(), F_GETFL) & O_NONBLOCK, 0);
  EXPECT_EQ(::fcntl(file->fd(), F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
  EXPECT_EQ(read_all(*file), "inside");
  ASSERT_TRUE(file->rewind().has_value());
  EXPECT_EQ(read_all(*file), "inside");
  EXPECT_EQ(file->size().value_or(0), 6u);
}

}  // namespace
}  // namespace trelvanic_parser
