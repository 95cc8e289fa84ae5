// The path sandbox of the loader: normalising a requested path, testing that
// it lies under an allowed base directory, and opening it so that what was
// checked is what gets read.
//
// A load calls, in order:
//   auto p = validate_load_path(path, base);   // normalised, under the base
//   require_regular_file(*p);                  // "not a file: ..." otherwise
//   auto file = open_for_load(*p, base);       // hardened open
// `open_for_load` never blocks on a FIFO or device swapped in after the
// checks: it opens non-blocking and refuses anything fstat does not show to
// be a regular file. With a base it also verifies that the opened file is
// the one lstat saw (device and inode) and that its real location, read back
// through /proc/self/fd, is still under the base.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "parser/error.h"

namespace trelvanic_parser {

// An open, read-only file descriptor, closed when the value is destroyed.
class OpenFile {
 public:
  OpenFile() = default;
  explicit OpenFile(int fd) : fd_(fd) {}
  OpenFile(OpenFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  OpenFile& operator=(OpenFile&& other) noexcept;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile();

  [[nodiscard]] int fd() const { return fd_; }
  [[nodiscard]] bool is_open() const { return fd_ >= 0; }

  // Seeks back to offset 0; a failure is `Parse` with the system's text.
  [[nodiscard]] Result<void> rewind() const;
  // The file's size from fstat; a failure is `Parse` with the system's text.
  [[nodiscard]] Result<uint64_t> size() const;

 private:
  int fd_ = -1;
};

// The absolute, normalised form of `path`: relative paths are taken from the
// current directory (`Io` if it cannot be read), "." is dropped and ".."
// removes the previous component ("path escapes beyond filesystem root" when
// there is none). A path that exists is then canonicalised (symbolic links
// resolved); one that does not is returned in its lexical form.
[[nodiscard]] Result<std::string> normalize_path(std::string_view path);

// Component-wise prefix test: every component of `base` matches the
// corresponding component of `path`. A path equal to the base is under it;
// /data/ab is not under /data/a.
[[nodiscard]] bool path_is_under_base(std::string_view path, std::string_view base);

// `normalize_path(path)`; with a base, also refuses a path outside the
// normalised base: "path {} escapes allowed base {}".
[[nodiscard]] Result<std::string> validate_load_path(std::string_view path,
                                                     std::optional<std::string_view> base);

// Refuses a normalised path that does not name a regular file (symbolic
// links followed): "not a file: {}".
[[nodiscard]] Result<void> require_regular_file(const std::string& normalized);

// Opens the validated path read-only; see the file comment for the checks.
[[nodiscard]] Result<OpenFile> open_for_load(const std::string& path, std::optional<std::string_view> base);

}  // namespace trelvanic_parser
