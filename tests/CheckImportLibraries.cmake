# Links a C caller against the release zip's header and each of its import libraries alone, and
# runs it under Wine beside the zip's DLL: it must import every export from KivForIS55.dll by its
# plain name and nothing else, and get the DLL's answers to three calls.
# Run as: cmake -DZIP=path -DSOURCE=dir -DCC=path -DOBJDUMP=path -DEMULATOR=wine -DWORK=dir
#               -P CheckImportLibraries.cmake
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/PackageChecks.cmake)
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "no release package ${ZIP}: build the package target of the DLL's tree")
endif()
file(REMOVE_RECURSE ${WORK})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${WORK})
get_filename_component(top ${ZIP} NAME_WLE)
set(unpacked ${WORK}/${top})
# The caller takes every export from the name list of the zip's own header.
kiv_read_export_table(${unpacked}/include/KivForIS55.h names symbols)
kiv_write_export_files(${unpacked}/include/KivForIS55.h ${WORK}/exports)

function(run what)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${output}")
  endif()
endfunction()

run("compiling the caller" ${CC} -c -O1 -Wall -Werror -I ${unpacked}/include -I ${WORK}/exports
    ${CMAKE_CURRENT_LIST_DIR}/package/Caller.c -o ${WORK}/Caller.o)
foreach(library KivForIS55.lib KivForIS55.dll.a)
  # Beside the DLL, which Windows looks for in the program's folder first.
  set(caller ${unpacked}/caller-${library}.exe)
  run("linking against ${library}" ${CC} -nostdlib -Wl,--entry=_CallerEntry@0 ${WORK}/Caller.o
      ${unpacked}/lib/${library} -o ${caller})

  execute_process(COMMAND ${OBJDUMP} -p ${caller} OUTPUT_VARIABLE dump)
  string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${dump}")
  # The import lines, "vma hint name", all from KivForIS55.dll when it is the only DLL.
  kiv_list_matches("${dump}" "\t[0-9a-f]+\t +[0-9]+  ([A-Za-z0-9_@]+)" "\\1" imported)
  if(NOT dlls STREQUAL "DLL Name: KivForIS55.dll" OR NOT imported STREQUAL names)
    message(SEND_ERROR "a caller linked against ${library} imports other names:\n"
                       "  ${dlls}: ${imported}\n  expected KivForIS55.dll: ${names}")
    continue()
  endif()

  if(NOT EMULATOR)
    message(STATUS "${library}: linked and checked; not run on this machine, which cannot execute 32-bit code")
    continue()
  endif()
  # 1 KivExistFile found C:\windows, 2 SetToDeleteAfterSave(0) kept the originals, 4 a user name came back.
  execute_process(COMMAND ${EMULATOR} ${caller} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE code
                  OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 60)
  if(NOT code STREQUAL "7")
    message(SEND_ERROR "the caller linked against ${library} ended with ${code}, not 7:\n${output}")
  endif()
endforeach()
