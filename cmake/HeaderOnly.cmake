# Debian's header-only libraries (toml++, CLI11, nlohmann-json) serve the
# cross-build too. The MinGW toolchain searches only its own root, and
# /usr/include as a whole would put Linux's C headers before MinGW's, so the
# cross-build gets a root of its own holding links to just these libraries.
if(CMAKE_CROSSCOMPILING)
  set(vorlen_header_root ${CMAKE_BINARY_DIR}/header-only)
  file(MAKE_DIRECTORY ${vorlen_header_root}/include ${vorlen_header_root}/share/cmake)
  foreach(library toml++ CLI nlohmann)
    file(CREATE_LINK /usr/include/${library} ${vorlen_header_root}/include/${library} SYMBOLIC)
  endforeach()
  file(CREATE_LINK /usr/share/cmake/nlohmann_json
       ${vorlen_header_root}/share/cmake/nlohmann_json SYMBOLIC)
  list(APPEND CMAKE_FIND_ROOT_PATH ${vorlen_header_root})
  # CLI11 has no package file here; its headers are found by this path.
  include_directories(SYSTEM ${vorlen_header_root}/include)
endif()
