# Precompiled headers (TRELVANIC_PCH). Most of an unoptimised compile is parsing
# the standard library, abseil's hash containers and fmt (and GoogleTest in the
# tests), so each build parses them once: one owner target builds the header and
# every library (and, with GoogleTest added, every test program) reuses it. GCC
# takes a reused header only where the flags and the definitions it depends on
# match (fmt's among them, so every user links fmt as the owner does) and says
# so otherwise (-Winvalid-pch, an error under TRELVANIC_WERROR). Optimised
# builds do without: GCC 12 reports out-of-bounds copies inside std::string
# that cannot happen (-Warray-bounds) when it reads these headers precompiled.
set(TRELVANIC_PCH_HEADERS
  <algorithm> <array> <chrono> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring>
  <expected> <functional> <memory> <optional> <span> <string> <string_view>
  <utility> <variant> <vector>
  <absl/container/flat_hash_map.h> <absl/container/flat_hash_set.h> <fmt/format.h>)
set(TRELVANIC_PCH_DEPS fmt::fmt absl::flat_hash_map absl::flat_hash_set)

# trelvanic_pch_owner(<target> [TEST])
#
# Declares the target that builds the precompiled header: an object library
# compiled as the libraries are or, with TEST, a program compiled as the test
# programs are (position-independent executable code) that adds GoogleTest.
function(trelvanic_pch_owner target)
  cmake_parse_arguments(ARG "TEST" "" "" ${ARGN})
  if(NOT TRELVANIC_PCH)
    return()
  endif()
  set(source ${PROJECT_SOURCE_DIR}/cmake/pch_owner.cpp)
  if(ARG_TEST)
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE ${TRELVANIC_PCH_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_precompile_headers(${target} PRIVATE ${TRELVANIC_PCH_HEADERS} <gtest/gtest.h> <gmock/gmock.h>)
  else()
    add_library(${target} OBJECT ${source})
    target_link_libraries(${target} PRIVATE ${TRELVANIC_PCH_DEPS})
    target_precompile_headers(${target} PRIVATE ${TRELVANIC_PCH_HEADERS})
  endif()
endfunction()

# trelvanic_reuse_pch(<target> <owner>)
function(trelvanic_reuse_pch target owner)
  if(TRELVANIC_PCH)
    target_link_libraries(${target} PRIVATE ${TRELVANIC_PCH_DEPS})
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
endfunction()

# trelvanic_library(<name> [DEPS <targets>...])
#
# Declares the static library `trelvanic_<name>` from every .cpp below the
# calling folder. A folder without sources yet becomes an interface library,
# so dependents can name it before it has code.
function(trelvanic_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  set(target trelvanic_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    trelvanic_reuse_pch(${target} trelvanic_pch)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# trelvanic_test(<name> [DEPS <targets>...])
#
# One GoogleTest program per library: every .cpp in tests/cpp/<name>/.
function(trelvanic_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE trelvanic_${name} ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(test_${name} PRIVATE
    TRELVANIC_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TRELVANIC_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  trelvanic_reuse_pch(test_${name} trelvanic_test_pch)
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
