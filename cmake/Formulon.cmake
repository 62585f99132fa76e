# Shared build settings and the two helpers every folder uses.

set(FLN_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

set(FLN_TEST_ENVIRONMENT "FORMULON_DISPLAY=headless;LC_ALL=C.UTF-8")
if(FLN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The runtime's record of the thread-local storage of libraries opened at run time (the speech
  # and sound libraries) can hold a stale entry by the time the leak check scans it at exit,
  # which crashes the check now and then although the test passed; the check goes without it.
  list(APPEND FLN_TEST_ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0" "UBSAN_OPTIONS=print_stacktrace=1")
endif()

if(FLN_FUZZ)
  # Instrument every library for coverage; only the fuzz targets link the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
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
endfunction()

# fln_tests(<prefix> DEPS <targets...>)
# One GoogleTest executable per tests/*.cpp file of the calling folder, so that a
# test file that does not build yet holds back only itself.
function(fln_tests prefix)
  if(NOT FLN_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  foreach(source IN LISTS test_sources)
    get_filename_component(name ${source} NAME_WE)
    set(exe ${prefix}_${name})
    add_executable(${exe} ${source})
    target_compile_options(${exe} PRIVATE ${FLN_WARNINGS})
    target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${exe} PRIVATE FLN_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${exe} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${prefix}."
      PROPERTIES TIMEOUT 300 ENVIRONMENT "${FLN_TEST_ENVIRONMENT}")
  endforeach()
endfunction()

# A compiler cache, where the machine has one, lets several build trees share their objects.
find_program(FLN_CCACHE ccache)
if(FLN_CCACHE)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${FLN_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${FLN_CCACHE})
endif()
