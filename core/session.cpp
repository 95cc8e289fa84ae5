#include "core/session.h"

namespace trelvanic_core {

std::string_view profile_name(Profile profile) {
  switch (profile) {
    case Profile::Auto: return "Auto";
    case Profile::Rdfs: return "Rdfs";
    case Profile::Rl: return "Rl";
    case Profile::El: return "El";
    case Profile::Alc: return "Alc";
    case Profile::Dl: return "Dl";
    case Profile::DlPreview: return "DlPreview";
    case Profile::Swrl: return "Swrl";
  }
  return "Auto";
}

}  // namespace trelvanic_core
