# Portable core: setup state, configuration lines and entries, opening tables, base-38,
# save lists, product filter, path separators; it also builds natively.
list(APPEND KIV_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ConfigFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConfigRewrite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JournalLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpeningTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputBuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProductFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SetupState.cpp)
# The seams' native side, for the native tests and fuzzing; win32/ has the DLL's.
if(NOT WIN32)
  list(APPEND KIV_PORTABLE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ByteFileNative.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PathNative.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformNative.cpp)
endif()
