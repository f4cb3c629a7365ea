# Shared build settings: every target of the project compiles with warnings as errors.
function(arvestra_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports false -Wrestrict overlaps inside std::string at -O3 (GCC bug 105329).
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# One layer of the core: an object library made of every .cpp in its folder, so a layer's tests
# build without the layers above it. An empty folder gives an interface library.
function(arvestra_add_layer name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} OBJECT ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    arvestra_warnings(${name})
    target_link_libraries(${name} PUBLIC ${ARGN} Threads::Threads)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN} Threads::Threads)
  endif()
endfunction()

# What nearly every test file includes, compiled once per test executable: parsing GoogleTest,
# the JSON library and the standard headers took a quarter of each test file's build.
set(ARVESTRA_TEST_PRECOMPILED_HEADERS
    <gmock/gmock.h> <gtest/gtest.h> <nlohmann/json.hpp>
    <algorithm> <array> <chrono> <cstdint> <cstdlib> <filesystem> <fstream> <functional> <map>
    <memory> <optional> <set> <sstream> <string> <string_view> <thread> <vector>)

# Test code is built for a quick build, not a quick run: in the optimised build the code under
# test keeps its optimisation, while the tests themselves compile without it and without
# debug information (the sanitizer builds keep theirs), which more than halves their build.
# The precompiled headers are made once, by the first test executable, and the others use that
# one: each copy took half a minute. OWN_PRECOMPILED_HEADERS gives a target its own, to which it
# can add headers (the editor's tests add Qt's).
function(arvestra_test_build_settings target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OWN_PRECOMPILED_HEADERS" "" "")
  get_property(owner GLOBAL PROPERTY ARVESTRA_TEST_PCH_OWNER)
  if(arg_OWN_PRECOMPILED_HEADERS OR NOT owner)
    target_precompile_headers(${target} PRIVATE ${ARVESTRA_TEST_PRECOMPILED_HEADERS})
    if(NOT owner)
      set_property(GLOBAL PROPERTY ARVESTRA_TEST_PCH_OWNER ${target})
    endif()
  else()
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-O0 -g0>)
endfunction()

# One GoogleTest executable per test folder, registered with CTest; the arguments after the
# folder are the libraries it links, and OWN_PRECOMPILED_HEADERS (see above).
function(arvestra_add_test_folder name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "OWN_PRECOMPILED_HEADERS" "" "")
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  arvestra_warnings(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools)
  if(arg_OWN_PRECOMPILED_HEADERS)
    arvestra_test_build_settings(${name} OWN_PRECOMPILED_HEADERS)
  else()
    arvestra_test_build_settings(${name})
  endif()
  target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock
                                         GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${name} TIMEOUT 300)
endfunction()
