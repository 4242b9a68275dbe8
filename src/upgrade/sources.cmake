# Upgrade preservation: save around the copy, update manager, config rewrite, removal.
list(APPEND KIV_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SaveLists.cpp)
list(APPEND KIV_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/OldReleases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveAroundCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stubs.cpp)
