# Language modules ZeltoPrg.enu, .fra, .ita, .rom: resource-only libraries
# that the program loads as data files. Each carries every window
# description (RCDATA named after the window class) and the whole string
# table, the toolkit's dialog texts included, under the English ids.
#
# scripts/lang_build.py makes one Module.rc per language: the master
# descriptions of resources/forms with the texts of
# resources/lang/<lang>/<TClass>.txt put in, and the English string table
# overlaid with Strings.<lang>.rc and ToolkitStrings.<lang>.rc. What a
# language lacks stays English, and the build prints a warning listing it.
# The English module is the master texts as they are.
# Included at the end of resources/CMakeLists.txt (uses its ZP_FORM_FILES).

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ZP_LANG_TOOL ${CMAKE_SOURCE_DIR}/scripts/lang_build.py)
set(ZP_LANG_ENGLISH_STRINGS
  ${CMAKE_CURRENT_SOURCE_DIR}/Strings.enu.rc
  ${CMAKE_SOURCE_DIR}/toolkit/ToolkitStrings.rcinc)
set(ZP_LANGUAGE_MODULES)

# zp_language_module(<lang> <code page> <LANGUAGE arguments> [MASTER])
# MASTER: the English module, the master texts as they are.
function(zp_language_module lang codepage language)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/lang/${lang})
  set(texts_dir ${CMAKE_CURRENT_SOURCE_DIR}/lang/${lang})
  file(GLOB texts CONFIGURE_DEPENDS ${texts_dir}/*.txt)
  set(existing_strings)
  foreach(s Strings.${lang}.rc ToolkitStrings.${lang}.rc)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${s})
      list(APPEND existing_strings ${CMAKE_CURRENT_SOURCE_DIR}/${s})
    endif()
  endforeach()
  set(merged_forms)
  foreach(form ${ZP_FORM_FILES})
    get_filename_component(cls ${form} NAME_WE)
    list(APPEND merged_forms ${out}/forms/${cls}.frm)
  endforeach()
  set(master_flag)
  if(ARGN STREQUAL "MASTER")
    set(master_flag --master)
  endif()

  add_custom_command(
    OUTPUT ${out}/Module.rc ${merged_forms}
    COMMAND ${Python3_EXECUTABLE} ${ZP_LANG_TOOL} module ${master_flag}
      --lang ${lang} --module ZeltoPrg.${lang} --codepage ${codepage} --language "${language}"
      --out ${out} --texts-dir ${texts_dir}
      --forms ${ZP_FORM_FILES}
      --english-strings ${ZP_LANG_ENGLISH_STRINGS}
      --strings ${existing_strings}
      --include StringIds.h toolkit/ToolkitStrings.h
    DEPENDS ${ZP_LANG_TOOL} ${ZP_FORM_FILES} ${texts} ${ZP_LANG_ENGLISH_STRINGS} ${existing_strings}
    COMMENT "Language module ZeltoPrg.${lang}: merging texts, descriptions and strings"
    VERBATIM)

  set_source_files_properties(${out}/Module.rc PROPERTIES
    OBJECT_DEPENDS "${ZP_STRING_IDS_HEADERS};${CMAKE_SOURCE_DIR}/toolkit/ToolkitStrings.h;${merged_forms}")
  set(target zp_language_${lang})
  add_library(${target} MODULE ${out}/Module.rc)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ZeltoPrg PREFIX "" SUFFIX ".${lang}"
    LINKER_LANGUAGE C
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  # No code at all: no entry point, no runtime, no imports.
  target_link_options(${target} PRIVATE -nostdlib -Wl,-e,0 -s)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(ZP_LANGUAGE_MODULES ${ZP_LANGUAGE_MODULES} ${target} PARENT_SCOPE)
endfunction()

zp_language_module(enu 1252 "0x09,0x01" MASTER)
zp_language_module(fra 1252 "0x0C,0x01")
zp_language_module(ita 1252 "0x10,0x01")
zp_language_module(rom 1250 "0x18,0x01")

add_custom_target(zp_language_modules ALL DEPENDS ${ZP_LANGUAGE_MODULES})
