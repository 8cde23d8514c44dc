# The product as it ships: 32-bit Windows, on every processor since the i486.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QM_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT -march=i486)
set(CMAKE_CXX_FLAGS_INIT -march=i486)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
