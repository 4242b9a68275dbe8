# AutoCAD host discovery and product selection.
list(APPEND KIV_LAYER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Discovery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProductSelection.cpp)
