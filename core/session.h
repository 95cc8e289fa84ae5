// The requested reasoning `Profile`, the `ConsistencyResult` pair and the
// `ReasonerSession` interface: engine state a core reasoner keeps between
// calls (the EL session, the materializer session).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <typeinfo>

namespace trelvanic_core {

enum class Profile : uint8_t {
  Auto = 0,
  Rdfs = 1,
  Rl = 2,
  El = 3,
  Alc = 4,
  Dl = 5,
  DlPreview = 6,
  Swrl = 7,
};

// "Auto", "Rdfs", ..., "DlPreview", "Swrl".
[[nodiscard]] std::string_view profile_name(Profile profile);

struct ConsistencyResult {
  bool consistent = false;
  bool complete = false;

  friend bool operator==(const ConsistencyResult&, const ConsistencyResult&) = default;
};

class ReasonerSession {
 public:
  virtual ~ReasonerSession() = default;

  [[nodiscard]] virtual Profile profile() const = 0;
  // Discards the engine state held by the session.
  virtual void clear() = 0;
  // Debug text of the session.
  [[nodiscard]] virtual std::string debug_text() const = 0;

  // The session as `T` when it is one (engines recognise their own state).
  template <class T>
  [[nodiscard]] T* as() {
    return dynamic_cast<T*>(this);
  }
};

}  // namespace trelvanic_core
