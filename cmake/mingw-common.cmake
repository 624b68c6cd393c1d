# Shared by the two MinGW toolchain files; PRT_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PRT_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PRT_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PRT_TRIPLET}-windres)

# Dependencies built by scripts/bootstrap live outside the repository, one prefix per target.
if(NOT PRT_DEPS_PREFIX)
  if(DEFINED ENV{PRT_CACHE})
    set(PRT_DEPS_PREFIX "$ENV{PRT_CACHE}/${PRT_TRIPLET}")
  else()
    set(PRT_DEPS_PREFIX "$ENV{HOME}/.cache/vossel-prt/${PRT_TRIPLET}")
  endif()
endif()
set(PRT_DEPS_PREFIX "${PRT_DEPS_PREFIX}" CACHE PATH "Prefix holding the static minizip, libdeflate and libcrypto")

set(CMAKE_FIND_ROOT_PATH /usr/${PRT_TRIPLET} ${PRT_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine on the build host.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
