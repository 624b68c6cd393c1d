# zlib comes from Debian's MinGW package; minizip, libdeflate and libcrypto from scripts/bootstrap.
find_library(PRT_ZLIB NAMES libz.a z REQUIRED)
find_library(PRT_MINIZIP NAMES libminizip.a REQUIRED)
find_library(PRT_LIBDEFLATE NAMES libdeflate.a REQUIRED)
find_library(PRT_LIBCRYPTO NAMES libcrypto.a REQUIRED)
find_path(PRT_DEPS_INCLUDE NAMES minizip/zip.h openssl/evp.h REQUIRED)

add_library(prt::zlib STATIC IMPORTED)
set_target_properties(prt::zlib PROPERTIES IMPORTED_LOCATION ${PRT_ZLIB})

add_library(prt::minizip STATIC IMPORTED)
set_target_properties(prt::minizip PROPERTIES
  IMPORTED_LOCATION ${PRT_MINIZIP}
  INTERFACE_INCLUDE_DIRECTORIES ${PRT_DEPS_INCLUDE}
  INTERFACE_LINK_LIBRARIES prt::zlib)

# The report's deflate engine, with the project's patch (scripts/patches); zlib stays for reading.
add_library(prt::deflate STATIC IMPORTED)
set_target_properties(prt::deflate PROPERTIES
  IMPORTED_LOCATION ${PRT_LIBDEFLATE}
  INTERFACE_INCLUDE_DIRECTORIES ${PRT_DEPS_INCLUDE})

add_library(prt::crypto STATIC IMPORTED)
set_target_properties(prt::crypto PROPERTIES
  IMPORTED_LOCATION ${PRT_LIBCRYPTO}
  INTERFACE_INCLUDE_DIRECTORIES ${PRT_DEPS_INCLUDE}
  INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt")

# GoogleTest from Debian's sources, compiled with the cross compiler as part of the build.
set(PRT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
include(${CMAKE_CURRENT_LIST_DIR}/json.cmake)
