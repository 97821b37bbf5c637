# One static library per layer: vorlen_<layer> builds the layer folder's
# *.cpp and the platform's files from its posix/ or windows/ folder, so a file
# is chosen by the build rather than by #ifdef.
#
# Each layer's include root holds one link, <root>/<layer> -> its folder, and
# a layer sees only its own root and those of the layers it links. An include
# that runs upward (model reaching for protocol/port.h) then fails to compile
# instead of quietly working. Nothing adds the repository root to an include
# path.
get_filename_component(vorlen_source_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
if(WIN32)
  set(vorlen_platform windows)
else()
  set(vorlen_platform posix)
endif()

# vorlen_include_root(<target> <prefix> <folder>): <target>'s users include
# the folder's headers as "<prefix>/header.h", and nothing beside them.
function(vorlen_include_root target prefix folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${prefix})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${folder} ${root}/${prefix} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# vorlen_layer(<layer> [FOLDER <folder>] [LINKS <libraries>...]
#              [EXCLUDE <files of the folder>...])
# The folder defaults to src/<layer>.
function(vorlen_layer layer)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "LINKS;EXCLUDE")
  set(folder ${vorlen_source_root}/src/${layer})
  if(arg_FOLDER)
    set(folder ${vorlen_source_root}/${arg_FOLDER})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/${vorlen_platform}/*.cpp)
  foreach(excluded IN LISTS arg_EXCLUDE)
    list(REMOVE_ITEM sources ${folder}/${excluded})
  endforeach()
  add_library(vorlen_${layer} STATIC ${sources})
  vorlen_include_root(vorlen_${layer} ${layer} ${folder})
  target_link_libraries(vorlen_${layer} PUBLIC ${arg_LINKS})
endfunction()
