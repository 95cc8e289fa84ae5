#include "parser/sandbox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fmt/format.h>

namespace trelvanic_parser {

namespace {

// The components of a path: whether it starts at the root, then its normal
// components ("." and empty ones dropped, ".." kept as text).
struct PathParts {
  bool rooted = false;
  std::vector<std::string_view> names;
};

PathParts split_path(std::string_view path) {
  PathParts parts;
  parts.rooted = !path.empty() && path.front() == '/';
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    std::string_view name = path.substr(pos, end - pos);
    if (!name.empty() && name != ".") parts.names.push_back(name);
    pos = end + 1;
  }
  return parts;
}

std::string join_absolute(const std::vector<std::string>& names) {
  if (names.empty()) return "/";
  std::string out;
  for (const auto& name : names) {
    out += '/';
    out += name;
  }
  return out;
}

// System calls take NUL-terminated names, so a path holding a NUL byte
// names no file (passed on, it would be cut short silently).
bool has_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

// realpath(3): the canonical form of an existing path.
Result<std::string> canonicalize(const std::string& path) {
  if (has_nul(path)) return std::unexpected(Error::parse_from_errno(EINVAL));
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return std::unexpected(Error::parse_from_errno(errno));
  return std::string(resolved.get());
}

Result<std::string> current_directory() {
  std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
  if (!cwd) return std::unexpected(Error::io(errno));
  return std::string(cwd.get());
}

// The target of the symbolic link `link`, or nullopt when it cannot be read.
std::optional<std::string> read_link(const std::string& link) {
  std::string buffer(PATH_MAX, '\0');
  for (;;) {
    ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (n < 0) return std::nullopt;
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

Error escapes_base(std::string_view what, std::string_view path, std::string_view base) {
  return Error::parse(fmt::format("{} {} escapes allowed base {}", what, path, base));
}

// The base's normalised and canonical form, as the /proc re-check needs it.
Result<std::string> canonical_base(std::string_view base) {
  auto normalized = normalize_path(base);
  if (!normalized) return std::unexpected(std::move(normalized).error());
  return canonicalize(*normalized);
}

// After open, with a base: the open file must be the one lstat saw before
// the open (same device and inode), and its real location, read back from
// /proc/self/fd, must still be under the canonical base. Without /proc the
// canonical form of the validated path is tested instead.
Result<void> verify_opened_under_base(const OpenFile& file, const struct stat& seen, const struct stat& opened,
                                      const std::string& path, std::string_view base) {
  if (opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
    return std::unexpected(Error::parse("ontology path changed between validation and open"));
  }
  auto b = canonical_base(base);
  if (!b) return std::unexpected(std::move(b).error());
  if (auto target = read_link(fmt::format("/proc/self/fd/{}", file.fd()))) {
    auto real = canonicalize(*target);
    if (!real) return std::unexpected(std::move(real).error());
    if (!path_is_under_base(*real, *b)) return std::unexpected(escapes_base("opened file", *real, *b));
    return {};
  }
  auto real = canonicalize(path);
  if (!real) return std::unexpected(std::move(real).error());
  if (!path_is_under_base(*real, *b)) return std::unexpected(escapes_base("path", *real, *b));
  return {};
}

}  // namespace

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

OpenFile::~OpenFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result<void> OpenFile::rewind() const {
  if (::lseek(fd_, 0, SEEK_SET) < 0) return std::unexpected(Error::parse_from_errno(errno));
  return {};
}

Result<uint64_t> OpenFile::size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return std::unexpected(Error::parse_from_errno(errno));
  return static_cast<uint64_t>(st.st_size);
}

Result<std::string> normalize_path(std::string_view path) {
  std::vector<std::string> names;
  PathParts parts = split_path(path);
  if (!parts.rooted) {
    auto cwd = current_directory();
    if (!cwd) return std::unexpected(std::move(cwd).error());
    for (std::string_view name : split_path(*cwd).names) names.emplace_back(name);
  }
  for (std::string_view name : parts.names) {
    if (name == "..") {
      if (names.empty()) return std::unexpected(Error::parse("path escapes beyond filesystem root"));
      names.pop_back();
    } else {
      names.emplace_back(name);
    }
  }
  std::string lexical = join_absolute(names);
  struct stat st {};
  if (has_nul(lexical) || ::stat(lexical.c_str(), &st) != 0) return lexical;
  return canonicalize(lexical);
}

bool path_is_under_base(std::string_view path, std::string_view base) {
  PathParts p = split_path(path);
  PathParts b = split_path(base);
  if (p.rooted != b.rooted) return false;
  if (b.names.size() > p.names.size()) return false;
  for (size_t i = 0; i < b.names.size(); ++i) {
    if (p.names[i] != b.names[i]) return false;
  }
  return true;
}

Result<std::string> validate_load_path(std::string_view path, std::optional<std::string_view> base) {
  auto p = normalize_path(path);
  if (!p || !base) return p;
  auto b = normalize_path(*base);
  if (!b) return std::unexpected(std::move(b).error());
  if (!path_is_under_base(*p, *b)) return std::unexpected(escapes_base("path", *p, *b));
  return p;
}

Result<void> require_regular_file(const std::string& normalized) {
  struct stat st {};
  if (has_nul(normalized) || ::stat(normalized.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return std::unexpected(Error::parse(fmt::format("not a file: {}", normalized)));
  }
  return {};
}

Result<OpenFile> open_for_load(const std::string& path, std::optional<std::string_view> base) {
  struct stat seen {};
  if (has_nul(path)) return std::unexpected(Error::io(EINVAL));
  if (::lstat(path.c_str(), &seen) != 0) return std::unexpected(Error::io(errno));

  // Non-blocking, so that a FIFO or device put in place of the file cannot
  // stall the open, and without taking a terminal as the controlling one.
  // The non-blocking flag is cleared below once fstat proves a regular file.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_LARGEFILE | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::unexpected(Error::parse_from_errno(errno));
  OpenFile file(fd);

  struct stat opened {};
  if (::fstat(fd, &opened) != 0) return std::unexpected(Error::io(errno));
  if (!S_ISREG(opened.st_mode)) return std::unexpected(Error::parse(fmt::format("not a file: {}", path)));
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return std::unexpected(Error::parse_from_errno(errno));
  }

  if (base) {
    auto verified = verify_opened_under_base(file, seen, opened, path, *base);
    if (!verified) return std::unexpected(std::move(verified).error());
  }
  return file;
}

}  // namespace trelvanic_parser
