# Compiler and linker settings shared by every target of the kit.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

option(KIT_WARNINGS_AS_ERRORS "Fail the build on any compiler warning" OFF)

add_library(kit_options INTERFACE)
target_compile_definitions(kit_options INTERFACE
  WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501
  $<$<CONFIG:Release>:NDEBUG>)
# Release builds optimise for size (the last -O wins): the kit has to fit a diskette.
# Their objects carry the compiler's intermediate form beside the machine code, so a
# program can be optimised whole when linked (kit_program) and the tests link as usual.
target_compile_options(kit_options INTERFACE
  -Wall -Wextra
  $<$<BOOL:${KIT_WARNINGS_AS_ERRORS}>:-Werror>
  $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=CP949>
  $<$<CONFIG:Release>:-Os -ffunction-sections -fdata-sections -flto -ffat-lto-objects>)
target_link_options(kit_options INTERFACE
  -static -static-libgcc -static-libstdc++
  $<$<CONFIG:Release>:-Wl,--gc-sections>
  $<$<CONFIG:Release>:$<IF:$<BOOL:$<TARGET_PROPERTY:KIT_WHOLE_PROGRAM>>,-flto;-flto-partition=one;-Os,-fno-lto>>)

# Where the kit's programs and its stand-in archive library land, and where each one's
# unstripped twin and link map go (for tools/size-report.sh, and to name the function
# at a code address an error report gives).
set(KIT_OUTPUT_DIR ${CMAKE_BINARY_DIR}/kit)
set(KIT_SYMBOLS_DIR ${CMAKE_BINARY_DIR}/symbols)
file(MAKE_DIRECTORY ${KIT_SYMBOLS_DIR})

# A program of the kit, with its own pieces of the run-time (kit_runtime_pieces: the
# quiet terminate handler, the thread primitives, the library's error throws), unless
# it uses nothing of the C++ library (NO_CXX_LIBRARY): the pieces' throws would bring
# the library's exception support with them.
function(kit_program target)
  cmake_parse_arguments(ARG "NO_CXX_LIBRARY" "" "" ${ARGN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KIT_OUTPUT_DIR})
  # Optimised whole, which drops every function the program never calls: the linker
  # cannot, as each function's unwind entry keeps it. In one partition: GCC 12 fails
  # to split a Windows program into several (an internal error, or an undefined
  # '.lto_priv' copy of a function local to one part and called from another).
  set_target_properties(${target} PROPERTIES KIT_WHOLE_PROGRAM ON)
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_link_options(${target} PRIVATE -Wl,-Map=${KIT_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.map)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${KIT_SYMBOLS_DIR}
      COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE" AND NOT ARG_NO_CXX_LIBRARY)
    kit_runtime_pieces(${target})
  endif()
endfunction()

# The program's own pieces of the run-time, linked as objects of the target itself (from
# a static library the run-time's own copies would win) and optimised whole with it: by
# every program, and by the single-threaded test that checks them as shipped.
function(kit_runtime_pieces target)
  set_target_properties(${target} PROPERTIES KIT_WHOLE_PROGRAM ON)
  target_link_libraries(${target} PRIVATE kit_runtime)
endfunction()
