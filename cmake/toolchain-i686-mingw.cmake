# The product as it ships: 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QM_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
