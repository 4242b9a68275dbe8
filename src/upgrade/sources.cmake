# Upgrade preservation: save around the copy, update manager, config rewrite, removal.
list(APPEND KIV_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SaveLists.cpp)
list(APPEND KIV_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/OldReleases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuBackup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveAroundCopy.cpp)
# Configuration rewrite and opening tables; their platform seam; the update manager.
list(APPEND KIV_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ConfigFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConfigRewrite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpeningTables.cpp)
if(WIN32)
  list(APPEND KIV_WIN32_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ByteFileWin32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformWin32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UpdateManager.cpp)
else()
  list(APPEND KIV_PORTABLE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ByteFileNative.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformNative.cpp)
endif()
