# JSON: Debian's nlohmann-json3-dev, header-only, in the host's /usr/include. A cross build must not
# see the host's other headers there, so it gets only that one folder, through a link in the build
# tree. Elsewhere, point PRT_NLOHMANN_DIR at a folder holding json.hpp.
find_path(PRT_NLOHMANN_DIR json.hpp PATHS /usr/include/nlohmann NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(PRT_JSON_INCLUDE ${CMAKE_BINARY_DIR}/json-include)
if(NOT EXISTS ${PRT_JSON_INCLUDE}/nlohmann)
  file(MAKE_DIRECTORY ${PRT_JSON_INCLUDE})
  file(CREATE_LINK ${PRT_NLOHMANN_DIR} ${PRT_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()
add_library(prt::json INTERFACE IMPORTED)
set_target_properties(prt::json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${PRT_JSON_INCLUDE})
