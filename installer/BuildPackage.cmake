# Assembles the package folder (cmake -P): the files this project builds,
# under the names the installer copies, and the outside files of the
# manifest, from EXTRAS_DIR or as placeholders.
#   -DBIN_DIR=<build>/bin -DPACKAGE_DIR=<folder> -DMANIFEST=<file> [-DEXTRAS_DIR=<folder>]
file(REMOVE_RECURSE ${PACKAGE_DIR})
file(MAKE_DIRECTORY ${PACKAGE_DIR})

# built file -> name in the package
set(built
  "ZeltoPrg.exe|ZELTOPRG.exe"
  "ZeltoPrg.enu|ZELTOPRG.enu"
  "ZeltoPrg.fra|ZELTOPRG.fra"
  "ZeltoPrg.rom|ZELTOPRG.rom"
  "ZeltoPrg.ita|ZELTOPRG.ita"
  "ZeltoPrg.chm|ZELTOPRG.chm"
  "ZeltoProgBasic.dll|ZeltoProgBasic.dll"
  "DemoPlugin.dll|DemoPlugin.dll"
  "DemoPlugin.chm|DemoPlugin.chm"
  "setup.exe|setup.exe")
foreach(pair ${built})
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(NOT EXISTS ${BIN_DIR}/${from})
    message(FATAL_ERROR "package: ${BIN_DIR}/${from} was not built")
  endif()
  file(COPY_FILE ${BIN_DIR}/${from} ${PACKAGE_DIR}/${to})
endforeach()

# The demonstration plug-in's default configuration: the ATDEMO8 chip.
file(WRITE ${PACKAGE_DIR}/DemoPlugin.cfg
  "# Demonstration plug-in: the simulated chip in the socket.\r\nDEVICE=ATDEMO8\r\n")

file(STRINGS ${MANIFEST} lines)
set(placeholders 0)
foreach(name ${lines})
  string(STRIP "${name}" name)
  if(name STREQUAL "" OR name MATCHES "^#")
    continue()
  endif()
  if(EXTRAS_DIR AND EXISTS ${EXTRAS_DIR}/${name})
    file(COPY_FILE ${EXTRAS_DIR}/${name} ${PACKAGE_DIR}/${name})
  else()
    if(EXTRAS_DIR)
      message(WARNING "package: ${name} is not in ${EXTRAS_DIR}; a placeholder takes its place")
    endif()
    # The installer knows a placeholder by its first line and never puts
    # one in place of an existing file.
    file(WRITE ${PACKAGE_DIR}/${name}
      "PLACEHOLDER - NOT THE REAL FILE\r\n"
      "${name} comes from outside this project and was not supplied when the package was built\r\n"
      "(configure with -DZP_PACKAGE_EXTRAS_DIR=<folder> to take it from there).\r\n"
      "It stands in only so that a demonstration install completes.\r\n")
    math(EXPR placeholders "${placeholders} + 1")
  endif()
endforeach()
if(placeholders GREATER 0)
  message(STATUS "package: ${placeholders} outside files are placeholders")
endif()
