# Checks that the hand-written InstallScript header has a prototype for exactly the exports of the
# C header, and that the guide's export table has a row for exactly those.
# Run as: cmake -DSOURCE=dir -P CheckExportDocs.cmake
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/PackageChecks.cmake)
kiv_read_exports(${SOURCE}/include/KivForIS55.h exports unused_sizes)

# found (sorted, repeats kept) must be the exports, each once.
function(expect_exports where found)
  set(missing ${exports})
  list(REMOVE_ITEM missing ${found})
  set(others ${found})
  list(REMOVE_ITEM others ${exports})
  if(NOT found STREQUAL exports)
    message(SEND_ERROR "${where}: not the exports of include/KivForIS55.h:\n  missing ${missing}\n"
                       "  not exports or repeated ${others}\n  found   ${found}")
  endif()
endfunction()

file(READ ${SOURCE}/installscript/KivForIS55.h script_header)
kiv_list_matches("\n${script_header}" "\nprototype INT KivForIS55\\.([A-Za-z0-9_]+)\\(" "\\1" prototypes)
expect_exports("installscript/KivForIS55.h's prototypes" "${prototypes}")

file(READ ${SOURCE}/docs/README-setup.md guide)
string(FIND "${guide}" "\n| Export | Arguments | Result |\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "docs/README-setup.md has no table headed | Export | Arguments | Result |")
endif()
string(SUBSTRING "${guide}" ${start} -1 table)
string(REGEX MATCH "\n\\| Export [^\n]*\n(\\|[^\n]*\n)*" table "${table}")
kiv_list_matches("${table}" "\n\\| `([A-Za-z0-9_]+)` \\|" "\\1" rows)
expect_exports("docs/README-setup.md's export table" "${rows}")
