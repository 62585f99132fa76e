cmake_minimum_required(VERSION 3.20)

# Fails when a source file includes a header of a layer above its own, or a folder's library links
# the library of a layer above its own. Run with cmake -P, given
#   FLN_SOURCE_DIR  this project's source folder
#   LAYERS          the folders, lowest first, separated by "|"; a file may include headers of its
#                   own folder and of the folders before it, a library link their libraries
#   ENGINE_USES     the folders the engine may use besides its own: it draws no window
#   LINKS_FILE      (optional) the libraries' links, a line "<folder> <library> <folder> <library>"
#                   each, as fln_record_links writes them
# A folder is the longest listed prefix of a path; bench/ and fuzz/ stand above every layer.

string(REPLACE "|" ";" layers "${LAYERS}")
string(REPLACE "|" ";" engine_uses "${ENGINE_USES}")
list(APPEND layers bench fuzz)

function(layer_of path out)
  set(found "")
  foreach(layer IN LISTS layers)
    string(LENGTH "${layer}" length)
    string(LENGTH "${found}" found_length)
    if(path MATCHES "^${layer}/" AND length GREATER found_length)
      set(found "${layer}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Appends to violations when `from` may not use `to`; what names the use.
function(check_use from to what)
  if(to STREQUAL "" OR to STREQUAL from)
    return()
  endif()
  list(FIND layers "${from}" from_rank)
  list(FIND layers "${to}" to_rank)
  if(to_rank GREATER from_rank)
    set(violations "${violations}  ${what}, a layer above\n" PARENT_SCOPE)
  elseif(from STREQUAL "engine" AND NOT to IN_LIST engine_uses)
    set(violations "${violations}  ${what}: the engine uses no windows\n" PARENT_SCOPE)
  endif()
endfunction()

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${FLN_SOURCE_DIR} LIST_DIRECTORIES false
  ${FLN_SOURCE_DIR}/*.h ${FLN_SOURCE_DIR}/*.cpp)
foreach(source IN LISTS sources)
  if(source MATCHES "^build")
    continue()
  endif()
  layer_of("${source}" from)
  if(from STREQUAL "")
    continue()
  endif()
  file(STRINGS ${FLN_SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
    layer_of("${header}" to)
    check_use("${from}" "${to}" "${source} includes ${header}")
  endforeach()
endforeach()

if(LINKS_FILE)
  file(STRINGS ${LINKS_FILE} links)
  foreach(link IN LISTS links)
    string(REPLACE " " ";" fields "${link}")
    list(GET fields 0 from_folder)
    list(GET fields 1 library)
    list(GET fields 2 to_folder)
    list(GET fields 3 dependency)
    layer_of("${from_folder}/" from)
    layer_of("${to_folder}/" to)
    if(from STREQUAL "")
      string(APPEND violations "  ${library} is built in ${from_folder}, which is no layer\n")
      continue()
    endif()
    check_use("${from}" "${to}" "${library} (${from_folder}) links ${dependency} (${to_folder})")
  endforeach()
endif()

if(violations)
  message(FATAL_ERROR "Includes or links that break the layering:\n${violations}")
endif()
