# Builds the test programs: GoogleTest needs std::mutex, which only the posix thread model has.
set(KIV_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
