# Upgrade preservation: save around the copy, update manager, config rewrite, removal.
list(APPEND KIV_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Stubs.cpp)
