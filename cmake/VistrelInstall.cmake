# What `cmake --install` lays out, in two components that become the two
# Debian packages: Runtime (the programs, their manual pages, desktop entry,
# icon, documents and examples) and Development (what a host that embeds the
# widget needs: the public headers, the static libraries and a CMake package,
# so that find_package(vistrel) gives vistrel::widget and vistrel::sim).
include(CMakePackageConfigHelpers)

# The headers a host includes. Everything they include in turn is installed
# with them; every other header stays internal.
set(vistrel_public_headers components/error.h components/protocol.h sim/simulated_ecu.h
                           connect/link_factory.h)
# The libraries a host links; the ones they need in turn are installed too.
set(vistrel_public_libraries vistrel_sim vistrel_link vistrel_connect)
if(VISTREL_WITH_QT)
  list(APPEND vistrel_public_headers widget/vistrel_widget.h)
  list(APPEND vistrel_public_libraries vistrel_widget)
endif()

# vistrel_closure(<variable> <neighbours> <start>...): the start nodes and
# every node reachable from them, where `<neighbours>(<node> <out>)` sets
# <out> to the nodes one step away.
function(vistrel_closure variable neighbours)
  set(pending ${ARGN})
  set(found)
  while(pending)
    list(POP_FRONT pending node)
    if(NOT node IN_LIST found)
      list(APPEND found ${node})
      cmake_language(CALL ${neighbours} ${node} next)
      list(APPEND pending ${next})
    endif()
  endwhile()
  set(${variable} ${found} PARENT_SCOPE)
endfunction()

# The project headers (paths under src/) that <header> includes.
function(vistrel_included_headers header variable)
  set(file ${PROJECT_SOURCE_DIR}/src/${header})
  # A changed include list must change what gets installed.
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(STRINGS ${file} lines REGEX "^#include \"")
  set(included)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" name "${line}")
    if(EXISTS ${PROJECT_SOURCE_DIR}/src/${name})
      list(APPEND included ${name})
    endif()
  endforeach()
  set(${variable} ${included} PARENT_SCOPE)
endfunction()

# The vistrel libraries that <library> links.
function(vistrel_linked_libraries library variable)
  get_target_property(links ${library} LINK_LIBRARIES)
  set(linked)
  foreach(link IN LISTS links)
    if(link MATCHES "^vistrel_[a-z_]+$" AND TARGET ${link})
      list(APPEND linked ${link})
    endif()
  endforeach()
  set(${variable} ${linked} PARENT_SCOPE)
endfunction()

vistrel_closure(vistrel_installed_headers vistrel_included_headers ${vistrel_public_headers})
foreach(header IN LISTS vistrel_installed_headers)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/src/${header}
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vistrel/${folder}
          COMPONENT Development)
endforeach()

vistrel_closure(vistrel_installed_targets vistrel_linked_libraries ${vistrel_public_libraries})
foreach(library IN LISTS vistrel_installed_targets)
  string(REGEX REPLACE "^vistrel_" "" name ${library})
  set_target_properties(${library} PROPERTIES EXPORT_NAME ${name})
endforeach()

set(vistrel_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vistrel)
install(TARGETS ${vistrel_installed_targets}
        EXPORT vistrelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
install(EXPORT vistrelTargets
        NAMESPACE vistrel::
        DESTINATION ${vistrel_package_dir}
        COMPONENT Development)

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/vistrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vistrelConfig.cmake
  INSTALL_DESTINATION ${vistrel_package_dir})
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/vistrelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vistrelConfig.cmake
              ${PROJECT_BINARY_DIR}/vistrelConfigVersion.cmake
        DESTINATION ${vistrel_package_dir}
        COMPONENT Development)

# The programs install themselves (apps/); here go the texts beside them.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Runtime)
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Runtime
        FILES_MATCHING PATTERN "*.md")
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT Runtime)
