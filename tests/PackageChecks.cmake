# Helpers of the release zip's checks: the exports the header declares, and lists read from tools' output.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/ExportTable.cmake)

# The plain name of each export the header declares, and its __stdcall symbol (name@bytes).
function(kiv_read_export_table header names_var symbols_var)
  kiv_read_exports(${header} names sizes)
  set(symbols "")
  foreach(name bytes IN ZIP_LISTS names sizes)
    list(APPEND symbols ${name}@${bytes})
  endforeach()
  set(${names_var} ${names} PARENT_SCOPE)
  set(${symbols_var} ${symbols} PARENT_SCOPE)
endfunction()

# Each match of pattern in text, rewritten by replacement ("\\1"), as a sorted list.
function(kiv_list_matches text pattern replacement out_var)
  string(REGEX MATCHALL "${pattern}" matches "${text}")
  set(items "")
  foreach(match IN LISTS matches)
    string(REGEX REPLACE "${pattern}" "${replacement}" item "${match}")
    list(APPEND items "${item}")
  endforeach()
  list(SORT items)
  set(${out_var} "${items}" PARENT_SCOPE)
endfunction()
