# The exports of KivForIS55.dll read from the public header, which declares each one once,
# and the files made from that list: the .def and the C/C++ name list KivExportNames.h.
include_guard(GLOBAL)

# The export names of header, sorted, and their __stdcall argument bytes (4 for each
# 32-bit argument), in the same order. Fails on a declaration it cannot read, so none is missed.
function(kiv_read_exports header names_var bytes_var)
  file(READ ${header} text)
  # Every other KIV_API starts a declaration, so one of another form fails here instead of going unseen.
  string(REGEX REPLACE "#define KIV_API[^\n]*" "" text "${text}")
  string(REGEX MATCHALL "KIV_API[^;]*" declarations "${text}")
  set(names "")
  foreach(declaration IN LISTS declarations)
    if(NOT declaration MATCHES "^KIV_API int __stdcall ([A-Za-z0-9_]+)\\(([^()]*)\\)$")
      message(FATAL_ERROR "${header}: not KIV_API int __stdcall Name(arguments): ${declaration}")
    endif()
    set(name ${CMAKE_MATCH_1})
    string(REGEX REPLACE "[ \t\r\n]+" " " arguments "${CMAKE_MATCH_2}")
    string(STRIP "${arguments}" arguments)
    set(bytes 0)
    if(NOT arguments STREQUAL "void" AND NOT arguments STREQUAL "")
      string(REPLACE "," ";" arguments "${arguments}")
      foreach(argument IN LISTS arguments)
        # Only types of 32 bits on the target: the bytes below are what __stdcall pops.
        if(NOT argument MATCHES "^ *(HWND|const char\\*|char\\*|int) [A-Za-z0-9_]+ *$")
          message(FATAL_ERROR "${header}: ${name} takes \"${argument}\", not a 32-bit HWND, text, buffer or int")
        endif()
        math(EXPR bytes "${bytes} + 4")
      endforeach()
    endif()
    if(name IN_LIST names)
      message(FATAL_ERROR "${header} declares ${name} twice")
    endif()
    list(APPEND names ${name})
    set(bytes_of_${name} ${bytes})
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "${header} declares no export")
  endif()
  list(SORT names)
  set(bytes_list "")
  foreach(name IN LISTS names)
    list(APPEND bytes_list ${bytes_of_${name}})
  endforeach()
  set(${names_var} ${names} PARENT_SCOPE)
  set(${bytes_var} ${bytes_list} PARENT_SCOPE)
endfunction()

# Writes folder/KivExportNames.h and folder/KivForIS55.def from header, each only when it changes.
# The .def exports each plain name from its decorated __stdcall symbol, except for x86-64, which
# has no decoration.
function(kiv_write_export_files header folder)
  kiv_read_exports(${header} names sizes)
  set(list_lines "")
  set(def_lines "")
  foreach(name bytes IN ZIP_LISTS names sizes)
    string(APPEND list_lines " \\\n    X(${name})")
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(APPEND def_lines "  ${name}\n")
    else()
      string(APPEND def_lines "  ${name}=${name}@${bytes}\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${folder}/KivExportNames.h @ONLY CONTENT
"/* KivExportNames.h: the exports of KivForIS55.dll, made from KivForIS55.h. X(Name) per export. */
#define KIV_EXPORTS(X)${list_lines}
")
  file(CONFIGURE OUTPUT ${folder}/KivForIS55.def @ONLY CONTENT "LIBRARY KivForIS55.dll\nEXPORTS\n${def_lines}")
endfunction()
