# 32-bit Windows, the program's platform; executables run under Wine.
set(QUARNEL_PROCESSOR i686)
set(QUARNEL_WINE_LOADER wine)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake")
