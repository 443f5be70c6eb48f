# CLI11 and nlohmann-json for the cross compilers. Their packages' CMake files point at all of the
# build machine's /usr/include, whose C headers would shadow the MinGW ones: each library's own
# header folder is linked into a folder of its own, and only that folder is added.
function(import_header_only_library target header)
  string(MAKE_C_IDENTIFIER ${target} name)
  find_path(${name}_INCLUDE_DIR ${header} PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  cmake_path(GET header PARENT_PATH top)
  set(exposed ${CMAKE_CURRENT_BINARY_DIR}/header-only/${name})
  file(MAKE_DIRECTORY ${exposed})
  file(CREATE_LINK ${${name}_INCLUDE_DIR}/${top} ${exposed}/${top} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  target_include_directories(${target} SYSTEM INTERFACE ${exposed})
endfunction()

import_header_only_library(CLI11::CLI11 CLI/CLI.hpp)
import_header_only_library(nlohmann_json::nlohmann_json nlohmann/json.hpp)
