# Tests are Windows executables run under Wine by the bench scripts in
# testing/bench. One ctest entry per executable: each Wine start costs time.

set(KIT_BENCH_DIR  ${CMAKE_SOURCE_DIR}/testing/bench)
set(KIT_WINE_DIR   ${CMAKE_BINARY_DIR}/wine)
set(KIT_PREFIX_BASE ${KIT_WINE_DIR}/base)
set(KIT_PREFIX_BASE64 ${KIT_WINE_DIR}/base64)

# The prefixes are made once per test run (the 64-bit one only when a test needs it);
# every test works in a fresh copy of one.
add_test(NAME bench_prefix
  COMMAND ${KIT_BENCH_DIR}/make-prefix.sh ${KIT_PREFIX_BASE})
set_tests_properties(bench_prefix PROPERTIES FIXTURES_SETUP wine_bench TIMEOUT 300)
add_test(NAME bench_prefix64
  COMMAND ${KIT_BENCH_DIR}/make-prefix.sh ${KIT_PREFIX_BASE64} win64)
set_tests_properties(bench_prefix64 PROPERTIES FIXTURES_SETUP wine_bench64 TIMEOUT 600)
add_test(NAME bench_stop
  COMMAND ${KIT_BENCH_DIR}/stop-all.sh ${KIT_WINE_DIR})
set_tests_properties(bench_stop PROPERTIES FIXTURES_CLEANUP "wine_bench;wine_bench64")

set(KIT_TEST_ENV
  "KIT_BUILD_DIR=${CMAKE_BINARY_DIR}"
  "KIT_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
  "KIT_OUTPUT_DIR=${KIT_OUTPUT_DIR}")

# kit_wine_test(NAME <name> [DISPLAY] [DRIVES_WINDOWS] [WIN64] COMMAND <exe or script> [args...])
# Runs a command in a fresh copy of the bench prefix; DISPLAY gives it an Xvfb screen.
# Tests that drive windows (DISPLAY, or DRIVES_WINDOWS for one that makes its own
# screen) carry the label "window" (tools/repeat-window-tests.sh runs them). WIN64:
# in a copy of the 64-bit prefix instead.
function(kit_wine_test)
  cmake_parse_arguments(ARG "DISPLAY;DRIVES_WINDOWS;WIN64" "NAME;TIMEOUT" "COMMAND" ${ARGN})
  set(flags)
  set(labels)
  if(ARG_DISPLAY)
    list(APPEND flags --display)
  endif()
  if(ARG_DISPLAY OR ARG_DRIVES_WINDOWS)
    set(labels window)
  endif()
  set(base ${KIT_PREFIX_BASE})
  set(fixture wine_bench)
  if(ARG_WIN64)
    set(base ${KIT_PREFIX_BASE64})
    set(fixture wine_bench64)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_test(NAME ${ARG_NAME}
    COMMAND ${KIT_BENCH_DIR}/run-test.sh --base ${base}
            --work ${KIT_WINE_DIR}/runs/${ARG_NAME} ${flags} -- ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES
    FIXTURES_REQUIRED ${fixture}
    ENVIRONMENT "${KIT_TEST_ENV}"
    LABELS "${labels}"
    TIMEOUT ${ARG_TIMEOUT})
endfunction()

# kit_gtest(<target> [DISPLAY] SOURCES ... [LIBS ...] [DEPENDS ...])
# A GoogleTest executable for the target, run under Wine as one ctest entry.
function(kit_gtest target)
  cmake_parse_arguments(ARG "DISPLAY" "TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} kit_test_support GTest::gtest kit_options)
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
  set(display)
  if(ARG_DISPLAY)
    set(display DISPLAY)
  endif()
  set(timeout)
  if(ARG_TIMEOUT)
    set(timeout TIMEOUT ${ARG_TIMEOUT})
  endif()
  kit_wine_test(NAME ${target} ${display} ${timeout} COMMAND $<TARGET_FILE:${target}>)
endfunction()

# kit_beside_standin_unrar(<target>)
# Puts the stand-in UNRAR.DLL beside the target's executable after each build, so
# a program bound to unrar.dll finds it when it loads.
function(kit_beside_standin_unrar target)
  add_dependencies(${target} unrar_standin)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:unrar_standin> $<TARGET_FILE_DIR:${target}>/UNRAR.DLL)
endfunction()
