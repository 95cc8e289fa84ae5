#include "facade/error.h"

namespace trelvanic_facade {

Error Error::core(trelvanic_core::Error error) {
  Error out(ErrorVariant::Core, error.message());
  out.core_ = std::move(error);
  return out;
}

Error Error::dl_budget_exhausted(uint32_t count, std::string text) {
  Error out(ErrorVariant::Dl, std::move(text));
  out.dl_case_ = DlCase::BudgetExhausted;
  out.budget_count_ = count;
  return out;
}

Error Error::dl_incomplete(std::string reason) {
  Error out(ErrorVariant::Dl, "consistency check incomplete: " + reason);
  out.dl_case_ = DlCase::Incomplete;
  out.reason_ = std::move(reason);
  return out;
}

Error Error::engine_not_available(ErrorVariant variant, std::string_view engine) {
  return Error(variant, std::string(engine) + " engine is not available yet");
}

}  // namespace trelvanic_facade
