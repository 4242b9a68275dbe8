# Sourced by test.sh, bench.sh and demo.sh: configures the two Windows build trees the same way in both,
# so that neither run undoes the other's cache. Arguments: the source root and the build folder.

# The shipped DLL and its release zip (MinGW-w64, win32 threads).
kiv_configure_dll_tree() {
  cmake -S "$1" -B "$2/dll" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/toolchain-mingw-win32.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
}

# The Wine tests and benchmarks (MinGW-w64, posix threads), against the shipped DLL and zip.
kiv_configure_test_tree() {
  cmake -S "$1" -B "$2/tests" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/toolchain-mingw-posix.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DKIV_WINE_TESTS=ON -DKIV_SHIPPED_DLL="$2/dll/src/KivForIS55.dll" \
    -DKIV_SHIPPED_PACKAGE_DIR="$2/dll" >/dev/null
}
