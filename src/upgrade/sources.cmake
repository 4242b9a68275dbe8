# Upgrade preservation: save around the copy, update manager, removal of older releases, menu backup.
list(APPEND KIV_LAYER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuBackup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OldReleases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveAroundCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateManager.cpp)
