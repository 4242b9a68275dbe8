# Shared settings of the MinGW-w64 toolchains (thread model, and the x86-64 test
# architecture where a machine needs it, chosen by the includer).
if(NOT KIV_MINGW_ARCH)
  set(KIV_MINGW_ARCH i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KIV_MINGW_ARCH})
set(CMAKE_C_COMPILER   ${KIV_MINGW_ARCH}-w64-mingw32-gcc-${KIV_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KIV_MINGW_ARCH}-w64-mingw32-g++-${KIV_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${KIV_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KIV_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static C++ runtime: the DLL imports nothing but Windows system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
