# Runs the layering check on scratch trees: it passes a tree whose includes and links point down,
# and fails one with an include or a link that points up, naming it. Run with cmake -P, given
#   CHECK     cmake/LayeringCheck.cmake
#   WORK_DIR  a folder to build the scratch trees in (emptied first)

set(layers "platform/base|platform/user|engine|app")

# Writes the scratch tree: each argument "<file>=<header it includes>"; the links as given.
function(write_tree links)
  file(REMOVE_RECURSE ${WORK_DIR})
  foreach(entry IN LISTS ARGN)
    string(REPLACE "=" ";" parts "${entry}")
    list(GET parts 0 file)
    list(GET parts 1 header)
    file(WRITE ${WORK_DIR}/${file} "#pragma once\n#include \"${header}\"\n")
  endforeach()
  file(WRITE ${WORK_DIR}/links.txt "${links}")
endfunction()

# Runs the check on the scratch tree; fails this test unless it fails with `expected` in its
# message, or passes when `expected` is empty.
function(expect_check case expected)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DFLN_SOURCE_DIR=${WORK_DIR} "-DLAYERS=${layers}" "-DENGINE_USES=platform/base"
      -DLINKS_FILE=${WORK_DIR}/links.txt -P ${CHECK}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expected STREQUAL "")
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${case}: the check failed a sound tree:\n${output}")
    endif()
  elseif(result EQUAL 0)
    message(FATAL_ERROR "${case}: the check passed")
  else()
    string(FIND "${output}" "${expected}" found)
    if(found EQUAL -1)
      message(FATAL_ERROR "${case}: the check failed without naming \"${expected}\":\n${output}")
    endif()
  endif()
endfunction()

set(sound_links "engine fln_engine platform/base fln_base\napp fln_app engine fln_engine\n")
set(sound_files "engine/Parser.h=platform/base/Types.h" "app/Frame.cpp=engine/Parser.h"
  "platform/user/Window.h=platform/base/Types.h")

write_tree("${sound_links}" ${sound_files})
expect_check("includes and links down the layers" "")

write_tree("${sound_links}" ${sound_files} "engine/Parser.cpp=app/Frame.h")
expect_check("an include up the layers" "engine/Parser.cpp includes app/Frame.h, a layer above")

write_tree("${sound_links}" ${sound_files} "engine/Parser.cpp=platform/user/Window.h")
expect_check("a window header in the engine" "engine/Parser.cpp includes platform/user/Window.h: the engine uses no windows")

write_tree("${sound_links}platform/base fln_base engine fln_engine\n" ${sound_files})
expect_check("a link up the layers" "fln_base (platform/base) links fln_engine (engine), a layer above")

write_tree("${sound_links}engine fln_engine platform/user fln_user\n" ${sound_files})
expect_check("a window library linked by the engine" "fln_engine (engine) links fln_user (platform/user): the engine uses no windows")

file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "The layering check fails every upward include and link")
