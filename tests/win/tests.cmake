# The Windows test programs: the Linux tests that build files with POSIX
# calls Windows lacks (links, fifos, descriptors, the mount table, the MIME
# database, fork) are replaced by tests/win/*.cpp; the rest run as they are.
set(QUARRIX_LINUX_ONLY_TESTS scan_test.cpp update_places_test.cpp media_type_test.cpp mime_type_names_test.cpp
  cli_test.cpp cli_disk_test.cpp cli_limits_test.cpp atomic_file_test.cpp scan_medium_test.cpp scan_tree.cpp scan_walk_test.cpp item_real_name_test.cpp)
foreach(var CORE_TEST_SOURCES CLI_TEST_SOURCES)
  set(kept)
  foreach(source IN LISTS ${var})
    get_filename_component(name ${source} NAME)
    if(NOT name IN_LIST QUARRIX_LINUX_ONLY_TESTS)
      list(APPEND kept ${source})
    endif()
  endforeach()
  set(${var} ${kept})
endforeach()
file(GLOB QUARRIX_WIN_CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/core/*.cpp)
list(APPEND CORE_TEST_SOURCES ${QUARRIX_WIN_CORE_TESTS})
file(GLOB QUARRIX_WIN_CLI_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/cli/*.cpp)
list(APPEND CLI_TEST_SOURCES ${QUARRIX_WIN_CLI_TESTS})

include_directories(SYSTEM ${CMAKE_CURRENT_LIST_DIR}/shim)
add_compile_options("SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/test_posix_compat.h")
# The registry settings store is tested with the core: it needs no GUI.
list(APPEND CORE_TEST_SOURCES ${CMAKE_SOURCE_DIR}/document/win/settings_store.cpp
  ${CMAKE_SOURCE_DIR}/document/settings_store_number.cpp)

# Switches the running program's list through its styles for the GUI smoke
# test (scripts/windows/gui-smoke.sh); a console program of its own.
add_executable(gui_list_probe ${CMAKE_CURRENT_LIST_DIR}/probe/gui_list_probe.cpp)
target_include_directories(gui_list_probe PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(gui_list_probe PRIVATE UNICODE _UNICODE)
target_link_options(gui_list_probe PRIVATE -municode -static -static-libgcc -static-libstdc++)
target_link_libraries(gui_list_probe PRIVATE comctl32 gdi32)
