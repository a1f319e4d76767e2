# The package, asan and fuzz builds compile the sources of a target together
# (CMAKE_UNITY_BUILD in their presets): the headers are read once per batch
# instead of once per file, which cuts their compile time by about two
# thirds. The dev build keeps compiling file by file, so that a file that
# misses an include of its own still fails there.
#
# A unity build needs the names in the anonymous namespaces of a target's
# files to differ. The files and targets below share such names (and the
# serial line includes the kernel's termios beside the C library's), so they
# are compiled one by one.
set_source_files_properties(
  ${PROJECT_SOURCE_DIR}/src/itemlist/item_line.cpp ${PROJECT_SOURCE_DIR}/src/itemlist/a2l_lexer.cpp
  DIRECTORY ${PROJECT_SOURCE_DIR}/src/itemlist PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
foreach(target vistrel_line vistrel_link vistrel_sim vistrel_reading link_tests sim_tests)
  if(TARGET ${target})
    set_property(TARGET ${target} PROPERTY UNITY_BUILD OFF)
  endif()
endforeach()
