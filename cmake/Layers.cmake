# One static library per layer of src/: vorlen_<layer> builds src/<layer>/*.cpp
# and the platform's files from its posix/ or windows/ folder, so a file is
# chosen by the build rather than by #ifdef.
#
# Each layer's include root holds one link, <root>/<layer> -> src/<layer>, and
# a layer sees only its own root and those of the layers it links. An include
# that runs upward (model reaching for protocol/port.h) then fails to compile
# instead of quietly working.
get_filename_component(vorlen_source_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
if(WIN32)
  set(vorlen_platform windows)
else()
  set(vorlen_platform posix)
endif()

# vorlen_layer(<layer> [LINKS <libraries>...] [EXCLUDE <files of the folder>...])
function(vorlen_layer layer)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LINKS;EXCLUDE")
  set(folder ${vorlen_source_root}/src/${layer})
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/${vorlen_platform}/*.cpp)
  foreach(excluded IN LISTS arg_EXCLUDE)
    list(REMOVE_ITEM sources ${folder}/${excluded})
  endforeach()
  add_library(vorlen_${layer} STATIC ${sources})
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${folder} ${root}/${layer} SYMBOLIC)
  target_include_directories(vorlen_${layer} PUBLIC ${root})
  target_link_libraries(vorlen_${layer} PUBLIC ${arg_LINKS})
endfunction()
