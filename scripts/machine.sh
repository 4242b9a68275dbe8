# Sourced by the run scripts: which Wine the tests run under on this machine.
# Some virtual machines (a kernel without IA-32 compat mode) cannot execute
# 32-bit x86 code at all, neither a 32-bit Linux program nor Wine's WoW64. There
# the DLL's sources are built a second time for x86-64 and tested under 64-bit
# Wine; the shipped 32-bit DLL and its zip are still built and checked statically.

# Prints win32 or win64; KIV_WINE_ARCH overrides the probe.
kiv_wine_arch() {
  if [ -n "${KIV_WINE_ARCH:-}" ]; then
    printf '%s\n' "$KIV_WINE_ARCH"
  elif /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
    echo win32
  else
    echo win64
  fi
}
