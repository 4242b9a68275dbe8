# Library frame: exports, setup state, existence test, file and registry helpers.
list(APPEND KIV_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SetupState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputBuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Path.cpp)
list(APPEND KIV_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSystem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegKey.cpp)
