# Shared settings of every vistrel target: strict warnings, the source root on
# the include path (includes read "components/byte_string.h").
add_library(vistrel_warnings INTERFACE)
target_compile_options(vistrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)

# vistrel_library(<name> SOURCES ... [DEPENDS ...])
function(vistrel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vistrel>)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE $<BUILD_INTERFACE:vistrel_warnings>)
endfunction()

# vistrel_test(<name> SOURCES ... DEPENDS ...): a GoogleTest executable registered with ctest.
function(vistrel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} vistrel_test_support GTest::gmock_main
                                        vistrel_warnings)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# vistrel_benchmark(<name> SOURCES ... DEPENDS ...)
function(vistrel_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark_main vistrel_warnings)
endfunction()

# vistrel_fuzzer(<name> SOURCES ... DEPENDS ...): a libFuzzer harness.
function(vistrel_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} vistrel_warnings)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY VISTREL_FUZZERS ${name})
endfunction()
