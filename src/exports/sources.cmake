# The 22 export shims.
list(APPEND KIV_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Exports.cpp)
