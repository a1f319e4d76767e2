# What `cmake --install` lays out for hosts that embed the control: the static
# libraries, their headers and a CMake package, so that find_package(vistrel)
# gives vistrel::widget (and vistrel::sim, the simulated ECU, for demos).
include(CMakePackageConfigHelpers)

set(vistrel_installed_modules components item itemlist recording control sim)
if(VISTREL_WITH_QT)
  list(APPEND vistrel_installed_modules widget)
endif()

set(vistrel_installed_targets)
foreach(module IN LISTS vistrel_installed_modules)
  set_target_properties(vistrel_${module} PROPERTIES EXPORT_NAME ${module})
  list(APPEND vistrel_installed_targets vistrel_${module})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${module}/
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vistrel/${module}
          COMPONENT Development
          FILES_MATCHING PATTERN "*.h")
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
