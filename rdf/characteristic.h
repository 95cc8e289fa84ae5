// The vocabulary ids of the property characteristics (core/characteristic.h):
// the OWL class whose rdf:type triple states each, as a fixed `TermId` of
// every term table (rdf/vocab.h).
//
//   characteristic_type(PropertyCharacteristic::Transitive)  // kOwlTransitiveProperty
//   characteristic_of_type(vocab::kOwlSymmetricProperty)     // Symmetric
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/characteristic.h"
#include "rdf/term_id.h"
#include "rdf/vocab.h"

namespace trelvanic_rdf {

namespace detail {
constexpr TermId vocab_id(std::string_view iri) {
  for (std::size_t i = 0; i < vocab::kCount; ++i)
    if (vocab::kIris[i] == iri) return TermId{static_cast<std::uint32_t>(i + 1)};
  return TermId{};
}
}  // namespace detail

inline constexpr std::array<TermId, trelvanic_core::kCharacteristicCount> kCharacteristicTypes = [] {
  std::array<TermId, trelvanic_core::kCharacteristicCount> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = detail::vocab_id(trelvanic_core::kCharacteristics[i].rdf_type);
  return ids;
}();
static_assert(
    [] {
      for (TermId id : kCharacteristicTypes)
        if (!id) return false;
      return true;
    }(),
    "every characteristic class is a vocabulary term");

[[nodiscard]] constexpr TermId characteristic_type(trelvanic_core::PropertyCharacteristic c) {
  return kCharacteristicTypes[static_cast<std::size_t>(c)];
}

// The characteristic an rdf:type object states; none for any other term.
[[nodiscard]] constexpr std::optional<trelvanic_core::PropertyCharacteristic> characteristic_of_type(TermId type) {
  for (std::size_t i = 0; i < kCharacteristicTypes.size(); ++i)
    if (kCharacteristicTypes[i] == type) return static_cast<trelvanic_core::PropertyCharacteristic>(i);
  return std::nullopt;
}

}  // namespace trelvanic_rdf
