# kivhost's Windows-free sources (script parser, call and page tables, options, dialog templates),
# also built by the native tests.
set(KIVHOST_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Calls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Script.cpp)
