cmake_minimum_required(VERSION 3.20)

# Fails when a source file includes a header of a layer above its own. Run with cmake -P, given
#   FLN_SOURCE_DIR  this project's source folder
#   LAYERS          the folders, lowest first, separated by "|"; a file may include headers of its
#                   own folder and of the folders before it
#   ENGINE_USES     the folders the engine may include besides its own: it draws no window
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
  list(FIND layers "${from}" from_rank)
  file(STRINGS ${FLN_SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
    layer_of("${header}" to)
    if(to STREQUAL "" OR to STREQUAL from)
      continue()
    endif()
    list(FIND layers "${to}" to_rank)
    if(to_rank GREATER from_rank)
      string(APPEND violations "  ${source} includes ${header}, a layer above\n")
    elseif(from STREQUAL "engine" AND NOT to IN_LIST engine_uses)
      string(APPEND violations "  ${source} includes ${header}: the engine uses no windows\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes that break the layering:\n${violations}")
endif()
