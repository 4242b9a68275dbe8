# Checks the release zip: exactly the files a setup author gets, below one top folder, each current:
# texts as their sources with CR LF line ends, other files with the bytes of their sources; the DLL
# and kivhost.exe as stripped copies of the built ones with their version resources, the DLL with
# its exports and imports and its link map; the import libraries by symbols.
# Run as: cmake -DZIP=path -DSOURCE=dir -DDLL=path -DKIVHOST=path -DVERSION=a.b.c.d -DSTRIP=path
#               -DOBJDUMP=path -DNM=llvm-nm -DREADOBJ=llvm-readobj -DWORK=dir -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/PackageChecks.cmake)
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "no release package ${ZIP}: build the package target of the DLL's tree")
endif()

# Each shipped file as "path in the zip|file it comes from": texts with CR LF line ends, the
# rest as they are.
set(texts "README.md|${SOURCE}/docs/README-setup.md" "CHANGES.md|${SOURCE}/docs/CHANGES.md"
    "README-kivhost.md|${SOURCE}/tools/kivhost/README.md" "include/KivForIS55.h|${SOURCE}/include/KivForIS55.h"
    "installscript/KivForIS55.h|${SOURCE}/installscript/KivForIS55.h"
    "examples/README.md|${SOURCE}/examples/README.md" "examples/upgrade.kiv|${SOURCE}/examples/upgrade.kiv")
