# The companion's native build: Debian's libssl-dev, libminizip-dev and zlib1g-dev, under the same
# target names as the Windows builds' dependencies.
find_package(ZLIB REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_library(PRT_MINIZIP NAMES minizip REQUIRED)
find_path(PRT_MINIZIP_INCLUDE NAMES minizip/unzip.h REQUIRED)

add_library(prt::minizip INTERFACE IMPORTED)
set_target_properties(prt::minizip PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${PRT_MINIZIP_INCLUDE}
  INTERFACE_LINK_LIBRARIES "${PRT_MINIZIP};ZLIB::ZLIB")
add_library(prt::crypto INTERFACE IMPORTED)
set_target_properties(prt::crypto PROPERTIES INTERFACE_LINK_LIBRARIES OpenSSL::Crypto)

include(${CMAKE_CURRENT_LIST_DIR}/json.cmake)
set(PRT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
