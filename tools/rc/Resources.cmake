# fln_resources(<target> <script.rc>... [INCLUDE_DIRS <dirs...>])
# Compiles resource scripts with fln-rc into an object library <target>. Link it directly into the
# executable that uses the resources: its objects register the resources at start-up, and an
# object library (unlike a static one) keeps them all in the program.
# A script is compiled again when it, a header it includes or a file it names changes.
function(fln_resources target)
  cmake_parse_arguments(ARG "" "" "INCLUDE_DIRS" ${ARGN})
  set(outputs)
  set(include_flags)
  foreach(dir IN LISTS ARG_INCLUDE_DIRS)
    get_filename_component(dir ${dir} ABSOLUTE)
    list(APPEND include_flags -I ${dir})
  endforeach()
  foreach(script IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(script ${script} ABSOLUTE)
    get_filename_component(name ${script} NAME_WE)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}.cpp)
    add_custom_command(
      OUTPUT ${output}
      COMMAND fln-rc ${include_flags} --depfile ${output}.d -o ${output} ${script}
      DEPENDS fln-rc ${script}
      DEPFILE ${output}.d
      COMMENT "Compiling resources ${name}.rc"
      VERBATIM)
    list(APPEND outputs ${output})
  endforeach()
  add_library(${target} OBJECT ${outputs})
  target_link_libraries(${target} PUBLIC fln_res)
endfunction()
