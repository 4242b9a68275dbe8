# kivhost's Windows-free sources (script parser, call table, options), also built by the native tests.
set(KIVHOST_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Calls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Script.cpp)
