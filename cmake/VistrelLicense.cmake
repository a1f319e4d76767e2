# The copyright holder and the license terms, read from LICENSE so that the
# programs' --version and the packages' copyright file never differ from it.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE vistrel_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)\n\n(.*[^\n])" found "${vistrel_license}")
if(NOT found)
  message(FATAL_ERROR "LICENSE has no \"Copyright (c) ...\" line followed by the terms")
endif()
set(VISTREL_COPYRIGHT ${CMAKE_MATCH_1})
set(VISTREL_LICENSE_TERMS "${CMAKE_MATCH_2}")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                          ${PROJECT_SOURCE_DIR}/LICENSE)
