# Sourced by test.sh, bench.sh and demo.sh: configures the two Windows build trees the same way in both,
# so that neither run undoes the other's cache. Arguments: the source root and the build folder.

# shellcheck source=scripts/machine.sh
. "$(dirname "${BASH_SOURCE[0]}")/machine.sh"

# The shipped DLL and its release zip (MinGW-w64, win32 threads).
kiv_configure_dll_tree() {
  cmake -S "$1" -B "$2/dll" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/toolchain-mingw-win32.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
}

# The Wine tests and benchmarks (MinGW-w64, posix threads), against the shipped DLL and zip;
# on a machine that cannot run 32-bit code, against an x86-64 build of the same sources
# (its own tree, so that neither configuration undoes the other's cache).
kiv_configure_test_tree() {
  if [ "$(kiv_wine_arch)" = win64 ]; then
    cmake -S "$1" -B "$2/tests64" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/toolchain-mingw64-posix.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKIV_WINE_TESTS=ON -DKIV_SHIPPED_PACKAGE_DIR="$2/dll" >/dev/null
  else
    cmake -S "$1" -B "$2/tests" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/toolchain-mingw-posix.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKIV_WINE_TESTS=ON -DKIV_SHIPPED_DLL="$2/dll/src/KivForIS55.dll" \
      -DKIV_SHIPPED_PACKAGE_DIR="$2/dll" >/dev/null
  fi
}

# The folder of the Wine test tree that kiv_configure_test_tree configures.
kiv_test_tree() {
  if [ "$(kiv_wine_arch)" = win64 ]; then echo "$1/tests64"; else echo "$1/tests"; fi
}
