# Compiler options shared by every target of the project.

find_program(ZOR_CCACHE ccache)
if(ZOR_CCACHE)
  # Precompiled headers and __DATE__ need these to be cached at all.
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} ${ZOR_CCACHE})
endif()

add_library(zor_warnings INTERFACE)
target_compile_options(zor_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(ZOR_WERROR)
  target_compile_options(zor_warnings INTERFACE -Werror)
endif()

if(ZOR_SANITIZE)
  string(REPLACE "," ";" _zor_san_list "${ZOR_SANITIZE}")
  add_compile_options(-fsanitize=${ZOR_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${ZOR_SANITIZE})
  if("undefined" IN_LIST _zor_san_list)
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

# Put every binary in one place so that tests find the shared library without rpath games.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

if(ZOR_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (use the fuzz preset)")
  endif()
  # Coverage instrumentation for everything; the fuzz executables add the libFuzzer driver.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
