#include "parser/error.h"

#include <system_error>

namespace trelvanic_parser {

std::string os_error_text(int errnum) { return std::generic_category().message(errnum); }

Error Error::io(int errnum) { return Error(ErrorKind::Io, os_error_text(errnum), errnum); }

Error Error::parse_from_errno(int errnum) { return Error(ErrorKind::Parse, os_error_text(errnum), errnum); }

Error Error::core(trelvanic_core::Error error) {
  Error wrapped(ErrorKind::Core, error.message(), 0);
  wrapped.core_ = std::move(error);
  return wrapped;
}

std::string Error::message() const {
  switch (kind_) {
    case ErrorKind::UnsupportedFormat:
      return "unsupported format: " + text_;
    case ErrorKind::Parse:
      return "parse error: " + text_;
    case ErrorKind::Io:
    case ErrorKind::Core:
      return text_;
  }
  return text_;
}

}  // namespace trelvanic_parser