file(GLOB scripts RELATIVE ${SOURCE} ${SOURCE}/installscript/*.rul)
file(GLOB screenshots RELATIVE ${SOURCE} ${SOURCE}/docs/*.png)
file(GLOB_RECURSE examples LIST_DIRECTORIES false RELATIVE ${SOURCE} ${SOURCE}/examples/*)
list(REMOVE_ITEM examples examples/README.md examples/upgrade.kiv examples/make_sample.py)
if(NOT scripts OR NOT screenshots OR NOT examples)
  message(FATAL_ERROR "no sample script, screenshot or example in ${SOURCE}")
endif()
foreach(path IN LISTS scripts)
  list(APPEND texts "${path}|${SOURCE}/${path}")
endforeach()
set(plain "")
foreach(path IN LISTS screenshots examples)
  list(APPEND plain "${path}|${SOURCE}/${path}")
endforeach()
set(stripped "KivForIS55.dll|${DLL}" "kivhost.exe|${KIVHOST}")
set(libraries lib/KivForIS55.lib lib/KivForIS55.dll.a)

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
get_filename_component(top ${ZIP} NAME_WLE)
string(LENGTH "${top}/" top_length)
string(REPLACE "\n" ";" entries "${listing}")
set(found "")
foreach(entry IN LISTS entries)
  if(entry STREQUAL "" OR entry MATCHES "/$")
    continue()
  endif()
  string(SUBSTRING "${entry}" 0 ${top_length} prefix)
  string(SUBSTRING "${entry}" ${top_length} -1 inside)
  if(NOT prefix STREQUAL "${top}/")
    set(inside "${entry} (outside the top folder ${top})")
  endif()
  list(APPEND found "${inside}")
endforeach()

set(expected ${libraries} KivForIS55.map)
foreach(item IN LISTS texts plain stripped)
  string(REGEX REPLACE "\\|.*" "" path "${item}")
  list(APPEND expected "${path}")
endforeach()
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "the package holds other files:\n  found    ${found}\n  expected ${expected}")
endif()

file(REMOVE_RECURSE ${WORK})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${WORK})
set(unpacked ${WORK}/${top})

# A text goes out as its source with CR LF for each line end. file(READ) drops CRs, so the
# comparison below also fails for a bare LF or a doubled CR in the zip.
foreach(item IN LISTS texts)
  string(REGEX REPLACE "\\|.*" "" path "${item}")
  string(REGEX REPLACE ".*\\|" "" origin "${item}")
  file(READ ${origin} content)
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${WORK}/crlf/${path} "${content}")
  list(APPEND plain "${path}|${WORK}/crlf/${path}")
endforeach()

# Stripping the built binaries here again, keeping their PE time stamps, gives the shipped bytes.
foreach(item IN LISTS stripped)
  string(REGEX REPLACE "\\|.*" "" path "${item}")
  string(REGEX REPLACE ".*\\|" "" origin "${item}")
  execute_process(COMMAND ${STRIP} -p -o ${WORK}/stripped-${path} ${origin} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot strip ${origin}")
  endif()
  list(APPEND plain "${path}|${WORK}/stripped-${path}")
endforeach()
foreach(item IN LISTS plain)
  string(REGEX REPLACE "\\|.*" "" path "${item}")
  string(REGEX REPLACE ".*\\|" "" origin "${item}")
  file(SHA256 ${unpacked}/${path} packed)
  file(SHA256 ${origin} current)
  if(NOT packed STREQUAL current)
    message(SEND_ERROR "${path} differs from ${origin}: rebuild the package")
  endif()
endforeach()

# The version resource outlives stripping: VS_FIXEDFILEINFO's signature and structure
# version, then the file version's two 32-bit halves (minor, major, revision, build).
string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 build)
list(GET parts 3 revision)
set(fixed_info "bd04effe00000100")
foreach(part IN ITEMS ${minor} ${major} ${revision} ${build})
  # Four hex digits through 0x1HHHH, then the low byte first.
  math(EXPR digits "${part} + 65536" OUTPUT_FORMAT HEXADECIMAL)
  string(TOLOWER "${digits}" digits)
  string(SUBSTRING "${digits}" 3 2 high)
  string(SUBSTRING "${digits}" 5 2 low)
  string(APPEND fixed_info "${low}${high}")
endforeach()
# And both binaries name their copyright holder (UTF-16 in the resource).
set(copyright "")
foreach(char IN ITEMS 4c 65 67 61 6c 43 6f 70 79 72 69 67 68 74)  # LegalCopyright
  string(APPEND copyright "${char}00")
endforeach()
foreach(binary IN ITEMS KivForIS55.dll kivhost.exe)
  file(READ ${unpacked}/${binary} bytes HEX)
  string(FIND "${bytes}" "${fixed_info}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the shipped ${binary} has no version resource of version ${VERSION}")
  endif()
  string(FIND "${bytes}" "${copyright}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the shipped ${binary} has no LegalCopyright in its version resource")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -DDLL=${unpacked}/KivForIS55.dll -DOBJDUMP=${OBJDUMP}
                        -DHEADER=${unpacked}/include/KivForIS55.h
                        -P ${CMAKE_CURRENT_LIST_DIR}/CheckShippedDll.cmake
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(SEND_ERROR "the shipped DLL's tables:\n${output}")
endif()

# The link map names every export, so that a crash address can be looked up in it.
kiv_read_export_table(${SOURCE}/include/KivForIS55.h names symbols)
file(READ ${unpacked}/KivForIS55.map map)
foreach(name IN LISTS names)
  string(FIND "${map}" "${name}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "KivForIS55.map does not name ${name}")
  endif()
endforeach()

# Both import libraries define the decorated symbols a __stdcall caller asks for,
# _KivExistFile@4 and __imp__KivExistFile@4, and no other such symbol.
set(wanted "")
foreach(symbol IN LISTS symbols)
  list(APPEND wanted "_${symbol}" "__imp__${symbol}")
endforeach()
list(SORT wanted)
foreach(library IN LISTS libraries)
  execute_process(COMMAND ${NM} --defined-only ${unpacked}/${library} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  kiv_list_matches("${dump}" "[TI] ((__imp_)?_[A-Za-z0-9_]+@[0-9]+)\n" "\\1" defined)
  if(NOT status EQUAL 0 OR NOT defined STREQUAL wanted)
    message(SEND_ERROR "${library} defines other symbols:\n  found    ${defined}\n  expected ${wanted}")
  endif()
endforeach()

# The MSVC library's import records take the export's name from its symbol without the
# underscore and the @bytes ("undecorate"): _KivExistFile@4 imports KivExistFile.
execute_process(COMMAND ${READOBJ} ${unpacked}/lib/KivForIS55.lib OUTPUT_VARIABLE dump RESULT_VARIABLE status)
kiv_list_matches("${dump}" "Name type: ([a-z]+)\nSymbol: __imp__([A-Za-z0-9_@]+)\n" "\\1 \\2" imports)
set(wanted "")
foreach(symbol IN LISTS symbols)
  list(APPEND wanted "undecorate ${symbol}")
endforeach()
list(SORT wanted)
if(NOT status EQUAL 0 OR NOT imports STREQUAL wanted)
  message(SEND_ERROR "KivForIS55.lib imports differently:\n  found    ${imports}\n  expected ${wanted}")
endif()
