# Warnings and sanitizers reach every target through one interface library.
add_library(vozy_warnings INTERFACE)
target_compile_options(vozy_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(VOZY_SANITIZE)
  target_compile_options(vozy_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
  target_link_options(vozy_warnings INTERFACE -fsanitize=address,undefined)
endif()

if(VOZY_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VOZY_FUZZ needs clang and libFuzzer: configure with CXX=clang++-14 (see scripts/fuzz)")
  endif()
  # Coverage for libFuzzer and the sanitizers in every object; the fuzz targets link libFuzzer itself.
  target_compile_options(vozy_warnings INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                 -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vozy_warnings INTERFACE -fsanitize=address,undefined)
endif()

# A library of one layer: its sources, its public Qt modules and the layers below it.
function(vozy_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE vozy_warnings)
endfunction()

# One Qt Test executable, run by CTest offscreen in its own temporary working directory.
# SERVER: the test runs a second time on a PostgreSQL server, the one VOZY_TEST_SERVER names when the
# tests start (scripts/test starts one); without it that half is reported skipped.
function(vozy_test name)
  cmake_parse_arguments(ARG "SERVER" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} Qt6::Test vozy_testsupport vozy_warnings)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;ASAN_OPTIONS=detect_leaks=0"
    TIMEOUT 300)
  if(ARG_SERVER)
    add_test(NAME ${name}_postgres
      COMMAND bash -c "if [ -z \"$VOZY_TEST_SERVER\" ]; then echo 'SKIPPED: no PostgreSQL server for the tests (VOZY_TEST_SERVER is not set; scripts/test starts one)'; exit 77; fi; exec \"$0\" \"$@\"" $<TARGET_FILE:${name}>)
    set_tests_properties(${name}_postgres PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;ASAN_OPTIONS=detect_leaks=0;VOZY_TEST_ENGINE=postgres"
      SKIP_RETURN_CODE 77
      TIMEOUT 600)
  endif()
endfunction()
