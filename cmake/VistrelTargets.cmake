# Shared settings of every vistrel target: strict warnings, the source root on
# the include path (includes read "components/byte_string.h").
add_library(vistrel_warnings INTERFACE)
target_compile_options(vistrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)

# The fakes under tests/ ("fakes/scripted_protocol.h"), shared by the tests
# of every module and by the benchmarks.
add_library(vistrel_test_support INTERFACE)
target_include_directories(vistrel_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(vistrel_test_support INTERFACE vistrel_components)

# vistrel_add_module_folders(): adds the folder of each module, in layer order,
# that the current folder holds; src/, tests/, bench/ and fuzz/ each have one
# folder per module, and only a Qt build has the widget.
function(vistrel_add_module_folders)
  set(modules components dialect item reading itemlist link sim connect recording engine control cli)
  if(VISTREL_WITH_QT)
    list(APPEND modules plot widget)
  endif()
  foreach(module ${modules})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${module}/CMakeLists.txt)
      add_subdirectory(${module})
    endif()
  endforeach()
endfunction()

# vistrel_library(<name> SOURCES ... [DEPENDS ...])
function(vistrel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vistrel>)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE $<BUILD_INTERFACE:vistrel_warnings>)
endfunction()

# vistrel_embed_file(<variable> INPUT <file> HEADER <header> NAMESPACE <namespace>
#                    FUNCTION <name>): a source, generated whenever INPUT changes,
# whose FUNCTION returns the bytes of INPUT (see EmbedFile.cmake); its path goes
# into <variable> for a library to compile.
function(vistrel_embed_file variable)
  cmake_parse_arguments(ARG "" "INPUT;HEADER;NAMESPACE;FUNCTION" "" ${ARGN})
  set(script ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/generated/${ARG_FUNCTION}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${ARG_INPUT} -DOUTPUT=${output} -DHEADER=${ARG_HEADER}
            -DNAMESPACE=${ARG_NAMESPACE} -DFUNCTION=${ARG_FUNCTION} -P ${script}
    DEPENDS ${ARG_INPUT} ${script}
    COMMENT "Embedding ${ARG_INPUT}"
    VERBATIM)
  set(${variable} ${output} PARENT_SCOPE)
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

# vistrel_man_page(<program> <summary>): the program's manual page, made at
# build time by help2man from the program's own --help and --version (so it
# never drifts from them), with the help of each of its subcommands, and
# installed beside the program.
function(vistrel_man_page program summary)
  if(NOT VISTREL_MAN_PAGES)
    return()
  endif()
  find_program(VISTREL_HELP2MAN help2man)
  if(NOT VISTREL_HELP2MAN)
    message(FATAL_ERROR "help2man is missing: ./scripts/install-deps installs it "
                        "(or configure with -DVISTREL_MAN_PAGES=OFF)")
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
  set(script ${PROJECT_SOURCE_DIR}/cmake/ManPageCommands.cmake)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
            -DDOCS=${CMAKE_INSTALL_FULL_DOCDIR} -DOUTPUT=${page}.commands -P ${script}
    COMMAND ${VISTREL_HELP2MAN} --no-info --name ${summary} --include ${page}.commands
            --output ${page} $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${program} ${script}
    COMMENT "Manual page of ${program}"
    VERBATIM)
  add_custom_target(${program}_man_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
endfunction()
