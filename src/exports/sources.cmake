# The 22 export shims.
list(APPEND KIV_LAYER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Exports.cpp)
