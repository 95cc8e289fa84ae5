// Lookups in the constant name tables of the core enums (kinds are listed
// once, in code order, so the name of code i is entry i).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace trelvanic_core {

template <class Enum>
std::string_view table_name(std::span<const std::string_view> names, Enum value) {
  const auto i = static_cast<size_t>(value);
  return i < names.size() ? names[i] : std::string_view("?");
}

template <class Enum>
std::optional<Enum> table_lookup(std::span<const std::string_view> names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<Enum>(i);
  return std::nullopt;
}

}  // namespace trelvanic_core
