# 64-bit Windows: the build the tests run, since the host's Wine runs 64-bit programs only.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(PRT_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
