# kivhost's Windows-free sources (script parser, call and page tables, options, dialog templates),
# also built by the native tests.
set(KIVHOST_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Calls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Script.cpp)
# The call table reads the exports' parameter types from the public header; natively it
# reads it through a stand-in for the three Windows names that header uses.
if(NOT WIN32)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Calls.cpp PROPERTIES INCLUDE_DIRECTORIES
    "${CMAKE_CURRENT_LIST_DIR}/native;${PROJECT_SOURCE_DIR}/include")
endif()
