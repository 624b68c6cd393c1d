# The Ravik target, shared by the 64-bit build and the stand-alone project in x64/.
add_executable(Ravik ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_CURRENT_LIST_DIR}/full_dump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ravik_arguments.cpp ${CMAKE_CURRENT_LIST_DIR}/../sysinfo/minidump_check.cpp)
target_include_directories(Ravik PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_options(Ravik PRIVATE -municode)
target_link_libraries(Ravik PRIVATE dbghelp)
set_target_properties(Ravik PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PRT_RAVIK_OUTPUT_DIR})
