# Shared build helpers: our warning set, and GoogleTest executables that
# CTest runs through Wine (one process per executable).

function(zp_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Werror -Wno-missing-field-initializers -Wno-cast-function-type>)
endfunction()

# GoogleTest from the sources of Debian's googletest package, built with the
# cross toolchain. Warnings of third-party code are not ours to fix.
if(NOT TARGET gtest)
  set(ZP_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${ZP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(zp_gtest INTERFACE)
  target_link_libraries(zp_gtest INTERFACE gtest gmock)
endif()

# Environment every Wine process of the test run shares: a private prefix of
# the variant's width inside the build tree, no install dialogs, nothing in host menus,
# and a pinned locale so locale-driven start-up is the same everywhere.
set(ZP_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZP_WINEARCH win64)
else()
  set(ZP_WINEARCH win32)
endif()
set(ZP_TEST_ENV
  "WINEPREFIX=${ZP_WINEPREFIX}"
  "WINEARCH=${ZP_WINEARCH}"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree=\\;mshtml=\\;winemenubuilder.exe=d"
  "LANG=C.UTF-8"
  "LC_ALL=C.UTF-8")

# zp_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [DEPENDS <targets...>] [NO_MAIN] [TIMEOUT <s>])
function(zp_add_gtest name)
  cmake_parse_arguments(ARG "NO_MAIN" "TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  zp_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} zp_gtest)
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE gtest_main)
  endif()
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ZP_TEST_ENV}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# The libraries only tests load (plug-in variants lacking one thing, odd
# plug-ins, version fixtures) lie in a folder of their own, beside <build>/bin
# rather than in it: <build>/bin is the program folder the demonstration and
# scripts/run-program.sh use, and its plug-in list must show what a user's
# shows, the demonstration plug-in alone. Tests find them through
# tests/support/TestLibraries.h.
set(ZP_TEST_LIBRARY_DIR ${CMAKE_BINARY_DIR}/testlibs)
function(zp_test_library target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZP_TEST_LIBRARY_DIR})
  # A build folder made before the libraries moved keeps a copy in the
  # program folder, where the plug-in list would still show it.
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  file(REMOVE ${CMAKE_BINARY_DIR}/bin/${name}.dll)
endfunction()

# Add every listed source that exists; units land one at a time.
function(zp_existing_sources out)
  set(result)
  foreach(f ${ARGN})
    if(EXISTS ${CMAKE_SOURCE_DIR}/${f})
      list(APPEND result ${CMAKE_SOURCE_DIR}/${f})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Every string id the application's tables hold: resources/StringIds.h and
# the headers of the lower layers it includes. zp_string_id_lines(<out>)
# gives one ZP_STRING_ID(name) line per id, so tests walk every id without
# a hand-kept list.
set(ZP_STRING_IDS_HEADERS ${CMAKE_SOURCE_DIR}/resources/StringIds.h
  ${CMAKE_SOURCE_DIR}/toolkit/ToolkitStringIds.h ${CMAKE_SOURCE_DIR}/toolbars/ToolbarStringIds.h)
function(zp_string_id_lines out)
  set(result "")
  foreach(header ${ZP_STRING_IDS_HEADERS})
    file(STRINGS ${header} lines REGEX "^#define[ \t]+S_[A-Z0-9_]+[ \t]+[0-9]+")
    foreach(line ${lines})
      string(REGEX REPLACE "^#define[ \t]+(S_[A-Z0-9_]+).*$" "\\1" name "${line}")
      string(APPEND result "ZP_STRING_ID(${name})\n")
    endforeach()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()
