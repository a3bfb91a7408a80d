# CLI11 and nlohmann-json are header-only: a cross build takes their headers
# from the build machine's packages. Only their own folders are put on the
# include path: the build machine's /usr/include itself would put glibc's
# headers before MinGW's.
set(_h33_host_include ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${_h33_host_include})
foreach(_folder IN ITEMS CLI nlohmann)
  if(NOT EXISTS ${H33_HOST_HEADERS}/${_folder})
    message(FATAL_ERROR "${H33_HOST_HEADERS}/${_folder} is missing (Debian: libcli11-dev, nlohmann-json3-dev)")
  endif()
  file(CREATE_LINK ${H33_HOST_HEADERS}/${_folder} ${_h33_host_include}/${_folder} SYMBOLIC)
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${_h33_host_include})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${_h33_host_include})
