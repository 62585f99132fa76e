# fln_resources(<target> <script.rc>... [INCLUDE_DIRS <dirs...>])
# Compiles the resource scripts of one program together with fln-rc (so that their icon images are
# numbered apart) into an object library <target>. Link it directly into the executable that uses
# the resources: its objects register the resources at start-up, and an object library (unlike a
# static one) keeps them all in the program.
# The scripts are compiled again when one of them, a header it includes or a file it names changes.
function(fln_resources target)
  cmake_parse_arguments(ARG "" "" "INCLUDE_DIRS" ${ARGN})
  set(include_flags)
  foreach(dir IN LISTS ARG_INCLUDE_DIRS)
    get_filename_component(dir ${dir} ABSOLUTE)
    list(APPEND include_flags -I ${dir})
  endforeach()
  set(scripts)
  foreach(script IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(script ${script} ABSOLUTE)
    list(APPEND scripts ${script})
  endforeach()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND fln-rc ${include_flags} --depfile ${output}.d -o ${output} ${scripts}
    DEPENDS fln-rc ${scripts}
    DEPFILE ${output}.d
    COMMENT "Compiling resources of ${target}"
    VERBATIM)
  add_library(${target} OBJECT ${output})
  target_link_libraries(${target} PUBLIC fln_res)
endfunction()
