#include "dl/error.h"

#include <fmt/format.h>

namespace trelvanic_dl {

Error Error::wrong_profile(trelvanic_core::Profile profile) {
  return Error(ErrorKind::WrongProfile, std::string(trelvanic_core::profile_name(profile)));
}

Error Error::alc(trelvanic_alc::Error e) {
  Error out(ErrorKind::Alc, e.message());
  out.core_ = e.core;
  out.alc_ = std::move(e);
  return out;
}

Error Error::core(trelvanic_core::Error e) {
  Error out(ErrorKind::Core, e.message());
  out.core_ = std::move(e);
  return out;
}

std::string Error::message() const {
  switch (kind_) {
    case ErrorKind::WrongProfile:
      return fmt::format("expected DL profile, got {}", detail_);
    case ErrorKind::Inconsistent:
      return "ontology inconsistent";
    case ErrorKind::DlPreview:
      return fmt::format("DL preview: {}", detail_);
    case ErrorKind::Incomplete:
      return fmt::format("consistency check incomplete: {}", detail_);
    case ErrorKind::El:
    case ErrorKind::Alc:
    case ErrorKind::Parser:
    case ErrorKind::Core:
    case ErrorKind::Profile:
    case ErrorKind::Message:
      return detail_;
  }
  return detail_;
}

}  // namespace trelvanic_dl
