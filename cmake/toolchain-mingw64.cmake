# 64-bit Windows, for hosts that cannot run 32-bit code; executables run under 64-bit Wine through the
# project's own loader wrapper.
set(QUARNEL_PROCESSOR x86_64)
set(QUARNEL_WINE_LOADER "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64")
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake")
