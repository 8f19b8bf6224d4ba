# Windows (MinGW-w64) settings, included by the top-level CMakeLists.txt.
enable_language(RC)

# A file in a Windows folder replaces the file of the same name in the Linux
# folders: quarrix_windows_sources(VAR platform/win) drops model/x.cpp and
# platform/x.cpp from VAR when platform/win/x.cpp exists, then adds the
# Windows files.
function(quarrix_windows_sources var folder)
  file(GLOB windows_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  set(kept)
  foreach(source IN LISTS ${var})
    get_filename_component(name ${source} NAME)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${folder}/${name})
      list(APPEND kept ${source})
    endif()
  endforeach()
  set(${var} ${kept} ${windows_files} PARENT_SCOPE)
endfunction()

# What every Windows target gets: the POSIX names MinGW lacks, the shims
# for the two iconv/GLib headers the portable code includes, wide-character
# system calls and static linking.
add_library(quarrix_windows INTERFACE)
target_include_directories(quarrix_windows INTERFACE ${CMAKE_SOURCE_DIR}/platform/win/shim)
# Header-only libraries from the build machine's packages, copied alone into
# a folder the cross compiler searches (not all of /usr/include).
configure_file(/usr/include/xxhash.h ${CMAKE_BINARY_DIR}/host-headers/xxhash.h COPYONLY)
file(COPY /usr/include/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
target_include_directories(quarrix_windows SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/host-headers)
target_compile_definitions(quarrix_windows INTERFACE UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601
  _POSIX_THREAD_SAFE_FUNCTIONS)
target_compile_options(quarrix_windows INTERFACE
  "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/platform/win/posix_compat.h>")
# Archives are read with libarchive, static with its compression libraries
# (scripts/windows/build-deps.sh), in the order they use each other.
add_library(quarrix_libarchive INTERFACE)
foreach(name archive zstd lzma bz2 z)
  set(library ${QUARRIX_WIN_DEPS}/lib/lib${name}.a)
  if(NOT EXISTS ${library})
    message(FATAL_ERROR "${library} is missing: scripts/windows/build-deps.sh builds it")
  endif()
  target_link_libraries(quarrix_libarchive INTERFACE ${library})
endforeach()
target_include_directories(quarrix_libarchive SYSTEM INTERFACE ${QUARRIX_WIN_DEPS}/include)
target_compile_definitions(quarrix_libarchive INTERFACE LIBARCHIVE_STATIC)
target_link_libraries(quarrix_windows INTERFACE quarrix_libarchive shell32 ole32 uuid advapi32 normaliz ntdll)
target_link_options(quarrix_windows INTERFACE -static -static-libgcc -static-libstdc++)

# Compiled into every program: the manifest (UTF-8 as the ANSI code page,
# common controls 6, DPI awareness), binary file mode and the running mark.
target_sources(quarrix_windows INTERFACE ${CMAKE_SOURCE_DIR}/resources/windows/manifest.rc
  ${CMAKE_SOURCE_DIR}/platform/win/startup/binary_mode.cpp ${CMAKE_SOURCE_DIR}/platform/win/startup/running_mark.cpp)
