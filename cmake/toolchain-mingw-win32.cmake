# Ships the DLL: the win32 thread model keeps XP-missing imports (GetTickCount64) out.
set(KIV_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
