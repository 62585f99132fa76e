# Shared build settings and the two helpers every folder uses.

set(FLN_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

# FLN_TEST_SUITE: a test that needs a program the machine lacks (Xvfb, xdotool...) fails under CTest,
# where a test program run by hand skips it.
set(FLN_TEST_ENVIRONMENT "FORMULON_DISPLAY=headless;LC_ALL=C.UTF-8;FLN_TEST_SUITE=1")
if(FLN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # Line tables are all a sanitizer report and a debugger's backtrace need; full debug information
  # made every test program about 80 MB and the build tree 18 GB.
  add_compile_options(-g1)
  # The runtime's record of the thread-local storage of libraries opened at run time (the speech
  # and sound libraries) can hold a stale entry by the time the leak check scans it at exit,
  # which crashes the check now and then although the test passed; the check goes without it.
  list(APPEND FLN_TEST_ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0" "UBSAN_OPTIONS=print_stacktrace=1")
endif()

# Optimised builds: a start touches code all over the program, and the kernel maps code in 64 KiB
# around each first touch, so nearly all of the program's code becomes resident at every start;
# its size is start-up memory. Hence -O2 (the release build of `make run` has it too) rather than
# -O3's fifth more code, with the drawing library's pixel loops excepted (platform/gdi), and each
# function and datum in a section of its own, so that the program's link drops what nothing uses
# (app/CMakeLists.txt).
if(NOT FLN_SANITIZE AND NOT FLN_FUZZ)
  foreach(language C CXX)
    string(REPLACE "-O3" "-O2" CMAKE_${language}_FLAGS_RELEASE "${CMAKE_${language}_FLAGS_RELEASE}")
  endforeach()
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-ffunction-sections;-fdata-sections>")
endif()

if(FLN_FUZZ)
  # Instrument every library for coverage; only the fuzz targets link the fuzzer's main. Every
  # sanitizer report ends the run, so that it fails the target and leaves the input behind.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# fln_library(<target> [DEPS <targets...>] [PKG <imported targets...>])
# Builds one static library from the .cpp files directly in the calling folder;
# the headers are included as "<folder>/<Header>.h" from the project root.
function(fln_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${FLN_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${FLN_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  # The layering test checks what each folder's library links (fln_record_links).
  file(RELATIVE_PATH folder ${FLN_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES FLN_FOLDER ${folder})
  set_property(GLOBAL APPEND PROPERTY FLN_LIBRARIES ${target})
endfunction()

# fln_record_links(<file>)
# Writes one line "<folder> <library> <linked folder> <linked library>" for every library of the
# project that a library of the project links, for cmake/LayeringCheck.cmake. Called once every
# folder has been added, so that links added after fln_library count too.
function(fln_record_links file)
  get_property(libraries GLOBAL PROPERTY FLN_LIBRARIES)
  set(links "")
  foreach(library IN LISTS libraries)
    get_target_property(from ${library} FLN_FOLDER)
    get_target_property(dependencies ${library} LINK_LIBRARIES)
    foreach(dependency IN LISTS dependencies)
      if(dependency IN_LIST libraries)
        get_target_property(to ${dependency} FLN_FOLDER)
        string(APPEND links "${from} ${library} ${to} ${dependency}\n")
      endif()
    endforeach()
  endforeach()
  file(WRITE ${file} "${links}")
endfunction()

# fln_tests(<prefix> DEPS <targets...> [SHARDS <n>] [OWN_PROGRAM <tests/File.cpp...>])
# One GoogleTest executable, <prefix>_tests, from the tests/*.cpp files of the calling folder. One
# program per folder, not per file: each links the whole static stack, and a program per file made
# the sanitizer build tree 16 GB and its links most of the build time. A file named under OWN_PROGRAM
# (one that replaces the global allocator, say) becomes a program of its own, <prefix>_<File>.
# CTest runs each program as SHARDS processes (<program>.<i>), each running every n-th test of it
# (GoogleTest's sharding): a process per test spent most of the suite's time starting sanitized
# processes, while shards keep a long program from being the suite's tail. A failing test names
# itself in its shard's output.
function(fln_tests prefix)
  if(NOT FLN_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "SHARDS" "DEPS;OWN_PROGRAM" ${ARGN})
  if(NOT ARG_SHARDS)
    set(ARG_SHARDS 1)
  endif()
  file(GLOB shared_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  set(programs ${prefix}_tests)
  set(${prefix}_tests_SOURCES ${shared_sources})
  set(${prefix}_tests_SHARDS ${ARG_SHARDS})
  foreach(own IN LISTS ARG_OWN_PROGRAM)
    get_filename_component(own_path ${own} ABSOLUTE)
    get_filename_component(name ${own} NAME_WE)
    list(REMOVE_ITEM ${prefix}_tests_SOURCES ${own_path})
    list(APPEND programs ${prefix}_${name})
    set(${prefix}_${name}_SOURCES ${own_path})
    set(${prefix}_${name}_SHARDS 1)
  endforeach()
  foreach(exe IN LISTS programs)
    add_executable(${exe} ${${exe}_SOURCES})
    target_compile_options(${exe} PRIVATE ${FLN_WARNINGS})
    target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${exe} PRIVATE FLN_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    fln_add_test_shards(${exe} ${${exe}_SHARDS})
  endforeach()
endfunction()

# Registers <exe>'s tests with CTest as <shards> processes. The longer programs, split into more
# shards, are started first (COST), so that no long shard begins last. Each process writes its
# GoogleTest report to test-results/<name>.xml, from which `make test` tells what was skipped.
function(fln_add_test_shards exe shards)
  math(EXPR last "${shards} - 1")
  foreach(index RANGE ${last})
    set(name ${exe})
    if(shards GREATER 1)
      set(name ${exe}.${index})
    endif()
    add_test(NAME ${name} COMMAND ${exe} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES
      TIMEOUT 1200 COST ${shards}
      ENVIRONMENT "${FLN_TEST_ENVIRONMENT};GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index};GTEST_OUTPUT=xml:${FLN_BINARY_DIR}/test-results/${name}.xml")
  endforeach()
endfunction()

# A compiler cache, where the machine has one, lets several build trees share their objects.
find_program(FLN_CCACHE ccache)
if(FLN_CCACHE)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${FLN_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${FLN_CCACHE})
endif()
