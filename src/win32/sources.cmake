# Win32 helpers: handle owners, registry key, file system, diagnostic log, logon name, own module,
# and the Win32 side of the core's seams.
list(APPEND KIV_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ByteFileWin32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CallOutcome.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSystem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogonName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Module.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathWin32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformWin32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegKey.cpp)
