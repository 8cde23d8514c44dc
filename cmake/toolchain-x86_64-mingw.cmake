# The same code for 64-bit Windows: how it is proven where 32-bit programs
# cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QM_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
