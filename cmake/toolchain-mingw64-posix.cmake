# Builds the test programs and a test copy of the DLL for x86-64, where the machine cannot run 32-bit code.
set(KIV_MINGW_ARCH x86_64)
set(KIV_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
