# The Debian packages, made by `cpack -G DEB` in a build configured with the
# prefix /usr (scripts/package does both): `vistrel` from the Runtime
# component, `vistrel-dev` from the Development one.
set(VISTREL_PACKAGE_MAINTAINER "The vistrel authors <vistrel@example.org>"
    CACHE STRING "Maintainer field of the Debian packages")

# Debian wants a machine-readable copyright file and a compressed changelog
# in each package's documentation folder.
string(REPLACE "\n\n" "\n.\n" license_body "${VISTREL_LICENSE_TERMS}")
string(REPLACE "\n" "\n " license_body "${license_body}")
set(vistrel_debian_docs ${PROJECT_BINARY_DIR}/debian)
file(WRITE ${vistrel_debian_docs}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}

Files: *
Copyright: ${VISTREL_COPYRIGHT}
License: MIT
 ${license_body}
")
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${vistrel_debian_docs}/changelog @ONLY)
execute_process(COMMAND gzip -9nc INPUT_FILE ${vistrel_debian_docs}/changelog
                OUTPUT_FILE ${vistrel_debian_docs}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)

foreach(component Runtime Development)
  set(package vistrel)
  if(component STREQUAL "Development")
    set(package vistrel-dev)
  endif()
  install(FILES ${vistrel_debian_docs}/copyright ${vistrel_debian_docs}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  string(TOUPPER ${component} COMPONENT)
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${package})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VISTREL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VISTREL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The programs' library dependencies come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
"live watch of a car ECU's memory over KWP2000
vistrel reads a table of memory items (address, length, mask, byte order,
sign, display as decimal, hexadecimal, binary or a physical value with a
unit) from one ECU again and again over KWP2000, shows the values in a grid
and records every read to a tab-separated file. It holds the desktop
application, the command line vistrel-cli, a simulated ECU that answers
like a small car, and vistrel-seedkey, the key program of its security
access.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# Static libraries carry no shared-library dependencies to compute: what a
# host needs to link them is what vistrelConfig.cmake looks for.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libpugixml-dev")
if(VISTREL_WITH_QT)
  string(APPEND CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS ", qt6-base-dev, qt6-svg-dev")
endif()
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
"vistrel widget for host applications
The Qt6 widget that watches a car ECU's memory over KWP2000, for diagnostic
hosts that embed it: its public headers, its static libraries, the simulated
ECU, and a CMake package (find_package(vistrel), target vistrel::widget).")

include(CPack)
