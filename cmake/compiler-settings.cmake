# The language level, warnings and linking every module of the project is built with; shared by the
# main project and the stand-alone build of the 64-bit dump program (src/dumper/x64).
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

add_compile_options(-Wall -Wextra $<$<BOOL:${PRT_WERROR}>:-Werror>)
if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Every module carries its own C++ runtime, libgcc and winpthread, so nothing extra ships beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
